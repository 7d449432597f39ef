#pragma once
// One login's alarm subscription: its own library thread that hands the
// device's alarms to the callback, one at a time, in the order the device
// raised them.
//
// Queue policy: unbounded, never dropping. Raising an alarm only appends a
// shared pointer under a short lock, so neither the world, the frame
// producers nor the alarm engine's watcher ever wait for a slow callback; a
// burst (10,000 injected at once) is held until delivered. Pictures are
// shared between subscriptions, so a queued alarm costs its record (at most
// about 1 KB) and a few pointers.
//
// Threading model: post() from any thread; stop() from any thread. After
// stop() returns true no callback is running or will run. From the
// subscription's own thread (unsubscribe inside the callback), or from a
// thread that the running callback waits for (WaitGraph.h), stop() only asks
// the thread to end after the current callback and returns false; the owner
// joins it later. mutex_ guards the queue and the stop flag.

#include "TMVNetSDK.h"
#include "alarms/AlarmRecords.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace sim {

class AlarmSubscription : public std::enable_shared_from_this<AlarmSubscription> {
public:
    AlarmSubscription(TMV_NET_HANDLE handle, bool snapshots, TMV_NET_ALARM_CALLBACK callback, void *user);
    ~AlarmSubscription();
    AlarmSubscription(const AlarmSubscription &) = delete;
    AlarmSubscription &operator=(const AlarmSubscription &) = delete;

    // The thread holds the subscription alive until it ends, so a last
    // reference dropped inside the callback never frees it under its feet.
    void start();
    bool stop();
    void post(const AlarmEventPtr &event);

    bool snapshots() const { return snapshots_; }
    bool onOwnThread() const { return std::this_thread::get_id() == threadId_.load(); }
    // Running and not asked to stop.
    bool active() const;
    // Alarms delivered so far.
    int64_t delivered() const { return delivered_; }

private:
    void run();
    void deliver(const AlarmEvent &event);

    const TMV_NET_HANDLE handle_;
    const bool snapshots_;
    const TMV_NET_ALARM_CALLBACK callback_;
    void *const user_;

    mutable std::mutex mutex_;  // protects queue_ and stopAsked_
    std::condition_variable wake_;
    std::deque<AlarmEventPtr> queue_;
    bool stopAsked_ = false;

    std::thread thread_;
    std::atomic<std::thread::id> threadId_{};
    std::mutex joinMutex_;  // serialises joins from different threads
    std::atomic<int64_t> delivered_{0};
    std::vector<uint64_t> scratch_;  // the callback's copy of the record; thread only
};

}  // namespace sim
