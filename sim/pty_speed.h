#pragma once
#include <QtGlobal>
namespace hddsim {
// The line speed the host set on a pseudo-terminal, read from its master side (0 when unknown).
qint32 ptyHostBaud(int masterFd);
// Sets a terminal's speed, both ways, as a plain number (custom rates too); false when refused.
bool setTerminalBaud(int fd, qint32 baud);
}  // namespace hddsim
