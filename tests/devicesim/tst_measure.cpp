// Measurement on the device: shapes turned into spans, masks, statistics,
// the environment correction and units as pure functions; the rule lists;
// and rules measuring the simulated world with the clock stopped.

#include "base/SimClock.h"
#include "base/Status.h"
#include "camera/FrameProducer.h"
#include "camera/TempUnits.h"
#include "device/Device.h"
#include "device/Fleet.h"
#include "device/Thermometer.h"
#include "measure/Measure.h"
#include "measure/RuleSet.h"
#include "measure/Shapes.h"
#include "settings/Settings.h"

#include <QtTest>
#include <algorithm>
#include <cmath>

using sim::Span;
using sim::SpanList;

Q_DECLARE_METATYPE(SpanList)
Q_DECLARE_METATYPE(std::vector<TMV_NET_POINT>)

namespace {

// "y:x0-x1 y:x0-x1 ..." as a span list.
SpanList spans(const char *text)
{
    SpanList out;
    const QStringList parts = QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const QStringList yx = part.split(QLatin1Char(':'));
        const QStringList xs = yx.value(1).split(QLatin1Char('-'));
        out.push_back({yx.value(0).toInt(), xs.value(0).toInt(), xs.value(1).toInt()});
    }
    return out;
}

QString text(const SpanList &list)
{
    QStringList parts;
    for (const Span &s : list)
        parts << QStringLiteral("%1:%2-%3").arg(s.y).arg(s.x0).arg(s.x1);
    return parts.join(QLatin1Char(' '));
}

// On an 8 x 8 frame one pixel is 1024 units of picture space: c(p) is the
// left or top edge of pixel p, m(p) its middle.
constexpr int32_t c(int p) { return p * 1024; }
constexpr int32_t m(int p) { return p * 1024 + 512; }

std::vector<TMV_NET_POINT> pts(std::initializer_list<TMV_NET_POINT> list) { return list; }

TMV_NET_TEMP_RULE areaRule(int x0, int y0, int x1, int y1, int width, int height)
{
    TMV_NET_TEMP_RULE rule{};
    rule.enable = 1;
    rule.ruleType = sim::kShapeArea;
    rule.pointCount = 4;
    const int32_t l = sim::pixelToPicture(std::max(x0, 0), width), r = sim::pixelToPicture(std::min(x1, width - 1), width);
    const int32_t t = sim::pixelToPicture(std::max(y0, 0), height), b = sim::pixelToPicture(std::min(y1, height - 1), height);
    rule.points[0] = {l, t};
    rule.points[1] = {r, t};
    rule.points[2] = {r, b};
    rule.points[3] = {l, b};
    return rule;
}

TMV_NET_TEMP_MASK boxMask(int x0, int y0, int x1, int y1, int width, int height)
{
    TMV_NET_TEMP_MASK mask{};
    mask.enable = 1;
    const int32_t l = sim::pixelToPicture(x0, width), r = sim::pixelToPicture(x1, width);
    const int32_t t = sim::pixelToPicture(y0, height), b = sim::pixelToPicture(y1, height);
    mask.points[0] = {l, t};
    mask.points[1] = {r, t};
    mask.points[2] = {r, b};
    mask.points[3] = {l, b};
    return mask;
}

}  // namespace

class TestMeasure : public QObject {
    Q_OBJECT

private slots:
    void shapeSpans_data();
    void shapeSpans();
    void spanAlgebra_data();
    void spanAlgebra();
    void masksAreUnclampedBoxes_data();
    void masksAreUnclampedBoxes();
    void pictureSpaceRoundTrips();
    void readSpansFindsFirstExtremes();
    void frameStatisticsLeaveMasksOut();
    void environmentCorrection_data();
    void environmentCorrection();
    void unitConversions_data();
    void unitConversions();
    void ruleLists();
    void tieredRuleLists();
    void compiledShapesFollowChanges_data();
    void compiledShapesFollowChanges();

    void initTestCase() { sim::Fleet::instance().init(); }
    void cleanupTestCase()
    {
        sim::SimClock::instance().resume();
        sim::Fleet::instance().deinit();
    }
    void worldRuleReadsTheHottestPixel();
};

