// The temperature trend: the bounded sample ring, the per-column thinning of
// the plot and the CSV writer as tables; then the sampler and the window on
// the simulated fleet with a stepped clock.
#include <QCheckBox>
#include <QDateTime>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "thermal/AlarmPage.h"
#include "app/MainWindow.h"
#include "thermal/TempAlarmPage.h"
#include "TestSupport.h"
#include "thermal/trend/TrendCsv.h"
#include "thermal/trend/TrendRing.h"
#include "thermal/trend/TrendSampler.h"
#include "thermal/trend/TrendThin.h"
#include "thermal/trend/TrendWindow.h"

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

// A rectangle rule of the whole frame's preset around a point of the
// picture, with a greater-than alarm at `threshold`.
TMV_NET_TEMP_RULE RectangleAround(int x, int y, int half, float threshold)
{
    TMV_NET_TEMP_RULE rule;
    std::memset(&rule, 0, sizeof rule);
    rule.enable = 1;
    rule.ruleType = 2;
    rule.pointCount = 4;
    const int left = std::max(0, x - half), right = std::min(8191, x + half);
    const int top = std::max(0, y - half), bottom = std::min(8191, y + half);
    rule.points[0] = {left, top};
    rule.points[1] = {right, top};
    rule.points[2] = {right, bottom};
    rule.points[3] = {left, bottom};
    rule.condition.alarmRule = 3;
    rule.condition.threshold = threshold;
    return rule;
}

int64_t DeviceClock()
{
    return TMVSim_ClockNowMs();
}

float Last(const TrendSampler::Series &series)
{
    return series.ring.ValueAt(series.ring.Size() - 1);
}

QList<qint64> TimesOf(const QList<QPointF> &points)
{
    QList<qint64> times;
    for (const QPointF &p : points)
        times << qint64(p.x());
    return times;
}

