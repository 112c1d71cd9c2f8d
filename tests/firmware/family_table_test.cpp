// The drive family table: the built-in copy, the reading rules and the file beside the program.
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "family_table.h"
#include "harness.h"
#include "text.h"

using hdd::FamilyEntry;
using hdd::FamilyTable;
using hdd::parseFamilyTable;
using hddtest::Harness;

namespace {

// The families the built-in copy must hold: name, APP, CERT0, CERT1, TABLE, ATA, VEN.
const char* const kBuiltIn[23][7] = {
    {"4200.2 MERCURY", "16 0 1A0 60", "64 0 1F2 66 0 1C6", "", "66 1C6 16", "68 0 7C", "6C 0 12"},
    {"4200.2 MERC2", "10 0 238 60", "3E 0 31A", "3E 0 EE", "42 18D 17", "44 0 80", "48 0 12"},
    {"5400.3 VENUS", "16 0 238 60", "66 0 262", "66 0 1A6", "6A 131 18", "6C 0 95", "70 0 12"},
    {"5400.4 CORSATR", "16 0 238 60", "66 0 337 6A 0 129", "", "68 19B 16", "6C 0 9D", "70 0 12"},
    {"AVALANCHE", "15 0 180 80", "22 0 22F", "", "22 200 E", "23 0 5F", "25 0 12"},
    {"ALPINE_3.XXX", "15 0 180 80", "29 0 240", "", "29 240 11", "2A 0 5D", "2C 0 12"},
    {"ALPINE_8.XXX", "15 0 180 80", "29 0 244", "", "29 244 11", "2A 0 61", "2C 0 12"},
    {"APLUS", "15 0 180 80", "47 0 2F8", "", "47 2F8 13", "49 0 61", "4B 0 12"},
    {"PUMA", "15 0 1A0 60", "47 0 280", "47 0 134", "48 134 14", "49 0 71", "4B 0 12"},
    {"TONKA", "16 0 1A0 60", "64 0 2C9", "64 0 DF", "66 DF 15", "68 0 7A", "6C 0 12"},
    {"TONKA15", "16 0 238 60", "64 0 280", "64 0 188", "66 188 18", "68 0 9D", "6C 0 12"},
    {"TONKA2", "16 0 238 60", "64 0 280", "64 0 188", "66 188 18", "68 0 9D", "6C 0 12"},
    {"TONKA40", "16 0 234 60", "64 0 2FD 66 0 10B", "", "66 10B 18", "68 0 9D", "6C 0 12"},
    {"TLITE1HD.09E", "16 0 238 60", "64 0 280 66 0 188", "", "66 188 18", "68 0 9D", "6C 0 12"},
    {"TLITE1HD.09K", "16 0 238 60", "64 0 280 66 0 1A8", "", "66 1A8 18", "68 0 9D", "6C 0 12"},
    {"TLITE2HD.09E", "16 0 238 60", "64 0 280 66 0 188", "", "66 188 18", "68 0 9D", "6C 0 12"},
    {"TLITE2HD.09K", "16 0 238 60", "64 0 280", "64 0 1A8", "66 1A8 18", "68 0 9D", "6C 0 12"},
    {"GALAXY", "16 0 238 60", "70 0 280", "70 0 1A8", "72 1A8 18", "74 0 9D", "78 0 12"},
    {"GALAXY2D", "16 0 238 60", "70 0 280", "70 0 1A8", "72 1A8 18", "74 0 9D", "78 0 12"},
    {"NHAWK1HD", "16 0 238 60", "64 0 280 66 0 1A8", "", "66 1A8 18", "68 0 9D", "6C 0 12"},
    {"NHAWK2HD", "16 0 238 60", "64 0 280", "64 0 1A8", "66 1A8 18", "68 0 9D", "6C 0 12"},
    {"NHPLUS2HD_S-1A", "16 0 238 60", "64 0 35C", "64 0 CC", "66 CC 17", "68 0 93", "6C 0 12"},
    {"NHPLUS2HD_S-1N", "16 0 238 60", "64 0 35C", "64 0 1C4", "66 1C4 17", "68 0 93", "6C 0 12"},
};

QList<QByteArray> fields(const FamilyEntry& e) {
    return {e.name, e.app, e.cert0, e.cert1, e.table, e.ata, e.ven};
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(BuiltInCopy, CommentBlockSectionsAndLineEnds) {
    const QByteArray copy = hdd::builtInFamilyTable();
    ASSERT_FALSE(copy.isEmpty());
    // Every line ends with CR LF: no lone CR, no lone LF.
    EXPECT_EQ(copy.count("\r\n"), copy.count('\r'));
    EXPECT_EQ(copy.count("\r\n"), copy.count('\n'));
    EXPECT_TRUE(copy.endsWith("VEN=6C 0 12\r\n\r\n\r\n"));

    const QList<QByteArray> lines = copy.split('\n');
    QStringList text;
    for (const QByteArray& l : lines) text << hdd::fromGbk(l.endsWith('\r') ? l.chopped(1) : l);
    text.removeLast();  // after the final line break
    for (int i = 0; i < 13; ++i) EXPECT_TRUE(text[i].startsWith("//")) << i;
    EXPECT_EQ(text[0], "//[NHPLUS2HD_S-1A_3.AAC]");
    EXPECT_EQ(text[1], QStringLiteral("//固件类型也可以使用[NHPLUS2HD_S-1A]、[NHPLUS2HD_3.AAC]、"
                                      "[NHPLUS2HD_3.XXX]或[NHPLUS2HD]格式"));
    EXPECT_EQ(
        text[2],
        QStringLiteral("//注意固件类型顺序，如果[NHPLUS2HD]与其它格式同时使用必须放在最前面，其它任意。"));
    EXPECT_EQ(text[3], QStringLiteral("//APP= SA偏移   起始扇区  扇区数  缓冲区"));
    EXPECT_EQ(text[5], QStringLiteral("//CERT0=SA偏移   起始扇区  扇区数 [SA偏移   起始扇区  扇区数]"));
    EXPECT_EQ(text[7], QStringLiteral("//CERT0为0头的数据，CERT1为1头的数据"));
    EXPECT_EQ(text[12], QStringLiteral("//根据需要可自行添加"));
    // Chinese text in GBK: the bytes of 固件 are B9CC BCFE.
    EXPECT_TRUE(lines[1].startsWith("//\xB9\xCC\xBC\xFE"));
    EXPECT_EQ(text[13], "");
    EXPECT_EQ(text[14], "");
    EXPECT_EQ(text[15], "[4200.2 MERCURY]");

    // Sections one empty line apart, key lines in their fixed order, absent keys left out.
    int line = 15;
    for (int s = 0; s < 23; ++s) {
        if (s > 0) {
            EXPECT_EQ(text[line++], "") << s;
        }
        EXPECT_EQ(text[line++], QStringLiteral("[%1]").arg(kBuiltIn[s][0]));
        const char* keys[] = {"APP", "CERT0", "CERT1", "TABLE", "ATA", "VEN"};
        for (int k = 0; k < 6; ++k) {
            if (*kBuiltIn[s][k + 1]) {
                EXPECT_EQ(text[line++], QStringLiteral("%1=%2").arg(keys[k], kBuiltIn[s][k + 1]));
            }
        }
    }
    EXPECT_EQ(text.size(), line + 2);
}

TEST(BuiltInCopy, ReadsAsTheTwentyThreeFamilies) {
    const FamilyTable t = parseFamilyTable(hdd::builtInFamilyTable());
    ASSERT_EQ(t.count, 23);
    for (int s = 0; s < 23; ++s) {
        const QList<QByteArray> f = fields(t.entry(s + 1));
        for (int k = 0; k < 7; ++k) EXPECT_EQ(f[k], QByteArray(kBuiltIn[s][k])) << s << " " << k;
    }
    EXPECT_EQ(t.names().first(), "4200.2 MERCURY");
    EXPECT_EQ(t.names().last(), "NHPLUS2HD_S-1N");
}

TEST(Parsing, KeysAreCaseInsensitiveAndValuesUpperCased) {
    const FamilyTable t = parseFamilyTable("[Tonka]\r\napp=16 0 1a0 60\r\n  Cert0 =1\r\nvEn=  6c 0 12  \r\n");
    ASSERT_EQ(t.count, 1);
    EXPECT_EQ(t.entry(1).name, "TONKA");
    EXPECT_EQ(t.entry(1).app, "16 0 1A0 60");
    EXPECT_EQ(t.entry(1).cert0, "");  // a blank before "=" is no key
    EXPECT_EQ(t.entry(1).ven, "6C 0 12");
}

TEST(Parsing, HeaderDropsItsFirstAndLastCharacterAfterTrimming) {
    const FamilyTable t = parseFamilyTable("[ABC\n[ABC] \n\t[DEF]\n[\n[]\n");
    ASSERT_EQ(t.count, 5);
    EXPECT_EQ(t.entry(1).name, "AB");
    EXPECT_EQ(t.entry(2).name, "ABC");
    EXPECT_EQ(t.entry(3).name, "DEF");
    EXPECT_EQ(t.entry(4).name, "");
    EXPECT_EQ(t.entry(5).name, "");
}

TEST(Parsing, LinesBeforeTheFirstSectionAndOtherLinesAreIgnored) {
    const FamilyTable t = parseFamilyTable(
        "APP=1 2 3\r\n// [X]\r\n\r\n[A]\r\n// APP=9\r\nAPPX=1\r\nBUF=2\r\n"
        "TABLE=1 2 3\r\nTABLE=4 5 6\r\n");
    ASSERT_EQ(t.count, 1);
    EXPECT_EQ(t.entry(1).app, "");
    EXPECT_EQ(t.entry(1).table, "4 5 6");  // the later value of a key given twice
}

TEST(Parsing, EmptyTextNoSectionsEmptySectionsAndDuplicates) {
    EXPECT_EQ(parseFamilyTable("").count, 0);
    EXPECT_EQ(parseFamilyTable("APP=1\r\n//[A]\r\n").count, 0);
    const FamilyTable t = parseFamilyTable("[A]\r[B]\rAPP=1 2\r[A]\rAPP=3 4\r");
    ASSERT_EQ(t.count, 3);
    EXPECT_EQ(fields(t.entry(1)), (QList<QByteArray>{"A", "", "", "", "", "", ""}));
    EXPECT_EQ(t.entry(2).app, "1 2");
    EXPECT_EQ(t.entry(3).name, "A");
    EXPECT_EQ(t.entry(3).app, "3 4");
    EXPECT_EQ(t.names(), (QStringList{"A", "B", "A"}));
}

TEST(Parsing, SectionsBeyondTheTwoHundredSlotsAreCountedNotLoaded) {
    QByteArray text;
    for (int i = 1; i <= 202; ++i)
        text += "[F" + QByteArray::number(i) + "]\r\nAPP=" + QByteArray::number(i) + " 0\r\n";
    const FamilyTable t = parseFamilyTable(text);
    EXPECT_EQ(t.count, 200);
    EXPECT_EQ(t.dropped, 2);
    EXPECT_EQ(t.entry(200).name, "F200");
    EXPECT_EQ(t.entry(200).app, "200 0");  // the dropped sections' keys land nowhere
}

TEST(Parsing, DoubleByteCharactersKeepTheirSecondByte) {
    // 希捷 in GBK is CFA3 BDDD; "ab" after it is upper-cased. A trail byte 0x61 stays.
    EXPECT_EQ(hdd::upperAscii("\xCF\xA3\xBD\xDD"
                              "ab"),
              "\xCF\xA3\xBD\xDD"
              "AB");
    EXPECT_EQ(hdd::upperAscii("\x81\x61x"), "\x81\x61X");
}

class FamilyFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString folder() const { return dir.path() + "/"; }
    QString file() const { return folder() + "HDDINFO.TXT"; }
};

TEST_F(FamilyFile, AMissingFileIsWrittenFromTheBuiltInCopyByteForByte) {
    QString error;
    const FamilyTable t = hdd::loadFamilyTableFile(folder(), &error);
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(t.count, 23);
    EXPECT_EQ(readAll(file()), hdd::builtInFamilyTable());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"HDDINFO.TXT"});  // no temporary left
}

