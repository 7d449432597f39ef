// The head's accessories, the electronic PTZ and the stored PTZ settings
// through the library on the stepped clock: switches reported by the
// auxiliary state, the digital window moving the live picture while held,
// the zoom multiplier, the range finder and bearing sensor following the
// head, the settings' round trips and refusals, and what a camera without a
// head answers.

#include "PreviewSink.h"
#include "PtzLoginFixture.h"
#include "SimFixture.h"

#include <QtTest>
#include <cmath>
#include <cstring>
#include <functional>
#include <mutex>

namespace {

TMV_NET_PTZ_CONTROL ptz(int command, int stop, int speed = 0, int channel = 1)
{
    TMV_NET_PTZ_CONTROL c;
    std::memset(&c, 0, sizeof c);
    c.channel = channel;
    c.command = command;
    c.speed = speed;
    c.stop = stop;
    return c;
}

TMV_NET_GUN_BALL_TRACK_CONFIG_INFO linkage(const char *ip, int port, int keepAlive)
{
    TMV_NET_GUN_BALL_TRACK_CONFIG_INFO c;
    std::memset(&c, 0, sizeof c);
    qstrncpy(c.userName, "operator", sizeof c.userName);
    qstrncpy(c.password, "p\xC3\xA4ss word", sizeof c.password);
    qstrncpy(c.ip, ip, sizeof c.ip);
    c.port = port;
    c.keepAlive = keepAlive;
    c.enable = 1;
    c.https = 1;
    return c;
}

}  // namespace

using HandleCall = std::function<int32_t(TMV_NET_HANDLE)>;
Q_DECLARE_METATYPE(HandleCall)

class TestPtzAux : public QObject {
    Q_OBJECT
    PtzLoginFixture session_;

    int32_t control(const TMV_NET_PTZ_CONTROL &c) { return TMV_NET_PtzControl(session_.handle(), &c); }
    int32_t eptz(int command, int stop, int speed, int channel = 1)
    {
        const TMV_NET_EPTZ_CONTROL c{channel, command, speed, stop};
        return TMV_NET_ElectronicPtzControl(session_.handle(), &c);
    }
    TMV_NET_PTZ_AUX_STATE aux()
    {
        TMV_NET_PTZ_AUX_STATE s{};
        if (TMV_NET_GetPtzAuxState(session_.handle(), &s) != 0)
            qWarning("GetPtzAuxState failed");
        return s;
    }

private slots:
    void cleanupTestCase() { TMV_NET_Deinit(); }
    void init() { QVERIFY(session_.open()); }
    void cleanup() { session_.close(); }

