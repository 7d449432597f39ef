#include "streams/ChannelStream.h"

#include "camera/FrameProducer.h"
#include "streams/LibraryThread.h"

namespace sim {

ChannelStream::ChannelStream(FrameProducer &producer) : producer_(producer) {}

ChannelStream::~ChannelStream()
{
    stop();
}

void ChannelStream::start()
{
    SimClock::instance().addPacer(&pacer_);
    running_ = true;
    thread_ = std::thread([this] { run(); });
}

bool ChannelStream::stop()
{
    SimClock &clock = SimClock::instance();
    stopAsked_ = true;
    clock.requestStop(&pacer_);
    if (onStreamThread())
        return false;
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
