// Writes a thermal recording: the three tracks, the tags, the end tags
// filled in place when it ends.
#include "thermal/recfile/RecFile.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/imgutils.h>
}

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "thermal/recfile/RecFormat.h"
#include "thermal/recfile/RecPalette.h"

using namespace RecFormat;

struct RecWriter::Impl
{
    std::string path;
    RecInfo info;
    int fd = -1;
    AVIOContext *io = nullptr;
    AVFormatContext *format = nullptr;
    // Temperatures (FFV1), picture, temperatures again (the fast copy).
    AVCodecContext *codecs[3] = {nullptr, nullptr, nullptr};
    AVStream *streams[3] = {nullptr, nullptr, nullptr};
    AVFrame *frames[3] = {nullptr, nullptr, nullptr};
    AVPacket *packet = nullptr;
    bool started = false;   // header written
    bool failed = false;    // a write failed; nothing more is written
    int64_t frameCount = 0;
    int64_t firstUs = 0;
    int64_t lastPts = -1;
    int64_t position = 0;
    int64_t fileSize = 0;
    uint64_t spaceLimit = std::numeric_limits<uint64_t>::max();
    int writeErrno = 0;

    ~Impl() { Release(); }

    void Release()
    {
        for (AVFrame *&f : frames)
            av_frame_free(&f);
        for (AVCodecContext *&c : codecs)
            avcodec_free_context(&c);
        av_packet_free(&packet);
        if (format)
            avformat_free_context(format);
        format = nullptr;
        CloseFileIo(&io, &fd);
    }

    static int WriteCallback(void *opaque, WriteBuffer data, int size)
    {
        return static_cast<Impl *>(opaque)->WriteBytes(data, size);
    }
    static int64_t SeekCallback(void *opaque, int64_t offset, int whence)
    {
        return static_cast<Impl *>(opaque)->SeekTo(offset, whence);
    }

