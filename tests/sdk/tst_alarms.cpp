// Alarms through the C API against the simulated world: the frame alarm
// raised by the transformer and ended by a raised threshold, pictures by the
// snapshot flag, injected alarms of every type in order, a burst that does
// not hold up the frame streams, and the stop contract of the subscription.

#include "SimFixture.h"
#include "TMVNetSDK.h"
#include "TMVSimControl.h"

#include <QtTest>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace {

const char *const kPtz = "127.0.0.11";

struct Received {
    int type = 0;
    QByteArray record;
    QByteArray pictures[2];
    bool pictureSet[2] = {false, false};
};

// What the alarm callback saw, copied inside the call.
struct Collector {
    std::mutex mutex;
    std::vector<Received> alarms;  // under mutex
    std::atomic<int> calls{0};
    std::atomic<bool> over{false};
    std::atomic<int> late{0};
    std::function<void(Collector &)> inside;  // run inside each call, if set

    int count()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return int(alarms.size());
    }
    std::vector<Received> snapshot()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return alarms;
    }
};

int picturesOffset(int type)
{
    switch (type) {
    case 10001: case 10003: return 280;
    case 10002: case 10004: case 10005: case 20001: case 20002: case 20004: case 30001: return 288;
    case 10006: case 20003: return 24;
    case 40001: case 60001: return 40;
    case 50001: return 32;
    case 50002: return 80;
    default: return -1;
    }
}

int recordSize(int type)
{
    switch (type) {
    case 10001: case 10003: return int(sizeof(TMV_NET_TEMP_ALARM_INFO));
    case 10002: case 10005: return int(sizeof(TMV_NET_FIRE_ALARM_INFO));
    case 10004: return int(sizeof(TMV_NET_TEMP_DIFF_ALARM_INFO));
    case 10006: return int(sizeof(TMV_NET_HIGH_LIGHT_ALARM_INFO));
    case 20001: return int(sizeof(TMV_NET_REGION_INTRUSION_ALARM_INFO));
    case 20002: return int(sizeof(TMV_NET_LINE_INTRUSION_ALARM_INFO));
    case 20003: return int(sizeof(TMV_NET_OBJECT_PULSE_ALARM_INFO));
    case 20004: return int(sizeof(TMV_NET_DYNAMIC_ALARM_INFO));
    case 30001: return int(sizeof(TMV_NET_SMOKE_DETECT_ALARM_INFO));
    case 40001: return int(sizeof(TMV_NET_LOCAL_ALARM_INFO));
    case 50001: return int(sizeof(TMV_NET_TRACK_STATE_ALARM_INFO));
    case 50002: return int(sizeof(TMV_NET_TRACK_OBJECT_ALARM_INFO));
    case 60001: return int(sizeof(TMV_NET_LOGIN_EXCEPTION_ALARM_INFO));
    case 70001: return int(sizeof(TMV_NET_SD_EXCEPTION_ALARM_INFO));
    default: return 1024;
    }
}

void collect(TMV_NET_HANDLE, int32_t type, const void *info, void *user)
{
    auto *c = static_cast<Collector *>(user);
    ++c->calls;
    if (c->over)
        ++c->late;
    Received r;
    r.type = type;
    r.record = QByteArray(static_cast<const char *>(info), recordSize(type));
    if (const int at = picturesOffset(type); at >= 0) {
        TMV_NET_ALARM_PICTURE p[2];
        std::memcpy(p, r.record.constData() + at, sizeof p);
        for (int i = 0; i < 2; ++i) {
            r.pictureSet[i] = p[i].data || p[i].size;
            if (p[i].data && p[i].size > 0)
                r.pictures[i] = QByteArray(reinterpret_cast<const char *>(p[i].data), p[i].size);
        }
    }
    {
        std::lock_guard<std::mutex> lock(c->mutex);
        c->alarms.push_back(r);
    }
    if (c->inside)
        c->inside(*c);
}

template <class T>
T recordOf(const Received &r)
{
    T t;
    std::memcpy(&t, r.record.constData(), sizeof t);
    return t;
}

