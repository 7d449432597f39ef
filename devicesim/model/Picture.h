#pragma once
// One rendered frame of a channel.

#include <cstdint>
#include <vector>

namespace sim {

struct Picture {
    int width = 0;
    int height = 0;
    int64_t timeUs = 0;
    std::vector<uint8_t> rgba;          // width * height * 4, R G B A
    std::vector<uint16_t> temperature;  // deci-kelvin, thermal channels only

    bool thermal() const { return !temperature.empty(); }
};

}  // namespace sim
