// Device search, login, logout, the live channel and device exceptions.
#include "MainWindow.h"
#include "ui_MainWindow.h"

#include <QDebug>
#include <QMessageBox>
#include <QMutex>
#include <QMutexLocker>
#include <QSet>

#include <cstring>

#include "AlarmPage.h"
#include "ConfigPage.h"
#include "DownloadPage.h"
#include "MsgBox.h"
#include "PeripheralPage.h"
#include "PreviewPage.h"
#include "PTZPage.h"
#include "TempAlarmPage.h"

namespace {

// Protects liveWindows(); held while a callback emits, so a window cannot be
// destroyed in the middle of an emit from a library thread.
QMutex &callbackMutex()
{
    static QMutex mutex;
    return mutex;
}

QSet<const void *> &liveWindows()
{
    static QSet<const void *> windows;
    return windows;
}

// Copies a text into a fixed record field; the caller has checked that it fits.
template <size_t N>
void CopyField(char (&field)[N], const QByteArray &text)
{
    qstrncpy(field, text.constData(), N);
}

} // namespace

void MainWindow::RegisterForCallbacks(MainWindow *window)
{
    QMutexLocker lock(&callbackMutex());
    liveWindows().insert(window);
}

void MainWindow::UnregisterForCallbacks(MainWindow *window)
{
    QMutexLocker lock(&callbackMutex());
    liveWindows().remove(window);
}

void MainWindow::SearchCallback(const char *ip, void *user)
{
    if (!ip)
        return;
    QMutexLocker lock(&callbackMutex());
    if (!liveWindows().contains(user))
        return;
    emit static_cast<MainWindow *>(user)->DevSearched(QString::fromLocal8Bit(ip));
}

void MainWindow::ExceptionCallback(TMV_NET_HANDLE, int32_t type, void *user)
{
    qDebug() << "exception" << type;
    QMutexLocker lock(&callbackMutex());
    if (!liveWindows().contains(user))
        return;
    emit static_cast<MainWindow *>(user)->Exception(type);
}

void MainWindow::OnIPSearchButtonClicked()
{
    ui->IPcomboBox->clear();
    const int status = TMV_NET_SearchDev(&MainWindow::SearchCallback, this, 8000);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("SearchDev"), status);
}

void MainWindow::OnDevSearched(const QString &ip)
{
    ui->IPcomboBox->addItem(ip);
}

void MainWindow::OnLoginBtnClicked()
{
    if (ui->loginBtn->text() == tr("Login"))
        Login();
    else
        Logout();
}

void MainWindow::Login()
{
    const QByteArray ip = ui->IPcomboBox->currentText().toLocal8Bit();
    const QByteArray userName = ui->userEdit->text().toLocal8Bit();
    const QByteArray password = ui->passwordEdit->text().toLocal8Bit();

    TMV_NET_LOGIN_INFO info;
    // The fields have fixed room; a text that does not fit is refused rather
    // than cut, since a cut address or password would mean something else.
    if (ip.size() >= int(sizeof info.ip)) {
        QMessageBox::critical(this, tr("Error"),
                              tr("The IP address is too long (at most 15 characters)."));
        return;
    }
    if (userName.size() >= int(sizeof info.userName)) {
        QMessageBox::critical(this, tr("Error"),
                              tr("The user name is too long (at most 255 bytes)."));
        return;
    }
    if (password.size() >= int(sizeof info.password)) {
        QMessageBox::critical(this, tr("Error"),
                              tr("The password is too long (at most 255 bytes)."));
        return;
    }

    // Zeroed so no stack bytes travel to the device after the texts.
    std::memset(&info, 0, sizeof info);
    CopyField(info.ip, ip);
    info.port = ui->portEdit->text().toInt();
    CopyField(info.userName, userName);
    CopyField(info.password, password);

    int status = TMV_NET_Login(&info, &m_handle);
    if (status != 0) {
        // Whatever the library left there is no login.
        m_handle = nullptr;
        MsgBox::Instance()->ShowResult(tr("Login"), status);
        return;
    }

    const char *failedStep = nullptr;
    status = TMV_NET_SetExceptionCallback(m_handle, &MainWindow::ExceptionCallback, this);
    if (status != 0) {
        failedStep = QT_TR_NOOP("SetExceptionCallback");
    } else {
        status = TMV_NET_GetDevInfo(m_handle, &m_devInfo);
        if (status != 0)
            failedStep = QT_TR_NOOP("GetDevInfo");
    }
    if (failedStep) {
        // The device holds the session open until told otherwise, and every
        // session counts against its limit.
        TMV_NET_Logout(m_handle);
        m_handle = nullptr;
        MsgBox::Instance()->ShowResult(tr(failedStep), status);
        return;
    }

    ui->onlineChannel0RadioBtn->setChecked(true);
    ui->playbackChannel0RadioBtn->setChecked(true);
    OnChannelButtonClicked();

    ui->loginBtn->setText(tr("Logout"));
    ui->ipSearchBtn->setEnabled(false);
    ui->IPcomboBox->setEnabled(false);
    ui->portEdit->setEnabled(false);
    ui->userEdit->setEnabled(false);
    ui->passwordEdit->setEnabled(false);
    ui->tabWidget_2->setEnabled(true);

    RefreshAbility();

    emit ChangeHandle(m_handle);
}