bool isJpeg(const QByteArray &bytes)
{
    return bytes.size() > 4 && bytes.startsWith("\xff\xd8") && bytes.endsWith("\xff\xd9");
}

// Temperature alarms of the frame with the given state.
int frameAlarms(Collector &c, int state)
{
    int n = 0;
    for (const Received &r : c.snapshot())
        if (r.type == TMV_NET_ALARM_TEMP) {
            const auto info = recordOf<TMV_NET_TEMP_ALARM_INFO>(r);
            n += info.state == state && qstrcmp(info.name, "Frame") == 0;
        }
    return n;
}

// Steps the stopped clock 100 ms at a time, up to `maxMs`, until `done`;
// delivery is asynchronous, so each step leaves it a moment.
bool stepUntil(const std::function<bool()> &done, int maxMs)
{
    for (int ms = 0; ms <= maxMs; ms += 100) {
        for (int i = 0; i < 20 && !done(); ++i)
            QTest::qWait(5);
        if (done())
            return true;
        SimFixture::stepClock(100);
    }
    return done();
}

TMV_NET_FRAME_TEMP_ALARM_CONFIG frameAlarmAbove(float threshold)
{
    TMV_NET_FRAME_TEMP_ALARM_CONFIG config{};
    config.enable = 1;
    config.conditions[0] = {3, 0, threshold, 1.0f};
    return config;
}

}  // namespace

