// Holding a direction through the library on the stepped clock: the head
// turns by speed x time less the ramp, the live picture turns with it, tilt
// stops at its limits, the release stops everything, zoom changes the fields
// of view, and heads that cannot turn answer as such.

#include "PreviewSink.h"
#include "PtzLoginFixture.h"
#include "SimFixture.h"

#include <QtTest>
#include <cmath>
#include <cstring>
#include <mutex>

namespace {

// The record as the page sends it: press fills the speed, release is
// command 0 with stop 1 whatever was pressed.
TMV_NET_PTZ_CONTROL press(int command, int speed, int channel = 1)
{
    TMV_NET_PTZ_CONTROL c;
    std::memset(&c, 0, sizeof c);
    c.channel = channel;
    c.command = command;
    c.speed = speed;
    return c;
}

TMV_NET_PTZ_CONTROL release(int speed, int channel = 1)
{
    TMV_NET_PTZ_CONTROL c = press(0, speed, channel);
    c.stop = 1;
    return c;
}

// 7.5 deg/s per speed step, less half the 0.2 s ramp.
double expectedTurn(int speed, double seconds)
{
    return 7.5 * speed * (seconds - 0.1);
}

}  // namespace

class TestPtzControl : public QObject {
    Q_OBJECT
    PtzLoginFixture session_;

    TMV_NET_CURRENT_PTZ_INFO coordinates()
    {
        TMV_NET_CURRENT_PTZ_INFO info{};
        const int32_t status = TMV_NET_GetCurrentPtz_V1(session_.handle(), &info);
        if (status != 0)
            qWarning("GetCurrentPtz_V1: %d", status);
        return info;
    }

    int32_t control(const TMV_NET_PTZ_CONTROL &c) { return TMV_NET_PtzControl(session_.handle(), &c); }

private slots:
    void cleanupTestCase() { TMV_NET_Deinit(); }
    void init() { QVERIFY(session_.open()); }
    void cleanup() { session_.close(); }

    // Hold "Right" for one simulated second: the head turns by speed x 1 s
    // less the ramp, the picture moves left by as many columns, and after
    // the release further steps change nothing.
    void holdingRightTurnsThePicture()
    {
        PreviewSink sink;
        TMV_NET_PREVIEW_INFO info{1, 0, 2};
        QCOMPARE(TMV_NET_StartPreview_V2(session_.handle(), &info, PreviewSink::onFrame, &sink), 0);
        SimFixture::stepClock(0);
        const QByteArray before = sink.pixels();
        QVERIFY(!before.isEmpty());
        const TMV_NET_CURRENT_PTZ_INFO start = coordinates();

        const int speed = 1;
        QCOMPARE(control(press(3, speed)), 0);
        SimFixture::stepClock(1000);
        QCOMPARE(control(release(speed)), 0);
        const TMV_NET_CURRENT_PTZ_INFO moved = coordinates();
        const double turn = expectedTurn(speed, 1.0);
        QVERIFY2(std::fabs(moved.pan - start.pan - turn) < 0.01, qPrintable(QString::number(moved.pan)));
        QCOMPARE(moved.tilt, start.tilt);

        // The frame of that instant shows the turn: the best match of the
        // old picture lies `turn` degrees of the visible field to the left.
        const QByteArray after = sink.pixels();
        QVERIFY(after != before);
        const int w = sink.width, h = sink.height;
        const int expectedDx = int(std::lround(turn / moved.visFovH * w));
        const int bestDx = PictureDiff::bestShift(before, after, w, h, w / 3);
        QVERIFY2(std::abs(bestDx - expectedDx) <= std::max(2, expectedDx / 10),
                 qPrintable(QStringLiteral("shift %1, expected %2").arg(bestDx).arg(expectedDx)));

        SimFixture::stepClock(2000);
        const TMV_NET_CURRENT_PTZ_INFO later = coordinates();
        QCOMPARE(later.pan, moved.pan);
        QCOMPARE(later.tilt, moved.tilt);
        QCOMPARE(later.visZoom, moved.visZoom);
        QCOMPARE(TMV_NET_StopPreview(session_.handle()), 0);
    }

    void tiltStopsAtItsLimit_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<float>("tilt");
        QTest::addColumn<float>("panTurn");
        QTest::newRow("up") << 0 << 90.0f << 0.0f;
        QTest::newRow("down") << 1 << -90.0f << 0.0f;
        QTest::newRow("up-right: pan goes on") << 5 << 90.0f << float(expectedTurn(8, 4.0));
        QTest::newRow("down-left") << 6 << -90.0f << float(-expectedTurn(8, 4.0));
    }
    void tiltStopsAtItsLimit()
    {
        QFETCH(int, command);
        QFETCH(float, tilt);
        QFETCH(float, panTurn);
        const TMV_NET_CURRENT_PTZ_INFO start = coordinates();
        QCOMPARE(control(press(command, 8, 0)), 0);
        SimFixture::stepClock(4000);  // 228 degrees at 60 deg/s
        QCOMPARE(control(release(8, 0)), 0);
        const TMV_NET_CURRENT_PTZ_INFO end = coordinates();
        QCOMPARE(end.tilt, tilt);
        const double pan = std::fmod(start.pan + panTurn + 720.0, 360.0);
        QVERIFY2(std::fabs(end.pan - pan) < 0.01, qPrintable(QString::number(end.pan)));
    }

    // Zoom in held one second doubles both lenses and halves their fields.
    void zoomChangesTheFields()
    {
        const TMV_NET_CURRENT_PTZ_INFO start = coordinates();
        QCOMPARE(start.visZoom, 1.0f);
        QCOMPARE(control(press(9, 0)), 0);
        SimFixture::stepClock(1000);
        TMV_NET_PTZ_CONTROL stop = press(9, 0);
        stop.stop = 1;
        QCOMPARE(TMV_NET_PtzControl(session_.handle(), &stop), 0);
        SimFixture::stepClock(1000);
        const TMV_NET_CURRENT_PTZ_INFO end = coordinates();
        QCOMPARE(end.visZoom, 2.0f);
        QCOMPARE(end.irZoom, 2.0f);
        QCOMPARE(end.visFovH, start.visFovH / 2);
        QCOMPARE(end.irFovV, start.irFovV / 2);
        QCOMPARE(end.pan, start.pan);
    }

    void headlessCamerasAnswerNotSupported_data()
    {
        QTest::addColumn<QString>("ip");
        QTest::newRow("fixed") << SimFixture::kFixedCamera;
        QTest::newRow("panoramic") << SimFixture::kPanoramicCamera;
    }
    void headlessCamerasAnswerNotSupported()
    {
        QFETCH(QString, ip);
        QVERIFY(session_.relogin(ip.toLatin1()));
        QCOMPARE(control(press(3, 1, 0)), 2);
        QCOMPARE(control(release(1, 0)), 2);
        TMV_NET_CURRENT_PTZ_INFO info{};
        QCOMPARE(TMV_NET_GetCurrentPtz_V1(session_.handle(), &info), 2);
    }
};

QTEST_GUILESS_MAIN(TestPtzControl)
#include "tst_ptzcontrol.moc"
