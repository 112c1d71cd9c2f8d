#include <unistd.h>
#include <QCoreApplication>
#include <QTextStream>

#include "cli_runner.h"
#include "clock.h"
#include "interrupts.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);
    const auto interrupts = hdd::Interrupts::catchSignals();
    hdd::CliEnv env;
    env.terminal = ::isatty(STDERR_FILENO) == 1;
    env.interrupts = interrupts.get();
    hdd::RealClock clock;
    return hdd::runCli(app.arguments().mid(1), out, err, clock, {}, env);
}
