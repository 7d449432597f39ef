#include "thermal/recfile/RecPalette.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <vector>

namespace RecPalette {

namespace {

struct Ramp
{
    const char *name;
    std::initializer_list<uint32_t> stops;  // 0xRRGGBB, evenly spaced
};

const Ramp kRamps[kCount] = {
    {"White Hot", {0x000000, 0xffffff}},
    {"Black Hot", {0xffffff, 0x000000}},
    {"Rainbow", {0x0000a0, 0x0060ff, 0x00e0e0, 0x20c020, 0xf0f000, 0xff8000, 0xe00000}},
    {"Rainbow HC", {0x000000, 0x2000a0, 0x0060ff, 0x00e0e0, 0x20c020, 0xf0f000, 0xff6000, 0xe00000, 0xffffff}},
    {"Iron", {0x000010, 0x20008c, 0x90109a, 0xe04020, 0xf89c00, 0xffe040, 0xffffe8}},
    {"Lava", {0x000000, 0x400060, 0xa00020, 0xf04000, 0xffa000, 0xfff080}},
    {"Sky", {0x000830, 0x104890, 0x4090e0, 0xa0d0f8, 0xffffff}},
    {"Mid Gray", {0x404040, 0xc0c0c0}},
    {"Rdgy", {0x404040, 0xb0b0b0, 0xfff4f0, 0xe08070, 0xb01828}},
    {"Puor", {0x402070, 0xa090c8, 0xf8f4f0, 0xf0a050, 0xb05008}},
    {"Special", {0x002000, 0x00a040, 0xe0e000, 0xff6000, 0xff0000}},
    {"Red", {0x000000, 0xff0000}},
    {"Ice Fire", {0xe0ffff, 0x00a0ff, 0x0020a0, 0x000000, 0xa00000, 0xff8000, 0xffff80}},
    {"Gree Red", {0x00a000, 0xe0e000, 0xe00000}},
    {"Special2", {0x000060, 0x8000a0, 0xff2080, 0xffa000, 0xffff60}},
    {"Red Hot", {0x000000, 0x808080, 0xe0e0e0, 0xff4040, 0xff0000}},
    {"Green Hot", {0x000000, 0x808080, 0xe0e0e0, 0x40ff40, 0x00e000}},
    {"Blue Hot", {0x000000, 0x808080, 0xe0e0e0, 0x4080ff, 0x0040ff}},
    {"Green", {0x000000, 0x00ff40}},
    {"Blue", {0x000000, 0x2060ff}},
};

struct Tables
{
    std::array<std::array<uint32_t, 256>, kCount> rgb;
    std::array<std::array<uint8_t, 256>, kCount> y, u, v;

    Tables()
    {
        for (int p = 0; p < kCount; ++p) {
            const std::vector<uint32_t> stops(kRamps[p].stops);
            const int segments = int(stops.size()) - 1;
            for (int i = 0; i < 256; ++i) {
                const double at = i / 255.0 * segments;
                const int s = std::min(int(at), segments - 1);
                const double f = at - s;
                const auto mix = [&](int shift) {
                    const double a = (stops[size_t(s)] >> shift) & 0xff, b = (stops[size_t(s) + 1] >> shift) & 0xff;
                    return int(std::lround(a + (b - a) * f));
                };
                const int r = mix(16), g = mix(8), b = mix(0);
                rgb[size_t(p)][size_t(i)] = 0xff000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
                const auto clamp = [](double x) { return uint8_t(std::clamp(std::lround(x), 0L, 255L)); };
                y[size_t(p)][size_t(i)] = clamp(16 + (65.481 * r + 128.553 * g + 24.966 * b) / 255.0);
                u[size_t(p)][size_t(i)] = clamp(128 + (-37.797 * r - 74.203 * g + 112.0 * b) / 255.0);
                v[size_t(p)][size_t(i)] = clamp(128 + (112.0 * r - 93.786 * g - 18.214 * b) / 255.0);
            }
        }
    }
};

const Tables &tables()
{
    static const Tables t;
    return t;
}

int Checked(int index)
{
    return index >= 0 && index < kCount ? index : kDefault;
}

// Maps a reading to a ramp index: 16.16 fixed point, so a pixel costs a
// multiply and a shift. No reading (0) is drawn as the coldest colour.
struct Stretch
{
    uint32_t low;
    uint32_t scale;

