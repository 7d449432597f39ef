#pragma once
// Records a device's preview stream to a file: H.264 in an MP4 container
// (".mp4") or in the device's native MPEG-2 transport stream (".pav"), see
// docs/file-formats.md. Falls back to MPEG-4 part 2 when no H.264 encoder
// can be opened.
//
// A write that fails (a full card) ends the recording. A ".pav" keeps every
// picture that reached the file whole, as a transport stream can always be
// cut between pictures; an ".mp4" without the index its trailer writes is
// removed. Either way stop() reports the failure.
//
// A tapped file (storage/FileTap.h) reports each write and, once the
// recording ends, whether the file was kept and at what size.
//
// Threading model: start(), pushFrame(), stop() and setFreeSpace() may be
// called from any thread. pushFrame() only copies the picture into a small bounded queue and
// returns at once; a full queue loses its oldest frame (counted in
// droppedFrames()), so a stream thread is never held up by the encoder.
// Conversion, encoding and writing run on the recorder's own thread. When
// stop() returns, that thread has encoded what was queued, flushed the
// encoder, written the trailer, closed the file and exited.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace sim {

class VideoRecorder {
public:
    enum class Container { None, Mp4, Pav };
    // By extension, case-insensitive; None for anything else.
    static Container containerFor(const std::string &path);

    // `preferH264` false skips straight to the MPEG-4 part 2 fallback.
    explicit VideoRecorder(size_t queueCapacity = 8, bool preferH264 = true);
    ~VideoRecorder();  // stops a running recording
    VideoRecorder(const VideoRecorder &) = delete;
    VideoRecorder &operator=(const VideoRecorder &) = delete;

    // Opens `path` (a local file; the name is never read as a URL), sets up
    // the encoder for pictures of `width` x `height` and writes the header.
    // `fpsHint` is the stream's nominal rate, for rate control only: frame
    // times come from pushFrame(). False, with no file left, when the
    // extension is unknown, the file cannot be created, the size is unusable
    // or a recording is already running.
    bool start(const std::string &path, int width, int height, int fpsHint = 25);

    // Queues a copy of an RGBA8888 picture shown at `timeMs` (any clock in
    // milliseconds; the first frame becomes time 0). A picture of another
    // size is scaled to the recording's. False when not recording, on bad
    // input, or when `timeMs` is not after the previous frame's.
    bool pushFrame(const uint8_t *rgba, int width, int height, int64_t timeMs);

    // Finishes the file. True when it is complete; false when nothing was
    // recording or a write failed along the way.
    bool stop();

    // Room on the card for the recordings started from now on: a write past
    // it fails as on a full card. Unlimited by default.
    void setFreeSpace(uint64_t bytes);

    bool isRecording() const;
    uint64_t droppedFrames() const;  // lost to a full queue
    uint64_t encodedFrames() const;  // handed to the encoder
    size_t queuedFrames() const;     // waiting for the encoder
    std::string codecName() const;   // encoder in use, e.g. "libx264"

private:
    struct Encoder;  // FFmpeg state, touched only by the recorder's thread
    struct Frame {
        std::vector<uint8_t> pixels;
        int width = 0;
        int height = 0;
        int64_t timeMs = 0;
    };

    void run();

    const size_t capacity_;
    const bool preferH264_;
    std::mutex lifeMutex_;  // serialises start() and stop(); guards freeSpace_
    uint64_t freeSpace_ = UINT64_MAX;
    std::unique_ptr<Encoder> encoder_;
    std::thread thread_;

    mutable std::mutex mutex_;  // protects everything below
    std::condition_variable wake_;
    std::deque<Frame> queue_;
    std::vector<std::vector<uint8_t>> spare_;  // pixel buffers for reuse
    bool recording_ = false;
    bool stopping_ = false;
    bool failed_ = false;
    int64_t firstTimeMs_ = 0;
    int64_t lastTimeMs_ = 0;
    bool anyFrame_ = false;
    uint64_t dropped_ = 0;
    uint64_t encoded_ = 0;
    std::string codecName_;
};

}  // namespace sim
