// The simulated thermal world and the camera's picture synthesis.

#include "camera/FrameSource.h"
#include "camera/Palettes.h"
#include "camera/TempMatrix.h"
#include "world/World.h"

#include <QtTest>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

using namespace sim;

Q_DECLARE_METATYPE(sim::ObjectKind)
Q_DECLARE_METATYPE(sim::FlipMode)

namespace {

constexpr int kW = 640, kH = 512;

struct Frame {
    std::vector<uint16_t> temperature;
    std::vector<uint8_t> rgba;
    ThermalInfo info;

    float at(int x, int y) const { return deciKelvinToC(temperature[size_t(y) * kW + x]); }
    int luminance(int x, int y) const
    {
        const uint8_t *p = &rgba[(size_t(y) * kW + x) * 4];
        return (p[0] * 30 + p[1] * 59 + p[2] * 11) / 100;
    }
};

Frame thermal(FrameSource &source, const View &view, double t, ThermalSettings settings = {},
              int width = kW, int height = kH)
{
    Frame f;
    f.temperature.resize(size_t(width) * height);
    f.rgba.resize(size_t(width) * height * 4);
    f.info = source.renderThermal(view, settings, t, width, height, f.temperature.data(), f.rgba.data());
    return f;
}

View view(double pan, double tilt, double zoom = 1.0, FlipMode flip = FlipMode::None)
{
    View v;
    v.panDeg = pan;
    v.tiltDeg = tilt;
    v.zoom = zoom;
    v.flip = flip;
    return v;
}

ThermalSettings quiet()
{
    ThermalSettings s;
    s.sensorNoise = false;
    return s;
}

// Mean absolute difference in C between frame b and frame a moved `dx`
// columns to the left, over the columns both share.
double shiftedDifference(const Frame &a, const Frame &b, int dx)
{
    double sum = 0;
    int n = 0;
    for (int y = 0; y < kH; y += 2)
        for (int x = std::max(0, -dx); x < kW - std::max(0, dx); ++x) {
            sum += std::fabs(b.at(x, y) - a.at(x + dx, y));
            ++n;
        }
    return sum / n;
}

}  // namespace

class TestWorld : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void sameSeedAndTimeGiveIdenticalFrames();
    void framesChangeOverTime();
    void panShiftsThePicture_data();
    void panShiftsThePicture();
    void zoomNarrowsTheField();
    void hotObjectsStandOut_data();
    void hotObjectsStandOut();
    void fireFlaresUpAndDiesDown();
    void paletteMapsHeatToBrightness_data();
    void paletteMapsHeatToBrightness();
    void paletteTableIsComplete();
    void manualSpanClampsAndBrightnessShifts();
    void flipModesMirror_data();
    void flipModesMirror();
    void panoramicStripCoversAFullTurn();
    void visiblePictureShowsTheWorld();
    void oddViewsRenderSafely_data();
    void oddViewsRenderSafely();
    void regionStatistics();
    void degreeConversions();
    void celsiusToDeciKelvin_data();
    void celsiusToDeciKelvin();

private:
    std::shared_ptr<const World> world_;
};

void TestWorld::initTestCase()
{
    world_ = World::shared(1);
    QVERIFY(world_);
    QCOMPARE(World::shared(1).get(), world_.get());
}

void TestWorld::sameSeedAndTimeGiveIdenticalFrames()
{
    FrameSource shared(world_);
    FrameSource fresh(std::make_shared<const World>(1));
    FrameSource other(std::make_shared<const World>(2));
    const View v = view(10.0, -5.0);
    const Frame a = thermal(shared, v, 12.34);
    const Frame b = thermal(fresh, v, 12.34);
    QVERIFY(a.temperature == b.temperature);
    QVERIFY(a.rgba == b.rgba);
    // Rendering again on the same source (warm caches) changes nothing.
    QVERIFY(thermal(shared, v, 12.34).rgba == a.rgba);

    std::vector<uint8_t> visA(size_t(kW) * kH * 4), visB(visA.size());
    shared.renderVisible(v, 12.34, kW, kH, visA.data());
    fresh.renderVisible(v, 12.34, kW, kH, visB.data());
    QVERIFY(visA == visB);

    QVERIFY(thermal(other, v, 12.34).temperature != a.temperature);
}

