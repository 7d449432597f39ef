#include "streams/TempStream.h"

#include "camera/FrameProducer.h"
#include "model/Device.h"
#include "model/Settings.h"

namespace sim {

TempStream::TempStream(std::shared_ptr<Device> device, TMV_NET_HANDLE handle, TMV_NET_TEMP_CALLBACK callback,
                       void *user)
    : ChannelStream(device->producer(device->profile().thermalChannel)), device_(std::move(device)),
      handle_(handle), callback_(callback), user_(user)
{
}

TempStream::~TempStream()
{
    stop();
}

void TempStream::onFrame(const FramePtr &picture)
{
    if (!picture->thermal() || !device_->settings().measuring())
        return;
    const int64_t before = FrameProducer::threadCpuNs();
    TMV_NET_TEMP_FRAME frame{};
    // Shared with every other reader of the channel; the contract makes the
    // values read-only.
    frame.data = const_cast<uint16_t *>(picture->temperature.data());
    frame.width = picture->width;
    frame.height = picture->height;
    callback_(handle_, &frame, device_->profile().thermalChannel, user_);
    producer().addDelivery(FrameProducer::threadCpuNs() - before);
}

}  // namespace sim
