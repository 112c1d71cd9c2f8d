// Time for the dialogue's waits.
//
// Every wait of the tool is a loop of "sleep 10 ms, then process events". The clock is passed
// in so that the same loops run against the wall clock in the program (RealClock: the thread
// sleeps and Qt events are pumped, which delivers the port's arrivals) and against virtual time
// in tests (VirtualClock: sleeping only advances a counter and processing events steps whatever
// was registered as a poller, such as the in-process simulated drive). A five-second pause then
// costs nothing and runs are deterministic.
#pragma once

#include <QElapsedTimer>
#include <QtGlobal>
#include <functional>
#include <map>

namespace hdd {

class Clock {
public:
    virtual ~Clock() = default;
    virtual qint64 nowUs() const = 0;
    virtual void sleepMs(int ms) = 0;
    // Runs pending events: pollers first, then Qt's queue when an application object exists.
    virtual void processEvents() = 0;
    virtual bool isVirtual() const = 0;

    // A poller is run on every processEvents (virtual clock) so that simulated devices deliver.
    int addPoller(std::function<void()> fn);
    void removePoller(int id);

protected:
    void runPollers();

private:
    std::map<int, std::function<void()>> pollers_;
    int nextId_ = 1;
};

class RealClock : public Clock {
public:
    RealClock();
    qint64 nowUs() const override;
    void sleepMs(int ms) override;
    void processEvents() override;
    bool isVirtual() const override { return false; }

private:
    QElapsedTimer timer_;
};

class VirtualClock : public Clock {
public:
    qint64 nowUs() const override { return nowUs_; }
    void sleepMs(int ms) override { nowUs_ += qint64{ms} * 1000; }
    void processEvents() override;
    bool isVirtual() const override { return true; }
    // Stays idle for ms milliseconds, in 10 ms pulses, as the event loop of an idle window would.
    void idle(int ms);
    void advanceUs(qint64 us) { nowUs_ += us; }

private:
    qint64 nowUs_ = 0;
};

}  // namespace hdd
