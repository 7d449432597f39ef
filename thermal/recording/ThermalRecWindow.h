#ifndef THERMALRECWINDOW_H
#define THERMALRECWINDOW_H

#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

#include "TMVNetSDK.h"
#include "thermal/recfile/RecFile.h"

class MainWindow;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class RecRecorder;
class TempAlarmPage;
class ThermalReplayWindow;

// Records the logged-in device's temperature stream into a thermal
// recording (RecFile.h) and opens recordings for replay. The frames come
// from the temperature page's shared stream; a logout, a channel change
// and closing the window end the file.
//
// Threading model: user-interface thread only. The stream's frames go
// straight from the page's callback into the recorder's queue; what the
// window shows is polled from the recorder's counters.
class ThermalRecWindow : public QWidget
{
    Q_OBJECT

public:
    ThermalRecWindow(TempAlarmPage *page, MainWindow *mainWindow, QWidget *parent = nullptr);
    ~ThermalRecWindow() override;

    bool Recording() const;
    const RecRecorder *Recorder() const { return m_recorder.get(); }
    QString Folder() const;
    // The file of the current or last recording.
    QString FilePath() const { return m_path; }
    // Opens a recording in a replay window; null (and an "Error" box) when
    // it is not one.
    ThermalReplayWindow *OpenReplay(const QString &path);
    QList<ThermalReplayWindow *> ReplayWindows() const;
    // Testing: the room the next recording finds on its disk.
    void SetSpaceLimit(qint64 bytes) { m_spaceLimit = bytes; }

public slots:
    void OnChangeHandle(TMV_NET_HANDLE handle);
    void OnChannelChanged(int channel);

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void OnStartBtnClicked();
    void OnBrowseBtnClicked();
    void OnOpenBtnClicked();
    void OnTick();

private:
    void StartRecording();
    // Ends the file; `why` goes to the status line. A failed write or end
    // shows the "Error" box naming the file.
    void StopRecording(const QString &why);
    RecInfo DeviceInfo() const;
    void ShowCounters();

    QPointer<TempAlarmPage> m_page;
    QPointer<MainWindow> m_mainWindow;
    std::unique_ptr<RecRecorder> m_recorder;
    int m_sinkId = 0;
    QString m_path;
    QElapsedTimer m_elapsed;
    qint64 m_spaceLimit = -1;
    QList<QPointer<ThermalReplayWindow>> m_replays;

    QLineEdit *m_folderEdit;
    QPushButton *m_startBtn;
    QLabel *m_elapsedLabel;
    QLabel *m_framesLabel;
    QLabel *m_sizeLabel;
    QLabel *m_queueLabel;
    QLabel *m_fileLabel;
    QLabel *m_statusLabel;
    QTimer *m_timer;
};

#endif // THERMALRECWINDOW_H
