// Hostile files: a family table of random bytes, of 10 000 sections or with a 1 MB line; a script
// of 100 MB; module, buffer, ROM and loader files of 0 bytes and of 3 GiB (sparse, so the test
// costs no disk). Each is refused with a message box or an "错误" console line (or the system's
// own refusal, such as the ROM picker's size limit), before any download command goes to the drive,
// and none is read whole: the process stays far below 500 MB.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <cstdio>

#include <QRegularExpression>
#include <random>

#include "loader.h"
#include "reliability_support.h"

using namespace hddtest;

namespace {

constexpr qint64 kHuge = qint64{3} * 1024 * 1024 * 1024;

// The peak resident size of this process so far, in MB.
long peakMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024;
}

QString sparse(const QString& path, qint64 size) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.resize(size)) << qPrintable(path);
    return path;
}

// The messages shown and the console lines that begin with "错误" (or with the command write's
// own "读入ROM文件出错").
QStringList refusals(Harness& h) {
    QStringList out = h.frontend.shown;
    for (const QString& l : h.consoleText().split('\n'))
        if (l.startsWith(QStringLiteral("错误")) || l.startsWith(QStringLiteral("读入ROM文件出错"))) out << l;
    return out;
}

// No download was begun: no command starting with "d" went to the drive.
bool noDownloadCommand(const QByteArray& wire) {
    return !QRegularExpression(QStringLiteral("(^|\r)d")).match(QString::fromLatin1(wire)).hasMatch();
}

QByteArray randomBytes(qsizetype n) {
    std::mt19937 rng(15);
    QByteArray b(n, '\0');
    for (char& c : b) c = static_cast<char>(rng());
    return b;
}

struct FamilyRow {
    const char* what;
    QByteArray content;
    const char* says;
};

TEST(HostileFiles, FamilyTablesAreRefusedOrCutWithAWarning) {
    QByteArray sections;
    for (int i = 0; i < 10000; ++i) sections += "[F" + QByteArray::number(i) + "]\r\n";
    const FamilyRow rows[] = {
        {"random bytes", randomBytes(64 * 1024), "不是机型表的文本文件"},
        {"10000 sections", sections, "其后的9800个未被读取"},
        {"a 1 MB line", hdd::builtInFamilyTable() + QByteArray(1024 * 1024, 'A') + "\r\n", "文件太大"},
    };
    for (const FamilyRow& r : rows) {
        Harness h(false);
        writeFile(h.programDir.filePath(hdd::kFamilyFileName), r.content);
        h.model->startUp();
        ASSERT_EQ(h.frontend.shown.size(), 1) << r.what;
        EXPECT_TRUE(h.frontend.shown[0].startsWith("warning: ")) << r.what;
        EXPECT_TRUE(h.frontend.shown[0].contains(QString::fromUtf8(r.says)))
            << qPrintable(h.frontend.shown[0]);
        EXPECT_LE(h.form().at("ComboBox3").items.size(), 200) << r.what;
    }
    EXPECT_LT(peakMb(), 500);
}

TEST(HostileFiles, AHundredMegabyteScriptIsRefused) {
    Harness h;
    QTemporaryDir dir;
    h.frontend.files << sparse(dir.filePath("big.cmd"), 100 * 1024 * 1024);
    h.model->formByName("Form4")->userClick("Button51");
    ASSERT_EQ(h.frontend.shown.size(), 1);
    EXPECT_TRUE(h.frontend.shown[0].contains(QStringLiteral("脚本文件太大")));
    EXPECT_TRUE(h.model->formByName("Form4")->text("Memo1").isEmpty());
    EXPECT_LT(peakMb(), 500);
}

// The keys that download a file the user chose, each with an empty and a huge file.
struct KeyRow {
    const char* what;
    std::function<void(Harness&, const QString& file)> press;
};

void mainKey(Harness& h, const QString& file, const char* key) {
    for (const auto& [name, value] : {std::pair{"Edit1", "800"},
                                      {"Edit15", "80"},
                                      {"Edit2", "A00"},
                                      {"Edit16", "80"},
                                      {"Edit3", "2A0"},
                                      {"Edit4", "31F"},
                                      {"Edit5", "300"},
                                      {"Edit6", "2B6"},
                                      {"Edit7", "308"},
                                      {"Edit8", "304"},
                                      {"Edit9", "30C"},
                                      {"Edit10", "3A"},
                                      {"Edit14", "0"},
                                      {"Edit11", "0"},
                                      {"Edit12", "10"},
                                      {"Edit19", "800"},
                                      {"Edit20", "10"}})
        h.form().setText(name, value);
    h.frontend.files << file;
    h.press(key);
}

void formKey(Harness& h, const char* form, const char* picker, const char* key, const QString& file) {
    hdd::FormModel& f = *h.model->formByName(form);
    h.frontend.files << file;
    f.userClick(picker);
    if (key) f.userClick(key);
}

TEST(HostileFiles, EmptyAndHugeFilesAreRefusedBeforeAnyDownload) {
    const KeyRow rows[] = {
        {"APP write", [](Harness& h, const QString& f) { mainKey(h, f, "Button52"); }},
        {"free track write", [](Harness& h, const QString& f) { mainKey(h, f, "Button19"); }},
        {"reserve write", [](Harness& h, const QString& f) { mainKey(h, f, "Button58"); }},
        {"buffer write", [](Harness& h, const QString& f) { mainKey(h, f, "Button79"); }},
        {"send file",
         [](Harness& h, const QString& f) {
             h.frontend.files << f;
             h.press("Button62");
             h.form().userSelectText("ComboBox6", "512");
             h.press("Button63");
         }},
        {"ROM buffer write",
         [](Harness& h, const QString& f) { formKey(h, "Form3", "Button1", "Button6", f); }},
        {"ROM command write",
         [](Harness& h, const QString& f) { formKey(h, "Form3", "Button1", "Button4", f); }},
        {"F-level APP load",
         [](Harness& h, const QString& f) {
             hdd::LoadRequest r;
             r.app = {true, f, false};
             r.buffer = "60";
             r.appBlockSize = "2048";
             r.certBlockSize = "2048";
             r.speed = "115200";
             hdd::LoadModules(h.dlg(), r);
         }},
    };
    QTemporaryDir dir;
    const QString empty = dir.filePath("empty.bin");
    writeFile(empty, QByteArray(""));
    const QString huge = sparse(dir.filePath("huge.bin"), kHuge);
    for (const KeyRow& r : rows) {
        for (const QString& file : {empty, huge}) {
            Harness h;
            h.open();
            h.clearWire();
            r.press(h, file);
            h.idle(200);
            const QStringList said = refusals(h);
            EXPECT_FALSE(said.isEmpty()) << r.what << " took " << qPrintable(file) << "\n"
                                         << qPrintable(h.consoleText());
            EXPECT_TRUE(noDownloadCommand(h.wire())) << r.what << ": " << ::testing::PrintToString(h.wire());
        }
    }
    EXPECT_LT(peakMb(), 500);
    std::printf("hostile files: peak resident size %ld MB\n", peakMb());
}

}  // namespace
