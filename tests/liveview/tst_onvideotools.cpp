// The main window's on-video tools, driven through the real drawing bar and
// label by mouse: the records the device receives (journal), the message
// box on failure, and which tool stays armed.

#include <QtTest>

#include <QAbstractButton>
#include <QSignalSpy>
#include <QTabWidget>

#include <cstring>
#include <memory>

#include "app/MainWindow.h"
#include "MouseScript.h"
#include "thermal/TempAlarmPage.h"
#include "TestSupport.h"
#include "liveview/VideoLabel.h"

Q_DECLARE_METATYPE(QList<QPoint>)

namespace {

const char *const kDrawButtons[] = {"drawPointBtn",   "drawLineBtn",    "drawAreaBtn",
                                    "drawCircleBtn",  "drawPolygonBtn", "shieldedAreaBtn"};

// A drag from far past the bottom-right corner to beyond the top-left one.
const char *const kAcrossBothEdges = "P2000,2000 M-20,-10 R-20,-10";

// What the device must receive: multiply first, divide truncating toward zero.
int Sent(int v, int extent, int scale, bool clamp)
{
    if (clamp)
        v = qBound(0, v, extent);
    return int(qint64(v) * scale / extent);
}

TMV_NET_POINT DevicePoint(const QPoint &p)
{
    TMV_NET_POINT out;
    out.x = p.x();
    out.y = p.y();
    return out;
}

} // namespace

class TestOnVideoTools : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void oneDrawingButtonAtATime_data();
    void oneDrawingButtonAtATime();
    void ruleRecords_data();
    void ruleRecords();
    void ruleFailureReported_data();
    void ruleFailureReported();
    void masksAreNotClamped();
    void pointReadingFailureKeepsTheTool();
    void ptzTools_data();
    void ptzTools();
    void endingManualTrack_data();
    void endingManualTrack();

private:
    VideoLabel *Label() const { return m_fixture->window()->GetVideoLabel(); }
    QSize LabelSize() const { return Label()->size(); }
    QPoint Measured(const QPoint &p) const
    {
        return QPoint(Sent(p.x(), LabelSize().width(), 8191, true), Sent(p.y(), LabelSize().height(), 8191, true));
    }

    std::unique_ptr<PageFixture> m_fixture;
};

void TestOnVideoTools::initTestCase()
{
    WarningGuard::install();
    qRegisterMetaType<QList<QPoint>>();
}

void TestOnVideoTools::init()
{
    SimFixture::reset();
    SimFixture::pauseClock();  // no frames needed; keeps the stream idle
    m_fixture.reset(new PageFixture);
    QVERIFY(m_fixture->login(SimFixture::kPtzCamera));
    m_fixture->click("previewBtn");  // enables the label and the drawing bar
    m_fixture->child<QTabWidget>("tabWidget")->setCurrentIndex(1);  // "Temp Alarm" shows the bar
    QVERIFY(Label()->isEnabled());
    QVERIFY(m_fixture->child<QWidget>("drawWidget")->isVisible());
    SimFixture::clearJournal();
}

void TestOnVideoTools::cleanup()
{
    m_fixture->verifyClean();
    m_fixture.reset();
    SimFixture::clearFaults();
    SimFixture::resumeClock();
}

void TestOnVideoTools::oneDrawingButtonAtATime_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("checked");  // empty: none
    QTest::addColumn<int>("mode");
    QTest::newRow("point") << QStringList{"drawPointBtn"} << "drawPointBtn" << 0;
    QTest::newRow("line, then area") << QStringList{"drawLineBtn", "drawAreaBtn"} << "drawAreaBtn" << 2;
    QTest::newRow("circle, then polygon") << QStringList{"drawCircleBtn", "drawPolygonBtn"} << "drawPolygonBtn" << 4;
    QTest::newRow("polygon, then mask") << QStringList{"drawPolygonBtn", "shieldedAreaBtn"} << "shieldedAreaBtn" << 6;
    QTest::newRow("mask, then point") << QStringList{"shieldedAreaBtn", "drawPointBtn"} << "drawPointBtn" << 0;
    QTest::newRow("circle twice: nothing armed") << QStringList{"drawCircleBtn", "drawCircleBtn"} << "" << -1;
    QTest::newRow("area, line, area again")
        << QStringList{"drawAreaBtn", "drawLineBtn", "drawAreaBtn"} << "drawAreaBtn" << 2;
}

