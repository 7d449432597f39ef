#include "storage/VideoRecorder.h"

#include "storage/FileTap.h"
#include "storage/PictureFiles.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>

namespace sim {

namespace {

// Frame times are milliseconds, so variable frame rates keep the real timing.
constexpr AVRational kTimeBase = {1, 1000};
// swscale's vector code may read a little past the last pixel row.
constexpr size_t kPixelPadding = 64;
constexpr int kIoBufferSize = 64 * 1024;

// The buffer type of an output callback changed to const in libavformat 61.
#if LIBAVFORMAT_VERSION_MAJOR >= 61
using WriteBuffer = const uint8_t *;
#else
using WriteBuffer = uint8_t *;
#endif

std::string lowerExtension(const std::string &path)
{
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string ext = path.substr(dot + 1);
    for (char &c : ext)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

}  // namespace

struct VideoRecorder::Encoder {
    AVFormatContext *format = nullptr;
    AVCodecContext *codec = nullptr;
    AVStream *stream = nullptr;
    AVFrame *picture = nullptr;
    AVPacket *packet = nullptr;
    SwsContext *scaler = nullptr;
    std::string path;
    Container container = Container::None;
    int sourceWidth = 0, sourceHeight = 0;  // size given to start()
    int width = 0, height = 0;              // encoded size (even)
    AVPacket *held = nullptr;  // newest packet, until its duration is known
    bool heldValid = false;
    int64_t durationMs = 40;  // newest interval between pictures

    // The file, written through our own I/O so a full card is seen at the
    // byte where it happens.
    int fd = -1;
    AVIOContext *io = nullptr;
    uint64_t freeSpace = std::numeric_limits<uint64_t>::max();
    int64_t position = 0;    // of the next write
    bool writeFailed = false;
    // .pav: file size after the last picture that reached the file whole.
    int64_t committedBytes = 0;
    uint64_t committedPictures = 0;
    // Told every write and how the file ended, when the file is tapped.
    std::shared_ptr<FileTap> tap;
    std::string tappedPath;

    ~Encoder()
    {
        sws_freeContext(scaler);
        av_packet_free(&packet);
        av_packet_free(&held);
        av_frame_free(&picture);
        avcodec_free_context(&codec);
        closeFile();
        avformat_free_context(format);
    }

    static int writeCallback(void *opaque, WriteBuffer data, int size)
    {
        return static_cast<Encoder *>(opaque)->writeBytes(data, size);
    }
    static int64_t seekCallback(void *opaque, int64_t offset, int whence)
    {
        return static_cast<Encoder *>(opaque)->seekTo(offset, whence);
    }

    // Like write(2) on a card with `freeSpace` bytes: what fits is written,
    // then ENOSPC.
    int writeBytes(const uint8_t *data, int size)
    {
        size_t allowed = size_t(std::max(size, 0));
        int error = 0;
        if (uint64_t(position) + allowed > freeSpace) {
            allowed = uint64_t(position) < freeSpace ? size_t(freeSpace - uint64_t(position)) : 0;
            error = ENOSPC;
        }
        size_t done = 0;
        while (done < allowed) {
            const ssize_t n = ::write(fd, data + done, allowed - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                error = n < 0 ? errno : EIO;
                break;
            }
            done += size_t(n);
        }
        if (tap && done > 0 && !tap->wrote(position, data, done) && !error)
            error = EIO;  // nobody takes the file any more
        position += int64_t(done);
        if (error) {
            writeFailed = true;
            return AVERROR(error);
        }
        return size;
    }

    int64_t seekTo(int64_t offset, int whence)
    {
        if (whence & AVSEEK_SIZE) {
            struct stat st;
            return ::fstat(fd, &st) == 0 ? int64_t(st.st_size) : AVERROR(errno);
        }
        const off_t at = ::lseek(fd, off_t(offset), whence & ~AVSEEK_FORCE);
        if (at < 0)
            return AVERROR(errno);
        position = int64_t(at);
        return position;
    }

