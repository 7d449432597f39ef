// The head's geometry: 3D positioning centres the view on the rectangle and
// zooms so that it fills the picture; presets bring back pan, tilt and every
// lens's zoom after travelling there; the preset the head stands at follows
// every move.

#include "base/SimClock.h"
#include "device/Device.h"
#include "ptz/PtzHead.h"

#include <QtTest>

namespace {

// The PTZ camera's two lenses: 640x512 thermal with 50 degrees across,
// 1920x1080 visible with 60.
sim::DeviceProfile ptzProfile()
{
    sim::DeviceProfile p;
    p.kind = sim::DeviceKind::PtzDual;
    p.channels = {{true, 640, 512}, {false, 1920, 1080}};
    p.hfovDeg = {50, 60};
    p.homePanDeg = 45;
    p.homeTiltDeg = -2;
    return p;
}

TMV_NET_PRESET_INFO slot(int id)
{
    TMV_NET_PRESET_INFO p{};
    p.enable = 1;
    p.id = id;
    return p;
}

}  // namespace

class TestPtzHead : public QObject {
    Q_OBJECT

private slots:
    void position3D_data()
    {
        QTest::addColumn<int>("x0");
        QTest::addColumn<int>("y0");
        QTest::addColumn<int>("x1");
        QTest::addColumn<int>("y1");
        QTest::addColumn<double>("pan");
        QTest::addColumn<double>("tilt");
        QTest::addColumn<double>("zoom");
        // Thermal: 50 degrees across, 40 down at zoom 1.
        QTest::newRow("whole picture") << 0 << 0 << 8192 << 8192 << 45.0 << -2.0 << 1.0;
        QTest::newRow("top-left quarter") << 0 << 0 << 4096 << 4096 << 32.5 << 8.0 << 2.0;
        QTest::newRow("drawn bottom-right to top-left") << 4096 << 4096 << 0 << 0 << 32.5 << 8.0 << 2.0;
        QTest::newRow("wide strip: width decides") << 2048 << 3072 << 6144 << 5120 << 45.0 << -2.0 << 2.0;
        QTest::newRow("tall strip: height decides") << 3584 << 0 << 4608 << 8192 << 45.0 << -2.0 << 1.0;
        QTest::newRow("small square") << 3840 << 3840 << 4352 << 4352 << 45.0 << -2.0 << 16.0;
        QTest::newRow("tiny: longest lens") << 4091 << 4091 << 4101 << 4101 << 45.0 << -2.0 << 32.0;
        QTest::newRow("a click only centres") << 8192 << 4096 << 8192 << 4096 << 70.0 << -2.0 << 1.0;
        QTest::newRow("beyond the left edge wraps") << -20480 << 0 << -12288 << 8192 << 280.0 << -2.0 << 1.0;
    }
    void position3D()
    {
        QFETCH(int, x0);
        QFETCH(int, y0);
        QFETCH(int, x1);
        QFETCH(int, y1);
        QFETCH(double, pan);
        QFETCH(double, tilt);
        QFETCH(double, zoom);
        const sim::DeviceProfile profile = ptzProfile();
        sim::PtzHead head(profile);
        QCOMPARE(head.position3D({0, x0, y0, x1, y1}), 0);
        QCOMPARE(head.panDeg(), pan);
        QCOMPARE(head.tiltDeg(), tilt);
        QCOMPARE(head.zoom(0), zoom);
        QCOMPARE(head.zoom(1), zoom);  // both lenses, so the channels stay aligned
        const sim::View v = head.viewAt(0, 0);
        QCOMPARE(v.panDeg, pan);
        QCOMPARE(v.zoom, zoom);
    }

    void presetFollowsTheHead()
    {
        const sim::DeviceProfile profile = ptzProfile();
        sim::PtzHead head(profile);
        QCOMPARE(head.currentPreset(), 0);
        QCOMPARE(head.position3D({1, 0, 0, 4096, 4096}), 0);
        QCOMPARE(head.presetControl(0, slot(2)), 0);
        QCOMPARE(head.currentPreset(), 2);
        const double pan = head.panDeg(), tilt = head.tiltDeg(), zoom = head.zoom(0);

        QCOMPARE(head.manualTrack({0, 6000, 6000, 7000, 7000, 0}), 0);
        QVERIFY(head.tracking());
        QCOMPARE(head.currentPreset(), 0);
        QVERIFY(head.panDeg() != pan);
        QCOMPARE(head.zoom(0), zoom);  // tracking turns, it does not zoom

        // The move travels: on the way the head stands at no preset.
        sim::SimClock &clock = sim::SimClock::instance();
        clock.pause();
        QCOMPARE(head.presetControl(2, slot(2)), 0);
        QCOMPARE(head.currentPreset(), 0);
        QVERIFY(head.moving());
        clock.step(10 * 1000000);
        clock.resume();
        QVERIFY(!head.moving());
        QCOMPARE(head.currentPreset(), 2);
        QVERIFY(!head.tracking());  // a move to a preset ends tracking
        QCOMPARE(head.panDeg(), pan);
        QCOMPARE(head.tiltDeg(), tilt);
        QCOMPARE(head.zoom(0), zoom);

        QCOMPARE(head.regionFocus({0, 0, 0, 100, 100, 0}), 0);
        QCOMPARE(head.currentPreset(), 2);  // focus leaves the view alone
        QCOMPARE(head.presetControl(3, slot(2)), 0);
        QCOMPARE(head.currentPreset(), 0);
        QCOMPARE(head.presetControl(2, slot(2)), 1);  // deleted: nothing to move to
    }

    void manualTrackStops()
    {
        const sim::DeviceProfile profile = ptzProfile();
        sim::PtzHead head(profile);
        QCOMPARE(head.manualTrack({0, 0, 0, 8192, 8192, 0}), 0);
        QVERIFY(head.tracking());
        QCOMPARE(head.manualTrack({0, 0, 0, 0, 0, 1}), 0);
        QVERIFY(!head.tracking());
        QCOMPARE(head.panDeg(), 45.0);
    }

    void resetForgetsPresets()
    {
        const sim::DeviceProfile profile = ptzProfile();
        sim::PtzHead head(profile);
        QCOMPARE(head.presetControl(0, slot(1)), 0);
        head.reset();
        QCOMPARE(head.currentPreset(), 0);
        QCOMPARE(int(head.presets().at(0).enable), 0);
    }
};

QTEST_GUILESS_MAIN(TestPtzHead)
#include "tst_ptzhead.moc"
