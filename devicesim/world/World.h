#pragma once
// The thermal world every simulated camera looks at: a 360-degree panorama
// around a camera on a 6 m mast, plus four moving or changing objects.
//
// Directions: pan in degrees, 0..360 clockwise, wrapping; tilt in degrees,
// +90 straight up, 0 the horizon, -90 straight down.
// Temperatures in the raster are deci-kelvin: value = round((C + 273.15) * 10).
//
// The static part (sky with clouds, a warm horizon band, distant hills,
// buildings with windows, trees, ground with a road) is rendered once at
// construction into a raster of kPixelsPerDegree; frames only sample it.
// The objects are deterministic functions of the seed and the simulation
// time t (seconds):
//  - Person: walks back and forth between pan 10 and 40 at 30 m, skin 36 C.
//  - Transformer: fixed at pan 60, 25 m; top oil 70..90 C on a slow load cycle.
//  - Car: drives along the road between pan 105 and 215 at 50 m with a hot
//    engine (about 95 C), once in every 50 s slot, then is gone.
//  - Fire: pan 250, 60 m; embers at about 80 C that flare up to several
//    hundred C now and then (the first flare starts 5 s into the run).
//
// Threading model: immutable after construction; any number of threads may
// read it. shared() hands out one instance per seed.

#include "world/Sprites.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace sim {

enum class ObjectKind { Person = 0, Transformer, Car, Fire };
constexpr int kObjectCount = 4;

// Where an object is at one moment and how to draw it.
struct ObjectState {
    ObjectKind kind = ObjectKind::Person;
    bool present = false;  // the car is away between its passes
    double panDeg = 0;     // centre of the bounding box, 0..360
    double tiltDeg = 0;    // centre of the bounding box
    double widthDeg = 0;
    double heightDeg = 0;
    double distanceM = 0;
    float lowC = 0;        // temperature of sprite level 1
    float highC = 0;       // temperature of sprite level 255 (the hottest part)
    bool mirrored = false; // facing left
    const Sprite *sprite = nullptr;
    const ColourTable *colours = nullptr;
};

class World {
public:
    static constexpr int kPixelsPerDegree = 10;
    static constexpr int kRasterWidth = 360 * kPixelsPerDegree;
    static constexpr int kRasterHeight = 180 * kPixelsPerDegree;
    static constexpr double kCameraHeightM = 6.0;

    explicit World(uint32_t seed = 1);

    // One world per seed, built on first use and shared while anyone holds it.
    static std::shared_ptr<const World> shared(uint32_t seed = 1);

    uint32_t seed() const { return seed_; }

    // Raster row r covers tilt 90 - (r + 0.5) / kPixelsPerDegree; column c
    // covers pan (c + 0.5) / kPixelsPerDegree.
    const uint16_t *temperatureRow(int row) const
    {
        return &temperature_[size_t(row) * kRasterWidth];
    }
    // Visible channel: per raster pixel an index into materialColours().
    const uint8_t *materialRow(int row) const { return &material_[size_t(row) * kRasterWidth]; }
    const uint32_t *materialColours() const { return materialColours_.data(); }

    // Static background at a direction (nearest raster pixel), in C.
    float backgroundC(double panDeg, double tiltDeg) const;

    ObjectState object(ObjectKind kind, double t) const;
    // All objects, farthest first (the drawing order).
    std::array<ObjectState, kObjectCount> objects(double t) const;

    // Fire intensity 0 (embers) .. 1 (full flare) at time t.
    double fireLevel(double t) const;

    // How far, in metres, what is seen in a direction at time t stands from
    // the camera, as a range finder on the head measures it: the nearest
    // object whose picture covers the direction, else the background there
    // (the ground by the camera height and the tilt, a wall or tree at its
    // own distance, the hills at kHillsRangeM). The sky sends nothing
    // back: 0.
    static constexpr double kHillsRangeM = 2000.0;
    double rangeM(double panDeg, double tiltDeg, double t) const;

    // Times outside +-1e9 s (or not finite) are folded to something the
    // integer slot arithmetic can take.
    static double saneTime(double t) { return t == t ? (t > 1e9 ? 1e9 : (t < -1e9 ? -1e9 : t)) : 0.0; }

private:
    void buildBackground();

    uint32_t seed_;
    std::vector<uint16_t> temperature_;
    std::vector<uint8_t> material_;
    std::vector<uint16_t> rangeDm_;  // distance of each raster pixel in decimetres, 0 for the sky
    std::array<uint32_t, 256> materialColours_{};

    std::array<Sprite, sprites::kPersonFrames> personSprites_;
    Sprite carSprite_;
    Sprite transformerSprite_;
    std::array<Sprite, sprites::kFireFrames> fireSprites_;
    ColourTable personColours_{}, carColours_{}, transformerColours_{}, fireColours_{};
};

// Angle folded into [-180, 180).
double wrapDegrees180(double deg);

}  // namespace sim
