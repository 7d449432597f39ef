#pragma once
// The thermal sensor behind the temperature frame: how a scene temperature
// becomes the detector's raw 16-bit counts, and the fixed pattern that makes
// each pixel of a real detector answer a little differently. The raw stream
// shows counts through both; the device's correction removes the pattern.
//
// Response: counts = 8000 + 30 * d + 0.02 * d * d, d = T - 293.15 K, rounded
// and clamped into 0..65535. About 30 counts per kelvin at 20 C, rising with
// temperature as a detector's does; increasing over the whole 0 K..6553.5 K
// range of the frame, saturating at 65535 above about 1400 K.
//
// Fixed pattern: per pixel a gain of 1 +- 3 % on the signal above the
// reference level and an offset of +- 48 counts, plus a column offset of
// +- 24 counts (the stripes of a detector's column amplifiers); fixed by the
// sensor's seed and the pixel's place, never by time.
//
// Threading model: pure functions; the lookup table is built once.

#include <cstdint>
#include <vector>

namespace sim {

// Counts at the reference temperature (20 C).
constexpr uint16_t kSensorReferenceCounts = 8000;

// Counts of an ideal pixel looking at `deciKelvin` (camera/TempUnits.h).
uint16_t sensorCounts(uint16_t deciKelvin);

// The deviation of one pixel from the ideal response.
struct PixelPattern {
    float gain = 1.0f;
    float offset = 0.0f;  // counts
};
PixelPattern pixelPattern(uint32_t seed, int x, int y);

// What the pixel reads: the ideal counts through its gain and offset,
// rounded and clamped into 0..65535.
uint16_t patternedCounts(uint16_t idealCounts, const PixelPattern &pattern);

// A whole detector's pattern, computed once per stream.
class FixedPattern {
public:
    FixedPattern(uint32_t seed, int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    // Raw counts of a temperature matrix of this size; `corrected` leaves
    // the pattern out.
    void apply(const uint16_t *deciKelvin, uint16_t *raw, bool corrected) const;

private:
    int width_, height_;
    std::vector<PixelPattern> pixels_;
};

}  // namespace sim