void TestMeasure::shapeSpans_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<std::vector<TMV_NET_POINT>>("points");
    QTest::addColumn<SpanList>("expected");

    QTest::newRow("point") << 0 << pts({{m(3), m(4)}}) << spans("4:3-3");
    QTest::newRow("point at the far corner") << 0 << pts({{8191, 8191}}) << spans("7:7-7");
    QTest::newRow("line across") << 1 << pts({{m(1), m(2)}, {m(5), m(2)}}) << spans("2:1-5");
    QTest::newRow("line diagonal") << 1 << pts({{m(3), m(3)}, {m(0), m(0)}})
                                   << spans("0:0-0 1:1-1 2:2-2 3:3-3");
    QTest::newRow("line of no length") << 1 << pts({{m(2), m(2)}, {m(2), m(2)}}) << spans("2:2-2");
    QTest::newRow("area drawn bottom-right first") << 2 << pts({{m(5), m(4)}, {m(1), m(2)}})
                                                   << spans("2:1-5 3:1-5 4:1-5");
    QTest::newRow("area to the frame edges")
        << 2 << pts({{0, 0}, {8191, 0}, {8191, 8191}, {0, 8191}})
        << spans("0:0-7 1:0-7 2:0-7 3:0-7 4:0-7 5:0-7 6:0-7 7:0-7");
    QTest::newRow("area of no size") << 2 << pts({{m(6), m(1)}, {m(6), m(1)}}) << spans("1:6-6");
    QTest::newRow("circle") << 3 << pts({{c(4), c(4)}, {c(6), c(4)}}) << spans("2:3-4 3:2-5 4:2-5 5:3-4");
    QTest::newRow("circle clipped at the corner") << 3 << pts({{0, 0}, {c(2), 0}}) << spans("0:0-1 1:0-0");
    QTest::newRow("circle of no radius") << 3 << pts({{m(5), m(2)}, {m(5), m(2)}}) << spans("2:5-5");
    QTest::newRow("polygon concave (U)")
        << 4 << pts({{c(1), c(1)}, {c(7), c(1)}, {c(7), c(7)}, {c(5), c(7)}, {c(5), c(3)}, {c(3), c(3)},
                     {c(3), c(7)}, {c(1), c(7)}})
        << spans("1:1-7 2:1-7 3:1-7 4:1-3 4:5-7 5:1-3 5:5-7 6:1-3 6:5-7 7:1-3 7:5-7");
    QTest::newRow("polygon triangle") << 4 << pts({{c(0), c(0)}, {c(4), c(0)}, {c(0), c(4)}})
                                      << spans("0:0-4 1:0-3 2:0-2 3:0-1 4:0-0");
    QTest::newRow("polygon flat") << 4 << pts({{m(1), m(1)}, {m(3), m(3)}, {m(5), m(5)}})
                                  << spans("1:1-1 2:2-2 3:3-3 4:4-4 5:5-5");
    QTest::newRow("polygon of two points is a line") << 4 << pts({{m(0), m(6)}, {m(3), m(6)}}) << spans("6:0-3");
    QTest::newRow("unknown type") << 5 << pts({{m(1), m(1)}, {m(2), m(2)}}) << SpanList{};
    QTest::newRow("point outside the picture space") << 0 << pts({{8192, 0}}) << SpanList{};
    QTest::newRow("negative point") << 1 << pts({{-1, 0}, {m(2), m(2)}}) << SpanList{};
    QTest::newRow("line with one point") << 1 << pts({{m(2), m(2)}}) << SpanList{};
    QTest::newRow("polygon of nine points")
        << 4 << pts({{0, 0}, {100, 0}, {200, 0}, {300, 0}, {400, 0}, {500, 0}, {600, 0}, {700, 0}, {800, 800}})
        << SpanList{};
}

void TestMeasure::shapeSpans()
{
    QFETCH(int, type);
    QFETCH(std::vector<TMV_NET_POINT>, points);
    QFETCH(SpanList, expected);
    const SpanList got = sim::shapeSpans(type, points.data(), int32_t(points.size()), 8, 8);
    QCOMPARE(text(got), text(expected));
}

void TestMeasure::spanAlgebra_data()
{
    QTest::addColumn<SpanList>("a");
    QTest::addColumn<SpanList>("b");
    QTest::addColumn<SpanList>("minus");
    QTest::addColumn<SpanList>("united");

    QTest::newRow("hole in the middle") << spans("0:0-9") << spans("0:3-4") << spans("0:0-2 0:5-9") << spans("0:0-9");
    QTest::newRow("cut over both ends") << spans("0:2-5") << spans("0:0-3 0:5-8") << spans("0:4-4")
                                        << spans("0:0-8");
    QTest::newRow("cut covers all") << spans("1:2-5 2:2-5") << spans("1:0-9 2:0-9") << SpanList{}
                                    << spans("1:0-9 2:0-9");
    QTest::newRow("other rows untouched") << spans("0:0-3 2:0-3") << spans("1:0-3") << spans("0:0-3 2:0-3")
                                          << spans("0:0-3 1:0-3 2:0-3");
    QTest::newRow("touching spans merge") << spans("0:0-3") << spans("0:4-6") << spans("0:0-3") << spans("0:0-6");
    QTest::newRow("several cuts in a row") << spans("0:0-9 1:0-9") << spans("0:1-1 0:3-3 1:9-9")
                                           << spans("0:0-0 0:2-2 0:4-9 1:0-8") << spans("0:0-9 1:0-9");
}