    // Each switch command turns on exactly its own state (the record's order
    // is wiper, light, defrost, defog, fan, heater, auto focus, arrows) and
    // its stop turns it off again.
    void switchesShowInAuxState_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("field");
        const char *names[] = {"wiper", "light", "defrost", "defog", "fan", "heater", "auto focus", "arrows"};
        for (int i = 0; i < 8; ++i)
            QTest::newRow(names[i]) << 14 + i << i;
    }
    void switchesShowInAuxState()
    {
        QFETCH(int, command);
        QFETCH(int, field);
        QCOMPARE(aux().autoFocus, 1);  // on from the factory
        QCOMPARE(control(ptz(20, 1)), 0);
        const TMV_NET_PTZ_AUX_STATE before = aux();
        const TMV_NET_PTZ_AUX_STATE allOff{};
        QCOMPARE(std::memcmp(&before, &allOff, sizeof before), 0);

        QCOMPARE(control(ptz(command, 0, 0, 0)), 0);
        TMV_NET_PTZ_AUX_STATE on = aux();
        const int32_t *states = &on.wiper;
        for (int i = 0; i < 8; ++i)
            QCOMPARE(states[i], i == field ? 1 : 0);
        QCOMPARE(control(ptz(command, 1, 0, 0)), 0);
        TMV_NET_PTZ_AUX_STATE off = aux();
        QCOMPARE(std::memcmp(&before, &off, sizeof off), 0);
        QCOMPARE(control(ptz(command, 2, 0, 0)), 3);
    }

    // Zoomed in, a held "right" moves the window across the picture: the
    // frame shows the old one shifted left by the window's travel; after
    // the release the picture stays, and the head never moved.
    void eptzWindowMovesThePicture()
    {
        PreviewSink sink;
        TMV_NET_PREVIEW_INFO info{1, 0, 2};
        QCOMPARE(TMV_NET_StartPreview_V2(session_.handle(), &info, PreviewSink::onFrame, &sink), 0);
        TMV_NET_CURRENT_PTZ_INFO head{};
        QCOMPARE(TMV_NET_GetCurrentPtz_V1(session_.handle(), &head), 0);

        QCOMPARE(eptz(9, 0, 8), 0);  // zoom in: doubles in a second
        SimFixture::stepClock(1000);
        QCOMPARE(eptz(8, 1, 0), 0);
        SimFixture::stepClock(40);
        const QByteArray before = sink.pixels();
        QVERIFY(!before.isEmpty());

        // Speed 8 at zoom 2: a window width per second; a quarter second
        // moves it by a quarter of the frame.
        QCOMPARE(eptz(3, 0, 8), 0);
        SimFixture::stepClock(250);
        QCOMPARE(eptz(0, 1, 0), 0);
        SimFixture::stepClock(40);
        const QByteArray after = sink.pixels();
        const int w = sink.width, h = sink.height;
        const int shift = PictureDiff::bestShift(before, after, w, h, w / 2);
        QVERIFY2(std::abs(shift - w / 4) <= std::max(2, w / 40),
                 qPrintable(QStringLiteral("shift %1, expected %2").arg(shift).arg(w / 4)));

        SimFixture::stepClock(1000);
        QCOMPARE(PictureDiff::bestShift(after, sink.pixels(), w, h, w / 2), 0);
        TMV_NET_CURRENT_PTZ_INFO still{};
        QCOMPARE(TMV_NET_GetCurrentPtz_V1(session_.handle(), &still), 0);
        QCOMPARE(still.pan, head.pan);
        QCOMPARE(still.visZoom, head.visZoom);
        QCOMPARE(TMV_NET_StopPreview(session_.handle()), 0);
    }

    void eptzRefusals_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("stop");
        QTest::newRow("channel 2") << 2 << 0 << 1 << 0;
        QTest::newRow("command 10") << 0 << 10 << 1 << 0;
        QTest::newRow("speed 0 on press") << 0 << 3 << 0 << 0;
        QTest::newRow("speed 9 on press") << 0 << 9 << 9 << 0;
        QTest::newRow("stop 2") << 0 << 0 << 1 << 2;
    }
    void eptzRefusals()
    {
        QFETCH(int, channel);
        QFETCH(int, command);
        QFETCH(int, speed);
        QFETCH(int, stop);
        QCOMPARE(eptz(command, stop, speed, channel), 3);
    }

    void zoomMultiplier()
    {
        float zoom = 0;
        QCOMPARE(TMV_NET_GetPtzZoomMultiplier(session_.handle(), 1, &zoom), 0);
        QCOMPARE(zoom, 1.0f);
        QCOMPARE(TMV_NET_SetPtzZoomMultiplier(session_.handle(), 1, 4.5f), 0);
        QCOMPARE(TMV_NET_GetPtzZoomMultiplier(session_.handle(), 1, &zoom), 0);
        QCOMPARE(zoom, 4.5f);
        TMV_NET_CURRENT_PTZ_INFO info{};
        QCOMPARE(TMV_NET_GetCurrentPtz_V1(session_.handle(), &info), 0);
        QCOMPARE(info.visZoom, 4.5f);
        QCOMPARE(info.irZoom, 1.0f);  // each channel has its own lens

        const float refused[] = {0.99f, 32.5f, std::nanf(""), -4.0f};
        for (float value : refused)
            QCOMPARE(TMV_NET_SetPtzZoomMultiplier(session_.handle(), 1, value), 3);
        QCOMPARE(TMV_NET_SetPtzZoomMultiplier(session_.handle(), 2, 2.0f), 3);
        QCOMPARE(TMV_NET_GetPtzZoomMultiplier(session_.handle(), -1, &zoom), 3);
        QCOMPARE(TMV_NET_GetPtzZoomMultiplier(session_.handle(), 1, &zoom), 0);
        QCOMPARE(zoom, 4.5f);

        QCOMPARE(TMV_NET_PtzLensInit(session_.handle(), 1), 0);
        QCOMPARE(TMV_NET_GetPtzZoomMultiplier(session_.handle(), 1, &zoom), 0);
        QCOMPARE(zoom, 1.0f);
        QCOMPARE(TMV_NET_PtzLensInit(session_.handle(), 2), 3);
    }

    // Looking 45 degrees down the range finder meets the ground at the
    // mast's height; straight up it meets nothing.
    void laserDistanceFollowsTheHead()
    {
        // 60 deg/s less half the 0.2 s ramp: 43 degrees from the home tilt -2.
        QCOMPARE(control(ptz(1, 0, 8)), 0);
        SimFixture::stepClock(817);
        QCOMPARE(control(ptz(0, 1, 8)), 0);
        int32_t distance = -1;
        QCOMPARE(TMV_NET_GetLaserDistance(session_.handle(), &distance), 0);
        QCOMPARE(distance, 6);

        QCOMPARE(control(ptz(0, 0, 8)), 0);
        SimFixture::stepClock(4000);
        QCOMPARE(control(ptz(0, 1, 8)), 0);
        QCOMPARE(TMV_NET_GetLaserDistance(session_.handle(), &distance), 0);
        QCOMPARE(distance, 0);
    }

    // At rest the sensor reads the head's angles and gravity; turning right
    // at 60 deg/s it reads that rate about the body's tilted axes.
    void bearingFollowsTheHead()
    {
        TMV_NET_ACCELERATION_DATA d{};
        QCOMPARE(TMV_NET_GetAccelerationData(session_.handle(), &d), 0);
        QCOMPARE(d.angleP, 45.0f);
        QCOMPARE(d.angleT, -2.0f);
        QVERIFY(std::fabs(d.accelerationZ - std::cos(2.0 * M_PI / 180)) < 1e-5);
        QCOMPARE(d.rotationZ, 0.0f);

        QCOMPARE(control(ptz(3, 0, 8)), 0);
        SimFixture::stepClock(500);
        QCOMPARE(TMV_NET_GetAccelerationData(session_.handle(), &d), 0);
        QVERIFY2(std::fabs(d.rotationZ - 60 * std::cos(2.0 * M_PI / 180)) < 0.05, qPrintable(QString::number(d.rotationZ)));
        QVERIFY(std::fabs(d.rotationY + 60 * std::sin(2.0 * M_PI / 180)) < 0.05);
        QCOMPARE(d.rotationX, 0.0f);
        QCOMPARE(control(ptz(0, 1, 8)), 0);
        QCOMPARE(TMV_NET_GetAccelerationData(session_.handle(), &d), 0);
        QCOMPARE(d.rotationZ, 0.0f);
    }

    void powerOffConfig_data()
    {
        QTest::addColumn<int>("interval");
        QTest::addColumn<int>("status");
        QTest::newRow("shortest") << 1000 << 0;
        QTest::newRow("longest") << 30000 << 0;
        QTest::newRow("too short") << 999 << 3;
        QTest::newRow("too long") << 30001 << 3;
    }
    void powerOffConfig()
    {
        QFETCH(int, interval);
        QFETCH(int, status);
        TMV_NET_PTZ_POWER_OFF_CONFIG before{};
        QCOMPARE(TMV_NET_GetPtzPowerOffConfig(session_.handle(), &before), 0);
        TMV_NET_PTZ_POWER_OFF_CONFIG set{};
        set.enable = before.enable ? 0 : 1;
        set.interval = interval;
        QCOMPARE(TMV_NET_SetPtzPowerOffConfig(session_.handle(), &set), status);
        TMV_NET_PTZ_POWER_OFF_CONFIG got{};
        QCOMPARE(TMV_NET_GetPtzPowerOffConfig(session_.handle(), &got), 0);
        const TMV_NET_PTZ_POWER_OFF_CONFIG &expected = status == 0 ? set : before;
        QCOMPARE(std::memcmp(&got, &expected, sizeof got), 0);
    }

    void targetTrackConfigPerChannel()
    {
        TMV_NET_TARGET_TRACK_CONFIG set{};
        set.enable = 1;
        set.snapLinkage.enable = 1;
        set.snapLinkage.channels[1] = 1;
        set.recordLinkage.channels[0] = 1;
        QCOMPARE(TMV_NET_SetTargetTrackConfig(session_.handle(), 1, &set), 0);
        TMV_NET_TARGET_TRACK_CONFIG got{}, other{};
        QCOMPARE(TMV_NET_GetTargetTrackConfig(session_.handle(), 1, &got), 0);
        QCOMPARE(std::memcmp(&got, &set, sizeof got), 0);
        QCOMPARE(TMV_NET_GetTargetTrackConfig(session_.handle(), 0, &other), 0);
        QCOMPARE(other.enable, uint8_t(0));
        QCOMPARE(TMV_NET_SetTargetTrackConfig(session_.handle(), 2, &set), 3);
        QCOMPARE(TMV_NET_GetTargetTrackConfig(session_.handle(), -1, &got), 3);
    }

    // Stored as sent; a record the device cannot use is refused and the
    // stored one stays.
    void linkageRoundTripAndRefusals_data()
    {
        QTest::addColumn<QByteArray>("ip");
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("keepAlive");
        QTest::addColumn<int>("status");
        QTest::newRow("fits") << QByteArray("127.0.0.12") << 8443 << 45 << 0;
        QTest::newRow("not an address") << QByteArray("127.0.0") << 80 << 10 << 3;
        QTest::newRow("part above 255") << QByteArray("127.0.0.300") << 80 << 10 << 3;
        QTest::newRow("port 0") << QByteArray("127.0.0.12") << 0 << 10 << 3;
        QTest::newRow("keep-alive 4") << QByteArray("127.0.0.12") << 80 << 4 << 3;
        QTest::newRow("keep-alive 46") << QByteArray("127.0.0.12") << 80 << 46 << 3;
    }
    void linkageRoundTripAndRefusals()
    {
        QFETCH(QByteArray, ip);
        QFETCH(int, port);
        QFETCH(int, keepAlive);
        QFETCH(int, status);
        TMV_NET_GUN_BALL_TRACK_CONFIG_INFO before;
        std::memset(&before, 0, sizeof before);
        QCOMPARE(TMV_NET_GetGunBallTrackConfigInfo(session_.handle(), &before), 0);
        const TMV_NET_GUN_BALL_TRACK_CONFIG_INFO set = linkage(ip.constData(), port, keepAlive);
        QCOMPARE(TMV_NET_SetGunBallTrackConfigInfo(session_.handle(), &set), status);
        TMV_NET_GUN_BALL_TRACK_CONFIG_INFO got;
        std::memset(&got, 0, sizeof got);
        QCOMPARE(TMV_NET_GetGunBallTrackConfigInfo(session_.handle(), &got), 0);
        const TMV_NET_GUN_BALL_TRACK_CONFIG_INFO &expected = status == 0 ? set : before;
        QCOMPARE(std::memcmp(&got, &expected, sizeof got), 0);
    }

    // The fixed camera has no head: every head and lens call it has no
    // ability for answers 2. It has focus and auto focus, and a digital
    // window and the linkage need no head.
    void fixedCameraAnswers_data()
    {
        QTest::addColumn<HandleCall>("call");
        QTest::addColumn<int>("status");
        auto ctl = [](int command, int stop) {
            return [=](TMV_NET_HANDLE h) {
                const TMV_NET_PTZ_CONTROL c = ptz(command, stop, 0, 0);
                return TMV_NET_PtzControl(h, &c);
            };
        };
        QTest::newRow("iris") << HandleCall(ctl(12, 0)) << 2;
        QTest::newRow("wiper") << HandleCall(ctl(14, 0)) << 2;
        QTest::newRow("arrows") << HandleCall(ctl(21, 1)) << 2;
        QTest::newRow("focus") << HandleCall(ctl(10, 0)) << 0;
        QTest::newRow("auto focus") << HandleCall(ctl(20, 1)) << 0;
        QTest::newRow("LensInit") << HandleCall([](TMV_NET_HANDLE h) { return TMV_NET_PtzLensInit(h, 0); }) << 2;
        QTest::newRow("LaserDistance") << HandleCall([](TMV_NET_HANDLE h) {
            int32_t d = 0;
            return TMV_NET_GetLaserDistance(h, &d);
        }) << 2;
        QTest::newRow("GetZoom") << HandleCall([](TMV_NET_HANDLE h) {
            float z = 0;
            return TMV_NET_GetPtzZoomMultiplier(h, 0, &z);
        }) << 2;
        QTest::newRow("SetZoom") << HandleCall([](TMV_NET_HANDLE h) { return TMV_NET_SetPtzZoomMultiplier(h, 0, 2.0f); })
                                 << 2;
        QTest::newRow("Bearing") << HandleCall([](TMV_NET_HANDLE h) {
            TMV_NET_ACCELERATION_DATA d{};
            return TMV_NET_GetAccelerationData(h, &d);
        }) << 2;
        QTest::newRow("GetPowerOff") << HandleCall([](TMV_NET_HANDLE h) {
            TMV_NET_PTZ_POWER_OFF_CONFIG c{};
            return TMV_NET_GetPtzPowerOffConfig(h, &c);
        }) << 2;
        QTest::newRow("SetPowerOff") << HandleCall([](TMV_NET_HANDLE h) {
            TMV_NET_PTZ_POWER_OFF_CONFIG c{};
            c.interval = 5000;
            return TMV_NET_SetPtzPowerOffConfig(h, &c);
        }) << 2;
        QTest::newRow("GetTargetTrack") << HandleCall([](TMV_NET_HANDLE h) {
            TMV_NET_TARGET_TRACK_CONFIG c{};
            return TMV_NET_GetTargetTrackConfig(h, 0, &c);
        }) << 2;
        QTest::newRow("SetTargetTrack") << HandleCall([](TMV_NET_HANDLE h) {
            TMV_NET_TARGET_TRACK_CONFIG c{};
            return TMV_NET_SetTargetTrackConfig(h, 0, &c);
        }) << 2;
        QTest::newRow("EPTZ") << HandleCall([](TMV_NET_HANDLE h) {
            const TMV_NET_EPTZ_CONTROL c{0, 9, 4, 0};
            return TMV_NET_ElectronicPtzControl(h, &c);
        }) << 0;
        QTest::newRow("SetLinkage") << HandleCall([](TMV_NET_HANDLE h) {
            const TMV_NET_GUN_BALL_TRACK_CONFIG_INFO c = linkage("127.0.0.11", 80, 30);
            return TMV_NET_SetGunBallTrackConfigInfo(h, &c);
        }) << 0;
    }
    void fixedCameraAnswers()
    {
        QFETCH(HandleCall, call);
        QFETCH(int, status);
        QVERIFY(session_.relogin(SimFixture::kFixedCamera));
        QCOMPARE(call(session_.handle()), status);
    }

    // The panoramic strip is the whole turn already: no window in it.
    void panoramicHasNoWindow()
    {
        QVERIFY(session_.relogin(SimFixture::kPanoramicCamera));
        QCOMPARE(eptz(9, 0, 4, 0), 2);
    }

    // An injected failure comes back as it is; nothing changes.
    void injectedFailureChangesNothing()
    {
        SimFixture::fail("TMV_NET_PtzControl", 7);
        QCOMPARE(control(ptz(14, 0)), 7);
        QCOMPARE(aux().wiper, 0);
    }
};

QTEST_GUILESS_MAIN(TestPtzAux)
#include "tst_ptzaux.moc"
