#include "hex_traffic.h"

namespace hdd {

void HexTraffic::add(Direction direction, const QByteArray& bytes) {
    if (bytes.isEmpty()) return;
    qint64& total = direction == Direction::Sent ? sent_ : received_;
    int first = static_cast<int>(rows_.size());
    if (!rows_.isEmpty() && rows_.last().direction == direction && rows_.last().bytes.size() < kRowBytes)
        --first;
    for (qsizetype i = 0; i < bytes.size();) {
        if (rows_.isEmpty() || rows_.last().direction != direction || rows_.last().bytes.size() >= kRowBytes)
            rows_.append(Row{direction, total, {}});
        QByteArray& row = rows_.last().bytes;
        const qsizetype n = qMin<qsizetype>(kRowBytes - row.size(), bytes.size() - i);
        row += bytes.mid(i, n);
        i += n;
        total += n;
    }
    const int excess = static_cast<int>(rows_.size()) - kMaxRows;
    if (excess > 0) {
        rows_.remove(0, excess);
        emit headDropped(excess);
        first = qMax(0, first - excess);
    }
    emit rowsChanged(first);
}

void HexTraffic::clear() {
    rows_.clear();
    sent_ = received_ = 0;
    emit cleared();
}

QString HexTraffic::formatRow(const Row& row) {
    QString text = QStringLiteral("%1 %2 ")
                       .arg(row.offset, 8, 16, QChar('0'))
                       .arg(row.direction == Direction::Sent ? '>' : '<')
                       .toUpper();
    QString ascii;
    for (int i = 0; i < kRowBytes; ++i) {
        if (i == kRowBytes / 2) text += ' ';
        if (i < row.bytes.size()) {
            const auto b = static_cast<unsigned char>(row.bytes[i]);
            text += QStringLiteral(" %1").arg(b, 2, 16, QChar('0')).toUpper();
            ascii += b >= 0x20 && b < 0x7F ? QChar(b) : QChar('.');
        } else {
            text += QStringLiteral("   ");
        }
    }
    return text + "  |" + ascii + '|';
}

}  // namespace hdd