void TestMeasure::spanAlgebra()
{
    QFETCH(SpanList, a);
    QFETCH(SpanList, b);
    QFETCH(SpanList, minus);
    QFETCH(SpanList, united);
    QCOMPARE(text(sim::subtractSpans(a, b)), text(minus));
    QCOMPARE(text(sim::uniteSpans(a, b)), text(united));
}

void TestMeasure::masksAreUnclampedBoxes_data()
{
    QTest::addColumn<std::vector<TMV_NET_POINT>>("corners");
    QTest::addColumn<SpanList>("expected");
    // Masks come as drawn: p0, (p1.x, p0.y), p1, (p0.x, p1.y), even beyond the
    // picture.
    QTest::newRow("inside") << pts({{m(1), m(1)}, {m(2), m(1)}, {m(2), m(2)}, {m(1), m(2)}})
                            << spans("1:1-2 2:1-2");
    QTest::newRow("drawn bottom-right first") << pts({{m(2), m(2)}, {m(1), m(2)}, {m(1), m(1)}, {m(2), m(1)}})
                                              << spans("1:1-2 2:1-2");
    QTest::newRow("beyond the top left") << pts({{-5000, -100}, {m(1), -100}, {m(1), m(1)}, {-5000, m(1)}})
                                         << spans("0:0-1 1:0-1");
    QTest::newRow("beyond the bottom right") << pts({{m(6), m(7)}, {20000, m(7)}, {20000, 9000}, {m(6), 9000}})
                                             << spans("7:6-7");
    QTest::newRow("wholly outside") << pts({{9000, 0}, {12000, 0}, {12000, 800}, {9000, 800}}) << SpanList{};
}

void TestMeasure::masksAreUnclampedBoxes()
{
    QFETCH(std::vector<TMV_NET_POINT>, corners);
    QFETCH(SpanList, expected);
    TMV_NET_TEMP_MASK mask{};
    mask.enable = 1;
    std::copy(corners.begin(), corners.end(), mask.points);
    TMV_NET_TEMP_MASK off = mask;
    off.enable = 0;
    QCOMPARE(text(sim::maskSpans({mask, off}, 8, 8)), text(expected));
}

void TestMeasure::pictureSpaceRoundTrips()
{
    for (int size : {8, 480, 512, 640, 2880}) {
        for (int p = 0; p < size; ++p) {
            const int32_t v = sim::pixelToPicture(p, size);
            QVERIFY(v >= 0 && v <= sim::kPictureMax);
            QCOMPARE(sim::pictureToPixel(v, size), p);
        }
        QCOMPARE(sim::pictureToPixel(0, size), 0);
        QCOMPARE(sim::pictureToPixel(sim::kPictureMax, size), size - 1);
    }
    QCOMPARE(sim::pictureToPixel(-1, 640), -1);
}

void TestMeasure::readSpansFindsFirstExtremes()
{
    // 4 x 3; two maxima (9) and two minima (1): the first in row order wins.
    const uint16_t matrix[] = {5, 9, 5, 5,  //
                               1, 5, 5, 9,  //
                               5, 5, 1, 5};
    const sim::SpanReading all = sim::readSpans(matrix, 4, 3, spans("0:0-3 1:0-3 2:0-3"));
    QCOMPARE(all.count, int64_t(12));
    QCOMPARE(all.sum, uint64_t(60));
    QCOMPARE(all.max, uint16_t(9));
    QCOMPARE(QPoint(all.maxX, all.maxY), QPoint(1, 0));
    QCOMPARE(all.min, uint16_t(1));
    QCOMPARE(QPoint(all.minX, all.minY), QPoint(0, 1));

    const sim::SpanReading part = sim::readSpans(matrix, 4, 3, spans("1:2-3 2:0-2"));
    QCOMPARE(part.count, int64_t(5));
    QCOMPARE(QPoint(part.maxX, part.maxY), QPoint(3, 1));
    QCOMPARE(QPoint(part.minX, part.minY), QPoint(2, 2));

    // Spans that do not fit the frame are skipped, never read.
    QCOMPARE(sim::readSpans(matrix, 4, 3, spans("3:0-3 0:2-9")).count, int64_t(0));
}

