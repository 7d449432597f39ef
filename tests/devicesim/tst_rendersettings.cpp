// The pure pieces behind the device's imaging settings (palettes, tone
// curve, gain ranges, the device clock's text, units), the settings family
// with its checks and factory reset, and what the renderer does with them.

#include "camera/ChannelRenderer.h"
#include "camera/Imaging.h"
#include "camera/Osd.h"
#include "camera/Palettes.h"
#include "camera/TempUnits.h"
#include "device/Device.h"
#include "settings/Settings.h"

#include <QtTest>
#include <algorithm>
#include <cstring>

namespace {

QString rgb(uint32_t packed)
{
    uint8_t b[4];
    std::memcpy(b, &packed, 4);
    return QStringLiteral("%1,%2,%3").arg(b[0]).arg(b[1]).arg(b[2]);
}

sim::DeviceProfile dualProfile()
{
    sim::DeviceProfile p;
    p.channels = {{true, 640, 512}, {false, 1920, 1080}};
    p.hfovDeg = {50, 60};
    p.ability.laserDistance = 1;
    return p;
}

sim::ChannelView frontView()
{
    sim::ChannelView v;
    v.view.panDeg = 240.0;  // fire and car in view
    v.view.tiltDeg = -2.0;
    return v;
}

}  // namespace

class TestRenderSettings : public QObject {
    Q_OBJECT
private slots:
    void paletteEnds_data()
    {
        QTest::addColumn<int>("palette");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("coldest");
        QTest::addColumn<QString>("hottest");
        QTest::newRow("0") << 0 << "White Hot" << "0,0,0" << "255,255,255";
        QTest::newRow("1") << 1 << "Black Hot" << "255,255,255" << "0,0,0";
        QTest::newRow("4") << 4 << "Iron" << "0,0,0" << "255,255,230";
        QTest::newRow("12") << 12 << "Ice Fire" << "255,255,255" << "255,255,120";
        QTest::newRow("13, its own spelling") << 13 << "Gree Red" << "0,90,0" << "230,0,0";
        QTest::newRow("19") << 19 << "Blue" << "0,0,0" << "140,230,255";
    }
    void paletteEnds()
    {
        QFETCH(int, palette);
        QFETCH(QString, name);
        QFETCH(QString, coldest);
        QFETCH(QString, hottest);
        QCOMPARE(QString::fromLatin1(sim::paletteName(palette)), name);
        QCOMPARE(rgb(sim::paletteColours(palette)[0]), coldest);
        QCOMPARE(rgb(sim::paletteColours(palette)[255]), hottest);
    }

    // Every palette is a colour map of its own, none a copy of another.
    void palettesAreDistinct()
    {
        for (int a = 0; a < sim::kPaletteCount; ++a)
            for (int b = a + 1; b < sim::kPaletteCount; ++b)
                QVERIFY2(!std::equal(sim::paletteColours(a), sim::paletteColours(a) + 256, sim::paletteColours(b)),
                         qPrintable(QStringLiteral("%1 = %2").arg(a).arg(b)));
        QVERIFY(!sim::paletteName(20));
    }

    void toneCurve_data()
    {
        QTest::addColumn<double>("u");
        QTest::addColumn<int>("brightness");
        QTest::addColumn<int>("contrast");
        QTest::addColumn<double>("expected");
        QTest::newRow("neutral keeps the span") << 0.25 << 50 << 50 << 0.25;
        QTest::newRow("neutral, hottest") << 1.0 << 50 << 50 << 1.0;
        QTest::newRow("brightness 100 shifts by half") << 0.25 << 100 << 50 << 0.75;
        QTest::newRow("brightness 0") << 0.75 << 0 << 50 << 0.25;
        QTest::newRow("contrast 75 doubles around the middle") << 0.75 << 50 << 75 << 1.0;
        QTest::newRow("contrast 0 quarters") << 1.0 << 50 << 0 << 0.625;
        QTest::newRow("contrast 100 x4") << 0.375 << 50 << 100 << 0.0;
    }
    void toneCurve()
    {
        QFETCH(double, u);
        QFETCH(int, brightness);
        QFETCH(int, contrast);
        QFETCH(double, expected);
        QVERIFY(qAbs(sim::toneCurve(u, brightness, contrast) - expected) < 1e-9);
    }

