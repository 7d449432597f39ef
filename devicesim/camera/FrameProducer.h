#pragma once
// One channel's frames: each tick of the channel's frame grid is rendered
// once into an immutable frame (colour picture, and for a thermal channel the
// temperature matrix) that every consumer shares: live previews of any number
// of logins, and whatever else reads the channel.
//
// The grid: ticks fall at anchor + n * 1 s / fps on the simulation clock. It
// is anchored when the first consumer attaches, so that consumer's first
// frame is due at once, and re-anchored at the last tick when the rate
// changes. Consumers pace themselves on the clock, ask for the next tick and
// then for its frame: the first to ask renders it, the others get the same
// frame. A channel nobody has attached to renders nothing.
//
// Threading model: every member is safe from any thread. gridMutex_ guards
// the grid and the consumer count; renderMutex_ guards the renderer and the
// cache of recent frames and is held while a frame renders, so a consumer
// asking for a tick being rendered waits for that frame rather than render it
// twice. While the clock runs in real time, a consumer that fell behind is
// sent to the newest tick: a slow consumer drops frames and never holds the
// others. With the clock paused every tick is delivered, so stepping is
// deterministic; a step of many ticks may let readers drift apart, and a
// reader behind the cache gets its tick rendered again (the same picture).
// statsMutex_ guards the cost figures.
// Lock order: gridMutex_ before renderMutex_ (frameNow() looks for the grid's
// newest tick in the cache under both); renderMutex_ before the head's and
// settings' locks (the view function) and before statsMutex_. Never the
// other way round: the rate function takes the settings' lock, so it is
// called before gridMutex_, never under it.

#include "camera/ChannelRenderer.h"
#include "camera/Picture.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

namespace sim {

class FrameProducer {
public:
    // What the channel looks at and how it shows it at a given time.
    using ViewFn = std::function<ChannelView(int64_t timeUs)>;
    // The channel's current frame rate.
    using RateFn = std::function<int()>;

    FrameProducer(bool thermal, int width, int height, uint32_t seed, ViewFn view, RateFn rate);

    // A consumer starts or stops reading the channel.
    void attach();
    void detach();
    int consumers() const;

    // The tick a consumer should take after the one at `afterUs`; -1 for a
    // consumer's first tick (the newest due one).
    int64_t nextTick(int64_t afterUs);
    // The frame of tick `tickUs`, rendered now unless a recent one matches.
    FramePtr frameAt(int64_t tickUs);
    // A one-off picture of the channel as it is now (snapshots): the newest
    // frame of the grid when the channel is live, else rendered for the call.
    FramePtr frameNow();

    // Cost figures: frames handed to consumers, frames rendered, CPU time
    // spent rendering them and inside consumers' callbacks.
    struct Stats {
        int64_t delivered = 0;
        int64_t synthesised = 0;
        int64_t synthesisCpuNs = 0;
        int64_t callbackCpuNs = 0;
    };
    void addDelivery(int64_t callbackCpuNs);
    Stats stats() const;
    void resetStats();

    // CPU time of the calling thread, the clock the cost figures use.
    static int64_t threadCpuNs();

private:
    int64_t tickLocked(int64_t n) const { return anchorUs_ + n * 1000000 / fps_; }
    // Index of the newest tick at or before `timeUs` (0 before the anchor).
    int64_t indexAtOrBeforeLocked(int64_t timeUs) const;
    FramePtr renderLocked(int64_t timeUs);

    const ViewFn view_;
    const RateFn rate_;

    mutable std::mutex gridMutex_;  // protects the grid below
    int consumers_ = 0;
    int64_t anchorUs_ = 0;
    int fps_ = 25;

    std::mutex renderMutex_;  // protects the renderer and the cache
    ChannelRenderer renderer_;
    std::shared_ptr<PicturePool> pool_;
    std::array<FramePtr, 2> recent_;  // two consumers a tick apart both hit
    size_t nextSlot_ = 0;

    mutable std::mutex statsMutex_;  // protects stats_
    Stats stats_;
};

}  // namespace sim
