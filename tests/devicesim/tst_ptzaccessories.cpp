// The head's accessories and the electronic PTZ as pure functions and as
// classes driven at explicit simulation times: the digital window kept
// inside the picture, the bearing sensor from the head's tilt and speed,
// the lens values over held commands, the linkage's argument rules and the
// range finder's distances in the world.

#include "base/Status.h"
#include "device/Device.h"
#include "ptz/ElectronicPtz.h"
#include "ptz/PtzAccessories.h"
#include "world/World.h"

#include <QtTest>
#include <cmath>
#include <cstring>
#include <limits>

namespace pa = sim::ptzaccessories;

namespace {

constexpr int64_t kSecond = 1000000;

sim::DeviceProfile ptzProfile()
{
    sim::DeviceProfile p;
    p.kind = sim::DeviceKind::PtzDual;
    p.channels = {{true, 640, 512}, {false, 1920, 1080}};
    p.hfovDeg = {50, 60};
    for (int32_t *flag = &p.ability.zoom; flag <= &p.ability.reset; ++flag)
        *flag = 1;
    return p;
}

TMV_NET_PTZ_CONTROL lensCmd(int command, int stop, int channel = 1)
{
    TMV_NET_PTZ_CONTROL c{};
    c.channel = channel;
    c.command = command;
    c.stop = stop;
    return c;
}

TMV_NET_EPTZ_CONTROL eptzCmd(int command, int stop, int speed, int channel = 1)
{
    return TMV_NET_EPTZ_CONTROL{channel, command, speed, stop};
}

}  // namespace

Q_DECLARE_METATYPE(sim::eptz::Window)
Q_DECLARE_METATYPE(sim::eptz::Motion)

class TestPtzAccessories : public QObject {
    Q_OBJECT

private slots:
    void windowStaysInsideThePicture_data();
    void windowStaysInsideThePicture();
    void windowMovesWhileHeld_data();
    void windowMovesWhileHeld();
    void windowNarrowsTheView();
    void eptzCommandsOverTime();
    void bearingFromTiltAndSpeed_data();
    void bearingFromTiltAndSpeed();
    void lensValuesOverHeldCommands();
    void linkageRules_data();
    void linkageRules();
    void rangeInTheWorld();
};

void TestPtzAccessories::windowStaysInsideThePicture_data()
{
    QTest::addColumn<sim::eptz::Window>("in");
    QTest::addColumn<sim::eptz::Window>("out");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("inside stays") << sim::eptz::Window{2, 0.1, -0.2} << sim::eptz::Window{2, 0.1, -0.2};
    QTest::newRow("past the edges") << sim::eptz::Window{2, 0.4, -0.4} << sim::eptz::Window{2, 0.25, -0.25};
    QTest::newRow("zoom 1 is the whole picture") << sim::eptz::Window{1, 0.3, 0.3} << sim::eptz::Window{1, 0, 0};
    QTest::newRow("below 1") << sim::eptz::Window{0.5, 0.1, 0} << sim::eptz::Window{1, 0, 0};
    QTest::newRow("above the limit") << sim::eptz::Window{20, 0.49, 0} << sim::eptz::Window{8, 0.4375, 0};
    QTest::newRow("not finite") << sim::eptz::Window{nan, nan, inf} << sim::eptz::Window{1, 0, 0};
}

void TestPtzAccessories::windowStaysInsideThePicture()
{
    QFETCH(sim::eptz::Window, in);
    QFETCH(sim::eptz::Window, out);
    const sim::eptz::Window w = sim::eptz::clampWindow(in);
    QCOMPARE(w.zoom, out.zoom);
    QCOMPARE(w.x, out.x);
    QCOMPARE(w.y, out.y);
}