    Stretch(const uint16_t *values, size_t count)
    {
        uint16_t lo = 0, hi = 0;
        Range(values, count, &lo, &hi);
        low = lo;
        scale = hi > lo ? uint32_t((255u << 16) / uint32_t(hi - lo)) : 0;
    }
    uint8_t operator()(uint16_t value) const
    {
        const uint32_t above = value > low ? value - low : 0;
        return uint8_t(std::min<uint32_t>((above * scale) >> 16, 255));
    }
};

} // namespace

const char *Name(int index)
{
    return index >= 0 && index < kCount ? kRamps[index].name : nullptr;
}

const std::array<uint32_t, 256> &Colours(int index)
{
    return tables().rgb[size_t(Checked(index))];
}

void Range(const uint16_t *values, size_t count, uint16_t *low, uint16_t *high)
{
    uint16_t lo = 0xffff, hi = 0;
    for (size_t i = 0; i < count; ++i) {
        const uint16_t v = values[i];
        // 0 is no reading: it would pin the low end at absolute zero.
        const uint16_t asLow = v ? v : 0xffff;
        lo = std::min(lo, asLow);
        hi = std::max(hi, v);
    }
    if (hi == 0)
        lo = 0;
    *low = lo;
    *high = hi;
}

void ToRgb32(const uint16_t *values, int width, int height, int palette, uint32_t *out, int stride)
{
    if (width <= 0 || height <= 0)
        return;
    const Stretch stretch(values, size_t(width) * size_t(height));
    const std::array<uint32_t, 256> &colours = Colours(palette);
    for (int row = 0; row < height; ++row) {
        const uint16_t *in = values + size_t(row) * size_t(width);
        uint32_t *to = out + size_t(row) * size_t(stride);
        for (int x = 0; x < width; ++x)
            to[x] = colours[stretch(in[x])];
    }
}

void ToYuv420(const uint16_t *values, int width, int height, int palette, uint8_t *y, int yStride, uint8_t *u,
              int uStride, uint8_t *v, int vStride)
{
    if (width <= 1 || height <= 1)
        return;
    const Stretch stretch(values, size_t(width) * size_t(height));
    const size_t p = size_t(Checked(palette));
    const std::array<uint8_t, 256> &ys = tables().y[p], &us = tables().u[p], &vs = tables().v[p];
    for (int row = 0; row + 1 < height; row += 2) {
        const uint16_t *in0 = values + size_t(row) * size_t(width);
        const uint16_t *in1 = in0 + width;
        uint8_t *y0 = y + size_t(row) * size_t(yStride);
        uint8_t *y1 = y0 + yStride;
        uint8_t *uRow = u + size_t(row / 2) * size_t(uStride);
        uint8_t *vRow = v + size_t(row / 2) * size_t(vStride);
        for (int x = 0; x + 1 < width; x += 2) {
            const uint8_t a = stretch(in0[x]), b = stretch(in0[x + 1]), c = stretch(in1[x]), d = stretch(in1[x + 1]);
            y0[x] = ys[a];
            y0[x + 1] = ys[b];
            y1[x] = ys[c];
            y1[x + 1] = ys[d];
            uRow[x / 2] = uint8_t((us[a] + us[b] + us[c] + us[d] + 2) / 4);
            vRow[x / 2] = uint8_t((vs[a] + vs[b] + vs[c] + vs[d] + 2) / 4);
        }
    }
}

} // namespace RecPalette
