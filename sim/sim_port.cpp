#include "sim_port.h"

#include "sim_backend.h"

namespace hddsim {

SimPort& SimPort::add(hdd::SerialPort& port, hdd::Clock& clock, std::shared_ptr<Drive> drive) {
    if (!drive) {
        drive = std::make_shared<Drive>();
        installAllCommands(*drive);
    }
    auto* sim = new SimPort(drive, &port);
    port.registerBackend(kName, [&clock, drive] { return std::make_unique<SimBackend>(clock, drive); });
    return *sim;
}

SimPort* SimPort::of(hdd::SerialPort& port) {
    return port.findChild<SimPort*>(QString(), Qt::FindDirectChildrenOnly);
}

}  // namespace hddsim
