// The head's programs as plans over time: travel at the top speed the short
// way round, tours holding at each stop and looping, area scans sweeping the
// chosen way between their limits, a pattern replaying exactly what the head
// did live, and the slot rules of tours, scans and actions.

#include "base/Status.h"
#include "device/Device.h"
#include "ptz/HeadProgram.h"
#include "ptz/PtzHead.h"
#include "ptz/PtzMotion.h"
#include "ptz/PtzPrograms.h"
#include "ptz/PtzSlots.h"

#include <QtTest>
#include <cmath>
#include <algorithm>
#include <cstring>
#include <memory>

namespace pm = sim::ptzmotion;
namespace pp = sim::ptzprograms;

namespace {

constexpr int64_t kSecond = 1000000;
constexpr int64_t kStart = 50 * kSecond;

sim::Pose pose(double pan, double tilt = 0, double zoom = 1)
{
    sim::Pose p;
    p.panDeg = pan;
    p.tiltDeg = tilt;
    p.zoom[0] = p.zoom[1] = zoom;
    return p;
}

int64_t at(double seconds)
{
    return kStart + int64_t(std::llround(seconds * 1e6));
}

bool near(double a, double b, double tolerance = 1e-6)
{
    return std::fabs(a - b) < tolerance;
}

// Pans compare round the circle: 359.9999999 is 0.
bool nearPan(double a, double b, double tolerance = 1e-6)
{
    return std::fabs(sim::headplan::shortestPan(a, b)) < tolerance;
}

}  // namespace

class TestPtzPrograms : public QObject {
    Q_OBJECT

private slots:
    void secondsToTravelInvertsTheRamp_data()
    {
        QTest::addColumn<double>("degPerSec");
        QTest::addColumn<double>("degrees");
        QTest::addColumn<double>("seconds");
        QTest::newRow("nothing to do") << 60.0 << 0.0 << 0.0;
        QTest::newRow("inside the ramp") << 60.0 << 1.5 << 0.1;
        QTest::newRow("end of the ramp") << 60.0 << 6.0 << 0.2;
        QTest::newRow("a quarter turn at the top speed") << 60.0 << 90.0 << 1.6;
        QTest::newRow("slowest step") << 7.5 << 75.0 << 10.1;
    }
    void secondsToTravelInvertsTheRamp()
    {
        QFETCH(double, degPerSec);
        QFETCH(double, degrees);
        QFETCH(double, seconds);
        const double got = pm::secondsToTravel(degPerSec, degrees);
        QVERIFY2(near(got, seconds), qPrintable(QString::number(got)));
        QVERIFY(near(pm::travelled(degPerSec, got), degrees));
    }

    // A move covers pan and tilt at the top speed (60 deg/s, ramped), each
    // the short way; the slower axis decides when it arrives.
    void moveTravelsTheShortWay_data()
    {
        QTest::addColumn<double>("fromPan");
        QTest::addColumn<double>("toPan");
        QTest::addColumn<double>("toTilt");
        QTest::addColumn<double>("seconds");    // to arrive
        QTest::addColumn<double>("panAfter1s");
        QTest::newRow("right") << 10.0 << 100.0 << 0.0 << 1.6 << 64.0;
        QTest::newRow("left across 0") << 20.0 << 290.0 << 0.0 << 1.6 << 326.0;
        QTest::newRow("right across 360") << 350.0 << 20.0 << 0.0 << 0.6 << 20.0;
        QTest::newRow("tilt is the longer way") << 10.0 << 20.0 << 60.0 << 1.1 << 20.0;
        QTest::newRow("already there") << 45.0 << 45.0 << 0.0 << 0.0 << 45.0;
    }
    void moveTravelsTheShortWay()
    {
        QFETCH(double, fromPan);
        QFETCH(double, toPan);
        QFETCH(double, toTilt);
        QFETCH(double, seconds);
        QFETCH(double, panAfter1s);
        const sim::HeadProgram plan = pp::move(pose(fromPan), pose(toPan, toTilt), 3, kStart, 32);
        QCOMPARE(plan.endUs(), at(seconds));
        QVERIFY(nearPan(plan.poseAt(at(1.0)).panDeg, panAfter1s));
        QVERIFY(nearPan(plan.poseAt(kStart - kSecond).panDeg, fromPan));  // before its start
        const sim::Pose end = plan.poseAt(at(seconds + 5));
        QVERIFY(nearPan(end.panDeg, toPan) && near(end.tiltDeg, toTilt));
        QCOMPARE(plan.movingAt(at(seconds / 2)), seconds > 0);
        QCOMPARE(plan.presetAt(at(seconds / 2)), seconds > 0 ? 0 : 3);
        QVERIFY(!plan.movingAt(at(seconds + 0.01)));
        QCOMPARE(plan.presetAt(at(seconds + 0.01)), 3);
    }