    // write(2), with the test's space limit acting as a full disk.
    int WriteBytes(const uint8_t *data, int size)
    {
        size_t allowed = size_t(std::max(size, 0));
        int error = 0;
        if (uint64_t(position) + allowed > spaceLimit) {
            allowed = uint64_t(position) < spaceLimit ? size_t(spaceLimit - uint64_t(position)) : 0;
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
        position += int64_t(done);
        fileSize = std::max(fileSize, position);
        if (error) {
            writeErrno = error;
            return AVERROR(error);
        }
        return size;
    }

    int64_t SeekTo(int64_t offset, int whence)
    {
        if (whence & AVSEEK_SIZE)
            return fileSize;
        const off_t at = ::lseek(fd, off_t(offset), whence & ~AVSEEK_FORCE);
        if (at < 0)
            return AVERROR(errno);
        position = int64_t(at);
        return position;
    }

    bool Fail(const std::string &what, int code, std::string *error)
    {
        failed = true;
        if (error)
            *error = writeErrno ? std::strerror(writeErrno) : what + ": " + AvError(code);
        return false;
    }

    AVCodecContext *OpenEncoder(AVCodecID id, AVPixelFormat pixels, int width, int height, std::string *error)
    {
        const AVCodec *codec = avcodec_find_encoder(id);
        if (!codec) {
            *error = std::string("no ") + avcodec_get_name(id) + " encoder";
            return nullptr;
        }
        AVCodecContext *c = avcodec_alloc_context3(codec);
        if (!c) {
            *error = "out of memory";
            return nullptr;
        }
        c->width = width;
        c->height = height;
        c->pix_fmt = pixels;
        c->time_base = kMs;
        c->framerate = AVRational{std::max(info.frameRate, 1), 1};
        c->thread_count = 1;
        if (format->oformat->flags & AVFMT_GLOBALHEADER)
            c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        AVDictionary *options = nullptr;
        if (id == AV_CODEC_ID_FFV1) {
            // Every frame a key frame, so any frame is one seek away; slices
            // with checksums, so damage stays within a slice and is seen.
            c->gop_size = 1;
            c->level = 3;
            c->slices = 4;
            av_dict_set(&options, "slicecrc", "1", 0);
            // A range coder is what more than 8 bits take (Golomb-Rice is
            // refused for them); its default table keeps the device's frames
            // 3 % smaller than the custom one and decodes as fast. Said, so
            // it is not logged as a correction.
            av_dict_set(&options, "coder", "range_def", 0);
        } else if (id == AV_CODEC_ID_PNG) {
            // The fast copy: inflating a frame costs a third of decoding
            // FFV1's. Rows predicted from the row above keep the device's
            // frames smallest; deflate level 3 decodes as fast as higher
            // levels at a third of their encoding time.
            c->gop_size = 1;
            c->compression_level = 3;
            av_dict_set(&options, "pred", "up", 0);
        } else {
            // A key frame a second for seeking in players; fixed quality.
            c->gop_size = std::max(info.frameRate, 1);
            c->max_b_frames = 0;
            c->flags |= AV_CODEC_FLAG_QSCALE;
            c->global_quality = FF_QP2LAMBDA * 4;
        }
        const int status = avcodec_open2(c, codec, &options);
        av_dict_free(&options);
        if (status < 0) {
            *error = std::string("cannot open the ") + avcodec_get_name(id) + " encoder: " + AvError(status);
            avcodec_free_context(&c);
        }
        return c;
    }

    bool Start(int width, int height, std::string *error)
    {
        info.width = width;
        info.height = height;
        if (avformat_alloc_output_context2(&format, nullptr, "matroska", nullptr) < 0 || !format) {
            *error = "no Matroska muxer";
            return false;
        }
        auto *buffer = static_cast<unsigned char *>(av_malloc(kIoBufferSize));
        io = buffer ? avio_alloc_context(buffer, kIoBufferSize, 1, this, nullptr, &WriteCallback, &SeekCallback)
                    : nullptr;
        if (!io) {
            av_free(buffer);
            *error = "out of memory";
            return false;
        }
        format->pb = io;
        format->flags |= AVFMT_FLAG_CUSTOM_IO;

        // The picture track needs even sides: an odd last row or column is
        // left out of it (never out of the temperatures).
        codecs[0] = OpenEncoder(AV_CODEC_ID_FFV1, AV_PIX_FMT_GRAY16LE, width, height, error);
        if (!codecs[0])
            return false;
        codecs[1] = OpenEncoder(AV_CODEC_ID_MPEG4, AV_PIX_FMT_YUV420P, width & ~1, height & ~1, error);
        if (!codecs[1])
            return false;
        codecs[2] = OpenEncoder(AV_CODEC_ID_PNG, AV_PIX_FMT_GRAY16BE, width, height, error);
        if (!codecs[2])
            return false;
        for (int i = 0; i < 3; ++i) {
            streams[i] = avformat_new_stream(format, nullptr);
            frames[i] = av_frame_alloc();
            if (!streams[i] || !frames[i]) {
                *error = "out of memory";
                return false;
            }
            streams[i]->time_base = kMs;
            streams[i]->avg_frame_rate = codecs[i]->framerate;
            avcodec_parameters_from_context(streams[i]->codecpar, codecs[i]);
            frames[i]->format = codecs[i]->pix_fmt;
            frames[i]->width = codecs[i]->width;
            frames[i]->height = codecs[i]->height;
            if (av_frame_get_buffer(frames[i], 0) < 0) {
                *error = "out of memory";
                return false;
            }
        }
        av_dict_set(&streams[0]->metadata, "title", "Temperatures, 0.1 K a step", 0);
        av_dict_set(&streams[1]->metadata, "title", RecPalette::Name(info.palette), 0);
        // Not for players: no default flag, and a title that says so.
        av_dict_set(&streams[2]->metadata, "title", "temperatures (fast copy)", 0);
        streams[2]->disposition = 0;
        packet = av_packet_alloc();
        if (!packet) {
            *error = "out of memory";
            return false;
        }

        AVDictionary **tags = &format->metadata;
        av_dict_set(tags, RecTags::kFormat, RecTags::kFormatVersion, 0);
        av_dict_set(tags, kDeviceName, info.deviceName.c_str(), 0);
        av_dict_set(tags, kDeviceAddress, info.deviceAddress.c_str(), 0);
        av_dict_set(tags, kChannel, std::to_string(info.channel).c_str(), 0);
        av_dict_set(tags, kStartTime, UtcText(info.startUtcMs).c_str(), 0);
        av_dict_set(tags, kUnit, RecTags::UnitName(info.unit), 0);
        av_dict_set(tags, kEmissivity, FloatText(info.env.emissivity).c_str(), 0);
        av_dict_set(tags, kReflected, FloatText(info.env.refTemp).c_str(), 0);
        av_dict_set(tags, kAtmospheric, FloatText(info.env.atmosTemp).c_str(), 0);
        av_dict_set(tags, kDistance, FloatText(info.env.distance).c_str(), 0);
        av_dict_set(tags, kTransmittance, FloatText(info.env.atmosTrans).c_str(), 0);
        av_dict_set(tags, kScaleTag, RecTags::kScale, 0);
        av_dict_set(tags, kPalette, RecPalette::Name(info.palette), 0);
        av_dict_set(tags, kHighWater, kUnfinished, 0);
        av_dict_set(tags, kDropped, kUnfinished, 0);
        av_dict_set(tags, kTracks, kTracksText, 0);

        AVDictionary *options = nullptr;
        av_dict_set(&options, "cluster_time_limit", kClusterTimeLimitMs, 0);
        const int status = avformat_write_header(format, &options);
        av_dict_free(&options);
        if (status < 0)
            return Fail("cannot write the header", status, error);
        started = true;
        return true;
    }

    // Sends one frame (null: the end) to encoder `i` and writes its packets.
    bool Encode(int i, AVFrame *frame, std::string *error)
    {
        int status = avcodec_send_frame(codecs[i], frame);
        if (status < 0)
            return Fail("cannot encode", status, error);
        for (;;) {
            status = avcodec_receive_packet(codecs[i], packet);
            if (status == AVERROR(EAGAIN) || status == AVERROR_EOF)
                return true;
            if (status < 0)
                return Fail("cannot encode", status, error);
            packet->stream_index = i;
            av_packet_rescale_ts(packet, codecs[i]->time_base, streams[i]->time_base);
            status = av_interleaved_write_frame(format, packet);
            if (status < 0)
                return Fail("cannot write", status, error);
        }
    }

    // Patches the end tags' values in the header.
    bool WriteEndTags(int64_t highWater, int64_t dropped, std::string *error)
    {
        std::vector<char> head(kHeaderSearch);
        const ssize_t n = ::pread(fd, head.data(), head.size(), 0);
        if (n <= 0) {
            *error = std::strerror(errno);
            return false;
        }
        const auto patch = [&](const char *name, int64_t value) {
            const char *end = head.data() + n;
            const char *at = std::search(static_cast<const char *>(head.data()), end, name, name + std::strlen(name));
            if (at == end)
                return false;
            const char *slot = std::search(at, std::min(end, at + 64), kUnfinished, kUnfinished + kEndTagRoom);
            if (slot == std::min(end, at + 64))
                return false;
            // Zero padding ends an EBML string early, so the number reads
            // back alone.
            char text[kEndTagRoom] = {};
            const std::string digits = std::to_string(value);
            std::memcpy(text, digits.data(), std::min(digits.size(), kEndTagRoom));
            return ::pwrite(fd, text, kEndTagRoom, slot - head.data()) == ssize_t(kEndTagRoom);
        };
        if (!patch(kHighWater, highWater) || !patch(kDropped, dropped)) {
            *error = "cannot write the end tags";
            return false;
        }
        return true;
    }
};

RecWriter::RecWriter() : d(new Impl)
{
}

RecWriter::~RecWriter()
{
    if (IsOpen())
        Finish(-1, -1, nullptr);
}

bool RecWriter::Open(const std::string &path, const RecInfo &info, std::string *error)
{
    const uint64_t limit = d->spaceLimit;
    d.reset(new Impl);
    d->spaceLimit = limit;
    d->path = path;
    d->info = info;
    // A plain open(): the name is never read as a URL ("tcp:...").
    d->fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (d->fd < 0) {
        if (error)
            *error = std::strerror(errno);
        return false;
    }
    return true;
}

bool RecWriter::Write(const uint16_t *values, int width, int height, int64_t timeUs, std::string *error)
{
    std::string ignored;
    error = error ? error : &ignored;
    if (d->fd < 0 || d->failed) {
        *error = "the recording is not open";
        return false;
    }
    if (!d->started) {
        if (width <= 1 || height <= 1 || !values) {
            *error = "a frame without values";
            return false;
        }
        if (!d->Start(width, height, error)) {
            d->failed = true;
            return false;
        }
        d->firstUs = timeUs;
    }
    if (width != d->info.width || height != d->info.height) {
        *error = "a frame of another size";
        return false;
    }
    // Milliseconds since the first frame, strictly increasing: two frames
    // within one millisecond would share a time.
    int64_t pts = (timeUs - d->firstUs) / 1000;
    if (pts <= d->lastPts)
        pts = d->lastPts + 1;
    d->lastPts = pts;

    AVFrame *temps = d->frames[0];
    AVFrame *picture = d->frames[1];
    AVFrame *fast = d->frames[2];
    if (av_frame_make_writable(temps) < 0 || av_frame_make_writable(picture) < 0
        || av_frame_make_writable(fast) < 0) {
        *error = "out of memory";
        return false;
    }
    const size_t rowBytes = size_t(width) * sizeof(uint16_t);
    for (int y = 0; y < height; ++y)
        std::memcpy(temps->data[0] + size_t(y) * size_t(temps->linesize[0]), values + size_t(y) * size_t(width),
                    rowBytes);
    // PNG holds 16-bit samples big-endian.
    for (int y = 0; y < height; ++y) {
        const uint16_t *from = values + size_t(y) * size_t(width);
        auto *to = reinterpret_cast<uint16_t *>(fast->data[0] + size_t(y) * size_t(fast->linesize[0]));
        for (int x = 0; x < width; ++x)
            to[x] = uint16_t(from[x] << 8 | from[x] >> 8);
    }
    // An odd last row or column stays out of the picture (ToYuv420 skips it).
    RecPalette::ToYuv420(values, width, height, d->info.palette, picture->data[0],
                         picture->linesize[0], picture->data[1], picture->linesize[1], picture->data[2],
                         picture->linesize[2]);
    temps->pts = pts;
    picture->pts = pts;
    fast->pts = pts;
    picture->quality = d->codecs[1]->global_quality;
    if (!d->Encode(0, temps, error) || !d->Encode(1, picture, error) || !d->Encode(2, fast, error))
        return false;
    // What is complete reaches the file now, not when the buffer fills.
    avio_flush(d->io);
    if (d->io->error < 0)
        return d->Fail("cannot write", d->io->error, error);
    ++d->frameCount;
    return true;
}

bool RecWriter::Finish(int64_t queueHighWater, int64_t droppedFrames, std::string *error)
{
    std::string ignored;
    error = error ? error : &ignored;
    if (d->fd < 0)
        return true;
    bool ok = !d->failed;
    if (ok && d->started) {
        ok = d->Encode(0, nullptr, error) && d->Encode(1, nullptr, error) && d->Encode(2, nullptr, error);
        if (ok) {
            const int status = av_write_trailer(d->format);
            if (status < 0)
                ok = d->Fail("cannot finish", status, error);
        }
        if (ok) {
            avio_flush(d->io);
            if (d->io->error < 0)
                ok = d->Fail("cannot write", d->io->error, error);
        }
        if (ok)
            ok = d->WriteEndTags(queueHighWater, droppedFrames, error);
    } else if (!d->failed && !d->started) {
        *error = "no frame arrived";
        ok = false;
    }
    const int fd = d->fd;
    d->fd = -1;
    d->Release();
    if (::close(fd) != 0 && ok) {
        *error = std::strerror(errno);
        ok = false;
    }
    return ok;
}

bool RecWriter::IsOpen() const
{
    return d->fd >= 0;
}

int64_t RecWriter::Frames() const
{
    return d->frameCount;
}

int64_t RecWriter::Bytes() const
{
    return d->fileSize;
}

const std::string &RecWriter::Path() const
{
    return d->path;
}

void RecWriter::SetStartUtc(int64_t ms)
{
    d->info.startUtcMs = ms;
}

void RecWriter::SetSpaceLimit(uint64_t bytes)
{
    d->spaceLimit = bytes;
}

