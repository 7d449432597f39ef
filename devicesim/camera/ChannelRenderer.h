#pragma once
// Turns the world into one channel's pictures: the device's view into the
// thermal world, in the channel's kind (thermal, visible, panoramic strip),
// with the channel's flip, shutter and on-screen display.
//
// Threading model: not thread-safe; the channel's frame producer serialises
// render calls.

#include "camera/FrameSource.h"
#include "camera/Osd.h"
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
    void renderScene(const ChannelView &view, int64_t timeUs, Picture &out, ThermalInfo *info);

    const bool thermal_;
    const int width_;
    const int height_;
    FrameSource source_;
    OsdPainter osd_;
    // The picture a shutter correction holds, taken when it closed.
    Picture held_;
    ThermalInfo heldInfo_;
    int64_t heldShutterUs_ = -1;
};

}  // namespace sim