void TestPtzAccessories::windowMovesWhileHeld_data()
{
    QTest::addColumn<sim::eptz::Window>("from");
    QTest::addColumn<sim::eptz::Motion>("motion");
    QTest::addColumn<double>("seconds");
    QTest::addColumn<sim::eptz::Window>("to");
    using W = sim::eptz::Window;
    using M = sim::eptz::Motion;
    // Speed 8 at zoom 2: one window width (half the picture) per second.
    QTest::newRow("right") << W{2, 0, 0} << M{1, 0, sim::eptz::moveRate(8, 2), 0, 0} << 0.25 << W{2, 0.125, 0};
    QTest::newRow("up is towards the top") << W{4, 0, 0} << M{0, 1, sim::eptz::moveRate(4, 4), 0, 0} << 1.0
                                           << W{4, 0, -0.125};  // half its height
    QTest::newRow("down-left stops at the corner") << W{4, 0, 0} << M{-1, -1, sim::eptz::moveRate(8, 4), 0, 0} << 10.0
                                                   << W{4, -0.375, 0.375};
    QTest::newRow("zoom in at 8 doubles per second") << W{1, 0, 0} << M{0, 0, 0, 1, 8} << 1.0 << W{2, 0, 0};
    QTest::newRow("zoom in at 4 doubles in two") << W{1, 0, 0} << M{0, 0, 0, 1, 4} << 2.0 << W{2, 0, 0};
    QTest::newRow("zoom out pulls the window in") << W{4, 0.3, -0.3} << M{0, 0, 0, -1, 8} << 1.0 << W{2, 0.25, -0.25};
    QTest::newRow("zoom out at 1 stays") << W{1, 0, 0} << M{0, 0, 0, -1, 8} << 3.0 << W{1, 0, 0};
    QTest::newRow("zoom in stops at the limit") << W{1, 0, 0} << M{0, 0, 0, 1, 8} << 10.0 << W{8, 0, 0};
}

void TestPtzAccessories::windowMovesWhileHeld()
{
    QFETCH(sim::eptz::Window, from);
    QFETCH(sim::eptz::Motion, motion);
    QFETCH(double, seconds);
    QFETCH(sim::eptz::Window, to);
    const sim::eptz::Window w = sim::eptz::windowAfter(from, motion, seconds);
    QCOMPARE(w.zoom, to.zoom);
    QCOMPARE(w.x, to.x);
    QCOMPARE(w.y, to.y);
}

void TestPtzAccessories::windowNarrowsTheView()
{
    sim::View optical;
    optical.panDeg = 45;
    optical.tiltDeg = -2;
    optical.zoom = 2;
    optical.hfovDeg = 60;
    // Optical field 30 x 16.875 degrees; the window's centre a quarter of it
    // right and up.
    const sim::View v = sim::eptz::applyWindow(optical, {2, 0.25, -0.25}, 1920, 1080);
    QCOMPARE(v.panDeg, 52.5);
    QCOMPARE(v.tiltDeg, -2 + 0.25 * 16.875);
    QCOMPARE(v.zoom, 4.0);

    const sim::View ring = sim::View::panoramic();
    const sim::View same = sim::eptz::applyWindow(ring, {4, 0.3, 0.3}, 2880, 480);
    QCOMPARE(same.panDeg, ring.panDeg);
    QCOMPARE(same.zoom, ring.zoom);
}

// The class over a sequence of commands: the release of a direction keeps
// the zoom going, the release of the zoom keeps the window where it is.
void TestPtzAccessories::eptzCommandsOverTime()
{
    const sim::DeviceProfile profile = ptzProfile();
    sim::ElectronicPtz eptz(profile);
    QCOMPARE(eptz.control(eptzCmd(9, 0, 8), 0), sim::kOk);
    QCOMPARE(eptz.control(eptzCmd(3, 0, 8), kSecond), sim::kOk);  // zoom 2 now: half the picture per second
    QCOMPARE(eptz.control(eptzCmd(0, 1, 0), kSecond + kSecond / 4), sim::kOk);
    sim::eptz::Window w = eptz.windowAt(1, kSecond + kSecond / 4);
    QCOMPARE(w.x, 0.125);
    QVERIFY(w.zoom > 2.0);
    QCOMPARE(eptz.control(eptzCmd(8, 1, 0), 2 * kSecond), sim::kOk);
    w = eptz.windowAt(1, 10 * kSecond);
    QCOMPARE(w.zoom, 4.0);
    QCOMPARE(w.x, 0.125);
    QCOMPARE(eptz.windowAt(0, 10 * kSecond).zoom, 1.0);  // the other channel has its own window

    QCOMPARE(eptz.control(eptzCmd(3, 0, 0), 0), sim::kWrongParam);  // a press needs a speed
    QCOMPARE(eptz.control(eptzCmd(10, 0, 1), 0), sim::kWrongParam);
    QCOMPARE(eptz.control(eptzCmd(0, 0, 1, 2), 0), sim::kWrongParam);
    QCOMPARE(eptz.control(eptzCmd(0, 2, 1), 0), sim::kWrongParam);
}

