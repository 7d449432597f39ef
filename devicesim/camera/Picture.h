#pragma once
// One rendered frame of a channel, and the pool its buffers come from.

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace sim {

struct Picture {
    int width = 0;
    int height = 0;
    int64_t timeUs = 0;
    std::vector<uint8_t> rgba;          // width * height * 4, R G B A
    std::vector<uint16_t> temperature;  // deci-kelvin, thermal channels only

    bool thermal() const { return !temperature.empty(); }
};

// A frame once rendered is never written again: every consumer holds it as
// a pointer to const.
using FramePtr = std::shared_ptr<const Picture>;

// Recycles picture buffers: a 1920x1080 frame is 8 MB, and allocating one per
// frame would fault fresh pages in on every tick.
//
// Threading model: acquire() and the release of a picture are safe from any
// thread; mutex_ guards the free list. A picture holds the pool alive, so the
// last frame may be released after its producer is gone.
class PicturePool : public std::enable_shared_from_this<PicturePool> {
public:
    static std::shared_ptr<PicturePool> create(size_t keep) { return std::shared_ptr<PicturePool>(new PicturePool(keep)); }

    // A picture to render into; its buffers may hold an older frame.
    std::shared_ptr<Picture> acquire();

private:
    explicit PicturePool(size_t keep) : keep_(keep) {}
    void release(Picture *picture);

    const size_t keep_;
    std::mutex mutex_;  // protects free_
    std::vector<std::unique_ptr<Picture>> free_;
};

}  // namespace sim
