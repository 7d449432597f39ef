#pragma once
// The library thread that delivers one-off callbacks: search answers and
// device exceptions. Tasks are due at a simulation time, so a paused clock
// holds them back until a test steps it.
//
// Threading model: post() and cancel() may be called from any thread; tasks
// run on the event thread, one at a time, without any library lock held.
// After cancel(owner) returns true, no task of that owner is running or will
// run.

#include "base/SimClock.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <thread>

namespace sim {

class EventThread {
public:
    static EventThread &instance();

    void start();
    // Drops pending tasks and joins the thread.
    void stop();

    // Runs `task` on the event thread at simulation time `dueUs`. `owner`
    // groups tasks for cancel() (0: no owner).
    void post(int64_t dueUs, uint64_t owner, std::function<void()> task);
    // False when a task of `owner` is running and cannot be waited for from
    // here (the event thread itself, or a thread that task waits for).
    bool cancel(uint64_t owner);

private:
    EventThread();
    ~EventThread();
    void run();

    struct Task {
        uint64_t owner;
        std::function<void()> fn;
    };
    // Protected by the clock's mutex, so waiting on the clock misses nothing.
    std::multimap<int64_t, Task> tasks_;
    uint64_t runningOwner_ = 0;
    bool running_ = false;
    std::condition_variable taskDone_;
    SimClock::Pacer pacer_;
    std::thread thread_;                       // under lifeMutex_
    std::atomic<std::thread::id> threadId_{};  // set by the thread itself
    std::mutex lifeMutex_;  // serialises start() and stop()
};

}  // namespace sim
