#include "camera/ChannelRenderer.h"

namespace sim {

ChannelRenderer::ChannelRenderer(bool thermal, int width, int height, uint32_t seed)
    : thermal_(thermal), width_(width), height_(height), source_(World::shared(seed))
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