void TestWorld::framesChangeOverTime()
{
    FrameSource source(world_);
    // The person walks across this view; the picture's grain changes too.
    const View v = view(25.0, -5.0);
    const Frame a = thermal(source, v, 4.0);
    const Frame b = thermal(source, v, 5.0);
    QVERIFY(a.temperature != b.temperature);
    QVERIFY(a.rgba != b.rgba);
    // The background alone does not move: only a small part differs.
    int changed = 0;
    for (size_t i = 0; i < a.temperature.size(); ++i)
        changed += a.temperature[i] != b.temperature[i];
    QVERIFY2(changed < int(a.temperature.size()) / 20, qPrintable(QString::number(changed)));
}

void TestWorld::panShiftsThePicture_data()
{
    QTest::addColumn<double>("pan");
    QTest::addColumn<double>("step");
    QTest::newRow("right") << 150.0 << 3.0;
    QTest::newRow("left") << 150.0 << -2.0;
    QTest::newRow("across north") << 358.5 << 3.0;
}

void TestWorld::panShiftsThePicture()
{
    QFETCH(double, pan);
    QFETCH(double, step);
    FrameSource source(world_);
    // A moment without the car on the road, so only the pan differs.
    const double t = 1.0;
    const Frame a = thermal(source, view(pan, 0.0), t);
    const Frame b = thermal(source, view(pan + step, 0.0), t);
    const int dx = int(std::lround(step / (50.0 / kW)));
    const double moved = shiftedDifference(a, b, dx);
    const double still = shiftedDifference(a, b, 0);
    QVERIFY2(moved < 0.1, qPrintable(QString::number(moved)));
    QVERIFY2(still > 5 * moved + 0.05, qPrintable(QString("%1 vs %2").arg(still).arg(moved)));
    // Pan wraps: a turn further is the same picture.
    QVERIFY(thermal(source, view(pan + step + 360.0, 0.0), t).temperature == b.temperature);
}

void TestWorld::zoomNarrowsTheField()
{
    FrameSource source(world_);
    const ObjectState trafo = world_->object(ObjectKind::Transformer, 0.0);
    auto hotPixels = [&](double zoom) {
        const Frame f = thermal(source, view(trafo.panDeg, trafo.tiltDeg, zoom), 0.0);
        int n = 0;
        for (uint16_t v : f.temperature)
            n += deciKelvinToC(v) > 45.0f;
        return n;
    };
    const int one = hotPixels(1.0), two = hotPixels(2.0);
    QVERIFY(one > 100);
    QVERIFY2(two > 3.5 * one && two < 4.5 * one, qPrintable(QString("%1 %2").arg(one).arg(two)));
}

void TestWorld::hotObjectsStandOut_data()
{
    QTest::addColumn<ObjectKind>("kind");
    QTest::addColumn<double>("t");
    QTest::addColumn<float>("minPeakC");
    QTest::addColumn<float>("maxPeakC");
    QTest::newRow("person") << ObjectKind::Person << 8.0 << 34.0f << 38.0f;
    QTest::newRow("transformer") << ObjectKind::Transformer << 75.0 << 70.0f << 90.5f;
    QTest::newRow("car") << ObjectKind::Car << 25.0 << 80.0f << 100.0f;
    QTest::newRow("fire flaring") << ObjectKind::Fire << 12.0 << 300.0f << 750.0f;
}

