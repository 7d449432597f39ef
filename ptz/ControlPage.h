#ifndef CONTROLPAGE_H
#define CONTROLPAGE_H

#include <QWidget>

#include <memory>

#include "TMVNetSDK.h"

class MainWindow;

namespace Ui {
class ControlPage;
}

// The "Swivel" tab: the electronic PTZ (a digital window moved and zoomed
// with press-and-release buttons) and the linkage with a partner camera.
// Every slot runs in the user-interface thread and calls the library
// synchronously.
class ControlPage : public QWidget
{
    Q_OBJECT

public:
    explicit ControlPage(MainWindow *parent);
    ~ControlPage() override;

public slots:
    void OnChangeHandle(TMV_NET_HANDLE handle);

private slots:
    void OnEptzUpBtn();
    void OnEptzUpLeftBtn();
    void OnEptzUpRightBtn();
    void OnEptzLeftBtn();
    void OnEptzRightBtn();
    void OnEptzDownLeftBtn();
    void OnEptzDownBtn();
    void OnEptzDownRightBtn();
    void OnBtnReleased();
    void OnEptzZoomInBtn();
    void OnEptzZoomOutBtn();
    void OnZoomBtnReleased();
    void OnGunBallGetBtn();
    void OnGunBallSetBtn();

private:
    // One press: the command starts at the speed of the list.
    void EptzPress(int command);
    // One release: the command (0 for every direction, 8 for both zooms)
    // stops; the speed is not filled.
    void EptzStop(int command);

    std::unique_ptr<Ui::ControlPage> ui;
    MainWindow *m_mainWindow;
    TMV_NET_HANDLE m_handle;
};

#endif // CONTROLPAGE_H