TEST_F(FamilyFile, AnExistingFileIsReadAndLeftUntouched) {
    writeAll(file(), "[MINE]\nAPP=1 0 10\n");
    const QDateTime before = QFileInfo(file()).lastModified();
    QString error;
    const FamilyTable t = hdd::loadFamilyTableFile(folder(), &error);
    EXPECT_TRUE(error.isEmpty());
    ASSERT_EQ(t.count, 1);
    EXPECT_EQ(t.entry(1).app, "1 0 10");
    EXPECT_EQ(readAll(file()), "[MINE]\nAPP=1 0 10\n");
    EXPECT_EQ(QFileInfo(file()).lastModified(), before);
}

TEST_F(FamilyFile, AFolderThatCannotHoldTheCopyIsReported) {
    writeAll(folder() + "plain", "x");
    QString error;
    const FamilyTable t = hdd::loadFamilyTableFile(folder() + "plain/sub/", &error);
    EXPECT_EQ(t.count, 0);
    EXPECT_TRUE(error.startsWith(folder() + "plain/sub/HDDINFO.TXT\n")) << error.toStdString();
}

TEST_F(FamilyFile, AFileThatCannotBeReadIsReported) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("HDDINFO.TXT"));
    QString error;
    const FamilyTable t = hdd::loadFamilyTableFile(folder(), &error);
    EXPECT_EQ(t.count, 0);
    EXPECT_TRUE(error.startsWith(file() + "\n")) << error.toStdString();
}

