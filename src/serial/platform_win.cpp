// The Windows side of the system interface: ports have no owning group, the driver's latency is
// left as it is, and a file is refused only when its folder is missing.
#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

#include "platform.h"

#include <cerrno>

namespace hdd::platform {

QString deviceGroup(const QString&) { return {}; }

PortError classifyOpenFailure(const QString&) { return PortError::Other; }

QList<QPair<QString, QString>> listSerialPorts() {
    QList<QPair<QString, QString>> out;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        QString details = info.description().trimmed();
        if (!info.serialNumber().trimmed().isEmpty())
            details += (details.isEmpty() ? "SN:" : " SN:") + info.serialNumber().trimmed();
        out.append({info.portName(), details});
    }
    return out;
}

void pinToCpu(int) {}

int waitReadable(SerialHandle, qint64 us) { return static_cast<int>(qMax<qint64>(1, (us + 999) / 1000)); }

int requestLowLatency(SerialHandle) { return -1; }

void restoreLatency(SerialHandle, int) {}

bool waitOutputDrained(SerialHandle, int) { return true; }

bool hungUp(SerialHandle) { return false; }

QString cannotCreateReason(const QString& absoluteFilePath, bool) {
    if (!QFileInfo(absoluteFilePath).absoluteDir().exists()) return qt_error_string(ENOENT);
    return {};
}

bool hasDriveLetters() { return true; }

}  // namespace hdd::platform
