// A real serial port (or a pseudo-terminal opened by its path) through QtSerialPort.
//
// On Linux, opening a port asks its driver for low latency: a USB adapter then hands received
// bytes over within about a millisecond instead of holding them for its latency timer (16 ms by
// default), which a dialogue of short questions and answers pays for on every answer. A driver
// that refuses (a pseudo-terminal, an on-board port without the setting) is used as it is. The
// driver's previous setting is put back when the port closes.
#pragma once

#include <QSerialPort>
#include <QTimer>

#include "serial_backend.h"

namespace hdd {

class QtSerialBackend : public SerialBackend {
    Q_OBJECT
public:
    explicit QtSerialBackend(QObject* parent = nullptr);
    ~QtSerialBackend() override;

    bool open(const QString& name, qint32 baud) override;
    void close() override;
    bool drain(int ms) override;
    bool isOpen() const override { return port_.isOpen(); }
    bool setBaud(qint32 baud) override;
    qint32 baud() const override { return baud_; }
    bool setControlLines(bool on) override;
    bool controlLines() const override { return lines_; }
    qint64 bytesWaiting() override;
    QByteArray readWaiting() override;
    qint64 write(const QByteArray& data) override;
    PortError lastError() const override { return error_; }
    bool waitForData(qint64 us) override;
    // Whether the driver took the low-latency request for the open port.
    bool lowLatency() const { return savedFlags_ >= 0; }

private:
    void onReadyRead();
    void onError(QSerialPort::SerialPortError e);
    // Whether the device has hung up: its far end is gone for good.
    bool hungUp();
    // A pulled adapter is otherwise noticed only at the next write: the line is looked at while open.
    void checkDevice();
    static PortError mapError(QSerialPort::SerialPortError e);
    void requestLowLatency();
    void restoreLatency();

    QSerialPort port_;
    qint32 baud_ = 0;
    bool lines_ = false;
    bool inWrite_ = false;
    bool notifyPending_ = false;
    bool lossQueued_ = false;
    PortError error_ = PortError::None;
    int savedFlags_ = -1;  // the driver's flags before the low-latency request (-1: not taken)
    QTimer deviceCheck_;
    QString location_;  // the device path
};

}  // namespace hdd
