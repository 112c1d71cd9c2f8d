// The progress line of hddterm-cli: one line of stderr, cleared and redrawn in place while an
// operation runs, with the percentage, the payload bytes done, the speed and the time left.
//
// The bytes are the payload's (the file's) when the operation declared its size (progress.h);
// otherwise the bytes that crossed the line since the bar started.
#pragma once

#include <QTextStream>

#include "clock.h"
#include "dialogue.h"
#include "progress.h"

namespace hdd {

// Clears and redraws one line of stderr with the progress of the running operation.
class ProgressLine {
public:
    ProgressLine(QTextStream& err, Clock& clock, Dialogue& d, bool enabled)
        : err_(err), clock_(clock), d_(d), enabled_(enabled) {}

    void update(qint64 value, qint64 maximum) {
        if (!enabled_ || (value == value_ && maximum == maximum_)) return;
        const qint64 now = clock_.nowUs();
        if (value <= 0 || maximum != maximum_) startBytes_ = lineBytes();
        value_ = value;
        maximum_ = maximum;
        ProgressFigures f = meter_.update(now, value, maximum, d_.host().progressBytes());
        if (value <= 0 || maximum <= 0 || (value < maximum && drawn_ && now - drawnUs_ < 100000)) return;
        if (f.bytes < 0) {
            f.bytes = lineBytes() - startBytes_;
            const double seconds = double(now - meter_.startUs()) / 1e6;
            if (f.secondsLeft >= 0) f.bytesPerSecond = double(f.bytes) / seconds;
        }
        QString line = QStringLiteral("%1%  %2 bytes").arg(f.percent, 3).arg(f.bytes);
        if (f.bytesPerSecond >= 0 && f.secondsLeft >= 0) {
            line += QStringLiteral("  %1 KiB/s").arg(f.bytesPerSecond / 1024.0, 0, 'f', 1);
            line += QStringLiteral("  %1 left").arg(minutesSeconds(f.secondsLeft));
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
    ProgressMeter meter_;
    bool drawn_ = false;
    qint64 drawnUs_ = 0;
    qint64 startBytes_ = 0;
    qint64 value_ = -1;
    qint64 maximum_ = -1;
};

}  // namespace hdd
