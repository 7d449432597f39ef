#pragma once
// The device's one temperature unit: unsigned 16-bit deci-kelvin,
// value = round((C + 273.15) * 10), so 0.1 K steps from 0 K to 6553.5 K.
// Frames, rules and every file the device writes use it; nothing else in the
// device converts to or from it.

#include <cmath>
#include <cstdint>

namespace sim {

// Temperature values per kelvin.
constexpr uint16_t kTempScale = 10;

// Rounded to the nearest step and clamped into 0..65535; NaN reads as 0 K
// (no reading), never as whatever a cast of NaN happens to give.
inline uint16_t celsiusToDeciKelvin(double celsius)
{
    const double v = (celsius + 273.15) * kTempScale;
    if (!(v > 0.0))  // NaN too
        return 0;
    if (v >= 65534.5)
        return 65535;
    return static_cast<uint16_t>(std::lround(v));
}

inline float deciKelvinToC(uint16_t value)
{
    return static_cast<float>(value / double(kTempScale) - 273.15);
}

}  // namespace sim
