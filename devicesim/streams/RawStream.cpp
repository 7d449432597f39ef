#include "streams/RawStream.h"

#include "base/DeviceProfile.h"
#include "camera/FrameProducer.h"
#include "settings/Settings.h"
#include "world/Noise.h"

#include <map>
#include <mutex>
#include <tuple>

namespace sim {

namespace {

// A detector's pattern is the same for every login: computed at the first
// open only.
std::shared_ptr<const FixedPattern> patternOf(const DeviceProfile &profile)
{
    static std::mutex mutex;  // protects cache
    static std::map<std::tuple<uint32_t, int, int>, std::shared_ptr<const FixedPattern>> cache;
    const ChannelProfile &c = profile.channels[size_t(profile.thermalChannel)];
    const uint32_t seed = RawStream::patternSeed(profile);
    std::lock_guard<std::mutex> lock(mutex);
    std::shared_ptr<const FixedPattern> &p = cache[std::make_tuple(seed, c.width, c.height)];
    if (!p)
        p = std::make_shared<const FixedPattern>(seed, c.width, c.height);
    return p;
}

}  // namespace

RawStream::RawStream(std::shared_ptr<FrameProducer> producer, std::shared_ptr<const Settings> settings,
                     const DeviceProfile &profile, TMV_NET_HANDLE handle, TMV_NET_NUC_DATA_CALLBACK callback,
                     void *user)
    : ChannelStream(*producer), heldProducer_(std::move(producer)), settings_(std::move(settings)), handle_(handle),
      callback_(callback), user_(user), pattern_(patternOf(profile))
{
}

RawStream::~RawStream()
{
    stop();
}

uint32_t RawStream::patternSeed(const DeviceProfile &profile)
{
    uint32_t h = noise::hash32(profile.seed);
    for (const char c : profile.address)
        h = noise::hash32(h ^ uint8_t(c));
    return h;
}

void RawStream::onFrame(const FramePtr &picture)
{
    if (!picture->thermal() || picture->width != pattern_->width() || picture->height != pattern_->height())
        return;
    raw_.resize(picture->temperature.size());
    pattern_->apply(picture->temperature.data(), raw_.data(), settings_->tempCorrection());
    const int64_t before = FrameProducer::threadCpuNs();
    callback_(handle_, raw_.data(), picture->width, picture->height, user_);
    producer().addDelivery(FrameProducer::threadCpuNs() - before);
}

}  // namespace sim
