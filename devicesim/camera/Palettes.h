#pragma once
// The thermal palettes the camera offers, indexed 0..kPaletteCount-1 as the
// device's palette type.

#include <cstdint>

namespace sim {

constexpr int kPaletteCount = 20;

// Name of a palette; null for an index out of range.
const char *paletteName(int index);

// 256 colours from coldest to hottest, each packed as bytes R, G, B, A=255.
// An index out of range gives palette 0.
const uint32_t *paletteColours(int index);

}  // namespace sim
