#ifndef PERIPHERALPAGE_H
#define PERIPHERALPAGE_H

#include <QWidget>

#include <memory>

#include "TMVNetSDK.h"

class MainWindow;

namespace Ui {
class PeripheralPageClass;
}

// The "Peripherel" tab: wiper, fill light, day/night switching and logo
// pictures. Its controls keep their contents across logout and login.
class PeripheralPage : public QWidget
{
    Q_OBJECT

public:
    explicit PeripheralPage(MainWindow *parent);
    ~PeripheralPage() override;

    // Day/night switching belongs to the visible channel only; the main
    // window decides, the page never changes it itself.
    void EnableDayNight(bool enable);

public slots:
    void OnChangeHandle(TMV_NET_HANDLE handle);

private slots:
    void OnGetWiperBtn();
    void OnSetWiperBtn();
    void OnGetFillLightBtn();
    void OnSetFillLightBtn();
    void OnComboxIndexChanged(int index);
    void OnGetDayNightParamBtn();
    void OnSetDayNightParamBtn();
    void OnGetLogoPictureBtn();
    void OnSetLogoPictureBtn();

private:
    std::unique_ptr<Ui::PeripheralPageClass> ui;
    MainWindow *m_mainWindow;
    TMV_NET_HANDLE m_handle;
    // The fill-light record of the last get on this login: a set sends it
    // back with the mode replaced, so the settings the page does not show
    // are not reset on the device. Zeros until a get succeeds.
    TMV_NET_FILL_LIGHT_CONFIG_INFO m_fillLight;
};

#endif // PERIPHERALPAGE_H
