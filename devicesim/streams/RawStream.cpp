#include "streams/RawStream.h"

#include "camera/FrameProducer.h"
#include "model/Device.h"
#include "model/Settings.h"
#include "world/Noise.h"

#include <map>
#include <mutex>
#include <tuple>

namespace sim {

namespace {

const ChannelProfile &thermalProfile(const Device &device)
{
    return device.profile().channels[size_t(device.profile().thermalChannel)];
}

// A detector's pattern is the same for every login: computed at the first
// open only.
std::shared_ptr<const FixedPattern> patternOf(const Device &device)
{
    static std::mutex mutex;  // protects cache
    static std::map<std::tuple<uint32_t, int, int>, std::shared_ptr<const FixedPattern>> cache;
    const ChannelProfile &c = thermalProfile(device);
    const uint32_t seed = RawStream::patternSeed(device);
    std::lock_guard<std::mutex> lock(mutex);
    std::shared_ptr<const FixedPattern> &p = cache[std::make_tuple(seed, c.width, c.height)];
    if (!p)
        p = std::make_shared<const FixedPattern>(seed, c.width, c.height);
    return p;
}

}  // namespace

RawStream::RawStream(std::shared_ptr<Device> device, TMV_NET_HANDLE handle, TMV_NET_NUC_DATA_CALLBACK callback,
                     void *user)
    : ChannelStream(device->producer(device->profile().thermalChannel)), device_(std::move(device)),
      handle_(handle), callback_(callback), user_(user),
      pattern_(patternOf(*device_))
{
}

RawStream::~RawStream()
{
    stop();
}

uint32_t RawStream::patternSeed(const Device &device)
{
    uint32_t h = noise::hash32(device.profile().seed);
    for (const char c : device.address())
        h = noise::hash32(h ^ uint8_t(c));
    return h;
}

void RawStream::onFrame(const FramePtr &picture)
{
    if (!picture->thermal() || picture->width != pattern_->width() || picture->height != pattern_->height())
        return;
    raw_.resize(picture->temperature.size());
    pattern_->apply(picture->temperature.data(), raw_.data(), device_->settings().tempCorrection());
    const int64_t before = FrameProducer::threadCpuNs();
    callback_(handle_, raw_.data(), picture->width, picture->height, user_);
    producer().addDelivery(FrameProducer::threadCpuNs() - before);
}

}  // namespace sim
