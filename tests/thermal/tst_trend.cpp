// The temperature trend: the bounded sample ring, the per-column thinning of
// the plot and the CSV writer as tables.
#include <QtTest>

#include <cmath>
#include <limits>

#include "TrendCsv.h"
#include "TrendRing.h"
#include "TrendThin.h"

namespace {

const float kGap = std::numeric_limits<float>::quiet_NaN();

// 2026-12-10 13:00:00 UTC.
const qint64 kT0 = 1796907600000LL;

using Samples = QVector<QPointF>;

TrendRing RingOf(const Samples &samples, size_t capacity = TrendRing::kDayAtOnePerSecond)
{
    TrendRing ring(capacity);
    for (const QPointF &s : samples)
        ring.Push(kT0 + qint64(s.x()), float(s.y()));
    return ring;
}

Samples Contents(const TrendRing &ring)
{
    Samples out;
    for (size_t i = 0; i < ring.Size(); ++i)
        out << QPointF(double(ring.TimeAt(i) - kT0), double(ring.ValueAt(i)));
    return out;
}

QVector<Samples> SegmentsOf(const std::vector<TrendSegment> &segments)
{
    QVector<Samples> out;
    for (const TrendSegment &segment : segments) {
        Samples points;
        for (const TrendPoint &p : segment)
            points << QPointF(double(p.timeMs - kT0), double(p.value));
        out << points;
    }
    return out;
}

} // namespace

Q_DECLARE_METATYPE(QVector<Samples>)

class TestTrend : public QObject
{
    Q_OBJECT

private slots:
    void ringDropsTheOldestAtItsBound_data();
    void ringDropsTheOldestAtItsBound();
    void ringFindsTimes();
    void thinning_data();
    void thinning();
    void thinningKeepsEveryColumnsExtremes();
    void csv_data();
    void csv();
};

void TestTrend::ringDropsTheOldestAtItsBound_data()
{
    QTest::addColumn<int>("capacity");
    QTest::addColumn<int>("pushed");
    QTest::addColumn<Samples>("kept");
    QTest::newRow("below the bound") << 4 << 2 << Samples{{0, 0}, {1000, 1}};
    QTest::newRow("at the bound") << 3 << 3 << Samples{{0, 0}, {1000, 1}, {2000, 2}};
    QTest::newRow("one over") << 3 << 4 << Samples{{1000, 1}, {2000, 2}, {3000, 3}};
    QTest::newRow("wrapped twice and more") << 3 << 8 << Samples{{5000, 5}, {6000, 6}, {7000, 7}};
    QTest::newRow("bound of one") << 1 << 5 << Samples{{4000, 4}};
}

void TestTrend::ringDropsTheOldestAtItsBound()
{
    QFETCH(int, capacity);
    QFETCH(int, pushed);
    QFETCH(Samples, kept);
    TrendRing ring{size_t(capacity)};
    for (int i = 0; i < pushed; ++i)
        ring.Push(kT0 + i * 1000, float(i));
    QCOMPARE(Contents(ring), kept);
    QVERIFY(ring.Size() <= ring.Capacity());
}

void TestTrend::ringFindsTimes()
{
    TrendRing ring(4);
    for (int i = 0; i < 7; ++i) // keeps 3000..6000, wrapped
        ring.Push(kT0 + i * 1000, float(i));
    QCOMPARE(ring.LowerBound(kT0), size_t(0));
    QCOMPARE(ring.LowerBound(kT0 + 3000), size_t(0));
    QCOMPARE(ring.LowerBound(kT0 + 3001), size_t(1));
    QCOMPARE(ring.LowerBound(kT0 + 6000), size_t(3));
    QCOMPARE(ring.LowerBound(kT0 + 6001), size_t(4));
}

