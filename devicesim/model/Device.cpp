#include "model/Device.h"

#include "model/ChannelRenderer.h"
#include "model/Picture.h"

namespace sim {

namespace {
constexpr int kDefaultFrameRate = 25;
constexpr int kDefaultPalette = 4;  // iron
const char *const kUser = "admin";
const char *const kPassword = "sensor852";
}  // namespace

Device::Device(DeviceProfile profile) : profile_(std::move(profile))
{
    reset();
}

Device::~Device() = default;

void Device::reset()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        online_ = true;
        policy_ = LoginPolicy{};
        failedLogins_ = 0;
        lockedUntilUs_ = -1;
        searchAnswers_ = 1;
        frameRates_.assign(profile_.channels.size(), kDefaultFrameRate);
        stats_.assign(profile_.channels.size(), StreamStats{});
        aux_ = TMV_NET_PTZ_AUX_STATE{};
        aux_.autoFocus = profile_.ability.autoFocus ? 1 : 0;
        views_.clear();
        for (size_t c = 0; c < profile_.channels.size(); ++c) {
            ChannelView v;
            v.view.hfovDeg = c < profile_.hfovDeg.size() ? profile_.hfovDeg[c] : 50.0;
            v.view.panDeg = v.view.hfovDeg >= 360.0 ? 180.0 : profile_.homePanDeg;
            v.view.tiltDeg = profile_.homeTiltDeg;
            v.thermal.palette = kDefaultPalette;
            views_.push_back(v);
        }
    }
    std::lock_guard<std::mutex> lock(renderMutex_);
    renderers_.clear();
    for (const ChannelProfile &c : profile_.channels)
        renderers_.emplace_back(new ChannelRenderer(c, profile_.seed));
}

int32_t Device::admit(const std::string &user, const std::string &password, int64_t nowUs)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!online_)
        return 1;
    if (user != kUser)
        return 1002;
    if (lockedUntilUs_ >= 0) {
        if (nowUs < lockedUntilUs_)
            return 1005;
        lockedUntilUs_ = -1;
        failedLogins_ = 0;
    }
    if (password != kPassword) {
        if (++failedLogins_ >= policy_.failuresBeforeLock)
            lockedUntilUs_ = nowUs + policy_.lockUs;
        return 1003;
    }
    failedLogins_ = 0;
    if (sessions_ >= policy_.maxSessions)
        return 1006;
    ++sessions_;
    return 0;
}

void Device::release()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (sessions_ > 0)
        --sessions_;
}

int Device::sessionCount() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return sessions_;
}

bool Device::online() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return online_;
}

void Device::setOnline(bool online)
{
    std::lock_guard<std::mutex> lock(mutex_);
    online_ = online;
}

void Device::setLoginPolicy(int failures, int64_t lockUs)
{
    std::lock_guard<std::mutex> lock(mutex_);
    policy_.failuresBeforeLock = failures > 0 ? failures : 1;
    policy_.lockUs = lockUs > 0 ? lockUs : 0;
}

TMV_NET_DEV_INFO Device::devInfo() const
{
    TMV_NET_DEV_INFO info{};
    info.channelCount = channelCount();
    info.deviceType = int32_t(profile_.kind);
    info.thermalChannel = profile_.thermalChannel;
    const ChannelProfile &thermal = profile_.channels[size_t(profile_.thermalChannel)];
    info.width = thermal.width;
    info.height = thermal.height;
    info.firmwareVersion = (2 << 16) | (4 << 8) | 1;
    return info;
}

TMV_NET_DEV_ABILITY Device::ability(int) const
{
    return profile_.ability;
}

TMV_NET_PTZ_AUX_STATE Device::auxState() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return aux_;
}

int Device::frameRate(int channel) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (channel < 0 || size_t(channel) >= frameRates_.size())
        return kDefaultFrameRate;
    return frameRates_[size_t(channel)];
}

bool Device::setFrameRate(int channel, int fps)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (channel < 0 || size_t(channel) >= frameRates_.size() || fps < 1 || fps > 60)
        return false;
    frameRates_[size_t(channel)] = fps;
    return true;
}

void Device::addStreamStats(int channel, int64_t synthesisNs, int64_t callbackNs)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (channel < 0 || size_t(channel) >= stats_.size())
        return;
    StreamStats &s = stats_[size_t(channel)];
    ++s.frames;
    s.synthesisCpuNs += synthesisNs;
    s.callbackCpuNs += callbackNs;
}

Device::StreamStats Device::streamStats(int channel) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (channel < 0 || size_t(channel) >= stats_.size())
        return StreamStats{};
    return stats_[size_t(channel)];
}

void Device::resetStreamStats()
{
    std::lock_guard<std::mutex> lock(mutex_);
    stats_.assign(profile_.channels.size(), StreamStats{});
}

void Device::renderChannel(int channel, int64_t timeUs, Picture &out)
{
    ChannelView view;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (channel < 0 || size_t(channel) >= views_.size())
            return;
        view = views_[size_t(channel)];
    }
    std::lock_guard<std::mutex> lock(renderMutex_);
    renderers_[size_t(channel)]->render(view, timeUs, out);
}

int Device::takeSearchAnswers()
{
    std::lock_guard<std::mutex> lock(mutex_);
    int n = online_ ? searchAnswers_ : 0;
    searchAnswers_ = 1;
    return n;
}

void Device::setSearchAnswers(int answers)
{
    std::lock_guard<std::mutex> lock(mutex_);
    searchAnswers_ = answers < 0 ? 0 : answers;
}

}  // namespace sim
