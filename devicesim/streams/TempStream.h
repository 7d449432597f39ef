#pragma once
// The temperature stream of one login: the thermal channel's temperature
// matrix of each frame (camera/TempUnits.h: deci-kelvin), handed to the
// client's callback on the stream's own library thread. A device whose
// measurement is switched off has no temperatures to give: its frames pass
// without a callback until measurement is on again.
//
// Threading model: as ChannelStream.

#include "TMVNetSDK.h"
#include "streams/ChannelStream.h"

#include <memory>

namespace sim {

class Settings;

class TempStream : public ChannelStream {
public:
    // `producer` delivers thermal channel `channel`; the settings say
    // whether the device measures.
    TempStream(std::shared_ptr<FrameProducer> producer, std::shared_ptr<const Settings> settings, int channel,
               TMV_NET_HANDLE handle, TMV_NET_TEMP_CALLBACK callback, void *user);
    ~TempStream() override;

protected:
    void onFrame(const FramePtr &frame) override;

private:
    const std::shared_ptr<FrameProducer> heldProducer_;  // what the base reads lives as long as the stream
    const std::shared_ptr<const Settings> settings_;
    const int channel_;
    const TMV_NET_HANDLE handle_;
    const TMV_NET_TEMP_CALLBACK callback_;
    void *const user_;
};

}  // namespace sim
