#pragma once
// Pure pieces of the device's imaging settings: the device clock's text, the
// measurable range of each gain, and the tone curve of brightness and
// contrast.
//
// Threading model: pure functions.

#include <cstdint>
#include <string>

namespace sim {

// Gain settings as the device's temperature level.
enum class Gain { High = 0, Low = 1, Auto = 2 };

// The temperatures a gain can measure, in Celsius; readings outside clamp
// to it. High gain resolves finer over a narrow range, low gain reaches hot
// targets; automatic picks whichever the scene needs, so it reaches as far
// as low gain.
struct GainRange {
    float minC;
    float maxC;
};
bool validGain(int level);
GainRange gainRange(Gain gain);

// "yyyy-MM-dd hh:mm:ss" (every field zero-padded, 24-hour clock) to seconds
// since 1970-01-01 00:00:00 of the device's own clock, which has no time
// zone: it shows what it was set to. False for anything else, a date that
// does not exist (2023-02-29) included.
bool parseDeviceTime(const char *text, int64_t *seconds);
std::string formatDeviceTime(int64_t seconds);

// Where a value at `u` (0..1 across the span) lands on the palette, 0..1
// before clamping: contrast 0..100 scales around mid-span (50 neutral,
// x0.25 .. x4), brightness 0..100 shifts (50 neutral, +-0.5).
double toneCurve(double u, int brightness, int contrast);

}  // namespace sim
