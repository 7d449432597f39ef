// The thermal detector's model: the response from temperature to counts and
// the fixed pattern the device's correction removes.

#include "camera/Sensor.h"
#include "camera/TempUnits.h"

#include <QtTest>
#include <algorithm>
#include <cmath>
#include <vector>

class TestSensor : public QObject {
    Q_OBJECT
private slots:
    void response_data()
    {
        QTest::addColumn<int>("deciKelvin");
        QTest::addColumn<int>("counts");
        // 8000 + 30 d + 0.02 d^2, d in kelvin from 293.15 K, rounded.
        QTest::newRow("20.05 C") << 2932 << 8002;
        QTest::newRow("30.05 C") << 3032 << 8304;
        QTest::newRow("-19.95 C") << 2532 << 6833;
        QTest::newRow("fire, 600.05 C") << 8732 << 32131;
        QTest::newRow("0 K") << 0 << 924;
        QTest::newRow("saturated, 2000 C") << 22732 << 65535;
        QTest::newRow("top of the scale") << 65535 << 65535;
    }
    void response()
    {
        QFETCH(int, deciKelvin);
        QFETCH(int, counts);
        QCOMPARE(int(sim::sensorCounts(uint16_t(deciKelvin))), counts);
    }

    // Hotter always reads more (or saturates): the raw stream keeps the
    // scene's order, and the slope rises with temperature.
    void responseRisesOverTheWholeRange()
    {
        int previous = -1;
        for (int v = 0; v <= 65535; ++v) {
            const int c = sim::sensorCounts(uint16_t(v));
            QVERIFY2(c >= previous, qPrintable(QString::number(v)));
            previous = c;
        }
        const auto slope = [](double celsius) {
            return sim::sensorCounts(sim::celsiusToDeciKelvin(celsius + 1)) -
                   sim::sensorCounts(sim::celsiusToDeciKelvin(celsius));
        };
        QVERIFY(slope(20) >= 29 && slope(20) <= 31);
        QVERIFY(slope(300) > slope(20) + 5);
    }

    void patternedCounts_data()
    {
        QTest::addColumn<int>("ideal");
        QTest::addColumn<float>("gain");
        QTest::addColumn<float>("offset");
        QTest::addColumn<int>("counts");
        QTest::newRow("ideal pixel") << 9000 << 1.0f << 0.0f << 9000;
        QTest::newRow("gain acts above the reference") << 9000 << 1.03f << 0.0f << 9030;
        QTest::newRow("gain acts below it too") << 7000 << 1.03f << 0.0f << 6970;
        QTest::newRow("offset") << 9000 << 1.0f << -48.0f << 8952;
        QTest::newRow("clamped low") << 10 << 1.0f << -48.0f << 0;
        QTest::newRow("clamped high") << 65535 << 1.03f << 48.0f << 65535;
    }
    void patternedCounts()
    {
        QFETCH(int, ideal);
        QFETCH(float, gain);
        QFETCH(float, offset);
        QFETCH(int, counts);
        sim::PixelPattern p;
        p.gain = gain;
        p.offset = offset;
        QCOMPARE(int(sim::patternedCounts(uint16_t(ideal), p)), counts);
    }

    // The pattern is the sensor's: the same seed and pixel give the same
    // deviation, inside its stated bounds; another seed gives another one.
    void patternIsFixedAndBounded()
    {
        int sameAsOtherSeed = 0;
        double sumOffset = 0;
        const int n = 64;
        for (int y = 0; y < n; ++y) {
            for (int x = 0; x < n; ++x) {
                const sim::PixelPattern a = sim::pixelPattern(7, x, y);
                const sim::PixelPattern b = sim::pixelPattern(7, x, y);
                QCOMPARE(a.gain, b.gain);
                QCOMPARE(a.offset, b.offset);
                QVERIFY(std::fabs(a.gain - 1.0f) <= 0.03f);
                QVERIFY(std::fabs(a.offset) <= 72.0f);
                const sim::PixelPattern other = sim::pixelPattern(8, x, y);
                if (other.offset == a.offset)
                    ++sameAsOtherSeed;
                sumOffset += a.offset;
            }
        }
        QCOMPARE(sameAsOtherSeed, 0);
        QVERIFY(std::fabs(sumOffset / (n * n)) < 8.0);  // centred on the ideal response
    }

    // A flat scene: corrected, every pixel reads the same; uncorrected,
    // neighbours differ and columns carry their own offset.
    void correctionFlattensAFlatScene()
    {
        const int w = 64, h = 48;
        const sim::FixedPattern pattern(7, w, h);
        const std::vector<uint16_t> scene(size_t(w) * size_t(h), sim::celsiusToDeciKelvin(25.0));
        std::vector<uint16_t> raw(scene.size());

        pattern.apply(scene.data(), raw.data(), true);
        for (uint16_t v : raw)
            QCOMPARE(int(v), int(sim::sensorCounts(scene[0])));

        pattern.apply(scene.data(), raw.data(), false);
        int differing = 0;
        for (size_t i = 0; i + 1 < raw.size(); ++i)
            if (raw[i] != raw[i + 1])
                ++differing;
        QVERIFY(differing > int(raw.size()) * 9 / 10);
        std::vector<double> columnMean(size_t(w), 0.0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                columnMean[size_t(x)] += raw[size_t(y) * size_t(w) + size_t(x)] / double(h);
        const auto [lo, hi] = std::minmax_element(columnMean.begin(), columnMean.end());
        QVERIFY(*hi - *lo > 10.0);  // column stripes stand out of the pixel noise
    }
};

QTEST_GUILESS_MAIN(TestSensor)
#include "tst_sensor.moc"
