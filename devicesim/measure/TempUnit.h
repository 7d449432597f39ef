#pragma once
// The temperature unit a device reports in, and conversions to and from
// Celsius, in which the device measures internally.

#include <cstdint>

namespace sim {

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
