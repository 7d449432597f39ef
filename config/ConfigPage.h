#ifndef CONFIGPAGE_H
#define CONFIGPAGE_H

#include <QWidget>

#include <memory>

#include "TMVNetSDK.h"

class MainWindow;

namespace Ui {
class ConfigPage;
}

// The "Config" tab: imaging and thermal settings, OSD, network, serial
// channel and maintenance of the logged-in device.
class ConfigPage : public QWidget
{
    Q_OBJECT

public:
    explicit ConfigPage(MainWindow *parent);
    ~ConfigPage() override;

    void ClearPage();

public slots:
    void OnChangeHandle(TMV_NET_HANDLE handle);

private:
    std::unique_ptr<Ui::ConfigPage> ui;
    MainWindow *m_mainWindow;
    TMV_NET_HANDLE m_handle;
};

#endif // CONFIGPAGE_H
