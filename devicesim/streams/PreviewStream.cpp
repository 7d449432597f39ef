#include "streams/PreviewStream.h"

#include "model/Device.h"
#include "storage/VideoRecorder.h"

#include <ctime>

namespace sim {

PreviewStream::PreviewStream(std::shared_ptr<Device> device, TMV_NET_HANDLE handle, int channel,
                             TMV_NET_PREVIEW_CALLBACK callback, void *user)
    : device_(std::move(device)), handle_(handle), channel_(channel), callback_(callback), user_(user)
{
}

PreviewStream::~PreviewStream()
{
    stop();
    stopRecord();
}

void PreviewStream::start()
{
    SimClock::instance().addPacer(&pacer_);
    running_ = true;
    thread_ = std::thread([this] { run(); });
}

bool PreviewStream::stop()
{
    SimClock &clock = SimClock::instance();
    stopAsked_ = true;
    clock.requestStop(&pacer_);
    if (onStreamThread())
        return false;
    std::lock_guard<std::mutex> lock(joinMutex_);
    if (thread_.joinable()) {
        thread_.join();
        clock.removePacer(&pacer_);
    }
    running_ = false;
    return true;
}

void PreviewStream::run()
{
    SimClock &clock = SimClock::instance();
    // Frames fall due at anchor + n periods; a new rate starts a new cadence
    // from the last frame, without drift from rounding.
    int64_t anchorUs = clock.nowUs();
    int fps = device_->frameRate(channel_);
    int64_t frame = 0;
    for (;;) {
        const int64_t dueUs = anchorUs + frame * 1000000 / fps;
        if (!clock.waitUntil(&pacer_, dueUs))
            break;
        deliver(dueUs);
        ++frame;
        const int rate = device_->frameRate(channel_);
        if (rate != fps) {
            anchorUs = dueUs;
            fps = rate;
            frame = 1;
        }
    }
    running_ = false;
    clock.finish(&pacer_);
}

namespace {
int64_t threadCpuNs()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}
}  // namespace

void PreviewStream::deliver(int64_t timeUs)
{
    const int64_t start = threadCpuNs();
    device_->renderChannel(channel_, timeUs, picture_);
    if (picture_.rgba.empty())
        return;
    {
        std::lock_guard<std::mutex> lock(recordMutex_);
        if (recorder_)
            recorder_->pushFrame(picture_.rgba.data(), picture_.width, picture_.height, timeUs / 1000);
    }
    TMV_NET_PREVIEW_FRAME frame{};
    frame.data = picture_.rgba.data();
    frame.width = picture_.width;
    frame.height = picture_.height;
    const int64_t rendered = threadCpuNs();
    callback_(handle_, channel_, &frame, user_);
    device_->addStreamStats(channel_, rendered - start, threadCpuNs() - rendered);
}

int32_t PreviewStream::startRecord(const std::string &path)
{
    std::lock_guard<std::mutex> lock(recordMutex_);
    if (recorder_)
        return 1;
    const ChannelProfile &c = device_->profile().channels[size_t(channel_)];
    std::unique_ptr<VideoRecorder> recorder(new VideoRecorder());
    if (!recorder->start(path, c.width, c.height, device_->frameRate(channel_)))
        return 1;
    recorder_ = std::move(recorder);
    return 0;
}

int32_t PreviewStream::stopRecord()
{
    std::unique_ptr<VideoRecorder> recorder;
    {
        std::lock_guard<std::mutex> lock(recordMutex_);
        recorder = std::move(recorder_);
    }
    if (!recorder)
        return 1;
    // Flushing the encoder can take a moment; not under the lock, so frames
    // keep flowing meanwhile.
    return recorder->stop() ? 0 : 1;
}

bool PreviewStream::recording() const
{
    std::lock_guard<std::mutex> lock(recordMutex_);
    return recorder_ != nullptr;
}

}  // namespace sim
