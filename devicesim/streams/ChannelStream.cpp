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
    producer_.attach();
    int64_t lastUs = -1;
    for (;;) {
        const int64_t dueUs = producer_.nextTick(lastUs);
        if (!clock.waitUntil(&pacer_, dueUs))
            break;
        onFrame(producer_.frameAt(dueUs));
        lastUs = dueUs;
    }
    producer_.detach();
    running_ = false;
    clock.finish(&pacer_);
}

}  // namespace sim
