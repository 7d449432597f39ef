#include "camera/Palettes.h"

#include "world/Sprites.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>

namespace sim {

namespace {

struct Stop {
    double at;
    uint8_t r, g, b;
};

struct PaletteDef {
    const char *name;
    std::initializer_list<Stop> stops;
};

// Colour ramps between stops, coldest first.
const PaletteDef kDefs[kPaletteCount] = {
    {"White Hot", {{0, 0, 0, 0}, {1, 255, 255, 255}}},
    {"Black Hot", {{0, 255, 255, 255}, {1, 0, 0, 0}}},
    {"Rainbow", {{0, 0, 0, 90}, {0.2, 0, 40, 255}, {0.4, 0, 220, 220}, {0.55, 0, 210, 40},
                 {0.7, 240, 240, 0}, {0.85, 255, 90, 0}, {1, 255, 0, 0}}},
    {"Rainbow HC", {{0, 0, 0, 0}, {0.1, 80, 0, 160}, {0.2, 0, 0, 255}, {0.3, 0, 200, 255},
                    {0.4, 0, 220, 0}, {0.5, 255, 255, 0}, {0.6, 255, 0, 0}, {0.7, 255, 0, 255},
                    {0.8, 0, 120, 255}, {0.9, 0, 255, 120}, {1, 255, 255, 255}}},
    {"Iron", {{0, 0, 0, 0}, {0.15, 30, 0, 90}, {0.35, 130, 0, 150}, {0.55, 210, 40, 60},
              {0.72, 245, 120, 0}, {0.88, 255, 210, 20}, {1, 255, 255, 230}}},
    {"Lava", {{0, 0, 0, 0}, {0.3, 100, 0, 0}, {0.55, 200, 30, 0}, {0.8, 255, 140, 0}, {1, 255, 240, 80}}},
    {"Sky", {{0, 0, 10, 50}, {0.4, 20, 90, 180}, {0.75, 130, 200, 240}, {1, 255, 255, 255}}},
    {"Mid Gray", {{0, 40, 40, 40}, {1, 215, 215, 215}}},
    {"Rdgy", {{0, 30, 30, 30}, {0.25, 135, 135, 135}, {0.5, 250, 250, 250}, {0.75, 240, 140, 110},
              {1, 140, 0, 30}}},
    {"Puor", {{0, 45, 0, 75}, {0.25, 150, 130, 190}, {0.5, 245, 245, 245}, {0.75, 245, 170, 70},
              {1, 130, 60, 5}}},
    {"Special", {{0, 0, 0, 0}, {0.25, 0, 0, 200}, {0.5, 0, 200, 0}, {0.75, 230, 230, 0}, {1, 255, 0, 0}}},
    {"Red", {{0, 0, 0, 0}, {0.7, 230, 0, 0}, {1, 255, 200, 200}}},
    {"Ice Fire", {{0, 255, 255, 255}, {0.15, 0, 220, 255}, {0.35, 0, 40, 200}, {0.5, 0, 0, 0},
                  {0.65, 200, 20, 0}, {0.85, 255, 150, 0}, {1, 255, 255, 120}}},
    {"Gree Red", {{0, 0, 90, 0}, {0.35, 0, 210, 0}, {0.6, 240, 240, 0}, {1, 230, 0, 0}}},
    {"Special2", {{0, 40, 0, 60}, {0.3, 60, 60, 200}, {0.55, 0, 190, 120}, {0.8, 200, 230, 0},
                  {1, 255, 255, 180}}},
    {"Red Hot", {{0, 0, 0, 0}, {0.8, 200, 200, 200}, {0.85, 255, 60, 0}, {1, 255, 0, 0}}},
    {"Green Hot", {{0, 0, 0, 0}, {0.8, 200, 200, 200}, {0.85, 60, 255, 0}, {1, 0, 255, 0}}},
    {"Blue Hot", {{0, 0, 0, 0}, {0.8, 200, 200, 200}, {0.85, 0, 120, 255}, {1, 0, 0, 255}}},
    {"Green", {{0, 0, 0, 0}, {0.75, 40, 220, 40}, {1, 210, 255, 200}}},
    {"Blue", {{0, 0, 0, 0}, {0.6, 0, 60, 230}, {1, 140, 230, 255}}},
};

using Table = std::array<uint32_t, 256>;

std::array<Table, kPaletteCount> buildTables()
{
    std::array<Table, kPaletteCount> tables{};
    for (int p = 0; p < kPaletteCount; ++p) {
        const std::initializer_list<Stop> &stops = kDefs[p].stops;
        for (int i = 0; i < 256; ++i) {
            const double u = i / 255.0;
            const Stop *lo = stops.begin(), *hi = stops.begin();
            for (const Stop *s = stops.begin(); s != stops.end(); ++s) {
                if (s->at <= u)
                    lo = s;
                if (s->at >= u) {
                    hi = s;
                    break;
                }
            }
            const double span = hi->at - lo->at;
            const double f = span > 0 ? (u - lo->at) / span : 0.0;
            auto mix = [f](uint8_t a, uint8_t b) { return uint8_t(std::lround(a + (b - a) * f)); };
            tables[size_t(p)][size_t(i)] = packRgba(mix(lo->r, hi->r), mix(lo->g, hi->g), mix(lo->b, hi->b));
        }
    }
    return tables;
}

const std::array<Table, kPaletteCount> &tables()
{
    static const std::array<Table, kPaletteCount> t = buildTables();
    return t;
}

}  // namespace

const char *paletteName(int index)
{
    return index >= 0 && index < kPaletteCount ? kDefs[index].name : nullptr;
}

const uint32_t *paletteColours(int index)
{
    if (index < 0 || index >= kPaletteCount)
        index = 0;
    return tables()[size_t(index)].data();
}

}  // namespace sim
