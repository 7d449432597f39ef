// Drives the real main window into a state worth a picture (search, login,
// live preview) and then holds still, so scripts/screenshot.sh can take the
// screen with ImageMagick. Prints "READY" when the picture is live.

#include "MainWindow.h"
#include "TMVNetSDK.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
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
        if (state == QLatin1String("live")) {
            QTest::mouseClick(child<QPushButton>(&window, "ipSearchBtn"), Qt::LeftButton);
            auto *ips = child<QComboBox>(&window, "IPcomboBox");
            waitFor([&] { return ips->count() >= 3; }, 5000);
            ips->setCurrentIndex(ips->findText(QStringLiteral("127.0.0.11")));
            QTest::mouseClick(child<QPushButton>(&window, "loginBtn"), Qt::LeftButton);
            child<QTabWidget>(&window, "tabWidget")->setCurrentIndex(0);
            QTest::mouseClick(child<QPushButton>(&window, "previewBtn"), Qt::LeftButton);
            QTest::qWait(2500);
        }
        std::printf("READY\n");
        std::fflush(stdout);
        QTest::qWait(holdMs);
        window.close();
    }
    TMV_NET_Deinit();
    return code;
}