void TestTrend::thinning_data()
{
    QTest::addColumn<Samples>("samples");
    QTest::addColumn<qint64>("from");
    QTest::addColumn<qint64>("to");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QVector<Samples>>("segments");

    const Samples five{{0, 1}, {1000, 5}, {2000, 2}, {3000, 4}, {4000, 3}};
    QTest::newRow("few samples: all kept") << five << qint64(0) << qint64(4000) << 100 << QVector<Samples>{five};
    QTest::newRow("span bounds are inclusive, outside is left out")
        << five << qint64(1000) << qint64(3000) << 100 << QVector<Samples>{{{1000, 5}, {2000, 2}, {3000, 4}}};
    QTest::newRow("empty span") << five << qint64(5000) << qint64(9000) << 100 << QVector<Samples>{};
    QTest::newRow("a failed sample splits the line")
        << Samples{{0, 1}, {1000, kGap}, {2000, 2}, {3000, 3}} << qint64(0) << qint64(3000) << 100
        << QVector<Samples>{{{0, 1}}, {{2000, 2}, {3000, 3}}};
    QTest::newRow("no zero for a run of failures")
        << Samples{{0, kGap}, {1000, kGap}, {2000, 7}} << qint64(0) << qint64(2000) << 100
        << QVector<Samples>{{{2000, 7}}};
    // Two columns of 4 samples: low and high of each, in time order.
    QTest::newRow("low and high per column")
        << Samples{{0, 5}, {1000, 9}, {2000, 1}, {3000, 6}, {4000, 3}, {5000, 2}, {6000, 8}, {7000, 4}}
        << qint64(0) << qint64(7999) << 2 << QVector<Samples>{{{1000, 9}, {2000, 1}, {5000, 2}, {6000, 8}}};
    QTest::newRow("a failure inside a thinned column breaks the line there")
        << Samples{{0, 5}, {1000, 9}, {2000, kGap}, {3000, 1}, {4000, 3}, {5000, 2}, {6000, 8}, {7000, 4}}
        << qint64(0) << qint64(7999) << 2
        << QVector<Samples>{{{1000, 9}}, {{3000, 1}, {5000, 2}, {6000, 8}}};
}

void TestTrend::thinning()
{
    QFETCH(Samples, samples);
    QFETCH(qint64, from);
    QFETCH(qint64, to);
    QFETCH(int, columns);
    QFETCH(QVector<Samples>, segments);
    const TrendRing ring = RingOf(samples);
    QCOMPARE(SegmentsOf(ThinForColumns(ring, kT0 + from, kT0 + to, columns)), segments);
}

// A day at one a second onto 800 columns: at most two points a column, and
// each column's extremes are among them (no peak lost).
void TestTrend::thinningKeepsEveryColumnsExtremes()
{
    const int day = 86400, columns = 800;
    TrendRing ring;
    for (int i = 0; i < day; ++i)
        ring.Push(kT0 + qint64(i) * 1000, float(50.0 + 30.0 * std::sin(i / 700.0) + (i % 97 == 0 ? 40.0 : 0.0)));
    const qint64 from = kT0, to = kT0 + qint64(day) * 1000 - 1;
    const std::vector<TrendSegment> segments = ThinForColumns(ring, from, to, columns);
    QCOMPARE(segments.size(), size_t(1));
    const TrendSegment &points = segments.front();
    QVERIFY(points.size() <= size_t(columns) * 2);
    const double span = double(to - from) + 1.0;
    QVector<float> low(columns, 1e9f), high(columns, -1e9f), drawnLow(columns, 1e9f), drawnHigh(columns, -1e9f);
    for (int i = 0; i < day; ++i) {
        const int c = int(double(qint64(i) * 1000) * columns / span);
        low[c] = std::min(low[c], ring.ValueAt(size_t(i)));
        high[c] = std::max(high[c], ring.ValueAt(size_t(i)));
    }
    for (size_t k = 0; k < points.size(); ++k) {
        if (k > 0)
            QVERIFY(points[k - 1].timeMs < points[k].timeMs);
        const int c = int(double(points[k].timeMs - from) * columns / span);
        drawnLow[c] = std::min(drawnLow[c], points[k].value);
        drawnHigh[c] = std::max(drawnHigh[c], points[k].value);
    }
    QCOMPARE(drawnLow, low);
    QCOMPARE(drawnHigh, high);
}

