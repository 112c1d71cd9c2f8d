// The simulated drive as the port "sim" of a window.
//
// Whoever builds a window adds it to the window's port (the program, hddterm-cli and the tests
// each do, the window itself knows nothing of it): SimPort::add registers the name "sim", served
// by one drive that outlives every close and reopen, and stays beside the port as its child, so
// SimPort::of finds the drive again from the port alone.
#pragma once

#include <QObject>
#include <memory>

#include "clock.h"
#include "drive.h"
#include "serial_port.h"

namespace hddsim {

class SimPort : public QObject {
    Q_OBJECT
public:
    static inline const QString kName = QStringLiteral("sim");

    // Registers "sim" on the port, served by `drive` (by a fresh drive answering every command
    // when none is given).
    static SimPort& add(hdd::SerialPort& port, hdd::Clock& clock, std::shared_ptr<Drive> drive = {});
    // The one added to the port, or null.
    static SimPort* of(hdd::SerialPort& port);

    Drive& drive() { return *drive_; }
    const std::shared_ptr<Drive>& sharedDrive() const { return drive_; }

private:
    SimPort(std::shared_ptr<Drive> drive, QObject* parent) : QObject(parent), drive_(std::move(drive)) {}

    std::shared_ptr<Drive> drive_;
};

}  // namespace hddsim
