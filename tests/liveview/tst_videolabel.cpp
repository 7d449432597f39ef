#include <QSignalSpy>
#include <QtTest>

#include "MouseScript.h"
#include "liveview/VideoLabel.h"
#include "PatternFrame.h"
#include "WarningGuard.h"

Q_DECLARE_METATYPE(QList<QPoint>)

namespace {

QList<QPoint> Pts(std::initializer_list<QPoint> points)
{
    return QList<QPoint>(points);
}

QImage SolidFrame(int width, int height, QRgb colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// True when a pixel within one of `at` has the overlay's green: a 1-pixel
// outline may land a pixel off its ideal place.
bool GreenNear(const QImage &image, const QPoint &at)
{
    const QRgb green = QColor(Qt::green).rgb();
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (image.valid(at + QPoint(dx, dy)) && image.pixel(at + QPoint(dx, dy)) == green)
                return true;
    return false;
}


} // namespace

class TestVideoLabel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void modeTable_data();
    void modeTable();
    void setModeDropsShapeInProgress();
    void nothingPaintedBeforeFirstFrame();
    void frameStretchedWithGreenOverlay();
    void overlayOutline_data();
    void overlayOutline();
    void panNeedsTheLeftButton_data();
    void panNeedsTheLeftButton();
    void wideFrameRule_data();
    void wideFrameRule();
    void wideStaysUntilReset();
    void panClampsAtBothEnds();
    void draggingLeftShowsColumnsFurtherRight();
    void resizeShowsFromTheNextFrame();
    void scalingIsQtNearestPixel_data();
    void scalingIsQtNearestPixel();
    void heldPictureNeverChanges();

private:
    VideoLabel *m_label = nullptr;
};

void TestVideoLabel::initTestCase()
{
    WarningGuard::install();
    qRegisterMetaType<QList<QPoint>>();
}

void TestVideoLabel::init()
{
    m_label = new VideoLabel;
    m_label->resize(512, 384);
}

void TestVideoLabel::cleanup()
{
    delete m_label;
    m_label = nullptr;
}

