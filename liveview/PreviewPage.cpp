#include "liveview/PreviewPage.h"
#include "ui_PreviewPage.h"

#include "app/MainWindow.h"
#include "common/DeviceCall.h"
#include "common/MsgBox.h"
#include "liveview/VideoLabel.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QMutexLocker>

#include <climits>

namespace {

void ReportResult(const QString &operation, int status)
{
    static_cast<MsgBox *>(MsgBox::Instance())->ShowResult(operation, status);
}

// Without a main window (and its label) frames are kept at their own size.
std::shared_ptr<LiveView> LabelView(MainWindow *window)
{
    if (window && window->GetVideoLabel())
        return window->GetVideoLabel()->View();
    return std::make_shared<LiveView>();
}

} // namespace

PreviewPage::PreviewPage(MainWindow *parent)
    : QWidget(parent)
    , ui(new Ui::PreviewPage)
    , m_mainWindow(parent)
    , m_handle(nullptr)
    , m_view(LabelView(parent))
{
    ui->setupUi(this);

    connect(ui->previewBtn, SIGNAL(clicked()), this, SLOT(OnPreviewBtnClicked()));
    connect(ui->snapNormalBtn, SIGNAL(clicked()), this, SLOT(OnSnapNormalBtnClicked()));
    connect(ui->snapIrgBtn, SIGNAL(clicked()), this, SLOT(OnSnapIrgBtnClicked()));
    connect(ui->snapDlt664Btn, SIGNAL(clicked()), this, SLOT(OnSnapDlt664BtnClicked()));
    connect(ui->recordBtn, SIGNAL(clicked()), this, SLOT(OnRecordBtnClicked()));
    if (m_mainWindow)
        connect(m_mainWindow, SIGNAL(ChangeHandle(TMV_NET_HANDLE)), this, SLOT(OnChangeHandle(TMV_NET_HANDLE)));
}

PreviewPage::~PreviewPage()
{
    DeviceCall::Direct direct;
    // The library must not call back into a page that is gone.
    if (IsRecording())
        DeviceCall::run(TMV_NET_StopPreviewRecord, m_handle);
    if (IsPreviewOpen())
        DeviceCall::run(TMV_NET_StopPreview, m_handle);
}

QImage PreviewPage::CurrentFrame()
{
    return CurrentPicture().image;
}

LivePicture PreviewPage::CurrentPicture()
{
    QMutexLocker locker(&m_mutex);
    return m_picture;
}

bool PreviewPage::IsPreviewOpen() const
{
    return ui->previewBtn->text() == tr("Close");
}

bool PreviewPage::IsRecording() const
{
    return ui->recordBtn->text() == tr("Stop");
}

void PreviewPage::OnChangeHandle(TMV_NET_HANDLE handle)
{
    m_handle = handle;
}

void PreviewPage::ClosePreview()
{
    if (IsPreviewOpen())
        OnPreviewBtnClicked();
}

void PreviewPage::ClearPage()
{
    m_handle = nullptr;
    ui->recordBtn->setText(tr("Start"));
    if (IsPreviewOpen()) {
        ui->previewBtn->setText(tr("Open"));
        emit PreviewOpen(false);
    }
}

void PreviewPage::OnPreviewBtnClicked()
{
    if (ui->previewBtn->text() == tr("Open")) {
        OpenPreview();
        return;
    }

    const int status = DeviceCall::run(TMV_NET_StopPreview, m_handle);
    if (status != 0) {
        ReportResult(tr("StopPreview"), status);
        return;
    }
    ui->previewBtn->setText(tr("Open"));
    emit PreviewOpen(false);
    if (IsRecording()) {
        DeviceCall::run(TMV_NET_StopPreviewRecord, m_handle);
        ui->recordBtn->setText(tr("Start"));
    }
}

void PreviewPage::OpenPreview()
{
    if (m_mainWindow && m_mainWindow->GetVideoLabel())
        m_mainWindow->GetVideoLabel()->Reset();

    // A frame of the previous stream (another channel, perhaps) may still be
    // announced by a queued UpdateFrame; with the store emptied here it can
    // only ever show a frame of the stream started below.
    {
        QMutexLocker locker(&m_mutex);
        m_picture = LivePicture();
    }

    TMV_NET_PREVIEW_INFO info;
    info.channel = m_mainWindow ? m_mainWindow->Channel() : 0;
    info.streamType = 0;
    info.linkMode = 2;
    const int status = DeviceCall::run(TMV_NET_StartPreview_V2, m_handle, &info, &PreviewPage::FrameCallback, this);
    if (status != 0) {
        ReportResult(tr("StartPreview"), status);
        return;
    }
    ui->previewBtn->setText(tr("Close"));
    emit PreviewOpen(true);
}

