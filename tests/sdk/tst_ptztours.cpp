// The head's programs through the library on the stepped clock: a move to a
// preset travels at the top speed and arrives at the stored picture, tours
// cruise between their presets, patterns replay what was recorded, area
// scans sweep between their limits, accurate positioning and turning, the
// boot action after a restart, the park action after its dwell, the running
// status, and a head that cannot turn.

#include "PreviewSink.h"
#include "PtzLoginFixture.h"
#include "SimFixture.h"

#include <QDateTime>
#include <QtTest>
#include <atomic>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

namespace {

constexpr double kHomePan = 45.0;
constexpr double kHomeTilt = -2.0;
constexpr int kTourSlots = 8;
constexpr int kPatternSlots = 4;
constexpr int kScanSlots = 8;

std::atomic<int> g_exception{0};
void onException(TMV_NET_HANDLE, int32_t type, void *)
{
    g_exception = type;
}

std::atomic<int> g_frames{0};
void countFrame(TMV_NET_HANDLE, int32_t, TMV_NET_PREVIEW_FRAME *, void *)
{
    ++g_frames;
}

// Pans compare round the circle.
double panGap(double a, double b)
{
    const double d = std::fmod(std::fabs(a - b), 360.0);
    return std::min(d, 360.0 - d);
}

TMV_NET_PRESET_INFO preset(int id)
{
    TMV_NET_PRESET_INFO p;
    std::memset(&p, 0, sizeof p);
    p.enable = 1;
    p.id = id;
    return p;
}

TMV_NET_PTZ_CONTROL press(int command, int speed, int stop = 0)
{
    TMV_NET_PTZ_CONTROL c;
    std::memset(&c, 0, sizeof c);
    c.channel = 1;
    c.command = command;
    c.speed = speed;
    c.stop = stop;
    return c;
}

// A tour record as the page saves it; the record is big, so on the heap.
std::unique_ptr<TMV_NET_TOUR_INFO> tourRecord(int id, const std::vector<std::pair<int, int>> &stops)
{
    auto t = std::make_unique<TMV_NET_TOUR_INFO>();
    std::memset(t.get(), 0, sizeof *t);
    t->enable = 1;
    t->id = id;
    std::strcpy(t->name, "round");
    for (size_t i = 0; i < stops.size(); ++i) {
        t->points[i].preset.id = stops[i].first;
        t->points[i].residenceTime = stops[i].second;
    }
    t->count = int32_t(stops.size());
    return t;
}

TMV_NET_REGION_SCAN_INFO scanRecord(int id, int direction, int speed, int start, int stop)
{
    TMV_NET_REGION_SCAN_INFO s;
    std::memset(&s, 0, sizeof s);
    s.id = id;
    s.enable = 1;
    s.direction = direction;
    s.speed = speed;
    s.startPreset = start;
    s.stopPreset = stop;
    s.gradient = 0.5f;
    return s;
}

}  // namespace

class TestPtzTours : public QObject {
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
    double pan() { return coordinates().pan; }

    TMV_NET_PTZ_RUNNING_STATUS status()
    {
        TMV_NET_PTZ_RUNNING_STATUS s;
        std::memset(&s, 0xAB, sizeof s);
        const int32_t result = TMV_NET_GetPtzRunningStatus(session_.handle(), &s);
        if (result != 0)
            qWarning("GetPtzRunningStatus: %d", result);
        return s;
    }

    int32_t presetId()
    {
        int32_t id = -1;
        if (TMV_NET_QueryPtzPresetId(session_.handle(), &id) != 0)
            return -2;
        return id;
    }

    int32_t control(const TMV_NET_PTZ_CONTROL &c) { return TMV_NET_PtzControl(session_.handle(), &c); }

    // Takes the head to `panDeg` (tilt as at home), waits for it to arrive
    // and stores preset `id` there.
    void storePresetAt(int id, double panDeg)
    {
        const TMV_NET_PTZ_POSITION to{float(panDeg * 100), float(kHomeTilt * 100), 0};
        QCOMPARE(TMV_NET_PtzPosition(session_.handle(), &to), 0);
        SimFixture::stepClock(10000);
        QVERIFY(panGap(pan(), panDeg) < 0.01);
        const TMV_NET_PRESET_INFO p = preset(id);
        QCOMPARE(TMV_NET_PtzPresetControl(session_.handle(), 0, &p), 0);
    }