void TestVideoLabel::modeTable_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("mouse");
    QTest::addColumn<QString>("signal");  // empty: nothing emitted
    QTest::addColumn<QList<QPoint>>("emitted");
    QTest::addColumn<QList<QPoint>>("left");  // points kept afterwards

    const QList<QPoint> none;
    const QList<QPoint> twoPoints = Pts({QPoint(10, 20), QPoint(110, 90)});
    const QString drag = QStringLiteral("P10,20 M50,50 M110,90 R110,90");

    QTest::newRow("none ignores shapes") << int(VideoLabel::NoMode) << drag << QString() << none << none;
    QTest::newRow("point") << int(VideoLabel::PointMode) << "P30,40 R30,40" << "AddRule" << Pts({QPoint(30, 40)}) << none;
    QTest::newRow("point ignores move") << int(VideoLabel::PointMode) << "P30,40 M90,90 R90,90" << "AddRule" << Pts({QPoint(30, 40)}) << none;
    QTest::newRow("line") << int(VideoLabel::LineMode) << drag << "AddRule" << twoPoints << none;
    QTest::newRow("rectangle") << int(VideoLabel::RectangleMode) << drag << "AddRule" << twoPoints << none;
    QTest::newRow("circle") << int(VideoLabel::CircleMode) << drag << "AddRule" << twoPoints << none;
    QTest::newRow("polygon") << int(VideoLabel::PolygonMode) << "P1,1 R1,1 P5,1 R5,1 M9,9 P5,5 R5,5 p0,0 r0,0" << "AddRule"
                             << Pts({QPoint(1, 1), QPoint(5, 1), QPoint(5, 5)}) << none;
    QTest::newRow("polygon ignores ninth click")
        << int(VideoLabel::PolygonMode) << "P1,1 P2,2 P3,3 P4,4 P5,5 P6,6 P7,7 P8,8 P9,9 p0,0 r0,0" << "AddRule"
        << Pts({QPoint(1, 1), QPoint(2, 2), QPoint(3, 3), QPoint(4, 4), QPoint(5, 5), QPoint(6, 6),
                QPoint(7, 7), QPoint(8, 8)})
        << none;
    QTest::newRow("polygon right click with one point") << int(VideoLabel::PolygonMode) << "P1,1 R1,1 p0,0 r0,0" << QString() << none
                                                        << Pts({QPoint(1, 1)});
    QTest::newRow("3D position") << int(VideoLabel::PositionMode) << drag << "Postion" << twoPoints << none;
    QTest::newRow("mask") << int(VideoLabel::MaskMode) << drag << "AddShielded" << twoPoints << none;
    QTest::newRow("point temperature") << int(VideoLabel::PointTempMode) << "P30,40 M90,90 R90,90" << "GetOncePointTemp"
                                       << Pts({QPoint(30, 40)}) << none;
    QTest::newRow("region focus") << int(VideoLabel::RegionFocusMode) << drag << "RegionFocus" << twoPoints << none;
    QTest::newRow("manual track") << int(VideoLabel::ManualTrackMode) << drag << "ManualTrack" << twoPoints << none;
    QTest::newRow("rubber band keeps last move") << int(VideoLabel::RectangleMode) << "P10,20 M50,50 M110,90 R200,200" << "AddRule"
                                                 << twoPoints << none;
    QTest::newRow("rectangle click without drag") << int(VideoLabel::RectangleMode) << "P10,20 R10,20" << QString() << none
                                                  << Pts({QPoint(10, 20)});
    QTest::newRow("line click then new press starts over") << int(VideoLabel::LineMode) << "P10,20 R10,20 P40,40" << QString() << none
                                                            << Pts({QPoint(40, 40)});
    QTest::newRow("right button does not draw") << int(VideoLabel::RectangleMode) << "p10,20 r10,20" << QString() << none << none;
    // Only a left drag continues what a left press started.
    QTest::newRow("right drag does not rubber-band") << int(VideoLabel::RectangleMode)
                                                     << "P10,20 R10,20 m110,90 R110,90" << QString() << none
                                                     << Pts({QPoint(10, 20)});
    QTest::newRow("move without a button does not rubber-band")
        << int(VideoLabel::LineMode) << "P10,20 R10,20 n110,90 R110,90" << QString() << none
        << Pts({QPoint(10, 20)});
    QTest::newRow("right drag keeps the left drag's end") << int(VideoLabel::CircleMode)
                                                          << "P10,20 M110,90 m200,200 R200,200" << "AddRule"
                                                          << twoPoints << none;
    QTest::newRow("right release does not finish a line") << int(VideoLabel::LineMode) << "P10,20 M110,90 r110,90" << QString() << none
                                                          << twoPoints;
}

void TestVideoLabel::modeTable()
{
    QFETCH(int, mode);
    QFETCH(QString, mouse);
    QFETCH(QString, signal);
    QFETCH(QList<QPoint>, emitted);
    QFETCH(QList<QPoint>, left);

    m_label->SetFrame(SolidFrame(64, 48, qRgb(0, 0, 0)));
    m_label->SetMode(mode);

    QSignalSpy addRule(m_label, SIGNAL(AddRule(int, QList<QPoint>)));
    QSignalSpy pointTemp(m_label, SIGNAL(GetOncePointTemp(QPoint)));
    QSignalSpy position(m_label, SIGNAL(Postion(int, QList<QPoint>)));
    QSignalSpy regionFocus(m_label, SIGNAL(RegionFocus(QList<QPoint>)));
    QSignalSpy manualTrack(m_label, SIGNAL(ManualTrack(QList<QPoint>)));
    QSignalSpy shielded(m_label, SIGNAL(AddShielded(int, QList<QPoint>)));
    const QMap<QString, QSignalSpy *> spies = {
        {"AddRule", &addRule},         {"GetOncePointTemp", &pointTemp}, {"Postion", &position},
        {"RegionFocus", &regionFocus}, {"ManualTrack", &manualTrack},    {"AddShielded", &shielded},
    };

    MouseScript::Play(m_label, mouse);

    for (auto it = spies.constBegin(); it != spies.constEnd(); ++it)
        QCOMPARE(it.value()->count(), it.key() == signal ? 1 : 0);
    QCOMPARE(m_label->Points(), left);
    if (signal.isEmpty())
        return;

    const QList<QVariant> args = spies.value(signal)->takeFirst();
    if (signal == "GetOncePointTemp") {
        QCOMPARE(args.at(0).value<QPoint>(), emitted.first());
    } else if (signal == "RegionFocus" || signal == "ManualTrack") {
        QCOMPARE(args.at(0).value<QList<QPoint>>(), emitted);
    } else {
        QCOMPARE(args.at(0).toInt(), mode);
        QCOMPARE(args.at(1).value<QList<QPoint>>(), emitted);
    }
}