void TestTrend::csv_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("unit");
    QTest::addColumn<QVector<Samples>>("series");
    QTest::addColumn<qint64>("from");
    QTest::addColumn<qint64>("to");
    QTest::addColumn<QString>("expected");

    const QVector<Samples> run{{{0, 41.5}, {1000, 42.25}, {2000, 43.0}},
                               {{0, 20.0}, {1000, kGap}, {2000, 20.1}},
                               {{0, -3.5}, {1000, -3.25}, {2000, -3.0}}};
    QTest::newRow("a known run, Celsius")
        << QStringList{"Frame Max", "R3", "P1"} << 0 << run << qint64(0) << qint64(2000)
        << QString("Time (UTC),Frame Max (\u00B0C),R3 (\u00B0C),P1 (\u00B0C)\r\n"
                   "2026-12-10T13:00:00.000Z,41.50,20.00,-3.50\r\n"
                   "2026-12-10T13:00:01.000Z,42.25,,-3.25\r\n"
                   "2026-12-10T13:00:02.000Z,43.00,20.10,-3.00\r\n");
    QTest::newRow("only the shown span")
        << QStringList{"Frame Max", "R3", "P1"} << 2 << run << qint64(500) << qint64(1500)
        << QString("Time (UTC),Frame Max (K),R3 (K),P1 (K)\r\n"
                   "2026-12-10T13:00:01.000Z,42.25,,-3.25\r\n");
    QTest::newRow("names with commas and quotes")
        << QStringList{"Tank, north", "say \"hot\"", "plain"} << 1 << run << qint64(2000) << qint64(2000)
        << QString("Time (UTC),\"Tank, north (\u00B0F)\",\"say \"\"hot\"\" (\u00B0F)\",plain (\u00B0F)\r\n"
                   "2026-12-10T13:00:02.000Z,43.00,20.10,-3.00\r\n");
    QTest::newRow("unknown unit: bare names")
        << QStringList{"R1"} << 7 << QVector<Samples>{{{0, 1}}} << qint64(0) << qint64(0)
        << QString("Time (UTC),R1\r\n2026-12-10T13:00:00.000Z,1.00\r\n");
    QTest::newRow("series sampled at different moments: one row each")
        << QStringList{"A", "B"} << 0 << QVector<Samples>{{{0, 1}, {2000, 3}}, {{1000, 2}}} << qint64(0)
        << qint64(5000)
        << QString("Time (UTC),A (\u00B0C),B (\u00B0C)\r\n"
                   "2026-12-10T13:00:00.000Z,1.00,\r\n"
                   "2026-12-10T13:00:01.000Z,,2.00\r\n"
                   "2026-12-10T13:00:02.000Z,3.00,\r\n");
    QTest::newRow("nothing sampled: header only")
        << QStringList{"A"} << 0 << QVector<Samples>{Samples()} << qint64(0) << qint64(5000)
        << QString("Time (UTC),A (\u00B0C)\r\n");
}

void TestTrend::csv()
{
    QFETCH(QStringList, names);
    QFETCH(int, unit);
    QFETCH(QVector<Samples>, series);
    QFETCH(qint64, from);
    QFETCH(qint64, to);
    QFETCH(QString, expected);
    std::vector<TrendRing> rings;
    for (const Samples &samples : series)
        rings.push_back(RingOf(samples));
    std::vector<const TrendRing *> pointers;
    for (const TrendRing &ring : rings)
        pointers.push_back(&ring);
    QCOMPARE(TrendCsv::Write(names, TrendCsv::UnitText(unit), pointers, kT0 + from, kT0 + to), expected);
}

QTEST_MAIN(TestTrend)
#include "tst_trend.moc"
