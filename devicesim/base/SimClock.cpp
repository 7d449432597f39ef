#include "base/SimClock.h"

#include <cstdint>

namespace sim {

SimClock &SimClock::instance()
{
    static SimClock clock;
    return clock;
}

SimClock::SimClock() : anchor_(Steady::now()) {}

int64_t SimClock::nowUsLocked() const
{
    if (paused_)
        return baseUs_;
    return baseUs_ + std::chrono::duration_cast<std::chrono::microseconds>(Steady::now() - anchor_).count();
}

int64_t SimClock::nowUs() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return nowUsLocked();
}

bool SimClock::paused() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return paused_;
}

void SimClock::pause()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (paused_)
        return;
    baseUs_ = nowUsLocked();
    paused_ = true;
    wake_.notify_all();
}

void SimClock::resume()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!paused_)
        return;
    anchor_ = Steady::now();
    paused_ = false;
    wake_.notify_all();
}

void SimClock::step(int64_t us)
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (!paused_ || us < 0)
        return;
    baseUs_ += us;
    wake_.notify_all();
    caughtUp_.wait(lock, [this] {
        for (Pacer *p : pacers_)
            if (p->idleAtUs < baseUs_)
                return false;
        return true;
    });
}

void SimClock::addPacer(Pacer *pacer)
{
    std::lock_guard<std::mutex> lock(mutex_);
    pacer->idleAtUs = -1;
    pacers_.insert(pacer);
}

void SimClock::removePacer(Pacer *pacer)
{
    std::lock_guard<std::mutex> lock(mutex_);
    pacers_.erase(pacer);
    caughtUp_.notify_all();
}

void SimClock::markIdleLocked(Pacer *pacer)
{
    pacer->idleAtUs = nowUsLocked();
    caughtUp_.notify_all();
}

bool SimClock::waitUntil(Pacer *pacer, int64_t deadlineUs)
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        if (pacer->stopRequested)
            return false;
        int64_t now = nowUsLocked();
        if (now >= deadlineUs)
            return true;
        markIdleLocked(pacer);
        if (paused_)
            wake_.wait(lock);
        else
            wake_.wait_for(lock, std::chrono::microseconds(deadlineUs - now));
    }
}

void SimClock::finish(Pacer *pacer)
{
    std::lock_guard<std::mutex> lock(mutex_);
    pacer->idleAtUs = INT64_MAX;
    caughtUp_.notify_all();
}

void SimClock::requestStop(Pacer *pacer)
{
    std::lock_guard<std::mutex> lock(mutex_);
    pacer->stopRequested = true;
    wake_.notify_all();
    caughtUp_.notify_all();
}

void SimClock::notifyAll()
{
    std::lock_guard<std::mutex> lock(mutex_);
    wake_.notify_all();
}

int64_t deviceTimeMs(int64_t simUs)
{
    using namespace std::chrono;
    // Anchored once, so the device clock moves exactly with the simulation.
    static const int64_t anchorUs =
        duration_cast<microseconds>(system_clock::now().time_since_epoch()).count() - simUs;
    return (anchorUs + simUs) / 1000;
}

int64_t deviceTimeS(int64_t simUs)
{
    return deviceTimeMs(simUs) / 1000;
}

}  // namespace sim