void TestVideoLabel::setModeDropsShapeInProgress()
{
    m_label->SetMode(VideoLabel::RectangleMode);
    MouseScript::Play(m_label, "P10,20 M50,50");
    QCOMPARE(m_label->Points().size(), 2);

    QSignalSpy addRule(m_label, SIGNAL(AddRule(int, QList<QPoint>)));
    m_label->SetMode(VideoLabel::LineMode);
    QVERIFY(m_label->Points().isEmpty());
    QCOMPARE(m_label->Mode(), int(VideoLabel::LineMode));
    MouseScript::Play(m_label, "R50,50");
    QCOMPARE(addRule.count(), 0);
}

void TestVideoLabel::nothingPaintedBeforeFirstFrame()
{
    const QImage blank = m_label->grab().toImage();

    m_label->SetMode(VideoLabel::RectangleMode);
    QSignalSpy addRule(m_label, SIGNAL(AddRule(int, QList<QPoint>)));
    MouseScript::Play(m_label, "P10,20 M300,200");
    QCOMPARE(m_label->grab().toImage(), blank);

    MouseScript::Play(m_label, "R300,200");
    QCOMPARE(addRule.count(), 1);
}

void TestVideoLabel::frameStretchedWithGreenOverlay()
{
    m_label->resize(200, 100);
    QImage frame(2, 1, QImage::Format_RGB32);
    frame.setPixel(0, 0, qRgb(255, 0, 0));
    frame.setPixel(1, 0, qRgb(0, 0, 255));
    m_label->SetFrame(frame);

    QImage shown = m_label->grab().toImage();
    QCOMPARE(shown.pixel(50, 10), qRgb(255, 0, 0));
    QCOMPARE(shown.pixel(150, 90), qRgb(0, 0, 255));

    m_label->SetMode(VideoLabel::RectangleMode);
    MouseScript::Play(m_label, "P20,20 M120,80");
    shown = m_label->grab().toImage();
    const QRgb green = QColor(Qt::green).rgb();
    QCOMPARE(shown.pixel(20, 50), green);   // left edge of the rectangle
    QCOMPARE(shown.pixel(70, 20), green);   // top edge
    QCOMPARE(shown.pixel(60, 50), qRgb(255, 0, 0));  // inside stays picture

    // Modes without an outline leave the picture alone.
    m_label->SetMode(VideoLabel::PointMode);
    MouseScript::Play(m_label, "P20,50");
    QCOMPARE(m_label->grab().toImage().pixel(20, 50), qRgb(255, 0, 0));
}

