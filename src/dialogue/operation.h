// The frame every operation runs in.
//
// An operation opens an Operation at its start and lets it close at its end. The frame holds
// what every key used to repeat by hand:
//   - the window busy (Host::setBusy) from start to end, counted, so nested work keeps the panels
//     off until the outermost frame closes;
//   - the abort flag cleared as the outermost frame opens and again as it closes, so a stale
//     "中止命令" never stops the next operation;
//   - the optional raise of the link to a transfer speed, and the way back to the speed it found;
//   - the ending: ReceiveMode "usercmd" and a bare "\r", so the drive prints a fresh prompt into
//     the console. Some dialogues end otherwise: they send it early (sendEnding), end in "usercmd"
//     without the carriage return (endInUserMode), or leave the mode alone (skipEnding).
//
// The frame sends nothing on its own but the ending and the speed changes asked of it, so the bytes
// on the wire are those of the dialogue it frames.
#pragma once

#include <QString>

#include "outcome.h"

namespace hdd {

class Dialogue;

class Operation {
public:
    explicit Operation(Dialogue& d);
    ~Operation();
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;

    Dialogue& dialogue() { return d_; }
    bool outermost() const { return outermost_; }

    // Raises drive and port to the speed a selector text names (any other text means 9600), at the
    // level the drive is at (AdMySpeed), and keeps the port's speed found before for the way back.
    // True when the drive answered at the new speed.
    bool raiseSpeed(const QString& speedText);
    // The way back to the speed found by raiseSpeed (the port's speed when the frame opened, if it was
    // not raised): with the T-level command ("B…"), the F-level command ("b…"), or at whatever level
    // the drive is at now (asked first). True when the drive answered.
    enum class Level { T, F, Ask };
    bool returnSpeed(Level level);
    qint32 foundSpeed() const { return found_; }

    // The ending, now: "usercmd" and "\r". It is sent once; the frame's close sends it if nobody did.
    void sendEnding();
    // "usercmd" without the carriage return.
    void endInUserMode();
    // No ending at all: the dialogue has left the drive where it must stay.
    void skipEnding();

private:
    Dialogue& d_;
    bool outermost_ = false;
    bool ended_ = false;
    qint32 found_ = 0;
};

}  // namespace hdd
