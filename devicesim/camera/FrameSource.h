#pragma once
// A camera's view into the world: renders the thermal channel (temperature
// matrix and its false-colour picture), the visible channel (daylight colour
// picture) and panoramic strips.
//
// Mapping: pixels are square in angle. A view of width W at zoom z spans
// hfovDeg / z degrees across, centred on (panDeg, tiltDeg); rows go down in
// tilt, columns right in pan (before flipping). Pan wraps, so a 360-degree
// view is a panoramic strip.
//
// Per frame a stream thread calls renderThermal() or renderVisible() with
// its own buffers; nothing is allocated once the sizes settle.
//
// Threading model: one FrameSource per stream (it keeps scratch rows and the
// colour table of the last span); the World it reads is shared and const.

#include "camera/Osd.h"
#include "world/World.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace sim {

// Values as the device's flip mode setting.
enum class FlipMode { None = 0, Horizontal = 1, Vertical = 2, Both = 3 };

struct View {
    double panDeg = 0;
    double tiltDeg = 0;
    double zoom = 1;       // values below 1 count as 1
    double hfovDeg = 50;   // horizontal field at zoom 1
    FlipMode flip = FlipMode::None;

    // A whole turn around the camera, centred on `tiltDeg`; its left edge is
    // pan 0.
    static View panoramic(double tiltDeg = -4.0)
    {
        View v;
        v.panDeg = 180.0;
        v.tiltDeg = tiltDeg;
        v.hfovDeg = 360.0;
        return v;
    }
};

struct ThermalSettings {
    int palette = 0;            // see Palettes.h; out of range gives 0
    bool manualSpan = false;    // false: the frame's own range, without its coldest 0.5 % and hottest 0.2 %
    float spanMinC = 0.0f;      // manual span
    float spanMaxC = 40.0f;
    int brightness = 50;        // 0..100, 50 neutral
    int contrast = 50;          // 0..100, 50 neutral
    bool sensorNoise = true;    // faint grain in the picture (never in the matrix)
    // The measurable range of the gain: the matrix clamps to it.
    float rangeMinC = -273.15f;
    float rangeMaxC = 6280.0f;
    // Picture enhancement, levels 0..100 (0 off): 2D and 3D noise reduction
    // quieten the grain (3D also holds it over several frames, as temporal
    // filtering does); detail enhancement sharpens edges across each row.
    int denoise2D = 0;
    int denoise3D = 0;
    int detail = 0;
    // Set on thermal channels only; the renderer applies them.
    FlipMode flip = FlipMode::None;
    int64_t shutterFromUs = -1;  // the picture holds still for kShutterUs from here
    OsdSettings osd;
};

// How long a shutter correction holds the thermal picture.
constexpr int64_t kShutterUs = 500000;

struct ThermalInfo {
    float frameMinC = 0, frameMaxC = 0;  // of the matrix
    float spanMinC = 0, spanMaxC = 0;    // the temperatures at the two palette ends
};

class FrameSource {
public:
    explicit FrameSource(std::shared_ptr<const World> world);

    const World &world() const { return *world_; }

    // Thermal frame at simulation time t. `temperature` receives width *
    // height deci-kelvin values and `rgba` width * height * 4 bytes; either
    // may be null when not wanted. Sizes below 1 render nothing.
    ThermalInfo renderThermal(const View &view, const ThermalSettings &settings, double t, int width,
                              int height, uint16_t *temperature, uint8_t *rgba);

    // Daylight colour picture, width * height * 4 bytes R, G, B, A.
    void renderVisible(const View &view, double t, int width, int height, uint8_t *rgba);

private:
    void prepare(const View &view, int width, int height);
    template <typename Plot>
    void drawObjects(double t, int width, int height, Plot &plot);
    // Also widens lo/hi to the values written.
    void sampleThermal(int width, int height, uint16_t *out, int &lo, int &hi);
    void sampleVisible(int width, int height, uint8_t *out);
    void clampToRange(const ThermalSettings &settings, int width, int height, uint16_t *matrix, int &lo, int &hi);
    void autoSpan(const uint16_t *matrix, int width, int height, int lo, int hi, int &spanLo, int &spanHi);
    void buildLut(const ThermalSettings &settings, int spanLo, int spanHi, int domainLo, int domainHi);

    std::shared_ptr<const World> world_;

    // Geometry of the current frame.
    double centrePan_ = 0, centreTilt_ = 0, degPerPixel_ = 0;
    double stepX_ = 0, stepY_ = 0;  // signed degrees per pixel, flips included
    std::vector<int> col0_, col1_, colF_;  // raster columns and weight (0..256) per frame column
    std::vector<int> row0_, row1_, rowF_;  // raster rows and weight per frame row

    // Two rows resampled across, reused by consecutive frame rows.
    std::vector<uint16_t> thermalRows_[2];
    std::vector<uint32_t> visibleRows_[2];
    int cachedRow_[2] = {-1, -1};

    std::vector<uint16_t> scratchMatrix_;
    std::vector<int16_t> grain_;
    std::vector<uint16_t> index_;      // a row's palette indexes with detail enhancement
    std::vector<int16_t> quietGrain_;  // grain_ scaled by noise reduction
    int quietKey_ = -1;

    // Colour of each deci-kelvin value in [lutKey_[2], lutKey_[3]], wide
    // enough for every value of the frame plus grain, so no per-pixel clamp.
    std::vector<uint32_t> lut_;
    std::vector<int> histogram_;  // automatic span, one bin per deci-kelvin
    int lutKey_[7] = {-1, -1, -1, -1, -1, -1, -1};

    // Sprite sampling positions inside the current object's box.
    std::vector<int> spriteCols_, spriteRows_;
};

}  // namespace sim
