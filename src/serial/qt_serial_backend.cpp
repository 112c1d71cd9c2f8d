#include "qt_serial_backend.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QMetaObject>

#include "platform.h"

namespace hdd {

QtSerialBackend::QtSerialBackend(QObject* parent) : SerialBackend(parent) {
    connect(&port_, &QSerialPort::readyRead, this, &QtSerialBackend::onReadyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialBackend::onError);
    deviceCheck_.setInterval(250);
    deviceCheck_.callOnTimeout(this, &QtSerialBackend::checkDevice);
}

QtSerialBackend::~QtSerialBackend() { close(); }

PortError QtSerialBackend::mapError(QSerialPort::SerialPortError e) {
    switch (e) {
        case QSerialPort::NoError:
            return PortError::None;
        case QSerialPort::DeviceNotFoundError:
            return PortError::NotFound;
        case QSerialPort::PermissionError:
        case QSerialPort::OpenError:
            return PortError::Busy;
        case QSerialPort::ResourceError:
            return PortError::Disconnected;
        case QSerialPort::UnsupportedOperationError:
            return PortError::Refused;
        default:
            return PortError::Other;
    }
}

bool QtSerialBackend::open(const QString& name, qint32 baud) {
    close();
    error_ = PortError::None;
    lossQueued_ = false;
    port_.setPortName(name);  // a name starting with "/" is taken as the device path itself
    location_ = portDevicePath(name);
    if (!port_.open(QIODevice::ReadWrite)) {
        error_ = mapError(port_.error());
        // The driver says "permission" both for a device held by another program and for one the
        // user may not open: ask the system which.
        if (error_ == PortError::Busy) error_ = classifyOpenFailure(name);
        if (error_ == PortError::None) error_ = PortError::Other;
        port_.clearError();
        return false;
    }
    port_.setReadBufferSize(0);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    // Pseudo-terminals refuse the modem lines; that must not poison the port.
    port_.setDataTerminalReady(false);
    port_.setRequestToSend(false);
    port_.clearError();
    lines_ = false;
    requestLowLatency();
    if (!setBaud(baud)) {
        error_ = PortError::Refused;
        restoreLatency();
        port_.close();
        port_.clearError();
        return false;
    }
    port_.clear();
    deviceCheck_.start();
    return true;
}

void QtSerialBackend::requestLowLatency() { savedFlags_ = platform::requestLowLatency(port_.handle()); }

void QtSerialBackend::restoreLatency() {
    platform::restoreLatency(port_.handle(), savedFlags_);
    savedFlags_ = -1;
}

bool QtSerialBackend::drain(int ms) {
    if (!port_.isOpen() || lossQueued_) return true;
    QDeadlineTimer deadline(ms);
    while (port_.bytesToWrite() > 0 && !deadline.hasExpired()) {
        if (!port_.waitForBytesWritten(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())))) break;
    }
    return port_.bytesToWrite() == 0 &&
           platform::waitOutputDrained(port_.handle(), static_cast<int>(deadline.remainingTime()));
}

void QtSerialBackend::close() {
    deviceCheck_.stop();
    if (!port_.isOpen()) return;
    restoreLatency();
    port_.setDataTerminalReady(false);
    port_.setRequestToSend(false);
    // What came in and was not read is discarded; what was sent has been drained by the caller.
    port_.clear(QSerialPort::Input);
    port_.close();
    port_.clearError();
    lines_ = false;
    notifyPending_ = false;
}

bool QtSerialBackend::setBaud(qint32 baud) {
    if (!port_.isOpen() || baud <= 0) return false;
    if (!port_.setBaudRate(baud)) {
        port_.clearError();
        return false;
    }
    baud_ = baud;
    return true;
}

bool QtSerialBackend::setControlLines(bool on) {
    if (!port_.isOpen()) return false;
    const bool dtr = port_.setDataTerminalReady(on);
    const bool rts = port_.setRequestToSend(on);
    port_.clearError();
    if (dtr && rts) lines_ = on;
    return dtr && rts;
}

qint64 QtSerialBackend::bytesWaiting() { return port_.isOpen() ? port_.bytesAvailable() : 0; }

QByteArray QtSerialBackend::readWaiting() { return port_.isOpen() ? port_.readAll() : QByteArray(); }

qint64 QtSerialBackend::write(const QByteArray& data) {
    if (!port_.isOpen() || data.isEmpty()) return 0;
    // QtSerialPort may read and announce arrivals while it waits for a write; hold the
    // announcement back until the write is done so answers are handled inside the wait that follows.
    inWrite_ = true;
    qint64 n = port_.write(data);
    QDeadlineTimer deadline(5000);
    while (n > 0 && port_.isOpen() && port_.bytesToWrite() > 0 && !deadline.hasExpired()) {
        if (!port_.waitForBytesWritten(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())))) break;
    }
    if (port_.bytesToWrite() > 0) n = 0;
    inWrite_ = false;
    if (notifyPending_) {
        notifyPending_ = false;
        QMetaObject::invokeMethod(this, &QtSerialBackend::onReadyRead, Qt::QueuedConnection);
    }
    return n < 0 ? 0 : n;
}

bool QtSerialBackend::waitForData(qint64 us) {
    if (!port_.isOpen() || inWrite_) return false;
    // The handle is watched to the microsecond (QtSerialPort's own wait counts whole milliseconds,
    // which would make a short wait for the line to go quiet cost a millisecond); when it is
    // readable, QtSerialPort reads and emits readyRead itself. Running out only sets a timeout error.
    const int ms = platform::waitReadable(port_.handle(), qMax<qint64>(us, 0));
    if (ms >= 0 && !port_.waitForReadyRead(ms) && port_.error() == QSerialPort::TimeoutError)
        port_.clearError();
    return true;
}

void QtSerialBackend::onReadyRead() {
    if (inWrite_) {
        notifyPending_ = true;
        return;
    }
    if (port_.isOpen() && port_.bytesAvailable() > 0) emit rxNotify();
}

bool QtSerialBackend::hungUp() { return port_.isOpen() && platform::hungUp(port_.handle()); }

void QtSerialBackend::checkDevice() {
    if (!port_.isOpen() || lossQueued_) return;
    // The device node went away, or the line was hung up (a USB adapter pulled, a pty's master
    // closed): both show without any byte being sent.
    if (!QFileInfo::exists(location_) || hungUp()) onError(QSerialPort::ResourceError);
}

void QtSerialBackend::onError(QSerialPort::SerialPortError e) {
    // A device that hung up (the far end of a pseudo-terminal closed) reads as the end of a file,
    // which QtSerialPort reports as a read error: without this the loss would only show at the next
    // write, and a wait for an answer would run out first.
    const bool gone = e == QSerialPort::ResourceError || (e == QSerialPort::ReadError && hungUp());
    if (!gone || lossQueued_) return;
    // Close through a queued call, never from inside the signal.
    lossQueued_ = true;
    error_ = PortError::Disconnected;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (port_.isOpen()) {
                port_.close();
                port_.clearError();
            }
            savedFlags_ = -1;  // the device is gone, and its setting with it
            lines_ = false;
            emit lost(PortError::Disconnected);
        },
        Qt::QueuedConnection);
}

}  // namespace hdd
