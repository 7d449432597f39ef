#include "streams/TempStream.h"

#include "camera/FrameProducer.h"
#include "settings/Settings.h"

namespace sim {

TempStream::TempStream(std::shared_ptr<FrameProducer> producer, std::shared_ptr<const Settings> settings,
                       int channel, TMV_NET_HANDLE handle, TMV_NET_TEMP_CALLBACK callback, void *user)
    : ChannelStream(*producer), heldProducer_(std::move(producer)), settings_(std::move(settings)), channel_(channel),
      handle_(handle), callback_(callback), user_(user)
{
}

TempStream::~TempStream()
{
    stop();
}

void TempStream::onFrame(const FramePtr &picture)
{
    if (!picture->thermal() || !settings_->measuring())
        return;
    const int64_t before = FrameProducer::threadCpuNs();
    TMV_NET_TEMP_FRAME frame{};
    // Shared with every other reader of the channel; the contract makes the
    // values read-only.
    frame.data = const_cast<uint16_t *>(picture->temperature.data());
    frame.width = picture->width;
    frame.height = picture->height;
    callback_(handle_, &frame, channel_, user_);
    producer().addDelivery(FrameProducer::threadCpuNs() - before);
}

}  // namespace sim
