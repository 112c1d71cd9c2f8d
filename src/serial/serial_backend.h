// The device behind the serial port module.
//
// Everything the tool says to a drive goes through one SerialBackend: a real serial port
// (QtSerialBackend), or the simulated drive (hddsim's backend). The backend only moves bytes
// and reports two events: characters arrived (rxNotify) and the device vanished (lost). It
// holds no dialogue state; the dialogue layer reads what is waiting when it is notified.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace hdd {

// One error vocabulary at the serial boundary, mapped from the OS in one place. Busy is a device
// held by another program; PermissionDenied one the user may not open.
enum class PortError { None, NotFound, Busy, Disconnected, Refused, Other, PermissionDenied };

QString portErrorText(PortError e);
// The device path a port name stands for ("ttyUSB0" is /dev/ttyUSB0; a path is itself).
QString portDevicePath(const QString& name);
// Why a port could not be opened, in words a user can act on: the reason, and for a device the
// user may not open, the group that owns it to join (e.g. dialout).
QString portErrorReason(PortError e, const QString& name);
// Tells a failed open apart by asking the system about the device: missing, not permitted, or
// (when it exists and may be opened) held by another program.
PortError classifyOpenFailure(const QString& name);

class SerialBackend : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~SerialBackend() override = default;

    // Opens the device exclusively with 8N1, no flow control, DTR and RTS dropped.
    virtual bool open(const QString& name, qint32 baud) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Waits at most ms milliseconds until everything written has left the device; false when it
    // had not by then. A device that hands every byte over at once has nothing to wait for.
    virtual bool drain(int ms) {
        Q_UNUSED(ms);
        return true;
    }
    virtual bool setBaud(qint32 baud) = 0;
    virtual qint32 baud() const = 0;
    // DTR and RTS always move together.
    virtual bool setControlLines(bool on) = 0;
    virtual bool controlLines() const = 0;
    virtual qint64 bytesWaiting() = 0;
    // Reads exactly what is waiting now.
    virtual QByteArray readWaiting() = 0;
    // One write request, awaited; returns the bytes written (0 on failure).
    virtual qint64 write(const QByteArray& data) = 0;
    virtual PortError lastError() const = 0;
    // Blocks for at most us microseconds until new characters arrive, announcing them (rxNotify)
    // before it returns. False when the device cannot be waited for this way (the caller then
    // waits in the event loop).
    virtual bool waitForData(qint64 us) {
        Q_UNUSED(us);
        return false;
    }

signals:
    // Characters arrived. Delivered only while the UI thread processes events, never during a write.
    void rxNotify();
    // The open device went away (USB adapter pulled, pty master closed).
    void lost(hdd::PortError error);
};

}  // namespace hdd