void TestVideoLabel::overlayOutline_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("mouse");
    QTest::addColumn<QList<QPoint>>("outline");  // green there
    QTest::addColumn<QList<QPoint>>("picture");  // no green near there

    const QString drag = QStringLiteral("P20,20 M220,120");
    // Where a rectangle from (20, 20) to (220, 120) has its edges, and where
    // a line between the same points passes.
    const QList<QPoint> rectangleEdges = Pts({QPoint(120, 20), QPoint(20, 70), QPoint(220, 70), QPoint(120, 120)});
    const QList<QPoint> lineMiddle = Pts({QPoint(60, 40), QPoint(120, 70), QPoint(180, 100)});

    QTest::newRow("line") << int(VideoLabel::LineMode) << drag << lineMiddle
                          << Pts({QPoint(120, 20), QPoint(20, 120), QPoint(220, 20)});
    QTest::newRow("rectangle") << int(VideoLabel::RectangleMode) << drag << rectangleEdges << lineMiddle;
    QTest::newRow("3D position") << int(VideoLabel::PositionMode) << drag << rectangleEdges << lineMiddle;
    QTest::newRow("mask") << int(VideoLabel::MaskMode) << drag << rectangleEdges << lineMiddle;
    QTest::newRow("region focus") << int(VideoLabel::RegionFocusMode) << drag << rectangleEdges << lineMiddle;
    QTest::newRow("manual track") << int(VideoLabel::ManualTrackMode) << drag << rectangleEdges << lineMiddle;
    // Centre (150, 100), edge point (180, 140): radius 50, not 30 or 40.
    QTest::newRow("circle") << int(VideoLabel::CircleMode) << "P150,100 M180,140"
                            << Pts({QPoint(200, 100), QPoint(100, 100), QPoint(150, 50), QPoint(150, 150),
                                    QPoint(180, 140)})
                            << Pts({QPoint(150, 100), QPoint(180, 100), QPoint(190, 100), QPoint(150, 60)});
    // An open polyline: no closing edge from the last point to the first.
    QTest::newRow("polygon") << int(VideoLabel::PolygonMode) << "P20,20 R20,20 P220,20 R220,20 P220,120 R220,120"
                             << Pts({QPoint(120, 20), QPoint(220, 70), QPoint(20, 20), QPoint(220, 120)})
                             << Pts({QPoint(120, 70), QPoint(120, 120), QPoint(20, 70)});
    QTest::newRow("polygon of one point") << int(VideoLabel::PolygonMode) << "P20,20 R20,20" << QList<QPoint>()
                                          << Pts({QPoint(20, 20)});
    QTest::newRow("point") << int(VideoLabel::PointMode) << "P20,20" << QList<QPoint>()
                           << Pts({QPoint(20, 20)});
    QTest::newRow("point temperature") << int(VideoLabel::PointTempMode) << "P20,20 M220,120" << QList<QPoint>()
                                       << Pts({QPoint(20, 20), QPoint(120, 20), QPoint(120, 70)});
}

void TestVideoLabel::overlayOutline()
{
    QFETCH(int, mode);
    QFETCH(QString, mouse);
    QFETCH(QList<QPoint>, outline);
    QFETCH(QList<QPoint>, picture);

    m_label->resize(300, 200);
    m_label->SetFrame(SolidFrame(3, 2, qRgb(255, 0, 0)));
    m_label->SetMode(mode);
    MouseScript::Play(m_label, mouse);

    const QImage shown = m_label->grab().toImage();
    for (const QPoint &p : outline)
        QVERIFY2(GreenNear(shown, p), qPrintable(QStringLiteral("no outline at %1,%2").arg(p.x()).arg(p.y())));
    for (const QPoint &p : picture) {
        QVERIFY2(!GreenNear(shown, p), qPrintable(QStringLiteral("outline at %1,%2").arg(p.x()).arg(p.y())));
        QCOMPARE(shown.pixel(p), qRgb(255, 0, 0));
    }
}

void TestVideoLabel::wideFrameRule_data()
{
    QTest::addColumn<QSize>("frameSize");
    QTest::addColumn<bool>("wide");
    QTest::addColumn<int>("windowWidth");

    QTest::newRow("3200x512 ratio 6") << QSize(3200, 512) << true << 640;
    QTest::newRow("3000x512 ratio 5") << QSize(3000, 512) << false << 0;
    QTest::newRow("1030x171 truncates") << QSize(1030, 171) << true << 213;
    QTest::newRow("ordinary 640x512") << QSize(640, 512) << false << 0;
}

void TestVideoLabel::wideFrameRule()
{
    QFETCH(QSize, frameSize);
    QFETCH(bool, wide);
    QFETCH(int, windowWidth);

    m_label->SetFrame(SolidFrame(frameSize.width(), frameSize.height(), qRgb(1, 2, 3)));
    QCOMPARE(m_label->IsWide(), wide);
    QCOMPARE(m_label->WindowWidth(), windowWidth);
}

