#include "clock.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <vector>

namespace hdd {

int Clock::addPoller(std::function<void()> fn) {
    const int id = nextId_++;
    pollers_[id] = std::move(fn);
    return id;
}

void Clock::removePoller(int id) { pollers_.erase(id); }

int Clock::addArrivalSource(std::function<qint64()> next) {
    const int id = nextId_++;
    sources_[id] = std::move(next);
    return id;
}

void Clock::removeArrivalSource(int id) { sources_.erase(id); }

qint64 Clock::nextArrivalUs(qint64 nowUs) const {
    qint64 next = -1;
    for (const auto& s : sources_) {
        const qint64 t = s.second();
        if (t > nowUs && (next < 0 || t < next)) next = t;
    }
    return next;
}

void Clock::runPollers() {
    // A poller may add or remove pollers (a port closed from inside a handler): walk a snapshot of ids.
    std::vector<int> ids;
    ids.reserve(pollers_.size());
    for (const auto& p : pollers_) ids.push_back(p.first);
    for (int id : ids) {
        auto it = pollers_.find(id);
        if (it == pollers_.end()) continue;
        auto fn = it->second;  // copy: the poller may remove itself
        fn();
    }
}

RealClock::RealClock() { timer_.start(); }

qint64 RealClock::nowUs() const { return timer_.nsecsElapsed() / 1000; }

void RealClock::sleepMs(int ms) { QThread::msleep(static_cast<unsigned long>(ms)); }

void RealClock::processEvents() {
    eventsUs_ = nowUs();
    runPollers();
    if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void RealClock::waitForArrival(qint64 untilUs, const DeviceWait& device) {
    constexpr qint64 kPulseUs = 10'000;
    woken_ = false;
    const bool app = QCoreApplication::instance() != nullptr;
    while (!woken_ && nowUs() < untilUs) {
        if (nowUs() - eventsUs_ >= kPulseUs) {  // the window's events, once a pulse
            processEvents();
            continue;
        }
        const qint64 end = std::min(untilUs, eventsUs_ + kPulseUs);
        const int ms = static_cast<int>((end - nowUs() + 999) / 1000);
        if (device && device(end - nowUs())) continue;
        if (!app) {
            QThread::usleep(static_cast<unsigned long>(std::max<qint64>(end - nowUs(), 0)));
            runPollers();
            continue;
        }
        // The event loop sleeps until something happens: the port's arrival, a user action, or the
        // timer that marks the end of this stretch.
        bool expired = false;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, [&expired] { expired = true; });
        timer.start(ms);
        while (!woken_ && !expired && nowUs() < end) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            runPollers();
        }
        eventsUs_ = nowUs();
    }
}

void VirtualClock::waitForArrival(qint64 untilUs, const DeviceWait&) {
    woken_ = false;
    while (!woken_ && nowUs_ < untilUs) {
        const qint64 next = nextArrivalUs(nowUs_);
        nowUs_ = next < 0 ? untilUs : std::min(next, untilUs);
        processEvents();
    }
}

void VirtualClock::processEvents() {
    runPollers();
    if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void VirtualClock::idle(int ms) {
    for (int t = 0; t < ms; t += 10) {
        sleepMs(10);
        processEvents();
    }
}

}  // namespace hdd
