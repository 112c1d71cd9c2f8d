#include "progress.h"

#include <algorithm>

namespace hdd {

ProgressFigures ProgressMeter::update(qint64 nowUs, qint64 value, qint64 maximum, qint64 payload) {
    if (value <= 0 || maximum != maximum_) {
        maximum_ = maximum;
        startUs_ = nowUs;
    }
    ProgressFigures f;
    if (maximum <= 0) return f;
    const double part = std::clamp(double(value) / double(maximum), 0.0, 1.0);
    f.percent = int(part * 100);
    if (payload > 0) {
        f.totalBytes = payload;
        f.bytes = qRound64(part * double(payload));
    }
    const qint64 elapsed = nowUs - startUs_;
    if (elapsed >= kSettleUs && part > 0) {
        const double seconds = double(elapsed) / 1e6;
        if (f.bytes >= 0) f.bytesPerSecond = double(f.bytes) / seconds;
        f.secondsLeft = qRound64(seconds * (1.0 - part) / part);
    }
    return f;
}

QString minutesSeconds(qint64 seconds) {
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QChar('0'));
}

QString progressBarText(const ProgressFigures& f) {
    QString text = QString::number(f.percent) + '%';
    if (f.bytes >= 0) text += "  " + QStringLiteral("%1 / %2 字节").arg(f.bytes).arg(f.totalBytes);
    if (f.bytesPerSecond >= 0)
        text += "  " + QStringLiteral("%1 KiB/s").arg(f.bytesPerSecond / 1024.0, 0, 'f', 1);
    if (f.secondsLeft >= 0) text += "  " + QStringLiteral("剩余 %1").arg(minutesSeconds(f.secondsLeft));
    return text;
}

}  // namespace hdd