    // Pans every `everyMs` for `totalMs`, with the preset the head reports.
    std::vector<std::pair<double, int>> sample(int totalMs, int everyMs)
    {
        std::vector<std::pair<double, int>> out;
        for (int t = 0; t < totalMs; t += everyMs) {
            SimFixture::stepClock(everyMs);
            out.emplace_back(pan(), presetId());
        }
        return out;
    }

private slots:
    void cleanupTestCase() { TMV_NET_Deinit(); }
    void init() { QVERIFY(session_.open()); }
    void cleanup() { session_.close(); }

    // 90 degrees at 60 deg/s, ramped: 54 after one second, there after 1.6.
    // On the way the head stands at no preset and reports moving; once
    // there the picture is the stored one.
    void presetMoveTravelsThenArrives()
    {
        PreviewSink sink;
        TMV_NET_PREVIEW_INFO info{1, 0, 2};
        QCOMPARE(TMV_NET_StartPreview_V2(session_.handle(), &info, PreviewSink::onFrame, &sink), 0);
        storePresetAt(1, 320.0);  // buildings and trees, nobody passing
        SimFixture::stepClock(40);
        const QByteArray stored = sink.pixels();
        QVERIFY(!stored.isEmpty());
        QCOMPARE(presetId(), 1);

        const TMV_NET_PTZ_POSITION away{23000, float(kHomeTilt * 100), 0};
        QCOMPARE(TMV_NET_PtzPosition(session_.handle(), &away), 0);
        SimFixture::stepClock(10000);
        QCOMPARE(presetId(), 0);

        const TMV_NET_PRESET_INFO p = preset(1);
        QCOMPARE(TMV_NET_PtzPresetControl(session_.handle(), 2, &p), 0);
        SimFixture::stepClock(1000);
        QVERIFY2(panGap(pan(), 230.0 + 54.0) < 0.01, qPrintable(QString::number(pan())));
        QCOMPARE(int(status().moving), 1);
        QCOMPARE(presetId(), 0);
        const double onTheWay = PictureDiff::mean(sink.pixels(), stored);

        SimFixture::stepClock(600);
        QVERIFY(panGap(pan(), 320.0) < 0.01);
        QCOMPARE(int(status().moving), 0);
        QCOMPARE(presetId(), 1);
        SimFixture::stepClock(40);
        const double arrived = PictureDiff::mean(sink.pixels(), stored);
        QVERIFY2(arrived < 1.0 && onTheWay > 10 * (arrived + 1),
                 qPrintable(QStringLiteral("arrived %1, on the way %2").arg(arrived).arg(onTheWay)));
        QCOMPARE(TMV_NET_StopPreview(session_.handle()), 0);
    }

    void accuratePositionRange_data()
    {
        QTest::addColumn<float>("pan");
        QTest::addColumn<float>("tilt");
        QTest::addColumn<float>("zoom");
        QTest::addColumn<int>("result");
        QTest::newRow("the far ends") << 36000.f << -9000.f << 16384.f << 0;
        QTest::newRow("pan below 0") << -1.f << 0.f << 0.f << 3;
        QTest::newRow("pan past a turn") << 36001.f << 0.f << 0.f << 3;
        QTest::newRow("tilt past straight up") << 0.f << 9001.f << 0.f << 3;
        QTest::newRow("zoom past the lens") << 0.f << 0.f << 16385.f << 3;
        QTest::newRow("not a number") << float(NAN) << 0.f << 0.f << 3;
    }
    void accuratePositionRange()
    {
        QFETCH(float, pan);
        QFETCH(float, tilt);
        QFETCH(float, zoom);
        QFETCH(int, result);
        const TMV_NET_PTZ_POSITION to{pan, tilt, zoom};
        QCOMPARE(TMV_NET_PtzPosition(session_.handle(), &to), result);
        SimFixture::stepClock(10000);
        const TMV_NET_CURRENT_PTZ_INFO at = coordinates();
        if (result == 0) {
            QVERIFY(panGap(at.pan, pan / 100) < 0.01);
            QCOMPARE(at.tilt, tilt / 100);
            QCOMPARE(at.visZoom, 32.f);  // the longest lens
        } else {
            QCOMPARE(at.pan, float(kHomePan));
        }
    }

