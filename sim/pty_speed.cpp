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

bool setTerminalBaud(int fd, qint32 baud) {
    struct termios2 t {};
    if (baud <= 0 || ioctl(fd, TCGETS2, &t) != 0) return false;
    t.c_cflag &= ~static_cast<tcflag_t>(CBAUD | (CBAUD << IBSHIFT));
    t.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    t.c_ispeed = static_cast<speed_t>(baud);
    t.c_ospeed = static_cast<speed_t>(baud);
    return ioctl(fd, TCSETS2, &t) == 0;
}

}  // namespace hddsim
