#ifndef PREVIEWPAGE_H
#define PREVIEWPAGE_H

#include <QImage>
#include <QMutex>
#include <QWidget>

#include <memory>

#include "TMVNetSDK.h"
#include "liveview/LiveView.h"

class MainWindow;

namespace Ui {
class PreviewPage;
}

// The "Preview" tab: opens and closes the live video of the current channel,
// keeps the newest frame for the main window, takes snapshots and records.
//
// Threading model: FrameCallback runs on the library's stream thread. It only
// makes the picture the video label shows (one copy: cut, scaled to the
// label and converted for painting, by the LiveView it shares with the
// label), stores it under m_mutex and emits UpdateFrame(), which the
// automatic connection queues to the user-interface thread. Everything else
// runs in the user-interface thread. The stream is stopped before the page
// goes away, so no callback reaches a destroyed page.
class PreviewPage : public QWidget
{
    Q_OBJECT

public:
    explicit PreviewPage(MainWindow *parent);
    ~PreviewPage() override;

    // The newest frame as the label shows it (scaled to the label, RGB32),
    // shared: no pixels are copied.
    QImage CurrentFrame();
    LivePicture CurrentPicture();
    bool IsPreviewOpen() const;
    bool IsRecording() const;
    // Runs the close path of the preview button when the preview is open.
    void ClosePreview();
    // The login ended, and every stream of it with it: back to closed and
    // idle, whatever a stop answered before.
    void ClearPage();

    static void FrameCallback(TMV_NET_HANDLE handle, int32_t channel, TMV_NET_PREVIEW_FRAME *frame,
                              void *user);

signals:
    void UpdateFrame();
    void PreviewOpen(bool open);

public slots:
    void OnChangeHandle(TMV_NET_HANDLE handle);

private slots:
    void OnPreviewBtnClicked();
    void OnSnapNormalBtnClicked();
    void OnSnapIrgBtnClicked();
    void OnSnapDlt664BtnClicked();
    void OnRecordBtnClicked();

private:
    void OpenPreview();
    bool CheckPreviewOpen();
    void StoreFrame(const TMV_NET_PREVIEW_FRAME &frame);

    std::unique_ptr<Ui::PreviewPage> ui;
    MainWindow *m_mainWindow;
    TMV_NET_HANDLE m_handle;
    const std::shared_ptr<LiveView> m_view;  // the video label's
    LivePicture m_picture;  // of the newest frame
    QMutex m_mutex;  // Protects m_picture
};

#endif // PREVIEWPAGE_H
