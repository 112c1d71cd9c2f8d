// Progress figures: how far the running operation is, how fast its payload moves and how long it
// has left.
//
// Operations move the progress in units of their own (ROM pages, dump blocks, sectors, chunks,
// bytes). One that knows the size of its payload (the file it reads or writes) declares it with
// Host::setProgressBytes after setProgressMax; the payload bytes done are then value / maximum of
// that size, whatever the units. A ProgressMeter is fed every change of the bar with the clock's
// time and gives the figures; it starts over when the bar is reset (value 0) or gets a new maximum.
// The window's bar and hddterm-cli's progress line both read it, so they cannot disagree.
#pragma once

#include <QString>
#include <QtGlobal>

namespace hdd {

struct ProgressFigures {
    int percent = 0;
    qint64 bytes = -1;           // payload bytes done; -1 when the payload is not known
    qint64 totalBytes = 0;       // the declared payload, 0 when not known
    double bytesPerSecond = -1;  // -1 until the run has lasted long enough to tell
    qint64 secondsLeft = -1;     // -1 until known
};

class ProgressMeter {
public:
    // The bar moved to `value` of `maximum` at `nowUs`; `payload` is the declared payload (0: none).
    ProgressFigures update(qint64 nowUs, qint64 value, qint64 maximum, qint64 payload);
    // The time the current run started.
    qint64 startUs() const { return startUs_; }

    // Rates are told once the run has lasted this long.
    static constexpr qint64 kSettleUs = 50'000;

private:
    qint64 startUs_ = 0;
    qint64 maximum_ = -1;
};

// The bar's text: "42%  27648 / 65536 字节  5.2 KiB/s  剩余 0:07", parts left out while unknown.
QString progressBarText(const ProgressFigures& f);
// "m:ss".
QString minutesSeconds(qint64 seconds);

}  // namespace hdd
