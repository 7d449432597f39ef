#pragma once
// Small pictures of the world's moving objects, drawn over the static
// panorama only inside their bounding box. A sprite pixel holds a heat level
// (0 transparent, 1..255 from the object's coolest to its hottest part; the
// object maps levels to temperatures per frame) and a colour index for the
// visible channel.

#include <array>
#include <cstdint>
#include <vector>

namespace sim {

struct Sprite {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> level;   // width * height, row-major
    std::vector<uint8_t> colour;  // index into the object's colour table
};

// Visible colours of one object; entries packed as bytes R, G, B, A.
using ColourTable = std::array<uint32_t, 16>;

uint32_t packRgba(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255);

namespace sprites {

constexpr int kPersonFrames = 4;
constexpr int kFireFrames = 8;

// Side view, facing right; `frame` is the walk phase.
Sprite person(int frame);
// Side view, bonnet on the right.
Sprite car();
Sprite transformer();
Sprite fire(int frame, uint32_t seed);

ColourTable personColours();
ColourTable carColours(uint32_t seed);
ColourTable transformerColours();
ColourTable fireColours();

}  // namespace sprites
}  // namespace sim
