#include "thermal/recfile/RecFile.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
}

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <ctime>
#include <limits>

#include "measure/Measure.h"
#include "thermal/recfile/PngRows.h"
#include "thermal/recfile/RecPalette.h"

namespace RecTags {
const char *const kFormat = "THERMAL_RECORDING";
const char *const kFormatVersion = "1";
const char *const kScale = "deci-kelvin";

const char *UnitName(int unit)
{
    switch (unit) {
    case 0: return "Celsius";
    case 1: return "Fahrenheit";
    case 2: return "Kelvin";
    default: return "";
    }
}

int UnitCode(const std::string &name)
{
    for (int unit = 0; unit <= 2; ++unit)
        if (name == UnitName(unit))
            return unit;
    return -1;
}
} // namespace RecTags

namespace {

// Tag names (Matroska global tags).
const char *const kDeviceName = "DEVICE_NAME";
const char *const kDeviceAddress = "DEVICE_ADDRESS";
const char *const kChannel = "CHANNEL";
const char *const kStartTime = "START_TIME";
const char *const kUnit = "UNIT";
const char *const kEmissivity = "EMISSIVITY";
const char *const kReflected = "REFLECTED_TEMPERATURE";
const char *const kAtmospheric = "ATMOSPHERIC_TEMPERATURE";
const char *const kDistance = "DISTANCE";
const char *const kTransmittance = "TRANSMITTANCE";
const char *const kScaleTag = "SCALE";
const char *const kPalette = "PALETTE";
const char *const kHighWater = "QUEUE_HIGH_WATER";
const char *const kDropped = "DROPPED_FRAMES";
const char *const kTracks = "TRACKS";
// What each track holds, for a person reading the tags.
const char *const kTracksText = "1 temperatures (archive), 2 picture, 3 temperatures (fast copy)";
// The end tags are written at the start with this value and overwritten in
// place when the recording ends: the muxer writes tags only in the header.
// What a cut file keeps of them says it was cut.
const char kUnfinished[] = "unfinished          ";
constexpr size_t kEndTagRoom = sizeof kUnfinished - 1;
// Where the header (and its tags) lies.
constexpr size_t kHeaderSearch = 256 * 1024;

constexpr AVRational kMs = {1, 1000};
constexpr int kIoBufferSize = 64 * 1024;
// A crash loses at most the cluster being written.
const char *const kClusterTimeLimitMs = "1000";

// The buffer type of an output callback changed to const in libavformat 61.
#if LIBAVFORMAT_VERSION_MAJOR >= 61
using WriteBuffer = const uint8_t *;
#else
using WriteBuffer = uint8_t *;
#endif

std::string AvError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// Numbers in tags are locale-free: a client in a comma locale writes and
// reads the same text.
std::string FloatText(float value)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

bool ParseFloat(const char *text, float *value)
{
    if (!text)
        return false;
    const char *end = text + std::strlen(text);
    const auto result = std::from_chars(text, end, *value);
    return result.ec == std::errc() && result.ptr == end;
}

bool ParseInt(const char *text, int64_t *value)
{
    if (!text)
        return false;
    // The end tags are NUL-padded in place: the text ends at the first NUL.
    const char *end = text + std::strlen(text);
    const auto result = std::from_chars(text, end, *value);
    return result.ec == std::errc() && result.ptr == end && result.ptr != text;
}

std::string UtcText(int64_t ms)
{
    const time_t seconds = time_t(ms / 1000);
    struct tm parts;
    gmtime_r(&seconds, &parts);
    char text[40];
    const size_t n = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &parts);
    std::snprintf(text + n, sizeof text - n, ".%03dZ", int(ms % 1000));
    return text;
}

int64_t ParseUtc(const char *text)
{
    struct tm parts = {};
    int millis = 0;
    if (!text || std::sscanf(text, "%d-%d-%dT%d:%d:%d.%dZ", &parts.tm_year, &parts.tm_mon, &parts.tm_mday,
                             &parts.tm_hour, &parts.tm_min, &parts.tm_sec, &millis) != 7)
        return 0;
    parts.tm_year -= 1900;
    parts.tm_mon -= 1;
    return int64_t(timegm(&parts)) * 1000 + millis;
}

} // namespace

