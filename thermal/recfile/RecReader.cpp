// Reads a thermal recording: its tags, and any frame by its index from the
// fast copy when it agrees with the archive track, else from the archive.
#include "thermal/recfile/RecFile.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
}

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "measure/Measure.h"
#include "thermal/recfile/PngRows.h"
#include "thermal/recfile/RecFormat.h"
#include "thermal/recfile/RecPalette.h"

using namespace RecFormat;

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
        CloseFileIo(&io, &fd);
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
