#pragma once
#include <QtGlobal>
namespace hddsim {
// The line speed the host set on a pseudo-terminal, read from its master side (0 when unknown).
qint32 ptyHostBaud(int masterFd);
}  // namespace hddsim
