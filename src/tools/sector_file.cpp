#include "sector_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <optional>

namespace hdd {

namespace {

std::optional<qint64> hexNumber(const QString& text) {
    bool ok = false;
    const qulonglong v = text.trimmed().toULongLong(&ok, 16);
    // Beyond 2^40 sectors no file can hold the range; keep the arithmetic far from overflow.
    if (!ok || v > (qulonglong{1} << 40)) return std::nullopt;
    return static_cast<qint64>(v);
}

// Appends the range of one source; false when a named, existing source cannot be read.
bool copyRange(QSaveFile& out, const QString& source, const QString& start, const QString& count) {
    if (source.isEmpty() || !QFileInfo(source).isFile()) return true;
    const auto first = hexNumber(start);
    const auto n = hexNumber(count);
    if (!first || !n) return false;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) return false;
    const qint64 size = in.size();
    qint64 pos = *first * kSectorBytes;
    if (pos >= size) return true;
    if (!in.seek(pos)) return false;
    for (qint64 k = 0; k < *n && size - pos >= kSectorBytes; ++k, pos += kSectorBytes) {
        const QByteArray sector = in.read(kSectorBytes);
        if (sector.size() != kSectorBytes) return false;
        if (out.write(sector) != kSectorBytes) return false;
    }
    return true;
}

}  // namespace

bool BuildSectorFile(const QString& source1, const QString& start1, const QString& count1,
                     const QString& source2, const QString& start2, const QString& count2,
                     const QString& target) {
    if (target.trimmed().isEmpty()) return false;
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) return false;
    if (!copyRange(out, source1, start1, count1) || !copyRange(out, source2, start2, count2)) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

}  // namespace hdd
