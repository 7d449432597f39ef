#include "camera/FrameProducer.h"

#include "base/SimClock.h"

#include <ctime>

namespace sim {

namespace {
// Frames kept for reuse: the cache, a frame in each consumer's hands, one
// being rendered.
constexpr size_t kPooledPictures = 6;
}  // namespace

FrameProducer::FrameProducer(bool thermal, int width, int height, uint32_t seed, ViewFn view, RateFn rate)
    : view_(std::move(view)), rate_(std::move(rate)), renderer_(thermal, width, height, seed),
      pool_(PicturePool::create(kPooledPictures))
{
}

int64_t FrameProducer::threadCpuNs()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void FrameProducer::attach()
{
    const int64_t now = SimClock::instance().nowUs();
    const int fps = rate_();
    std::lock_guard<std::mutex> lock(gridMutex_);
    if (consumers_++ == 0) {
        anchorUs_ = now;
        fps_ = fps;
    }
}

void FrameProducer::detach()
{
    {
        std::lock_guard<std::mutex> lock(gridMutex_);
        if (consumers_ == 0 || --consumers_ > 0)
            return;
    }
    // Nobody reads the channel: let the frames go back to the pool.
    std::lock_guard<std::mutex> lock(renderMutex_);
    recent_.fill(nullptr);
}

int FrameProducer::consumers() const
{
    std::lock_guard<std::mutex> lock(gridMutex_);
    return consumers_;
}

int64_t FrameProducer::indexAtOrBeforeLocked(int64_t timeUs) const
{
    if (timeUs <= anchorUs_)
        return 0;
    int64_t n = (timeUs - anchorUs_) * fps_ / 1000000;
    while (tickLocked(n + 1) <= timeUs)
        ++n;
    while (n > 0 && tickLocked(n) > timeUs)
        --n;
    return n;
}

int64_t FrameProducer::nextTick(int64_t afterUs)
{
    SimClock &clock = SimClock::instance();
    const bool realTime = !clock.paused();
    const int64_t now = clock.nowUs();
    const int fps = rate_();
    std::lock_guard<std::mutex> lock(gridMutex_);
    if (fps != fps_) {
        // A new cadence from the last frame, without drift from rounding.
        anchorUs_ = afterUs >= 0 ? afterUs : now;
        fps_ = fps;
    }
    const int64_t newest = tickLocked(indexAtOrBeforeLocked(now));
    if (afterUs < 0)
        return newest;
    const int64_t next = tickLocked(indexAtOrBeforeLocked(afterUs) + 1);
    return realTime && newest > next ? newest : next;
}

FramePtr FrameProducer::frameAt(int64_t tickUs)
{
    std::lock_guard<std::mutex> lock(renderMutex_);
    for (const FramePtr &frame : recent_)
        if (frame && frame->timeUs == tickUs)
            return frame;
    FramePtr frame = renderLocked(tickUs);
    recent_[nextSlot_] = frame;
    nextSlot_ = (nextSlot_ + 1) % recent_.size();
    return frame;
}

FramePtr FrameProducer::frameNow()
{
    SimClock &clock = SimClock::instance();
    const int64_t now = clock.nowUs();
    {
        std::lock_guard<std::mutex> lock(gridMutex_);
        if (consumers_ > 0) {
            const int64_t tick = tickLocked(indexAtOrBeforeLocked(now));
            std::lock_guard<std::mutex> render(renderMutex_);
            for (const FramePtr &frame : recent_)
                if (frame && frame->timeUs == tick)
                    return frame;
        }
    }
    std::lock_guard<std::mutex> lock(renderMutex_);
    return renderLocked(now);
}

FramePtr FrameProducer::renderLocked(int64_t timeUs)
{
    const int64_t start = threadCpuNs();
    std::shared_ptr<Picture> picture = pool_->acquire();
    renderer_.render(view_(timeUs), timeUs, *picture);
    const int64_t spent = threadCpuNs() - start;
    std::lock_guard<std::mutex> lock(statsMutex_);
    ++stats_.synthesised;
    stats_.synthesisCpuNs += spent;
    return picture;
}

void FrameProducer::addDelivery(int64_t callbackCpuNs)
{
    std::lock_guard<std::mutex> lock(statsMutex_);
    ++stats_.delivered;
    stats_.callbackCpuNs += callbackCpuNs;
}

FrameProducer::Stats FrameProducer::stats() const
{
    std::lock_guard<std::mutex> lock(statsMutex_);
    return stats_;
}

void FrameProducer::resetStats()
{
    std::lock_guard<std::mutex> lock(statsMutex_);
    stats_ = Stats{};
}

}  // namespace sim
