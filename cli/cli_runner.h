// hddterm-cli: the main window's model driven from the command line.
//
// The runner performs the window's start-up, selects and opens the port as a user would, runs
// the actions (keys, fields, typed commands, idle time, readouts), closes the port and reports.
// The console goes to stderr line by line; GET readouts go to stdout.
#pragma once

#include <QStringList>
#include <QTextStream>
#include <functional>

namespace hdd {

class Clock;
class MainModel;

struct CliOptions {
    QString port = QStringLiteral("sim");
    QString baud;
    QStringList sets;
    QStringList files;
    bool yes = false;
};

// Parses the command line and runs it; returns the exit status (0, 1 or 2).
// `configure` lets a test prepare the model (its simulated drive, its port list) before start-up.
int runCli(const QStringList& args, QTextStream& out, QTextStream& err, Clock& clock,
           const std::function<void(MainModel&)>& configure = {});

}  // namespace hdd
