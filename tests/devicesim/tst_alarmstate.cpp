// The alarm engine's pure parts: the threshold state machine (crossing,
// hysteresis, debounce, switching off), the meaning of the alarm rules, and
// the record layouts of the type codes.

#include "alarms/AlarmRecords.h"
#include "alarms/AlarmState.h"

#include <QtTest>
#include <cstddef>
#include <cstring>

using sim::AlarmEdge;
using sim::AlarmThreshold;
using sim::ThresholdState;

namespace {

// Feeds readings 100 ms apart; the edges as text, one letter a reading:
// '.' nothing, 'S' start, 'E' end.
QString run(const AlarmThreshold &limit, const QList<double> &values)
{
    ThresholdState state;
    QString out;
    int64_t t = 0;
    for (double v : values) {
        const AlarmEdge e = state.step(limit, v, t);
        out += e == AlarmEdge::Start ? 'S' : e == AlarmEdge::End ? 'E' : '.';
        t += 100000;
    }
    return out;
}

}  // namespace

class TestAlarmState : public QObject {
    Q_OBJECT
private slots:
    void thresholdEdges_data()
    {
        QTest::addColumn<bool>("greater");
        QTest::addColumn<double>("tolerance");
        QTest::addColumn<int>("debounceMs");
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<QString>("edges");
        // Threshold 50 throughout.
        QTest::newRow("below: nothing") << true << 0.0 << 0 << QList<double>{40, 45, 49.9} << "...";
        QTest::newRow("at the threshold is not above") << true << 0.0 << 0 << QList<double>{50, 50} << "..";
        QTest::newRow("crossing up starts, back down ends") << true << 0.0 << 0
                                                            << QList<double>{40, 51, 52, 49} << ".S.E";
        QTest::newRow("hovering without tolerance chatters") << true << 0.0 << 0
                                                             << QList<double>{51, 49.9, 50.1, 49.9} << "SESE";
        QTest::newRow("hovering inside the tolerance holds") << true << 2.0 << 0
                                                             << QList<double>{51, 49, 50.5, 48.5, 50.2} << "S....";
        QTest::newRow("ends below threshold minus tolerance") << true << 2.0 << 0
                                                              << QList<double>{51, 48.1, 47.9} << "S.E";
        QTest::newRow("negative tolerance counts as none") << true << -5.0 << 0 << QList<double>{51, 49} << "SE";
        QTest::newRow("less than: starts below, ends above plus tolerance")
            << false << 1.0 << 0 << QList<double>{55, 49, 50.5, 51.5} << ".S.E";
        QTest::newRow("debounce: a short spike is ignored") << true << 0.0 << 300
                                                            << QList<double>{60, 60, 40, 60, 60} << ".....";
        QTest::newRow("debounce: held long enough starts")
            << true << 0.0 << 300 << QList<double>{60, 60, 60, 60, 60} << "...S.";
        QTest::newRow("debounce: a short dip does not end it")
            << true << 0.0 << 200 << QList<double>{60, 60, 60, 40, 60, 40, 40, 40} << "..S....E";
    }
    void thresholdEdges()
    {
        QFETCH(bool, greater);
        QFETCH(double, tolerance);
        QFETCH(int, debounceMs);
        QFETCH(QList<double>, values);
        QFETCH(QString, edges);
        const AlarmThreshold limit{greater, 50.0, tolerance, int64_t(debounceMs) * 1000};
        QCOMPARE(run(limit, values), edges);
    }

    // The threshold moved above the reading (the operator raised it): the
    // alarm ends; switched off, it ends at once whatever the reading.
    void changedOrSwitchedOff()
    {
        ThresholdState state;
        AlarmThreshold limit{true, 50.0, 1.0, 0};
        QCOMPARE(state.step(limit, 80, 0), AlarmEdge::Start);
        limit.threshold = 100;
        QCOMPARE(state.step(limit, 80, 100000), AlarmEdge::End);
        limit.threshold = 50;
        QCOMPARE(state.step(limit, 80, 200000), AlarmEdge::Start);
        QCOMPARE(state.off(), AlarmEdge::End);
        QCOMPARE(state.off(), AlarmEdge::None);
    }

