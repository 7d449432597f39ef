#include "app/MainWindow.h"

#include <QApplication>

#include "TMVNetSDK.h"

int main(int argc, char *argv[])
{
    QApplication *app = new QApplication(argc, argv);
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
