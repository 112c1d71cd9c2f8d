#include "operation.h"

#include "dialogue.h"
#include "monitor.h"

namespace hdd {

Operation::Operation(Dialogue& d) : d_(d), outermost_(d.frames == 0), found_(d.port().baud()) {
    ++d_.frames;
    if (outermost_) d_.AbortRequested = false;
    d_.host().setBusy(true);
}

Operation::~Operation() {
    if (!ended_) sendEnding();
    d_.host().setBusy(false);
    --d_.frames;
    if (outermost_) d_.AbortRequested = false;
}

bool Operation::raiseSpeed(const QString& speedText) {
    found_ = d_.port().baud();
    return AdMySpeed(d_, speedText);
}

bool Operation::returnSpeed(Level level) {
    const qint32 baud = found_ > 0 ? found_ : 9600;
    switch (level) {
        case Level::T:
            return DriveSpeed(d_, baud, false);
        case Level::F:
            return DriveSpeed(d_, baud, true);
        case Level::Ask:
            break;
    }
    return AdMySpeed(d_, QString::number(baud));
}

void Operation::sendEnding() {
    ended_ = true;
    d_.ReceiveMode = kUserCmd;
    d_.SendString("\r");
}

void Operation::endInUserMode() {
    ended_ = true;
    d_.ReceiveMode = kUserCmd;
}

void Operation::skipEnding() { ended_ = true; }

}  // namespace hdd
