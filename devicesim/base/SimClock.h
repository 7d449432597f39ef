#pragma once
// The simulation clock that drives the world and every stream.
//
// Threading model: any thread may read or control the clock. Library threads
// that pace themselves on it (streams, the event thread) register as pacers;
// while the clock is paused, step() advances it and waits until every pacer
// has done the work that fell due, so tests see deterministic results.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <set>

namespace sim {

class SimClock {
public:
    // A thread that waits on the clock. `idleAt` is the simulation time up to
    // which it has finished its work; step() waits for it to reach the clock.
    struct Pacer {
        int64_t idleAtUs = -1;
        bool stopRequested = false;
    };

    static SimClock &instance();

    int64_t nowUs() const;
    int64_t nowMs() const { return nowUs() / 1000; }
    bool paused() const;

    void pause();
    void resume();
    // Advances a paused clock and returns once every pacer caught up.
    void step(int64_t us);

    void addPacer(Pacer *pacer);
    void removePacer(Pacer *pacer);

    // Blocks until the clock reaches `deadlineUs` or the pacer is asked to
    // stop. Returns false when stopped. Marks the pacer idle while waiting.
    bool waitUntil(Pacer *pacer, int64_t deadlineUs);
    // Called by a pacer's thread as it exits: it owes no more work.
    void finish(Pacer *pacer);
    // Wakes a pacer out of waitUntil with stopRequested set.
    void requestStop(Pacer *pacer);
    // Wakes every waiting pacer (new work was queued).
    void notifyAll();

    // The mutex pacers use for their own queues, so a wait never misses a
    // notification.
    std::mutex &mutex() { return mutex_; }
    std::condition_variable &condition() { return wake_; }
    int64_t nowUsLocked() const;
    bool pausedLocked() const { return paused_; }
    void markIdleLocked(Pacer *pacer);

private:
    SimClock();
    using Steady = std::chrono::steady_clock;

    mutable std::mutex mutex_;  // protects everything below
    std::condition_variable wake_;      // pacers wait on it
    std::condition_variable caughtUp_;  // step() waits on it
    bool paused_ = false;
    int64_t baseUs_ = 0;                // simulation time at anchor_
    Steady::time_point anchor_;
    std::set<Pacer *> pacers_;
};

// Seconds since 1970 UTC on the device's clock: the host's time when the
// library first asked, moved on by the simulation clock since then.
int64_t deviceTimeS(int64_t simUs);
// The same in milliseconds, on the same anchor.
int64_t deviceTimeMs(int64_t simUs);

}  // namespace sim
