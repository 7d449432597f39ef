// Head motion while a direction or a zoom is held: the speed steps, the ramp,
// pan wrapping, tilt and zoom limits, the axes of each direction, and the head
// integrating its commands over explicit simulation times.

#include "base/Status.h"
#include "device/Device.h"
#include "ptz/PtzHead.h"
#include "ptz/PtzMotion.h"

#include <QtTest>

namespace pm = sim::ptzmotion;

namespace {

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

TMV_NET_PTZ_CONTROL cmd(int command, int stop, int speed = 1, int channel = 0)
{
    TMV_NET_PTZ_CONTROL c{};
    c.channel = channel;
    c.command = command;
    c.speed = speed;
    c.stop = stop;
    return c;
}

constexpr int64_t kSecond = 1000000;

}  // namespace

class TestPtzMotion : public QObject {
    Q_OBJECT

private slots:
    void speedSteps_data()
    {
        QTest::addColumn<int>("speed");
        QTest::addColumn<double>("degPerSec");
        QTest::newRow("slowest") << 1 << 7.5;
        QTest::newRow("middle") << 4 << 30.0;
        QTest::newRow("fastest") << 8 << 60.0;
        QTest::newRow("0 clamps to the slowest") << 0 << 7.5;
        QTest::newRow("64 clamps to the fastest") << 64 << 60.0;
        QTest::newRow("negative clamps") << -3 << 7.5;
    }
    void speedSteps()
    {
        QFETCH(int, speed);
        QFETCH(double, degPerSec);
        QCOMPARE(pm::degreesPerSecond(speed), degPerSec);
    }

