// Several client processes on one device of the service, and the control
// port they share: a preset move made by one process turns the picture the
// other watches; the control interface acts on the service by every rule of
// its arguments, and answers -1 where there is no service to ask.
#include "DeviceService.h"
#include "PreviewSink.h"
#include "TMVNetSDK.h"
#include "TMVSimControl.h"

#include <QCoreApplication>
#include <QProcess>
#include <QtTest>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

const char *const kPtz = "127.0.0.51";

TMV_NET_HANDLE login(int port)
{
    TMV_NET_LOGIN_INFO info;
    std::memset(&info, 0, sizeof info);
    std::strncpy(info.ip, kPtz, sizeof info.ip - 1);
    info.port = port;
    std::strncpy(info.userName, "admin", sizeof info.userName - 1);
    std::strncpy(info.password, "sensor852", sizeof info.password - 1);
    TMV_NET_HANDLE h = nullptr;
    return TMV_NET_Login(&info, &h) == TMV_NET_SUCCESS ? h : nullptr;
}

// The other process: sends the head to a preset and leaves.
int gotoPreset(int port, int id)
{
    TMV_NET_Init();
    TMV_NET_HANDLE h = login(port);
    TMV_NET_PRESET_INFO preset{};
    preset.id = id;
    const int32_t status = h ? TMV_NET_PtzPresetControl(h, 2, &preset) : -1;
    if (h)
        TMV_NET_Logout(h);
    TMV_NET_Deinit();
    return status == TMV_NET_SUCCESS ? 0 : 1;
}

}  // namespace

class TestNetworkClients : public QObject
{
    Q_OBJECT

    DeviceService m_service{{{"ptz-dual", kPtz}}};

private slots:
    void initTestCase()
    {
        QCOMPARE(TMV_NET_Init(), TMV_NET_SUCCESS);
        QVERIFY2(m_service.start(), qPrintable(m_service.log()));
        m_service.pointLibraryAtIt();
    }

    void cleanupTestCase()
    {
        TMV_NET_Deinit();
        m_service.stop();
    }

    // The head is the device's: a preset that another process recalls turns
    // the picture this one watches, on the clock this one steps.
    void presetMoveShowsInTheOtherClientsPicture()
    {
        TMV_NET_HANDLE h = login(m_service.port());
        QVERIFY(h);
        TMVSim_ClockPause();
        PreviewSink sink;
        const TMV_NET_PREVIEW_INFO thermal{0, 0, 2};
        QCOMPARE(TMV_NET_StartPreview_V2(h, &thermal, PreviewSink::onFrame, &sink), TMV_NET_SUCCESS);
        TMV_NET_CURRENT_PTZ_INFO home{};
        QCOMPARE(TMV_NET_GetCurrentPtz_V1(h, &home), TMV_NET_SUCCESS);

        // Preset 1 a quarter turn to the right; then back home.
        const TMV_NET_PTZ_POSITION right{std::fmod(home.pan + 90.0f, 360.0f) * 100, home.tilt * 100, 0};
        QCOMPARE(TMV_NET_PtzPosition(h, &right), TMV_NET_SUCCESS);
        TMVSim_ClockStep(5000);
        const QByteArray atPreset = sink.pixels();
        TMV_NET_PRESET_INFO preset{};
        preset.enable = 1;
        preset.id = 1;
        std::strcpy(preset.name, "Gate");
        QCOMPARE(TMV_NET_PtzPresetControl(h, 0, &preset), TMV_NET_SUCCESS);
        const TMV_NET_PTZ_POSITION back{home.pan * 100, home.tilt * 100, 0};
        QCOMPARE(TMV_NET_PtzPosition(h, &back), TMV_NET_SUCCESS);
        TMVSim_ClockStep(5000);
        const QByteArray atHome = sink.pixels();
        const double apart = PictureDiff::mean(atHome, atPreset);
        QVERIFY2(apart > 5, qPrintable(QString::number(apart)));

        QProcess other;
        other.start(QCoreApplication::applicationFilePath(),
                    {"--goto-preset", QString::number(m_service.port()), "1"});
        QVERIFY(other.waitForFinished(10000));
        QCOMPARE(other.exitCode(), 0);
        // Still home until the clock moves the head.
        QCOMPARE(sink.pixels(), atHome);
        TMVSim_ClockStep(5000);
        // What moves in the world differs; the view is the preset's.
        const double there = PictureDiff::mean(sink.pixels(), atPreset);
        QVERIFY2(there < apart / 8, qPrintable(QStringLiteral("%1 vs %2").arg(there).arg(apart)));

        QCOMPARE(TMV_NET_StopPreview(h), TMV_NET_SUCCESS);
        QCOMPARE(TMV_NET_Logout(h), TMV_NET_SUCCESS);
        TMVSim_ClockResume();
    }