void TestPtzAccessories::bearingFromTiltAndSpeed_data()
{
    QTest::addColumn<double>("tilt");
    QTest::addColumn<double>("panRate");
    QTest::addColumn<double>("tiltRate");
    // angle Y, angle Z, acceleration Y, acceleration Z, rotation X, Y, Z
    QTest::addColumn<QVector<double>>("expected");
    QTest::newRow("level, at rest") << 0.0 << 0.0 << 0.0 << QVector<double>{0, 90, 0, 1, 0, 0, 0};
    QTest::newRow("up 30") << 30.0 << 0.0 << 0.0 << QVector<double>{30, 60, 0.5, std::sqrt(3.0) / 2, 0, 0, 0};
    QTest::newRow("straight down") << -90.0 << 0.0 << 0.0 << QVector<double>{-90, 0, -1, 0, 0, 0, 0};
    QTest::newRow("panning level") << 0.0 << 60.0 << 0.0 << QVector<double>{0, 90, 0, 1, 0, 0, 60};
    QTest::newRow("panning tilted down 30") << -30.0 << 20.0 << 0.0
                                            << QVector<double>{-30, 60, -0.5, std::sqrt(3.0) / 2, 0, -10, 10 * std::sqrt(3.0)};
    QTest::newRow("tilting up") << 10.0 << 0.0 << 7.5 << QVector<double>{10, 80, std::sin(M_PI / 18), std::cos(M_PI / 18), 7.5, 0, 0};
}

void TestPtzAccessories::bearingFromTiltAndSpeed()
{
    QFETCH(double, tilt);
    QFETCH(double, panRate);
    QFETCH(double, tiltRate);
    QFETCH(QVector<double>, expected);
    const TMV_NET_ACCELERATION_DATA d = pa::bearing(123.5, tilt, panRate, tiltRate);
    const double got[] = {d.angleY, d.angleZ, d.accelerationY, d.accelerationZ, d.rotationX, d.rotationY, d.rotationZ};
    for (int i = 0; i < expected.size(); ++i)
        QVERIFY2(std::fabs(got[i] - expected[i]) < 1e-4,
                 qPrintable(QStringLiteral("field %1: %2, expected %3").arg(i).arg(got[i]).arg(expected[i])));
    // The head never rolls and the X axis stays level.
    QCOMPARE(d.angleX, 0.0f);
    QCOMPARE(d.accelerationX, 0.0f);
    QCOMPARE(d.angleRT, 0.0f);
    QCOMPARE(d.angleP, 123.5f);
    QCOMPARE(d.angleT, float(tilt));
}

void TestPtzAccessories::lensValuesOverHeldCommands()
{
    const sim::DeviceProfile profile = ptzProfile();
    sim::PtzAccessories acc(profile);
    QCOMPARE(acc.control(lensCmd(11, 0), 0), sim::kOk);  // focus far
    QCOMPARE(acc.focusAt(1, kSecond), 0.75);
    QCOMPARE(acc.focusAt(1, 10 * kSecond), 1.0);  // the end of its travel
    QCOMPARE(acc.control(lensCmd(11, 1), kSecond), sim::kOk);
    QCOMPARE(acc.focusAt(1, 10 * kSecond), 0.75);
    QCOMPARE(acc.control(lensCmd(12, 0), 2 * kSecond), sim::kOk);  // iris close
    QCOMPARE(acc.control(lensCmd(12, 1), 4 * kSecond), sim::kOk);
    QCOMPARE(acc.irisAt(1, 5 * kSecond), 0.0);
    QCOMPARE(acc.focusAt(0, 5 * kSecond), 0.5);  // the other lens did not move
    QCOMPARE(acc.lensInit(1, 6 * kSecond), sim::kOk);
    QCOMPARE(acc.focusAt(1, 7 * kSecond), 0.5);
    QCOMPARE(acc.irisAt(1, 7 * kSecond), 0.5);

    // Without the ability the device does not have the function.
    sim::DeviceProfile fixed = profile;
    fixed.kind = sim::DeviceKind::FixedThermal;
    fixed.ability = TMV_NET_DEV_ABILITY{};
    fixed.ability.focus = 1;
    sim::PtzAccessories fixedAcc(fixed);
    QCOMPARE(fixedAcc.control(lensCmd(10, 0, 0), 0), sim::kOk);
    QCOMPARE(fixedAcc.control(lensCmd(13, 0, 0), 0), sim::kNotSupported);
    QCOMPARE(fixedAcc.control(lensCmd(14, 0, 0), 0), sim::kNotSupported);
    QCOMPARE(fixedAcc.lensInit(0, 0), sim::kNotSupported);
}

