// One command line and the drive's answer, for a caller that waits for it (hddterm-cli's `send`):
// the line goes out as the command line sends it, then the wait lasts until the drive prints its
// prompt again, or the time runs out.
#pragma once

#include <QString>
#include <QStringList>

#include "outcome.h"

namespace hdd {

class Dialogue;

// Done when the prompt came back within `pulses` waits of 10 ms; failed otherwise.
Outcome SendAndAwaitPrompt(Dialogue& d, const QString& line, int pulses = 500);

// Several lines pasted into the command line, sent one per prompt as one operation: each line as
// the command line sends it, the next once the drive has printed its prompt again. A line the drive
// does not answer with a prompt stops the run (failed), as does "中止命令" (aborted); the console
// then says how many lines were not sent, so none is dropped unseen. The drive's answers go to the
// console; no carriage return follows the last line.
Outcome SendLinesAtPrompt(Dialogue& d, const QStringList& lines, int pulses = 500);

}  // namespace hdd
