// Time for the dialogue's waits.
//
// Every wait of the tool is a loop of "sleep 10 ms, then process events". The clock is passed
// in so that the same loops run against the wall clock in the program (RealClock: the thread
// sleeps and Qt events are pumped, which delivers the port's arrivals) and against virtual time
// in tests (VirtualClock: sleeping only advances a counter and processing events steps whatever
// was registered as a poller, such as the in-process simulated drive). A five-second pause then
// costs nothing and runs are deterministic.
//
// Fast waits need one more primitive: waitForArrival(until) waits until the given time at the
// latest but ends as soon as received data has been handed to the dialogue (wake()). The real
// clock blocks on the port itself where it can (no event loop, so no repainting between two
// answers) and keeps the window alive by processing its events once every 10 ms, as a pulse
// would; otherwise it runs Qt's event loop until the port's arrival notification. The virtual
// clock jumps from one event of its arrival sources (a simulated device saying when its next byte
// reaches the host) to the next.
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
    // Waits until untilUs at the latest and ends early once wake() was called after the wait began
    // (received data was taken in, or the window is closing). `device`, when given, blocks up to the
    // given microseconds for the port's next characters and announces them; false when it cannot.
    using DeviceWait = std::function<bool(qint64 us)>;
    virtual void waitForArrival(qint64 untilUs, const DeviceWait& device = {}) = 0;
    void wake() { woken_ = true; }

    // A poller is run on every processEvents (virtual clock) so that simulated devices deliver.
    int addPoller(std::function<void()> fn);
    void removePoller(int id);
    // An arrival source tells the virtual clock when its device next has something new for the
    // host (a time after now, or -1 when nothing is on its way). The real clock does not ask.
    int addArrivalSource(std::function<qint64()> next);
    void removeArrivalSource(int id);

protected:
    void runPollers();
    // The earliest time after now at which a source has something new, or -1.
    qint64 nextArrivalUs(qint64 nowUs) const;

    bool woken_ = false;

private:
    std::map<int, std::function<void()>> pollers_;
    std::map<int, std::function<qint64()>> sources_;
    int nextId_ = 1;
};

class RealClock : public Clock {
public:
    RealClock();
    qint64 nowUs() const override;
    void sleepMs(int ms) override;
    void processEvents() override;
    bool isVirtual() const override { return false; }
    void waitForArrival(qint64 untilUs, const DeviceWait& device = {}) override;

private:
    QElapsedTimer timer_;
    qint64 eventsUs_ = 0;  // when Qt's events were last processed
};

class VirtualClock : public Clock {
public:
    qint64 nowUs() const override { return nowUs_; }
    void sleepMs(int ms) override { nowUs_ += qint64{ms} * 1000; }
    void processEvents() override;
    bool isVirtual() const override { return true; }
    void waitForArrival(qint64 untilUs, const DeviceWait& device = {}) override;
    // Stays idle for ms milliseconds, in 10 ms pulses, as the event loop of an idle window would.
    void idle(int ms);
    void advanceUs(qint64 us) { nowUs_ += us; }

private:
    qint64 nowUs_ = 0;
};

}  // namespace hdd
