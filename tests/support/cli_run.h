// hddterm-cli in-process, for the tests: one run on the virtual clock against the simulated drive
// ("sim", the only port: no system port is listed), with its exit status and what it printed.
//
//   const CliRun r = runCliInProcess({"run", "CMD:/1", "WAIT:300"});
//   runCliInProcess(args, [](hdd::MainModel& m, hdd::Clock&) { hddtest::simDrive(m).… });
#pragma once

#include <QStringList>
#include <QTextStream>
#include <functional>
#include <memory>

#include "cli_runner.h"
#include "clock.h"
#include "harness.h"

struct CliRun {
    int status = -1;
    QString out, err;
    std::shared_ptr<hddsim::Drive> drive;  // the drive the run talked to
};

inline CliRun runCliInProcess(const QStringList& args,
                              const std::function<void(hdd::MainModel&, hdd::Clock&)>& configure = {},
                              const hdd::CliEnv& env = {}) {
    hdd::VirtualClock clock;
    QString out, err;
    QTextStream o(&out), e(&err);
    CliRun r;
    r.status = hdd::runCli(
        args, o, e, clock,
        [&](hdd::MainModel& m) {
            m.port().setSystemPortLister([] { return QStringList(); });
            r.drive = hddtest::simDrive(m).shared_from_this();
            if (configure) configure(m, clock);
        },
        env);
    o.flush();
    e.flush();
    r.out = out;
    r.err = err;
    return r;
}
