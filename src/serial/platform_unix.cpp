// The Unix side of the system interface; the Linux-only requests are taken where Linux is.
#include <QFile>
#include <QFileInfo>

#include "platform.h"

#ifdef Q_OS_LINUX
#include <linux/serial.h>
#include <sched.h>
#include <sys/ioctl.h>
#endif
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

namespace hdd::platform {

QString deviceGroup(const QString& devicePath) {
    struct stat st {};
    if (::stat(QFile::encodeName(devicePath).constData(), &st) != 0) return {};
    const struct group* g = ::getgrgid(st.st_gid);
    return g ? QString::fromLocal8Bit(g->gr_name) : QString();
}

PortError classifyOpenFailure(const QString& devicePath) {
    const QByteArray path = QFile::encodeName(devicePath);
    struct stat st {};
    if (::stat(path.constData(), &st) != 0)
        return errno == EACCES ? PortError::PermissionDenied : PortError::NotFound;
    if (::access(path.constData(), R_OK | W_OK) != 0)
        return errno == EACCES || errno == EPERM ? PortError::PermissionDenied : PortError::Other;
    return PortError::Busy;
}

void pinToCpu(int index) {
#ifdef Q_OS_LINUX
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(index, &set);
    (void)sched_setaffinity(0, sizeof(set), &set);
#else
    Q_UNUSED(index);
#endif
}

int requestLowLatency(SerialHandle handle) {
#ifdef Q_OS_LINUX
    serial_struct ss{};
    if (::ioctl(handle, TIOCGSERIAL, &ss) != 0) return -1;
    const int before = ss.flags;
    ss.flags |= ASYNC_LOW_LATENCY;
    if (::ioctl(handle, TIOCSSERIAL, &ss) == 0) return before;
#else
    Q_UNUSED(handle);
#endif
    return -1;
}

void restoreLatency(SerialHandle handle, int saved) {
#ifdef Q_OS_LINUX
    serial_struct ss{};
    if (saved >= 0 && !(saved & ASYNC_LOW_LATENCY) && ::ioctl(handle, TIOCGSERIAL, &ss) == 0) {
        ss.flags &= ~ASYNC_LOW_LATENCY;
        (void)::ioctl(handle, TIOCSSERIAL, &ss);
    }
#else
    Q_UNUSED(handle);
    Q_UNUSED(saved);
#endif
}

bool hungUp(SerialHandle handle) {
    pollfd p{handle, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

QString cannotCreateReason(const QString& absoluteFilePath, bool exists) {
    // An existing file the user may not replace is refused rather than renamed over.
    const QByteArray target = QFile::encodeName(absoluteFilePath);
    if (exists && ::access(target.constData(), W_OK) != 0) return qt_error_string(errno);
    // The save writes a new file beside the target and renames it into place: try exactly that.
    const QByteArray probe = QFile::encodeName(QFileInfo(absoluteFilePath).absolutePath() +
                                               QStringLiteral("/.hddterm-check-%1").arg(::getpid()));
    const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno == EEXIST) return {};  // a stale probe: the folder takes files
        return qt_error_string(errno);
    }
    ::close(fd);
    ::unlink(probe.constData());
    return {};
}

bool hasDriveLetters() { return false; }

}  // namespace hdd::platform