void TestWorld::hotObjectsStandOut()
{
    QFETCH(ObjectKind, kind);
    QFETCH(double, t);
    QFETCH(float, minPeakC);
    QFETCH(float, maxPeakC);
    FrameSource source(world_);
    const ObjectState o = world_->object(kind, t);
    QVERIFY(o.present);
    const double zoom = 3.0;
    const Frame f = thermal(source, view(o.panDeg, o.tiltDeg, zoom), t);
    const double degPerPixel = 50.0 / zoom / kW;
    const int halfW = int(o.widthDeg / 2 / degPerPixel) + 1, halfH = int(o.heightDeg / 2 / degPerPixel) + 1;
    const TempStats inside = regionStats(f.temperature.data(), kW, kH, kW / 2 - halfW, kH / 2 - halfH,
                                         kW / 2 + halfW, kH / 2 + halfH);
    QVERIFY(inside.count > 0);
    QVERIFY2(inside.maxC >= minPeakC && inside.maxC <= maxPeakC, qPrintable(QString::number(inside.maxC)));
    QCOMPARE(f.info.frameMaxC, inside.maxC);
    // Beside the object the world is at everyday temperatures.
    const float beside = world_->backgroundC(o.panDeg + o.widthDeg, o.tiltDeg);
    QVERIFY2(beside < 30.0f && beside > -30.0f, qPrintable(QString::number(beside)));
}

void TestWorld::fireFlaresUpAndDiesDown()
{
    double flare = -1, calm = -1;
    for (double t = 0; t < 600 && (flare < 0 || calm < 0); t += 0.5) {
        const double level = world_->fireLevel(t);
        if (level > 0.85 && flare < 0)
            flare = t;
        if (level == 0.0 && flare >= 0 && calm < 0)
            calm = t;
    }
    QVERIFY(flare >= 0 && calm > flare);
    const ObjectState hot = world_->object(ObjectKind::Fire, flare);
    const ObjectState cold = world_->object(ObjectKind::Fire, calm);
    QVERIFY(hot.highC > 500.0f);
    QVERIFY(cold.highC < 200.0f);
    QVERIFY(hot.heightDeg > 2 * cold.heightDeg);

    FrameSource source(world_);
    const Frame a = thermal(source, view(hot.panDeg, hot.tiltDeg), flare);
    const Frame b = thermal(source, view(hot.panDeg, hot.tiltDeg), calm);
    QVERIFY(a.info.frameMaxC > b.info.frameMaxC + 300.0f);
    // Embers are still hotter than anything around them.
    QVERIFY(b.info.frameMaxC > 60.0f);
}

void TestWorld::paletteMapsHeatToBrightness_data()
{
    QTest::addColumn<int>("palette");
    QTest::addColumn<bool>("hotIsBright");
    QTest::newRow("white hot") << 0 << true;
    QTest::newRow("black hot") << 1 << false;
    QTest::newRow("iron") << 4 << true;
}

void TestWorld::paletteMapsHeatToBrightness()
{
    QFETCH(int, palette);
    QFETCH(bool, hotIsBright);
    FrameSource source(world_);
    ThermalSettings s = quiet();
    s.palette = palette;
    const ObjectState trafo = world_->object(ObjectKind::Transformer, 0.0);
    const Frame f = thermal(source, view(trafo.panDeg, trafo.tiltDeg + 3.0), 0.0, s);
    const TempStats all = regionStats(f.temperature.data(), kW, kH, 0, 0, kW - 1, kH - 1);
    const int hot = f.luminance(all.maxX, all.maxY), cold = f.luminance(all.minX, all.minY);
    if (hotIsBright)
        QVERIFY2(hot > cold + 100, qPrintable(QString("%1 %2").arg(hot).arg(cold)));
    else
        QVERIFY2(cold > hot + 100, qPrintable(QString("%1 %2").arg(hot).arg(cold)));
    // Every pixel is opaque.
    for (size_t i = 3; i < f.rgba.size(); i += 4)
        QCOMPARE(int(f.rgba[i]), 255);
}

