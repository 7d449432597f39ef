#include "wire/Events.h"

#include "alarms/AlarmRecords.h"

#include <cstring>

namespace sim::wire {

namespace {

// Larger than any channel of the fleet, small enough to keep sizes in range.
constexpr int32_t kMaxSide = 8192;
constexpr uint32_t kMaxPicture = 8u << 20;
// Far beyond any card, so a file's offset never wraps.
constexpr int64_t kMaxFileOffset = int64_t(1) << 40;

bool plausible(int32_t width, int32_t height)
{
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide;
}

Buffer started(EventKind kind, size_t reserve = 0)
{
    Buffer b;
    b.reserve(reserve + 32);
    // Four bytes, so that the 16-bit values after the dimensions are aligned.
    Writer(b).value(uint32_t(kind));
    return b;
}

}  // namespace

Buffer exceptionEvent(int32_t type)
{
    Buffer b = started(EventKind::Exception);
    Writer(b).value(type);
    return b;
}

Buffer previewEvent(int32_t channel, const TMV_NET_PREVIEW_FRAME &frame)
{
    const size_t size = size_t(frame.width) * size_t(frame.height) * 4;
    Buffer b = started(EventKind::Preview, size);
    Writer w(b);
    w.value(channel);
    w.value(frame.width);
    w.value(frame.height);
    w.value(frame.showWidth);
    w.value(frame.showHeight);
    w.bytes(frame.data, size);
    return b;
}

Buffer tempEvent(int32_t channel, const TMV_NET_TEMP_FRAME &frame)
{
    const size_t size = size_t(frame.width) * size_t(frame.height) * 2;
    Buffer b = started(EventKind::Temp, size);
    Writer w(b);
    w.value(channel);
    w.value(frame.width);
    w.value(frame.height);
    w.bytes(frame.data, size);
    return b;
}

Buffer rawEvent(const uint16_t *data, int32_t width, int32_t height)
{
    const size_t size = size_t(width) * size_t(height) * 2;
    Buffer b = started(EventKind::Raw, size);
    Writer w(b);
    w.value(width);
    w.value(height);
    w.bytes(data, size);
    return b;
}

Buffer alarmEvent(int32_t type, const void *record)
{
    const AlarmLayout layout = alarmLayout(type);
    Buffer b = started(EventKind::Alarm, size_t(layout.size));
    Writer w(b);
    w.value(type);
    w.bytes(record, size_t(layout.size));
    for (int i = 0; i < 2; ++i) {
        TMV_NET_ALARM_PICTURE picture{};
        if (layout.pictures >= 0)
            std::memcpy(&picture, static_cast<const uint8_t *>(record) + layout.pictures + i * sizeof picture,
                        sizeof picture);
        const bool given = picture.data && picture.size > 0 && uint32_t(picture.size) <= kMaxPicture;
        w.blob(picture.data, given ? uint32_t(picture.size) : 0);
    }
    return b;
}

Buffer fileDataEvent(uint32_t transfer, int64_t offset, const uint8_t *data, size_t size)
{
    Buffer b = started(EventKind::FileData, size);
    Writer w(b);
    w.value(transfer);
    w.value(offset);
    w.bytes(data, size);
    return b;
}

Buffer fileEndEvent(uint32_t transfer, bool kept, int64_t size)
{
    Buffer b = started(EventKind::FileEnd);
    Writer w(b);
    w.value(transfer);
    w.flag(kept);
    w.value(size);
    return b;
}

uint32_t eventKindOf(const Buffer &payload)
{
    Reader r(payload);
    return r.value<uint32_t>();
}

bool readFileEvent(const Buffer &payload, FileEvent *e)
{
    Reader r(payload);
    const auto kind = EventKind(r.value<uint32_t>());
    if (!r.ok() || (kind != EventKind::FileData && kind != EventKind::FileEnd))
        return false;
    e->end = kind == EventKind::FileEnd;
    e->transfer = r.value<uint32_t>();
    if (e->end) {
        e->kept = r.flag();
        const auto size = r.value<int64_t>();
        e->size = size_t(size);
        if (size < 0)
            r.fail();
    } else {
        e->offset = r.value<int64_t>();
        e->size = r.left();
        e->data = r.take(e->size);
        if (e->offset < 0 || e->offset > kMaxFileOffset || e->size > kFileChunk)
            r.fail();
    }
    return r.ok() && r.left() == 0;
}

bool readEvent(const Buffer &payload, Event *e)
{
    Reader r(payload);
    const auto kind = r.value<uint32_t>();
    if (kind < uint32_t(EventKind::Exception) || kind > uint32_t(EventKind::Alarm))
        return false;
    e->kind = EventKind(kind);
    switch (e->kind) {
    case EventKind::Exception:
        e->code = r.value<int32_t>();
        break;
    case EventKind::Preview:
    case EventKind::Temp:
    case EventKind::Raw: {
        if (e->kind != EventKind::Raw)
            e->code = r.value<int32_t>();
        e->width = r.value<int32_t>();
        e->height = r.value<int32_t>();
        if (e->kind == EventKind::Preview) {
            e->showWidth = r.value<int32_t>();
            e->showHeight = r.value<int32_t>();
        }
        if (!r.ok() || !plausible(e->width, e->height))
            return false;
        const size_t perPixel = e->kind == EventKind::Preview ? 4 : 2;
        e->pixels = r.take(size_t(e->width) * size_t(e->height) * perPixel);
        break;
    }
    case EventKind::Alarm: {
        e->code = r.value<int32_t>();
        const AlarmLayout layout = alarmLayout(e->code);
        e->record.assign((size_t(layout.size) + 7) / 8, 0);
        r.bytes(e->record.data(), size_t(layout.size));
        for (auto &picture : e->pictures) {
            uint32_t size = 0;
            const uint8_t *at = r.blob(&size, kMaxPicture);
            if (at)
                picture.assign(at, at + size);
        }
        if (!r.ok() || layout.pictures < 0)
            break;
        // The pictures' fields point at this event's own copies.
        auto *fields = reinterpret_cast<uint8_t *>(e->record.data()) + layout.pictures;
        for (int i = 0; i < 2; ++i) {
            TMV_NET_ALARM_PICTURE picture{};
            picture.data = e->pictures[i].empty() ? nullptr : e->pictures[i].data();
            picture.size = int32_t(e->pictures[i].size());
            std::memcpy(fields + i * sizeof picture, &picture, sizeof picture);
        }
        break;
    }
    default:
        return false;
    }
    return r.ok() && r.left() == 0;
}

}  // namespace sim::wire
