#pragma once
// The live video of one channel for one login: the channel's shared frames
// delivered to the client's callback on the stream's own library thread, and
// optionally recorded to a file.
//
// Threading model: as ChannelStream for start and stop. The record calls come
// from API threads; recordMutex_ guards the recorder, which the stream thread
// feeds before each callback.

#include "TMVNetSDK.h"
#include "streams/ChannelStream.h"

#include <memory>
#include <mutex>
#include <string>

namespace sim {

class Settings;
class VideoRecorder;

class PreviewStream : public ChannelStream {
public:
    // `producer` delivers channel `channel` of `width` x `height`; the
    // settings give its frame rate when a recording starts.
    PreviewStream(std::shared_ptr<FrameProducer> producer, std::shared_ptr<const Settings> settings, int channel,
                  int width, int height, TMV_NET_HANDLE handle, TMV_NET_PREVIEW_CALLBACK callback, void *user);
    ~PreviewStream() override;

    int channel() const { return channel_; }

    // Recording of what the stream delivers; statuses of the library. After
    // a stop that failed the recording is over, and the next stop succeeds.
    int32_t startRecord(const std::string &path);
    int32_t stopRecord();
    bool recording() const;

    // Whether the callback's receiver can take a frame now (its `user`); the
    // device service sets it, so a connection still sending the last frame
    // has no new one rendered for it. Unset: always.
    using ReadyFn = bool (*)(void *user);
    static void setReadyGate(ReadyFn gate);

protected:
    void onFrame(const FramePtr &frame) override;
    bool ready() const override;

private:
    const std::shared_ptr<FrameProducer> heldProducer_;  // what the base reads lives as long as the stream
    const std::shared_ptr<const Settings> settings_;
    const int channel_;
    const int width_, height_;
    const TMV_NET_HANDLE handle_;
    const TMV_NET_PREVIEW_CALLBACK callback_;
    void *const user_;

    mutable std::mutex recordMutex_;  // protects the two members below
    std::unique_ptr<VideoRecorder> recorder_;
    bool lastStopFailed_ = false;
};

}  // namespace sim
