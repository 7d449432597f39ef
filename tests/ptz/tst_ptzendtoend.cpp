// The PTZ page end to end on the stepped clock, as an operator uses it with
// the live picture open: holding "Right" turns the picture, a stored preset
// brings its view back, and a two-preset tour runs between the two views
// while the status panel says so.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

#include <cmath>
#include <memory>

#include "app/MainWindow.h"
#include "ptz/PTZPage.h"
#include "liveview/PreviewPage.h"
#include "TestSupport.h"

namespace {

// Mean absolute difference of the green channel of `after` against
// `before` moved left by `dx` columns (the head turned right by as much).
double ShiftedDiff(const QImage &before, const QImage &after, int dx)
{
    double sum = 0;
    int64_t n = 0;
    for (int y = 0; y < after.height(); y += 2) {
        const auto *a = reinterpret_cast<const QRgb *>(before.constScanLine(y));
        const auto *b = reinterpret_cast<const QRgb *>(after.constScanLine(y));
        for (int x = 0; x + dx < after.width(); x += 2) {
            sum += std::abs(qGreen(a[x + dx]) - qGreen(b[x]));
            ++n;
        }
    }
    return n ? sum / double(n) : 0;
}

// Circular distance between two pans, in degrees.
double PanDistance(double a, double b)
{
    const double d = std::fmod(std::fabs(a - b), 360.0);
    return std::min(d, 360.0 - d);
}

} // namespace

class TestPtzEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void holdingRightTurnsThePicture();
    void presetBringsTheViewBack();
    void tourRunsBetweenTwoPresets();

private:
    QImage FrameAfter(int ms);
    void Hold(const char *button, int ms);
    double Pan();
    void StorePreset(int row, const QString &name);

    std::unique_ptr<PageFixture> m_fixture;
    PreviewPage *m_preview = nullptr;
    QWidget *m_ptz = nullptr;
};

void TestPtzEndToEnd::init()
{
    SimFixture::reset();
    m_fixture = std::make_unique<PageFixture>();
    QVERIFY(m_fixture->login(SimFixture::kPtzCamera));
    m_preview = m_fixture->window()->findChild<PreviewPage *>();
    QVERIFY(m_preview);
    SimFixture::pauseClock();
    m_fixture->click("previewBtn");
    QVERIFY(m_preview->IsPreviewOpen());
    QVERIFY(!FrameAfter(200).isNull());
    // The live picture stays open while the PTZ tab is in front.
    auto *tabs = m_fixture->child<QTabWidget>("tabWidget");
    m_ptz = m_fixture->window()->findChild<PTZPage *>();
    QVERIFY(m_ptz);
    tabs->setCurrentWidget(m_ptz);
}

void TestPtzEndToEnd::cleanup()
{
    SimFixture::resumeClock();
    m_fixture->verifyClean();
    m_fixture.reset();
}

// The newest picture after `ms` of simulated time: stepping waits until
// every stream has delivered up to the new instant.
QImage TestPtzEndToEnd::FrameAfter(int ms)
{
    SimFixture::stepClock(ms);
    return m_preview->CurrentFrame();
}

void TestPtzEndToEnd::Hold(const char *button, int ms)
{
    auto *b = m_fixture->child<QPushButton>(m_ptz, button);
    QTest::mousePress(b, Qt::LeftButton);
    SimFixture::stepClock(ms);
    QTest::mouseRelease(b, Qt::LeftButton);
}

// The pan the coordinates panel shows after "Get".
double TestPtzEndToEnd::Pan()
{
    m_fixture->click(m_ptz, "getCoordinatesBtn");
    bool ok = false;
    const double pan = m_fixture->edit(m_ptz, "panEdit")->text().toDouble(&ok);
    return ok ? pan : NAN;
}

void TestPtzEndToEnd::StorePreset(int row, const QString &name)
{
    m_fixture->click(m_ptz, "presetGetAllBtn");
    m_fixture->combo(m_ptz, "presetCombo")->setCurrentIndex(row);
    m_fixture->edit(m_ptz, "presetNameEdit")->setText(name);
    m_fixture->click(m_ptz, "saveBtn");
    QCOMPARE(m_fixture->boxes().count(), 0);
}

void TestPtzEndToEnd::holdingRightTurnsThePicture()
{
    const QImage before = FrameAfter(0);
    const double startPan = Pan();
    m_fixture->combo(m_ptz, "speedCombo")->setCurrentIndex(3); // 30 degrees a second
    Hold("rightBtn", 1000);
    const double turned = Pan() - startPan;
    // One second less half the ramp of a start from rest.
    QVERIFY2(std::fabs(turned - 30.0 * 0.9) < 0.05, qPrintable(QString::number(turned)));

    const QImage after = FrameAfter(0);
    QVERIFY(after != before);
    const double fov = m_fixture->edit(m_ptz, "irFovEdit")->text().section(QLatin1Char(' '), 1, 1).toDouble();
    QVERIFY(fov > 0);
    const int expectedDx = int(std::lround(turned / fov * after.width()));
    int bestDx = 0;
    double best = HUGE_VAL;
    for (int dx = 0; dx < after.width() * 2 / 3; ++dx) {
        const double d = ShiftedDiff(before, after, dx);
        if (d < best) {
            best = d;
            bestDx = dx;
        }
    }
    QVERIFY2(std::abs(bestDx - expectedDx) <= std::max(2, expectedDx / 10),
             qPrintable(QStringLiteral("shift %1, expected %2").arg(bestDx).arg(expectedDx)));
    // Released: the head stands still.
    QCOMPARE(Pan(), startPan + turned);
    QCOMPARE(m_fixture->boxes().count(), 0);
}

