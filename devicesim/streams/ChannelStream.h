#pragma once
// A library thread that reads one channel's frames at the channel's rate and
// hands each to its subclass. The live preview of a login is one; every other
// reader of a channel (temperature and raw streams, the alarm engine's
// watcher) uses the same loop, so they all share the channel's frames.
//
// Threading model: start() and stop() come from API threads; onFrame() runs
// on the stream thread. After stop() returns true, no onFrame() is running or
// will run. stop() on the stream's own thread (from inside onFrame) only asks
// the thread to end after the current frame, and returns false; so does a
// stop from a library thread that the stream's thread itself waits for
// (see WaitGraph.h), which would otherwise deadlock. Any number
// of threads may call stop() at once: joinMutex_ lets one of them join while
// the others wait for that join, so each returns only once the thread ended.
// A subclass calls stop() in its own destructor, before its members go, and
// the last owner of a stream is never its own thread.

#include "base/SimClock.h"
#include "camera/Picture.h"

#include <atomic>
#include <mutex>
#include <thread>

namespace sim {

class FrameProducer;

class ChannelStream {
public:
    explicit ChannelStream(FrameProducer &producer);
    virtual ~ChannelStream();
    ChannelStream(const ChannelStream &) = delete;
    ChannelStream &operator=(const ChannelStream &) = delete;

    void start();
    // False when the thread cannot be joined from here (its own thread, or
    // one it waits for): it ends after the current frame.
    bool stop();
    bool onStreamThread() const { return std::this_thread::get_id() == threadId_.load(); }
    bool running() const { return running_; }
    // Running and not asked to stop.
    bool active() const { return running_ && !stopAsked_; }

protected:
    // One frame of the channel, on the stream thread; valid during the call
    // and as long as the subclass keeps the pointer.
    virtual void onFrame(const FramePtr &frame) = 0;
    // False skips the tick before its frame is asked for: a reader that
    // cannot take it yet costs no synthesis. Asked only while the clock runs
    // in real time.
    virtual bool ready() const { return true; }
    FrameProducer &producer() const { return producer_; }

private:
    void run();

    FrameProducer &producer_;
    SimClock::Pacer pacer_;
    std::thread thread_;                       // written by start() before the stream is shared
    std::atomic<std::thread::id> threadId_{};  // the stream thread; set by start() and by the thread
    std::mutex joinMutex_;                 // serialises joins from different threads
    int64_t firstTickUs_ = 0;                  // written by start() before the thread exists
    std::atomic<bool> running_{false};
    std::atomic<bool> stopAsked_{false};
};

}  // namespace sim
