#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include <QList>
#include <QMainWindow>
#include <QMap>
#include <QPoint>
#include <QString>

#include "common/SdkMetaTypes.h"
#include "TMVNetSDK.h"

class QAbstractButton;
class QButtonGroup;
class QCloseEvent;
class ConfigPage;
class ControlPage;
class DownloadPage;
class Intelligent;
class PeripheralPage;
class PreviewPage;
class PTZPage;
class TempAlarmPage;
class VideoLabel;

namespace Ui {
class MainWindow;
}

// The one window of the client: login bar, live picture with its drawing bar,
// the tab pages and the playback tab. It owns the login handle and hands it to
// every page through ChangeHandle.
//
// Threading model: every slot runs on the user-interface thread. The search
// and exception callbacks run on library threads and only emit DevSearched or
// Exception, which the automatic connection queues to this thread.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    int Channel() const { return m_channel; }
    TMV_NET_HANDLE Handle() const { return m_handle; }
    VideoLabel *GetVideoLabel() const;
    const TMV_NET_DEV_ABILITY &Ability() const { return m_devAbility; }
    const TMV_NET_PTZ_AUX_STATE &AuxState() const { return m_auxState; }
    const TMV_NET_DEV_INFO &DevInfo() const { return m_devInfo; }
    // The address of the login; empty while logged out.
    const QString &Address() const { return m_address; }

    // One-point reading for the temperature page (MainWindow_drawing.cpp):
    // arms the label's point-temperature mode and locks the drawing buttons,
    // or disarms it and frees them.
    void StartPointMeasure();
    void StopPointMeasure();

public slots:
    // The on-video tools (MainWindow_drawing.cpp): the drawing bar, the
    // shapes the label emits, and the PTZ page's positioning toggles.
    void OnDrawPointBtnClicked();
    void OnDrawLineBtnClicked();
    void OnDrawAreaBtnClicked();
    void OnDrawCircleBtnClicked();
    void OnDrawPolygonBtnClicked();
    void OnShieldedAreaBtnClicked();
    void OnAddRule(int ruleType, QList<QPoint> points);
    void OnAddShielded(int ruleType, QList<QPoint> points);
    void OnGetOncePointTemp(QPoint point);
    void OnPosition3D(bool state);
    void OnPositionRegionFocus(bool state);
    void OnPositionManualTrack(bool state);
    void OnPostion(int ruleType, QList<QPoint> points);
    void OnRegionFocus(QList<QPoint> points);
    void OnManualTrack(QList<QPoint> points);

signals:
    void ChangeHandle(TMV_NET_HANDLE handle);
    // The live channel changed (a channel button, or a login's first one).
    void ChannelChanged(int channel);
    void Exception(int type);
    void SendDownload(QMap<int, TMV_NET_FILE_DOWNLOAD_INFO> downloads);
    void Shielded(int ruleType, QList<QPoint> points);
    void DevSearched(const QString &ip);

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void OnUpdateFrame();
    void OnPreviewOpen(bool open);
    void OnTabChanged(int index);
    void OnIPSearchButtonClicked();
    void OnDevSearched(const QString &ip);
    void OnLoginBtnClicked();
    void OnChannelButtonClicked();
    void OnException(int type);
    // The playback tab (MainWindow_playback.cpp).
    void OnFileTypeButtonClicked();
    void OnSDcardSearchButtonClicked();
    void OnBackButtonClicked();
    void OnNextButtonClicked();
    void OnSellectAllButtonClicked();
    void OnDownloadButtonClicked();
    void OnDownloadProgressButtonClicked();

private:
    void Login();
    void Logout();
    // The five login-bar widgets follow `enabled`, the Online/Playback tabs
    // the opposite, and the button reads "Login" or "Logout" to match.
    void SetLoginBarEnabled(bool enabled);
    // Playback part of a logout (MainWindow_playback.cpp). A failed stop
    // is reported and returns false: the login stays.
    bool StopDownloads();
    void ClearPlayback();
    // One page of the SD-card search, for the page number set.
    void SearchFiles();
    // Disables the page and selection buttons after a search found nothing.
    void DisableFileButtons();
    // Channel refresh: the channel radio buttons and the temperature controls,
    // then the abilities and the pages that follow them.
    void RefreshChannelControls();
    void RefreshAbility();
    // One drawing button clicked: arms `mode` and unchecks the others, or
    // disarms when the button was unchecked.
    void DrawButtonClicked(QAbstractButton *button, int mode);
    // A region record for region focus and manual tracking.
    TMV_NET_PTZ_REGION PtzRegion(const QList<QPoint> &points, int stop) const;

    // Callbacks reach only windows that are alive: the library may answer a
    // search after the window that asked for it is gone.
    static void RegisterForCallbacks(MainWindow *window);
    static void UnregisterForCallbacks(MainWindow *window);
    static void SearchCallback(const char *ip, void *user);
    static void ExceptionCallback(TMV_NET_HANDLE handle, int32_t type, void *user);

    TMV_NET_DEV_ABILITY m_devAbility;
    TMV_NET_PTZ_AUX_STATE m_auxState;
    Ui::MainWindow *ui;
    PeripheralPage *m_peripheralPage;
    PreviewPage *m_previewPage;
    TempAlarmPage *m_tempAlarmPage;
    ConfigPage *m_configPage;
    PTZPage *m_ptzPage;
    DownloadPage *m_downloadPage;
    ControlPage *m_controlPage;
    Intelligent *m_intelligent;
    TMV_NET_HANDLE m_handle;
    int m_channel;
    int m_playbackChannel;
    int m_fileType;
    int m_pageNumber;
    QMap<int, TMV_NET_FILE_INFO> m_fileMap;
    QMap<int, TMV_NET_FILE_DOWNLOAD_INFO> m_downloadMap;
    TMV_NET_DEV_INFO m_devInfo;
    QString m_address;
    QButtonGroup *m_drawGroup;
};

#endif // MAINWINDOW_H