    // 10 deg/s to the left until a stop command; the status names it.
    void trackingTurnsUntilStopped()
    {
        TMV_NET_PTZ_TRACKING_POSITION bad{1000, 0, 2};
        QCOMPARE(TMV_NET_PtzTrackingPosition(session_.handle(), &bad), 3);
        bad = {-100, 0, 0};
        QCOMPARE(TMV_NET_PtzTrackingPosition(session_.handle(), &bad), 3);

        const TMV_NET_PTZ_TRACKING_POSITION left{1000, 0, 1};
        QCOMPARE(TMV_NET_PtzTrackingPosition(session_.handle(), &left), 0);
        SimFixture::stepClock(2000);
        QVERIFY(panGap(pan(), kHomePan - 19.0) < 0.01);
        TMV_NET_PTZ_RUNNING_STATUS s = status();
        QCOMPARE(int(s.moving), 1);
        QCOMPARE(s.task, 5);
        QCOMPARE(control(press(0, 1, 1)), 0);
        const double stopped = pan();
        SimFixture::stepClock(1000);
        QCOMPARE(pan(), stopped);
        s = status();
        QCOMPARE(int(s.moving), 0);
        QCOMPARE(s.task, 0);
    }

    // Presets at pans 100 and 160, two seconds at each: the head reports
    // the cruise and stands at both in turn; a manual command ends it.
    void tourCruisesBetweenItsPresets()
    {
        storePresetAt(1, 100.0);
        storePresetAt(2, 160.0);
        const auto tour = tourRecord(2, {{1, 2}, {2, 2}});
        QCOMPARE(TMV_NET_PtzTourControl(session_.handle(), 0, tour.get()), 0);
        QCOMPARE(TMV_NET_PtzTourControl(session_.handle(), 1, tour.get()), 0);
        TMV_NET_PTZ_RUNNING_STATUS s = status();
        QCOMPARE(s.task, 1);
        QCOMPARE(s.taskId, 2);
        QCOMPARE(s.trigger, 0);
        QCOMPARE(int(s.moving), 1);

        std::set<int> presetsSeen;
        double nearest1 = 360, nearest2 = 360;
        for (const auto &[p, id] : sample(12000, 100)) {
            presetsSeen.insert(id);
            nearest1 = std::min(nearest1, panGap(p, 100.0));
            nearest2 = std::min(nearest2, panGap(p, 160.0));
            QVERIFY2(p >= 99.99 && p <= 160.01, qPrintable(QString::number(p)));
        }
        QCOMPARE(presetsSeen, (std::set<int>{0, 1, 2}));
        QVERIFY(nearest1 < 0.01 && nearest2 < 0.01);
        QCOMPARE(status().task, 1);

        QCOMPARE(control(press(3, 1)), 0);
        s = status();
        QCOMPARE(s.task, 0);
        const double before = pan();
        SimFixture::stepClock(1000);
        QCOMPARE(control(press(0, 1, 1)), 0);
        QVERIFY(panGap(pan(), before + 6.75) < 0.01);  // turned by hand, no longer by the tour
    }

    void toursListedInIdOrder()
    {
        storePresetAt(3, 90.0);
        const auto tour = tourRecord(5, {{3, 7}, {4, 1}});
        QCOMPARE(TMV_NET_PtzTourControl(session_.handle(), 0, tour.get()), 0);
        int32_t size = 0;
        QCOMPARE(TMV_NET_QueryPtzTourSize(session_.handle(), &size), 0);
        QCOMPARE(size, kTourSlots);
        std::vector<TMV_NET_TOUR_INFO> list(static_cast<size_t>(kTourSlots));
        for (int withPoints : {1, 0}) {
            int32_t count = 0;
            QCOMPARE(TMV_NET_QueryPtzTour(session_.handle(), withPoints, list.data(), kTourSlots, &count), 0);
            QCOMPARE(count, kTourSlots);
            for (int i = 0; i < kTourSlots; ++i) {
                QCOMPARE(list[size_t(i)].id, i + 1);
                QCOMPARE(int(list[size_t(i)].enable), i == 4 ? 1 : 0);
            }
            const TMV_NET_TOUR_INFO &t = list[4];
            QCOMPARE(QByteArray(t.name), QByteArray("round"));
            QCOMPARE(t.count, 2);
            QCOMPARE(t.points[0].preset.id, withPoints ? 3 : 0);
            QCOMPARE(t.points[0].residenceTime, withPoints ? 7 : 0);
            QCOMPARE(int(t.points[0].preset.enable), withPoints ? 1 : 0);  // stored
            QCOMPARE(int(t.points[1].preset.enable), 0);  // preset 4 is empty
        }
        int32_t count = 0;
        QCOMPARE(TMV_NET_QueryPtzTour(session_.handle(), 2, list.data(), kTourSlots, &count), 3);
    }