// The sample times of a CSV export, row by row.
QList<qint64> CsvTimes(const QString &csv)
{
    QList<qint64> times;
    const QStringList rows = csv.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    for (int i = 1; i < rows.size(); ++i)
        times << QDateTime::fromString(rows[i].section(',', 0, 0), Qt::ISODateWithMs).toMSecsSinceEpoch();
    return times;
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

    // On the fleet, through the page's "Trend" button.
    void initTestCase();
    void init();
    void cleanup();
    void seriesMatchTheDeviceSampleBySample();
    void failedQueryLeavesAGap_data();
    void failedQueryLeavesAGap();
    void noQueryOnceStopped_data();
    void noQueryOnceStopped();
    void exportWritesTheShownRun();
    void ruleLineFollowsTheTransformer();
    void alarmStartAndEndAreMarked();
    void pauseHoldsTheShownSpan();
    void rulesSharingAnIdReadTheirOwn();

private:
    // Opens the trend window from the page; the sampler then takes its times
    // from the device's clock.
    TrendWindow *OpenTrend();
    // A step of the device's clock and the sample the timer would take.
    void Tick(TrendWindow *window, int ms = 1000);

    std::unique_ptr<PageFixture> m_fixture;
    TempAlarmPage *m_page = nullptr;
    TMV_NET_HANDLE m_handle = nullptr;
    int m_ruleId = 0;
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

void TestTrend::initTestCase()
{
    WarningGuard::install();
}

void TestTrend::init()
{
    if (!QTest::currentTestFunction() || std::strncmp(QTest::currentTestFunction(), "ring", 4) == 0
        || std::strncmp(QTest::currentTestFunction(), "thin", 4) == 0
        || std::strncmp(QTest::currentTestFunction(), "csv", 3) == 0)
        return;
    m_fixture.reset(new PageFixture);
    QVERIFY(m_fixture->login());
    m_handle = m_fixture->window()->Handle();
    m_page = m_fixture->window()->findChild<TempAlarmPage *>();
    m_fixture->child<QTabWidget>("tabWidget")->setCurrentWidget(m_page);
    SimFixture::pauseClock();
    // One rule over the hottest thing in sight, the transformer, with a
    // threshold a little under it.
    TMV_NET_TEMP_INFO frame{};
    QCOMPARE(TMV_NET_QueryFrameTemp(m_handle, &frame), 0);
    TMV_NET_TEMP_RULE rule = RectangleAround(frame.maxX, frame.maxY, 500, frame.maxTemp - 5.0f);
    QCOMPARE(TMV_NET_AddTempRule(m_handle, &rule), 0);
    TMV_NET_TEMP_RULE_KEY key{0, 0, -1, -1};
    TMV_NET_TEMP_RULE listed{};
    int32_t returned = 0;
    QCOMPARE(TMV_NET_QueryTempRule(m_handle, &key, &listed, 1, &returned), 0);
    QCOMPARE(returned, 1);
    m_ruleId = listed.ruleId;
}

void TestTrend::cleanup()
{
    if (m_fixture) {
        QCOMPARE(m_fixture->boxes().count(), 0);
        m_fixture->verifyClean();
    }
    m_fixture.reset();
    SimFixture::clearFaults();
    SimFixture::resumeClock();
}

TrendWindow *TestTrend::OpenTrend()
{
    m_fixture->click("trendBtn");
    TrendWindow *window = m_page->GetTrendWindow();
    if (window)
        window->Sampler()->SetClock(DeviceClock);
    return window;
}

void TestTrend::Tick(TrendWindow *window, int ms)
{
    SimFixture::stepClock(ms);
    window->Sampler()->SampleNow();
}

void TestTrend::seriesMatchTheDeviceSampleBySample()
{
    TrendWindow *window = OpenTrend();
    QVERIFY(window);
    TrendSampler *sampler = window->Sampler();
    QVERIFY(sampler->Running());
    const std::vector<TrendSampler::Series> &series = sampler->AllSeries();
    QCOMPARE(series.size(), size_t(4));
    QCOMPARE(series[3].name, QString("R%1").arg(m_ruleId));
    QCOMPARE(m_fixture->child<QCheckBox>(window, "trendSeriesCheck_R" + QString::number(m_ruleId))->text(),
             series[3].name);

    // A second session reads the device at the same paused instant.
    const TMV_NET_HANDLE other = SimFixture::login();
    QVERIFY(other);
    for (int i = 0; i < 5; ++i) {
        Tick(window, 1000);
        TMV_NET_TEMP_INFO frame{};
        QCOMPARE(TMV_NET_QueryFrameTemp(other, &frame), 0);
        TMV_NET_TEMP_RULE_KEY key{0, 0, 2, m_ruleId};
        TMV_NET_RULE_TEMP rule{};
        int32_t returned = 0;
        QCOMPARE(TMV_NET_QueryRuleTemp(other, &key, &rule, 1, &returned), 0);
        QCOMPARE(series[0].ring.TimeAt(series[0].ring.Size() - 1), TMVSim_ClockNowMs());
        QCOMPARE(Last(series[0]), frame.maxTemp);
        QCOMPARE(Last(series[1]), frame.minTemp);
        QCOMPARE(Last(series[2]), frame.avgTemp);
        QCOMPARE(Last(series[3]), rule.temp.maxTemp);
    }
    QCOMPARE(TMV_NET_Logout(other), 0);
    QCOMPARE(m_fixture->child<QLabel>(window, "trendStatusLabel")->text(), QString());
}

void TestTrend::failedQueryLeavesAGap_data()
{
    QTest::addColumn<QString>("function");
    QTest::addColumn<QList<int>>("gaps");
    QTest::addColumn<QString>("status");
    QTest::newRow("frame") << "TMV_NET_QueryFrameTemp" << QList<int>{0, 1, 2}
                           << "Query Frame Temp failed (status 1)";
    QTest::newRow("rules") << "TMV_NET_QueryRuleTemp" << QList<int>{3} << "Get rule temp failed (status 1)";
}

void TestTrend::failedQueryLeavesAGap()
{
    QFETCH(QString, function);
    QFETCH(QList<int>, gaps);
    QFETCH(QString, status);
    TrendWindow *window = OpenTrend();
    QVERIFY(window);
    const std::vector<TrendSampler::Series> &series = window->Sampler()->AllSeries();
    Tick(window);
    SimFixture::fail(function.toLatin1().constData(), 1, 2);
    Tick(window);
    Tick(window);
    for (size_t s = 0; s < series.size(); ++s)
        QCOMPARE(std::isnan(Last(series[s])), gaps.contains(int(s)));
    QLabel *label = m_fixture->child<QLabel>(window, "trendStatusLabel");
    QCOMPARE(label->text(), status);
    Tick(window);
    for (size_t s = 0; s < series.size(); ++s)
        QVERIFY(!std::isnan(Last(series[s])));
    QCOMPARE(label->text(), QString());

    // Drawn: the line breaks, and nothing near zero stands for the gap.
    window->Refresh();
    const int gapped = gaps.first();
    const QList<QPointF> drawn = window->DrawnPoints(gapped);
    QCOMPARE(drawn.size(), int(series[size_t(gapped)].ring.Size()) - 2);
    for (const QPointF &p : drawn)
        QVERIFY(!std::isnan(p.y()) && p.y() != 0.0);
}

void TestTrend::noQueryOnceStopped_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("status");
    QTest::newRow("logout") << "logout" << "Stopped: logged out";
    QTest::newRow("channel change") << "channel" << "Stopped: the live channel changed";
    QTest::newRow("window closed") << "close" << "Stopped: window closed";
}