// The window's start-up with the program in `programPath`.
void startAt(Harness& h, const QString& programPath) {
    hdd::MainOptions o;
    o.portLister = [] { return QStringList{}; };
    o.registerPorts = hddtest::simPort(h.drive);
    o.pinCpu = false;
    o.programPath = programPath;
    h.model = std::make_unique<hdd::MainModel>(h.clock, h.frontend, o);
    h.model->startUp();
}

TEST_F(FamilyFile, StartUpFillsTheHiddenFamilyList) {
    Harness h(false);
    startAt(h, folder() + "hddterm");
    const hdd::Control& list = h.form().at("ComboBox3");
    EXPECT_FALSE(list.visible);
    EXPECT_EQ(list.items.size(), 23);
    EXPECT_EQ(list.currentIndex, 0);
    EXPECT_EQ(h.form().text("ComboBox3"), "4200.2 MERCURY");
    EXPECT_EQ(list.items[9], "TONKA");
    EXPECT_EQ(h.model->ext<FamilyTable>().count, 23);
    EXPECT_TRUE(h.frontend.shown.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(file()));
}

TEST_F(FamilyFile, StartUpGoesOnWithAnEmptyTableWhenTheFileCannotBeRead) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("HDDINFO.TXT"));
    Harness h(false);
    startAt(h, folder() + "hddterm");
    ASSERT_EQ(h.frontend.shown.size(), 1);
    EXPECT_TRUE(h.frontend.shown[0].startsWith("warning: " + file()));
    EXPECT_TRUE(h.form().at("ComboBox3").items.isEmpty());
    EXPECT_EQ(h.form().at("ComboBox3").currentIndex, -1);
    EXPECT_EQ(h.model->ext<FamilyTable>().count, 0);
    EXPECT_EQ(h.form().text("ComboBox7"), "921600");  // the rest of the start-up ran
}

TEST_F(FamilyFile, StartUpReportsSectionsThatDidNotFit) {
    QByteArray text;
    for (int i = 0; i < 201; ++i) text += "[F" + QByteArray::number(i) + "]\r\n";
    writeAll(file(), text);
    Harness h(false);
    startAt(h, folder() + "hddterm");
    EXPECT_EQ(h.form().at("ComboBox3").items.size(), 200);
    EXPECT_EQ(h.frontend.shown,
              QStringList{QStringLiteral("warning: HDDINFO.TXT中的机型超过200个，其后的1个未被读取！")});
}

}  // namespace
