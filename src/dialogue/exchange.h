// One command line and the drive's answer, for a caller that waits for it (hddterm-cli's `send`):
// the line goes out as the command line sends it, then the wait lasts until the drive prints its
// prompt again, or the time runs out.
#pragma once

#include <QString>

#include "outcome.h"

namespace hdd {

class Dialogue;

// Done when the prompt came back within `pulses` waits of 10 ms; failed otherwise.
Outcome SendAndAwaitPrompt(Dialogue& d, const QString& line, int pulses = 500);

}  // namespace hdd
