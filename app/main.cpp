#include "app/MainWindow.h"

#include <QApplication>
#include <QIcon>

#include "TMVNetSDK.h"

int main(int argc, char *argv[])
{
    QApplication *app = new QApplication(argc, argv);
    // The installed menu entry's name: a desktop matches the window to it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.sdkdemo.SDKDemo"));
    QIcon icon;
    icon.addFile(QStringLiteral(":/res/app/org.sdkdemo.SDKDemo-48.png"));
    icon.addFile(QStringLiteral(":/res/app/org.sdkdemo.SDKDemo-128.png"));
    QApplication::setWindowIcon(icon);
    TMV_NET_Init();

    MainWindow *window = new MainWindow;
    window->show();
    const int exitCode = app->exec();

    // The window logs out in its destructor, so it must go before the library.
    delete window;
    TMV_NET_Deinit();
    delete app;
    return exitCode;
}
