#include "streams/PreviewStream.h"

#include "base/Status.h"
#include "camera/FrameProducer.h"
#include "settings/Settings.h"
#include "storage/VideoRecorder.h"

#include <atomic>

namespace sim {

namespace {

std::atomic<PreviewStream::ReadyFn> readyGate{nullptr};

}  // namespace

void PreviewStream::setReadyGate(ReadyFn gate)
{
    readyGate = gate;
}

bool PreviewStream::ready() const
{
    const ReadyFn gate = readyGate;
    if (!gate)
        return true;
    // A recording takes every frame.
    std::lock_guard<std::mutex> lock(recordMutex_);
    return recorder_ || gate(user_);
}

PreviewStream::PreviewStream(std::shared_ptr<FrameProducer> producer, std::shared_ptr<const Settings> settings,
                             int channel, int width, int height, TMV_NET_HANDLE handle,
                             TMV_NET_PREVIEW_CALLBACK callback, void *user)
    : ChannelStream(*producer), heldProducer_(std::move(producer)), settings_(std::move(settings)), channel_(channel),
      width_(width), height_(height), handle_(handle), callback_(callback), user_(user)
{
}

PreviewStream::~PreviewStream()
{
    stop();
    std::lock_guard<std::mutex> lock(recordMutex_);
    if (recorder_)
        recorder_->stop();
}

void PreviewStream::onFrame(const FramePtr &picture)
{
    {
        std::lock_guard<std::mutex> lock(recordMutex_);
        if (recorder_)
            recorder_->pushFrame(picture->rgba.data(), picture->width, picture->height, picture->timeUs / 1000);
    }
    const int64_t recorded = FrameProducer::threadCpuNs();
    TMV_NET_PREVIEW_FRAME frame{};
    // The pixels are shared with every other reader of the channel; the
    // contract makes them read-only.
    frame.data = const_cast<uint8_t *>(picture->rgba.data());
    frame.width = picture->width;
    frame.height = picture->height;
    callback_(handle_, channel_, &frame, user_);
    producer().addDelivery(FrameProducer::threadCpuNs() - recorded);
}

int32_t PreviewStream::startRecord(const std::string &path)
{
    std::lock_guard<std::mutex> lock(recordMutex_);
    if (recorder_)
        return kFailed;
    std::unique_ptr<VideoRecorder> recorder(new VideoRecorder());
    if (!recorder->start(path, width_, height_, settings_->frameRate(channel_)))
        return kFailed;
    recorder_ = std::move(recorder);
    lastStopFailed_ = false;
    return kOk;
}

int32_t PreviewStream::stopRecord()
{
    std::unique_ptr<VideoRecorder> recorder;
    {
        std::lock_guard<std::mutex> lock(recordMutex_);
        recorder = std::move(recorder_);
        if (!recorder) {
            // The stop before failed but ended the recording: this one
            // confirms it is over.
            const bool confirm = lastStopFailed_;
            lastStopFailed_ = false;
            return confirm ? kOk : kFailed;
        }
    }
    // Flushing the encoder can take a moment; not under the lock, so frames
    // keep flowing meanwhile.
    const bool finished = recorder->stop();
    std::lock_guard<std::mutex> lock(recordMutex_);
    lastStopFailed_ = !finished;
    return finished ? kOk : kFailed;
}

bool PreviewStream::recording() const
{
    std::lock_guard<std::mutex> lock(recordMutex_);
    return recorder_ != nullptr;
}

}  // namespace sim
