#include "streams/ChannelStream.h"

#include "camera/FrameProducer.h"
#include "streams/LibraryThread.h"
#include "streams/WaitGraph.h"

namespace sim {

ChannelStream::ChannelStream(FrameProducer &producer) : producer_(producer) {}

ChannelStream::~ChannelStream()
{
    if (!stop() && !onStreamThread()) {
        // Owners only let a stream go once it ended; this is the last resort
        // of one that did not.
        std::lock_guard<std::mutex> lock(joinMutex_);
        if (thread_.joinable())
            thread_.join();
    }
}

void ChannelStream::start()
{
    // Attached and given its first tick here, on the caller's thread: the
    // stream starts at the moment of the call however late its thread runs,
    // so a stepped clock delivers the same frames every time.
    producer_.attach();
    firstTickUs_ = producer_.nextTick(-1);
    SimClock::instance().addPacer(&pacer_);
    running_ = true;
    thread_ = std::thread([this] { run(); });
    threadId_ = thread_.get_id();  // the thread sets it too, whichever comes first
}

bool ChannelStream::stop()
{
    SimClock &clock = SimClock::instance();
    stopAsked_ = true;
    clock.requestStop(&pacer_);
    if (onStreamThread())
        return false;
    const std::thread::id target = threadId_.load();
    if (target == std::thread::id()) {
        running_ = false;
        return true;  // never started
    }
    WaitFor wait(target);
    if (!wait.allowed())
        return false;  // the stream's thread waits for us: it ends after its callback
    std::lock_guard<std::mutex> lock(joinMutex_);
    if (thread_.joinable()) {
        thread_.join();
        clock.removePacer(&pacer_);
    }
    running_ = false;
    return true;
}

void ChannelStream::run()
{
    markLibraryThread();
    threadId_ = std::this_thread::get_id();
    SimClock &clock = SimClock::instance();
    for (int64_t dueUs = firstTickUs_;; dueUs = producer_.nextTick(dueUs)) {
        if (!clock.waitUntil(&pacer_, dueUs))
            break;
        // A paused clock delivers every tick (stepping is deterministic);
        // only in real time may a reader that is not ready skip one.
        if (clock.paused() || ready())
            onFrame(producer_.frameAt(dueUs));
    }
    producer_.detach();
    running_ = false;
    clock.finish(&pacer_);
}

}  // namespace sim
