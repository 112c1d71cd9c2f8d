#include "clock.h"

#include <QCoreApplication>
#include <QThread>
#include <vector>

namespace hdd {

int Clock::addPoller(std::function<void()> fn) {
    const int id = nextId_++;
    pollers_[id] = std::move(fn);
    return id;
}

void Clock::removePoller(int id) { pollers_.erase(id); }

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
    runPollers();
    if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
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