    bool openFile(const std::string &filePath)
    {
        // A plain open(): the name is never read as a URL ("tcp:...").
        fd = ::open(filePath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0)
            return false;
        path = filePath;
        auto *buffer = static_cast<unsigned char *>(av_malloc(kIoBufferSize));
        io = buffer ? avio_alloc_context(buffer, kIoBufferSize, 1, this, nullptr,
                                         &writeCallback, &seekCallback)
                    : nullptr;
        if (!io) {
            av_free(buffer);
            discardFile();
            return false;
        }
        format->pb = io;
        format->flags |= AVFMT_FLAG_CUSTOM_IO;
        return true;
    }

    // Flushes and closes; false when any byte did not reach the file.
    bool closeFile()
    {
        if (!io && fd < 0)
            return true;
        if (io) {
            avio_flush(io);
            av_freep(&io->buffer);
            avio_context_free(&io);
            if (format)
                format->pb = nullptr;
        }
        bool ok = !writeFailed;
        if (fd >= 0) {
            ok = ::close(fd) == 0 && ok;
            fd = -1;
        }
        return ok;
    }

    void discardFile()
    {
        closeFile();
        if (!path.empty())
            removePartialFile(path);
        path.clear();
    }

    // After a failed write: a transport stream is cut back to its last whole
    // picture, which leaves a valid file; anything else is lost.
    void salvage()
    {
        const bool keep = container == Container::Pav && committedPictures > 0;
        if (keep && fd >= 0) {
            struct stat st;
            if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
                // Should this fail, readers resynchronise past the torn tail.
                const int rc = ::ftruncate(fd, off_t(committedBytes));
                (void)rc;
            }
        }
        if (keep)
            closeFile();
        else
            discardFile();
    }

    // Tells the tap how the file ended: kept at its size, or gone.
    void reportEnd()
    {
        if (!tap)
            return;
        struct stat st;
        const bool kept = ::lstat(tappedPath.c_str(), &st) == 0 && S_ISREG(st.st_mode);
        tap->finished(kept, kept ? int64_t(st.st_size) : 0);
        tap.reset();
    }

    bool openCodec(bool h264, int fps)
    {
        const AVCodec *vc = h264 ? avcodec_find_encoder_by_name("libx264")
                                 : avcodec_find_encoder(AV_CODEC_ID_MPEG4);
        if (!vc)
            return false;
        AVCodecContext *ctx = avcodec_alloc_context3(vc);
        if (!ctx)
            return false;
        ctx->width = width;
        ctx->height = height;
        ctx->pix_fmt = AV_PIX_FMT_YUV420P;
        ctx->time_base = kTimeBase;
        ctx->framerate = AVRational{fps, 1};
        ctx->gop_size = 2 * fps;  // a key frame every two seconds for seeking
        ctx->max_b_frames = 0;
        ctx->thread_count = 1;  // the device shares two cores with everything else
        if (format->oformat->flags & AVFMT_GLOBALHEADER)
            ctx->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        AVDictionary *options = nullptr;
        if (h264) {
            av_dict_set(&options, "preset", "ultrafast", 0);
            av_dict_set(&options, "tune", "zerolatency", 0);
            av_dict_set(&options, "crf", "23", 0);
        } else {
            ctx->flags |= AV_CODEC_FLAG_QSCALE;
            ctx->global_quality = FF_QP2LAMBDA * 4;
        }
        const int rc = avcodec_open2(ctx, vc, &options);
        av_dict_free(&options);
        if (rc < 0) {
            avcodec_free_context(&ctx);
            return false;
        }
        codec = ctx;
        return true;
    }

    bool open(const std::string &filePath, Container kind, int w, int h, int fps,
              bool preferH264)
    {
        container = kind;
        sourceWidth = w;
        sourceHeight = h;
        width = w & ~1;  // 4:2:0 wants even sizes: drop the odd column or row
        height = h & ~1;
        durationMs = 1000 / fps;
        const char *muxer = kind == Container::Mp4 ? "mp4" : "mpegts";
        if (avformat_alloc_output_context2(&format, nullptr, muxer, nullptr) < 0 || !format)
            return false;
        if (!(preferH264 && openCodec(true, fps)) && !openCodec(false, fps))
            return false;
        stream = avformat_new_stream(format, nullptr);
        if (!stream || avcodec_parameters_from_context(stream->codecpar, codec) < 0)
            return false;
        stream->time_base = kTimeBase;
        picture = av_frame_alloc();
        packet = av_packet_alloc();
        held = av_packet_alloc();
        if (!picture || !packet || !held)
            return false;
        picture->format = AV_PIX_FMT_YUV420P;
        picture->width = width;
        picture->height = height;
        if (av_frame_get_buffer(picture, 0) < 0)
            return false;

        if (!openFile(filePath))
            return false;
        if (avformat_write_header(format, nullptr) < 0 || writeFailed) {
            discardFile();
            return false;
        }
        return true;
    }

