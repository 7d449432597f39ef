// Widget pixels to picture space and the shapes the on-video tools send, as
// tables of cases without a window.

#include <QtTest>

#include "liveview/PictureSpace.h"

Q_DECLARE_METATYPE(PictureSpace::Use)
Q_DECLARE_METATYPE(QList<QPoint>)

using PictureSpace::Use;

class TestPictureSpace : public QObject
{
    Q_OBJECT

private slots:
    void scale_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("extent");
        QTest::addColumn<Use>("use");
        QTest::addColumn<int>("sent");
        QTest::newRow("measure, middle") << 256 << 512 << Use::Measure << 4095;  // 2096896 / 512 = 4095.5
        QTest::newRow("measure, far edge") << 512 << 512 << Use::Measure << 8191;
        QTest::newRow("measure, past the edge") << 700 << 512 << Use::Measure << 8191;
        QTest::newRow("measure, negative") << -40 << 512 << Use::Measure << 0;
        QTest::newRow("measure, truncates") << 1 << 410 << Use::Measure << 19;  // 8191 / 410 = 19.98
        QTest::newRow("mask, past the edge") << 700 << 512 << Use::Mask << 11198;  // 5733700 / 512
        QTest::newRow("mask, negative truncates toward zero") << -1 << 410 << Use::Mask << -19;
        QTest::newRow("ptz, middle") << 256 << 512 << Use::Ptz << 4096;
        QTest::newRow("ptz, far edge") << 512 << 512 << Use::Ptz << 8192;
        QTest::newRow("ptz, negative") << -40 << 512 << Use::Ptz << -640;
        QTest::newRow("ptz, no overflow far out") << 600000 << 512 << Use::Ptz << 9600000;
        QTest::newRow("empty label") << 10 << 0 << Use::Ptz << 0;
    }
    void scale()
    {
        QFETCH(int, value);
        QFETCH(int, extent);
        QFETCH(Use, use);
        QFETCH(int, sent);
        QCOMPARE(PictureSpace::Scale(value, extent, use), sent);
    }

    void pointUsesBothExtents()
    {
        QCOMPARE(PictureSpace::ToPicture(QPoint(512, 205), QSize(512, 410), Use::Measure), QPoint(8191, 4095));
        QCOMPARE(PictureSpace::ToPicture(QPoint(-1, 820), QSize(512, 410), Use::Mask), QPoint(-15, 16382));
    }

    void corners_data()
    {
        QTest::addColumn<QPoint>("p0");
        QTest::addColumn<QPoint>("p1");
        QTest::addColumn<QList<QPoint>>("corners");
        QTest::newRow("top-left to bottom-right")
            << QPoint(10, 20) << QPoint(300, 200)
            << QList<QPoint>{{10, 20}, {300, 20}, {300, 200}, {10, 200}};
        QTest::newRow("bottom-right to top-left: drawing order kept")
            << QPoint(300, 200) << QPoint(10, 20)
            << QList<QPoint>{{300, 200}, {10, 200}, {10, 20}, {300, 20}};
        QTest::newRow("bottom-left to top-right")
            << QPoint(10, 200) << QPoint(300, 20)
            << QList<QPoint>{{10, 200}, {300, 200}, {300, 20}, {10, 20}};
    }
    void corners()
    {
        QFETCH(QPoint, p0);
        QFETCH(QPoint, p1);
        QFETCH(QList<QPoint>, corners);
        QCOMPARE(PictureSpace::RectangleCorners(p0, p1), corners);
    }

    void tieredEnds_data()
    {
        QTest::addColumn<int>("ruleType");
        QTest::addColumn<QList<QPoint>>("points");
        QTest::addColumn<QPoint>("start");
        QTest::addColumn<QPoint>("end");
        const QList<QPoint> four{{1, 2}, {3, 4}, {5, 6}, {7, 8}};
        QTest::newRow("point: start and end the point") << 0 << QList<QPoint>{{1, 2}} << QPoint(1, 2) << QPoint(1, 2);
        QTest::newRow("line: its two ends") << 1 << four.mid(0, 2) << QPoint(1, 2) << QPoint(3, 4);
        QTest::newRow("rectangle: first and third corner") << 2 << four << QPoint(1, 2) << QPoint(5, 6);
        QTest::newRow("circle: none") << 3 << four.mid(0, 2) << QPoint() << QPoint();
        QTest::newRow("polygon: none") << 4 << four << QPoint() << QPoint();
        QTest::newRow("rectangle short of corners: none") << 2 << four.mid(0, 2) << QPoint() << QPoint();
    }
    void tieredEnds()
    {
        QFETCH(int, ruleType);
        QFETCH(QList<QPoint>, points);
        QFETCH(QPoint, start);
        QFETCH(QPoint, end);
        const PictureSpace::Ends ends = PictureSpace::TieredEnds(ruleType, points);
        QCOMPARE(ends.start, start);
        QCOMPARE(ends.end, end);
    }
};

QTEST_APPLESS_MAIN(TestPictureSpace)
#include "tst_picturespace.moc"
