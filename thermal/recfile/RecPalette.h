#ifndef RECPALETTE_H
#define RECPALETTE_H

#include <array>
#include <cstddef>
#include <cstdint>

// The device's twenty palettes as the client draws a temperature matrix
// itself (the recording's picture track, the replay): each a 256-colour
// ramp, coldest first, stretched over the frame's own range of readings.
namespace RecPalette {

constexpr int kCount = 20;
// The palette a recording uses when the device's cannot be read: Iron.
constexpr int kDefault = 4;

// English name of the device's palette type; null out of range.
const char *Name(int index);
// The ramp as 0xAARRGGBB; an index out of range gives the default.
const std::array<uint32_t, 256> &Colours(int index);

// Lowest and highest reading of `count` values, skipping 0 (no reading);
// both 0 when there is none.
void Range(const uint16_t *values, size_t count, uint16_t *low, uint16_t *high);

// One 32-bit pixel a value (QImage::Format_RGB32 order), `stride` pixels a
// row.
void ToRgb32(const uint16_t *values, int width, int height, int palette, uint32_t *out, int stride);

// The planes of a 4:2:0 picture (BT.601, limited range) for an even width
// and height; each chroma sample is the mean of its 2x2 pixels.
void ToYuv420(const uint16_t *values, int width, int height, int palette, uint8_t *y, int yStride, uint8_t *u,
              int uStride, uint8_t *v, int vStride);

} // namespace RecPalette

#endif // RECPALETTE_H
