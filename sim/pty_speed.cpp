// Kept apart: the kernel's termios2 header cannot share a file with the C library's termios.h.
#include "pty_speed.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>

extern "C" int ioctl(int fd, unsigned long request, ...);

namespace hddsim {

qint32 ptyHostBaud(int masterFd) {
    struct termios2 t {};
    if (ioctl(masterFd, TCGETS2, &t) != 0) return 0;
    return static_cast<qint32>(t.c_ospeed);
}

}  // namespace hddsim