bool PreviewPage::CheckPreviewOpen()
{
    if (ui->previewBtn->text() == tr("Open")) {
        QMessageBox::critical(this, tr("Info"), tr("Please open preview first."), QMessageBox::Ok);
        return false;
    }
    return true;
}

void PreviewPage::OnSnapNormalBtnClicked()
{
    if (!CheckPreviewOpen())
        return;
    const QString name = QFileDialog::getSaveFileName(this, tr("Snapshot"), QString(), tr("*.jpg"));
    if (name.isEmpty())
        return;
    const int status = DeviceCall::run(TMV_NET_PreviewSnapshot, m_handle, name.toUtf8().constData());
    if (status != 0)
        ReportResult(tr("PreviewSnapshot"), status);
}

void PreviewPage::OnSnapIrgBtnClicked()
{
    const QString name = QFileDialog::getSaveFileName(this, tr("Snapshot"), QString(), QString());
    if (name.isEmpty())
        return;
    const QByteArray irgPath = (name + QStringLiteral(".irg")).toUtf8();
    const QByteArray jpgPath = (name + QStringLiteral(".jpg")).toUtf8();
    const int status = DeviceCall::run(TMV_NET_GetIRGImage, m_handle, irgPath.constData(), jpgPath.constData());
    if (status != 0)
        ReportResult(tr("GetIRGImage"), status);
}

void PreviewPage::OnSnapDlt664BtnClicked()
{
    const QString name = QFileDialog::getSaveFileName(this, tr("Snapshot"), QString(), tr("*.jpg"));
    if (name.isEmpty())
        return;
    const int status = DeviceCall::run(TMV_NET_GetDLT664Image, m_handle, name.toUtf8().constData());
    if (status != 0)
        ReportResult(tr("GetDLT664Image"), status);
}

void PreviewPage::OnRecordBtnClicked()
{
    if (!CheckPreviewOpen())
        return;

    if (ui->recordBtn->text() == tr("Start")) {
        const QString name = QFileDialog::getSaveFileName(this, tr("Record"), QString(), tr("*.mp4;;*.pav"));
        if (name.isEmpty())
            return;
        const int status = DeviceCall::run(TMV_NET_StartPreviewRecord, m_handle, name.toLocal8Bit().constData());
        if (status != 0) {
            ReportResult(tr("StartPreviewRecord"), status);
            return;
        }
        ui->recordBtn->setText(tr("Stop"));
        return;
    }

    const int status = DeviceCall::run(TMV_NET_StopPreviewRecord, m_handle);
    if (status != 0) {
        ReportResult(tr("StopPreviewRecord"), status);
        return;
    }
    ui->recordBtn->setText(tr("Start"));
}

void PreviewPage::FrameCallback(TMV_NET_HANDLE, int32_t, TMV_NET_PREVIEW_FRAME *frame, void *user)
{
    PreviewPage *page = static_cast<PreviewPage *>(user);
    if (!page || !frame)
        return;
    page->StoreFrame(*frame);
}

void PreviewPage::StoreFrame(const TMV_NET_PREVIEW_FRAME &frame)
{
    // A broken frame is dropped rather than read past its buffer.
    if (!frame.data || frame.width <= 0 || frame.height <= 0 || frame.width > INT_MAX / 4)
        return;

    // Only the part at (0, 0) of the show size is kept; a show size larger
    // than the frame is cut to the frame.
    int width = frame.width;
    int height = frame.height;
    if (frame.showWidth > 0 && frame.showHeight > 0) {
        width = qMin(width, frame.showWidth);
        height = qMin(height, frame.showHeight);
    }

    // The one copy of the frame, made outside the lock: the label's part of
    // it at the label's size, in the format it paints 1:1.
    LivePicture picture = m_view->Picture(static_cast<const uchar *>(frame.data), frame.width * 4,
                                          QSize(width, height));
    if (picture.image.isNull())
        return;
    {
        QMutexLocker locker(&m_mutex);
        std::swap(m_picture, picture);
    }
    // The previous picture is released outside the lock.
    picture = LivePicture();
    emit UpdateFrame();
}