void TestVideoLabel::wideStaysUntilReset()
{
    m_label->SetFrame(SolidFrame(3200, 512, qRgb(1, 2, 3)));
    m_label->SetFrame(SolidFrame(640, 512, qRgb(1, 2, 3)));
    QVERIFY(m_label->IsWide());
    QCOMPARE(m_label->WindowWidth(), 640);

    m_label->Reset();
    QVERIFY(!m_label->IsWide());
    QCOMPARE(m_label->WindowLeft(), 0);
    QCOMPARE(m_label->WindowWidth(), 0);
    QVERIFY(m_label->Picture().isNull());

    m_label->SetFrame(SolidFrame(640, 512, qRgb(1, 2, 3)));
    QVERIFY(!m_label->IsWide());
}

void TestVideoLabel::panClampsAtBothEnds()
{
    m_label->SetFrame(SolidFrame(3200, 512, qRgb(1, 2, 3)));

    MouseScript::Play(m_label, "P300,100 M200,100");
    QCOMPARE(m_label->WindowLeft(), 100);
    MouseScript::Play(m_label, "M-5000,100 R-5000,100");
    m_label->grab();
    QCOMPARE(m_label->WindowLeft(), 3200 - 640 - 1);

    MouseScript::Play(m_label, "P0,100 M9000,100 R9000,100");
    m_label->grab();
    QCOMPARE(m_label->WindowLeft(), 0);

    // Drawing modes do not pan.
    m_label->SetMode(VideoLabel::RectangleMode);
    MouseScript::Play(m_label, "P300,100 M200,100 R200,100");
    QCOMPARE(m_label->WindowLeft(), 0);
}

void TestVideoLabel::panNeedsTheLeftButton_data()
{
    QTest::addColumn<QString>("mouse");
    QTest::addColumn<int>("windowLeft");
    QTest::newRow("left drag") << "P300,100 M200,100 R200,100" << 100;
    QTest::newRow("right drag") << "p300,100 m200,100 r200,100" << 0;
    QTest::newRow("right drag after a left click") << "P300,100 R300,100 m200,100" << 0;
    QTest::newRow("move without a button") << "P300,100 R300,100 n200,100" << 0;
}

void TestVideoLabel::panNeedsTheLeftButton()
{
    QFETCH(QString, mouse);
    QFETCH(int, windowLeft);
    m_label->SetFrame(SolidFrame(3200, 512, qRgb(1, 2, 3)));
    MouseScript::Play(m_label, mouse);
    QCOMPARE(m_label->WindowLeft(), windowLeft);
}

void TestVideoLabel::draggingLeftShowsColumnsFurtherRight()
{
    QImage frame = SolidFrame(3200, 512, qRgb(255, 0, 0));
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 640; x < frame.width(); ++x)
            frame.setPixel(x, y, qRgb(0, 0, 255));
    m_label->SetFrame(frame);
    QCOMPARE(m_label->grab().toImage().pixel(500, 100), qRgb(255, 0, 0));

    MouseScript::Play(m_label, "P400,100 M80,100 R80,100");
    QCOMPARE(m_label->WindowLeft(), 320);
    // The pan is cut from the next frame on.
    QCOMPARE(m_label->grab().toImage().pixel(500, 100), qRgb(255, 0, 0));
    m_label->SetFrame(frame);
    const QImage shown = m_label->grab().toImage();
    QCOMPARE(shown.pixel(10, 100), qRgb(255, 0, 0));
    QCOMPARE(shown.pixel(500, 100), qRgb(0, 0, 255));
}

// The frame callback scales to the size the label last had: a resized label
// stretches the picture it has until the next frame comes at its new size.
void TestVideoLabel::resizeShowsFromTheNextFrame()
{
    m_label->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_label));
    const QImage frame = SolidFrame(64, 48, qRgb(10, 20, 30)).convertToFormat(QImage::Format_RGBA8888);
    const auto nextFrame = [&] {
        m_label->SetPicture(m_label->View()->Picture(frame.constBits(), int(frame.bytesPerLine()), frame.size()));
    };
    nextFrame();
    QCOMPARE(m_label->Picture().size(), QSize(512, 384));

    m_label->resize(300, 200);
    QTRY_COMPARE(m_label->size(), QSize(300, 200));
    QCOMPARE(m_label->Picture().size(), QSize(512, 384));
    QCOMPARE(m_label->grab().toImage().pixel(299, 199), qRgb(10, 20, 30));
    nextFrame();
    QCOMPARE(m_label->Picture().size(), QSize(300, 200));
    QCOMPARE(m_label->FrameSize(), QSize(64, 48));
}