void TestOnVideoTools::oneDrawingButtonAtATime()
{
    QFETCH(QStringList, clicks);
    QFETCH(QString, checked);
    QFETCH(int, mode);
    for (const QString &name : clicks)
        m_fixture->click(name.toLatin1());
    for (const char *name : kDrawButtons)
        QCOMPARE(m_fixture->child<QAbstractButton>(name)->isChecked(), checked == QLatin1String(name));
    QCOMPARE(Label()->Mode(), mode);
}

void TestOnVideoTools::ruleRecords_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("mouse");
    QTest::addColumn<int>("ruleType");
    QTest::addColumn<QList<QPoint>>("points");  // widget pixels, in the order sent
    QTest::addColumn<int>("g1End");             // index of the tiered end point; -1: no points

    QTest::newRow("point") << "drawPointBtn" << "P100,80 R100,80" << 0 << QList<QPoint>{{100, 80}} << 0;
    QTest::newRow("point left of the picture: clamped")
        << "drawPointBtn" << "P-30,80 R-30,80" << 0 << QList<QPoint>{{-30, 80}} << 0;
    QTest::newRow("line") << "drawLineBtn" << "P10,20 M50,50 M300,200 R300,200" << 1 << QList<QPoint>{{10, 20}, {300, 200}} << 1;
    QTest::newRow("rectangle down to the right")
        << "drawAreaBtn" << "P10,20 M300,200 R300,200" << 2
        << QList<QPoint>{{10, 20}, {300, 20}, {300, 200}, {10, 200}} << 2;
    QTest::newRow("rectangle up to the left: drawing order")
        << "drawAreaBtn" << "P300,200 M10,20 R10,20" << 2
        << QList<QPoint>{{300, 200}, {10, 200}, {10, 20}, {300, 20}} << 2;
    QTest::newRow("rectangle across both edges: clamped")
        << "drawAreaBtn" << kAcrossBothEdges << 2
        << QList<QPoint>{{2000, 2000}, {-20, 2000}, {-20, -10}, {2000, -10}} << 2;
    QTest::newRow("circle: no tiered points")
        << "drawCircleBtn" << "P100,100 M150,100 R150,100" << 3 << QList<QPoint>{{100, 100}, {150, 100}} << -1;
    QTest::newRow("polygon: no tiered points")
        << "drawPolygonBtn" << "P10,10 R10,10 P100,10 R100,10 P50,90 R50,90 p50,90 r50,90" << 4
        << QList<QPoint>{{10, 10}, {100, 10}, {50, 90}} << -1;
}

// Both records of one shape; the device answers the standard one with 2, as
// a device of the tiered model does, so the tiered record follows.
void TestOnVideoTools::ruleRecords()
{
    QFETCH(QString, button);
    QFETCH(QString, mouse);
    QFETCH(int, ruleType);
    QFETCH(QList<QPoint>, points);
    QFETCH(int, g1End);
    SimFixture::fail("TMV_NET_AddTempRule", 2, 1);
    m_fixture->click(button.toLatin1());
    MouseScript::Play(Label(), mouse);

    TMV_NET_TEMP_RULE expected;
    std::memset(&expected, 0, sizeof expected);
    expected.enable = 1;
    expected.presetId = m_fixture->window()->findChild<TempAlarmPage *>()->CurrentPresetId();
    expected.ruleType = ruleType;
    for (int i = 0; i < points.size(); ++i)
        expected.points[i] = DevicePoint(Measured(points.at(i)));
    expected.pointCount = points.size();
    QCOMPARE(SimFixture::countOf("TMV_NET_AddTempRule"), 1);
    QCOMPARE(SimFixture::bytesOf(SimFixture::lastRecord<TMV_NET_TEMP_RULE>("TMV_NET_AddTempRule")),
             SimFixture::bytesOf(expected));

    TMV_NET_TEMP_RULE_G1 tiered;
    std::memset(&tiered, 0, sizeof tiered);
    tiered.ruleType = ruleType;
    if (g1End >= 0) {
        tiered.startPoint = DevicePoint(Measured(points.at(0)));
        tiered.endPoint = DevicePoint(Measured(points.at(g1End)));
    }
    QCOMPARE(SimFixture::countOf("TMV_NET_AddTempRule_G1"), 1);
    QCOMPARE(SimFixture::bytesOf(SimFixture::lastRecord<TMV_NET_TEMP_RULE_G1>("TMV_NET_AddTempRule_G1")),
             SimFixture::bytesOf(tiered));
    QCOMPARE(Label()->Mode(), ruleType);  // armed for the next shape
}

