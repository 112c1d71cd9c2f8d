#include "backup_image.h"

#include <QDateTime>
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

QString stagingFolder(const QString& target) { return QDir::cleanPath(target) + QStringLiteral(".partial"); }

StagedCommit commitStaged(const QString& staging, const QString& target, const QStringList& names,
                          const QStringList& superseded, const QDateTime& now) {
    StagedCommit c;
    const QString to = QDir::cleanPath(target);
    const QDir from(staging), dest(to);
    if (!QDir().mkpath(to)) {
        c.why = QStringLiteral("cannot create %1").arg(QDir::toNativeSeparators(to));
        return c;
    }
    // The files the run replaces go aside first, into a folder no earlier run used.
    QStringList aside = names;
    for (const QString& n : superseded) {
        if (!aside.contains(n)) aside << n;
    }
    QStringList moved;
    const auto putBack = [&] {
        for (const QString& n : moved) QFile::rename(QDir(c.keptIn).filePath(n), dest.filePath(n));
    };
    for (const QString& n : aside) {
        if (!QFileInfo::exists(dest.filePath(n))) continue;
        if (c.keptIn.isEmpty()) {
            const QString stamp = to + now.toString(QStringLiteral(".yyyyMMdd-HHmmss"));
            c.keptIn = stamp;
            for (int i = 2; QFileInfo::exists(c.keptIn); ++i) c.keptIn = stamp + QStringLiteral("-%1").arg(i);
            if (!QDir().mkpath(c.keptIn)) {
                c.why = QStringLiteral("cannot create %1").arg(QDir::toNativeSeparators(c.keptIn));
                c.keptIn.clear();
                return c;
            }
        }
        if (!QFile::rename(dest.filePath(n), QDir(c.keptIn).filePath(n))) {
            c.why = QStringLiteral("cannot move %1").arg(QDir::toNativeSeparators(dest.filePath(n)));
            putBack();
            return c;
        }
        moved << n;
    }
    QStringList placed;
    for (const QString& n : names) {
        if (QFile::rename(from.filePath(n), dest.filePath(n))) {
            placed << n;
            continue;
        }
        c.why = QStringLiteral("cannot move %1").arg(QDir::toNativeSeparators(from.filePath(n)));
        // The target goes back to what it was; the staging folder keeps the whole run.
        for (const QString& p : placed) QFile::rename(dest.filePath(p), from.filePath(p));
        putBack();
        return c;
    }
    QDir().rmdir(staging);
    c.ok = true;
    return c;
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
