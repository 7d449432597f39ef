#ifndef PERIPHERALPAGE_H
#define PERIPHERALPAGE_H

#include <QWidget>

#include <memory>

#include "TMVNetSDK.h"

class MainWindow;

namespace Ui {
class PeripheralPage;
}

// The "Peripherel" tab: wiper, fill light, day/night switching and logo
// pictures.
class PeripheralPage : public QWidget
{
    Q_OBJECT

public:
    explicit PeripheralPage(MainWindow *parent);
    ~PeripheralPage() override;

    // Day/night switching belongs to the visible channel only.
    void EnableDayNight(bool enable);

public slots:
    void OnChangeHandle(TMV_NET_HANDLE handle);

private:
    std::unique_ptr<Ui::PeripheralPage> ui;
    MainWindow *m_mainWindow;
    TMV_NET_HANDLE m_handle;
};

#endif // PERIPHERALPAGE_H