    // The ramp: even acceleration over 0.2 s, then full speed; the distance
    // is continuous where the ramp ends.
    void rampThenFullSpeed_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<double>("degrees");
        QTest::newRow("not yet") << 0.0 << 0.0;
        QTest::newRow("clock behind the command") << -0.5 << 0.0;
        QTest::newRow("half the ramp") << 0.1 << 0.25;
        QTest::newRow("end of the ramp") << 0.2 << 1.0;
        QTest::newRow("one second") << 1.0 << 9.0;
        QTest::newRow("ten seconds") << 10.0 << 99.0;
    }
    void rampThenFullSpeed()
    {
        QFETCH(double, seconds);
        QFETCH(double, degrees);
        QCOMPARE(pm::travelled(10.0, seconds) + 1.0, degrees + 1.0);  // fuzzy near 0
    }

    void panWraps_data()
    {
        QTest::addColumn<double>("from");
        QTest::addColumn<int>("dir");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<double>("pan");
        // 60 deg/s: 54 degrees in the first second, 60 each after.
        QTest::newRow("right") << 45.0 << 1 << 1.0 << 99.0;
        QTest::newRow("left") << 100.0 << -1 << 1.0 << 46.0;
        QTest::newRow("right past 360") << 350.0 << 1 << 1.0 << 44.0;
        QTest::newRow("left past 0") << 10.0 << -1 << 1.0 << 316.0;
        QTest::newRow("more than a turn") << 0.0 << 1 << 7.1 << 60.0;
        QTest::newRow("no direction") << 123.0 << 0 << 5.0 << 123.0;
    }
    void panWraps()
    {
        QFETCH(double, from);
        QFETCH(int, dir);
        QFETCH(double, seconds);
        QFETCH(double, pan);
        const double got = pm::panAfter(from, dir, 60.0, seconds);
        QVERIFY2(qAbs(got - pan) < 1e-9, qPrintable(QString::number(got)));
        QVERIFY(got >= 0 && got < 360);
    }

    void tiltStopsAtItsLimits_data()
    {
        QTest::addColumn<double>("from");
        QTest::addColumn<int>("dir");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<double>("tilt");
        QTest::newRow("up") << 0.0 << 1 << 1.0 << 54.0;
        QTest::newRow("down") << 0.0 << -1 << 1.0 << -54.0;
        QTest::newRow("up to the top") << 60.0 << 1 << 1.0 << 90.0;
        QTest::newRow("held long at the bottom") << -80.0 << -1 << 100.0 << -90.0;
        QTest::newRow("from the top down") << 90.0 << -1 << 1.0 << 36.0;
    }
    void tiltStopsAtItsLimits()
    {
        QFETCH(double, from);
        QFETCH(int, dir);
        QFETCH(double, seconds);
        QFETCH(double, tilt);
        QCOMPARE(pm::tiltAfter(from, dir, 60.0, seconds), tilt);
    }

    void zoomWithinItsRange_data()
    {
        QTest::addColumn<double>("from");
        QTest::addColumn<int>("dir");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<double>("zoom");
        QTest::newRow("in one second doubles") << 1.0 << 1 << 1.0 << 2.0;
        QTest::newRow("in three seconds") << 2.0 << 1 << 3.0 << 16.0;
        QTest::newRow("in stops at the longest lens") << 16.0 << 1 << 10.0 << 32.0;
        QTest::newRow("out halves") << 8.0 << -1 << 1.0 << 4.0;
        QTest::newRow("out stops at the widest") << 1.5 << -1 << 5.0 << 1.0;
        QTest::newRow("not held") << 3.0 << 0 << 5.0 << 3.0;
    }
    void zoomWithinItsRange()
    {
        QFETCH(double, from);
        QFETCH(int, dir);
        QFETCH(double, seconds);
        QFETCH(double, zoom);
        QCOMPARE(pm::zoomAfter(from, dir, seconds, 32.0), zoom);
    }

    void directionAxes_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("direction");
        QTest::addColumn<int>("pan");
        QTest::addColumn<int>("tilt");
        QTest::newRow("0 up") << 0 << true << 0 << 1;
        QTest::newRow("1 down") << 1 << true << 0 << -1;
        QTest::newRow("2 left") << 2 << true << -1 << 0;
        QTest::newRow("3 right") << 3 << true << 1 << 0;
        QTest::newRow("4 up-left") << 4 << true << -1 << 1;
        QTest::newRow("5 up-right") << 5 << true << 1 << 1;
        QTest::newRow("6 down-left") << 6 << true << -1 << -1;
        QTest::newRow("7 down-right") << 7 << true << 1 << -1;
        QTest::newRow("8 zoom out is no direction") << 8 << false << 0 << 0;
        QTest::newRow("-1") << -1 << false << 0 << 0;
    }
    void directionAxes()
    {
        QFETCH(int, command);
        QFETCH(bool, direction);
        QFETCH(int, pan);
        QFETCH(int, tilt);
        int p = 0, t = 0;
        QCOMPARE(pm::directionAxes(command, &p, &t), direction);
        QCOMPARE(p, pan);
        QCOMPARE(t, tilt);
    }

    // The head over explicit times: a view between commands lies on the
    // motion, a stop keeps the position, a new direction ramps again.
    void headIntegratesItsCommands()
    {
        const sim::DeviceProfile profile = ptzProfile();
        sim::PtzHead head(profile);
        const int64_t t0 = 100 * kSecond;
        QCOMPARE(head.control(cmd(3, 0, 8), t0), 0);  // right at 60 deg/s
        QVERIFY(head.moving());
        QCOMPARE(head.currentPreset(), 0);
        QCOMPARE(head.panDegAt(t0), 45.0);
        QCOMPARE(head.panDegAt(t0 + kSecond), 99.0);
        QCOMPARE(head.viewAt(1, t0 + kSecond).panDeg, 99.0);
        QCOMPARE(head.tiltDegAt(t0 + kSecond), -2.0);
        // Release with command 0, as the client sends it: stops the right turn.
        QCOMPARE(head.control(cmd(0, 1, 1), t0 + kSecond), 0);
        QVERIFY(!head.moving());
        QCOMPARE(head.panDegAt(t0 + 10 * kSecond), 99.0);
        // Down-left from rest: both axes, the ramp again.
        QCOMPARE(head.control(cmd(6, 0, 4), t0 + 2 * kSecond), 0);
        QCOMPARE(head.panDegAt(t0 + 3 * kSecond), 99.0 - 27.0);
        QCOMPARE(head.tiltDegAt(t0 + 3 * kSecond), -2.0 - 27.0);
        QCOMPARE(head.tiltDegAt(t0 + 10 * kSecond), -90.0);
        QCOMPARE(head.control(cmd(2, 1, 8), t0 + 10 * kSecond), 0);
        QCOMPARE(head.tiltDegAt(t0 + 20 * kSecond), -90.0);
        // Zoom in on channel 1 zooms both lenses; its release stops it.
        QCOMPARE(head.control(cmd(9, 0, 0, 1), t0 + 20 * kSecond), 0);
        QCOMPARE(head.zoomAt(0, t0 + 22 * kSecond), 4.0);
        QCOMPARE(head.control(cmd(9, 1, 0, 1), t0 + 22 * kSecond), 0);
        QCOMPARE(head.viewAt(0, t0 + 30 * kSecond).zoom, 4.0);
        QCOMPARE(head.zoomAt(1, t0 + 30 * kSecond), 4.0);
    }

    void commandsRefused_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("stop");
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("status");
        const int ptz = int(sim::DeviceKind::PtzDual);
        const int fixed = int(sim::DeviceKind::FixedThermal);
        QTest::newRow("right") << ptz << 3 << 1 << 0 << 0 << 0;
        QTest::newRow("speed 0") << ptz << 3 << 0 << 0 << 0 << int(sim::kWrongParam);
        QTest::newRow("speed 9") << ptz << 3 << 9 << 0 << 0 << int(sim::kWrongParam);
        QTest::newRow("release ignores the speed") << ptz << 0 << 0 << 1 << 0 << 0;
        QTest::newRow("stop 2") << ptz << 3 << 1 << 2 << 0 << int(sim::kWrongParam);
        QTest::newRow("channel 2") << ptz << 3 << 1 << 0 << 2 << int(sim::kWrongParam);
        QTest::newRow("command 22") << ptz << 22 << 1 << 0 << 0 << int(sim::kWrongParam);
        QTest::newRow("wiper on") << ptz << 14 << 0 << 0 << 0 << 0;
        QTest::newRow("focus near") << ptz << 10 << 0 << 0 << 0 << 0;
        QTest::newRow("fixed camera") << fixed << 3 << 1 << 0 << 0 << int(sim::kNotSupported);
    }
    void commandsRefused()
    {
        QFETCH(int, kind);
        QFETCH(int, command);
        QFETCH(int, speed);
        QFETCH(int, stop);
        QFETCH(int, channel);
        QFETCH(int, status);
        sim::DeviceProfile profile = ptzProfile();
        profile.kind = sim::DeviceKind(kind);
        sim::PtzHead head(profile);
        QCOMPARE(head.control(cmd(command, stop, speed, channel), kSecond), status);
        if (status != 0)
            QVERIFY(!head.moving());
    }
};

QTEST_GUILESS_MAIN(TestPtzMotion)
#include "tst_ptzmotion.moc"
