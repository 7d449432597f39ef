#include "world/Sprites.h"

#include "world/Noise.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace sim {

uint32_t packRgba(uint8_t r, uint8_t g, uint8_t b, uint8_t a)
{
    const uint8_t bytes[4] = {r, g, b, a};
    uint32_t v;
    std::memcpy(&v, bytes, 4);
    return v;
}

namespace sprites {
namespace {

Sprite blank(int w, int h)
{
    Sprite s;
    s.width = w;
    s.height = h;
    s.level.assign(size_t(w) * h, 0);
    s.colour.assign(size_t(w) * h, 0);
    return s;
}

void put(Sprite &s, int x, int y, int level, int colour)
{
    if (x < 0 || y < 0 || x >= s.width || y >= s.height)
        return;
    const size_t i = size_t(y) * s.width + x;
    s.level[i] = uint8_t(std::clamp(level, 1, 255));
    s.colour[i] = uint8_t(colour);
}

void fillRect(Sprite &s, int x0, int y0, int x1, int y1, int level, int colour)
{
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            put(s, x, y, level, colour);
}

void fillDisc(Sprite &s, double cx, double cy, double r, int level, int colour)
{
    for (int y = int(cy - r) - 1; y <= int(cy + r) + 1; ++y)
        for (int x = int(cx - r) - 1; x <= int(cx + r) + 1; ++x)
            if ((x + 0.5 - cx) * (x + 0.5 - cx) + (y + 0.5 - cy) * (y + 0.5 - cy) <= r * r)
                put(s, x, y, level, colour);
}

}  // namespace

// Levels of a person map 22..36.5 C: face and hands near skin temperature,
// clothes a few degrees above the air.
Sprite person(int frame)
{
    Sprite s = blank(24, 72);
    const double phase = 2.0 * M_PI * frame / kPersonFrames;
    const int stride = int(std::lround(4.0 * std::sin(phase)));
    // Legs first, so the torso covers their tops.
    for (int leg = -1; leg <= 1; leg += 2) {
        const int swing = leg * stride;
        for (int y = 41; y <= 68; ++y) {
            const int cx = 12 + leg * 3 + swing * (y - 41) / 27;
            fillRect(s, cx - 2, y, cx + 1, y, 95, 4);
        }
        const int fx = 12 + leg * 3 + swing;
        fillRect(s, fx - 2, 69, fx + 3, 71, 45, 5);
    }
    fillRect(s, 6, 13, 17, 41, 110, 3);              // torso
    const int arm = -stride / 2;
    for (int y = 14; y <= 35; ++y) {
        const int off = arm * (y - 14) / 21;
        fillRect(s, 3 + off, y, 5 + off, y, 120, 3);
        fillRect(s, 18 - off, y, 20 - off, y, 120, 3);
    }
    fillRect(s, 3 + arm, 36, 5 + arm, 39, 215, 1);  // hands
    fillRect(s, 18 - arm, 36, 20 - arm, 39, 215, 1);
    fillRect(s, 10, 10, 13, 12, 235, 1);             // neck
    fillDisc(s, 12, 6, 5.5, 255, 1);                 // face
    for (int y = 0; y <= 3; ++y)
        for (int x = 6; x <= 18; ++x)
            if (s.level[size_t(y) * s.width + x])
                put(s, x, y, 150, 2);                // hair
    return s;
}

// Levels of a car map 15..95 C: engine and exhaust hot, tyres warm from the
// road, glass reflecting the cold sky.
Sprite car()
{
    Sprite s = blank(96, 36);
    for (int y = 14; y <= 29; ++y) {
        const int inset = y < 16 ? 16 - y : (y > 27 ? y - 27 : 0);
        fillRect(s, 2 + inset, y, 93 - inset, y, 30, 1);
    }
    for (int y = 3; y <= 13; ++y) {
        const int slope = (13 - y);
        fillRect(s, 22 + slope, y, 72 - slope, y, 30, 1);
        if (y >= 5 && y <= 12) {
            fillRect(s, 25 + slope, y, 45, y, 1, 2);
            fillRect(s, 49, y, 69 - slope, y, 1, 2);
        }
    }
    // Bonnet: hottest at the grille.
    for (int y = 14; y <= 23; ++y)
        for (int x = 72; x <= 93; ++x)
            if (s.level[size_t(y) * s.width + x])
                put(s, x, y, 170 + (x - 72) * 4, 1);
    fillRect(s, 90, 16, 93, 19, 200, 5);   // headlight
    fillRect(s, 2, 16, 4, 19, 60, 6);      // tail light
    fillRect(s, 1, 26, 7, 28, 230, 3);     // exhaust
    for (int cx : {20, 76}) {
        fillDisc(s, cx, 28.5, 7.2, 80, 3);
        fillDisc(s, cx, 28.5, 4.0, 60, 4);
    }
    return s;
}

// Levels map 20 C to the tank's top oil temperature: heat rises, so the
// tank is hottest at the top and the cooling fins run cooler.
Sprite transformer()
{
    Sprite s = blank(64, 56);
    fillRect(s, 0, 52, 63, 55, 14, 5);  // concrete pad
    for (int y = 20; y <= 49; ++y)
        for (int x = 4; x <= 59; ++x) {
            if (x >= 12 && x <= 51)
                continue;
            const int fin = (x % 2) ? 205 : 125;
            put(s, x, y, fin - (y - 20) * 2, 2);
        }
    for (int y = 18; y <= 51; ++y)
        fillRect(s, 12, y, 51, y, 255 - (y - 18) * 3, 1);
    for (int y = 8; y <= 14; ++y)
        fillRect(s, 16, y, 47, y, 235, 1);  // conservator
    for (int cx : {20, 31, 42}) {
        fillRect(s, cx - 2, 3, cx + 1, 17, 150, 3);
        fillRect(s, cx - 1, 0, cx, 2, 255, 4);  // connectors run hot
    }
    return s;
}

// Flames over a bed of embers; each frame has its own flicker.
Sprite fire(int frame, uint32_t seed)
{
    Sprite s = blank(48, 64);
    for (int x = 0; x < s.width; ++x) {
        const double e = std::max(0.0, 1.0 - std::pow((x + 0.5 - 24.0) / 24.0, 2.0));
        const double tongue = 0.55 + 0.45 * noise::unit(noise::hash3(seed, frame * 97 + x / 5, 11));
        const double h = 58.0 * std::pow(e, 0.8) * tongue;
        for (int yb = 0; yb < s.height; ++yb) {
            const int y = s.height - 1 - yb;
            const double n = noise::unit(noise::hash3(seed, frame * 131 + x, yb));
            if (yb < 6) {
                if (e > 0.05)
                    put(s, x, y, int(50 + 50 * n * e), 1);
                continue;
            }
            if (yb >= h)
                continue;
            const double rel = (yb - 6) / std::max(1.0, h - 6);
            const int level = int(255.0 * std::pow(1.0 - rel, 0.6) * (0.55 + 0.45 * e) * (0.8 + 0.2 * n));
            if (level < 25)
                continue;
            const int colour = level < 80 ? 2 : level < 140 ? 3 : level < 200 ? 4 : 5;
            put(s, x, y, level, colour);
        }
    }
    return s;
}

ColourTable personColours()
{
    ColourTable t{};
    t[1] = packRgba(224, 172, 140);  // skin
    t[2] = packRgba(60, 40, 30);     // hair
    t[3] = packRgba(180, 40, 40);    // jacket
    t[4] = packRgba(50, 60, 100);    // jeans
    t[5] = packRgba(30, 30, 30);     // shoes
    return t;
}

ColourTable carColours(uint32_t seed)
{
    static const uint8_t paints[4][3] = {{30, 70, 160}, {200, 200, 205}, {150, 20, 25}, {35, 35, 38}};
    const uint8_t *p = paints[noise::hash32(seed) % 4];
    ColourTable t{};
    t[1] = packRgba(p[0], p[1], p[2]);
    t[2] = packRgba(40, 55, 70);
    t[3] = packRgba(20, 20, 20);
    t[4] = packRgba(170, 170, 175);
    t[5] = packRgba(250, 245, 210);
    t[6] = packRgba(200, 20, 20);
    return t;
}

ColourTable transformerColours()
{
    ColourTable t{};
    t[1] = packRgba(120, 135, 125);
    t[2] = packRgba(85, 95, 90);
    t[3] = packRgba(140, 80, 50);
    t[4] = packRgba(200, 200, 190);
    t[5] = packRgba(175, 170, 160);
    return t;
}

ColourTable fireColours()
{
    ColourTable t{};
    t[1] = packRgba(110, 30, 15);
    t[2] = packRgba(205, 45, 10);
    t[3] = packRgba(245, 125, 20);
    t[4] = packRgba(255, 200, 60);
    t[5] = packRgba(255, 245, 200);
    return t;
}

}  // namespace sprites
}  // namespace sim