void TestMeasure::frameStatisticsLeaveMasksOut()
{
    std::vector<uint16_t> matrix(8 * 8, sim::celsiusToDeciKelvin(20.0));
    matrix[2 * 8 + 6] = sim::celsiusToDeciKelvin(90.0);
    matrix[7 * 8 + 0] = sim::celsiusToDeciKelvin(-10.0);
    matrix[4 * 8 + 4] = sim::celsiusToDeciKelvin(30.0);  // the centre pixel

    const TMV_NET_TEMP_INFO whole = sim::measureFrame(matrix.data(), 8, 8, {}, sim::TempUnit::Celsius);
    const auto stored = [](double celsius) { return sim::deciKelvinToC(sim::celsiusToDeciKelvin(celsius)); };
    QCOMPARE(whole.maxTemp, stored(90.0));
    QCOMPARE(whole.minTemp, stored(-10.0));
    QCOMPARE(whole.centerTemp, stored(30.0));
    QCOMPARE(sim::pictureToPixel(whole.maxX, 8), 6);
    QCOMPARE(sim::pictureToPixel(whole.maxY, 8), 2);
    QCOMPARE(sim::pictureToPixel(whole.minX, 8), 0);
    QCOMPARE(sim::pictureToPixel(whole.minY, 8), 7);
    QVERIFY(qAbs(whole.avgTemp - (20.0f * 61 + 90 - 10 + 30) / 64) < 0.1f);

    const SpanList masked = sim::maskSpans({boxMask(5, 1, 7, 3, 8, 8)}, 8, 8);
    const TMV_NET_TEMP_INFO cut = sim::measureFrame(matrix.data(), 8, 8, masked, sim::TempUnit::Celsius);
    QCOMPARE(cut.maxTemp, stored(30.0));

    // A mask over everything leaves the whole frame, not nothing.
    const SpanList all = sim::maskSpans({boxMask(0, 0, 7, 7, 8, 8)}, 8, 8);
    QCOMPARE(sim::measureFrame(matrix.data(), 8, 8, all, sim::TempUnit::Celsius).maxTemp, stored(90.0));

    // A rule the masks cover wholly reads nothing.
    const sim::Target hidden = sim::compileRule(areaRule(5, 1, 7, 3, 8, 8), masked, 8, 8);
    TMV_NET_TEMP_INFO info;
    QVERIFY(!sim::measureTarget(hidden, matrix.data(), 8, 8, sim::TempUnit::Celsius, &info));
    QCOMPARE(info.maxX, -1);
}

void TestMeasure::environmentCorrection_data()
{
    QTest::addColumn<double>("apparent");
    QTest::addColumn<float>("emissivity");
    QTest::addColumn<float>("transmittance");
    QTest::addColumn<float>("distance");
    QTest::addColumn<float>("reflected");
    QTest::addColumn<int>("unit");
    QTest::addColumn<double>("expected");
    QTest::addColumn<double>("within");

    QTest::newRow("black body, clear air") << 80.0 << 1.0f << 1.0f << 0.0f << 20.0f << 0 << 80.0 << 1e-6;
    QTest::newRow("at the reflected temperature") << 20.0 << 0.3f << 1.0f << 0.0f << 20.0f << 0 << 20.0 << 1e-6;
    // (2 * 353.15^4 - 293.15^4)^(1/4) - 273.15
    QTest::newRow("emissivity 0.5, hot target") << 80.0 << 0.5f << 1.0f << 0.0f << 20.0f << 0 << 119.31 << 0.01;
    QTest::newRow("emissivity 0.95, hot target") << 80.0 << 0.95f << 1.0f << 0.0f << 20.0f << 0 << 82.42 << 0.01;
    QTest::newRow("cold target reads colder") << -20.0 << 0.5f << 1.0f << 0.0f << 20.0f << 0 << -103.49 << 0.01;
    QTest::newRow("reflected in Fahrenheit") << 80.0 << 0.5f << 1.0f << 0.0f << 68.0f << 1 << 119.31 << 0.01;
    QTest::newRow("reflected in kelvin") << 80.0 << 0.5f << 1.0f << 0.0f << 293.15f << 2 << 119.31 << 0.01;
    // Atmosphere at 20 C; tau = exp(-1000 / 5000) when the transmittance is 0.
    QTest::newRow("distance gives the transmittance") << 80.0 << 1.0f << 0.0f << 1000.0f << 20.0f << 0 << 89.85
                                                       << 0.01;
}