void TestPtzEndToEnd::presetBringsTheViewBack()
{
    const double home = Pan();
    StorePreset(0, QStringLiteral("Gate"));
    const QImage stored = FrameAfter(0);

    m_fixture->combo(m_ptz, "speedCombo")->setCurrentIndex(7); // 60 degrees a second
    Hold("rightBtn", 2000);
    const QImage away = FrameAfter(0);
    const double awayDiff = ShiftedDiff(stored, away, 0);

    m_fixture->combo(m_ptz, "presetCombo")->setCurrentIndex(0);
    m_fixture->click(m_ptz, "moveToBtn");
    QCOMPARE(m_fixture->boxes().count(), 0);
    // The head travels back at its own speed: half a second in, it is on
    // its way, neither where it was nor at the preset.
    SimFixture::stepClock(500);
    const double onTheWay = Pan();
    QVERIFY2(PanDistance(onTheWay, home) > 5 && PanDistance(onTheWay, home) < 110,
             qPrintable(QString::number(onTheWay)));
    const QImage back = FrameAfter(4000);
    QVERIFY2(PanDistance(Pan(), home) < 0.01, qPrintable(QString::number(Pan())));
    // What moves in the world (the walking person) differs; the view is
    // the stored one.
    const double backDiff = ShiftedDiff(stored, back, 0);
    QVERIFY2(backDiff < awayDiff / 8, qPrintable(QStringLiteral("%1 vs %2").arg(backDiff).arg(awayDiff)));
}

void TestPtzEndToEnd::tourRunsBetweenTwoPresets()
{
    const double panA = Pan();
    StorePreset(0, QStringLiteral("A"));
    m_fixture->combo(m_ptz, "speedCombo")->setCurrentIndex(7);
    Hold("rightBtn", 1500);
    const double panB = Pan();
    StorePreset(1, QStringLiteral("B"));
    QVERIFY(PanDistance(panA, panB) > 60);

    m_fixture->click(m_ptz, "cruiseGetAllBtn");
    QVERIFY(m_fixture->combo(m_ptz, "cruiseCombo")->count() > 0);
    m_fixture->edit(m_ptz, "cruiseNameEdit")->setText(QStringLiteral("Round"));
    m_fixture->click(m_ptz, "addPresetBtn");
    m_fixture->click(m_ptz, "addPresetBtn");
    auto *table = m_fixture->child<QTableWidget>(m_ptz, "tableWidget");
    QCOMPARE(table->rowCount(), 2);
    qobject_cast<QComboBox *>(table->cellWidget(1, 0))->setCurrentIndex(1);
    table->item(0, 1)->setText(QStringLiteral("2"));
    table->item(1, 1)->setText(QStringLiteral("2"));
    m_fixture->click(m_ptz, "cruiseSaveBtn");
    QCOMPARE(m_fixture->combo(m_ptz, "cruiseCombo")->currentText(), QStringLiteral("1*"));
    m_fixture->click(m_ptz, "cruiseStartBtn");
    QCOMPARE(m_fixture->child<QPushButton>(m_ptz, "cruiseStartBtn")->text(), QStringLiteral("Stop"));

    bool sawCruise = true;
    bool atA = false;
    bool atB = false;
    bool movedBetween = false;
    for (int step = 0; step < 24; ++step) {
        SimFixture::stepClock(500);
        m_fixture->click(m_ptz, "getPtzStatusBtn");
        sawCruise = sawCruise && m_fixture->combo(m_ptz, "taskCombo")->currentText() == QLatin1String("Cruise");
        const double pan = Pan();
        atA = atA || PanDistance(pan, panA) < 0.01;
        atB = atB || PanDistance(pan, panB) < 0.01;
        movedBetween = movedBetween || m_fixture->check(m_ptz, "movingCheckBoxEnable")->isChecked();
    }
    QVERIFY(sawCruise);
    QVERIFY(atA);
    QVERIFY(atB);
    QVERIFY(movedBetween);

    m_fixture->click(m_ptz, "cruiseStartBtn");
    QCOMPARE(m_fixture->child<QPushButton>(m_ptz, "cruiseStartBtn")->text(), QStringLiteral("Start"));
    m_fixture->click(m_ptz, "getPtzStatusBtn");
    QCOMPARE(m_fixture->combo(m_ptz, "taskCombo")->currentText(), QStringLiteral("Idle Task"));
    QCOMPARE(m_fixture->boxes().count(), 0);
}

QTEST_MAIN(TestPtzEndToEnd)
#include "tst_ptzendtoend.moc"