void TestOnVideoTools::ruleFailureReported_data()
{
    QTest::addColumn<int>("ruleStatus");
    QTest::addColumn<int>("tieredStatus");  // 0: not forced
    QTest::addColumn<int>("tieredCalls");
    QTest::addColumn<QString>("text");
    QTest::newRow("refused") << 1 << 0 << 0 << "AddTempRule Failed!";
    QTest::newRow("rule limit") << 1101 << 0 << 0 << "AddTempRule Rule Limit!";
    QTest::newRow("wrong parameter") << 3 << 0 << 0 << "AddTempRule Param Wrong!";
    QTest::newRow("tiered record refused too") << 2 << 1 << 1 << "AddTempRule Failed!";
}

void TestOnVideoTools::ruleFailureReported()
{
    QFETCH(int, ruleStatus);
    QFETCH(int, tieredStatus);
    QFETCH(int, tieredCalls);
    QFETCH(QString, text);
    SimFixture::fail("TMV_NET_AddTempRule", ruleStatus, 1);
    if (tieredStatus)
        SimFixture::fail("TMV_NET_AddTempRule_G1", tieredStatus, 1);
    m_fixture->click("drawLineBtn");
    MouseScript::Play(Label(), "P10,20 M300,200 R300,200");
    QCOMPARE(SimFixture::countOf("TMV_NET_AddTempRule_G1"), tieredCalls);
    QCOMPARE(m_fixture->boxes().count(), 1);
    QCOMPARE(m_fixture->boxes().last().title, QString("Error"));
    QCOMPARE(m_fixture->boxes().last().text, text);
    QCOMPARE(m_fixture->boxes().last().icon, QMessageBox::Critical);
}

void TestOnVideoTools::masksAreNotClamped()
{
    QSignalSpy shielded(m_fixture->window(), SIGNAL(Shielded(int, QList<QPoint>)));
    m_fixture->click("shieldedAreaBtn");
    MouseScript::Play(Label(), kAcrossBothEdges);
    QCOMPARE(shielded.count(), 1);
    const int w = LabelSize().width(), h = LabelSize().height();
    QCOMPARE(shielded.at(0).at(0).toInt(), 6);
    const QList<QPoint> expected{{Sent(2000, w, 8191, false), Sent(2000, h, 8191, false)},
                                {Sent(-20, w, 8191, false), Sent(-10, h, 8191, false)}};
    QCOMPARE(shielded.at(0).at(1).value<QList<QPoint>>(), expected);
    QVERIFY(expected.at(0).x() > 8191 && expected.at(1).y() < 0);
    QCOMPARE(Label()->Mode(), 6);
}

void TestOnVideoTools::pointReadingFailureKeepsTheTool()
{
    m_fixture->window()->StartPointMeasure();
    for (const char *name : kDrawButtons)
        QVERIFY(!m_fixture->child<QAbstractButton>(name)->isEnabled());
    SimFixture::fail("TMV_NET_QueryRandomTemp", 1, 1);
    MouseScript::Play(Label(), "P2000,-5 R2000,-5");
    const QByteArray sent = SimFixture::lastInput("TMV_NET_QueryRandomTemp");
    const QByteArray point = sent.mid(sizeof(TMV_NET_HANDLE), sizeof(TMV_NET_POINT));
    QCOMPARE(point, SimFixture::bytesOf(DevicePoint(QPoint(8191, 0))));
    QCOMPARE(m_fixture->boxes().count(), 1);
    QCOMPARE(m_fixture->boxes().last().text, QString("AddTempRule Failed!"));  // the rule operation's name
    QCOMPARE(Label()->Mode(), int(VideoLabel::PointTempMode));
    for (const char *name : kDrawButtons)
        QVERIFY(!m_fixture->child<QAbstractButton>(name)->isEnabled());
}

