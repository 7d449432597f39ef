#pragma once
// The on-screen display a channel draws into its pictures: the date/time
// title, the channel title, the laser distance reading and, on a thermal
// channel, the colour bar with its range. Text is rasterised with FreeType
// from a system font, once per distinct text, into an alpha mask that is
// blended into every frame (white with a dark shadow, readable on any
// palette).
//
// Threading model: OsdSettings is a value. An OsdPainter belongs to one
// channel renderer (not thread-safe, as the renderer); the font behind it is
// shared by every painter and guarded by its own mutex.

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

struct Picture;

// Positions are pixels of the channel's picture, as the device's records
// carry them (top, left, right, bottom).
struct OsdBox {
    int top = 0, left = 0, right = 0, bottom = 0;
};

struct OsdSettings {
    bool shown = true;  // the master switch
    bool timeTitle = false;
    OsdBox timeBox;
    int64_t clockOffsetUs = 0;  // device clock = simulation time + this
    bool channelTitle = false;
    std::string title;  // UTF-8
    OsdBox titleBox;
    bool laser = false;
    int laserUnit = 0;       // 0 metres, 1 feet
    int laserAlignment = 0;  // 0 left (from left), 1 right (ending at right)
    int laserFontSize = 0;   // 0 small, 1 middle, 2 large
    OsdBox laserBox;
    bool colourBar = false;  // thermal channels only
    int unit = 0;            // of the colour bar's labels: 0 C, 1 F, 2 K
};

// Glyph coverage of one text, 0..255 per pixel.
struct AlphaMask {
    int width = 0, height = 0;
    std::vector<uint8_t> alpha;
};

// Renders `utf8` at `pixelSize` pixels per em; an empty mask when no font
// is installed or the text is empty.
AlphaMask rasteriseText(const std::string &utf8, int pixelSize);

// Pixel size of the laser reading's font sizes 0..2.
int laserFontPixels(int fontSize);

class OsdPainter {
public:
    // What the colour bar shows: the palette's colours and the temperatures
    // at its ends, in Celsius.
    struct Bar {
        const uint32_t *colours = nullptr;
        float minC = 0, maxC = 0;
    };

    // Draws everything `osd` has on into `picture`. `rangeM` is the laser
    // distance at the picture's centre, 0 for none.
    void draw(const OsdSettings &osd, int64_t timeUs, double rangeM, const Bar *bar, Picture &picture);

private:
    const AlphaMask &mask(const std::string &text, int pixelSize);
    void text(const std::string &text, int pixelSize, int x, int y, Picture &picture);

    struct Entry {
        std::string text;
        int pixelSize;
        uint64_t used;
        AlphaMask mask;
    };
    std::vector<Entry> cache_;
    uint64_t uses_ = 0;
};

}  // namespace sim