// ---- Writer -----------------------------------------------------------------

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
        if (io) {
            av_freep(&io->buffer);
            avio_context_free(&io);
        }
        if (fd >= 0)
            ::close(fd);
        fd = -1;
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

// ---- Reader -----------------------------------------------------------------

struct RecReader::Impl
{
    RecInfo info;
    int fd = -1;
    AVIOContext *io = nullptr;
    AVFormatContext *format = nullptr;
    AVCodecContext *decoder = nullptr;  // track 1
    RecPng::PngRows png;                // the fast copy
    int lastRow = -1;                   // the last row a reader needs; -1 all
    bool fromFast = false;              // the frame read last came from the copy
    AVPacket *packet = nullptr;
    AVFrame *frame = nullptr;
    int stream = -1;  // track 1
    int fast = -1;    // the fast copy; -1 none, or not trusted
    int source = -1;  // the track frames are read from
    bool pictureTrack = false;
    bool cut = false;
    std::string path;
    std::vector<int64_t> pts;  // of track 1's frames, in its time base
    AVRational timeBase = kMs;
    int next = -1;  // the frame the demuxer gives next; -1 unknown
    std::vector<uint16_t> copy;  // a frame whose rows had padding

    ~Impl() { Release(); }

    void Release()
    {
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&decoder);
        avformat_close_input(&format);
        if (io) {
            av_freep(&io->buffer);
            avio_context_free(&io);
        }
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }

    static int ReadCallback(void *opaque, uint8_t *data, int size)
    {
        auto *self = static_cast<Impl *>(opaque);
        for (;;) {
            const ssize_t n = ::read(self->fd, data, size_t(std::max(size, 0)));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return AVERROR(errno);
            return n == 0 ? AVERROR_EOF : int(n);
        }
    }
    static int64_t SeekCallback(void *opaque, int64_t offset, int whence)
    {
        auto *self = static_cast<Impl *>(opaque);
        if (whence & AVSEEK_SIZE) {
            struct stat st;
            return ::fstat(self->fd, &st) == 0 ? int64_t(st.st_size) : AVERROR(errno);
        }
        const off_t at = ::lseek(self->fd, off_t(offset), whence & ~AVSEEK_FORCE);
        return at < 0 ? AVERROR(errno) : int64_t(at);
    }

    bool ReadTags(std::string *error)
    {
        AVDictionary *tags = format->metadata;
        const auto tag = [&](const char *name) -> const char * {
            const AVDictionaryEntry *e = av_dict_get(tags, name, nullptr, 0);
            return e ? e->value : nullptr;
        };
        if (!tag(RecTags::kFormat)) {
            *error = "it is not a thermal recording (no THERMAL_RECORDING tag)";
            return false;
        }
        const char *scale = tag(kScaleTag);
        if (!scale || std::strcmp(scale, RecTags::kScale) != 0) {
            *error = std::string("its SCALE tag is ") + (scale ? "not deci-kelvin" : "missing");
            return false;
        }
        info.unit = RecTags::UnitCode(tag(kUnit) ? tag(kUnit) : "");
        if (info.unit < 0) {
            *error = "its UNIT tag is missing or unknown";
            return false;
        }
        const struct {
            const char *name;
            float *value;
        } numbers[] = {{kEmissivity, &info.env.emissivity},
                       {kReflected, &info.env.refTemp},
                       {kAtmospheric, &info.env.atmosTemp},
                       {kDistance, &info.env.distance},
                       {kTransmittance, &info.env.atmosTrans}};
        for (const auto &number : numbers) {
            if (!ParseFloat(tag(number.name), number.value)) {
                *error = std::string("its ") + number.name + " tag is missing or not a number";
                return false;
            }
        }
        // Readings are corrected with it: only what a device would accept.
        if (!sim::validEnv(info.env)) {
            *error = "its environment tags are out of range";
            return false;
        }
        info.deviceName = tag(kDeviceName) ? tag(kDeviceName) : "";
        info.deviceAddress = tag(kDeviceAddress) ? tag(kDeviceAddress) : "";
        int64_t value = 0;
        info.channel = ParseInt(tag(kChannel), &value) ? int(value) : 0;
        info.startUtcMs = ParseUtc(tag(kStartTime));
        info.palette = RecPalette::kDefault;
        for (int p = 0; p < RecPalette::kCount; ++p)
            if (tag(kPalette) && std::strcmp(tag(kPalette), RecPalette::Name(p)) == 0)
                info.palette = p;
        info.queueHighWater = ParseInt(tag(kHighWater), &value) ? value : -1;
        info.droppedFrames = ParseInt(tag(kDropped), &value) ? value : -1;
        cut = info.queueHighWater < 0;
        return true;
    }

    // Only the track frames are read from reaches the reader.
    void ReadFrom(int track)
    {
        source = track;
        next = -1;
        for (unsigned i = 0; i < format->nb_streams; ++i)
            format->streams[i]->discard = int(i) == source ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    }

    // Every frame of track 1: its time. A damaged or cut tail ends the list.
    // The fast copy is kept only when it holds the same frames at the same
    // times.
    void Index()
    {
        for (unsigned i = 0; i < format->nb_streams; ++i)
            format->streams[i]->discard =
                int(i) == stream || int(i) == fast ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
        std::vector<int64_t> fastPts;
        while (av_read_frame(format, packet) >= 0) {
            const bool whole = !(packet->flags & AV_PKT_FLAG_CORRUPT);
            const bool timed = packet->pts != AV_NOPTS_VALUE;
            const bool ours = packet->stream_index == stream && timed;
            if (ours && whole && (pts.empty() || packet->pts > pts.back()))
                pts.push_back(packet->pts);
            if (packet->stream_index == fast && timed && whole)
                fastPts.push_back(packet->pts);
            av_packet_unref(packet);
            if (ours && !whole) {
                cut = true;
                break;
            }
        }
        if (fastPts != pts)
            fast = -1;
        ReadFrom(stream);
    }

    bool Seek(int index)
    {
        if (source == stream)
            avcodec_flush_buffers(decoder);
        if (av_seek_frame(format, source, pts[size_t(index)], AVSEEK_FLAG_BACKWARD) < 0)
            return false;
        next = -1;
        return true;
    }

    // Opens the file, reads its tags and finds track 1; a decoder of
    // `threads` slice threads.
    bool OpenFile(const std::string &file, int threads, std::string *error)
    {
        path = file;
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            *error = std::strerror(errno);
            return false;
        }
        auto *buffer = static_cast<unsigned char *>(av_malloc(kIoBufferSize));
        io = buffer ? avio_alloc_context(buffer, kIoBufferSize, 0, this, &ReadCallback, nullptr, &SeekCallback)
                    : nullptr;
        format = avformat_alloc_context();
        packet = av_packet_alloc();
        frame = av_frame_alloc();
        if (!io || !format || !packet || !frame) {
            if (!io)
                av_free(buffer);
            *error = "out of memory";
            return false;
        }
        format->pb = io;
        format->flags |= AVFMT_FLAG_CUSTOM_IO;
        // Only Matroska is tried: whatever else the file might look like, no
        // other reader sees it.
        const AVInputFormat *matroska = av_find_input_format("matroska");
        int status = avformat_open_input(&format, nullptr, matroska, nullptr);
        if (status < 0) {
            format = nullptr;  // freed by the failed open
            // A Matroska start that ends before its tracks: cut very early.
            unsigned char magic[4] = {};
            const bool ebml = ::pread(fd, magic, sizeof magic, 0) == 4 && magic[0] == 0x1a && magic[1] == 0x45
                              && magic[2] == 0xdf && magic[3] == 0xa3;
            *error = ebml ? "it holds no whole temperature frame (the file is truncated)"
                          : "it is not a Matroska file (" + AvError(status) + ")";
            return false;
        }
        if (!ReadTags(error))
            return false;

        for (unsigned i = 0; i < format->nb_streams; ++i) {
            const AVCodecParameters *par = format->streams[i]->codecpar;
            if (par->codec_type != AVMEDIA_TYPE_VIDEO)
                continue;
            if (par->codec_id == AV_CODEC_ID_FFV1 && stream < 0)
                stream = int(i);
            else if (par->codec_id == AV_CODEC_ID_PNG && fast < 0)
                fast = int(i);
            else if (par->codec_id != AV_CODEC_ID_FFV1 && par->codec_id != AV_CODEC_ID_PNG)
                pictureTrack = true;
        }
        if (stream < 0) {
            *error = "it has no gray16 temperature track (FFV1)";
            return false;
        }
        AVStream *st = format->streams[stream];
        timeBase = st->time_base;
        info.width = st->codecpar->width;
        info.height = st->codecpar->height;
        if (info.width <= 0 || info.height <= 0 || int64_t(info.width) * info.height > 8192 * 8192) {
            *error = "its temperature track has no valid size";
            return false;
        }
        if (st->avg_frame_rate.num > 0 && st->avg_frame_rate.den > 0)
            info.frameRate = std::max(1, int(std::lround(av_q2d(st->avg_frame_rate))));

        // The decoder takes its options from the track, so files written
        // with other coder or slice settings read the same way.
        const AVCodec *codec = avcodec_find_decoder(AV_CODEC_ID_FFV1);
        decoder = codec ? avcodec_alloc_context3(codec) : nullptr;
        if (!decoder || avcodec_parameters_to_context(decoder, st->codecpar) < 0) {
            *error = "no FFV1 decoder";
            return false;
        }
        decoder->thread_count = threads;
        decoder->thread_type = FF_THREAD_SLICE;
        status = avcodec_open2(decoder, codec, nullptr);
        if (status < 0) {
            *error = "its temperature track cannot be decoded (" + AvError(status) + ")";
            return false;
        }
        source = stream;
        // A copy of another size is no copy of track 1.
        if (fast >= 0 && (format->streams[fast]->codecpar->width != info.width
                          || format->streams[fast]->codecpar->height != info.height))
            fast = -1;
        return true;
    }

    // Reads frame 0 from the fast copy and keeps the copy when it holds
    // track 1's values (`first`), which the caller has just read.
    void TryFastCopy(const std::vector<uint16_t> &first)
    {
        if (fast < 0)
            return;
        std::string ignored;
        ReadFrom(fast);
        if (Seek(0) && Decode(0, &ignored)) {
            const uint16_t *values = Matrix();
            if (std::equal(first.begin(), first.end(), values))
                return;
        }
        DropFastCopy();
    }

    // From now on frames come from track 1.
    void DropFastCopy()
    {
        fast = -1;
        ReadFrom(stream);
    }

    // Reads on to frame `index`'s packet and decodes it into `frame`.
    bool Decode(int index, std::string *error)
    {
        av_frame_unref(frame);
        const int64_t want = pts[size_t(index)];
        for (;;) {
            const int status = av_read_frame(format, packet);
            if (status < 0) {
                *error = "frame " + std::to_string(index + 1) + " cannot be read: " + AvError(status);
                next = -1;
                return false;
            }
            if (packet->stream_index != source || packet->pts == AV_NOPTS_VALUE || packet->pts < want) {
                av_packet_unref(packet);
                continue;
            }
            if (packet->pts > want) {
                av_packet_unref(packet);
                *error = "frame " + std::to_string(index + 1) + " is missing";
                next = -1;
                return false;
            }
            break;
        }
        next = index + 1;
        fromFast = source == fast;
        if (fromFast) {
            copy.resize(size_t(info.width) * size_t(info.height));
            const bool read = png.Decode(packet->data, size_t(packet->size), info.width, info.height,
                                         lastRow < 0 ? info.height - 1 : lastRow, copy.data());
            av_packet_unref(packet);
            if (!read)
                *error = "frame " + std::to_string(index + 1) + " of the fast copy is damaged";
            return read;
        }
        int status = avcodec_send_packet(decoder, packet);
        av_packet_unref(packet);
        if (status >= 0)
            status = avcodec_receive_frame(decoder, frame);
        if (status < 0) {
            *error = "frame " + std::to_string(index + 1) + " is damaged: " + AvError(status);
            return false;
        }
        const bool fits = frame->format == AV_PIX_FMT_GRAY16LE && frame->width == info.width
                          && frame->height == info.height;
        if (!fits) {
            av_frame_unref(frame);
            *error = "frame " + std::to_string(index + 1) + " is not a gray16le frame of the track's size";
            return false;
        }
        return true;
    }

    // The decoded frame in place when its rows are back to back (the usual
    // case: 640 16-bit values fill whole alignment units), else its rows
    // copied together.
    const uint16_t *Matrix()
    {
        const size_t rowBytes = size_t(info.width) * sizeof(uint16_t);
        if (fromFast)
            return copy.data();
        if (size_t(frame->linesize[0]) == rowBytes)
            return reinterpret_cast<const uint16_t *>(frame->data[0]);
        copy.resize(size_t(info.width) * size_t(info.height));
        for (int y = 0; y < info.height; ++y)
            std::memcpy(copy.data() + size_t(y) * size_t(info.width),
                        frame->data[0] + size_t(y) * size_t(frame->linesize[0]), rowBytes);
        return copy.data();
    }
};

