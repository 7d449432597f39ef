#include "ptz/PtzHead.h"

#include "base/DeviceProfile.h"
#include "base/SimClock.h"
#include "base/Status.h"
#include "ptz/PtzMotion.h"
#include "ptz/PtzPrograms.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace sim {

namespace {
constexpr double kDefaultHfovDeg = 50.0;
constexpr double kPictureScale = 8192.0;

enum PresetAction : int32_t { kStore = 0, kRename = 1, kMoveTo = 2, kDelete = 3, kDeleteAll = 4 };

using ptzmotion::wrapPan;

int64_t simNowUs()
{
    return SimClock::instance().nowUs();
}

double secondsBetween(int64_t fromUs, int64_t toUs)
{
    return double(toUs - fromUs) / 1e6;
}
}  // namespace

PtzHead::PtzHead(const DeviceProfile &profile)
    : profile_(profile), programs_(profile.kind == DeviceKind::PtzDual ? kPresetSlots : 0)
{
    reset();
}

void PtzHead::reset()
{
    std::lock_guard<std::mutex> lock(mutex_);
    panDeg_ = profile_.homePanDeg;
    tiltDeg_ = profile_.homeTiltDeg;
    currentPreset_ = 0;
    tracking_ = false;
    zoom_.assign(profile_.channels.size(), 1.0);
    panDir_ = tiltDir_ = zoomDir_ = 0;
    degPerSec_ = 0;
    turnSinceUs_ = zoomSinceUs_ = 0;
    slots_.assign(profile_.kind == DeviceKind::PtzDual ? size_t(kPresetSlots) : 0, Slot{});
    programs_.clear();
    running_.reset();
    lastCommandUs_ = trackSinceUs_ = simNowUs();
    parked_ = false;
    recordingId_ = 0;
    recording_ = Pattern{};
}

bool PtzHead::turns() const
{
    return profile_.kind == DeviceKind::PtzDual;
}

bool PtzHead::validChannel(int channel) const
{
    return channel >= 0 && size_t(channel) < profile_.channels.size();
}

double PtzHead::panLocked(int64_t timeUs) const
{
    if (panDir_ == 0)
        return panDeg_;
    return ptzmotion::panAfter(panDeg_, panDir_, degPerSec_, secondsBetween(turnSinceUs_, timeUs));
}

double PtzHead::tiltLocked(int64_t timeUs) const
{
    if (tiltDir_ == 0)
        return tiltDeg_;
    return ptzmotion::tiltAfter(tiltDeg_, tiltDir_, degPerSec_, secondsBetween(turnSinceUs_, timeUs));
}

double PtzHead::zoomLocked(size_t channel, int64_t timeUs) const
{
    return ptzmotion::zoomAfter(zoom_[channel], zoomDir_, secondsBetween(zoomSinceUs_, timeUs), kMaxZoom);
}

void PtzHead::commitTurnLocked(int64_t nowUs)
{
    if (panDir_ == 0 && tiltDir_ == 0)
        return;
    const double pan = panLocked(nowUs);
    const double tilt = tiltLocked(nowUs);
    panDeg_ = pan;
    tiltDeg_ = tilt;
    turnSinceUs_ = nowUs;
}

void PtzHead::commitZoomLocked(int64_t nowUs)
{
    if (zoomDir_ == 0)
        return;
    for (size_t c = 0; c < zoom_.size(); ++c)
        zoom_[c] = zoomLocked(c, nowUs);
    zoomSinceUs_ = nowUs;
}

void PtzHead::haltLocked(int64_t nowUs)
{
    takeOverLocked(nowUs);
    commitTurnLocked(nowUs);
    commitZoomLocked(nowUs);
    panDir_ = tiltDir_ = zoomDir_ = 0;
}

bool PtzHead::moving() const
{
    const int64_t nowUs = simNowUs();
    std::lock_guard<std::mutex> lock(mutex_);
    return movingLocked(nowUs);
}

bool PtzHead::movingLocked(int64_t timeUs) const
{
    settleLocked(timeUs);
    if (running_)
        return running_->plan.movingAt(timeUs);
    return panDir_ != 0 || tiltDir_ != 0 || zoomDir_ != 0;
}

