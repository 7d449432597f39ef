#include "camera/Sensor.h"

#include "world/Noise.h"

#include <array>
#include <cmath>

namespace sim {

namespace {

uint16_t clampCounts(double v)
{
    if (!(v > 0.0))
        return 0;
    if (v >= 65534.5)
        return 65535;
    return static_cast<uint16_t>(std::lround(v));
}

// Symmetric in [-1, 1).
double signedUnit(uint32_t h) { return noise::unit(h) * 2.0 - 1.0; }

constexpr double kGainSpread = 0.03;
constexpr double kPixelOffsetSpread = 48.0;
constexpr double kColumnOffsetSpread = 24.0;

// Every frame passes each pixel through the response: one table lookup.
// Never freed: a program that exits without TMV_NET_Deinit still has raw
// streams running while statics go, until the fleet stops them.
const std::vector<uint16_t> &responseTable()
{
    static const std::vector<uint16_t> *const table = [] {
        auto *t = new std::vector<uint16_t>(65536);
        for (size_t i = 0; i < t->size(); ++i) {
            const double d = double(i) / 10.0 - 293.15;
            (*t)[i] = clampCounts(kSensorReferenceCounts + 30.0 * d + 0.02 * d * d);
        }
        return t;
    }();
    return *table;
}

}  // namespace

uint16_t sensorCounts(uint16_t deciKelvin)
{
    return responseTable()[deciKelvin];
}

PixelPattern pixelPattern(uint32_t seed, int x, int y)
{
    PixelPattern p;
    p.gain = float(1.0 + kGainSpread * signedUnit(noise::hash3(seed, x, y)));
    p.offset = float(kPixelOffsetSpread * signedUnit(noise::hash3(seed ^ 0x5bd1e995U, x, y)) +
                     kColumnOffsetSpread * signedUnit(noise::hash3(seed ^ 0x27d4eb2fU, x, -1)));
    return p;
}

uint16_t patternedCounts(uint16_t idealCounts, const PixelPattern &pattern)
{
    const double signal = double(idealCounts) - kSensorReferenceCounts;
    return clampCounts(kSensorReferenceCounts + pattern.gain * signal + pattern.offset);
}

FixedPattern::FixedPattern(uint32_t seed, int width, int height)
    : width_(width), height_(height), pixels_(size_t(width) * size_t(height))
{
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels_[size_t(y) * size_t(width) + size_t(x)] = pixelPattern(seed, x, y);
}

void FixedPattern::apply(const uint16_t *deciKelvin, uint16_t *raw, bool corrected) const
{
    const std::vector<uint16_t> &table = responseTable();
    const size_t n = pixels_.size();
    if (corrected) {
        for (size_t i = 0; i < n; ++i)
            raw[i] = table[deciKelvin[i]];
        return;
    }
    for (size_t i = 0; i < n; ++i)
        raw[i] = patternedCounts(table[deciKelvin[i]], pixels_[i]);
}

}  // namespace sim
