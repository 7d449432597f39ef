#include "model/ChannelRenderer.h"

#include "model/Device.h"

namespace sim {

ChannelRenderer::ChannelRenderer(const ChannelProfile &channel, uint32_t seed)
    : thermal_(channel.thermal), width_(channel.width), height_(channel.height), source_(World::shared(seed))
{
}

void ChannelRenderer::render(const ChannelView &view, int64_t timeUs, Picture &out)
{
    out.width = width_;
    out.height = height_;
    out.timeUs = timeUs;
    out.rgba.resize(size_t(width_) * height_ * 4);
    const double t = double(timeUs) / 1e6;
    if (thermal_) {
        out.temperature.resize(size_t(width_) * height_);
        source_.renderThermal(view.view, view.thermal, t, width_, height_, out.temperature.data(), out.rgba.data());
    } else {
        out.temperature.clear();
        source_.renderVisible(view.view, t, width_, height_, out.rgba.data());
    }
}

}  // namespace sim
