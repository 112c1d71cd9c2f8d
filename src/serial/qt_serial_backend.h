// A real serial port (or a pseudo-terminal opened by its path) through QtSerialPort.
#pragma once

#include <QSerialPort>

#include "serial_backend.h"

namespace hdd {

class QtSerialBackend : public SerialBackend {
    Q_OBJECT
public:
    explicit QtSerialBackend(QObject* parent = nullptr);
    ~QtSerialBackend() override;

    bool open(const QString& name, qint32 baud) override;
    void close() override;
    bool isOpen() const override { return port_.isOpen(); }
    bool setBaud(qint32 baud) override;
    qint32 baud() const override { return baud_; }
    bool setControlLines(bool on) override;
    bool controlLines() const override { return lines_; }
    qint64 bytesWaiting() override;
    QByteArray readWaiting() override;
    qint64 write(const QByteArray& data) override;
    PortError lastError() const override { return error_; }

private:
    void onReadyRead();
    void onError(QSerialPort::SerialPortError e);
    static PortError mapError(QSerialPort::SerialPortError e);

    QSerialPort port_;
    qint32 baud_ = 0;
    bool lines_ = false;
    bool inWrite_ = false;
    bool notifyPending_ = false;
    bool lossQueued_ = false;
    PortError error_ = PortError::None;
};

}  // namespace hdd
