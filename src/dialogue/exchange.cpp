#include "exchange.h"

#include "dialogue.h"
#include "terminal.h"

namespace hdd {

Outcome SendAndAwaitPrompt(Dialogue& d, const QString& line, int pulses) {
    sendCommandLine(d, line);
    if (d.WaitHD(pulses)) return Outcome::done();
    return Outcome::failed(QStringLiteral("no prompt after \"%1\"").arg(line.trimmed()));
}

}  // namespace hdd
