// hddterm-cli's `script FILE` beyond pressing the dialog's keys: the whole script is looked at
// before the port opens, and the run is reported line by line.
//
// A script with findings (script_check.h) is not run: each finding goes to stderr as
// "hddterm-cli: FILE:3: 未知的命令“BOGUS”: BOGUS/1/2", the port is never opened, and the exit
// status is 2. With --keep-going the dialog lists them on the console and runs the script as it
// does for a user; the exit status is then 1 at best. With --json each line run prints
// {"line":3,"text":"W_BUF/800/4/x.bin","outcome":"failed","reason":"…"} as it ends, and the run
// {"script":"FILE","outcome":"…","reason":"…","lines":N} at the end.
#pragma once

#include <QString>
#include <QTextStream>

#include "outcome.h"

namespace hdd {

class MainModel;
struct CliOptions;

class ScriptVerb {
public:
    ScriptVerb(const CliOptions& opt, QTextStream& out, QTextStream& err);
    // Before the port opens: -1 to go on, else the exit status.
    int check(const QString& file, const QString& text);
    // Hears the lines of the run the dialog's key will start.
    void listen(MainModel& m);
    // The run has ended with `status`: the status to exit with (the run's JSON object printed).
    int finish(const Outcome& run, int status);

private:
    bool keepGoing_;
    bool json_;
    QTextStream& out_;
    QTextStream& err_;
    QString file_;
    int findings_ = 0;
    int lines_ = 0;
    bool listening_ = false;
};

}  // namespace hdd
