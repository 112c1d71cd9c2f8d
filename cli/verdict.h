// How a run of hddterm-cli is judged: by the outcomes the operations return, never by the console's
// words.
//
// 0  every operation was done, or ended in one of its own information boxes (a field to fill);
// 1  an operation failed or was refused by the drive or by one of the tool's checks, a warning box
//    was shown, or a file or folder picker had no --file to answer it.
// A run that stops before the port opens (2) or on a signal (128 + the signal) is decided by the
// runner itself.
#pragma once

#include <QList>

#include "outcome.h"

namespace hdd {

class Verdict {
public:
    void operationEnded(const Outcome& outcome) { outcomes_ << outcome; }
    void warningShown() { warning_ = true; }
    void fileUnanswered() { missedFile_ = true; }

    int status() const {
        if (warning_ || missedFile_) return 1;
        for (const Outcome& o : outcomes_) {
            if (o.isFailure()) return 1;
        }
        return 0;
    }
    const QList<Outcome>& outcomes() const { return outcomes_; }
    // The run as one outcome: the worst of its operations', a warning box or an unanswered picker
    // counting as a failure.
    Outcome merged() const {
        Outcome all;
        for (const Outcome& o : outcomes_) all.merge(o);
        if (all.isDone() && warning_) all = Outcome::failed(QStringLiteral("a warning box"));
        if (all.isDone() && missedFile_) all = Outcome::failed(QStringLiteral("a file dialog had no answer"));
        return all;
    }

private:
    QList<Outcome> outcomes_;
    bool warning_ = false;
    bool missedFile_ = false;
};

}  // namespace hdd
