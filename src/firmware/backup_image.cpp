#include "backup_image.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <utility>

#include "sector_file.h"
#include "text.h"
#include "transfer.h"

namespace hdd {

namespace {

// Where the ATA overlay's parts begin and end.
const QByteArray kAtaStart = "00001600";
const QByteArray kAtaEnd = "FF00000000000000000000000000000000";
constexpr qsizetype kAtaStartFrom = 25600;  // 50 sectors
constexpr qsizetype kAtaEnd0From = 15360;   // 30 sectors
constexpr qsizetype kAtaEnd1After = 5120;   // 10 sectors after the start marker

// The serial number in a Vendor image: sector 4, byte 54.
constexpr qsizetype kSerialOffset = 4 * 512 + 54;
constexpr qsizetype kSerialBytes = 30;

}  // namespace

qsizetype FindPattern(const QByteArray& data, qsizetype from, const QByteArray& pattern) {
    if (from < 0 || from >= data.size()) return -1;
    const QByteArray bytes = QByteArray::fromHex(pattern);
    if (bytes.isEmpty()) return -1;
    return data.indexOf(bytes, from);
}

std::optional<AtaParts> splitAtaImage(const QByteArray& ata) {
    qsizetype m = FindPattern(ata, kAtaStartFrom, kAtaStart);
    while (m >= 0 && m % 512 != 0) m = FindPattern(ata, m + 1, kAtaStart);
    if (m < 0) return std::nullopt;
    // The end marker's FF is the last byte of a sector.
    auto endMarker = [](const QByteArray& data, qsizetype from) {
        qsizetype e = FindPattern(data, from, kAtaEnd);
        while (e >= 0 && (e + 1) % 512 != 0) e = FindPattern(data, e + 1, kAtaEnd);
        return e;
    };
    AtaParts parts;
    parts.part0 = ata.left(m);
    const qsizetype e0 = endMarker(parts.part0, kAtaEnd0From);
    if (e0 > 0) parts.part0.truncate(e0 + 1);
    QByteArray b = ata;
    const qsizetype e1 = endMarker(b, m + kAtaEnd1After);
    if (e1 > 0) b.truncate(e1 + 1);
    parts.part1 = b.mid(m);
    return parts;
}

SplitResult SplitAta(const QString& ataFile, const QString& folder) {
    if (!QFileInfo(ataFile).isFile()) return SplitResult::NoFile;
    const auto image = loadFile(ataFile);
    if (!image) return SplitResult::WriteFailed;
    const auto parts = splitAtaImage(*image);
    if (!parts) return SplitResult::NoMarker;
    const QDir dir(folder);
    if (saveFile(dir.filePath("ATA0.BIN"), parts->part0) && saveFile(dir.filePath("ATA1.BIN"), parts->part1))
        return SplitResult::Split;
    // One part without the other would load half an overlay.
    QFile::remove(dir.filePath("ATA0.BIN"));
    QFile::remove(dir.filePath("ATA1.BIN"));
    return SplitResult::WriteFailed;
}

QByteArray vendorSerialLine(const QByteArray& vendor) {
    QByteArray text(42, ' ');
    const QByteArray serial = vendor.mid(kSerialOffset, kSerialBytes);
    text.replace(0, serial.size(), serial);
    text = trimmed(text);
    // The drive keeps its identity strings as 16-bit words, high byte first.
    for (qsizetype i = 0; i + 1 < text.size(); i += 2) std::swap(text[i], text[i + 1]);
    return text;
}

QByteArray percentAxLine(const QList<QByteArray>& lines) {
    for (const QByteArray& raw : lines) {
        const QByteArray line = trimmed(raw);
        const qsizetype ax = line.indexOf(" AX");
        if (ax < 0) continue;
        // " AX" and the character after it ("=") are skipped.
        QByteArray text = trimmed(line.mid(ax + 4));
        const qsizetype quote = text.indexOf("' ");
        if (quote >= 0) text = trimmed(text.left(quote));
        return text;
    }
    return {};
}

bool joinCertParts(const QString& cert0, const QString& cert1, const QString& target) {
    return BuildSectorFile(cert0, "0", "FFFF", cert1, "0", "FFFF", target);
}

bool rotateTable(const QString& table0, const QString& count, const QString& target) {
    return BuildSectorFile(table0, "1", count, table0, "0", "1", target);
}

bool identitySector(const QString& vendor, const QString& target) {
    return BuildSectorFile(vendor, "4", "1", QString(), QString(), QString(), target) &&
           QFileInfo(target).size() == kSectorBytes;
}

}  // namespace hdd