Pose PtzHead::poseLocked(int64_t timeUs) const
{
    settleLocked(timeUs);
    if (running_)
        return running_->plan.poseAt(timeUs);
    Pose p;
    p.panDeg = panLocked(timeUs);
    p.tiltDeg = tiltLocked(timeUs);
    for (size_t c = 0; c < zoom_.size() && c < kMaxLenses; ++c)
        p.zoom[c] = zoomLocked(c, timeUs);
    return p;
}

void PtzHead::takeOverLocked(int64_t nowUs)
{
    lastCommandUs_ = std::max(lastCommandUs_, nowUs);
    parked_ = false;
    if (!running_)
        return;
    const Pose p = running_->plan.poseAt(nowUs);
    currentPreset_ = running_->plan.movingAt(nowUs) ? 0 : running_->plan.presetAt(nowUs);
    running_.reset();
    panDeg_ = p.panDeg;
    tiltDeg_ = p.tiltDeg;
    for (size_t c = 0; c < zoom_.size() && c < kMaxLenses; ++c)
        zoom_[c] = p.zoom[c];
}

int32_t PtzHead::control(const TMV_NET_PTZ_CONTROL &c, int64_t nowUs)
{
    if (!turns())
        return kNotSupported;
    if (!validChannel(c.channel) || (c.stop != 0 && c.stop != 1))
        return kWrongParam;
    const bool start = c.stop == 0;
    int panDir = 0, tiltDir = 0;
    std::lock_guard<std::mutex> lock(mutex_);
    if (ptzmotion::directionAxes(c.command, &panDir, &tiltDir)) {
        // Only a start reads the speed: the release carries whatever the
        // client's box shows.
        if (start && (c.speed < ptzmotion::kMinSpeed || c.speed > ptzmotion::kMaxSpeed))
            return kWrongParam;
        takeOverLocked(nowUs);
        recordLocked(c, nowUs);
        commitTurnLocked(nowUs);
        if (!start) {  // any direction's stop ends whichever is turning
            panDir_ = tiltDir_ = 0;
            return kOk;
        }
        // A new direction starts from rest again: it ramps like the first.
        panDir_ = panDir;
        tiltDir_ = tiltDir;
        degPerSec_ = ptzmotion::degreesPerSecond(c.speed);
        turnSinceUs_ = nowUs;
        tracking_ = false;
        currentPreset_ = 0;
        return kOk;
    }
    if (c.command == 8 || c.command == 9) {
        takeOverLocked(nowUs);
        recordLocked(c, nowUs);
        commitZoomLocked(nowUs);
        if (!start) {
            zoomDir_ = 0;
            return kOk;
        }
        zoomDir_ = c.command == 9 ? 1 : -1;
        zoomSinceUs_ = nowUs;
        currentPreset_ = 0;
        return kOk;
    }
    // Focus, iris and the switches: accepted, no change to the view.
    if (c.command >= 10 && c.command <= 21)
        return kOk;
    return kWrongParam;
}

int32_t PtzHead::currentInfo(TMV_NET_CURRENT_PTZ_INFO *info, int64_t nowUs) const
{
    if (!turns())
        return kNotSupported;
    std::lock_guard<std::mutex> lock(mutex_);
    const Pose pose = poseLocked(nowUs);
    info->pan = float(pose.panDeg);
    info->tilt = float(pose.tiltDeg);
    for (size_t c = 0; c < profile_.channels.size() && c < kMaxLenses; ++c) {
        const ChannelProfile &ch = profile_.channels[c];
        const double zoom = pose.zoom[c];
        const double hfov = (c < profile_.hfovDeg.size() ? profile_.hfovDeg[c] : kDefaultHfovDeg) / zoom;
        const double vfov = hfov * ch.height / ch.width;  // pixels square in angle, as the renderer
        if (ch.thermal) {
            info->irZoom = float(zoom);
            info->irFovH = float(hfov);
            info->irFovV = float(vfov);
        } else {
            info->visZoom = float(zoom);
            info->visFovH = float(hfov);
            info->visFovV = float(vfov);
        }
    }
    return kOk;
}

