#include "serial_port.h"

#include <QRandomGenerator>
#include <QSerialPortInfo>
#include <QThread>

#include "qt_serial_backend.h"

#ifdef Q_OS_LINUX
#include <sched.h>
#endif

namespace hdd {

QString portErrorText(PortError e) {
    switch (e) {
        case PortError::None:
            return QStringLiteral("no error");
        case PortError::NotFound:
            return QStringLiteral("not found");
        case PortError::Busy:
            return QStringLiteral("busy or permission denied");
        case PortError::Disconnected:
            return QStringLiteral("disconnected");
        case PortError::Refused:
            return QStringLiteral("setting refused");
        case PortError::Other:
            return QStringLiteral("error");
    }
    return {};
}

void sortPortNames(QStringList& names) {
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
}

SerialPort::SerialPort(QObject* parent) : QObject(parent) {
    lister_ = [] {
        QStringList out;
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) out << info.portName();
        return out;
    };
}

SerialPort::~SerialPort() { CloseComPort(); }

void SerialPort::registerBackend(const QString& name, BackendFactory factory) {
    factories_[name] = std::move(factory);
}

void SerialPort::EnumComPorts(QStringList& list) const {
    QStringList names = lister_ ? lister_() : QStringList();
    sortPortNames(names);
    for (const auto& [name, factory] : factories_) names << name;
    list = names;
}

bool SerialPort::OpenComPort(const QString& name, qint32 baud) {
    CloseComPort();
    lastError_ = PortError::None;
    auto it = factories_.find(name);
    std::unique_ptr<SerialBackend> b =
        it != factories_.end() ? it->second() : std::make_unique<QtSerialBackend>();
    if (!b->open(name, baud)) {
        lastError_ = b->lastError();
        return false;
    }
    connect(b.get(), &SerialBackend::rxNotify, this, &SerialPort::RxNotify);
    connect(b.get(), &SerialBackend::lost, this, &SerialPort::onLost);
    backend_ = std::move(b);
    name_ = name;
    return true;
}

void SerialPort::CloseComPort() {
    if (!backend_) return;
    backend_->disconnect(this);
    backend_->close();
    backend_.reset();
    name_.clear();
}

void SerialPort::onLost(PortError error) {
    lastError_ = error;
    // We are inside the backend's own signal: let the event loop delete it.
    backend_->disconnect(this);
    backend_->close();
    backend_.release()->deleteLater();
    name_.clear();
    emit portLost(error);
}

bool SerialPort::SetComBaud(qint32 baud) { return backend_ && backend_->setBaud(baud); }

bool SerialPort::SetControlLines(bool on) { return backend_ && backend_->setControlLines(on); }

int SerialPort::ComBytesWaiting() { return backend_ ? static_cast<int>(backend_->bytesWaiting()) : 0; }

QByteArray SerialPort::ComReadAll() { return backend_ ? backend_->readWaiting() : QByteArray(); }

int SerialPort::ComWriteBuffer(const char* data, int count) {
    if (!backend_ || count <= 0) return 0;
    return static_cast<int>(backend_->write(QByteArray(data, count)));
}

int SerialPort::ComWriteBytes(const QByteArray& text) {
    if (!backend_) return 0;
    int last = 0;
    for (char c : text) {
        if (!backend_) return 0;  // the port may vanish between bytes
        last = static_cast<int>(backend_->write(QByteArray(1, c)));
    }
    return last;
}

bool SerialPort::isOpen() const { return backend_ && backend_->isOpen(); }

qint32 SerialPort::baud() const { return backend_ ? backend_->baud() : 0; }

bool SerialPort::controlLines() const { return backend_ && backend_->controlLines(); }

quint64 pinToRandomCpu() {
    const int n = qMax(1, QThread::idealThreadCount());
    const int index = static_cast<int>(QRandomGenerator::global()->bounded(n));
#ifdef Q_OS_LINUX
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(index, &set);
    (void)sched_setaffinity(0, sizeof(set), &set);
#endif
    return quint64{1} << index;
}

}  // namespace hdd
