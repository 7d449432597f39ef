#pragma once
// The raw stream of one login: what the thermal detector itself reads for
// each frame, 16-bit counts per pixel (camera/Sensor.h), handed to the
// client's callback on the stream's own library thread. With the device's
// correction on (Settings::tempCorrection) the fixed pattern is removed;
// the setting is read per frame, so a change shows on the next one.
//
// Threading model: as ChannelStream; the pattern is immutable and shared by
// every raw stream of the device, raw_ is only touched on the stream thread.

#include "TMVNetSDK.h"
#include "camera/Sensor.h"
#include "streams/ChannelStream.h"

#include <memory>
#include <vector>

namespace sim {

class Settings;
struct DeviceProfile;

class RawStream : public ChannelStream {
public:
    // `producer` delivers the thermal channel of the device `profile`
    // describes; the settings say whether the pattern is corrected.
    RawStream(std::shared_ptr<FrameProducer> producer, std::shared_ptr<const Settings> settings,
              const DeviceProfile &profile, TMV_NET_HANDLE handle, TMV_NET_NUC_DATA_CALLBACK callback, void *user);
    ~RawStream() override;

    // The seed of a device's detector pattern: each camera of the fleet has
    // its own detector, even where they share one world.
    static uint32_t patternSeed(const DeviceProfile &profile);

protected:
    void onFrame(const FramePtr &frame) override;

private:
    const std::shared_ptr<FrameProducer> heldProducer_;  // what the base reads lives as long as the stream
    const std::shared_ptr<const Settings> settings_;
    const TMV_NET_HANDLE handle_;
    const TMV_NET_NUC_DATA_CALLBACK callback_;
    void *const user_;
    const std::shared_ptr<const FixedPattern> pattern_;
    std::vector<uint16_t> raw_;  // the frame being delivered
};

}  // namespace sim
