#pragma once
// The alarm records as a device sends them: one event holds the record bytes
// of its type code and the two JPEG pictures of the moment, shared by every
// subscription it goes to. Each subscription copies the record and points
// its picture fields at the shared bytes (or clears them) just before its
// callback, so a picture pointer is valid only during that call.
//
// Threading model: an event is immutable once built; any thread may read it.

#include "TMVNetSDK.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sim {

using JpegBytes = std::shared_ptr<const std::vector<uint8_t>>;

// Where a type code's record keeps its fields; -1 when it has none of them.
struct AlarmLayout {
    int size = 0;
    int pictures = -1;
    int channel = -1;
    int time = -1;
    int state = -1;
};
// Layout of a known type code; for any other code a 1 KB record whose
// fields are unknown (nothing is placed in it).
AlarmLayout alarmLayout(int32_t type);
bool knownAlarmType(int32_t type);

struct AlarmEvent {
    int32_t type = 0;
    std::vector<uint64_t> record;  // 8-byte aligned storage of `size` bytes
    int size = 0;
    int picturesOffset = -1;       // where the two TMV_NET_ALARM_PICTURE go
    JpegBytes pictures[2];

    void *bytes() { return record.data(); }
    const void *bytes() const { return record.data(); }
};
using AlarmEventPtr = std::shared_ptr<const AlarmEvent>;

// A zeroed record of `size` bytes for `type`.
std::shared_ptr<AlarmEvent> blankAlarm(int32_t type, int size);
// The record filled with its common fields (channel, time, state, pictures);
// the caller fills the type's own fields.
std::shared_ptr<AlarmEvent> newAlarm(int32_t type, int channel, int64_t timeS, int32_t state,
                                     JpegBytes thermal, JpegBytes visible);

// A plausible record of `type` for an injected alarm: a single alarm (state
// 0) with names, ids and temperatures a device would send.
std::shared_ptr<AlarmEvent> sampleAlarm(int32_t type, int channel, int64_t timeS, JpegBytes thermal,
                                        JpegBytes visible);

// Fills a text field, cut to fit with its NUL.
void copyName(char *field, size_t size, const std::string &text);

}  // namespace sim