    void moveZoomsEveryLens()
    {
        sim::Pose to = pose(0, 0, 4);
        to.zoom[1] = 2;
        const sim::HeadProgram plan = pp::move(pose(0), to, 0, kStart, 32);
        QCOMPARE(plan.endUs(), at(2.0));  // doubling each second, the lens that changes most
        QVERIFY(near(plan.poseAt(at(1.0)).zoom[0], 2.0));
        QVERIFY(near(plan.poseAt(at(1.0)).zoom[1], std::sqrt(2.0)));
        QVERIFY(near(plan.poseAt(at(3.0)).zoom[1], 2.0));
    }

    // Two stops at pans 100 (3 s) and 160 (1 s): the head travels to the
    // first, holds, goes on, holds, comes back, and loops.
    void tourHoldsAndLoops_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<double>("pan");
        QTest::addColumn<int>("preset");
        QTest::addColumn<bool>("moving");
        // From 40 to 100: 60 degrees, 1.1 s. Then 100 to 160 and back: 1.1 s.
        QTest::newRow("on the way to the first") << 0.5 << 40.0 + 60 * 0.4 << 0 << true;
        QTest::newRow("holding at the first") << 2.0 << 100.0 << 1 << false;
        QTest::newRow("on to the second") << 4.6 << 100.0 + 60 * 0.4 << 0 << true;
        QTest::newRow("holding at the second") << 5.5 << 160.0 << 2 << false;
        QTest::newRow("back to the first") << 6.7 << 160.0 - 60 * 0.4 << 0 << true;
        QTest::newRow("second round, at the first") << 8.0 << 100.0 << 1 << false;
        QTest::newRow("tenth round, at the second") << 1.1 + 9 * 6.2 + 4.5 << 160.0 << 2 << false;
    }
    void tourHoldsAndLoops()
    {
        QFETCH(double, seconds);
        QFETCH(double, pan);
        QFETCH(int, preset);
        QFETCH(bool, moving);
        const std::vector<pp::Stop> stops{{pose(100), 1, 3.0}, {pose(160), 2, 1.0}};
        const sim::HeadProgram plan = pp::tour(pose(40), stops, kStart, 32);
        QCOMPARE(plan.endUs(), INT64_MAX);
        const double got = plan.poseAt(at(seconds)).panDeg;
        QVERIFY2(nearPan(got, pan), qPrintable(QString::number(got)));
        QCOMPARE(plan.presetAt(at(seconds)), preset);
        QCOMPARE(plan.movingAt(at(seconds)), moving);
        QVERIFY(pp::tour(pose(40), {}, kStart, 32).empty());
    }

    // Limits at pans 350 and 10: clockwise sweeps 20 degrees through 0,
    // counterclockwise the 340 degrees the other way; each comes back the
    // way it went. Speed 4 = 30 deg/s.
    void areaScanSweepsItsWay_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<double>("sweepSeconds");
        QTest::addColumn<double>("midPan");
        QTest::newRow("clockwise") << 1 << 20.0 / 30 + 0.1 << 0.0;
        QTest::newRow("counterclockwise") << -1 << 340.0 / 30 + 0.1 << 180.0;
    }
    void areaScanSweepsItsWay()
    {
        QFETCH(int, direction);
        QFETCH(double, sweepSeconds);
        QFETCH(double, midPan);
        const pp::Stop first{pose(350), 1, 0}, last{pose(10), 2, 0};
        // The head already stands at the start: no travel first.
        const sim::HeadProgram plan =
            pp::areaScan(pose(350), first, last, direction, pm::degreesPerSecond(4), kStart, 32);
        const double mid = sweepSeconds / 2 + 0.05;  // half way, ramp accounted for
        QVERIFY2(nearPan(plan.poseAt(at(mid)).panDeg, midPan, 1e-4),
                 qPrintable(QString::number(plan.poseAt(at(mid)).panDeg)));
        QVERIFY(nearPan(plan.poseAt(at(sweepSeconds)).panDeg, 10.0, 1e-4));
        QVERIFY(nearPan(plan.poseAt(at(sweepSeconds + mid)).panDeg, midPan, 1e-4));  // back the same way
        QVERIFY(nearPan(plan.poseAt(at(2 * sweepSeconds)).panDeg, 350.0, 1e-4));
        QVERIFY(nearPan(plan.poseAt(at(3 * sweepSeconds + mid)).panDeg, midPan, 1e-4));  // and again
        QVERIFY(plan.movingAt(at(2 * sweepSeconds + 0.01)));
    }

    // A pattern played back puts the head where the live head was at the
    // same offset: commands ramp, overlap (zoom while turning) and stop as
    // they did. Then it travels back to the start and repeats.
    void patternReplaysTheLiveHead()
    {
        sim::DeviceProfile profile;
        profile.kind = sim::DeviceKind::PtzDual;
        profile.channels = {{true, 640, 512}, {false, 1920, 1080}};
        profile.hfovDeg = {50, 60};
        profile.homePanDeg = 45;
        profile.homeTiltDeg = -2;
        sim::PtzHead live(profile);
        struct Step {
            double at;
            int command;
            int stop;
            int speed;
        };
        const Step script[] = {{0.5, 3, 0, 2}, {1.0, 9, 0, 1}, {1.7, 9, 1, 1},
                               {2.0, 0, 0, 8}, {2.05, 0, 1, 8}, {2.5, 6, 0, 5}, {3.2, 0, 1, 1}};
        sim::Pattern pattern;
        pattern.recorded = true;
        pattern.start = pose(45, -2);
        pattern.seconds = 4.0;
        for (const Step &s : script)
            pattern.commands.push_back({s.at, s.command, s.stop == 0, s.speed});
        const sim::HeadProgram plan = pp::pattern(pose(45, -2), pattern, kStart, sim::PtzHead::kMaxZoom);
        // The live head runs the script while it is sampled: it knows only
        // the commands it has had.
        std::vector<sim::Pose> seen;
        size_t next = 0;
        for (int i = 0; i <= 80; ++i) {
            const double t = i * 0.05;
            for (; next < std::size(script) && script[next].at <= t + 1e-9; ++next) {
                TMV_NET_PTZ_CONTROL c{};
                c.command = script[next].command;
                c.stop = script[next].stop;
                c.speed = script[next].speed;
                QCOMPARE(live.control(c, at(script[next].at)), 0);
            }
            sim::Pose p = pose(live.panDegAt(at(t)), live.tiltDegAt(at(t)), live.zoomAt(0, at(t)));
            p.zoom[1] = live.zoomAt(1, at(t));
            seen.push_back(p);
            const sim::Pose q = plan.poseAt(at(t));
            QVERIFY2(nearPan(q.panDeg, p.panDeg) && near(q.tiltDeg, p.tiltDeg) && near(q.zoom[1], p.zoom[1]),
                     qPrintable(QStringLiteral("at %1 s: pan %2, live %3").arg(t).arg(q.panDeg).arg(p.panDeg)));
        }
        // After the recording: back to the start at the top speed, then again.
        const sim::Pose end = seen.back();
        const double loop = 4.0 + std::max({pm::secondsToTravel(pm::kTopDegPerSec, std::fabs(end.panDeg - 45.0)),
                                            pm::secondsToTravel(pm::kTopDegPerSec, std::fabs(end.tiltDeg + 2.0)),
                                            std::log2(end.zoom[1])});
        const sim::Pose again = plan.poseAt(at(loop + 1.2));
        QVERIFY(nearPan(again.panDeg, seen[24].panDeg, 1e-3));
        QVERIFY(near(again.zoom[0], seen[24].zoom[0], 1e-3));
    }

    void slotRules_data()
    {
        QTest::addColumn<int>("kind");  // 0 tour save, 1 area scan set, 2 boot, 3 park
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("a");     // tour: count; scan: speed; actions: type
        QTest::addColumn<int>("b");     // tour: preset of the stop; scan: start preset; actions: number / dwell
        QTest::addColumn<int>("status");
        QTest::newRow("tour") << 0 << 8 << 2 << 3 << 0;
        QTest::newRow("tour, empty") << 0 << 1 << 0 << 0 << 0;
        QTest::newRow("tour slot 9") << 0 << 9 << 1 << 3 << 3;
        QTest::newRow("tour of 257 stops") << 0 << 1 << 257 << 3 << 3;
        QTest::newRow("tour, negative count") << 0 << 1 << -1 << 3 << 3;
        QTest::newRow("tour stop at preset 17") << 0 << 1 << 1 << 17 << 3;
        QTest::newRow("scan") << 1 << 8 << 8 << 3 << 0;
        QTest::newRow("scan without start preset") << 1 << 1 << 1 << 0 << 0;
        QTest::newRow("scan from an empty preset") << 1 << 1 << 1 << 4 << 3;
        QTest::newRow("scan speed 0") << 1 << 1 << 0 << 3 << 3;
        QTest::newRow("scan speed 9") << 1 << 1 << 9 << 3 << 3;
        QTest::newRow("scan slot 0") << 1 << 0 << 1 << 3 << 3;
        QTest::newRow("boot auto reset") << 2 << 0 << 0 << 0 << 0;
        QTest::newRow("boot tour 8") << 2 << 0 << 2 << 8 << 0;
        QTest::newRow("boot pattern 5") << 2 << 0 << 3 << 5 << 3;
        QTest::newRow("boot line scan 5") << 2 << 0 << 4 << 5 << 0;
        QTest::newRow("boot type 6") << 2 << 0 << 6 << 1 << 3;
        QTest::newRow("park preset, 30 s") << 3 << 0 << 1 << 30 << 0;
        QTest::newRow("park on, no dwell") << 3 << 0 << 1 << 0 << 3;
        QTest::newRow("park dwell past a day") << 3 << 0 << 1 << 86401 << 3;
    }
    void slotRules()
    {
        QFETCH(int, kind);
        QFETCH(int, id);
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(int, status);
        sim::PtzSlots store(16);
        std::vector<bool> stored(16, false);
        stored[2] = true;  // preset 3
        switch (kind) {
        case 0: {
            auto tour = std::make_unique<TMV_NET_TOUR_INFO>();
            std::memset(tour.get(), 0, sizeof *tour);
            tour->id = id;
            tour->count = a;
            for (int i = 0; i < std::clamp(a, 0, TMV_NET_MAX_TOUR_POINTS); ++i)
                tour->points[i].preset.id = b;
            QCOMPARE(int(store.saveTour(*tour)), status);
            break;
        }
        case 1:
            QCOMPARE(int(store.setScan({id, 1, {}, 1, a, b, 0, 0.5f}, stored)), status);
            break;
        case 2: {
            TMV_NET_BOOT_ACTION_INFO boot{1, {}, a, b, b, b, b, b};
            QCOMPARE(int(store.setBoot(boot)), status);
            break;
        }
        default: {
            TMV_NET_PARK_ACTION_INFO park{1, {}, a, 3, 3, 3, 3, 3, 0, b, 0};
            QCOMPARE(int(store.setPark(park)), status);
            break;
        }
        }
    }
};

QTEST_GUILESS_MAIN(TestPtzPrograms)
#include "tst_ptzprograms.moc"
