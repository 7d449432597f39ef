#pragma once
// Turns the world into one channel's pictures: the device's view into the
// thermal world, in the channel's kind (thermal, visible, panoramic strip).
//
// Threading model: not thread-safe; the channel's frame producer serialises
// render calls.

#include "camera/FrameSource.h"
#include "camera/Picture.h"

#include <cstdint>

namespace sim {

// Everything a frame depends on besides the world and the time.
struct ChannelView {
    View view;
    ThermalSettings thermal;
};

class ChannelRenderer {
public:
    ChannelRenderer(bool thermal, int width, int height, uint32_t seed);

    void render(const ChannelView &view, int64_t timeUs, Picture &out);

private:
    const bool thermal_;
    const int width_;
    const int height_;
    FrameSource source_;
};

}  // namespace sim
