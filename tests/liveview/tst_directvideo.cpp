// The live picture put straight into the label's window, on a real X server
// (this suite runs under Xvfb): what the screen shows is read back from the
// server and compared with a plain scaling of the frame.
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QtTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

#include "liveview/VideoLabel.h"
#include "PatternFrame.h"

namespace {


// What the server shows in the widget's rectangle of the screen.
QImage Screen(const QWidget &widget)
{
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const QPoint at = widget.mapToGlobal(QPoint(0, 0));
    xcb_get_image_reply_t *reply = xcb_get_image_reply(
        c,
        xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, int16_t(at.x()), int16_t(at.y()),
                      uint16_t(widget.width()), uint16_t(widget.height()), ~0u),
        nullptr);
    QImage image;
    if (reply && reply->depth == 24)
        image = QImage(xcb_get_image_data(reply), widget.width(), widget.height(), QImage::Format_RGB32).copy();
    std::free(reply);
    xcb_disconnect(c);
    return image;
}

double MeanDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return 255;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto *p = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const auto *q = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            sum += std::abs(qRed(p[x]) - qRed(q[x])) + std::abs(qGreen(p[x]) - qGreen(q[x])) +
                   std::abs(qBlue(p[x]) - qBlue(q[x]));
    }
    return sum / (3.0 * a.width() * a.height());
}

bool HasGreen(const QImage &image)
{
    const QRgb green = QColor(Qt::green).rgb();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xffffff) == (green & 0xffffff))
                return true;
    return false;
}

}  // namespace

class TestDirectVideo : public QObject
{
    Q_OBJECT

    // The label sits deep in a window, as on the preview page: inside a tab
    // of a tab widget, below another widget.
    std::unique_ptr<QWidget> m_window;
    QLabel *m_above = nullptr;
    VideoLabel *m_label = nullptr;
    const QImage m_frame = PatternFrame(640, 512);

    // Shows frames until the screen shows the newest one, or times out.
    QImage ShowFrames()
    {
        QImage screen;
        for (int i = 0; i < 40; ++i) {
            m_label->SetFrame(m_frame);
            QTest::qWait(25);
            screen = Screen(*m_label);
            if (MeanDifference(screen, Reference()) < 2)
                break;
        }
        return screen;
    }

    QImage Reference() const
    {
        return m_frame.convertToFormat(QImage::Format_RGB32).scaled(m_label->size(), Qt::IgnoreAspectRatio,
                                                                    Qt::FastTransformation);
    }

private slots:
    void init()
    {
        m_window = std::make_unique<QWidget>();
        auto *tabs = new QTabWidget(m_window.get());
        auto *page = new QWidget;
        auto *layout = new QVBoxLayout(page);
        m_above = new QLabel("above");
        layout->addWidget(m_above);
        m_label = new VideoLabel;
        m_label->setFixedSize(512, 410);
        layout->addWidget(m_label);
        tabs->addTab(page, "Online");
        tabs->addTab(new QWidget, "Playback");
        (new QVBoxLayout(m_window.get()))->addWidget(tabs);
        m_window->move(30, 20);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup() { m_window.reset(); }

    void showsTheScaledFrameWhereTheLabelIs()
    {
        const QImage screen = ShowFrames();
        QVERIFY(m_label->ShowsDirectly());
        QVERIFY2(MeanDifference(screen, Reference()) < 2, qPrintable(QString::number(MeanDifference(screen, Reference()))));

        // The layout moves the label: the picture goes with it.
        m_above->setMinimumHeight(90);
        QTest::qWait(100);
        const QImage moved = ShowFrames();
        QVERIFY2(MeanDifference(moved, Reference()) < 2, qPrintable(QString::number(MeanDifference(moved, Reference()))));
    }

    void anotherTabHidesItAndComingBackShowsIt()
    {
        ShowFrames();
        auto *tabs = m_window->findChild<QTabWidget *>();
        tabs->setCurrentIndex(1);
        QTest::qWait(100);
        m_label->SetFrame(m_frame);  // a frame while hidden goes nowhere
        QTest::qWait(50);
        QVERIFY(MeanDifference(Screen(*tabs->widget(1)), Reference()) > 20);
        tabs->setCurrentIndex(0);
        const QImage back = ShowFrames();
        QVERIFY2(MeanDifference(back, Reference()) < 2, qPrintable(QString::number(MeanDifference(back, Reference()))));
    }

    // While a shape is drawn the toolkit paints, overlay included; when the
    // label is reset its own background shows again.
    void drawingAndResetPaintThroughTheToolkit()
    {
        ShowFrames();
        m_label->SetMode(VideoLabel::RectangleMode);
        QTest::mousePress(m_label, Qt::LeftButton, {}, QPoint(100, 100));
        QTest::mouseMove(m_label, QPoint(200, 180));
        QMouseEvent move(QEvent::MouseMove, QPoint(200, 180), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_label, &move);
        m_label->SetFrame(m_frame);
        QTRY_VERIFY(HasGreen(Screen(*m_label)));
        QVERIFY(!m_label->ShowsDirectly());

        m_label->Reset();
        QTest::qWait(100);
        QVERIFY(!m_label->ShowsDirectly());
        QVERIFY(MeanDifference(Screen(*m_label), Reference()) > 20);
    }
};

QTEST_MAIN(TestDirectVideo)
#include "tst_directvideo.moc"