RecReader::RecReader() : d(new Impl)
{
}

RecReader::~RecReader() = default;

bool RecReader::Open(const std::string &path, std::string *error)
{
    std::string ignored;
    error = error ? error : &ignored;
    d.reset(new Impl);
    // Slices decode side by side on two cores, without holding frames back.
    if (!d->OpenFile(path, 2, error))
        return false;
    d->Index();
    if (d->pts.empty()) {
        *error = "it holds no whole temperature frame (the file is truncated)";
        return false;
    }
    // The first frame tells whether the track is really gray16le.
    if (!d->Seek(0) || !d->Decode(0, error)) {
        if (error->empty())
            *error = "its first frame cannot be read";
        else
            *error = "its temperature track is not readable: " + *error;
        return false;
    }
    if (d->fast >= 0) {
        const uint16_t *first = d->Matrix();
        d->TryFastCopy(std::vector<uint16_t>(first, first + size_t(d->info.width) * size_t(d->info.height)));
    }
    return true;
}

bool RecReader::OpenAgain(const RecReader &other, std::string *error)
{
    std::string ignored;
    error = error ? error : &ignored;
    d.reset(new Impl);
    if (other.d->pts.empty()) {
        *error = "the first reader holds no recording";
        return false;
    }
    // One thread: the pass keeps every core busy with readers of its own.
    if (!d->OpenFile(other.d->path, 1, error))
        return false;
    if (d->stream != other.d->stream) {
        *error = "the file changed";
        return false;
    }
    d->pts = other.d->pts;
    d->cut = other.d->cut;
    d->info = other.d->info;
    if (other.d->fast < 0 || d->fast != other.d->fast)
        d->DropFastCopy();
    else
        d->ReadFrom(d->fast);
    return true;
}