void TestWorld::paletteTableIsComplete()
{
    QCOMPARE(kPaletteCount, 20);
    QCOMPARE(QString(paletteName(0)), QString("White Hot"));
    QCOMPARE(QString(paletteName(19)), QString("Blue"));
    QVERIFY(paletteName(-1) == nullptr);
    QVERIFY(paletteName(kPaletteCount) == nullptr);
    QVERIFY(std::memcmp(paletteColours(kPaletteCount), paletteColours(0), 256 * 4) == 0);
    for (int p = 0; p < kPaletteCount; ++p) {
        QVERIFY(paletteName(p) && *paletteName(p));
        // Both ends of each ramp differ, so heat always shows.
        QVERIFY2(paletteColours(p)[0] != paletteColours(p)[255], paletteName(p));
    }
}

void TestWorld::manualSpanClampsAndBrightnessShifts()
{
    FrameSource source(world_);
    ThermalSettings s = quiet();
    s.manualSpan = true;
    s.spanMinC = 10.0f;
    s.spanMaxC = 20.0f;
    const ObjectState trafo = world_->object(ObjectKind::Transformer, 0.0);
    const View v = view(trafo.panDeg, trafo.tiltDeg + 6.0);
    const Frame f = thermal(source, v, 0.0, s);
    // Reported on the matrix's 0.1 K grid.
    QVERIFY(std::fabs(f.info.spanMinC - 10.0f) <= 0.051f);
    QVERIFY(std::fabs(f.info.spanMaxC - 20.0f) <= 0.051f);
    const uint32_t *white = paletteColours(0);
    int below = 0, above = 0;
    for (int i = 0; i < kW * kH; ++i) {
        uint32_t c;
        std::memcpy(&c, &f.rgba[size_t(i) * 4], 4);
        const float temp = deciKelvinToC(f.temperature[size_t(i)]);
        if (temp < 9.5f) {
            QCOMPARE(c, white[0]);
            ++below;
        } else if (temp > 20.5f) {
            QCOMPARE(c, white[255]);
            ++above;
        }
    }
    QVERIFY(below > 0 && above > 0);

    auto meanLuminance = [&](int brightness) {
        ThermalSettings b = quiet();
        b.brightness = brightness;
        const Frame g = thermal(source, v, 0.0, b);
        double sum = 0;
        for (int y = 0; y < kH; y += 4)
            for (int x = 0; x < kW; x += 4)
                sum += g.luminance(x, y);
        return sum;
    };
    const double dark = meanLuminance(20), neutral = meanLuminance(50), bright = meanLuminance(80);
    QVERIFY(dark < neutral && neutral < bright);
}

void TestWorld::flipModesMirror_data()
{
    QTest::addColumn<FlipMode>("flip");
    QTest::addColumn<bool>("mirrorX");
    QTest::addColumn<bool>("mirrorY");
    QTest::newRow("horizontal") << FlipMode::Horizontal << true << false;
    QTest::newRow("vertical") << FlipMode::Vertical << false << true;
    QTest::newRow("both") << FlipMode::Both << true << true;
}

void TestWorld::flipModesMirror()
{
    QFETCH(FlipMode, flip);
    QFETCH(bool, mirrorX);
    QFETCH(bool, mirrorY);
    FrameSource source(world_);
    // The transformer sits off-centre, so a mirror that forgets the objects shows.
    const Frame plain = thermal(source, view(55.0, -4.0), 0.0, quiet());
    const Frame flipped = thermal(source, view(55.0, -4.0, 1.0, flip), 0.0, quiet());
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const int sx = mirrorX ? kW - 1 - x : x, sy = mirrorY ? kH - 1 - y : y;
            const size_t a = size_t(y) * kW + x, b = size_t(sy) * kW + sx;
            if (plain.temperature[a] != flipped.temperature[b] || std::memcmp(&plain.rgba[a * 4], &flipped.rgba[b * 4], 4))
                QFAIL(qPrintable(QString("differs at %1,%2").arg(x).arg(y)));
        }
}

