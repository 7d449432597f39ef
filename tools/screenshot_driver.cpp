// Drives the real main window into a state worth a picture (search, login,
// live preview) and then holds still, so scripts/screenshot.sh can take the
// screen with ImageMagick. Prints "READY" when the picture is live.

#include "MainWindow.h"
#include "TMVNetSDK.h"
#include "TempAlarmPage.h"
#include "VideoLabel.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <cstdio>

namespace {

template <typename T>
T *child(QWidget *root, const char *name)
{
    T *w = root->findChild<T *>(QString::fromLatin1(name));
    if (!w) {
        std::fprintf(stderr, "no widget named %s\n", name);
        std::exit(2);
    }
    return w;
}

bool waitFor(const std::function<bool()> &condition, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > ms)
            return false;
        QTest::qWait(20);
    }
    return true;
}

// A left-button drag on the label, as a hand would draw it.
void drag(QWidget *label, QPoint from, QPoint to)
{
    QTest::mousePress(label, Qt::LeftButton, Qt::NoModifier, from);
    for (int i = 1; i <= 8; ++i) {
        const QPoint at = from + (to - from) * i / 8;
        QMouseEvent move(QEvent::MouseMove, at, label->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(label, &move);
        QTest::qWait(15);
    }
    QTest::mouseRelease(label, Qt::LeftButton, Qt::NoModifier, to);
}

// Temperature page with two rectangle rules: one around the hottest spot of
// the picture, one over the sky; the list fetched and the first rule read.
void drawRules(MainWindow &window)
{
    auto *tabs = child<QTabWidget>(&window, "tabWidget");
    tabs->setCurrentWidget(window.findChild<TempAlarmPage *>());
    QTest::qWait(300);
    TMV_NET_TEMP_INFO frame{};
    TMV_NET_QueryFrameTemp(window.Handle(), &frame);
    VideoLabel *label = window.GetVideoLabel();
    const QPoint hot(frame.maxX * label->width() / 8191, frame.maxY * label->height() / 8191);
    QTest::mouseClick(child<QPushButton>(&window, "drawAreaBtn"), Qt::LeftButton);
    drag(label, hot - QPoint(30, 24), hot + QPoint(30, 24));
    drag(label, QPoint(label->width() / 10, label->height() / 20),
         QPoint(label->width() * 3 / 10, label->height() / 6));
    QTest::mouseClick(child<QPushButton>(&window, "drawAreaBtn"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(&window, "getFrameTempDataBtn"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(&window, "getAllRulesBtn"), Qt::LeftButton);
    child<QComboBox>(&window, "ruleCombo")->setCurrentIndex(0);
    QTest::mouseClick(child<QPushButton>(&window, "getOneRuleInfoBtn"), Qt::LeftButton);
    // Bring the rule's readings into view.
    auto *readings = child<QWidget>(&window, "ruleCenterTempEdit");
    for (QWidget *w = readings->parentWidget(); w; w = w->parentWidget())
        if (auto *scroll = qobject_cast<QScrollArea *>(w)) {
            scroll->ensureWidgetVisible(readings, 0, 120);
            break;
        }
    QTest::qWait(500);
}

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString state = argc > 1 ? QString::fromLatin1(argv[1]) : QStringLiteral("live");
    const int holdMs = argc > 2 ? atoi(argv[2]) : 8000;
    TMV_NET_Init();
    int code = 0;
    {
        MainWindow window;
        window.show();
        QTest::qWait(300);
        if (state == QLatin1String("live") || state == QLatin1String("rules")) {
            QTest::mouseClick(child<QPushButton>(&window, "ipSearchBtn"), Qt::LeftButton);
            auto *ips = child<QComboBox>(&window, "IPcomboBox");
            waitFor([&] { return ips->count() >= 3; }, 5000);
            ips->setCurrentIndex(ips->findText(QStringLiteral("127.0.0.11")));
            QTest::mouseClick(child<QPushButton>(&window, "loginBtn"), Qt::LeftButton);
            child<QTabWidget>(&window, "tabWidget")->setCurrentIndex(0);
            QTest::mouseClick(child<QPushButton>(&window, "previewBtn"), Qt::LeftButton);
            QTest::qWait(2500);
        }
        if (state == QLatin1String("rules"))
            drawRules(window);
        std::printf("READY\n");
        std::fflush(stdout);
        QTest::qWait(holdMs);
        window.close();
    }
    TMV_NET_Deinit();
    return code;
}