void TestTrend::noQueryOnceStopped()
{
    QFETCH(QString, how);
    QFETCH(QString, status);
    QPointer<TrendWindow> window = OpenTrend();
    QVERIFY(window);
    TrendSampler *sampler = window->Sampler();
    if (how == "logout") {
        m_fixture->click("loginBtn");
        QVERIFY(!m_fixture->loggedIn());
    } else if (how == "channel") {
        m_fixture->click("onlineChannel1RadioBtn");
        QCOMPARE(m_fixture->window()->Channel(), 1);
        Tick(window);  // the next tick sees the channel and stops
    } else {
        window->close();
    }
    SimFixture::clearJournal();
    if (window) {
        QVERIFY(!sampler->Running());
        QCOMPARE(m_fixture->child<QLabel>(window, "trendStatusLabel")->text(), status);
        sampler->SampleNow();
    }
    SimFixture::resumeClock();
    QTest::qWait(int(TrendSampler::kIntervalMs * 1.5));
    QCOMPARE(SimFixture::countOf("TMV_NET_QueryFrameTemp"), 0);
    QCOMPARE(SimFixture::countOf("TMV_NET_QueryRuleTemp"), 0);
}

void TestTrend::exportWritesTheShownRun()
{
    TrendWindow *window = OpenTrend();
    QVERIFY(window);
    // The known run: three samples a second apart, read back from the device
    // at each instant.
    QStringList rows;
    const auto row = [this] {
        TMV_NET_TEMP_INFO frame{};
        TMV_NET_TEMP_RULE_KEY key{0, 0, 2, m_ruleId};
        TMV_NET_RULE_TEMP rule{};
        int32_t returned = 0;
        if (TMV_NET_QueryFrameTemp(m_handle, &frame) != 0
            || TMV_NET_QueryRuleTemp(m_handle, &key, &rule, 1, &returned) != 0)
            return QString("query failed");
        const auto f = [](float v) { return QString::number(double(v), 'f', 2); };
        return QDateTime::fromMSecsSinceEpoch(TMVSim_ClockNowMs(), Qt::UTC).toString(Qt::ISODateWithMs) + ','
               + f(frame.maxTemp) + ',' + f(frame.minTemp) + ',' + f(frame.avgTemp) + ',' + f(rule.temp.maxTemp);
    };
    for (int i = 0; i < 3; ++i) {
        Tick(window);
        rows << row();
    }
    // Paused on the run (zooming does that): the span is what is exported.
    window->View()->SpanRequested(TMVSim_ClockNowMs() - 2000, TMVSim_ClockNowMs());
    QVERIFY(window->Paused());

    QTemporaryDir dir;
    const QString path = dir.filePath("trend.csv");
    FileDialogAnswerer answer(path);
    m_fixture->click(window, "trendExportCsvBtn");
    QVERIFY(answer.answered());
    QCOMPARE(answer.caption(), QString("Export CSV"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString expected = QString("\uFEFFTime (UTC),Frame Max (\u00B0C),Frame Min (\u00B0C),Frame Avg (\u00B0C),R%1 (\u00B0C)\r\n")
                                 .arg(m_ruleId)
                             + rows.join("\r\n") + "\r\n";
    QCOMPARE(QString::fromUtf8(file.readAll()), expected);
}

// The transformer's load swings its temperature over five minutes: over
// seven and a half, the rule's drawn line both rises and falls by several
// degrees, and its threshold is drawn.
void TestTrend::ruleLineFollowsTheTransformer()
{
    TrendWindow *window = OpenTrend();
    QVERIFY(window);
    const qint64 from = TMVSim_ClockNowMs() + 1;
    for (int i = 0; i < 450; ++i)
        Tick(window);
    window->View()->SpanRequested(from, TMVSim_ClockNowMs());
    const QList<QPointF> line = window->DrawnPoints(3);
    QVERIFY(line.size() > 200);
    double lowest = line.first().y(), highest = lowest, rise = 0, fall = 0;
    for (const QPointF &p : line) {
        lowest = std::min(lowest, p.y());
        highest = std::max(highest, p.y());
        rise = std::max(rise, p.y() - lowest);
        fall = std::max(fall, highest - p.y());
    }
    QVERIFY2(rise > 5.0 && fall > 5.0, qPrintable(QString("rise %1, fall %2").arg(rise).arg(fall)));

    // The rule's threshold across the span, the frame's maximum without one.
    const float threshold = window->Sampler()->AllSeries()[3].threshold;
    QCOMPARE(window->ThresholdLine(3), (QList<QPointF>{{double(from), double(threshold)},
                                                       {double(TMVSim_ClockNowMs()), double(threshold)}}));
    QVERIFY(window->ThresholdLine(0).isEmpty());
    // Its legend box hides the line and the threshold.
    m_fixture->child<QCheckBox>(window, "trendSeriesCheck_" + window->Sampler()->AllSeries()[3].name)->click();
    QVERIFY(window->DrawnPoints(3).isEmpty());
    QVERIFY(window->ThresholdLine(3).isEmpty());
    QCOMPARE(window->DrawnPoints(0).size(), 450);
}

// Records of a subscription reach the window: start and end are marked at
// their device time under the rule's name, a single alarm is not.
void TestTrend::alarmStartAndEndAreMarked()
{
    TrendWindow *window = OpenTrend();
    QVERIFY(window);
    m_fixture->click("openAlarmCallbackBtn");
    const struct { int state; int64_t time; } records[] = {{1, 1796907600}, {0, 1796907601}, {2, 1796907602}};
    for (const auto &r : records) {
        TMV_NET_TEMP_ALARM_INFO info;
        std::memset(&info, 0, sizeof info);
        std::strcpy(info.name, "Tank, north");
        info.state = r.state;
        info.time = r.time;
        QCOMPARE(TMVSim_InjectAlarmRecord(SimFixture::kPtzCamera, TMV_NET_ALARM_TEMP, &info, int(sizeof info),
                                          nullptr, 0, nullptr, 0),
                 0);
    }
    // The device's own rule alarm may come in between: only ours are counted.
    const auto ours = [window] {
        QList<TrendChartView::Mark> marks;
        for (const TrendChartView::Mark &mark : window->Marks())
            if (mark.name == "Tank, north")
                marks << mark;
        return marks;
    };
    // Delivered in order: once the end is marked, the single alarm has been
    // handled too.
    QTRY_COMPARE(ours().size(), 2);
    QVERIFY(m_page->GetAlarmPage()->RowCount() >= 3);
    QCOMPARE(ours()[0].timeMs, 1796907600000LL);
    QVERIFY(ours()[0].start);
    QCOMPARE(ours()[1].timeMs, 1796907602000LL);
    QVERIFY(!ours()[1].start);
}

// "Pause", clicked, holds the span on screen: the export writes the samples
// shown; samples go on coming, the span stays and shows what an export
// writes; a legend box takes away only its own line. Resumed, the view
// scrolls on over the whole run, and a second pause holds all of it. (75 s
// is under the five minutes a live span holds: every sample is on screen.)
void TestTrend::pauseHoldsTheShownSpan()
{
    TrendWindow *window = OpenTrend();
    QVERIFY(window);
    for (int i = 0; i < 75; ++i)
        Tick(window);
    const QList<QPointF> shown = window->DrawnPoints(0);
    QCOMPARE(shown.size(), 75);
    const qint64 from = window->View()->From(), to = window->View()->To();

    QPushButton *pause = m_fixture->child<QPushButton>(window, "trendPauseBtn");
    QTest::mouseClick(pause, Qt::LeftButton);
    QVERIFY(window->Paused());
    QCOMPARE(window->DrawnPoints(0), shown);
    QCOMPARE(CsvTimes(window->CsvText()), TimesOf(shown));
    Tick(window);
    Tick(window);
    QCOMPARE(window->View()->From(), from);
    QCOMPARE(window->View()->To(), to);
    const QList<QPointF> held = window->DrawnPoints(0);
    QCOMPARE(held.first(), shown.first());
    QCOMPARE(CsvTimes(window->CsvText()), TimesOf(held));
    QCheckBox *average = m_fixture->child<QCheckBox>(window, "trendSeriesCheck_Frame Avg");
    average->click();
    QCOMPARE(window->DrawnPoints(0), held);
    QVERIFY(window->DrawnPoints(2).isEmpty());
    average->click();

    QTest::mouseClick(pause, Qt::LeftButton);
    QVERIFY(!window->Paused());
    Tick(window);
    const QList<QPointF> resumed = window->DrawnPoints(0);
    QCOMPARE(resumed.size(), 78);
    QCOMPARE(resumed.first(), shown.first());
    QTest::mouseClick(pause, Qt::LeftButton);
    QCOMPARE(window->DrawnPoints(0), resumed);
    QCOMPARE(CsvTimes(window->CsvText()), TimesOf(resumed));
}

// A device may number each shape on its own, so a point P<n> can stand
// beside the rectangle R<n>: each line takes the reading of its own rule,
// the transformer's for the rectangle, the coldest spot's for the point.
void TestTrend::rulesSharingAnIdReadTheirOwn()
{
    TMV_NET_TEMP_INFO frame{};
    QCOMPARE(TMV_NET_QueryFrameTemp(m_handle, &frame), 0);
    QCOMPARE(TMVSim_SetNextRuleId(SimFixture::kPtzCamera, m_ruleId), 0);
    TMV_NET_TEMP_RULE point;
    std::memset(&point, 0, sizeof point);
    point.enable = 1;
    point.ruleType = 0;
    point.pointCount = 1;
    point.points[0] = {frame.minX, frame.minY};
    QCOMPARE(TMV_NET_AddTempRule(m_handle, &point), 0);

    TrendWindow *window = OpenTrend();
    QVERIFY(window);
    Tick(window);
    const std::vector<TrendSampler::Series> &series = window->Sampler()->AllSeries();
    QCOMPARE(series.size(), size_t(5));
    for (const int type : {2, 0}) {
        const QString name = QString(type == 0 ? "P%1" : "R%1").arg(m_ruleId);
        const auto found = std::find_if(series.begin(), series.end(),
                                        [&](const TrendSampler::Series &s) { return s.name == name; });
        QVERIFY2(found != series.end(), qPrintable(name));
        TMV_NET_TEMP_RULE_KEY key{0, 0, type, m_ruleId};
        TMV_NET_RULE_TEMP rule{};
        int32_t returned = 0;
        QCOMPARE(TMV_NET_QueryRuleTemp(m_handle, &key, &rule, 1, &returned), 0);
        QCOMPARE(rule.ruleType, type);
        QCOMPARE(Last(*found), rule.temp.maxTemp);
    }
    QVERIFY(Last(series[3]) != Last(series[4]));
}

QTEST_MAIN(TestTrend)
#include "tst_trend.moc"