    void tourActions_data()
    {
        QTest::addColumn<int>("action");
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("garbage");  // the record's bytes unfilled
        QTest::addColumn<int>("result");
        QTest::newRow("save") << 0 << 1 << 2 << false << 0;
        QTest::newRow("save 257 stops") << 0 << 1 << 257 << false << 3;
        QTest::newRow("save -1 stops") << 0 << 1 << -1 << false << 3;
        QTest::newRow("save into slot 9") << 0 << 9 << 1 << false << 3;
        QTest::newRow("save, name without NUL") << 0 << 1 << 1 << true << 3;
        QTest::newRow("start an empty slot") << 1 << 3 << 0 << false << 1;
        QTest::newRow("stop slot 0") << 2 << 0 << 0 << false << 3;
        QTest::newRow("delete") << 3 << 8 << 0 << false << 0;
        QTest::newRow("delete all, record unfilled") << 4 << 0 << 0 << true << 0;
        QTest::newRow("unknown action") << 5 << 1 << 0 << false << 3;
    }
    void tourActions()
    {
        QFETCH(int, action);
        QFETCH(int, id);
        QFETCH(int, count);
        QFETCH(bool, garbage);
        QFETCH(int, result);
        auto tour = tourRecord(id, {});
        if (garbage)
            std::memset(tour.get(), 0x5A, sizeof *tour);
        for (int i = 0; !garbage && i < std::min(count, TMV_NET_MAX_TOUR_POINTS); ++i)
            tour->points[i].preset.id = 1;
        tour->id = id;
        tour->count = count;
        QCOMPARE(TMV_NET_PtzTourControl(session_.handle(), action, tour.get()), result);
        QCOMPARE(TMV_NET_PtzTourControl(session_.handle(), action, nullptr), 3);
    }

    // Recorded from home: a right turn, then a zoom. Played back from home,
    // the head goes through the same positions at the same offsets, then
    // starts over.
    void patternReplaysTheRecording()
    {
        const TMV_NET_PRESET_INFO home = preset(1);
        QCOMPARE(TMV_NET_PtzPresetControl(session_.handle(), 0, &home), 0);
        QCOMPARE(TMV_NET_PtzPatternControl(session_.handle(), 1, 1), 1);  // not recording
        QCOMPARE(TMV_NET_PtzPatternControl(session_.handle(), 0, 1), 0);  // the first row of an empty list
        std::vector<TMV_NET_CURRENT_PTZ_INFO> recorded;
        const auto step = [&](int ms) {
            for (int t = 0; t < ms; t += 100) {
                SimFixture::stepClock(100);
                recorded.push_back(coordinates());
            }
        };
        step(500);
        QCOMPARE(control(press(3, 4)), 0);
        step(1000);
        QCOMPARE(control(press(0, 4, 1)), 0);
        step(300);
        QCOMPARE(control(press(9, 1)), 0);
        step(500);
        QCOMPARE(control(press(9, 1, 1)), 0);
        step(200);
        QCOMPARE(TMV_NET_PtzPatternControl(session_.handle(), 1, 1), 0);

        std::vector<TMV_NET_PATTERN_INFO> list(static_cast<size_t>(kPatternSlots));
        int32_t size = 0, count = 0;
        QCOMPARE(TMV_NET_QueryPtzPatternSize(session_.handle(), &size), 0);
        QCOMPARE(size, kPatternSlots);
        QCOMPARE(TMV_NET_QueryPtzPattern(session_.handle(), list.data(), size, &count), 0);
        QCOMPARE(count, kPatternSlots);
        for (int i = 0; i < kPatternSlots; ++i) {
            QCOMPARE(list[size_t(i)].id, i + 1);
            QCOMPARE(int(list[size_t(i)].enable), i == 0 ? 1 : 0);
        }
        QCOMPARE(TMV_NET_PtzPatternControl(session_.handle(), 2, 2), 1);  // nothing recorded there

        QCOMPARE(TMV_NET_PtzPresetControl(session_.handle(), 2, &home), 0);
        SimFixture::stepClock(10000);
        QCOMPARE(TMV_NET_PtzPatternControl(session_.handle(), 2, 1), 0);
        const TMV_NET_PTZ_RUNNING_STATUS s = status();
        QCOMPARE(s.task, 2);
        QCOMPARE(s.taskId, 1);
        for (int round = 0; round < 2; ++round) {
            for (size_t i = 0; i < recorded.size(); ++i) {
                SimFixture::stepClock(100);
                const TMV_NET_CURRENT_PTZ_INFO now = coordinates();
                QVERIFY2(panGap(now.pan, recorded[i].pan) < 0.01 &&
                             std::fabs(now.visZoom - recorded[i].visZoom) < 0.001,
                         qPrintable(QStringLiteral("round %1, %2 ms: pan %3, recorded %4")
                                        .arg(round)
                                        .arg(i * 100 + 100)
                                        .arg(now.pan)
                                        .arg(recorded[i].pan)));
            }
            // Back to the start at the top speed: 27 degrees take 0.55 s
            // (the zoom of 2^0.5 half a second). The next round begins then.
            SimFixture::stepClock(550);
            QVERIFY(panGap(pan(), kHomePan) < 0.01);
        }
        QCOMPARE(TMV_NET_PtzPatternControl(session_.handle(), 3, 1), 0);
        QCOMPARE(status().task, 0);
        QCOMPARE(TMV_NET_PtzPatternControl(session_.handle(), 4, 0), 0);
        QCOMPARE(TMV_NET_QueryPtzPattern(session_.handle(), list.data(), size, &count), 0);
        QCOMPARE(int(list[0].enable), 0);
        QCOMPARE(TMV_NET_PtzPatternControl(session_.handle(), 0, 5), 3);
    }

