#include "sim_backend.h"

namespace hddsim {

SimBackend::SimBackend(hdd::Clock& clock, std::shared_ptr<Drive> drive, QObject* parent)
    : SerialBackend(parent), clock_(clock), drive_(std::move(drive)) {
    timer_.setInterval(2);
    connect(&timer_, &QTimer::timeout, this, &SimBackend::poll);
}

SimBackend::~SimBackend() { close(); }

bool SimBackend::open(const QString&, qint32 baud) {
    if (open_) return false;
    open_ = true;
    baud_ = baud;
    lines_ = false;
    announced_ = 0;
    // Whatever the drive said while nobody listened is gone.
    drive_->advance(clock_.nowUs());
    drive_->hostRead(clock_.nowUs(), baud_);
    if (clock_.isVirtual()) {
        pollerId_ = clock_.addPoller([this] { poll(); });
        sourceId_ = clock_.addArrivalSource([this] {
            drive_->advance(clock_.nowUs());
            return drive_->nextEventUs(clock_.nowUs());
        });
    } else {
        timer_.start();
    }
    return true;
}

void SimBackend::close() {
    if (!open_) return;
    open_ = false;
    lines_ = false;
    timer_.stop();
    if (pollerId_) clock_.removePoller(pollerId_);
    if (sourceId_) clock_.removeArrivalSource(sourceId_);
    pollerId_ = 0;
    sourceId_ = 0;
}

bool SimBackend::setBaud(qint32 baud) {
    if (!open_ || baud <= 0) return false;
    baud_ = baud;
    return true;
}

bool SimBackend::setControlLines(bool on) {
    if (!open_) return false;
    lines_ = on;
    return true;
}

qint64 SimBackend::bytesWaiting() {
    if (!open_) return 0;
    drive_->advance(clock_.nowUs());
    return drive_->hostWaiting(clock_.nowUs());
}

QByteArray SimBackend::readWaiting() {
    if (!open_) return {};
    drive_->advance(clock_.nowUs());
    announced_ = 0;
    return drive_->hostRead(clock_.nowUs(), baud_);
}

qint64 SimBackend::write(const QByteArray& data) {
    if (!open_) return 0;
    drive_->advance(clock_.nowUs());
    drive_->hostWrite(data, clock_.nowUs(), baud_);
    return data.size();
}

void SimBackend::poll() {
    if (!open_) return;
    drive_->advance(clock_.nowUs());
    const qint64 n = drive_->hostWaiting(clock_.nowUs());
    if (n > announced_) {
        announced_ = n;
        emit rxNotify();
    }
}

void SimBackend::pull() {
    if (!open_) return;
    close();
    emit lost(hdd::PortError::Disconnected);
}

}  // namespace hddsim