void MainWindow::Logout()
{
    if (m_previewPage->IsPreviewOpen())
        m_previewPage->ClosePreview();

    // A stopped download leaves the list at once, so a logout retried after
    // a failed stop does not trip over the downloads already stopped.
    while (!m_downloadMap.isEmpty()) {
        const int id = m_downloadMap.firstKey();
        const int status = TMV_NET_StopDownloadFile(m_handle, id);
        if (status != 0) {
            MsgBox::Instance()->ShowResult(tr("StopDownloadFile"), status);
            return;
        }
        m_downloadMap.remove(id);
    }

    m_tempAlarmPage->GetAlarmPage()->close();
    m_downloadPage->close();

    ui->tableWidget->clear();
    ui->tableWidget->setRowCount(0);
    m_fileMap.clear();
    m_downloadMap.clear();
    m_tempAlarmPage->ClearPage();
    m_configPage->ClearPage();
    m_ptzPage->ClearPage();

    TMV_NET_Logout(m_handle);
    m_handle = nullptr;

    ui->loginBtn->setText(tr("Login"));
    ui->ipSearchBtn->setEnabled(true);
    ui->IPcomboBox->setEnabled(true);
    ui->portEdit->setEnabled(true);
    ui->userEdit->setEnabled(true);
    ui->passwordEdit->setEnabled(true);
    ui->tabWidget_2->setEnabled(false);

    emit ChangeHandle(nullptr);
}

void MainWindow::OnChannelButtonClicked()
{
    if (m_previewPage->IsPreviewOpen())
        m_previewPage->ClosePreview();
    m_channel = ui->onlineChannel1RadioBtn->isChecked() ? 1 : 0;
    m_playbackChannel = ui->playbackChannel1RadioBtn->isChecked() ? 1 : 0;
    RefreshChannelControls();
    RefreshAbility();
}

void MainWindow::RefreshChannelControls()
{
    const bool secondChannel = m_devInfo.channelCount != 1;
    ui->onlineChannel1RadioBtn->setEnabled(secondChannel);
    ui->playbackChannel1RadioBtn->setEnabled(secondChannel);

    if (m_channel == m_devInfo.thermalChannel) {
        m_tempAlarmPage->EnableTempControls();
        m_peripheralPage->EnableDayNight(false);
        // Shapes are drawn for the temperature page only.
        ui->drawWidget->setVisible(ui->tabWidget->currentIndex() == 1);
    } else {
        ui->drawWidget->hide();
        m_tempAlarmPage->DisableTempControls();
        m_peripheralPage->EnableDayNight(true);
    }
}

void MainWindow::RefreshAbility()
{
    const int status = TMV_NET_GetDevAbility(m_handle, m_channel, 0, &m_devAbility);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("GetDevAbility"), status);

    std::memset(&m_auxState, 0, sizeof m_auxState);
    TMV_NET_GetPtzAuxState(m_handle, &m_auxState);

    m_tempAlarmPage->UpdateAbility();
    m_ptzPage->UpdateAbility();
    m_ptzPage->UpdateAuxState();
}

void MainWindow::OnException(int type)
{
    QString suffix;
    switch (type) {
    case 1001:
        suffix = tr(":dev offline.");
        break;
    case 1002:
        suffix = tr(":Preview offline.");
        break;
    case 1003:
        suffix = tr(":Alarm offline.");
        break;
    case 1004:
        suffix = tr(":temp offline.");
        break;
    default:
        return;
    }
    QMessageBox::critical(this, tr("Exception"), QString::number(type) + suffix, QMessageBox::Ok);
}