void TestMeasure::environmentCorrection()
{
    QFETCH(double, apparent);
    QFETCH(float, emissivity);
    QFETCH(float, transmittance);
    QFETCH(float, distance);
    QFETCH(float, reflected);
    QFETCH(int, unit);
    QFETCH(double, expected);
    QFETCH(double, within);
    const TMV_NET_ENV_PARAM env{reflected, distance, emissivity, reflected, transmittance};
    const double got = sim::correctForEnvironment(apparent, env, sim::TempUnit(unit));
    QVERIFY2(std::fabs(got - expected) <= within, qPrintable(QString::number(got, 'f', 3)));
}

void TestMeasure::unitConversions_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<double>("celsius");
    QTest::addColumn<double>("value");
    QTest::newRow("C") << 0 << 36.6 << 36.6;
    QTest::newRow("F freezing") << 1 << 0.0 << 32.0;
    QTest::newRow("F boiling") << 1 << 100.0 << 212.0;
    QTest::newRow("F -40") << 1 << -40.0 << -40.0;
    QTest::newRow("K") << 2 << 0.0 << 273.15;
    QTest::newRow("K absolute zero") << 2 << -273.15 << 0.0;
}

void TestMeasure::unitConversions()
{
    QFETCH(int, unit);
    QFETCH(double, celsius);
    QFETCH(double, value);
    QVERIFY(sim::validTempUnit(unit));
    QVERIFY(qAbs(sim::celsiusToUnit(celsius, sim::TempUnit(unit)) - value) < 1e-9);
    QVERIFY(qAbs(sim::unitToCelsius(value, sim::TempUnit(unit)) - celsius) < 1e-9);
}

void TestMeasure::ruleLists()
{
    sim::RuleSet set;
    TMV_NET_TEMP_RULE rule = areaRule(1, 1, 4, 4, 640, 512);
    rule.presetId = 2;
    int32_t first = 0, second = 0;
    QCOMPARE(set.addRule(rule, &first), int32_t(sim::kOk));
    rule.ruleType = sim::kShapeLine;
    rule.pointCount = 2;
    QCOMPARE(set.addRule(rule, &second), int32_t(sim::kOk));
    QVERIFY(first != second);

    // A preset holds a fixed number; the next is the rule limit, in that
    // preset only.
    for (int i = 2; i < sim::RuleSet::kMaxRulesPerPreset; ++i)
        QCOMPARE(set.addRule(rule), int32_t(sim::kOk));
    QCOMPARE(set.addRule(rule), int32_t(sim::kRuleLimit));
    rule.presetId = 0;
    QCOMPARE(set.addRule(rule), int32_t(sim::kOk));

    TMV_NET_TEMP_RULE_KEY key{0, 2, -1, -1};
    QCOMPARE(set.ruleCount(key), sim::RuleSet::kMaxRulesPerPreset);
    key.ruleType = sim::kShapeArea;
    std::vector<TMV_NET_TEMP_RULE> found;
    QCOMPARE(set.queryRules(key, &found), int32_t(sim::kOk));
    QCOMPARE(int(found.size()), 1);
    QCOMPARE(found[0].ruleId, first);

    // Update changes settings, never the shape.
    TMV_NET_TEMP_RULE update = found[0];
    update.ruleType = sim::kShapePoint;
    update.condition.alarmRule = 3;
    update.condition.threshold = 36.5f;
    QCOMPARE(set.updateRule(update), int32_t(sim::kOk));
    QCOMPARE(set.queryRules(key, &found), int32_t(sim::kOk));
    QCOMPARE(found[0].ruleType, int32_t(sim::kShapeArea));
    QCOMPARE(found[0].condition.threshold, 36.5f);
    update.envEnable = 1;
    update.envParam.emissivity = 0.0f;
    QCOMPARE(set.updateRule(update), int32_t(sim::kWrongParam));
    update.envEnable = 0;
    update.ruleId = 999;
    QCOMPARE(set.updateRule(update), int32_t(sim::kWrongParam));

    // Deleting one by its key; naming a missing one is a wrong key.
    key = {0, 2, -1, first};
    QCOMPARE(set.deleteRules(key), int32_t(sim::kOk));
    QCOMPARE(set.deleteRules(key), int32_t(sim::kWrongParam));
    QCOMPARE(set.deleteAllRules(2), int32_t(sim::kOk));
    QCOMPARE(set.ruleCount({0, 2, -1, -1}), 0);
    QCOMPARE(set.ruleCount({0, 0, -1, -1}), 1);

    // What applies at a preset: its own and the whole frame's.
    rule.presetId = 3;
    QCOMPARE(set.addRule(rule), int32_t(sim::kOk));
    QCOMPARE(int(set.activeRules(0).size()), 1);
    QCOMPARE(int(set.activeRules(3).size()), 2);
    QCOMPARE(set.addRuleG1(TMV_NET_TEMP_RULE_G1{}), int32_t(sim::kNotSupported));

    // Masks get the device's ids, whatever the record says.
    TMV_NET_TEMP_MASK mask = boxMask(0, 0, 3, 3, 640, 512);
    mask.maskId = 77;
    int32_t maskId = 0;
    QCOMPARE(set.addMask(mask, &maskId), int32_t(sim::kOk));
    QCOMPARE(maskId, 1);
    QCOMPARE(set.masks({0, -1}).at(0).maskId, 1);
    QCOMPARE(set.deleteMasks({0, 1}), int32_t(sim::kOk));
    QVERIFY(set.masks({0, -1}).empty());
}