    // Texts, bytes and records come back within the caller's buffers, and
    // faults and the journal are the service's, where the calls run.
    void controlActsOnTheService()
    {
        QCOMPARE(TMVSim_DeviceCount(), 1);
        char address[16];
        std::memset(address, 'x', sizeof address);
        QCOMPARE(TMVSim_DeviceAddress(0, address, sizeof address), 0);
        QCOMPARE(QByteArray(address), QByteArray(kPtz));
        char small[5];
        std::memset(small, 'x', sizeof small);
        QCOMPARE(TMVSim_DeviceAddress(0, small, sizeof small), 3);  // too small: left alone
        QCOMPARE(QByteArray(small, sizeof small), QByteArray(sizeof small, 'x'));
        QCOMPARE(TMVSim_DeviceAddress(1, address, sizeof address), 3);
        QCOMPARE(TMVSim_SessionCount("127.0.0.59"), -1);

        TMVSim_JournalClear();
        TMV_NET_HANDLE h = login(m_service.port());
        QVERIFY(h);
        TMVSim_FailCall("TMV_NET_GetDevAbility", TMV_NET_USER_LIMIT, 1);
        TMV_NET_DEV_ABILITY ability;
        QCOMPARE(TMV_NET_GetDevAbility(h, 1, 0, &ability), TMV_NET_USER_LIMIT);
        QCOMPARE(TMV_NET_GetDevAbility(h, 1, 0, &ability), TMV_NET_SUCCESS);
        QCOMPARE(TMVSim_JournalCountOf("TMV_NET_GetDevAbility"), 2);
        const int last = TMVSim_JournalCount() - 1;
        char name[64] = {};
        uint8_t bytes[64];
        std::memset(bytes, 0xEE, sizeof bytes);
        int size = -1;
        // The handle, the channel and the reserved word; four bytes asked for.
        QCOMPARE(TMVSim_JournalEntry(last, name, sizeof name, bytes, 4, &size), 0);
        QCOMPARE(QByteArray(name), QByteArray("TMV_NET_GetDevAbility"));
        QCOMPARE(size, int(sizeof(TMV_NET_HANDLE) + 8));
        QCOMPARE(bytes[4], uint8_t(0xEE));
        QCOMPARE(TMVSim_JournalEntry(last + 1, name, sizeof name, bytes, 4, &size), 3);

        TMVSim_ClockPause();
        const int64_t now = TMVSim_ClockNowMs();
        QVERIFY(now > 0);
        TMVSim_ClockStep(1500);
        QCOMPARE(TMVSim_ClockNowMs(), now + 1500);
        TMVSim_ClockResume();
        TMVSimStreamStats stats;
        std::memset(&stats, 0xEE, sizeof stats);
        QCOMPARE(TMVSim_GetStreamStats(kPtz, 0, &stats), 0);
        QVERIFY(stats.frames >= 0 && stats.synthesised >= 0);
        QCOMPARE(TMV_NET_Logout(h), TMV_NET_SUCCESS);
    }

    // No service at the control port, or a place that is not loopback:
    // nothing happens, and an int answers -1.
    void controlWithoutAServiceAnswersMinusOne_data()
    {
        QTest::addColumn<QByteArray>("place");
        QTest::newRow("nobody listens") << QByteArray("127.0.0.1:1");
        QTest::newRow("not loopback") << QByteArray("192.0.2.1:37021");
        QTest::newRow("no port") << QByteArray("127.0.0.1");
    }
    void controlWithoutAServiceAnswersMinusOne()
    {
        QFETCH(QByteArray, place);
        const QByteArray before = qgetenv("TMVNET_CONTROL");
        qputenv("TMVNET_CONTROL", place);
        const int count = TMVSim_DeviceCount();
        const int64_t now = TMVSim_ClockNowMs();
        TMVSim_ClockPause();  // goes nowhere
        qputenv("TMVNET_CONTROL", before);
        QCOMPARE(count, -1);
        QCOMPARE(now, int64_t(-1));
        QCOMPARE(TMVSim_DeviceCount(), 1);  // back at the service, its clock running
        const int64_t start = TMVSim_ClockNowMs();
        QTRY_VERIFY(TMVSim_ClockNowMs() > start);
    }
};

int main(int argc, char **argv)
{
    // Only the library reads this: every call of this process goes over TCP.
    setenv("TMVNET_DEVICES", "network", 1);
    if (argc == 4 && std::strcmp(argv[1], "--goto-preset") == 0)
        return gotoPreset(std::atoi(argv[2]), std::atoi(argv[3]));
    QCoreApplication app(argc, argv);
    TestNetworkClients test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_networkclients.moc"