void TestWorld::panoramicStripCoversAFullTurn()
{
    FrameSource source(world_);
    const int w = 2880, h = 480;
    QVERIFY(w > 5 * h);
    std::vector<uint16_t> temperature(size_t(w) * h);
    std::vector<uint8_t> rgba(size_t(w) * h * 4);
    const double t = 12.0;  // fire flaring
    const ThermalInfo info =
        source.renderThermal(View::panoramic(), quiet(), t, w, h, temperature.data(), rgba.data());
    const TempStats all = regionStats(temperature.data(), w, h, 0, 0, w - 1, h - 1);
    QCOMPARE(info.frameMaxC, all.maxC);
    // The hottest thing all round is the fire, at its pan.
    QVERIFY(std::abs(all.maxX - int(250.0 / 360.0 * w)) < 10);
    // The transformer is found at its pan too.
    const TempStats trafo = regionStats(temperature.data(), w, h, int(55.0 / 360.0 * w), 0, int(65.0 / 360.0 * w), h - 1);
    QVERIFY(trafo.maxC > 70.0f && trafo.maxC < 91.0f);
    // No seam where the strip closes: the two edge columns are neighbours.
    double seam = 0, inner = 0;
    for (int y = 0; y < h; ++y) {
        seam += std::abs(int(temperature[size_t(y) * w]) - int(temperature[size_t(y) * w + w - 1]));
        inner += std::abs(int(temperature[size_t(y) * w + 1]) - int(temperature[size_t(y) * w]));
    }
    QVERIFY2(seam < 2 * inner + h, qPrintable(QString("%1 %2").arg(seam).arg(inner)));
}

void TestWorld::visiblePictureShowsTheWorld()
{
    FrameSource source(world_);
    const int w = 320, h = 256;
    std::vector<uint8_t> rgba(size_t(w) * h * 4);
    const double t = 12.0;
    const ObjectState fire = world_->object(ObjectKind::Fire, t);
    source.renderVisible(view(fire.panDeg, 0.0, 1.0), t, w, h, rgba.data());
    auto pixel = [&](int x, int y) { return &rgba[(size_t(y) * w + x) * 4]; };
    // Sky above is blue, the ground below green, everything opaque.
    const uint8_t *sky = pixel(w / 2, 5), *ground = pixel(w / 2, h - 5);
    QVERIFY(sky[2] > sky[0] && sky[2] > 150);
    QVERIFY(ground[1] > ground[0] && ground[1] > ground[2]);
    for (size_t i = 3; i < rgba.size(); i += 4)
        QCOMPARE(int(rgba[i]), 255);
    // Flames: bright orange/yellow pixels where the fire burns.
    int flames = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t *p = pixel(x, y);
            flames += p[0] > 200 && p[1] > 100 && p[2] < 120;
        }
    QVERIFY(flames > 5);
}

void TestWorld::oddViewsRenderSafely_data()
{
    QTest::addColumn<double>("pan");
    QTest::addColumn<double>("tilt");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<double>("t");
    const double nan = std::nan(""), inf = HUGE_VAL;
    QTest::newRow("not a number") << nan << nan << nan << nan;
    QTest::newRow("infinite") << inf << -inf << inf << inf;
    QTest::newRow("far out") << 1e12 << 500.0 << 1e9 << -1e15;
    QTest::newRow("zoom below one") << 0.0 << 0.0 << 0.01 << 0.0;
    QTest::newRow("straight up") << 0.0 << 90.0 << 1.0 << 0.0;
}

void TestWorld::oddViewsRenderSafely()
{
    QFETCH(double, pan);
    QFETCH(double, tilt);
    QFETCH(double, zoom);
    QFETCH(double, t);
    FrameSource source(world_);
    const Frame f = thermal(source, view(pan, tilt, zoom), t, {}, 64, 48);
    QVERIFY(std::isfinite(f.info.frameMinC) && f.info.frameMinC <= f.info.frameMaxC);
    QVERIFY(f.info.frameMinC > -100.0f && f.info.frameMaxC < 1000.0f);
    std::vector<uint8_t> rgba(64 * 48 * 4);
    source.renderVisible(view(pan, tilt, zoom), t, 64, 48, rgba.data());
    QCOMPARE(int(rgba[3]), 255);
    // Nothing to draw into: nothing happens.
    source.renderThermal(view(pan, tilt, zoom), {}, t, 0, 48, nullptr, nullptr);
    source.renderVisible(view(pan, tilt, zoom), t, 64, 0, rgba.data());
    QVERIFY(std::isfinite(world_->backgroundC(pan, tilt)));
}

