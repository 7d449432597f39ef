#include "ptz/PtzHead.h"

#include "model/Device.h"

namespace sim {

namespace {
constexpr double kDefaultHfovDeg = 50.0;
}

PtzHead::PtzHead(const DeviceProfile &profile) : profile_(profile)
{
    reset();
}

void PtzHead::reset()
{
    std::lock_guard<std::mutex> lock(mutex_);
    panDeg_ = profile_.homePanDeg;
    tiltDeg_ = profile_.homeTiltDeg;
    currentPreset_ = 0;
    zoom_.assign(profile_.channels.size(), 1.0);
}

View PtzHead::viewAt(int channel, int64_t) const
{
    View v;
    if (channel < 0 || size_t(channel) >= profile_.channels.size())
        return v;
    v.hfovDeg = size_t(channel) < profile_.hfovDeg.size() ? profile_.hfovDeg[size_t(channel)] : kDefaultHfovDeg;
    if (v.hfovDeg >= 360.0)
        return View::panoramic(profile_.homeTiltDeg);  // a ring of sensors turns with nothing
    std::lock_guard<std::mutex> lock(mutex_);
    v.panDeg = panDeg_;
    v.tiltDeg = tiltDeg_;
    v.zoom = zoom_[size_t(channel)];
    return v;
}

int PtzHead::currentPreset() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return currentPreset_;
}

double PtzHead::panDeg() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return panDeg_;
}

double PtzHead::tiltDeg() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return tiltDeg_;
}

}  // namespace sim
