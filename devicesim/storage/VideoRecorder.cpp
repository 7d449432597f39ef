#include "storage/VideoRecorder.h"

#include "storage/PictureFiles.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace sim {

namespace {

// Frame times are milliseconds, so variable frame rates keep the real timing.
constexpr AVRational kTimeBase = {1, 1000};
// swscale's vector code may read a little past the last pixel row.
constexpr size_t kPixelPadding = 64;

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
    bool fileOpen = false;
    int sourceWidth = 0, sourceHeight = 0;  // size given to start()
    int width = 0, height = 0;              // encoded size (even)
    AVPacket *held = nullptr;  // newest packet, until its duration is known
    bool heldValid = false;
    int64_t durationMs = 40;  // newest interval between pictures

    ~Encoder()
    {
        sws_freeContext(scaler);
        av_packet_free(&packet);
        av_packet_free(&held);
        av_frame_free(&picture);
        avcodec_free_context(&codec);
        if (format && fileOpen)
            avio_closep(&format->pb);
        avformat_free_context(format);
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

    bool open(const std::string &filePath, Container container, int w, int h, int fps,
              bool preferH264)
    {
        sourceWidth = w;
        sourceHeight = h;
        width = w & ~1;  // 4:2:0 wants even sizes: drop the odd column or row
        height = h & ~1;
        durationMs = 1000 / fps;
        const char *muxer = container == Container::Mp4 ? "mp4" : "mpegts";
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

        // The name is a local file: without the prefix, "tcp:..." or
        // "http:..." would be opened as a network address.
        if (avio_open(&format->pb, ("file:" + filePath).c_str(), AVIO_FLAG_WRITE) < 0)
            return false;
        fileOpen = true;
        path = filePath;
        if (avformat_write_header(format, nullptr) < 0) {
            discardFile();
            return false;
        }
        return true;
    }

    void discardFile()
    {
        if (!fileOpen)
            return;
        avio_closep(&format->pb);
        fileOpen = false;
        removePartialFile(path);
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
        return rc >= 0;
    }

    bool finish()
    {
        bool ok = avcodec_send_frame(codec, nullptr) >= 0 && writePackets();
        if (heldValid)
            ok = writeHeld() && ok;
        ok = av_write_trailer(format) >= 0 && ok;
        ok = avio_closep(&format->pb) >= 0 && ok;
        fileOpen = false;
        return ok;
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
    const bool finished = encoder_->finish();
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
