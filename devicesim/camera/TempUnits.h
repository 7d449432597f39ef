#pragma once
// Temperature units. Inside, the device has one: unsigned 16-bit deci-kelvin,
// value = round((C + 273.15) * 10), so 0.1 K steps from 0 K to 6553.5 K.
// Frames, rules and every file the device writes use it; nothing else in the
// device converts to or from it. Outside, it reports in the unit its client
// chose (TempUnit), converted from Celsius, in which it measures.

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

// Values as the records carry them (TMV_NET_RULE_TEMP::unit and the unit
// functions).
enum class TempUnit : int32_t { Celsius = 0, Fahrenheit = 1, Kelvin = 2 };

inline bool validTempUnit(int32_t unit)
{
    return unit >= int32_t(TempUnit::Celsius) && unit <= int32_t(TempUnit::Kelvin);
}

inline double celsiusToUnit(double celsius, TempUnit unit)
{
    switch (unit) {
    case TempUnit::Fahrenheit:
        return celsius * 9.0 / 5.0 + 32.0;
    case TempUnit::Kelvin:
        return celsius + 273.15;
    case TempUnit::Celsius:
        break;
    }
    return celsius;
}

inline double unitToCelsius(double value, TempUnit unit)
{
    switch (unit) {
    case TempUnit::Fahrenheit:
        return (value - 32.0) * 5.0 / 9.0;
    case TempUnit::Kelvin:
        return value - 273.15;
    case TempUnit::Celsius:
        break;
    }
    return value;
}

}  // namespace sim
