#pragma once
// The live video of one channel for one login, on its own library thread,
// paced by the simulation clock at the device's frame rate.
//
// Threading model: start/stop/record calls come from API threads; frames are
// rendered and delivered on the stream thread. After stop() returns (called
// from another thread) no callback is running or will run. stop() from inside
// the stream's own callback only asks the thread to end after the callback.

#include "TMVNetSDK.h"
#include "model/Picture.h"
#include "model/SimClock.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace sim {

class Device;
class VideoRecorder;

class PreviewStream {
public:
    PreviewStream(std::shared_ptr<Device> device, TMV_NET_HANDLE handle, int channel,
                  TMV_NET_PREVIEW_CALLBACK callback, void *user);
    ~PreviewStream();

    void start();
    // False when called from the stream's own thread: it ends after the
    // callback returns.
    bool stop();
    bool onStreamThread() const { return std::this_thread::get_id() == thread_.get_id(); }
    bool running() const { return running_; }
    // Running and not asked to stop.
    bool active() const { return running_ && !stopAsked_; }
    int channel() const { return channel_; }

    // Recording of what the stream delivers; statuses of the library.
    int32_t startRecord(const std::string &path);
    int32_t stopRecord();
    bool recording() const;

private:
    void run();
    void deliver(int64_t timeUs);

    std::shared_ptr<Device> device_;
    TMV_NET_HANDLE handle_;
    int channel_;
    TMV_NET_PREVIEW_CALLBACK callback_;
    void *user_;

    SimClock::Pacer pacer_;
    std::thread thread_;
    std::mutex joinMutex_;  // serialises joins from different threads
    std::atomic<bool> running_{false};
    std::atomic<bool> stopAsked_{false};
    Picture picture_;  // stream thread only

    mutable std::mutex recordMutex_;  // protects recorder_
    std::unique_ptr<VideoRecorder> recorder_;
};

}  // namespace sim