void TestVideoLabel::scalingIsQtNearestPixel_data()
{
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<QRect>("source");
    QTest::addColumn<QSize>("target");
    QTest::newRow("same size") << QSize(17, 9) << QRect(0, 0, 17, 9) << QSize(17, 9);
    QTest::newRow("thermal to label") << QSize(640, 512) << QRect(0, 0, 640, 512) << QSize(512, 410);
    QTest::newRow("visible to label") << QSize(1920, 1080) << QRect(0, 0, 1920, 1080) << QSize(512, 410);
    QTest::newRow("enlarged") << QSize(7, 5) << QRect(0, 0, 7, 5) << QSize(50, 31);
    QTest::newRow("odd, mixed") << QSize(101, 77) << QRect(0, 0, 101, 77) << QSize(99, 80);
    QTest::newRow("to one pixel") << QSize(33, 21) << QRect(0, 0, 33, 21) << QSize(1, 1);
    QTest::newRow("one pixel up") << QSize(1, 1) << QRect(0, 0, 1, 1) << QSize(9, 4);
    QTest::newRow("one column") << QSize(1, 40) << QRect(0, 0, 1, 40) << QSize(6, 13);
    QTest::newRow("crop window") << QSize(64, 24) << QRect(9, 3, 30, 17) << QSize(23, 40);
    QTest::newRow("panoramic window") << QSize(3000, 480) << QRect(1207, 0, 600, 480) << QSize(512, 410);
}

void TestVideoLabel::scalingIsQtNearestPixel()
{
    QFETCH(QSize, frame);
    QFETCH(QRect, source);
    QFETCH(QSize, target);
    const QImage image = PatternFrame(frame.width(), frame.height());
    const QImage part = image.copy(source).convertToFormat(QImage::Format_RGB32);
    const QImage expected = part.scaled(target, Qt::IgnoreAspectRatio, Qt::FastTransformation);

    QImage out(target, QImage::Format_RGB32);
    out.fill(Qt::magenta);
    ScaleToRgb32(image.constBits(), int(image.bytesPerLine()), source, out.bits(), int(out.bytesPerLine()), target);
    QCOMPARE(out, expected);
}

// The pictures are written into kept buffers: one still held by someone
// (the label showing it) must not be written over, and one let go is used
// again instead of a new allocation.
void TestVideoLabel::heldPictureNeverChanges()
{
    LiveView view;
    view.SetLabelSize(QSize(32, 24));
    const QImage red = SolidFrame(64, 48, qRgb(200, 0, 0)).convertToFormat(QImage::Format_RGBA8888);
    const QImage blue = SolidFrame(64, 48, qRgb(0, 0, 200)).convertToFormat(QImage::Format_RGBA8888);
    const auto picture = [&](const QImage &frame) {
        return view.Picture(frame.constBits(), int(frame.bytesPerLine()), frame.size()).image;
    };

    const QImage held = picture(red);
    const uchar *const heldBits = held.constBits();
    const uchar *freed = nullptr;
    for (int i = 0; i < 5; ++i) {
        const QImage next = picture(blue);
        QCOMPARE(next.pixel(31, 23), qRgb(0, 0, 200));
        QVERIFY(next.constBits() != heldBits);
        if (freed)
            QCOMPARE(next.constBits(), freed);  // the one let go, again
        freed = next.constBits();
    }
    QCOMPARE(held.pixel(0, 0), qRgb(200, 0, 0));
    QCOMPARE(held.pixel(31, 23), qRgb(200, 0, 0));

    // A new label size: new buffers, the held picture still untouched.
    view.SetLabelSize(QSize(20, 10));
    QCOMPARE(picture(blue).size(), QSize(20, 10));
    QCOMPARE(held.pixel(31, 23), qRgb(200, 0, 0));
}

QTEST_MAIN(TestVideoLabel)
#include "tst_videolabel.moc"
