// The progress line of hddterm-cli: one line of stderr, cleared and redrawn in place while an
// operation runs, with the percentage, the bytes on the line, the speed and the time left.
#pragma once

#include <QTextStream>
#include <algorithm>

#include "clock.h"
#include "dialogue.h"

namespace hdd {

// Clears and redraws one line of stderr with the progress of the running operation.
class ProgressLine {
public:
    ProgressLine(QTextStream& err, Clock& clock, Dialogue& d, bool enabled)
        : err_(err), clock_(clock), d_(d), enabled_(enabled) {}

    void update(qint64 value, qint64 maximum) {
        if (!enabled_) return;
        const qint64 now = clock_.nowUs();
        if (value <= 0 || maximum != maximum_) {
            maximum_ = maximum;
            startUs_ = now;
            startBytes_ = lineBytes();
            if (value <= 0) return;
        }
        if (maximum <= 0 || (value < maximum && drawn_ && now - drawnUs_ < 100000)) return;
        const double part = std::min(1.0, double(value) / double(maximum));
        const double seconds = double(now - startUs_) / 1e6;
        const qint64 bytes = lineBytes() - startBytes_;
        QString line = QStringLiteral("%1%  %2 bytes").arg(int(part * 100), 3).arg(bytes);
        if (seconds > 0.05) {
            line += QStringLiteral("  %1 KiB/s").arg(double(bytes) / 1024.0 / seconds, 0, 'f', 1);
            const qint64 left = qRound64(seconds * (1.0 - part) / part);
            line += QStringLiteral("  %1:%2 left").arg(left / 60).arg(left % 60, 2, 10, QChar('0'));
        }
        err_ << "\r\x1b[K" << line;
        err_.flush();
        drawn_ = true;
        drawnUs_ = now;
    }
    // Before any other line goes to stderr.
    void clear() {
        if (!drawn_) return;
        err_ << "\r\x1b[K";
        err_.flush();
        drawn_ = false;
    }

private:
    qint64 lineBytes() const { return qint64{d_.RxTotal} + d_.TxTotal; }

    QTextStream& err_;
    Clock& clock_;
    Dialogue& d_;
    bool enabled_;
    bool drawn_ = false;
    qint64 drawnUs_ = 0;
    qint64 startUs_ = 0;
    qint64 startBytes_ = 0;
    qint64 maximum_ = -1;
};

}  // namespace hdd
