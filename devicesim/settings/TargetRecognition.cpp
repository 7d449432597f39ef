#include "settings/TargetRecognition.h"

#include "base/Status.h"

namespace sim {

namespace recognition {

namespace {

bool flag(uint8_t v)
{
    return v <= 1;
}

bool inRange(int64_t v, int64_t lo, int64_t hi)
{
    return v >= lo && v <= hi;
}

constexpr int64_t kMaxSeconds = 3600;

bool validLinkage(const TMV_NET_ALARM_LINKAGE &l)
{
    return flag(l.enable) && flag(l.channels[0]) && flag(l.channels[1]) && inRange(l.delay, 0, kMaxSeconds);
}

}  // namespace

TMV_NET_TARGET_RECOGNITION_CONFIG factory()
{
    TMV_NET_TARGET_RECOGNITION_CONFIG c{};
    c.enable = 0;
    c.sensitivity = 50;
    c.snapLinkage.delay = 0;
    c.recordLinkage.delay = 10;
    c.trackEnable = 0;
    c.trackParam1 = 1;
    c.trackParam2 = 1;
    c.trackTime = 30;
    c.trackMode = 3;
    c.lostTime = 5;
    c.lrfEnable = 0;
    c.targetType = 0;
    return c;
}

bool valid(const TMV_NET_TARGET_RECOGNITION_CONFIG &c)
{
    return flag(c.enable) && inRange(c.sensitivity, 0, 100) && validLinkage(c.snapLinkage) &&
           validLinkage(c.recordLinkage) && flag(c.trackEnable) && inRange(c.trackTime, 0, kMaxSeconds) &&
           inRange(c.trackMode, 1, 3) && inRange(c.lostTime, 0, kMaxSeconds) && flag(c.lrfEnable) &&
           inRange(c.targetType, 0, 8);
}

}  // namespace recognition

TargetRecognition::TargetRecognition(int channels) : channels_(channels)
{
    reset();
}

void TargetRecognition::reset()
{
    std::lock_guard<std::mutex> lock(mutex_);
    configs_.assign(size_t(channels_), recognition::factory());
}

int32_t TargetRecognition::get(int channel, TMV_NET_TARGET_RECOGNITION_CONFIG *config) const
{
    if (channel < 0 || channel >= channels_)
        return kWrongParam;
    std::lock_guard<std::mutex> lock(mutex_);
    *config = configs_[size_t(channel)];
    return kOk;
}

int32_t TargetRecognition::set(int channel, const TMV_NET_TARGET_RECOGNITION_CONFIG &config)
{
    if (channel < 0 || channel >= channels_ || !recognition::valid(config))
        return kWrongParam;
    std::lock_guard<std::mutex> lock(mutex_);
    configs_[size_t(channel)] = config;
    return kOk;
}

}  // namespace sim
