#include "camera/ChannelRenderer.h"

#include "camera/Palettes.h"

namespace sim {

ChannelRenderer::ChannelRenderer(bool thermal, int width, int height, uint32_t seed)
    : thermal_(thermal), width_(width), height_(height), source_(World::shared(seed))
{
}

void ChannelRenderer::renderScene(const ChannelView &view, int64_t timeUs, Picture &out, ThermalInfo *info)
{
    out.width = width_;
    out.height = height_;
    out.timeUs = timeUs;
    out.rgba.resize(size_t(width_) * height_ * 4);
    const double t = double(timeUs) / 1e6;
    if (thermal_) {
        View v = view.view;
        v.flip = view.thermal.flip;
        out.temperature.resize(size_t(width_) * height_);
        *info = source_.renderThermal(v, view.thermal, t, width_, height_, out.temperature.data(), out.rgba.data());
    } else {
        out.temperature.clear();
        source_.renderVisible(view.view, t, width_, height_, out.rgba.data());
    }
}

void ChannelRenderer::render(const ChannelView &view, int64_t timeUs, Picture &out)
{
    ThermalInfo info;
    const int64_t shutter = view.thermal.shutterFromUs;
    if (thermal_ && shutter >= 0 && timeUs >= shutter && timeUs < shutter + kShutterUs) {
        // While the shutter is closed the detector sees only the flag: the
        // picture and its temperatures stay as they were when it closed.
        if (heldShutterUs_ != shutter) {
            renderScene(view, shutter, held_, &heldInfo_);
            heldShutterUs_ = shutter;
        }
        out.width = held_.width;
        out.height = held_.height;
        out.timeUs = timeUs;
        out.rgba = held_.rgba;
        out.temperature = held_.temperature;
        info = heldInfo_;
    } else {
        renderScene(view, timeUs, out, &info);
    }
    const OsdSettings &osd = view.thermal.osd;
    if (!osd.shown)
        return;
    double rangeM = 0.0;
    if (osd.laser)
        rangeM = source_.world().rangeM(view.view.panDeg, view.view.tiltDeg, double(timeUs) / 1e6);
    OsdPainter::Bar bar;
    bar.colours = paletteColours(view.thermal.palette);
    bar.minC = info.spanMinC;
    bar.maxC = info.spanMaxC;
    osd_.draw(osd, timeUs, rangeM, thermal_ ? &bar : nullptr, out);
}

}  // namespace sim
