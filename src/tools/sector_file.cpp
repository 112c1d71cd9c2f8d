#include "sector_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <limits>

namespace hdd {

namespace {

// Why a named source cannot give its range, or empty; `number` ("1" or "2") names it.
QString rangeRefusal(const SectorRange& s, const QString& number) {
    const auto start = sectorNumber(s.start);
    const auto count = sectorNumber(s.count);
    if (!start || !count) return QStringLiteral("请设置源文件%1的截取范围！").arg(number);
    if (!QFileInfo(s.file).isFile()) return QStringLiteral("源文件%1不存在！").arg(number);
    QFile file(s.file);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("打开文件") + s.file + QStringLiteral("失败！");
    if (!rangeFits(file.size(), *start, *count))
        return QStringLiteral("源文件%1的截取范围超出源文件%1长度！").arg(number);
    return {};
}

// Sectors copied with one read: large files go through quickly without holding them whole.
constexpr quint64 kSectorsPerRead = 2048;

// Appends the range of one source; false when a named, existing source cannot be read.
bool copyRange(QSaveFile& out, const QString& source, const QString& start, const QString& count) {
    if (source.isEmpty() || !QFileInfo(source).isFile()) return true;
    const auto first = sectorNumber(start);
    const auto n = sectorNumber(count);
    if (!first || !n) return false;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) return false;
    const quint64 whole = static_cast<quint64>(in.size()) / kSectorBytes;
    if (*first >= whole) return true;
    quint64 left = std::min(*n, whole - *first);
    if (!in.seek(static_cast<qint64>(*first) * kSectorBytes)) return false;
    while (left > 0) {
        const qint64 bytes = static_cast<qint64>(std::min(left, kSectorsPerRead)) * kSectorBytes;
        const QByteArray piece = in.read(bytes);
        if (piece.size() != bytes) return false;
        if (out.write(piece) != bytes) return false;
        left -= static_cast<quint64>(bytes / kSectorBytes);
    }
    return true;
}

}  // namespace

std::optional<quint64> sectorNumber(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return std::nullopt;
    quint64 v = 0;
    bool huge = false;
    for (QChar c : t) {
        const int d = c.isDigit() && c.unicode() < 0x80 ? c.unicode() - '0'
                      : (c >= 'A' && c <= 'F')          ? c.unicode() - 'A' + 10
                      : (c >= 'a' && c <= 'f')          ? c.unicode() - 'a' + 10
                                                        : -1;
        if (d < 0) return std::nullopt;
        if (v >> 60) huge = true;
        v = (v << 4) | static_cast<quint64>(d);
    }
    return huge ? std::numeric_limits<quint64>::max() : v;
}

bool rangeFits(qint64 fileBytes, quint64 start, quint64 count) {
    if (fileBytes < 0) return false;
    const quint64 whole = static_cast<quint64>(fileBytes) / kSectorBytes;
    return start <= whole && count <= whole - start;
}

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

Outcome MakeSectorFile(const SectorRange& first, const SectorRange& second, const QString& target) {
    const std::pair<const SectorRange*, QString> sources[] = {{&first, QStringLiteral("1")},
                                                              {&second, QStringLiteral("2")}};
    const auto named = [](const SectorRange& s) { return !s.file.isEmpty(); };
    QString refusal;
    for (const auto& [s, number] : sources) {
        if (refusal.isEmpty() && named(*s) && (s->start.trimmed().isEmpty() || s->count.trimmed().isEmpty()))
            refusal = QStringLiteral("请设置源文件%1的截取范围！").arg(number);
    }
    if (refusal.isEmpty() && target.trimmed().isEmpty()) refusal = QStringLiteral("请设置目标文件！");
    for (const auto& [s, number] : sources) {
        if (refusal.isEmpty() && named(*s)) refusal = rangeRefusal(*s, number);
    }
    if (!refusal.isEmpty()) return Outcome::refused(Outcome::By::Check, refusal);
    const QString out = target.trimmed();
    if (!BuildSectorFile(first.file, first.start, first.count, second.file, second.start, second.count, out))
        return Outcome::failed(kSectorFileFailed);
    return Outcome::done().wrote(out);
}

}  // namespace hdd
