#ifndef RECFORMAT_H
#define RECFORMAT_H

// What the recording's writer and reader share of its layout: the tags'
// names, the room kept for the tags filled in at the end, and the
// locale-free texts of numbers and times. Internal to thermal/recfile.

extern "C" {
#include <libavformat/avformat.h>
}

#include <cstddef>
#include <cstdint>
#include <string>

namespace RecFormat {

// Tag names (Matroska global tags).
inline const char *const kDeviceName = "DEVICE_NAME";
inline const char *const kDeviceAddress = "DEVICE_ADDRESS";
inline const char *const kChannel = "CHANNEL";
inline const char *const kStartTime = "START_TIME";
inline const char *const kUnit = "UNIT";
inline const char *const kEmissivity = "EMISSIVITY";
inline const char *const kReflected = "REFLECTED_TEMPERATURE";
inline const char *const kAtmospheric = "ATMOSPHERIC_TEMPERATURE";
inline const char *const kDistance = "DISTANCE";
inline const char *const kTransmittance = "TRANSMITTANCE";
inline const char *const kScaleTag = "SCALE";
inline const char *const kPalette = "PALETTE";
inline const char *const kHighWater = "QUEUE_HIGH_WATER";
inline const char *const kDropped = "DROPPED_FRAMES";
inline const char *const kTracks = "TRACKS";
// What each track holds, for a person reading the tags.
inline const char *const kTracksText = "1 temperatures (archive), 2 picture, 3 temperatures (fast copy)";
// The end tags are written at the start with this value and overwritten in
// place when the recording ends: the muxer writes tags only in the header.
// What a cut file keeps of them says it was cut.
inline const char kUnfinished[] = "unfinished          ";
inline constexpr size_t kEndTagRoom = sizeof kUnfinished - 1;
// Where the header (and its tags) lies.
inline constexpr size_t kHeaderSearch = 256 * 1024;

inline constexpr AVRational kMs = {1, 1000};
inline constexpr int kIoBufferSize = 64 * 1024;
// A crash loses at most the cluster being written.
inline const char *const kClusterTimeLimitMs = "1000";

// The buffer type of an output callback changed to const in libavformat 61.
#if LIBAVFORMAT_VERSION_MAJOR >= 61
using WriteBuffer = const uint8_t *;
#else
using WriteBuffer = uint8_t *;
#endif

std::string AvError(int code);
// The I/O context over our own descriptor, closed: its buffer, the context,
// then the file.
void CloseFileIo(AVIOContext **io, int *fd);
// Numbers in tags are locale-free: a client in a comma locale writes and
// reads the same text.
std::string FloatText(float value);
bool ParseFloat(const char *text, float *value);
// The end tags are NUL-padded in place: the text ends at the first NUL.
bool ParseInt(const char *text, int64_t *value);
// "2026-12-11T13:45:00.250Z" and back; 0 for a text that is not one.
std::string UtcText(int64_t ms);
int64_t ParseUtc(const char *text);

} // namespace RecFormat

#endif // RECFORMAT_H
