// The temperature stream (from both tabs), the raw stream and the
// save-one-frame requests.
#include "thermal/TempAlarmPage.h"
#include "ui_TempAlarmPage.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QMutexLocker>

#include "common/DeviceCall.h"
#include "common/MsgBox.h"
#include "thermal/DataFrameFile.h"

void TempAlarmPage::ConnectStreamControls()
{
    connect(ui->openTempStreamBtn, SIGNAL(clicked()), this, SLOT(OnOpenTempStreamBtnClicked()));
    connect(ui->openAtrTempStreamBtn, SIGNAL(clicked()), this, SLOT(OnOpenAtrTempStreamBtnClicked()));
    connect(ui->openRawStreamBtn, SIGNAL(clicked()), this, SLOT(OnOpenRawStreamBtnClicked()));
    connect(ui->saveOneFrameBtn, SIGNAL(clicked()), this, SLOT(OnSaveOneFrameBtnClicked()));
    connect(ui->saveAtrOneFrameBtn, SIGNAL(clicked()), this, SLOT(OnSaveOneFrameBtnClicked()));
    connect(ui->saveRawOneFrameBtn, SIGNAL(clicked()), this, SLOT(OnSaveRawOneFrameBtnClicked()));
    connect(this, SIGNAL(FrameFileFailed(QString)), this, SLOT(OnFrameFileFailed(QString)));
}

void TempAlarmPage::OnOpenTempStreamBtnClicked()
{
    ToggleTempStream(ui->openTempStreamBtn, ui->saveOneFrameBtn, true);
}

void TempAlarmPage::OnOpenAtrTempStreamBtnClicked()
{
    ToggleTempStream(ui->openAtrTempStreamBtn, ui->saveAtrOneFrameBtn, false);
}

void TempAlarmPage::ToggleTempStream(QPushButton *openButton, QPushButton *saveButton, bool sendCorrection)
{
    if (openButton->text() == tr("Open")) {
        if (sendCorrection)
            DeviceCall::run(TMV_NET_SetPullTempExecParam, m_handle, ui->correctionEnableBox->isChecked() ? 1 : 0);
        // A recording may hold the stream already: its frames reach the
        // page's callback as they are.
        if (!HasTempSinks()) {
            const int status = DeviceCall::run(TMV_NET_StartPullTemp_V2, m_handle, &TempAlarmPage::TempStreamCallback, this);
            if (status != 0) {
                MsgBox::Instance()->ShowResult(tr("Open temp stream"), status);
                return;
            }
            m_tempRegistered = true;
        }
        m_tempStreamStarted = true;
        saveButton->setEnabled(true);
        openButton->setText(tr("Close"));
    } else {
        // A recording keeps the stream it shares.
        if (!HasTempSinks()) {
            DeviceCall::run(TMV_NET_StopPullTemp, m_handle);
            m_tempRegistered = false;
        }
        m_tempStreamStarted = false;
        saveButton->setEnabled(false);
        openButton->setText(tr("Open"));
    }
}

void TempAlarmPage::OnOpenRawStreamBtnClicked()
{
    if (ui->openRawStreamBtn->text() == tr("Open")) {
        const int status = DeviceCall::run(TMV_NET_StartPullNucData, m_handle, &TempAlarmPage::RawStreamCallback, this);
        if (status != 0) {
            MsgBox::Instance()->ShowResult(tr("Open raw stream"), status);
            return;
        }
        m_rawStreamStarted = true;
        ui->saveRawOneFrameBtn->setEnabled(true);
        ui->openRawStreamBtn->setText(tr("Close"));
    } else {
        DeviceCall::run(TMV_NET_StopPullNucData, m_handle);
        m_rawStreamStarted = false;
        ui->saveRawOneFrameBtn->setEnabled(false);
        ui->openRawStreamBtn->setText(tr("Open"));
    }
}

void TempAlarmPage::OnSaveOneFrameBtnClicked()
{
    RequestFrameSave(m_tempSave);
}

void TempAlarmPage::OnSaveRawOneFrameBtnClicked()
{
    RequestFrameSave(m_rawSave);
}

void TempAlarmPage::RequestFrameSave(FrameSaveRequest &request)
{
    const QString name = QFileDialog::getSaveFileName(this, tr("Save File"), QDir::currentPath() + QLatin1Char('/'),
                                                      tr("Data file(*.dat);;Text File(*.txt)"));
    if (name.isEmpty())
        return;
    QMutexLocker locker(&request.mutex);
    request.fileName = name;
    request.pending = true;
}

void TempAlarmPage::TempStreamCallback(TMV_NET_HANDLE, const TMV_NET_TEMP_FRAME *frame, int32_t, void *user)
{
    auto *page = static_cast<TempAlarmPage *>(user);
    if (page && frame) {
        page->ServeSaveRequest(page->m_tempSave, frame->data, frame->width, frame->height);
        page->FanOut(frame->data, frame->width, frame->height);
    }
}

void TempAlarmPage::RawStreamCallback(TMV_NET_HANDLE, const uint16_t *data, int32_t width, int32_t height,
                                      void *user)
{
    auto *page = static_cast<TempAlarmPage *>(user);
    if (page)
        page->ServeSaveRequest(page->m_rawSave, data, width, height);
}

void TempAlarmPage::ServeSaveRequest(FrameSaveRequest &request, const uint16_t *data, int width, int height)
{
    // A broken frame serves no request: the next good one will.
    const int64_t values = int64_t(width) * height;
    if (width < 0 || height < 0 || values > DataFrameFile::kMaxValues || (values > 0 && !data))
        return;

    QString failed;
    {
        // Held while writing, so a new request waits for a complete file.
        QMutexLocker locker(&request.mutex);
        if (!request.pending)
            return;
        request.pending = false;
        if (!DataFrameFile::Write(request.fileName, data, width, height))
            failed = request.fileName;
    }
    if (!failed.isEmpty())
        emit FrameFileFailed(failed);
}

void TempAlarmPage::OnFrameFileFailed(QString fileName)
{
    QMessageBox::critical(this, tr("Error"),
                          tr("Cannot write the frame to %1").arg(QDir::toNativeSeparators(fileName)));
}