class TestAlarms : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(TMV_NET_Init(), 0); }
    void init()
    {
        SimFixture::reset();
        m_handle = SimFixture::login();
        QVERIFY(m_handle);
    }
    void cleanup()
    {
        TMV_NET_Logout(m_handle);
        SimFixture::resumeClock();
    }

    // The transformer is hotter than the threshold: a start record within
    // two simulated seconds; raising the threshold above it ends the alarm.
    // Pictures come with the snapshot flag and only then.
    void frameAlarmStartsAndEnds_data()
    {
        QTest::addColumn<int>("snapshot");
        QTest::newRow("with pictures") << 1;
        QTest::newRow("without pictures") << 0;
    }
    void frameAlarmStartsAndEnds()
    {
        QFETCH(int, snapshot);
        SimFixture::pauseClock();
        TMV_NET_TEMP_INFO frame{};
        QCOMPARE(TMV_NET_QueryFrameTemp(m_handle, &frame), 0);
        QVERIFY2(frame.maxTemp > 60.0f, qPrintable(QString::number(frame.maxTemp)));
        const float threshold = frame.maxTemp - 10.0f;
        TMV_NET_FRAME_TEMP_ALARM_CONFIG config = frameAlarmAbove(threshold);
        QCOMPARE(TMV_NET_UpdateFrameTempAlarmConfig(m_handle, &config), 0);

        Collector c;
        QCOMPARE(TMV_NET_SubscribeAlarm_V2(m_handle, uint8_t(snapshot), collect, &c), 0);
        QVERIFY(stepUntil([&] { return frameAlarms(c, 1) > 0; }, 2000));

        Received start;
        for (const Received &r : c.snapshot())
            if (r.type == TMV_NET_ALARM_TEMP)
                start = r;
        const auto info = recordOf<TMV_NET_TEMP_ALARM_INFO>(start);
        QCOMPARE(info.alarmRule, 3);
        QCOMPARE(info.threshold, threshold);
        QCOMPARE(info.unit, 0);
        QCOMPARE(info.channel, 0);
        QVERIFY(info.temp.maxTemp > threshold);
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        QVERIFY2(qAbs(info.time - now) < 3600, qPrintable(QString::number(info.time)));
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(start.pictureSet[i], snapshot == 1);
            if (snapshot)
                QVERIFY(isJpeg(start.pictures[i]));
        }

        // Stays on while the reading stays above: no chatter.
        SimFixture::stepClock(1000);
        QTest::qWait(50);
        QCOMPARE(frameAlarms(c, 1), 1);
        QCOMPARE(frameAlarms(c, 2), 0);

        config = frameAlarmAbove(frame.maxTemp + 60.0f);
        QCOMPARE(TMV_NET_UpdateFrameTempAlarmConfig(m_handle, &config), 0);
        QVERIFY(stepUntil([&] { return frameAlarms(c, 2) > 0; }, 2000));
        QCOMPARE(frameAlarms(c, 1), 1);
        QCOMPARE(TMV_NET_UnsubscribeAlarm(m_handle), 0);
    }

    // The alarm engine judges the temperatures the queries show: with the
    // emissivity lowered the corrected maximum crosses a threshold that the
    // raw one stays under, and the record carries the corrected reading.
    void alarmsJudgeTheDevicesEnvironment()
    {
        SimFixture::pauseClock();
        TMV_NET_TEMP_INFO raw{};
        QCOMPARE(TMV_NET_QueryFrameTemp(m_handle, &raw), 0);
        TMV_NET_ENV_PARAM env{};
        QCOMPARE(TMV_NET_GetEnvParam(m_handle, &env), 0);
        env.emissivity = 0.5f;
        QCOMPARE(TMV_NET_SetEnvParam(m_handle, &env), 0);
        TMV_NET_TEMP_INFO corrected{};
        QCOMPARE(TMV_NET_QueryFrameTemp(m_handle, &corrected), 0);
        QVERIFY2(corrected.maxTemp > raw.maxTemp + 10.0f,
                 qPrintable(QStringLiteral("%1 -> %2").arg(raw.maxTemp).arg(corrected.maxTemp)));

        const float threshold = (raw.maxTemp + corrected.maxTemp) / 2;
        TMV_NET_FRAME_TEMP_ALARM_CONFIG config = frameAlarmAbove(threshold);
        QCOMPARE(TMV_NET_UpdateFrameTempAlarmConfig(m_handle, &config), 0);
        Collector c;
        QCOMPARE(TMV_NET_SubscribeAlarm_V2(m_handle, 0, collect, &c), 0);
        QVERIFY(stepUntil([&] { return frameAlarms(c, 1) > 0; }, 2000));
        for (const Received &r : c.snapshot())
            if (r.type == TMV_NET_ALARM_TEMP)
                QVERIFY(recordOf<TMV_NET_TEMP_ALARM_INFO>(r).temp.maxTemp > threshold);

        // Back to a neutral environment the same threshold is not reached.
        env.emissivity = 1.0f;
        QCOMPARE(TMV_NET_SetEnvParam(m_handle, &env), 0);
        QVERIFY(stepUntil([&] { return frameAlarms(c, 2) > 0; }, 3000));
        QCOMPARE(TMV_NET_UnsubscribeAlarm(m_handle), 0);
    }

    // The frame alarm's snapshot and record linkages leave a JPEG and a
    // recording on the SD card, named by time, channel and type.
    void linkagesWriteToTheSdCard()
    {
        SimFixture::pauseClock();
        char folder[1024] = {};
        QCOMPARE(TMVSim_SdCardFolder(kPtz, folder, int(sizeof folder)), 0);
        QDir card(QString::fromLocal8Bit(folder));
        for (const QString &f : card.entryList({"*_A10001.*"}, QDir::Files))
            card.remove(f);
        TMV_NET_TEMP_INFO frame{};
        QCOMPARE(TMV_NET_QueryFrameTemp(m_handle, &frame), 0);
        TMV_NET_FRAME_TEMP_ALARM_CONFIG config = frameAlarmAbove(frame.maxTemp - 10.0f);
        config.snapLinkage.enable = 1;
        config.snapLinkage.channels[0] = 1;
        config.snapLinkage.channels[1] = 1;
        config.recordLinkage.enable = 1;
        QCOMPARE(TMV_NET_UpdateFrameTempAlarmConfig(m_handle, &config), 0);
        Collector c;
        QCOMPARE(TMV_NET_SubscribeAlarm_V2(m_handle, 0, collect, &c), 0);
        QVERIFY(stepUntil([&] { return frameAlarms(c, 1) > 0; }, 2000));
        const QRegularExpression name("^\\d{8}_\\d{6}_CH[12]_A10001\\.(jpg|pav)$");
        // Written on the engine's thread, next to the record.
        QTRY_COMPARE(card.entryList({"*_A10001.*"}, QDir::Files).size(), 3);
        const QStringList files = card.entryList({"*_A10001.*"}, QDir::Files, QDir::Name);
        QCOMPARE(files.filter(QRegularExpression("CH1_A10001\\.jpg$")).size(), 1);
        QCOMPARE(files.filter(QRegularExpression("CH2_A10001\\.jpg$")).size(), 1);
        QCOMPARE(files.filter(QRegularExpression("CH1_A10001\\.pav$")).size(), 1);
        for (const QString &f : files) {
            QVERIFY2(name.match(f).hasMatch(), qPrintable(f));
            QVERIFY(QFileInfo(card.filePath(f)).size() > 0);
        }
    }

    // The panoramic camera sees the fire; its flare raises fire alarms
    // without any threshold set.
    void theFireRaisesFireAlarms()
    {
        SimFixture::pauseClock();
        TMV_NET_HANDLE panoramic = SimFixture::login("127.0.0.13");
        QVERIFY(panoramic);
        Collector c;
        QCOMPARE(TMV_NET_SubscribeAlarm_V2(panoramic, 0, collect, &c), 0);
        auto fires = [&] {
            for (const Received &r : c.snapshot())
                if (r.type == TMV_NET_ALARM_FIRE && recordOf<TMV_NET_FIRE_ALARM_INFO>(r).state == 1)
                    return true;
            return false;
        };
        QVERIFY(stepUntil(fires, 30000));
        QCOMPARE(TMV_NET_Logout(panoramic), 0);
    }

    // A tolerance wider than the transformer's swing keeps one alarm, even
    // with the threshold right at its temperature.
    void thresholdAtTheTemperatureDoesNotChatter()
    {
        SimFixture::pauseClock();
        TMV_NET_TEMP_INFO frame{};
        QCOMPARE(TMV_NET_QueryFrameTemp(m_handle, &frame), 0);
        TMV_NET_FRAME_TEMP_ALARM_CONFIG config = frameAlarmAbove(frame.maxTemp - 0.5f);
        config.conditions[0].tolerance = 30.0f;
        QCOMPARE(TMV_NET_UpdateFrameTempAlarmConfig(m_handle, &config), 0);
        Collector c;
        QCOMPARE(TMV_NET_SubscribeAlarm_V2(m_handle, 0, collect, &c), 0);
        QVERIFY(stepUntil([&] { return frameAlarms(c, 1) > 0; }, 2000));
        for (int i = 0; i < 50; ++i)
            SimFixture::stepClock(200);
        QTest::qWait(100);
        QCOMPARE(frameAlarms(c, 1), 1);
        QCOMPARE(frameAlarms(c, 2), 0);
    }

    // Every type code arrives, in the order injected, with its record; an
    // unknown code is delivered as it is.
    void injectedAlarmsArriveInOrder()
    {
        const QList<int> types{10001, 10002, 10003, 10004, 10005, 10006, 20001, 20002, 20003,
                               20004, 30001, 40001, 50001, 50002, 60001, 70001, 12345};
        Collector c;
        QCOMPARE(TMV_NET_SubscribeAlarm(m_handle, collect, &c), 0);
        for (int type : types)
            QCOMPARE(TMVSim_InjectAlarm(kPtz, type), 0);
        QTRY_COMPARE(c.count(), types.size());
        const std::vector<Received> got = c.snapshot();
        for (int i = 0; i < types.size(); ++i) {
            QCOMPARE(got[size_t(i)].type, types[i]);
            if (picturesOffset(types[i]) >= 0)
                QVERIFY2(isJpeg(got[size_t(i)].pictures[0]) && isJpeg(got[size_t(i)].pictures[1]),
                         qPrintable(QString::number(types[i])));
        }
        QCOMPARE(got.back().record, QByteArray(1024, '\0'));
        QCOMPARE(qstrcmp(recordOf<TMV_NET_FIRE_ALARM_INFO>(got[1]).name, "Fire"), 0);
        QVERIFY(TMVSim_InjectAlarm("127.0.0.99", 10001) != 0);
        QVERIFY(TMVSim_InjectAlarm(nullptr, 10001) != 0);
    }

    // The caller's bytes arrive untouched but for the picture fields,
    // which point at the library's copies of the caller's pictures.
    void injectedRecordKeepsTheCallersBytes()
    {
        Collector c;
        QCOMPARE(TMV_NET_SubscribeAlarm_V2(m_handle, 1, collect, &c), 0);
        TMV_NET_LOCAL_ALARM_INFO local{};
        local.regionId = 9;
        local.channel = 1;
        local.time = 86400;
        local.state = 2;
        const QByteArray second("second picture");
        QCOMPARE(TMVSim_InjectAlarmRecord(kPtz, 40001, &local, int(sizeof local), nullptr, 0, second.constData(),
                                          second.size()),
                 0);
        QByteArray odd(40, 'x');
        QCOMPARE(TMVSim_InjectAlarmRecord(kPtz, 777, odd.constData(), odd.size(), nullptr, 0, nullptr, 0), 0);
        QTRY_COMPARE(c.count(), 2);
        const std::vector<Received> got = c.snapshot();
        const auto back = recordOf<TMV_NET_LOCAL_ALARM_INFO>(got[0]);
        QCOMPARE(back.regionId, 9);
        QCOMPARE(back.time, int64_t(86400));
        QCOMPARE(back.state, 2);
        QVERIFY(!got[0].pictureSet[0]);
        QCOMPARE(got[0].pictures[1], second);
        QCOMPARE(got[1].type, 777);
        QCOMPARE(got[1].record.left(40), odd);
    }

    // 10,000 alarms at once while the callback is held: the preview keeps
    // its frames, and once let go every alarm arrives, in order.
    void burstDoesNotHoldTheFrames()
    {
        if (SimFixture::network())
            QSKIP("over the network a login's callbacks share one thread: a held alarm callback holds its frames");
        std::mutex gate;
        std::condition_variable opened;
        bool open = false;
        Collector c;
        c.inside = [&](Collector &) {
            std::unique_lock<std::mutex> lock(gate);
            opened.wait(lock, [&] { return open; });
        };
        QCOMPARE(TMV_NET_SubscribeAlarm_V2(m_handle, 0, collect, &c), 0);
        std::atomic<int> frames{0};
        TMV_NET_PREVIEW_INFO preview{0, 0, 2};
        QCOMPARE(TMV_NET_StartPreview_V2(m_handle, &preview,
                                         [](TMV_NET_HANDLE, int32_t, TMV_NET_PREVIEW_FRAME *, void *user) {
                                             ++*static_cast<std::atomic<int> *>(user);
                                         },
                                         &frames),
                 0);
        const int n = 10000;
        for (int i = 0; i < n; ++i) {
            TMV_NET_LOCAL_ALARM_INFO local{};
            local.regionId = i;
            QCOMPARE(TMVSim_InjectAlarmRecord(kPtz, 40001, &local, int(sizeof local), nullptr, 0, nullptr, 0), 0);
        }
        const int before = frames;
        QTRY_VERIFY(frames > before + 5);
        QCOMPARE(c.count(), 1);  // the first is held inside the callback
        {
            std::lock_guard<std::mutex> lock(gate);
            open = true;
        }
        opened.notify_all();
        QTRY_COMPARE(c.count(), n);
        const std::vector<Received> got = c.snapshot();
        for (int i = 0; i < n; ++i)
            QCOMPARE(recordOf<TMV_NET_LOCAL_ALARM_INFO>(got[size_t(i)]).regionId, i);
        QCOMPARE(TMV_NET_StopPreview(m_handle), 0);
    }

    // Once UnsubscribeAlarm or Logout returns, no callback runs, with a
    // queue still full of alarms and the callback busy when it is called.
    void noCallbackAfterTheStop_data()
    {
        QTest::addColumn<bool>("logout");
        QTest::newRow("unsubscribe") << false;
        QTest::newRow("logout") << true;
    }
    void noCallbackAfterTheStop()
    {
        QFETCH(bool, logout);
        Collector c;
        c.inside = [](Collector &) { std::this_thread::sleep_for(std::chrono::microseconds(200)); };
        QCOMPARE(TMV_NET_SubscribeAlarm_V2(m_handle, 1, collect, &c), 0);
        for (int i = 0; i < 2000; ++i)
            TMVSim_InjectAlarm(kPtz, 40001);
        QTRY_VERIFY(c.calls > 10);
        QCOMPARE(logout ? TMV_NET_Logout(m_handle) : TMV_NET_UnsubscribeAlarm(m_handle), 0);
        c.over = true;
        const int calls = c.calls;
        QVERIFY(calls < 2000);  // it really stopped half-way
        TMVSim_InjectAlarm(kPtz, 40001);
        QTest::qWait(100);
        QCOMPARE(c.late.load(), 0);
        QCOMPARE(c.calls.load(), calls);
        QCOMPARE(TMV_NET_UnsubscribeAlarm(m_handle), 1);  // nothing (or no login) left
    }

    // Unsubscribing inside the callback answers 1 and ends the
    // subscription after that callback; the login can subscribe again.
    void unsubscribeFromTheCallback()
    {
        Collector c;
        std::atomic<int> status{-1};
        c.inside = [&](Collector &) {
            if (status < 0)
                status = TMV_NET_UnsubscribeAlarm(m_handle);
        };
        QCOMPARE(TMV_NET_SubscribeAlarm(m_handle, collect, &c), 0);
        for (int i = 0; i < 50; ++i)
            TMVSim_InjectAlarm(kPtz, 60001);
        QTRY_COMPARE(status.load(), 1);
        QTest::qWait(100);
        QCOMPARE(c.count(), 1);

        Collector again;
        QCOMPARE(TMV_NET_SubscribeAlarm(m_handle, collect, &again), 0);
        QCOMPARE(TMVSim_InjectAlarm(kPtz, 60001), 0);
        QTRY_COMPARE(again.count(), 1);
        QCOMPARE(c.count(), 1);
    }

    // A device that goes offline ends its logins' subscriptions: nothing
    // arrives afterwards, even once it is back.
    void offlineDeviceEndsTheSubscription()
    {
        Collector c;
        QCOMPARE(TMV_NET_SubscribeAlarm(m_handle, collect, &c), 0);
        QCOMPARE(TMVSim_InjectAlarm(kPtz, 60001), 0);
        QTRY_COMPARE(c.count(), 1);
        QCOMPARE(TMVSim_SetOnline(kPtz, 0), 0);
        c.over = true;
        QCOMPARE(TMVSim_SetOnline(kPtz, 1), 0);
        QCOMPARE(TMVSim_InjectAlarm(kPtz, 60001), 0);
        // Delivery runs on its own thread, not on the clock: give a stray
        // alarm the time it takes a delivered one to arrive, many times over.
        QTest::qWait(100);
        QCOMPARE(c.late.load(), 0);
    }

    // A login has one subscription: subscribing again replaces it (alarms go
    // to the newest callback only, once), one unsubscribe ends it, and
    // argument errors come first.
    void subscribeStatuses()
    {
        Collector c, second;
        QCOMPARE(TMV_NET_SubscribeAlarm_V2(m_handle, 1, nullptr, &c), 3);
        QCOMPARE(TMV_NET_SubscribeAlarm_V2(nullptr, 1, collect, &c), 1);
        QCOMPARE(TMV_NET_UnsubscribeAlarm(m_handle), 1);
        QCOMPARE(TMV_NET_SubscribeAlarm_V2(m_handle, 1, collect, &c), 0);
        QCOMPARE(TMV_NET_SubscribeAlarm(m_handle, collect, &second), 0);
        QCOMPARE(TMVSim_InjectAlarm(kPtz, 60001), 0);
        QTRY_COMPARE(second.count(), 1);
        QCOMPARE(c.count(), 0);
        QCOMPARE(TMV_NET_UnsubscribeAlarm(m_handle), 0);
        QCOMPARE(TMV_NET_UnsubscribeAlarm(m_handle), 1);
        QCOMPARE(TMV_NET_SubscribeAlarm(m_handle, collect, &c), 0);
    }

private:
    TMV_NET_HANDLE m_handle = nullptr;
};

QTEST_GUILESS_MAIN(TestAlarms)
#include "tst_alarms.moc"