View PtzHead::viewAt(int channel, int64_t timeUs) const
{
    View v;
    if (!validChannel(channel))
        return v;
    v.hfovDeg = size_t(channel) < profile_.hfovDeg.size() ? profile_.hfovDeg[size_t(channel)] : kDefaultHfovDeg;
    if (v.hfovDeg >= 360.0)
        return View::panoramic(profile_.homeTiltDeg);  // a ring of sensors turns with nothing
    std::lock_guard<std::mutex> lock(mutex_);
    const Pose pose = poseLocked(timeUs);
    v.panDeg = pose.panDeg;
    v.tiltDeg = pose.tiltDeg;
    v.zoom = size_t(channel) < kMaxLenses ? pose.zoom[size_t(channel)] : 1.0;
    return v;
}

int PtzHead::currentPreset() const
{
    const int64_t nowUs = simNowUs();
    std::lock_guard<std::mutex> lock(mutex_);
    // A held motion leaves the preset as soon as it starts; a program stands
    // at one only while it holds there or after it arrived.
    if (movingLocked(nowUs))
        return 0;
    const int id = running_ ? running_->plan.presetAt(nowUs) : currentPreset_;
    return id >= 1 && size_t(id) <= slots_.size() && slots_[size_t(id - 1)].stored ? id : 0;
}

double PtzHead::panDeg() const
{
    return panDegAt(simNowUs());
}

double PtzHead::tiltDeg() const
{
    return tiltDegAt(simNowUs());
}

double PtzHead::zoom(int channel) const
{
    return zoomAt(channel, simNowUs());
}

double PtzHead::panDegAt(int64_t timeUs) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return poseLocked(timeUs).panDeg;
}

double PtzHead::tiltDegAt(int64_t timeUs) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return poseLocked(timeUs).tiltDeg;
}

double PtzHead::zoomAt(int channel, int64_t timeUs) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return validChannel(channel) && size_t(channel) < kMaxLenses ? poseLocked(timeUs).zoom[size_t(channel)] : 1.0;
}

bool PtzHead::tracking() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return tracking_;
}

int PtzHead::presetCount() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return int(slots_.size());
}

std::vector<TMV_NET_PRESET_INFO> PtzHead::presets() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<TMV_NET_PRESET_INFO> list(slots_.size());
    for (size_t i = 0; i < slots_.size(); ++i) {
        TMV_NET_PRESET_INFO &p = list[i];
        std::memset(&p, 0, sizeof p);
        p.enable = slots_[i].stored ? 1 : 0;
        p.id = int32_t(i + 1);
        // Stored names came from a field of the same size; the cut only guards.
        const size_t n = std::min(slots_[i].name.size(), sizeof p.name - 1);
        std::memcpy(p.name, slots_[i].name.data(), n);
    }
    return list;
}

int32_t PtzHead::presetControl(int32_t action, const TMV_NET_PRESET_INFO &preset)
{
    if (!turns())
        return kNotSupported;
    const int64_t nowUs = simNowUs();
    std::lock_guard<std::mutex> lock(mutex_);
    if (action == kDeleteAll) {
        slots_.assign(slots_.size(), Slot{});
        currentPreset_ = 0;
        return kOk;
    }
    if (action < kStore || action > kDelete || preset.id < 1 || size_t(preset.id) > slots_.size())
        return kWrongParam;
    Slot &slot = slots_[size_t(preset.id - 1)];
    switch (action) {
    case kStore:
        slot.stored = true;
        slot.name.assign(preset.name, strnlen(preset.name, sizeof preset.name));
        {
            // Where the head is now; a held motion or a program goes on.
            const Pose pose = poseLocked(nowUs);
            slot.panDeg = pose.panDeg;
            slot.tiltDeg = pose.tiltDeg;
            slot.zoom.resize(zoom_.size());
            for (size_t c = 0; c < zoom_.size() && c < kMaxLenses; ++c)
                slot.zoom[c] = pose.zoom[c];
            // A move that has arrived is over: the head stands at the new
            // preset. A program still running goes on.
            if (running_ && running_->plan.endUs() <= nowUs)
                takeOverLocked(nowUs);
            if (!running_)
                currentPreset_ = movingLocked(nowUs) ? 0 : preset.id;
        }
        return kOk;
    case kRename:
        // A name may be given to an empty slot before its position is stored.
        slot.name.assign(preset.name, strnlen(preset.name, sizeof preset.name));
        return kOk;
    case kMoveTo:
        if (!slot.stored)
            return kFailed;  // nothing to move to
        haltLocked(nowUs);
        tracking_ = false;
        currentPreset_ = 0;
        runLocked(ptzprograms::move(poseLocked(nowUs), poseOf(slot), preset.id, nowUs, kMaxZoom), 0, 0, 0);
        return kOk;
    default:  // kDelete
        slot = Slot{};
        if (currentPreset_ == preset.id)
            currentPreset_ = 0;
        return kOk;
    }
}

