// The simulated drive as a serial port ("sim" in the port list).
//
// The backend owns a Drive and runs it on the dialogue's clock: with the virtual clock of the
// tests it is stepped on every processEvents; with the real clock a short timer steps it while
// the window is idle. Arrivals are announced by rxNotify like a real port's. The backend also
// tells the virtual clock when the drive's next byte reaches the host, so a fast wait can sleep
// exactly until then.
#pragma once

#include <QTimer>
#include <memory>

#include "clock.h"
#include "drive.h"
#include "serial_backend.h"

namespace hddsim {

class SimBackend : public hdd::SerialBackend {
    Q_OBJECT
public:
    // The drive is shared so that it outlives a close and reopen (as a real drive does) and so that
    // tests can look at it and switch faults on.
    SimBackend(hdd::Clock& clock, std::shared_ptr<Drive> drive, QObject* parent = nullptr);
    ~SimBackend() override;

    bool open(const QString& name, qint32 baud) override;
    void close() override;
    bool isOpen() const override { return open_; }
    bool setBaud(qint32 baud) override;
    qint32 baud() const override { return baud_; }
    bool setControlLines(bool on) override;
    bool controlLines() const override { return lines_; }
    qint64 bytesWaiting() override;
    QByteArray readWaiting() override;
    qint64 write(const QByteArray& data) override;
    hdd::PortError lastError() const override { return hdd::PortError::None; }

    Drive& drive() { return *drive_; }
    // The device vanishes (a pulled adapter): the port reports itself lost.
    void pull();

private:
    void poll();

    hdd::Clock& clock_;
    std::shared_ptr<Drive> drive_;
    QTimer timer_;
    int pollerId_ = 0;
    int sourceId_ = 0;
    bool open_ = false;
    bool lines_ = false;
    qint32 baud_ = 9600;
    qint64 announced_ = 0;
};

}  // namespace hddsim