void TestPtzAccessories::linkageRules_data()
{
    QTest::addColumn<QByteArray>("ip");
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("keepAlive");
    QTest::addColumn<bool>("valid");
    QTest::newRow("loopback") << QByteArray("127.0.0.12") << 80 << 5 << true;
    QTest::newRow("widest") << QByteArray("255.255.255.255") << 65535 << 45 << true;
    QTest::newRow("empty address") << QByteArray("") << 80 << 10 << false;
    QTest::newRow("three parts") << QByteArray("10.0.0") << 80 << 10 << false;
    QTest::newRow("five parts") << QByteArray("1.2.3.4.5") << 80 << 10 << false;
    QTest::newRow("part above 255") << QByteArray("10.0.0.256") << 80 << 10 << false;
    QTest::newRow("four digits") << QByteArray("0010.0.0.1") << 80 << 10 << false;
    QTest::newRow("empty part") << QByteArray("10..0.1") << 80 << 10 << false;
    QTest::newRow("trailing blank") << QByteArray("10.0.0.1 ") << 80 << 10 << false;
    QTest::newRow("a name") << QByteArray("camera.lan") << 80 << 10 << false;
    QTest::newRow("port 0") << QByteArray("10.0.0.1") << 0 << 10 << false;
    QTest::newRow("port 65536") << QByteArray("10.0.0.1") << 65536 << 10 << false;
    QTest::newRow("keep-alive 4") << QByteArray("10.0.0.1") << 80 << 4 << false;
    QTest::newRow("keep-alive 46") << QByteArray("10.0.0.1") << 80 << 46 << false;
}

void TestPtzAccessories::linkageRules()
{
    QFETCH(QByteArray, ip);
    QFETCH(int, port);
    QFETCH(int, keepAlive);
    QFETCH(bool, valid);
    TMV_NET_GUN_BALL_TRACK_CONFIG_INFO c{};
    std::strcpy(c.ip, ip.constData());
    c.port = port;
    c.keepAlive = keepAlive;
    QCOMPARE(pa::validLinkage(c), valid);
}

// Objects give their own distance, the ground the one its tilt gives, walls
// and trees their own, the sky nothing.
void TestPtzAccessories::rangeInTheWorld()
{
    const std::shared_ptr<const sim::World> world = sim::World::shared(7);
    const sim::ObjectState transformer = world->object(sim::ObjectKind::Transformer, 0);
    QCOMPARE(world->rangeM(transformer.panDeg, transformer.tiltDeg, 0), 25.0);
    QCOMPARE(world->rangeM(transformer.panDeg, 60.0, 0), 0.0);
    QVERIFY(std::fabs(world->rangeM(300.0, -45.0, 0) - sim::World::kCameraHeightM) < 1e-9);
    QCOMPARE(world->rangeM(std::nan(""), 0, 0), 0.0);

    // Buildings stand 75..195 m away, trees 35..85 m: every pixel of their
    // materials (16 shades each; walls 6..8, roof 10, canopy 11, trunk 12)
    // that no object hides reads within that range.
    const double t = 1000.0;
    const auto hidden = [&](double pan, double tilt) {
        for (const sim::ObjectState &o : world->objects(t))
            if (o.present && std::fabs(sim::wrapDegrees180(pan - o.panDeg)) < o.widthDeg
                && std::fabs(tilt - o.tiltDeg) < o.heightDeg)
                return true;
        return false;
    };
    int wallHits = 0, treeHits = 0;
    for (int r = 850; r < 960; r += 2) {
        const uint8_t *row = world->materialRow(r);
        for (int c = 0; c < sim::World::kRasterWidth; c += 3) {
            const int material = row[c] / 16;
            const double pan = (c + 0.5) / sim::World::kPixelsPerDegree;
            const double tilt = 90.0 - (r + 0.5) / sim::World::kPixelsPerDegree;
            const bool wall = (material >= 6 && material <= 8) || material == 10;
            const bool tree = material == 11 || material == 12;
            if ((!wall && !tree) || hidden(pan, tilt))
                continue;
            const double d = world->rangeM(pan, tilt, t);
            if (wall) {
                QVERIFY2(d >= 75 && d <= 195, qPrintable(QStringLiteral("wall at %1/%2: %3").arg(pan).arg(tilt).arg(d)));
                ++wallHits;
            } else {
                QVERIFY2(d >= 35 && d <= 85, qPrintable(QStringLiteral("tree at %1/%2: %3").arg(pan).arg(tilt).arg(d)));
                ++treeHits;
            }
        }
    }
    QVERIFY(wallHits > 0);
    QVERIFY(treeHits > 0);
}

QTEST_GUILESS_MAIN(TestPtzAccessories)
#include "tst_ptzaccessories.moc"
