#pragma once
// What the device pushes on a login's connection besides replies: the data of
// the callbacks it calls, one Event message each, starting with its kind
// (uint32, so that the 16-bit values further on are aligned).
//
//   Exception  int32 type
//   Preview    int32 channel, width, height, showWidth, showHeight; the RGBA bytes
//   Temp       int32 channel, width, height; the 16-bit values
//   Raw        int32 width, height; the 16-bit values
//   Alarm      int32 type; the record's bytes; the two pictures' bytes
//   FileData   uint32 transfer, int64 offset; the bytes written there
//   FileEnd    uint32 transfer, flag kept, int64 size
//
// Sizes are checked against the dimensions and the alarm type's record
// before anything is used. The two file events carry what the device writes
// over time into a file of the client's (a recording, a download): the
// client writes them as they come, in order with the replies, and no
// callback sees them.

#include "TMVNetSDK.h"
#include "wire/Codec.h"

#include <cstdint>
#include <vector>

namespace sim::wire {

enum class EventKind : uint8_t { Exception = 1, Preview = 2, Temp = 3, Raw = 4, Alarm = 5, FileData = 6, FileEnd = 7 };

// A stream's frames may give way to newer ones; alarms and exceptions never.
inline bool droppable(EventKind kind)
{
    return kind == EventKind::Preview || kind == EventKind::Temp || kind == EventKind::Raw;
}

// A device pings a connection that has been quiet this long, and a client a
// device it has not heard from (the library's link timeout says when a
// silent one is lost).
constexpr int kPingEveryMs = 1000;
// How long the rest of a started message, or a login's next step, may take.
constexpr int kPartMs = 5000;

Buffer exceptionEvent(int32_t type);
Buffer previewEvent(int32_t channel, const TMV_NET_PREVIEW_FRAME &frame);
Buffer tempEvent(int32_t channel, const TMV_NET_TEMP_FRAME &frame);
Buffer rawEvent(const uint16_t *data, int32_t width, int32_t height);
Buffer alarmEvent(int32_t type, const void *record);

// At most this much of a file goes in one event, so that a download leaves
// room on the connection for replies and alarms between its pieces.
constexpr size_t kFileChunk = 64 << 10;
Buffer fileDataEvent(uint32_t transfer, int64_t offset, const uint8_t *data, size_t size);
Buffer fileEndEvent(uint32_t transfer, bool kept, int64_t size);
// The kind an event's payload starts with (0 when too short).
uint32_t eventKindOf(const Buffer &payload);

// An event taken apart; `pixels` points into the event's buffer, `record`
// (alarms) is a copy whose picture fields point at `pictures`.
struct Event {
    EventKind kind = EventKind::Exception;
    int32_t code = 0;  // exception or alarm type, or the channel
    int32_t width = 0, height = 0, showWidth = 0, showHeight = 0;
    const uint8_t *pixels = nullptr;
    std::vector<uint64_t> record;  // 8-byte aligned
    std::vector<uint8_t> pictures[2];
};
// False for anything malformed, and for the file events.
bool readEvent(const Buffer &payload, Event *event);

// A file event taken apart; `data` points into the event's buffer.
struct FileEvent {
    bool end = false;
    uint32_t transfer = 0;
    int64_t offset = 0;  // FileData: where the bytes go
    const uint8_t *data = nullptr;
    size_t size = 0;     // FileData: how many; FileEnd: the file's size
    bool kept = false;   // FileEnd: the file stays
};
// False for anything malformed, and for events of other kinds.
bool readFileEvent(const Buffer &payload, FileEvent *event);

}  // namespace sim::wire
