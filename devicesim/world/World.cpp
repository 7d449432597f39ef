#include "world/World.h"

#include "world/Noise.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>

namespace sim {

namespace {

constexpr double kDegToRad = M_PI / 180.0;

enum Material {
    MatSky, MatCloud, MatHills, MatGrass, MatAsphalt, MatMarking, MatWallA, MatWallB,
    MatWallC, MatWindow, MatRoof, MatTree, MatTrunk, MatPad, MatCount
};

constexpr uint8_t kMaterialBase[MatCount][3] = {
    {0, 0, 0},       // sky: a gradient of its own
    {235, 238, 242}, // cloud
    {105, 128, 120}, // distant hills, hazy
    {78, 122, 52},   // grass
    {82, 82, 88},    // asphalt
    {225, 225, 215}, // road marking
    {196, 178, 146}, // wall: render
    {150, 78, 58},   // wall: brick
    {150, 152, 155}, // wall: concrete
    {62, 84, 112},   // window glass
    {96, 70, 62},    // roof
    {46, 86, 38},    // tree canopy
    {92, 68, 48},    // trunk
    {170, 168, 160}, // concrete pad
};

uint8_t materialIndex(int material, double shade01)
{
    const int s = std::clamp(int(shade01 * 15.0 + 0.5), 0, 15);
    return uint8_t(material * 16 + s);
}

// Not celsiusToDeciKelvin: the background stays below 32768 (about 3000 C)
// so frames can blend it in signed 16-bit lanes.
uint16_t toBlendDeciKelvin(double c)
{
    return uint16_t(std::clamp(std::lround((c + 273.15) * 10.0), 0L, 32767L));
}

struct Building {
    double pan0;      // left edge
    double widthDeg;
    double widthM;
    double distance;
    double height;
    double roofPeak;  // extra height of a pitched roof, 0 for flat
    int wall;
    double wallC;
    uint32_t id;
};

struct Tree {
    double pan;
    double distance;
    double canopyR;
    double canopyH;
    double tempC;
};

double tiltOfHeight(double heightM, double distance)
{
    return std::atan((heightM - World::kCameraHeightM) / distance) / kDegToRad;
}

// Pan offset of `pan` from `from`, in [0, 360).
double panFrom(double pan, double from)
{
    double d = std::fmod(pan - from, 360.0);
    return d < 0 ? d + 360.0 : d;
}

}  // namespace

double wrapDegrees180(double deg)
{
    double d = std::fmod(deg + 180.0, 360.0);
    if (d < 0)
        d += 360.0;
    return d - 180.0;
}

World::World(uint32_t seed)
    : seed_(seed),
      temperature_(size_t(kRasterWidth) * kRasterHeight),
      material_(size_t(kRasterWidth) * kRasterHeight),
      rangeDm_(size_t(kRasterWidth) * kRasterHeight)
{
    for (int m = 0; m < MatCount; ++m)
        for (int s = 0; s < 16; ++s) {
            const double f = s / 15.0;
            uint8_t rgb[3];
            for (int c = 0; c < 3; ++c) {
                double v;
                if (m == MatSky) {
                    static const double pale[3] = {200, 218, 236}, deep[3] = {62, 118, 198};
                    v = pale[c] + (deep[c] - pale[c]) * f;
                } else {
                    v = kMaterialBase[m][c] * (0.65 + 0.7 * f);
                }
                rgb[c] = uint8_t(std::clamp(v, 0.0, 255.0));
            }
            materialColours_[size_t(m * 16 + s)] = packRgba(rgb[0], rgb[1], rgb[2]);
        }

    for (int i = 0; i < sprites::kPersonFrames; ++i)
        personSprites_[size_t(i)] = sprites::person(i);
    carSprite_ = sprites::car();
    transformerSprite_ = sprites::transformer();
    for (int i = 0; i < sprites::kFireFrames; ++i)
        fireSprites_[size_t(i)] = sprites::fire(i, seed_);
    personColours_ = sprites::personColours();
    carColours_ = sprites::carColours(seed_);
    transformerColours_ = sprites::transformerColours();
    fireColours_ = sprites::fireColours();

    buildBackground();
}

std::shared_ptr<const World> World::shared(uint32_t seed)
{
    static std::mutex mutex;  // protects cache
    static std::map<uint32_t, std::weak_ptr<const World>> cache;
    std::lock_guard<std::mutex> lock(mutex);
    std::shared_ptr<const World> world = cache[seed].lock();
    if (!world) {
        world = std::make_shared<const World>(seed);
        cache[seed] = world;
    }
    return world;
}

void World::buildBackground()
{
    using noise::hash3;
    using noise::unit;
    const uint32_t s = seed_;

    std::vector<Building> buildings;
    const int buildingCount = 8;
    for (int i = 0; i < buildingCount; ++i) {
        Building b;
        b.id = uint32_t(i);
        b.distance = 75.0 + 120.0 * unit(hash3(s, i, 1));
        b.widthM = 14.0 + 30.0 * unit(hash3(s, i, 2));
        b.widthDeg = 2.0 * std::atan(b.widthM / 2.0 / b.distance) / kDegToRad;
        b.pan0 = 360.0 * i / buildingCount + 30.0 * unit(hash3(s, i, 3));
        b.height = 6.0 + 24.0 * std::pow(unit(hash3(s, i, 4)), 1.5);
        b.roofPeak = b.height < 12.0 ? 2.5 + 2.0 * unit(hash3(s, i, 5)) : 0.0;
        b.wall = MatWallA + int(hash3(s, i, 6) % 3);
        b.wallC = 15.0 + 5.0 * unit(hash3(s, i, 7));
        buildings.push_back(b);
    }
    std::sort(buildings.begin(), buildings.end(),
              [](const Building &a, const Building &b) { return a.distance > b.distance; });

    std::vector<Tree> trees;
    for (int i = 0; i < 14; ++i) {
        Tree t;
        t.pan = 360.0 * unit(hash3(s, i, 21));
        t.distance = 35.0 + 50.0 * unit(hash3(s, i, 22));
        t.canopyR = 1.8 + 1.8 * unit(hash3(s, i, 23));
        t.canopyH = 2.5 + t.canopyR + 2.0 * unit(hash3(s, i, 24));
        t.tempC = 12.5 + 3.0 * unit(hash3(s, i, 25));
        trees.push_back(t);
    }
    std::sort(trees.begin(), trees.end(),
              [](const Tree &a, const Tree &b) { return a.distance > b.distance; });

    // Skyline of distant hills, in degrees above the horizon.
    std::vector<double> ridge(kRasterWidth);
    {
        noise::PeriodicRowNoise big(s ^ 0x1000U, 200, kRasterWidth), small(s ^ 0x2000U, 24, kRasterWidth);
        big.prepareRow(0);
        small.prepareRow(0);
        for (int c = 0; c < kRasterWidth; ++c)
            ridge[size_t(c)] = 0.3 + 1.8 * big.at(c) + 0.35 * small.at(c);
    }

    // Per column: where on each facade (metres from its left edge, -1 when
    // the column misses it) and how far from each trunk; per row: the height
    // on each facade and tree. Keeps the per-pixel work to table reads.
    std::vector<double> buildingX(buildings.size() * kRasterWidth, -1.0);
    std::vector<double> treeX(trees.size() * kRasterWidth);
    for (int c = 0; c < kRasterWidth; ++c) {
        const double pan = (c + 0.5) / kPixelsPerDegree;
        for (size_t i = 0; i < buildings.size(); ++i) {
            const double dp = panFrom(pan, buildings[i].pan0);
            if (dp < buildings[i].widthDeg)
                buildingX[i * kRasterWidth + size_t(c)] = buildings[i].distance * std::tan(dp * kDegToRad);
        }
        for (size_t i = 0; i < trees.size(); ++i)
            treeX[i * kRasterWidth + size_t(c)] = wrapDegrees180(pan - trees[i].pan) * kDegToRad * trees[i].distance;
    }
    std::vector<double> buildingH(buildings.size()), treeH(trees.size());
    std::vector<size_t> activeBuildings, activeTrees;

    noise::PeriodicRowNoise cloudBig(s ^ 0x3000U, 120, kRasterWidth);
    noise::PeriodicRowNoise cloudSmall(s ^ 0x4000U, 30, kRasterWidth);
    noise::PeriodicRowNoise groundFine(s ^ 0x5000U, 8, kRasterWidth);
    noise::PeriodicRowNoise groundCoarse(s ^ 0x6000U, 40, kRasterWidth);

    for (int r = 0; r < kRasterHeight; ++r) {
        const double tilt = 90.0 - (r + 0.5) / kPixelsPerDegree;
        const bool skyRow = tilt > -0.5;
        if (skyRow) {
            cloudBig.prepareRow(r);
            cloudSmall.prepareRow(r);
        }
        if (tilt < 0.5) {
            groundFine.prepareRow(r);
            groundCoarse.prepareRow(r);
        }
        // Sky: cold overhead, warmest along the horizon where the air path is longest.
        const double skyC = -28.0 + 40.0 * std::exp(-std::max(0.0, tilt) / 10.0);
        const double groundDistance = tilt < 0 ? kCameraHeightM / std::tan(-tilt * kDegToRad) : 1e9;
        // Only facades and trees this row crosses are looked at per pixel.
        activeBuildings.clear();
        activeTrees.clear();
        for (size_t i = 0; i < buildings.size(); ++i) {
            buildingH[i] = kCameraHeightM + buildings[i].distance * std::tan(tilt * kDegToRad);
            if (buildingH[i] >= 0.0 && buildingH[i] <= buildings[i].height + buildings[i].roofPeak)
                activeBuildings.push_back(i);
        }
        for (size_t i = 0; i < trees.size(); ++i) {
            treeH[i] = kCameraHeightM + trees[i].distance * std::tan(tilt * kDegToRad);
            if (treeH[i] >= 0.0 && treeH[i] <= trees[i].canopyH + trees[i].canopyR)
                activeTrees.push_back(i);
        }
        uint16_t *tRow = &temperature_[size_t(r) * kRasterWidth];
        uint8_t *mRow = &material_[size_t(r) * kRasterWidth];
        uint16_t *dRow = &rangeDm_[size_t(r) * kRasterWidth];

        for (int c = 0; c < kRasterWidth; ++c) {
            const double pan = (c + 0.5) / kPixelsPerDegree;
            double tempC;
            uint8_t mat;
            double rangeM = 0.0;  // the sky sends nothing back
            if (tilt >= ridge[size_t(c)]) {
                tempC = skyC;
                mat = materialIndex(MatSky, std::min(1.0, tilt / 45.0));
                const double cover = 0.65 * cloudBig.at(c) + 0.35 * cloudSmall.at(c);
                if (cover > 0.58 && tilt > 2.0 && tilt < 65.0) {
                    const double a = std::min(1.0, (cover - 0.58) / 0.25);
                    tempC = skyC + a * (6.0 - skyC) * 0.9;
                    if (a > 0.2)
                        mat = materialIndex(MatCloud, 1.0 - 0.5 * a);
                }
            } else if (tilt >= 0.0) {
                tempC = 9.5 + 2.5 * cloudSmall.at(c);
                mat = materialIndex(MatHills, 0.3 + 0.4 * cloudSmall.at(c));
                rangeM = kHillsRangeM;
            } else {
                const double fine = groundFine.at(c), coarse = groundCoarse.at(c);
                const double d = groundDistance;
                rangeM = std::min(d, kHillsRangeM);
                // Sunlit grass, a little warmer close by where less sky is reflected.
                tempC = 15.0 + 1.2 * fine + 3.5 * coarse + 2.0 * std::exp(-d / 20.0);
                mat = materialIndex(MatGrass, 0.25 + 0.25 * fine + 0.35 * coarse);
                if (pan >= 100.0 && pan <= 220.0 && d >= 46.5 && d <= 53.5) {
                    tempC = 26.5 + 1.5 * groundFine.at(c);
                    mat = materialIndex(MatAsphalt, 0.4 + 0.3 * groundFine.at(c));
                    const double along = pan * kDegToRad * 50.0;
                    if (std::fabs(d - 50.0) < 0.18 && std::fmod(along, 6.0) < 3.0) {
                        tempC = 23.0;
                        mat = materialIndex(MatMarking, 0.6);
                    }
                } else if (pan >= 57.0 && pan <= 63.0 && d >= 22.0 && d <= 28.0) {
                    tempC = 23.5 + 0.5 * groundFine.at(c);
                    mat = materialIndex(MatPad, 0.5 + 0.2 * groundFine.at(c));
                }
                // Far ground fades into the haze of the horizon.
                const double haze = std::clamp((d - 300.0) / 900.0, 0.0, 1.0);
                tempC += (11.0 - tempC) * haze;
            }

            for (size_t i : activeBuildings) {
                const double xm = buildingX[i * kRasterWidth + size_t(c)];
                if (xm < 0.0)
                    continue;
                const Building &b = buildings[i];
                const double hm = buildingH[i];
                const double along = xm / b.widthM;
                if (hm < 0.0 || hm > b.height + b.roofPeak * (1.0 - std::fabs(2.0 * along - 1.0)))
                    continue;
                rangeM = b.distance;
                if (hm > b.height - 0.5) {
                    // Roofs radiate to the cold sky.
                    tempC = 7.0 + 2.0 * groundCoarse.at(c);
                    mat = materialIndex(MatRoof, 0.5);
                    continue;
                }
                tempC = b.wallC;
                mat = materialIndex(b.wall, 0.55);
                const double fy = std::fmod(hm, 3.2), fx = std::fmod(xm, 3.6);
                if (fy > 1.0 && fy < 2.4 && fx > 1.0 && fx < 2.6 && xm > 1.5 && xm < b.widthM - 1.5
                    && hm < b.height - 1.2) {
                    const uint32_t w = hash3(s ^ b.id, int(hm / 3.2), int(xm / 3.6));
                    const bool lit = unit(w) < 0.45;
                    // Heated rooms leak heat through the glass; the others mirror the sky.
                    tempC = lit ? b.wallC + 4.0 + 5.0 * unit(w >> 3) : b.wallC - 3.0;
                    mat = materialIndex(MatWindow, lit ? 0.8 : 0.2);
                }
            }

            for (size_t i : activeTrees) {
                const double dp = treeX[i * kRasterWidth + size_t(c)];
                const Tree &t = trees[i];
                if (std::fabs(dp) > t.canopyR)
                    continue;
                const double hm = treeH[i];
                const double dy = hm - t.canopyH;
                if (dp * dp + dy * dy * 1.4 <= t.canopyR * t.canopyR) {
                    rangeM = t.distance;
                    const double n = groundFine.at(c);
                    tempC = t.tempC + 1.5 * n;
                    mat = materialIndex(MatTree, 0.3 + 0.5 * n);
                } else if (std::fabs(dp) < 0.22 && hm >= 0.0 && hm < t.canopyH) {
                    rangeM = t.distance;
                    tempC = t.tempC + 2.0;
                    mat = materialIndex(MatTrunk, 0.5);
                }
            }

            tRow[c] = toBlendDeciKelvin(tempC);
            mRow[c] = mat;
            dRow[c] = uint16_t(std::lround(rangeM * 10.0));
        }
    }
}

float World::backgroundC(double panDeg, double tiltDeg) const
{
    const double p = std::isfinite(panDeg) ? panFrom(panDeg, 0.0) : 0.0;
    const double tilt = std::isfinite(tiltDeg) ? std::clamp(tiltDeg, -90.0, 90.0) : 0.0;
    const int c = std::clamp(int(p * kPixelsPerDegree), 0, kRasterWidth - 1);
    const int r = std::clamp(int((90.0 - tilt) * kPixelsPerDegree), 0, kRasterHeight - 1);
    return float(temperature_[size_t(r) * kRasterWidth + c] * 0.1 - 273.15);
}

double World::fireLevel(double t) const
{
    t = saneTime(t);
    const double slotLength = 45.0;
    const double slot = std::floor(t / slotLength);
    const double local = t - slot * slotLength;
    const int k = int(slot);
    double start = 5.0, duration = 20.0;
    if (k != 0) {
        if (noise::unit(noise::hash3(seed_, k, 0xF1)) >= 0.7)
            return 0.0;
        start = 15.0 * noise::unit(noise::hash3(seed_, k, 0xF2));
        duration = 10.0 + 12.0 * noise::unit(noise::hash3(seed_, k, 0xF3));
    }
    double envelope;
    if (local < start)
        return 0.0;
    else if (local < start + 2.0)
        envelope = noise::smooth((local - start) / 2.0);
    else if (local < start + duration)
        envelope = 1.0;
    else if (local < start + duration + 4.0)
        envelope = 1.0 - noise::smooth((local - start - duration) / 4.0);
    else
        return 0.0;
    const double flicker = 0.9 + 0.1 * std::sin(t * 11.0) * std::sin(t * 4.3 + 1.0);
    return std::clamp(envelope * flicker, 0.0, 1.0);
}

ObjectState World::object(ObjectKind kind, double t) const
{
    t = saneTime(t);
    ObjectState o;
    o.kind = kind;
    o.present = true;
    double footTilt = 0, heightM = 0, widthM = 0;
    switch (kind) {
    case ObjectKind::Person: {
        // 28 s cycle: pause, walk right, pause, walk left.
        const double period = 28.0;
        const double phase = std::fmod(t + 2.0 * noise::unit(noise::hash32(seed_)), period);
        const double local = phase < 0 ? phase + period : phase;
        double progress;
        if (local < 3.0)
            progress = 0.0;
        else if (local < 14.0)
            progress = (local - 3.0) / 11.0;
        else if (local < 17.0)
            progress = 1.0;
        else
            progress = 1.0 - (local - 17.0) / 11.0;
        const bool walking = (local >= 3.0 && local < 14.0) || local >= 17.0;
        o.distanceM = 30.0;
        o.panDeg = panFrom(10.0 + 30.0 * progress, 0.0);
        o.mirrored = local >= 17.0;
        heightM = 1.8;
        widthM = 0.6;
        o.lowC = 22.0f;
        o.highC = 36.5f;
        const double walkedM = progress * 30.0 * kDegToRad * o.distanceM;
        const int frame = walking ? int(walkedM / 0.4) % sprites::kPersonFrames : 0;
        o.sprite = &personSprites_[size_t(frame)];
        o.colours = &personColours_;
        break;
    }
    case ObjectKind::Transformer:
        o.distanceM = 25.0;
        o.panDeg = 60.0;
        heightM = 2.8;
        widthM = 3.2;
        o.lowC = 20.0f;
        o.highC = float(80.0 + 8.0 * std::sin(2.0 * M_PI * t / 300.0) + 2.0 * std::sin(2.0 * M_PI * t / 37.0));
        o.sprite = &transformerSprite_;
        o.colours = &transformerColours_;
        break;
    case ObjectKind::Car: {
        const double slotLength = 50.0, speedDeg = 11.0, from = 105.0, to = 215.0;
        const double slot = std::floor(t / slotLength);
        const int k = int(slot);
        const double start = 5.0 + 25.0 * noise::unit(noise::hash3(seed_, k, 0xC1));
        const double local = t - slot * slotLength - start;
        const double duration = (to - from) / speedDeg;
        const bool leftwards = noise::hash3(seed_, k, 0xC2) & 1U;
        o.present = local >= 0.0 && local <= duration;
        const double progress = std::clamp(local / duration, 0.0, 1.0);
        o.distanceM = 50.0;
        o.panDeg = leftwards ? to - (to - from) * progress : from + (to - from) * progress;
        o.mirrored = leftwards;
        heightM = 1.6;
        widthM = 4.4;
        o.lowC = 15.0f;
        o.highC = 95.0f;
        o.sprite = &carSprite_;
        o.colours = &carColours_;
        break;
    }
    case ObjectKind::Fire: {
        const double level = fireLevel(t);
        o.distanceM = 60.0;
        o.panDeg = 250.0;
        heightM = 2.0 * (0.3 + 0.7 * level);
        widthM = 1.5;
        o.lowC = 60.0f;
        o.highC = float(120.0 + 580.0 * level);
        o.sprite = &fireSprites_[size_t(int64_t(std::floor(t * 8.0)) & (sprites::kFireFrames - 1))];
        o.colours = &fireColours_;
        break;
    }
    }
    footTilt = tiltOfHeight(0.0, o.distanceM);
    const double headTilt = tiltOfHeight(heightM, o.distanceM);
    o.heightDeg = headTilt - footTilt;
    o.tiltDeg = 0.5 * (headTilt + footTilt);
    o.widthDeg = 2.0 * std::atan(widthM / 2.0 / o.distanceM) / kDegToRad;
    return o;
}

std::array<ObjectState, kObjectCount> World::objects(double t) const
{
    return {object(ObjectKind::Fire, t), object(ObjectKind::Car, t), object(ObjectKind::Person, t),
            object(ObjectKind::Transformer, t)};
}

double World::rangeM(double panDeg, double tiltDeg, double t) const
{
    if (!std::isfinite(panDeg) || !std::isfinite(tiltDeg))
        return 0.0;
    const double pan = panFrom(panDeg, 0.0);
    const double tilt = std::clamp(tiltDeg, -90.0, 90.0);

    // Objects nearest first; a transparent sprite pixel lets the beam pass.
    const std::array<ObjectState, kObjectCount> all = objects(t);
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        const ObjectState &o = *it;
        if (!o.present || !o.sprite || o.widthDeg <= 0.0 || o.heightDeg <= 0.0)
            continue;
        const double u = (wrapDegrees180(pan - o.panDeg) + o.widthDeg / 2.0) / o.widthDeg;
        const double v = (o.tiltDeg + o.heightDeg / 2.0 - tilt) / o.heightDeg;
        if (u < 0.0 || u >= 1.0 || v < 0.0 || v >= 1.0)
            continue;
        const Sprite &sp = *o.sprite;
        int col = std::min(int(u * sp.width), sp.width - 1);
        if (o.mirrored)
            col = sp.width - 1 - col;
        const int row = std::min(int(v * sp.height), sp.height - 1);
        if (sp.level[size_t(row) * size_t(sp.width) + size_t(col)])
            return o.distanceM;
    }

    // The background: the distance of its raster pixel in that direction;
    // the ground's follows exactly from the tilt.
    const int c = std::clamp(int(pan * kPixelsPerDegree), 0, kRasterWidth - 1);
    const int r = std::clamp(int((90.0 - tilt) * kPixelsPerDegree), 0, kRasterHeight - 1);
    const size_t index = size_t(r) * kRasterWidth + size_t(c);
    const int material = material_[index] / 16;
    const bool ground = material == MatGrass || material == MatAsphalt || material == MatMarking || material == MatPad;
    if (ground && tilt < 0.0)
        return std::min(kHillsRangeM, kCameraHeightM / std::tan(-tilt * kDegToRad));
    return rangeDm_[index] / 10.0;
}

}  // namespace sim