void TestMeasure::tieredRuleLists()
{
    sim::RuleSet set(true);
    QCOMPARE(set.addRule(areaRule(1, 1, 4, 4, 640, 512)), int32_t(sim::kNotSupported));
    for (int type : {0, 1, 2, 3}) {
        TMV_NET_TEMP_RULE_G1 rule{};
        rule.ruleId = 42;  // the device numbers them
        rule.ruleType = type;
        rule.startPoint = {100 * type, 100};
        rule.endPoint = {100 * type + 500, 600};
        QCOMPARE(set.addRuleG1(rule), int32_t(sim::kOk));
    }
    std::vector<TMV_NET_TEMP_RULE_G1> found;
    // The key's preset is left unset by the client; any value lists them.
    QCOMPARE(set.queryRulesG1({0x5a5a, 0x5a5a5a, -1, -1}, &found), int32_t(sim::kOk));
    QCOMPARE(int(found.size()), 4);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(found[size_t(i)].ruleId, i);

    // Deleting the second renumbers the rest by position, so an update by
    // position hits the rule the client lists there.
    QCOMPARE(set.deleteRules({0, 0, -1, 1}), int32_t(sim::kOk));
    TMV_NET_TEMP_RULE_G1 update{};
    update.ruleId = 1;
    update.ruleType = 0;  // guessed by the client; not read
    update.alarm.alarmSwitch = 3;
    update.alarm.highTemp = 50;
    QCOMPARE(set.updateRuleG1(update), int32_t(sim::kOk));
    QCOMPARE(set.queryRulesG1({0, 0, -1, -1}, &found), int32_t(sim::kOk));
    QCOMPARE(int(found.size()), 3);
    QCOMPARE(found[1].ruleType, 2);
    QCOMPARE(found[1].alarm.highTemp, 50.0f);
    QCOMPARE(found[2].ruleId, 2);
    update.ruleId = 3;
    QCOMPARE(set.updateRuleG1(update), int32_t(sim::kWrongParam));
    update.ruleId = 0;
    update.alarm.alarmSwitch = 4;
    QCOMPARE(set.updateRuleG1(update), int32_t(sim::kWrongParam));
    std::vector<TMV_NET_TEMP_RULE> standard;
    QCOMPARE(set.queryRules({0, 0, -1, -1}, &standard), int32_t(sim::kNotSupported));
}

// The alarm engine measures every frame with the compiled shapes: a change of
// a rule, a mask or the preset shows in the next set; without one the set is
// not compiled again.
void TestMeasure::compiledShapesFollowChanges_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("preset");    // where the head stands afterwards
    QTest::addColumn<bool>("compiled"); // compiled again
    QTest::addColumn<QString>("rules"); // each rule's spans @ its threshold

    const QString masked = QStringLiteral("4:4-6 5:4-6 6:4-6 7:4-6@10");
    QTest::newRow("nothing") << "" << 1 << false << masked;
    QTest::newRow("rule added") << "rule added" << 1 << true << masked + " | 6:0-1 7:0-1@0";
    QTest::newRow("rule updated") << "rule updated" << 1 << true << "4:4-6 5:4-6 6:4-6 7:4-6@55";
    QTest::newRow("rule deleted") << "rule deleted" << 1 << true << "";
    QTest::newRow("mask added") << "mask added" << 1 << true << "4:5-6 5:5-6 6:5-6 7:5-6@10";
    QTest::newRow("mask deleted") << "mask deleted" << 1 << true << "4:4-7 5:4-7 6:4-7 7:4-7@10";
    QTest::newRow("head at another preset") << "" << 2 << true << "0:0-2 1:0-2 2:0-2@0";
    QTest::newRow("reset") << "reset" << 1 << true << "";
}

