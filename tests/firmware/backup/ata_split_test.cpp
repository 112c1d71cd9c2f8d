// The pure parts of the backup: the pattern search, the ATA overlay's split at its markers, and the
// two serial number lines of SN.TXT.
#include <gtest/gtest.h>

#include "backup_support.h"

using namespace hddtest;

namespace {

// An image of n sectors whose bytes never repeat a neighbour, so it holds no marker by chance.
QByteArray plainImage(int sectors) {
    QByteArray b(sectors * 512, '\0');
    for (qsizetype i = 0; i < b.size(); ++i) b[i] = static_cast<char>((i * 7 + 1) & 0xFF);
    return b;
}

void startAt(QByteArray& b, qsizetype offset) { b.replace(offset, 4, QByteArray("\0\0\x16\0", 4)); }
// An end marker whose FF stands at offset (16 zero bytes follow).
void endAt(QByteArray& b, qsizetype offset) {
    b[offset] = '\xFF';
    b.replace(offset + 1, 16, QByteArray(16, '\0'));
}

TEST(FindPattern, FirstWholeByteOccurrenceInsideTheData) {
    const QByteArray data = QByteArray::fromHex("10016000AABBFF0000");
    struct Row {
        qsizetype from;
        const char* pattern;
        qsizetype expected;
    } const rows[] = {
        {0, "AABB", 4},   {4, "AABB", 4},      {5, "AABB", -1},  // at or after the start offset
        {0, "FF0000", 6}, {0, "FF000000", -1},                   // an occurrence must end inside the data
        {-1, "10", -1},   {9, "00", -1},                         // a start offset outside the data
        {0, "0016", -1},                                         // bytes, not digits halfway through one
        {0, "6000", 2},
    };
    for (const Row& r : rows) EXPECT_EQ(hdd::FindPattern(data, r.from, r.pattern), r.expected) << r.pattern;
}

TEST(SplitAta, MarkersOnSectorBoundariesOnly) {
    struct Row {
        const char* what;
        std::function<void(QByteArray&)> marks;
        qsizetype part0, start, part1;  // sizes and the second part's offset; start -1: no split
    };
    const qsizetype s = 512;
    const Row rows[] = {
        {"no start marker", [](QByteArray&) {}, 0, -1, 0},
        {"a start marker before sector 50 only", [](QByteArray& b) { startAt(b, 40 * s); }, 0, -1, 0},
        {"no end markers", [](QByteArray& b) { startAt(b, 60 * s); }, 60 * s, 60 * s, 40 * s},
        {"an unaligned start marker is passed over",
         [](QByteArray& b) {
             startAt(b, 50 * s + 4);
             startAt(b, 60 * s);
         },
         60 * s, 60 * s, 40 * s},
        {"both parts closed by their end markers",
         [](QByteArray& b) {
             endAt(b, 36 * s - 1);
             startAt(b, 60 * s);
             endAt(b, 76 * s - 1);
         },
         36 * s, 60 * s, 16 * s},
        {"end markers too early or not at a sector's end are no end markers",
         [](QByteArray& b) {
             endAt(b, 20 * s - 1);   // before sector 30
             endAt(b, 40 * s + 99);  // inside a sector
             startAt(b, 60 * s);
             endAt(b, 65 * s - 1);  // less than 10 sectors after the start marker
         },
         60 * s, 60 * s, 40 * s},
    };
    for (const Row& r : rows) {
        QByteArray ata = plainImage(100);
        r.marks(ata);
        const auto parts = hdd::splitAtaImage(ata);
        ASSERT_EQ(parts.has_value(), r.start >= 0) << r.what;
        if (!parts) continue;
        EXPECT_EQ(parts->part0, ata.left(r.part0)) << r.what;
        EXPECT_EQ(parts->part1, ata.mid(r.start, r.part1)) << r.what;
    }
}

TEST(SplitAta, WritesBothPartsOrNeither) {
    QTemporaryDir dir;
    const QString ata = dir.filePath("ATA.BIN");
    EXPECT_EQ(hdd::SplitAta(ata, dir.path()), hdd::SplitResult::NoFile);
    putFile(ata, plainImage(100));
    EXPECT_EQ(hdd::SplitAta(ata, dir.path()), hdd::SplitResult::NoMarker);
    EXPECT_EQ(folderFiles(dir.path()), QStringList{"ATA.BIN"});

    QByteArray image = plainImage(100);
    startAt(image, 60 * 512);
    putFile(ata, image);
    EXPECT_EQ(hdd::SplitAta(ata, dir.path()), hdd::SplitResult::Split);
    EXPECT_EQ(fileBytes(dir.filePath("ATA0.BIN")), image.left(60 * 512));
    EXPECT_EQ(fileBytes(dir.filePath("ATA1.BIN")), image.mid(60 * 512));

    // The second part cannot be written: the first does not stay alone.
    QFile::remove(dir.filePath("ATA1.BIN"));
    QDir(dir.path()).mkdir("ATA1.BIN");
    EXPECT_EQ(hdd::SplitAta(ata, dir.path()), hdd::SplitResult::WriteFailed);
    EXPECT_FALSE(QFile::exists(dir.filePath("ATA0.BIN")));
}

TEST(SerialLines, FromTheIdentitySectorAndFromThePercentAnswer) {
    auto vendor = [](const QByteArray& field) {
        QByteArray v = plainImage(5);
        v.replace(2102, 30, field.leftJustified(30, ' '));
        return v;
    };
    EXPECT_EQ(hdd::vendorSerialLine(vendor("J58VKXL2")), "5JV8XK2L");
    // Trimmed before the pairs are swapped back, as the drive's padding makes it.
    EXPECT_EQ(hdd::vendorSerialLine(vendor("BADCFE G")), "ABCDEFG ");
    EXPECT_EQ(hdd::vendorSerialLine(plainImage(5).replace(2102, 30, QByteArray(30, ' '))), "");
    EXPECT_EQ(hdd::vendorSerialLine(QByteArray(2000, 'x')), "");  // too short for sector 4

    struct Row {
        QList<QByteArray> lines;
        const char* expected;
    } const rows[] = {
        {{"Drive Info", "SerNum AX=5JV8XK2L' Cfg 00"}, "5JV8XK2L"},
        {{"SerNum 5JV8XK2L Cfg 00"}, ""},
        {{"AX=5JV8XK2L' Cfg"}, ""},  // " AX" needs its blank
        {{"  a AX: 12 34 ' x", "b AX=second' "}, "12 34"},
        {{"a AX=no quote here"}, "no quote here"},
    };
    for (const Row& r : rows) EXPECT_EQ(hdd::percentAxLine(r.lines), r.expected) << r.lines.join('|').data();
}

}  // namespace