    void gainRanges_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<float>("minC");
        QTest::addColumn<float>("maxC");
        QTest::newRow("high gain") << 0 << true << -20.0f << 150.0f;
        QTest::newRow("low gain") << 1 << true << -20.0f << 650.0f;
        QTest::newRow("auto reaches as far as low") << 2 << true << -20.0f << 650.0f;
        QTest::newRow("3") << 3 << false << 0.0f << 0.0f;
        QTest::newRow("-1") << -1 << false << 0.0f << 0.0f;
    }
    void gainRanges()
    {
        QFETCH(int, level);
        QFETCH(bool, valid);
        QCOMPARE(sim::validGain(level), valid);
        if (!valid)
            return;
        QFETCH(float, minC);
        QFETCH(float, maxC);
        QCOMPARE(sim::gainRange(sim::Gain(level)).minC, minC);
        QCOMPARE(sim::gainRange(sim::Gain(level)).maxC, maxC);
    }

    // The matrix itself clamps, so every reading and the stream agree.
    void gainClampsTheMatrix()
    {
        sim::FrameSource source(sim::World::shared(7));
        sim::View view = frontView().view;
        std::vector<uint16_t> wide(640 * 512), narrow(640 * 512);
        sim::ThermalSettings s;
        const sim::ThermalInfo free = source.renderThermal(view, s, 5.0, 640, 512, wide.data(), nullptr);
        s.rangeMinC = 10.0f;
        s.rangeMaxC = 30.0f;
        const sim::ThermalInfo clamped = source.renderThermal(view, s, 5.0, 640, 512, narrow.data(), nullptr);
        QVERIFY(free.frameMaxC > 30.0f && free.frameMinC < 10.0f);
        QCOMPARE(clamped.frameMaxC, sim::deciKelvinToC(sim::celsiusToDeciKelvin(30.0)));
        QCOMPARE(clamped.frameMinC, sim::deciKelvinToC(sim::celsiusToDeciKelvin(10.0)));
        size_t differ = 0;
        for (size_t i = 0; i < wide.size(); ++i)
            differ += narrow[i] != std::clamp(wide[i], sim::celsiusToDeciKelvin(10.0), sim::celsiusToDeciKelvin(30.0));
        QCOMPARE(differ, size_t(0));
    }

    void deviceTime_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<qint64>("seconds");
        QTest::newRow("epoch") << "1970-01-01 00:00:00" << true << qint64(0);
        QTest::newRow("afternoon") << "2026-03-03 14:09:05" << true << qint64(1772546945);
        QTest::newRow("leap day") << "2024-02-29 23:59:59" << true << qint64(1709251199);
        QTest::newRow("no leap day") << "2023-02-29 10:00:00" << false << qint64(0);
        QTest::newRow("month 13") << "2026-13-01 00:00:00" << false << qint64(0);
        QTest::newRow("hour 24") << "2026-01-01 24:00:00" << false << qint64(0);
        QTest::newRow("no padding") << "2026-3-3 14:09:05" << false << qint64(0);
        QTest::newRow("T between") << "2026-03-03T14:09:05" << false << qint64(0);
        QTest::newRow("trailing text") << "2026-03-03 14:09:05Z" << false << qint64(0);
        QTest::newRow("empty") << "" << false << qint64(0);
    }
    void deviceTime()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(qint64, seconds);
        int64_t parsed = -1;
        const QByteArray bytes = text.toLatin1();
        QCOMPARE(sim::parseDeviceTime(bytes.constData(), &parsed), valid);
        if (!valid)
            return;
        QCOMPARE(qint64(parsed), seconds);
        QCOMPARE(QString::fromStdString(sim::formatDeviceTime(parsed)), text);
    }

    void units_data()
    {
        QTest::addColumn<int>("unit");
        QTest::addColumn<double>("celsius");
        QTest::addColumn<double>("value");
        QTest::newRow("C") << 0 << 36.6 << 36.6;
        QTest::newRow("F freezing") << 1 << 0.0 << 32.0;
        QTest::newRow("F -40") << 1 << -40.0 << -40.0;
        QTest::newRow("K") << 2 << 25.0 << 298.15;
    }
    void units()
    {
        QFETCH(int, unit);
        QFETCH(double, celsius);
        QFETCH(double, value);
        QVERIFY(qAbs(sim::celsiusToUnit(celsius, sim::TempUnit(unit)) - value) < 1e-9);
        QVERIFY(qAbs(sim::unitToCelsius(value, sim::TempUnit(unit)) - celsius) < 1e-9);
    }

    // After a reset every setting of the family reads as from the factory.
    void resetRestoresEverySetting()
    {
        const sim::DeviceProfile profile = dualProfile();
        sim::Settings fresh(profile), used(profile);
        QVERIFY(used.setClientFrameRate(5));
        QVERIFY(used.setPalette(7));
        QVERIFY(used.setBrightness(10));
        QVERIFY(used.setContrast(90));
        QVERIFY(used.setFlipMode(3));
        QVERIFY(used.setGain(0));
        QVERIFY(used.setSpan(TMV_NET_TEMP_SPAN_INFO{1, {0, 0, 0}, 5.0f, 50.0f}));
        TMV_NET_THERMAL_IMAGE_ENHANCE_INFO enhance;
        std::memset(&enhance, 0x01, sizeof enhance);
        enhance.denoise2DLevel = enhance.denoise3DLevel = enhance.detailEnhanceLevel = 9;
        QVERIFY(used.setEnhance(enhance));
        QVERIFY(used.setEnv(TMV_NET_ENV_PARAM{10.0f, 100.0f, 0.8f, 5.0f, 0.9f}));
        used.setOsdState(2);
        used.setTempBarState(1);
        used.correctShutter(0);
        used.setClock(0, 0);
        used.setTempUnit(sim::TempUnit::Kelvin);
        TMV_NET_OSD_CHANNEL_TITLE_INFO title;
        std::memset(&title, 0, sizeof title);
        title.enable = 1;
        std::strcpy(title.title, "Yard");
        QVERIFY(used.setChannelTitle(1, title));
        TMV_NET_OSD_TIME_TITLE_INFO time{1, {0, 0, 0}, 5, 5, 0, 0};
        QVERIFY(used.setTimeTitle(0, time));
        TMV_NET_LASER_DISTANCE_OSD_PARAM laser;
        std::memset(&laser, 0, sizeof laser);
        laser.enable = 1;
        laser.fontSize = 2;
        QVERIFY(used.setLaserOsd(0, laser));

        used.reset();
        for (int c = 0; c < 2; ++c) {
            const sim::ThermalSettings a = fresh.thermal(c), b = used.thermal(c);
            QCOMPARE(used.frameRate(c), fresh.frameRate(c));
            QCOMPARE(b.palette, a.palette);
            QCOMPARE(b.brightness, a.brightness);
            QCOMPARE(b.contrast, a.contrast);
            QCOMPARE(int(b.flip), int(a.flip));
            QCOMPARE(b.rangeMaxC, a.rangeMaxC);
            QCOMPARE(b.manualSpan, a.manualSpan);
            QCOMPARE(b.detail + b.denoise2D + b.denoise3D, 0);
            QCOMPARE(b.shutterFromUs, int64_t(-1));
            QCOMPARE(b.osd.shown, true);
            QCOMPARE(b.osd.colourBar, false);
            QCOMPARE(b.osd.timeTitle, false);
            QCOMPARE(b.osd.channelTitle, false);
            QVERIFY(b.osd.title.empty());
            QCOMPARE(b.osd.laser, false);
            QCOMPARE(b.osd.unit, 0);
            // The factory clock is the time of the reset, not the one set.
            QVERIFY(b.osd.clockOffsetUs > 1700000000LL * 1000000);
        }
        TMV_NET_THERMAL_IMAGE_ENHANCE_INFO a, b;
        fresh.enhance(&a);
        used.enhance(&b);
        QCOMPARE(std::memcmp(&a, &b, sizeof a), 0);
        const TMV_NET_ENV_PARAM env = used.env();
        QCOMPARE(env.emissivity, 1.0f);
        QCOMPARE(env.atmosTrans, 1.0f);
        QCOMPARE(used.osdState(), 0);
        QCOMPARE(int(used.tempUnit()), 0);
    }

    void settingsRefuse_data()
    {
        QTest::addColumn<int>("which");
        QTest::newRow("span NaN") << 0;
        QTest::newRow("span equal ends") << 1;
        QTest::newRow("span below absolute zero") << 2;
        QTest::newRow("emissivity above 1") << 3;
        QTest::newRow("negative distance") << 4;
        QTest::newRow("title without NUL") << 5;
        QTest::newRow("title right before left") << 6;
        QTest::newRow("title below the picture") << 7;
        QTest::newRow("laser unit 2") << 8;
        QTest::newRow("frame rate 31 from a client") << 9;
    }
    void settingsRefuse()
    {
        QFETCH(int, which);
        const sim::DeviceProfile profile = dualProfile();
        sim::Settings s(profile);
        TMV_NET_OSD_CHANNEL_TITLE_INFO title;
        std::memset(&title, 0, sizeof title);
        TMV_NET_LASER_DISTANCE_OSD_PARAM laser;
        std::memset(&laser, 0, sizeof laser);
        bool accepted = true;
        switch (which) {
        case 0: accepted = s.setSpan(TMV_NET_TEMP_SPAN_INFO{1, {0, 0, 0}, float(qQNaN()), 50.0f}); break;
        case 1: accepted = s.setSpan(TMV_NET_TEMP_SPAN_INFO{1, {0, 0, 0}, 20.0f, 20.0f}); break;
        case 2: accepted = s.setSpan(TMV_NET_TEMP_SPAN_INFO{0, {0, 0, 0}, -300.0f, 20.0f}); break;
        case 3: accepted = s.setEnv(TMV_NET_ENV_PARAM{20.0f, 10.0f, 1.1f, 20.0f, 1.0f}); break;
        case 4: accepted = s.setEnv(TMV_NET_ENV_PARAM{20.0f, -1.0f, 0.9f, 20.0f, 1.0f}); break;
        case 5:
            std::memset(title.title, 'x', sizeof title.title);
            accepted = s.setChannelTitle(0, title);
            break;
        case 6:
            title.left = 100;
            title.right = 50;
            accepted = s.setChannelTitle(0, title);
            break;
        case 7:
            title.top = 512;
            accepted = s.setChannelTitle(0, title);
            break;
        case 8:
            laser.unit = 2;
            accepted = s.setLaserOsd(0, laser);
            break;
        case 9: accepted = s.setClientFrameRate(31); break;
        }
        QVERIFY(!accepted);
        QCOMPARE(s.thermal(0).manualSpan, false);
        QCOMPARE(s.env().emissivity, 1.0f);
        QCOMPARE(s.frameRate(0), sim::Settings::kDefaultFrameRate);
    }

    void textMasks()
    {
        const sim::AlphaMask one = sim::rasteriseText("Gate", 20);
        const sim::AlphaMask two = sim::rasteriseText("Gate 3 North", 20);
        QVERIFY(one.width > 20 && one.height >= 20);
        QVERIFY(two.width > one.width);
        QVERIFY(*std::max_element(one.alpha.begin(), one.alpha.end()) == 255);
        QVERIFY(sim::rasteriseText("", 20).alpha.empty());
        QVERIFY(sim::rasteriseText("Gate", 32).height > one.height);
    }

    // Flip mirrors the temperatures too; noise reduction and detail
    // enhancement change the picture and never the temperatures.
    void rendererApplies()
    {
        sim::ChannelRenderer renderer(true, 320, 256, 7);
        sim::Picture plain, flipped, enhanced;
        sim::ChannelView v = frontView();
        renderer.render(v, 5000000, plain);
        v.thermal.flip = sim::FlipMode::Horizontal;
        renderer.render(v, 5000000, flipped);
        int mirrored = 0;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 320; ++x)
                mirrored += flipped.temperature[size_t(y * 320 + 319 - x)] == plain.temperature[size_t(y * 320 + x)];
        QCOMPARE(mirrored, 320 * 256);

        v = frontView();
        v.thermal.denoise2D = 100;
        v.thermal.detail = 100;
        renderer.render(v, 5000000, enhanced);
        QVERIFY(enhanced.temperature == plain.temperature);
        QVERIFY(enhanced.rgba != plain.rgba);
    }

    // The bar shows the palette, hottest on top, at the right edge.
    void colourBarShowsThePalette()
    {
        sim::ChannelRenderer renderer(true, 640, 512, 7);
        sim::Picture picture;
        sim::ChannelView v = frontView();
        v.thermal.palette = 19;
        v.thermal.osd.colourBar = true;
        renderer.render(v, 5000000, picture);
        const int barX = 640 - 8 - 10 + 2;
        uint32_t top, bottom;
        std::memcpy(&top, &picture.rgba[size_t((512 / 8) * 640 + barX) * 4], 4);
        std::memcpy(&bottom, &picture.rgba[size_t((512 - 512 / 8 - 1) * 640 + barX) * 4], 4);
        QCOMPARE(rgb(top), rgb(sim::paletteColours(19)[255]));
        QCOMPARE(rgb(bottom), rgb(sim::paletteColours(19)[0]));
    }
};

QTEST_GUILESS_MAIN(TestRenderSettings)
#include "tst_rendersettings.moc"