const RecInfo &RecReader::Info() const
{
    return d->info;
}

int RecReader::FrameCount() const
{
    return int(d->pts.size());
}

int64_t RecReader::TimeMs(int index) const
{
    if (index < 0 || size_t(index) >= d->pts.size())
        return 0;
    return av_rescale_q(d->pts[size_t(index)] - d->pts.front(), d->timeBase, kMs);
}

bool RecReader::Cut() const
{
    return d->cut;
}

bool RecReader::HasPictureTrack() const
{
    return d->pictureTrack;
}

bool RecReader::ReadsFastCopy() const
{
    return d->fast >= 0 && d->source == d->fast;
}

void RecReader::SetLastRowNeeded(int row)
{
    d->lastRow = row;
}

const uint16_t *RecReader::ReadFrame(int index, std::string *error)
{
    std::string ignored;
    error = error ? error : &ignored;
    if (!d->decoder || index < 0 || size_t(index) >= d->pts.size()) {
        *error = "no frame " + std::to_string(index + 1);
        return nullptr;
    }
    if ((index != d->next && !d->Seek(index)) || !d->Decode(index, error)) {
        if (d->source != d->fast || d->fast < 0) {
            if (error->empty())
                *error = "cannot seek to frame " + std::to_string(index + 1);
            return nullptr;
        }
        // A damaged fast copy: track 1 holds the same frames.
        d->DropFastCopy();
        error->clear();
        if (!d->Seek(index)) {
            *error = "cannot seek to frame " + std::to_string(index + 1);
            return nullptr;
        }
        if (!d->Decode(index, error))
            return nullptr;
    }
    return d->Matrix();
}

bool RecReader::ReadFrame(int index, std::vector<uint16_t> *values, std::string *error)
{
    const uint16_t *matrix = ReadFrame(index, error);
    if (!matrix)
        return false;
    values->assign(matrix, matrix + size_t(d->info.width) * size_t(d->info.height));
    return true;
}
