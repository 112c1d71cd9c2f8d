#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

#include "cli_runner.h"
#include "clock.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);
    hdd::RealClock clock;
    return hdd::runCli(app.arguments().mid(1), out, err, clock);
}
