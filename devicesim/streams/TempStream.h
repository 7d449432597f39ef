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

class Device;

class TempStream : public ChannelStream {
public:
    // `device` must have a thermal channel.
    TempStream(std::shared_ptr<Device> device, TMV_NET_HANDLE handle, TMV_NET_TEMP_CALLBACK callback, void *user);
    ~TempStream() override;

protected:
    void onFrame(const FramePtr &frame) override;

private:
    const std::shared_ptr<Device> device_;
    const TMV_NET_HANDLE handle_;
    const TMV_NET_TEMP_CALLBACK callback_;
    void *const user_;
};

}  // namespace sim
