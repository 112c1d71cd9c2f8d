// BuildSectorFile: ranges of whole sectors from two sources, absent and short sources, and a target
// that is replaced only by a finished build.
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "harness.h"
#include "sector_file.h"

namespace {

QByteArray sectorsOf(int first, int count, char tag) {
    QByteArray b;
    for (int s = first; s < first + count; ++s) {
        QByteArray sector(512, tag);
        sector.replace(0, 4, QByteArray::number(s).rightJustified(4, '0'));
        b += sector;
    }
    return b;
}

void put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QByteArray get(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

TEST(SectorFile, RangesOfTwoSources) {
    QTemporaryDir dir;
    const QString a = dir.filePath("a.bin"), b = dir.filePath("b.bin"), t = dir.filePath("t.bin");
    const QString missing = dir.filePath("missing.bin");
    put(a, sectorsOf(0, 5, 'a'));
    put(b, sectorsOf(0, 3, 'b') + "tail");  // a final part-sector
    struct Row {
        const char* what;
        QString s1, st1, n1, s2, st2, n2;
        QByteArray expected;
    };
    const Row rows[] = {
        {"both sources empty", "", "", "", "", "", "", ""},
        {"a piece of each", a, "1", "2", b, "0", "1", sectorsOf(1, 2, 'a') + sectorsOf(0, 1, 'b')},
        {"a count beyond the end stops at the last whole sector", a, "3", "FFFF", b, "1", "ffff",
         sectorsOf(3, 2, 'a') + sectorsOf(1, 2, 'b')},
        {"a missing first source is skipped", missing, "0", "1", b, "2", "1", sectorsOf(2, 1, 'b')},
        {"a start beyond the end gives nothing", a, "5", "1", b, " 2 ", " 1 ", sectorsOf(2, 1, 'b')},
        {"a count too large for any number", a, "0", "FFFFFFFFFFFFFFFFFFFF", "", "", "",
         sectorsOf(0, 5, 'a')},
        {"an empty count of an absent source does not matter", missing, "", "", a, "4", "1",
         sectorsOf(4, 1, 'a')},
    };
    for (const Row& r : rows) {
        QFile::remove(t);
        EXPECT_TRUE(hdd::BuildSectorFile(r.s1, r.st1, r.n1, r.s2, r.st2, r.n2, t)) << r.what;
        EXPECT_EQ(get(t), r.expected) << r.what;
    }
}

TEST(SectorFile, FailuresLeaveTheTargetAsItWas) {
    QTemporaryDir dir;
    const QString a = dir.filePath("a.bin"), t = dir.filePath("t.bin");
    put(a, sectorsOf(0, 4, 'a'));
    put(t, "earlier");
    EXPECT_FALSE(hdd::BuildSectorFile(a, "0", "1G", "", "", "", t));  // not a number
    EXPECT_FALSE(hdd::BuildSectorFile(a, "", "1", "", "", "", t));
    EXPECT_EQ(get(t), "earlier");
    EXPECT_FALSE(hdd::BuildSectorFile(a, "0", "1", "", "", "", dir.filePath("no/such/folder/t.bin")));
    EXPECT_FALSE(hdd::BuildSectorFile(a, "0", "1", "", "", "", " "));
    QDir(dir.path()).mkdir("adir");
    EXPECT_FALSE(hdd::BuildSectorFile(a, "0", "1", "", "", "", dir.filePath("adir")));

    // A target that is one of its sources is read before it is replaced.
    EXPECT_TRUE(hdd::BuildSectorFile(a, "2", "2", a, "0", "1", a));
    EXPECT_EQ(get(a), sectorsOf(2, 2, 'a') + sectorsOf(0, 1, 'a'));
}

TEST(SectorFile, NumbersAndRanges) {
    EXPECT_EQ(hdd::sectorNumber(" 1aF "), 0x1AFu);
    EXPECT_EQ(hdd::sectorNumber("FFFFFFFFFFFFFFFFF"), std::numeric_limits<quint64>::max());
    for (const char* bad : {"", " ", "0x10", "-1", "1 2", "G"}) EXPECT_FALSE(hdd::sectorNumber(bad)) << bad;
    EXPECT_TRUE(hdd::rangeFits(1000, 0, 1));
    EXPECT_FALSE(hdd::rangeFits(1000, 0, 2));
    EXPECT_TRUE(hdd::rangeFits(2048, 1, 3));  // ends exactly at the end
    EXPECT_FALSE(hdd::rangeFits(2048, 1, 4));
    EXPECT_FALSE(hdd::rangeFits(2048, std::numeric_limits<quint64>::max(), 2));
    EXPECT_FALSE(hdd::rangeFits(2048, 2, std::numeric_limits<quint64>::max()));
}

}  // namespace