    bool encode(const Frame &frame)
    {
        // The recording's own size is cropped to even; any other is scaled.
        const bool own = frame.width == sourceWidth && frame.height == sourceHeight;
        const int srcW = own ? width : frame.width;
        const int srcH = own ? height : frame.height;
        scaler = sws_getCachedContext(scaler, srcW, srcH, AV_PIX_FMT_RGBA, width, height,
                                      AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr,
                                      nullptr);
        if (!scaler || av_frame_make_writable(picture) < 0)
            return false;
        const uint8_t *src[4] = {frame.pixels.data(), nullptr, nullptr, nullptr};
        const int srcStride[4] = {frame.width * 4, 0, 0, 0};
        if (sws_scale(scaler, src, srcStride, 0, srcH, picture->data, picture->linesize) != height)
            return false;
        picture->pts = frame.timeMs;
        return avcodec_send_frame(codec, picture) >= 0 && writePackets();
    }

    // A packet waits for the next one, which tells how long its picture
    // stays; with no B-frames packets leave in display order. The last one
    // keeps the interval before it, and that sets the file's duration.
    bool writePackets()
    {
        for (;;) {
            const int rc = avcodec_receive_packet(codec, packet);
            if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF)
                return true;
            if (rc < 0)
                return false;
            if (heldValid) {
                if (packet->pts > held->pts)
                    durationMs = packet->pts - held->pts;
                if (!writeHeld())
                    return false;
            }
            av_packet_move_ref(held, packet);
            heldValid = true;
        }
    }

    bool writeHeld()
    {
        heldValid = false;
        held->duration = durationMs;
        held->stream_index = stream->index;
        av_packet_rescale_ts(held, kTimeBase, stream->time_base);
        const int rc = av_interleaved_write_frame(format, held);
        av_packet_unref(held);
        if (rc < 0)
            return false;
        if (container == Container::Pav) {
            // Each picture goes to the card as it is muxed, so a full card
            // costs at most the picture being written.
            avio_flush(io);
            if (writeFailed)
                return false;
            committedBytes = position;
            ++committedPictures;
        }
        return true;
    }

    // Ends the file. True when it is complete. When a write failed, keeps
    // what can still be closed as a valid file (see salvage()); when only
    // encoding failed, the pictures before the failure still get a proper
    // ending.
    bool finish(bool encodedAll)
    {
        bool ok = encodedAll;
        if (!writeFailed) {
            ok = avcodec_send_frame(codec, nullptr) >= 0 && writePackets() && ok;
            if (heldValid)
                ok = writeHeld() && ok;
        }
        const bool ended = !writeFailed && av_write_trailer(format) >= 0;
        if (writeFailed) {
            salvage();
            return false;
        }
        const bool closed = closeFile();
        // An MP4 is nothing without the index its trailer writes.
        if (container == Container::Mp4 && !(ended && closed))
            removePartialFile(path);
        return ok && ended && closed;
    }
};

VideoRecorder::Container VideoRecorder::containerFor(const std::string &path)
{
    const std::string ext = lowerExtension(path);
    if (ext == "mp4")
        return Container::Mp4;
    if (ext == "pav")
        return Container::Pav;
    return Container::None;
}

VideoRecorder::VideoRecorder(size_t queueCapacity, bool preferH264)
    : capacity_(std::max<size_t>(1, queueCapacity)), preferH264_(preferH264)
{
}

VideoRecorder::~VideoRecorder()
{
    stop();
}

