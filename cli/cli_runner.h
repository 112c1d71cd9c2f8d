// hddterm-cli: the main window's model driven from the command line.
//
// The runner checks every action before anything happens, performs the window's start-up, selects
// and opens the port as a user would, runs the actions (keys, fields, typed commands, idle time,
// readouts), returns a baud selection changed by the run, closes the port and reports. The console
// goes to stderr line by line (with a progress line rewritten in place when stderr is a terminal);
// GET readouts go to stdout. A signal acts as the abort key, then the run closes as usual.
#pragma once

#include <QStringList>
#include <QTextStream>
#include <functional>

namespace hdd {

class Clock;
class Interrupts;
class MainModel;

struct CliOptions {
    QString port = QStringLiteral("sim");
    QString baud;
    QStringList sets;
    QStringList files;
    QString log;
    bool yes = false;
    bool json = false;
    bool keepSpeed = false;
    bool keepGoing = false;  // `script`: run a script whose check found lines that cannot run
    QString lang;            // --lang: "zh" or "en"; empty: HDDTERM_LANG, else Chinese
};

// What the runner learns from the process around it.
struct CliEnv {
    bool terminal = false;             // stderr is a terminal: show the progress line
    Interrupts* interrupts = nullptr;  // SIGINT / SIGTERM, or none
};

// The text of --help (the man page and the README follow it).
QString cliHelp();
// The short usage line after a usage error, with why; returns the exit status 2.
int cliUsage(QTextStream& err, const QString& why);
// Reads the options before the verb into `opt` and the verb with its arguments into `rest`. Returns
// -1 to go on, or the exit status when the run ends here (--help, --version, a usage error).
// `verify FOLDER`: 0 when every file SHA256SUMS lists is there and matches, 1 otherwise, 2 without
// SHA256SUMS.
int runVerify(const QString& folder, QTextStream& out, QTextStream& err);
int parseCliOptions(const QStringList& args, CliOptions& opt, QStringList& rest, QTextStream& out,
                    QTextStream& err);

// Parses the command line and runs it; returns the exit status (0, 1, 2, or 128 + a signal).
// `configure` lets a test prepare the model (its simulated drive, its port list) before start-up.
int runCli(const QStringList& args, QTextStream& out, QTextStream& err, Clock& clock,
           const std::function<void(MainModel&)>& configure = {}, const CliEnv& env = {});

}  // namespace hdd
