#include "serial_port.h"

#include <QRandomGenerator>
#include <QThread>

#include "platform.h"
#include "qt_serial_backend.h"

namespace hdd {

QString portErrorText(PortError e) {
    switch (e) {
        case PortError::None:
            return QStringLiteral("no error");
        case PortError::NotFound:
            return QStringLiteral("does not exist");
        case PortError::Busy:
            return QStringLiteral("in use by another program");
        case PortError::PermissionDenied:
            return QStringLiteral("permission denied");
        case PortError::Disconnected:
            return QStringLiteral("disconnected");
        case PortError::Refused:
            return QStringLiteral("setting refused");
        case PortError::Other:
            return QStringLiteral("error");
    }
    return {};
}

QString portDevicePath(const QString& name) {
    return name.startsWith('/') || name.isEmpty() ? name : QStringLiteral("/dev/") + name;
}

QString portErrorReason(PortError e, const QString& name) {
    QString text = portErrorText(e);
    if (e != PortError::PermissionDenied) return text;
    const QString owner = platform::deviceGroup(portDevicePath(name));
    // A device of the root group is no group to join: the usual one is named instead.
    if (owner.isEmpty() || owner == QStringLiteral("root"))
        return text +
               QStringLiteral(" (join the group that owns the device, e.g. dialout, then log in again)");
    return text + QStringLiteral(
                      " (join the group that owns the device, %1: sudo usermod -aG %1 $USER, "
                      "then log in again)")
                      .arg(owner);
}

PortError classifyOpenFailure(const QString& name) {
    return platform::classifyOpenFailure(portDevicePath(name));
}

QHash<QString, QString> systemPortDetails() {
    QHash<QString, QString> out;
    for (const auto& [name, details] : platform::listSerialPorts()) {
        if (!details.isEmpty()) out.insert(name, details);
    }
    return out;
}

bool SerialPort::isRegistered(const QString& name) const { return factories_.count(name) > 0; }

void sortPortNames(QStringList& names) {
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
}

SerialPort::SerialPort(QObject* parent) : QObject(parent) {
    lister_ = [] {
        QStringList out;
        for (const auto& [name, details] : platform::listSerialPorts()) out << name;
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
    sinceWrite_.clear();
    lastCommand_.clear();
    wrote_ = false;
    if (tap_) tap_(TapEvent::Opened, (name + ' ' + QString::number(baud)).toUtf8());
    return true;
}

void SerialPort::CloseComPort(int drainMs) {
    if (!backend_) return;
    backend_->disconnect(this);
    // The last bytes must reach the device at the speed they were sent with: the settings go back
    // (and whatever is still queued would be dropped) only after they have left.
    backend_->drain(drainMs);
    backend_->close();
    backend_.reset();
    if (tap_) tap_(TapEvent::Closed, name_.toUtf8());
    name_.clear();
}

void SerialPort::onLost(PortError error) {
    lastError_ = error;
    // We are inside the backend's own signal: let the event loop delete it.
    backend_->disconnect(this);
    backend_->close();
    backend_.release()->deleteLater();
    if (tap_) tap_(TapEvent::Closed, name_.toUtf8() + " (" + portErrorText(error).toUtf8() + ')');
    name_.clear();
    emit portLost(error);
}

bool SerialPort::SetComBaud(qint32 baud) {
    const bool ok = backend_ && backend_->setBaud(baud);
    if (ok && tap_) tap_(TapEvent::Baud, QByteArray::number(baud));
    return ok;
}

bool SerialPort::SetControlLines(bool on) { return backend_ && backend_->setControlLines(on); }

int SerialPort::ComBytesWaiting() { return backend_ ? static_cast<int>(backend_->bytesWaiting()) : 0; }

QByteArray SerialPort::ComReadAll() {
    if (!backend_) return {};
    QByteArray chunk = backend_->readWaiting();
    if (tap_ && !chunk.isEmpty()) tap_(TapEvent::Received, chunk);
    sinceWrite_ = (sinceWrite_ + chunk).right(4096);
    if (!chunk.isEmpty()) emit received(chunk);
    return chunk;
}

int SerialPort::ComWriteBuffer(const char* data, int count) {
    if (!backend_ || count <= 0) return 0;
    noteWrite({});
    const int n = static_cast<int>(backend_->write(QByteArray(data, count)));
    if (tap_ && n > 0) tap_(TapEvent::Sent, QByteArray(data, n));
    return n;
}

int SerialPort::ComWriteBytes(const QByteArray& text) {
    if (!backend_) return 0;
    if (!text.isEmpty()) noteWrite(text);
    int last = 0;
    qsizetype sent = 0;
    for (char c : text) {
        if (!backend_) break;  // the port may vanish between bytes
        last = static_cast<int>(backend_->write(QByteArray(1, c)));
        if (last > 0) ++sent;
    }
    // A text command is one chunk of the transcript, not one per byte.
    if (tap_ && sent > 0) tap_(TapEvent::Sent, text.left(sent));
    return backend_ ? last : 0;
}

void SerialPort::noteWrite(const QByteArray& command) {
    sinceWrite_.clear();
    lastCommand_ = command;
    wrote_ = true;
}

bool SerialPort::isOpen() const { return backend_ && backend_->isOpen(); }

qint32 SerialPort::baud() const { return backend_ ? backend_->baud() : 0; }

bool SerialPort::controlLines() const { return backend_ && backend_->controlLines(); }

quint64 pinToRandomCpu() {
    const int n = qMax(1, QThread::idealThreadCount());
    const int index = static_cast<int>(QRandomGenerator::global()->bounded(n));
    platform::pinToCpu(index);
    return quint64{1} << index;
}

}  // namespace hdd