    void debounceSeconds_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<qlonglong>("us");
        QTest::newRow("0") << 0 << 0LL;
        QTest::newRow("2") << 2 << 2000000LL;
        QTest::newRow("negative") << -3 << 0LL;
        QTest::newRow("beyond an hour") << 100000 << 3600000000LL;
    }
    void debounceSeconds()
    {
        QFETCH(int, seconds);
        QFETCH(qlonglong, us);
        QCOMPARE(AlarmThreshold::debounceFromSeconds(seconds), int64_t(us));
    }

    void alarmRules_data()
    {
        QTest::addColumn<int>("rule");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("pick");
        QTest::addColumn<bool>("greater");
        QTest::newRow("0 off") << 0 << false << 0 << false;
        QTest::newRow("1 avg >") << 1 << true << int(sim::TempPick::Avg) << true;
        QTest::newRow("2 avg <") << 2 << true << int(sim::TempPick::Avg) << false;
        QTest::newRow("3 max >") << 3 << true << int(sim::TempPick::Max) << true;
        QTest::newRow("4 max <") << 4 << true << int(sim::TempPick::Max) << false;
        QTest::newRow("5 min >") << 5 << true << int(sim::TempPick::Min) << true;
        QTest::newRow("6 min <") << 6 << true << int(sim::TempPick::Min) << false;
        QTest::newRow("7 unknown") << 7 << false << 0 << false;
    }
    void alarmRules()
    {
        QFETCH(int, rule);
        QFETCH(bool, valid);
        QFETCH(int, pick);
        QFETCH(bool, greater);
        sim::TempPick p = sim::TempPick::Avg;
        bool g = false;
        QCOMPARE(sim::alarmRuleMeaning(rule, &p, &g), valid);
        if (valid) {
            QCOMPARE(int(p), pick);
            QCOMPARE(g, greater);
        }
    }

    // The common fields land where the header puts them, for every type.
    void recordLayouts_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("time");
        QTest::addColumn<int>("pictures");
        QTest::newRow("temp") << 10001 << 376 << int(offsetof(TMV_NET_TEMP_ALARM_INFO, channel))
                              << int(offsetof(TMV_NET_TEMP_ALARM_INFO, time))
                              << int(offsetof(TMV_NET_TEMP_ALARM_INFO, pictures));
        QTest::newRow("fire") << 10002 << 424 << 264 << 272 << 288;
        QTest::newRow("temp diff") << 10004 << 912 << 264 << 272 << 288;
        QTest::newRow("high light") << 10006 << 56 << 0 << 8 << 24;
        QTest::newRow("object pulse") << 20003 << 1088 << 0 << 8 << 24;
        QTest::newRow("local") << 40001 << 72 << 16 << 24 << 40;
        QTest::newRow("track state") << 50001 << 64 << 8 << 16 << 32;
        QTest::newRow("track object") << 50002 << 112 << 56 << 64 << 80;
        QTest::newRow("sd exception") << 70001 << 64 << 8 << 16 << -1;
        QTest::newRow("unknown") << 12345 << 1024 << -1 << -1 << -1;
    }
    void recordLayouts()
    {
        QFETCH(int, type);
        QFETCH(int, size);
        QFETCH(int, channel);
        QFETCH(int, time);
        QFETCH(int, pictures);
        const sim::AlarmLayout l = sim::alarmLayout(type);
        QCOMPARE(l.size, size);
        QCOMPARE(l.channel, channel);
        QCOMPARE(l.time, time);
        QCOMPARE(l.pictures, pictures);
        auto event = sim::newAlarm(type, 1, 1700000000, 1, nullptr, nullptr);
        QCOMPARE(event->size, size);
        if (channel >= 0) {
            const auto *bytes = static_cast<const uint8_t *>(event->bytes());
            int32_t c = 0;
            int64_t t = 0;
            std::memcpy(&c, bytes + channel, sizeof c);
            std::memcpy(&t, bytes + time, sizeof t);
            QCOMPARE(c, 1);
            QCOMPARE(t, int64_t(1700000000));
        }
    }
};

QTEST_GUILESS_MAIN(TestAlarmState)
#include "tst_alarmstate.moc"