void TestOnVideoTools::ptzTools_data()
{
    QTest::addColumn<QByteArray>("toggle");
    QTest::addColumn<int>("armed");
    QTest::addColumn<QByteArray>("function");
    QTest::addColumn<int>("fault");  // 0: the device's own answer
    QTest::addColumn<int>("modeAfter");
    QTest::addColumn<QString>("text");  // empty: no box
    QTest::newRow("3D position stays armed") << QByteArray("OnPosition3D") << 5 << QByteArray("TMV_NET_Ptz3DPosition") << 0 << 5 << "";
    QTest::newRow("3D position refused") << QByteArray("OnPosition3D") << 5 << QByteArray("TMV_NET_Ptz3DPosition") << 1 << 5 << "Ptz3DPosition Failed!";
    QTest::newRow("region focus disarms") << QByteArray("OnPositionRegionFocus") << 8 << QByteArray("TMV_NET_PtzRegionFocus") << 0 << -1 << "";
    QTest::newRow("region focus refused") << QByteArray("OnPositionRegionFocus") << 8 << QByteArray("TMV_NET_PtzRegionFocus") << 2 << 8 << "PtzRegionFocus Not Supported!";
    QTest::newRow("manual track stays armed") << QByteArray("OnPositionManualTrack") << 9 << QByteArray("TMV_NET_PtzManualTrack") << 0 << 9 << "";
    QTest::newRow("manual track refused") << QByteArray("OnPositionManualTrack") << 9 << QByteArray("TMV_NET_PtzManualTrack") << 1 << 9 << "PtzManualTrack Failed!";
}

// The PTZ page's toggles arm the label; the rectangle goes out on the 8192
// scale, unclamped.
void TestOnVideoTools::ptzTools()
{
    QFETCH(QByteArray, toggle);
    QFETCH(int, armed);
    QFETCH(QByteArray, function);
    QFETCH(int, fault);
    QFETCH(int, modeAfter);
    QFETCH(QString, text);
    QVERIFY(QMetaObject::invokeMethod(m_fixture->window(), toggle, Q_ARG(bool, true)));
    QCOMPARE(Label()->Mode(), armed);
    if (fault)
        SimFixture::fail(function, fault, 1);
    MouseScript::Play(Label(), kAcrossBothEdges);

    const int w = LabelSize().width(), h = LabelSize().height();
    QVector<qint32> expected{m_fixture->window()->Channel(), Sent(2000, w, 8192, false), Sent(2000, h, 8192, false),
                             Sent(-20, w, 8192, false), Sent(-10, h, 8192, false)};
    if (function != "TMV_NET_Ptz3DPosition")
        expected.append(0);  // stop
    const QByteArray sent = SimFixture::lastInput(function).mid(sizeof(TMV_NET_HANDLE));
    QCOMPARE(sent, QByteArray(reinterpret_cast<const char *>(expected.constData()), expected.size() * 4));
    QCOMPARE(Label()->Mode(), modeAfter);
    QCOMPARE(m_fixture->boxes().count(), text.isEmpty() ? 0 : 1);
    if (!text.isEmpty())
        QCOMPARE(m_fixture->boxes().last().text, text);

    if (toggle != "OnPositionManualTrack") {
        QVERIFY(QMetaObject::invokeMethod(m_fixture->window(), toggle, Q_ARG(bool, false)));
        QCOMPARE(Label()->Mode(), -1);
    }
}

void TestOnVideoTools::endingManualTrack_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("modeAfter");
    QTest::addColumn<QString>("text");
    QTest::newRow("ended") << 0 << -1 << "";
    QTest::newRow("refused: stays armed") << 1 << 9 << "PtzManualTrack Failed!";
}

void TestOnVideoTools::endingManualTrack()
{
    QFETCH(int, fault);
    QFETCH(int, modeAfter);
    QFETCH(QString, text);
    m_fixture->window()->OnPositionManualTrack(true);
    if (fault)
        SimFixture::fail("TMV_NET_PtzManualTrack", fault, 1);
    m_fixture->window()->OnPositionManualTrack(false);
    TMV_NET_PTZ_REGION stop;
    std::memset(&stop, 0, sizeof stop);
    stop.channel = m_fixture->window()->Channel();
    stop.stop = 1;
    QCOMPARE(SimFixture::lastInput("TMV_NET_PtzManualTrack").mid(sizeof(TMV_NET_HANDLE)), SimFixture::bytesOf(stop));
    QCOMPARE(Label()->Mode(), modeAfter);
    QCOMPARE(m_fixture->boxes().count(), text.isEmpty() ? 0 : 1);
    if (!text.isEmpty())
        QCOMPARE(m_fixture->boxes().last().text, text);
}

QTEST_MAIN(TestOnVideoTools)
#include "tst_onvideotools.moc"