void TestMeasure::compiledShapesFollowChanges()
{
    QFETCH(QString, change);
    QFETCH(int, preset);
    QFETCH(bool, compiled);
    QFETCH(QString, rules);

    // Preset 1: a rule whose right column a mask hides; preset 2: another.
    sim::RuleSet set;
    TMV_NET_TEMP_RULE rule = areaRule(4, 4, 7, 7, 8, 8);
    rule.presetId = 1;
    rule.condition.threshold = 10;
    QCOMPARE(set.addRule(rule, &rule.ruleId), int32_t(sim::kOk));
    TMV_NET_TEMP_RULE other = areaRule(0, 0, 2, 2, 8, 8);
    other.presetId = 2;
    QCOMPARE(set.addRule(other), int32_t(sim::kOk));
    TMV_NET_TEMP_MASK mask = boxMask(7, 4, 7, 7, 8, 8);
    mask.presetId = 1;
    QCOMPARE(set.addMask(mask, &mask.maskId), int32_t(sim::kOk));
    const std::shared_ptr<const sim::CompiledRules> before = set.compiled(1, 8, 8);

    if (change == "rule added") {
        TMV_NET_TEMP_RULE added = areaRule(0, 6, 1, 7, 8, 8);
        added.presetId = 1;
        QCOMPARE(set.addRule(added), int32_t(sim::kOk));
    } else if (change == "rule updated") {
        rule.condition.threshold = 55;
        QCOMPARE(set.updateRule(rule), int32_t(sim::kOk));
    } else if (change == "rule deleted") {
        QCOMPARE(set.deleteRules({0, 1, -1, rule.ruleId}), int32_t(sim::kOk));
    } else if (change == "mask added") {
        TMV_NET_TEMP_MASK added = boxMask(4, 4, 4, 7, 8, 8);
        added.presetId = 1;
        QCOMPARE(set.addMask(added), int32_t(sim::kOk));
    } else if (change == "mask deleted") {
        QCOMPARE(set.deleteMasks({1, mask.maskId}), int32_t(sim::kOk));
    } else if (change == "reset") {
        set.reset();
    }

    const std::shared_ptr<const sim::CompiledRules> after = set.compiled(preset, 8, 8);
    QCOMPARE(after != before, compiled);
    QStringList shown;
    for (const sim::CompiledRule &c : after->rules)
        shown << QStringLiteral("%1@%2").arg(text(c.target.spans)).arg(double(c.rule.condition.threshold));
    QCOMPARE(shown.join(QStringLiteral(" | ")), rules);
}