void VideoRecorder::setFreeSpace(uint64_t bytes)
{
    std::lock_guard<std::mutex> life(lifeMutex_);
    freeSpace_ = bytes;
}

bool VideoRecorder::start(const std::string &path, int width, int height, int fpsHint)
{
    std::lock_guard<std::mutex> life(lifeMutex_);
    if (thread_.joinable())
        return false;
    const Container container = containerFor(path);
    if (container == Container::None || width < 2 || height < 2
        || width > kMaxPictureSide || height > kMaxPictureSide)
        return false;

    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_WARNING); });

    auto encoder = std::make_unique<Encoder>();
    encoder->freeSpace = freeSpace_;
    encoder->tap = fileTaps::find(path);
    encoder->tappedPath = path;
    if (!encoder->open(path, container, width, height, std::clamp(fpsHint, 1, 120),
                       preferH264_))
        return false;
    encoder_ = std::move(encoder);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.clear();
        recording_ = true;
        stopping_ = false;
        failed_ = false;
        anyFrame_ = false;
        dropped_ = 0;
        encoded_ = 0;
        codecName_ = encoder_->codec->codec->name;
    }
    thread_ = std::thread([this] { run(); });
    return true;
}

bool VideoRecorder::pushFrame(const uint8_t *rgba, int width, int height, int64_t timeMs)
{
    if (!rgba || width <= 0 || height <= 0 || width > kMaxPictureSide
        || height > kMaxPictureSide)
        return false;
    const size_t bytes = size_t(width) * size_t(height) * 4;
    Frame frame;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!recording_ || stopping_)
            return false;
        // The encoder needs strictly rising times; a second picture in the
        // same millisecond adds nothing.
        if (anyFrame_ && timeMs <= lastTimeMs_)
            return false;
        if (!anyFrame_) {
            anyFrame_ = true;
            firstTimeMs_ = timeMs;
        }
        lastTimeMs_ = timeMs;
        if (!spare_.empty()) {
            frame.pixels = std::move(spare_.back());
            spare_.pop_back();
        }
    }
    // Copy outside the lock so the encoder thread is not held up.
    frame.pixels.resize(bytes + kPixelPadding);
    std::memcpy(frame.pixels.data(), rgba, bytes);
    frame.width = width;
    frame.height = height;

    std::lock_guard<std::mutex> lock(mutex_);
    if (!recording_ || stopping_)
        return false;
    frame.timeMs = timeMs - firstTimeMs_;
    if (queue_.size() >= capacity_) {
        spare_.push_back(std::move(queue_.front().pixels));
        queue_.pop_front();
        ++dropped_;
    }
    queue_.push_back(std::move(frame));
    wake_.notify_one();
    return true;
}

void VideoRecorder::run()
{
    bool ok = true;
    for (;;) {
        Frame frame;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (queue_.empty())
                break;  // stopping, and everything queued is written
            frame = std::move(queue_.front());
            queue_.pop_front();
        }
        // After a write error the rest is only drained: the file is lost anyway.
        if (ok)
            ok = encoder_->encode(frame);
        std::lock_guard<std::mutex> lock(mutex_);
        if (ok)
            ++encoded_;
        else
            failed_ = true;
        if (spare_.size() < capacity_)
            spare_.push_back(std::move(frame.pixels));
    }
    const bool finished = encoder_->finish(ok);
    encoder_->reportEnd();
    std::lock_guard<std::mutex> lock(mutex_);
    if (!finished)
        failed_ = true;
}

bool VideoRecorder::stop()
{
    std::lock_guard<std::mutex> life(lifeMutex_);
    if (!thread_.joinable())
        return false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
    encoder_.reset();
    std::lock_guard<std::mutex> lock(mutex_);
    recording_ = false;
    stopping_ = false;
    queue_.clear();
    spare_.clear();
    return !failed_;
}

bool VideoRecorder::isRecording() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return recording_ && !stopping_;
}

uint64_t VideoRecorder::droppedFrames() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return dropped_;
}

uint64_t VideoRecorder::encodedFrames() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return encoded_;
}

size_t VideoRecorder::queuedFrames() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return queue_.size();
}

std::string VideoRecorder::codecName() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return codecName_;
}

}  // namespace sim