    // Limits at pans 100 and 140, clockwise at speed 4 (30 deg/s): the head
    // goes to the start, then sweeps back and forth between the two.
    void areaScanSweepsBetweenItsLimits()
    {
        storePresetAt(1, 100.0);
        storePresetAt(2, 140.0);
        TMV_NET_REGION_SCAN_INFO scan = scanRecord(3, 1, 4, 1, 2);
        QCOMPARE(TMV_NET_SetPtzRegionScanInfo(session_.handle(), &scan), 0);
        std::vector<TMV_NET_REGION_SCAN_INFO> list(static_cast<size_t>(kScanSlots));
        int32_t size = 0, count = 0;
        QCOMPARE(TMV_NET_QueryPtzRegionScanInfoSize(session_.handle(), &size), 0);
        QCOMPARE(size, kScanSlots);
        QCOMPARE(TMV_NET_QueryPtzRegionScanInfo(session_.handle(), list.data(), size, &count), 0);
        QCOMPARE(count, kScanSlots);
        QCOMPARE(list[2].id, 3);
        QCOMPARE(int(list[2].enable), 1);
        QCOMPARE(list[2].speed, 4);
        QCOMPARE(list[2].stopPreset, 2);
        QCOMPARE(list[2].gradient, 0.5f);
        QCOMPARE(int(list[3].enable), 0);

        QCOMPARE(TMV_NET_PtzRegionScanControl(session_.handle(), 3, true), 0);
        QCOMPARE(status().task, 4);
        QCOMPARE(status().taskId, 3);
        SimFixture::stepClock(3000);  // at the start by now
        double lowest = 360, highest = 0;
        for (const auto &sampled : sample(6000, 50)) {
            const double p = sampled.first;
            QVERIFY2(p >= 99.99 && p <= 140.01, qPrintable(QString::number(p)));
            lowest = std::min(lowest, p);
            highest = std::max(highest, p);
        }
        QVERIFY(lowest < 100.5 && highest > 139.5);

        QCOMPARE(TMV_NET_PtzRegionScanControl(session_.handle(), 3, false), 0);
        QCOMPARE(status().task, 0);
        const double stopped = pan();
        SimFixture::stepClock(1000);
        QCOMPARE(pan(), stopped);

        QCOMPARE(TMV_NET_DeletePtzRegionScanInfo(session_.handle(), 3), 0);
        QCOMPARE(TMV_NET_QueryPtzRegionScanInfo(session_.handle(), list.data(), size, &count), 0);
        QCOMPARE(int(list[2].enable), 0);
        QCOMPARE(TMV_NET_PtzRegionScanControl(session_.handle(), 3, true), 1);  // nothing to scan
    }