// 127.0.0.11 at its home position with the clock stopped: a rectangle over
// the hottest object reads the hottest pixel of the frame the device shows.
void TestMeasure::worldRuleReadsTheHottestPixel()
{
    sim::Fleet::instance().reset();
    sim::SimClock::instance().pause();
    sim::Device &device = *sim::Fleet::instance().device("127.0.0.11");
    const int channel = device.profile().thermalChannel;
    const sim::FramePtr frame = device.producer(channel).frameNow();
    QVERIFY(frame && frame->thermal());
    const int w = frame->width, h = frame->height;
    const auto hottest = std::max_element(frame->temperature.begin(), frame->temperature.end());
    const int hx = int((hottest - frame->temperature.begin()) % w), hy = int((hottest - frame->temperature.begin()) / w);
    const float hottestC = sim::deciKelvinToC(*hottest);
    QVERIFY2(hottestC > 60.0f, qPrintable(QString::number(hottestC)));  // the transformer

    // The object: every pixel above 40 C near the hottest one.
    QRect object(hx, hy, 1, 1);
    for (int y = std::max(hy - 100, 0); y < std::min(hy + 100, h); ++y)
        for (int x = std::max(hx - 100, 0); x < std::min(hx + 100, w); ++x)
            if (sim::deciKelvinToC(frame->temperature[size_t(y) * size_t(w) + size_t(x)]) > 40.0f)
                object |= QRect(x, y, 1, 1);
    const QRect around = object.adjusted(-10, -10, 10, 10);
    TMV_NET_TEMP_RULE rule = areaRule(around.left(), around.top(), around.right(), around.bottom(), w, h);
    QCOMPARE(device.rules().addRule(rule), int32_t(sim::kOk));
    std::vector<TMV_NET_RULE_TEMP> readings;
    QCOMPARE(sim::ruleReadings(device, {0, 0, -1, -1}, &readings), int32_t(sim::kOk));
    QCOMPARE(int(readings.size()), 1);
    QVERIFY(qAbs(readings[0].temp.maxTemp - hottestC) <= 0.5f);
    QCOMPARE(readings[0].unit, 0);

    // The point under the reported maximum reads the same as the frame.
    float point = 0;
    const TMV_NET_POINT at{readings[0].temp.maxX, readings[0].temp.maxY};
    QCOMPARE(sim::pointReading(device, at, &point), int32_t(sim::kOk));
    QCOMPARE(point, sim::deciKelvinToC(frame->temperature[size_t(sim::pictureToPixel(at.y, h)) * size_t(w) +
                                                          size_t(sim::pictureToPixel(at.x, w))]));

    // A mask over the hot object: the same rule reads lower.
    TMV_NET_TEMP_MASK mask = boxMask(object.left(), object.top(), object.right(), object.bottom(), w, h);
    QCOMPARE(device.rules().addMask(mask), int32_t(sim::kOk));
    QCOMPARE(sim::ruleReadings(device, {0, 0, -1, -1}, &readings), int32_t(sim::kOk));
    QVERIFY2(readings[0].temp.maxTemp < hottestC - 0.5f, qPrintable(QString::number(readings[0].temp.maxTemp)));
    QCOMPARE(device.rules().deleteAllMasks(0), int32_t(sim::kOk));

    // Emissivity 0.5 reads the warm target hotter than 0.95.
    std::vector<TMV_NET_TEMP_RULE> stored;
    device.rules().queryRules({0, 0, -1, -1}, &stored);
    TMV_NET_TEMP_RULE withEnv = stored.at(0);
    withEnv.envEnable = 1;
    withEnv.envParam = TMV_NET_ENV_PARAM{20.0f, 25.0f, 0.95f, 20.0f, 1.0f};
    QCOMPARE(device.rules().updateRule(withEnv), int32_t(sim::kOk));
    QCOMPARE(sim::ruleReadings(device, {0, 0, -1, -1}, &readings), int32_t(sim::kOk));
    const float at095 = readings[0].temp.maxTemp;
    withEnv.envParam.emissivity = 0.5f;
    QCOMPARE(device.rules().updateRule(withEnv), int32_t(sim::kOk));
    QCOMPARE(sim::ruleReadings(device, {0, 0, -1, -1}, &readings), int32_t(sim::kOk));
    QVERIFY2(readings[0].temp.maxTemp > at095 + 5.0f,
             qPrintable(QStringLiteral("%1 vs %2").arg(readings[0].temp.maxTemp).arg(at095)));

    // In Fahrenheit, the same rule reads the same heat.
    withEnv.envEnable = 0;
    QCOMPARE(device.rules().updateRule(withEnv), int32_t(sim::kOk));
    QCOMPARE(sim::ruleReadings(device, {0, 0, -1, -1}, &readings), int32_t(sim::kOk));
    const float celsius = readings[0].temp.maxTemp;
    device.settings().setTempUnit(sim::TempUnit::Fahrenheit);
    QCOMPARE(sim::ruleReadings(device, {0, 0, -1, -1}, &readings), int32_t(sim::kOk));
    QCOMPARE(readings[0].unit, 1);
    QVERIFY(qAbs(readings[0].temp.maxTemp - (celsius * 9 / 5 + 32)) < 0.5f);
    TMV_NET_TEMP_INFO frameF;
    QCOMPARE(sim::frameReading(device, &frameF), int32_t(sim::kOk));
    QVERIFY(qAbs(frameF.maxTemp - (hottestC * 9 / 5 + 32)) < 0.01f);

    // The coldest region (the sky) reads cold.
    const TMV_NET_TEMP_RULE sky = areaRule(0, 0, w - 1, 10, w, h);
    TMV_NET_TEMP_INFO skyInfo;
    QVERIFY(sim::measureTarget(sim::compileRule(sky, {}, w, h), frame->temperature.data(), w, h,
                               sim::TempUnit::Celsius, &skyInfo));
    QVERIFY2(skyInfo.maxTemp < 10.0f, qPrintable(QString::number(skyInfo.maxTemp)));
}

QTEST_GUILESS_MAIN(TestMeasure)
#include "tst_measure.moc"