void PtzHead::aimLocked(int channel, int32_t x0, int32_t y0, int32_t x1, int32_t y1, bool zoomIn)
{
    const ChannelProfile &c = profile_.channels[size_t(channel)];
    const double hfov =
        size_t(channel) < profile_.hfovDeg.size() ? profile_.hfovDeg[size_t(channel)] : kDefaultHfovDeg;
    const double zoom = std::max(1.0, zoom_[size_t(channel)]);
    const double hspan = hfov / zoom;
    const double vspan = hspan * c.height / c.width;  // pixels are square in angle
    // 64-bit sums: the client sends points beyond the picture unclamped.
    const double cx = (double(int64_t(x0) + x1) / 2.0) / kPictureScale - 0.5;
    const double cy = (double(int64_t(y0) + y1) / 2.0) / kPictureScale - 0.5;
    panDeg_ = wrapPan(panDeg_ + cx * hspan);
    tiltDeg_ = std::clamp(tiltDeg_ - cy * vspan, -90.0, 90.0);  // rows go down in tilt
    if (!zoomIn)
        return;
    const double w = std::fabs(double(x1) - x0) / kPictureScale;
    const double h = std::fabs(double(y1) - y0) / kPictureScale;
    // The whole rectangle stays in view; a click (no extent) only centres.
    const double factor = std::min(w > 0 ? 1.0 / w : HUGE_VAL, h > 0 ? 1.0 / h : HUGE_VAL);
    if (!std::isfinite(factor))
        return;
    // Every lens zooms by the same factor, so the channels stay aligned.
    for (double &z : zoom_)
        z = std::clamp(z * factor, 1.0, kMaxZoom);
}

int32_t PtzHead::position3D(const TMV_NET_PTZ_3D_POSITION &rect)
{
    if (!turns())
        return kNotSupported;
    if (!validChannel(rect.channel))
        return kWrongParam;
    const int64_t nowUs = simNowUs();
    std::lock_guard<std::mutex> lock(mutex_);
    haltLocked(nowUs);  // positioning takes over from a held direction
    aimLocked(rect.channel, rect.x0, rect.y0, rect.x1, rect.y1, true);
    tracking_ = false;
    currentPreset_ = 0;
    return kOk;
}

int32_t PtzHead::regionFocus(const TMV_NET_PTZ_REGION &region)
{
    if (!turns())
        return kNotSupported;
    if (!validChannel(region.channel) || region.stop != 0)
        return kWrongParam;
    std::lock_guard<std::mutex> lock(mutex_);
    // The view stays and a program runs on, but the head is not idle.
    lastCommandUs_ = std::max(lastCommandUs_, simNowUs());
    parked_ = false;
    return kOk;
}

int32_t PtzHead::manualTrack(const TMV_NET_PTZ_REGION &region)
{
    if (!turns())
        return kNotSupported;
    if (!validChannel(region.channel) || (region.stop != 0 && region.stop != 1))
        return kWrongParam;
    const int64_t nowUs = simNowUs();
    std::lock_guard<std::mutex> lock(mutex_);
    haltLocked(nowUs);
    if (region.stop == 1) {
        tracking_ = false;  // the head stays where tracking left it
        return kOk;
    }
    aimLocked(region.channel, region.x0, region.y0, region.x1, region.y1, false);
    if (!tracking_)
        trackSinceUs_ = nowUs;
    tracking_ = true;
    currentPreset_ = 0;
    return kOk;
}

void PtzHead::setZoom(int channel, double zoom)
{
    if (!validChannel(channel))
        return;
    std::lock_guard<std::mutex> lock(mutex_);
    commitZoomLocked(simNowUs());
    zoom_[size_t(channel)] = std::clamp(zoom, 1.0, kMaxZoom);
    currentPreset_ = 0;
}

}  // namespace sim
