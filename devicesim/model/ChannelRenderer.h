#pragma once
// Turns the world into one channel's pictures: the device's view into the
// thermal world, in the channel's kind (thermal, visible, panoramic strip).
//
// Threading model: not thread-safe; the device serialises render calls.

#include "camera/FrameSource.h"
#include "model/Picture.h"

#include <cstdint>

namespace sim {

struct ChannelProfile;

struct ChannelView {
    View view;
    ThermalSettings thermal;
};

class ChannelRenderer {
public:
    ChannelRenderer(const ChannelProfile &channel, uint32_t seed);

    void render(const ChannelView &view, int64_t timeUs, Picture &out);

private:
    const bool thermal_;
    const int width_;
    const int height_;
    FrameSource source_;
};

}  // namespace sim
