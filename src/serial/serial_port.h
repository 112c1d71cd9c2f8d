// The serial port module: one process-wide port, the only way to the drive.
//
// The window opens one port at a time by name. A name is either a device the system lists
// (EnumComPorts), a full device path typed by the user (/dev/pts/5, which the system never
// lists), or a name claimed by a registered backend factory ("sim", the built-in simulated
// drive). Received characters are announced by RxNotify; the dialogue layer's handler then
// reads everything waiting with ComReadAll. Text commands go out one byte per completed write
// (ComWriteBytes), block data in one write (ComWriteBuffer).
#pragma once

#include <QHash>
#include <QObject>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>

#include "serial_backend.h"

namespace hdd {

class SerialPort : public QObject {
    Q_OBJECT
public:
    using BackendFactory = std::function<std::unique_ptr<SerialBackend>()>;
    // What the port did, for a transcript: bytes written and read, and the port's own events
    // (opened "NAME BAUD", closed, baud changed).
    enum class TapEvent { Sent, Received, Opened, Closed, Baud };
    using Tap = std::function<void(TapEvent, const QByteArray&)>;

    explicit SerialPort(QObject* parent = nullptr);
    ~SerialPort() override;

    // A name offered after the system's ports (the simulated drive registers "sim").
    void registerBackend(const QString& name, BackendFactory factory);
    // Whether the name is one of those (no system device).
    bool isRegistered(const QString& name) const;

    // Replaces the list with the system's serial ports in case-insensitive text order, followed by
    // the registered names.
    void EnumComPorts(QStringList& list) const;
    bool OpenComPort(const QString& name, qint32 baud);
    // Closes the port once everything written has left it (at most `drainMs` milliseconds), then
    // gives the device back its settings.
    void CloseComPort(int drainMs = 1000);
    bool SetComBaud(qint32 baud);
    bool SetControlLines(bool on);
    int ComBytesWaiting();
    QByteArray ComReadAll();
    int ComWriteBuffer(const char* data, int count);
    int ComWriteBytes(const QByteArray& text);
    // Blocks up to us microseconds for received characters without running the event loop (they are
    // announced by RxNotify); false when the open device cannot be waited for this way.
    bool waitForData(qint64 us) { return backend_ && backend_->waitForData(us); }

    bool isOpen() const;
    // What came from the device since the last write began (its last 4 KiB), the last text command
    // written (empty after a block), and whether anything was written since the port opened: whether
    // the device has answered what it was sent.
    const QByteArray& receivedSinceWrite() const { return sinceWrite_; }
    const QByteArray& lastCommand() const { return lastCommand_; }
    bool wroteSinceOpen() const { return wrote_; }
    QString portName() const { return name_; }
    qint32 baud() const;
    bool controlLines() const;
    PortError lastError() const { return lastError_; }
    SerialBackend* backend() const { return backend_.get(); }

    // One listener sees every byte written and read (empty: none).
    void setTap(Tap tap) { tap_ = std::move(tap); }

    // How the system lists ports; tests replace it.
    void setSystemPortLister(std::function<QStringList()> lister) { lister_ = std::move(lister); }

signals:
    void RxNotify();
    // Every chunk ComReadAll takes from the device, as read (the console's hexadecimal view).
    void received(const QByteArray& chunk);
    // The port vanished while open and has been closed.
    void portLost(hdd::PortError error);

private:
    void onLost(PortError error);
    void noteWrite(const QByteArray& command);

    std::map<QString, BackendFactory> factories_;
    std::function<QStringList()> lister_;
    std::unique_ptr<SerialBackend> backend_;
    Tap tap_;
    QString name_;
    PortError lastError_ = PortError::None;
    QByteArray sinceWrite_;
    QByteArray lastCommand_;
    bool wrote_ = false;
};

// The adapter behind each system port, "description SN:serial" by port name; no device is opened.
QHash<QString, QString> systemPortDetails();

// Sorts port names as text without regard to case (COM10 before COM2).
void sortPortNames(QStringList& names);

// Pins the process to one processor picked at random; returns the mask (1 << index).
quint64 pinToRandomCpu();

}  // namespace hdd
