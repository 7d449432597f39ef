#ifndef PTZPAGE_H
#define PTZPAGE_H

#include <QWidget>

#include <memory>

#include "TMVNetSDK.h"

class MainWindow;

namespace Ui {
class PTZPage;
}

// The "PTZ" tab: head motion, lens, auxiliary switches, presets, tours,
// patterns, scans, positioning and tracking.
class PTZPage : public QWidget
{
    Q_OBJECT

public:
    explicit PTZPage(MainWindow *parent);
    ~PTZPage() override;

    // Follow the main window's ability record and auxiliary state.
    void UpdateAbility();
    void UpdateAuxState();
    void ClearPage();

signals:
    // Arm or disarm the matching tool on the video label.
    void Position3D(bool on);
    void PositionRegionFocus(bool on);
    void PositionManualTrack(bool on);

public slots:
    void OnChangeHandle(TMV_NET_HANDLE handle);

private:
    std::unique_ptr<Ui::PTZPage> ui;
    MainWindow *m_mainWindow;
    TMV_NET_HANDLE m_handle;
};

#endif // PTZPAGE_H