    void areaScanRules_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("stop");
        QTest::addColumn<int>("setResult");
        QTest::addColumn<int>("startResult");
        QTest::newRow("valid") << -1 << 8 << 1 << 1 << 0 << 0;
        QTest::newRow("without a stop preset") << 1 << 1 << 1 << 0 << 0 << 1;
        QTest::newRow("speed 9") << 1 << 9 << 1 << 1 << 3 << 1;
        QTest::newRow("direction 0") << 0 << 1 << 1 << 1 << 3 << 1;
        QTest::newRow("an empty preset") << 1 << 1 << 1 << 5 << 3 << 1;
    }
    void areaScanRules()
    {
        QFETCH(int, direction);
        QFETCH(int, speed);
        QFETCH(int, start);
        QFETCH(int, stop);
        QFETCH(int, setResult);
        QFETCH(int, startResult);
        const TMV_NET_PRESET_INFO p = preset(1);
        QCOMPARE(TMV_NET_PtzPresetControl(session_.handle(), 0, &p), 0);
        const TMV_NET_REGION_SCAN_INFO scan = scanRecord(1, direction, speed, start, stop);
        QCOMPARE(TMV_NET_SetPtzRegionScanInfo(session_.handle(), &scan), setResult);
        QCOMPARE(TMV_NET_PtzRegionScanControl(session_.handle(), 1, true), startResult);
        QCOMPARE(TMV_NET_PtzRegionScanControl(session_.handle(), 9, true), 3);
    }

    // Set the boot action, turn away, restart: the head does what the
    // action says, started by the boot.
    void bootActionAfterRestart_data()
    {
        QTest::addColumn<int>("enable");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("task");
        QTest::addColumn<double>("panAfter");  // -1: not checked
        QTest::newRow("auto reset: home") << 1 << 0 << 0 << kHomePan;
        QTest::newRow("preset 2") << 1 << 1 << 0 << 160.0;
        QTest::newRow("tour 1") << 1 << 2 << 1 << -1.0;
        QTest::newRow("area scan 1") << 1 << 5 << 4 << -1.0;
        QTest::newRow("line scan 2") << 1 << 4 << 3 << -1.0;
        QTest::newRow("off: the head stays") << 0 << 2 << 0 << 200.0;
    }
    void bootActionAfterRestart()
    {
        QFETCH(int, enable);
        QFETCH(int, type);
        QFETCH(int, task);
        QFETCH(double, panAfter);
        storePresetAt(1, 100.0);
        storePresetAt(2, 160.0);
        const auto tour = tourRecord(1, {{1, 1}, {2, 1}});
        QCOMPARE(TMV_NET_PtzTourControl(session_.handle(), 0, tour.get()), 0);
        const TMV_NET_REGION_SCAN_INFO scan = scanRecord(1, 1, 2, 1, 2);
        QCOMPARE(TMV_NET_SetPtzRegionScanInfo(session_.handle(), &scan), 0);
        const TMV_NET_BOOT_ACTION_INFO boot{uint8_t(enable), {}, type, 2, 1, 2, 1, 1};
        QCOMPARE(TMV_NET_SetPtzBootActionInfo(session_.handle(), &boot), 0);
        TMV_NET_BOOT_ACTION_INFO back;
        std::memset(&back, 0xAB, sizeof back);
        QCOMPARE(TMV_NET_QueryPtzBootActionInfo(session_.handle(), &back), 0);
        QCOMPARE(SimFixture::bytesOf(back), SimFixture::bytesOf(boot));
        const TMV_NET_PTZ_POSITION away{20000, float(kHomeTilt * 100), 0};
        QCOMPARE(TMV_NET_PtzPosition(session_.handle(), &away), 0);
        SimFixture::stepClock(10000);

        QCOMPARE(TMVSim_RestartDevice(SimFixture::kPtzCamera), 0);
        const TMV_NET_PTZ_RUNNING_STATUS s = status();
        QCOMPARE(s.task, task);
        QCOMPARE(s.trigger, enable ? 3 : 0);  // a boot move reports its trigger while it travels
        QCOMPARE(int(s.moving), enable ? 1 : 0);
        SimFixture::stepClock(10000);
        if (panAfter >= 0)
            QVERIFY2(panGap(pan(), panAfter) < 0.01, qPrintable(QString::number(pan())));
        QCOMPARE(TMVSim_RestartDevice("127.0.0.99"), 3);
    }

    // A restart drops the connections as going offline does: the login
    // hears 1001 and its stream ends; the library's login goes on.
    void restartDropsTheConnections()
    {
        g_exception = 0;
        g_frames = 0;
        QCOMPARE(TMV_NET_SetExceptionCallback(session_.handle(), onException, nullptr), 0);
        TMV_NET_PREVIEW_INFO info{0, 0, 2};
        QCOMPARE(TMV_NET_StartPreview_V2(session_.handle(), &info, countFrame, nullptr), 0);
        SimFixture::stepClock(120);
        QVERIFY(g_frames > 0);
        QCOMPARE(TMVSim_RestartDevice(SimFixture::kPtzCamera), 0);
        SimFixture::stepClock(1);
        QCOMPARE(g_exception.load(), 1001);
        const int frames = g_frames;
        SimFixture::stepClock(1000);
        QCOMPARE(g_frames.load(), frames);
        QCOMPARE(status().task, 0);
        QCOMPARE(SimFixture::sessionCount(SimFixture::kPtzCamera), 1);
        QCOMPARE(TMV_NET_StopPreview(session_.handle()), 0);
    }

    // Parked at preset 2 five seconds after the last command, once per idle
    // spell; a command starts a new spell.
    void parkActionAfterDwell()
    {
        storePresetAt(2, 160.0);
        const TMV_NET_PTZ_POSITION away{20000, float(kHomeTilt * 100), 0};
        QCOMPARE(TMV_NET_PtzPosition(session_.handle(), &away), 0);
        SimFixture::stepClock(10000);
        TMV_NET_PARK_ACTION_INFO park;
        std::memset(&park, 0, sizeof park);
        park.enable = 1;
        park.type = 1;
        park.preset = 2;
        park.dwellTime = 5;
        QCOMPARE(TMV_NET_SetPtzParkActionInfo(session_.handle(), &park), 0);
        TMV_NET_PARK_ACTION_INFO back;
        std::memset(&back, 0xAB, sizeof back);
        QCOMPARE(TMV_NET_QueryPtzParkActionInfo(session_.handle(), &back), 0);
        QCOMPARE(SimFixture::bytesOf(back), SimFixture::bytesOf(park));
        park.dwellTime = 0;
        QCOMPARE(TMV_NET_SetPtzParkActionInfo(session_.handle(), &park), 3);

        const int64_t idleSince = status().startTime;
        SimFixture::stepClock(4900);
        QCOMPARE(pan(), 200.f);
        SimFixture::stepClock(200);
        const TMV_NET_PTZ_RUNNING_STATUS s = status();
        QCOMPARE(int(s.moving), 1);
        QCOMPARE(s.trigger, 4);
        QCOMPARE(s.startTime, idleSince + 5000);
        SimFixture::stepClock(2000);
        QVERIFY(panGap(pan(), 160.0) < 0.01);
        QCOMPARE(presetId(), 2);

        // Turned away by hand: parked again five seconds after the release.
        QCOMPARE(control(press(2, 8)), 0);
        SimFixture::stepClock(1000);
        QCOMPARE(control(press(0, 8, 1)), 0);
        SimFixture::stepClock(4900);
        QVERIFY(panGap(pan(), 106.0) < 0.01);
        SimFixture::stepClock(5000);
        QVERIFY(panGap(pan(), 160.0) < 0.01);
    }

    // Start times are host milliseconds moving with the simulation clock:
    // a tour started now, stopped 2.5 simulated seconds later.
    void runningStatusStartTime()
    {
        storePresetAt(1, 100.0);
        const auto tour = tourRecord(1, {{1, 1}});
        QCOMPARE(TMV_NET_PtzTourControl(session_.handle(), 0, tour.get()), 0);
        QCOMPARE(TMV_NET_PtzTourControl(session_.handle(), 1, tour.get()), 0);
        const int64_t started = status().startTime;
        QVERIFY(std::llabs(started - QDateTime::currentMSecsSinceEpoch()) < 10 * 60 * 1000);
        SimFixture::stepClock(2500);
        QCOMPARE(status().startTime, started);
        QCOMPARE(TMV_NET_PtzTourControl(session_.handle(), 2, tour.get()), 0);
        const TMV_NET_PTZ_RUNNING_STATUS idle = status();
        QCOMPARE(idle.task, 0);
        QCOMPARE(idle.taskId, 0);
        QCOMPARE(idle.trigger, 0);
        QCOMPARE(idle.startTime, started + 2500);
    }

    // The self-check stops the program and takes the head home; what is
    // stored stays.
    void resetTakesTheHeadHome()
    {
        storePresetAt(1, 100.0);
        storePresetAt(2, 200.0);
        const auto tour = tourRecord(1, {{1, 1}, {2, 1}});
        QCOMPARE(TMV_NET_PtzTourControl(session_.handle(), 0, tour.get()), 0);
        QCOMPARE(TMV_NET_PtzTourControl(session_.handle(), 1, tour.get()), 0);
        SimFixture::stepClock(1500);
        QCOMPARE(TMV_NET_ResetPtzConfig(session_.handle()), 0);
        QCOMPARE(status().task, 0);
        SimFixture::stepClock(10000);
        QVERIFY(panGap(pan(), kHomePan) < 0.01);
        QCOMPARE(coordinates().tilt, float(kHomeTilt));
        std::vector<TMV_NET_PRESET_INFO> presets(16);
        int32_t count = 0;
        QCOMPARE(TMV_NET_QueryPtzPreset(session_.handle(), presets.data(), 16, &count), 0);
        QCOMPARE(int(presets[1].enable), 1);
        QCOMPARE(TMV_NET_PtzTourControl(session_.handle(), 1, tour.get()), 0);  // still there
    }

    // No pan or tilt: every program answers "not supported"; the lists are
    // empty, as the preset list is.
    void fixedCameraHasNoHead()
    {
        QVERIFY(session_.relogin(SimFixture::kFixedCamera));
        const TMV_NET_HANDLE h = session_.handle();
        const auto tour = tourRecord(1, {});
        const TMV_NET_REGION_SCAN_INFO scan = scanRecord(1, 1, 1, 0, 0);
        TMV_NET_BOOT_ACTION_INFO boot{};
        TMV_NET_PARK_ACTION_INFO park{};
        const TMV_NET_PTZ_POSITION position{0, 0, 0};
        const TMV_NET_PTZ_TRACKING_POSITION track{100, 0, 0};
        TMV_NET_PTZ_RUNNING_STATUS running{};
        int32_t id = 0;
        const std::vector<std::pair<const char *, std::function<int32_t()>>> calls = {
            {"PtzTourControl", [&] { return TMV_NET_PtzTourControl(h, 0, tour.get()); }},
            {"PtzPatternControl", [&] { return TMV_NET_PtzPatternControl(h, 0, 1); }},
            {"SetPtzRegionScanInfo", [&] { return TMV_NET_SetPtzRegionScanInfo(h, &scan); }},
            {"PtzRegionScanControl", [&] { return TMV_NET_PtzRegionScanControl(h, 1, true); }},
            {"DeletePtzRegionScanInfo", [&] { return TMV_NET_DeletePtzRegionScanInfo(h, 1); }},
            {"QueryPtzBootActionInfo", [&] { return TMV_NET_QueryPtzBootActionInfo(h, &boot); }},
            {"SetPtzBootActionInfo", [&] { return TMV_NET_SetPtzBootActionInfo(h, &boot); }},
            {"QueryPtzParkActionInfo", [&] { return TMV_NET_QueryPtzParkActionInfo(h, &park); }},
            {"SetPtzParkActionInfo", [&] { return TMV_NET_SetPtzParkActionInfo(h, &park); }},
            {"PtzPosition", [&] { return TMV_NET_PtzPosition(h, &position); }},
            {"PtzTrackingPosition", [&] { return TMV_NET_PtzTrackingPosition(h, &track); }},
            {"ResetPtzConfig", [&] { return TMV_NET_ResetPtzConfig(h); }},
            {"GetPtzRunningStatus", [&] { return TMV_NET_GetPtzRunningStatus(h, &running); }},
            {"QueryPtzPresetId", [&] { return TMV_NET_QueryPtzPresetId(h, &id); }},
        };
        for (const auto &[name, call] : calls)
            QVERIFY2(call() == 2, name);
        int32_t size = -1;
        QCOMPARE(TMV_NET_QueryPtzTourSize(h, &size), 0);
        QCOMPARE(size, 0);
        QCOMPARE(TMV_NET_QueryPtzPatternSize(h, &size), 0);
        QCOMPARE(size, 0);
        QCOMPARE(TMV_NET_QueryPtzRegionScanInfoSize(h, &size), 0);
        QCOMPARE(size, 0);
        QCOMPARE(TMVSim_RestartDevice(SimFixture::kFixedCamera), 0);
    }
};

QTEST_GUILESS_MAIN(TestPtzTours)
#include "tst_ptztours.moc"
