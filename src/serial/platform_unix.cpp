// The Unix side of the system interface; the Linux-only requests are taken where Linux is.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>

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
#include <termios.h>
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

namespace {
QString firstLine(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readLine()).trimmed();
}
}  // namespace

QList<QPair<QString, QString>> listSerialPorts() {
    QList<QPair<QString, QString>> out;
#ifdef Q_OS_LINUX
    const QDir ttys(QStringLiteral("/sys/class/tty"));
    for (const QString& name : ttys.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System)) {
        const QString base = ttys.filePath(name);
        const QFileInfo device(base + QStringLiteral("/device"));
        if (!device.exists()) continue;  // a virtual terminal, not a serial device
        // A UART driver publishes a line for every slot it has; the slots without a chip say type 0.
        if (firstLine(base + QStringLiteral("/type")) == QStringLiteral("0")) continue;
        // The adapter (a USB device) is one of the device's parents: its product and serial number.
        QString details;
        QDir dir(device.canonicalFilePath());
        for (int up = 0; up < 6 && dir.cdUp(); ++up) {
            const QString product = firstLine(dir.filePath(QStringLiteral("product")));
            if (product.isEmpty()) continue;
            details = product;
            const QString serial = firstLine(dir.filePath(QStringLiteral("serial")));
            if (!serial.isEmpty()) details += " SN:" + serial;
            break;
        }
        out.append({name, details});
    }
#else
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        QString details = info.description().trimmed();
        if (!info.serialNumber().trimmed().isEmpty())
            details += (details.isEmpty() ? "SN:" : " SN:") + info.serialNumber().trimmed();
        out.append({info.portName(), details});
    }
#endif
    return out;
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

bool waitOutputDrained(SerialHandle handle, int ms) {
#ifdef Q_OS_LINUX
    // Polled rather than tcdrain(): a line whose far end stopped reading would block it for ever.
    for (int waited = 0;; ++waited) {
        int queued = 0;
        if (::ioctl(handle, TIOCOUTQ, &queued) != 0 || queued <= 0) return true;
        if (waited >= ms) return false;
        ::usleep(1000);
    }
#else
    Q_UNUSED(ms);
    return ::tcdrain(handle) == 0;
#endif
}

int waitReadable(SerialHandle handle, qint64 us) {
    pollfd p{handle, POLLIN, 0};
    const timespec t{static_cast<time_t>(us / 1'000'000), static_cast<long>(us % 1'000'000 * 1000)};
    return ::ppoll(&p, 1, &t, nullptr) > 0 ? 0 : -1;
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