void TestWorld::regionStatistics()
{
    // 4 x 3 matrix in deci-kelvin; 2731.5 dK is 0 C.
    const uint16_t m[12] = {2900, 2950, 3000, 2900,  //
                            2800, 3500, 2950, 2731,  //
                            2900, 2900, 3500, 2900};
    const TempStats all = regionStats(m, 4, 3, 0, 0, 3, 2);
    QCOMPARE(all.count, 12);
    QCOMPARE(all.maxC, deciKelvinToC(3500));
    QCOMPARE(all.maxX, 1);  // the first of two maxima in row order
    QCOMPARE(all.maxY, 1);
    QCOMPARE(all.minX, 3);
    QCOMPARE(all.minY, 1);
    QVERIFY(std::fabs(all.avgC - (35931 / 12.0 * 0.1 - 273.15)) < 1e-3);

    // Corners in any order, clipped to the frame.
    const TempStats clipped = regionStats(m, 4, 3, 5, 2, 2, -4);
    QCOMPARE(clipped.count, 6);
    QCOMPARE(clipped.maxX, 2);
    QCOMPARE(clipped.maxY, 2);
    QCOMPARE(regionStats(m, 4, 3, 4, 0, 9, 2).count, 0);
    QCOMPARE(regionStats(nullptr, 4, 3, 0, 0, 3, 2).count, 0);

    float c = 0;
    QVERIFY(temperatureAt(m, 4, 3, 1, 1, &c));
    QCOMPARE(c, deciKelvinToC(3500));
    QVERIFY(!temperatureAt(m, 4, 3, 4, 0, &c));
    QVERIFY(!temperatureAt(m, 4, 3, 0, -1, &c));
}

void TestWorld::degreeConversions()
{
    QVERIFY(std::fabs(deciKelvinToC(3000) - 26.85f) < 1e-4f);
    QCOMPARE(wrapDegrees180(190.0), -170.0);
    QCOMPARE(wrapDegrees180(-180.0), -180.0);
    QCOMPARE(wrapDegrees180(720.0 + 45.0), 45.0);
}

void TestWorld::celsiusToDeciKelvin_data()
{
    QTest::addColumn<double>("celsius");
    QTest::addColumn<int>("deciKelvin");
    const double inf = std::numeric_limits<double>::infinity();

    QTest::newRow("room temperature") << 26.85 << 3000;
    QTest::newRow("rounds up") << 20.04 << 2932;
    QTest::newRow("rounds down") << 20.06 << 2932;
    QTest::newRow("absolute zero") << -273.15 << 0;
    QTest::newRow("just above absolute zero") << -273.09 << 1;
    QTest::newRow("below absolute zero") << -400.0 << 0;
    QTest::newRow("top step") << 6280.25 << 65534;
    QTest::newRow("above the range") << 7000.0 << 65535;
    QTest::newRow("far above the range") << 1e30 << 65535;
    QTest::newRow("infinity") << inf << 65535;
    QTest::newRow("minus infinity") << -inf << 0;
    QTest::newRow("not a number") << std::nan("") << 0;
}

void TestWorld::celsiusToDeciKelvin()
{
    QFETCH(double, celsius);
    QFETCH(int, deciKelvin);
    QCOMPARE(int(sim::celsiusToDeciKelvin(celsius)), deciKelvin);
}

QTEST_APPLESS_MAIN(TestWorld)
#include "tst_world.moc"
