#include "ptz/ElectronicPtz.h"

#include "base/DeviceProfile.h"
#include "base/Status.h"
#include "ptz/PtzMotion.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace eptz {

namespace {
constexpr int32_t kZoomOut = 8;
constexpr int32_t kZoomIn = 9;
}  // namespace

double maxOffset(double zoom)
{
    return 0.5 - 0.5 / std::clamp(zoom, 1.0, kMaxZoom);
}

Window clampWindow(Window w)
{
    w.zoom = std::isfinite(w.zoom) ? std::clamp(w.zoom, 1.0, kMaxZoom) : 1.0;
    const double limit = maxOffset(w.zoom);
    w.x = std::isfinite(w.x) ? std::clamp(w.x, -limit, limit) : 0.0;
    w.y = std::isfinite(w.y) ? std::clamp(w.y, -limit, limit) : 0.0;
    return w;
}

double moveRate(int speed, double zoom)
{
    return double(std::clamp(speed, kMinSpeed, kMaxSpeed)) / kMaxSpeed / std::clamp(zoom, 1.0, kMaxZoom);
}

Window windowAfter(const Window &from, const Motion &m, double seconds)
{
    Window w = from;
    if (seconds > 0) {
        if (m.zoomDir != 0)
            w.zoom = from.zoom * std::exp2(m.zoomDir * double(m.zoomSpeed) * seconds / kMaxSpeed);
        w.x = from.x + m.panDir * m.moveRate * seconds;
        w.y = from.y - m.tiltDir * m.moveRate * seconds;  // up is towards row 0
    }
    return clampWindow(w);
}

View applyWindow(const View &optical, const Window &window, int width, int height)
{
    if (optical.hfovDeg >= 360.0 || width <= 0 || height <= 0)
        return optical;
    const Window w = clampWindow(window);
    View v = optical;
    const double zoom = std::max(1.0, optical.zoom);
    const double hspan = optical.hfovDeg / zoom;
    const double vspan = hspan * height / width;
    v.panDeg = ptzmotion::wrapPan(optical.panDeg + w.x * hspan);
    v.tiltDeg = std::clamp(optical.tiltDeg - w.y * vspan, -90.0, 90.0);
    v.zoom = zoom * w.zoom;
    return v;
}

}  // namespace eptz

using namespace eptz;

ElectronicPtz::ElectronicPtz(const DeviceProfile &profile) : profile_(profile)
{
    reset();
}

void ElectronicPtz::reset()
{
    std::lock_guard<std::mutex> lock(mutex_);
    states_.assign(profile_.channels.size(), State{});
}

bool ElectronicPtz::validChannel(int channel) const
{
    return channel >= 0 && size_t(channel) < profile_.channels.size();
}

bool ElectronicPtz::supported(int channel) const
{
    const size_t c = size_t(channel);
    return !(c < profile_.hfovDeg.size() && profile_.hfovDeg[c] >= 360.0);
}

int32_t ElectronicPtz::control(const TMV_NET_EPTZ_CONTROL &c, int64_t nowUs)
{
    if (!validChannel(c.channel) || c.command < 0 || c.command > kZoomIn || (c.stop != 0 && c.stop != 1))
        return kWrongParam;
    if (!supported(c.channel))
        return kNotSupported;
    const bool start = c.stop == 0;
    // Only a start reads the speed: the release does not fill it.
    if (start && (c.speed < kMinSpeed || c.speed > kMaxSpeed))
        return kWrongParam;
    std::lock_guard<std::mutex> lock(mutex_);
    State &s = states_[size_t(c.channel)];
    // Commit both motions; each goes on from here unless this command ends it.
    s.window = windowAfter(s.window, s.motion, double(nowUs - s.sinceUs) / 1e6);
    s.sinceUs = nowUs;
    if (c.command == kZoomOut || c.command == kZoomIn) {
        s.motion.zoomDir = start ? (c.command == kZoomIn ? 1 : -1) : 0;
        s.motion.zoomSpeed = start ? c.speed : 0;
        return kOk;
    }
    int panDir = 0, tiltDir = 0;
    ptzmotion::directionAxes(c.command, &panDir, &tiltDir);
    s.motion.panDir = start ? panDir : 0;
    s.motion.tiltDir = start ? tiltDir : 0;
    s.motion.moveRate = start ? moveRate(c.speed, s.window.zoom) : 0.0;
    return kOk;
}

Window ElectronicPtz::windowAt(int channel, int64_t timeUs) const
{
    if (!validChannel(channel))
        return Window{};
    std::lock_guard<std::mutex> lock(mutex_);
    const State &s = states_[size_t(channel)];
    return windowAfter(s.window, s.motion, double(timeUs - s.sinceUs) / 1e6);
}

View ElectronicPtz::apply(int channel, const View &optical, int64_t timeUs) const
{
    if (!validChannel(channel))
        return optical;
    const ChannelProfile &c = profile_.channels[size_t(channel)];
    return applyWindow(optical, windowAt(channel, timeUs), c.width, c.height);
}

}  // namespace sim
