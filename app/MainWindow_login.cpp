// Device search, login, logout, the live channel and device exceptions.
#include "app/MainWindow.h"
#include "ui_MainWindow.h"

#include <QDebug>
#include <QMessageBox>
#include <QMutex>
#include <QMutexLocker>
#include <QScopeGuard>
#include <QSet>

#include <cstring>
#include <utility>

#include "common/CopyField.h"
#include "common/DeviceCall.h"
#include "common/ExceptionTypes.h"
#include "common/MsgBox.h"
#include "config/ConfigPage.h"
#include "config/PeripheralPage.h"
#include "liveview/PreviewPage.h"
#include "playback/DownloadPage.h"
#include "ptz/PTZPage.h"
#include "thermal/AlarmPage.h"
#include "thermal/TempAlarmPage.h"

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
    const int status = DeviceCall::run(TMV_NET_SearchDev, &MainWindow::SearchCallback, this, 8000);
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

    // Zeroed so no stack bytes travel to the device between the fields.
    TMV_NET_LOGIN_INFO info;
    std::memset(&info, 0, sizeof info);
    // The fields have fixed room; a text that does not fit is refused rather
    // than cut, since a cut address or password would mean something else.
    if (!CopyField(info.ip, ip)) {
        QMessageBox::critical(this, tr("Error"),
                              tr("The IP address is too long (at most 15 characters)."));
        return;
    }
    if (!CopyField(info.userName, userName)) {
        QMessageBox::critical(this, tr("Error"),
                              tr("The user name is too long (at most 255 bytes)."));
        return;
    }
    if (!CopyField(info.password, password)) {
        QMessageBox::critical(this, tr("Error"),
                              tr("The password is too long (at most 255 bytes)."));
        return;
    }
    info.port = ui->portEdit->text().toInt();

    int status = DeviceCall::run(TMV_NET_Login, &info, &m_handle);
    if (status != 0) {
        // Whatever the library left there is no login.
        m_handle = nullptr;
        MsgBox::Instance()->ShowResult(tr("Login"), status);
        return;
    }

    const char *failedStep = nullptr;
    status = DeviceCall::run(TMV_NET_SetExceptionCallback, m_handle, &MainWindow::ExceptionCallback, this);
    if (status != 0) {
        failedStep = QT_TR_NOOP("SetExceptionCallback");
    } else {
        status = DeviceCall::run(TMV_NET_GetDevInfo, m_handle, &m_devInfo);
        if (status != 0)
            failedStep = QT_TR_NOOP("GetDevInfo");
    }
    if (failedStep) {
        // The device holds the session open until told otherwise, and every
        // session counts against its limit.
        DeviceCall::run(TMV_NET_Logout, m_handle);
        m_handle = nullptr;
        MsgBox::Instance()->ShowResult(tr(failedStep), status);
        return;
    }

    m_address = QString::fromLocal8Bit(ip);
    ui->onlineChannel0RadioBtn->setChecked(true);
    ui->playbackChannel0RadioBtn->setChecked(true);
    OnChannelButtonClicked();

    SetLoginBarEnabled(false);

    RefreshAbility();

    emit ChangeHandle(m_handle);
}

void MainWindow::Logout()
{
    // The logout's calls wait with the loop turning, like any other: a slow
    // link must not freeze the window. Meanwhile user input waits, polls skip
    // their ticks and a close is put off; the disabled button takes no
    // second click.
    ui->loginBtn->setEnabled(false);
    const auto endedOrNot = qScopeGuard([this] { ui->loginBtn->setEnabled(true); });

    if (m_previewPage->IsPreviewOpen())
        m_previewPage->ClosePreview();

    // A last look at the downloads while the login can still answer: one
    // that finished since the last poll is then shown finished.
    m_downloadPage->OnTimedout();
    if (!StopDownloads())
        return;

    m_tempAlarmPage->GetAlarmPage()->close();
    m_downloadPage->close();

    ClearPlayback();
    m_tempAlarmPage->ClearPage();
    m_configPage->ClearPage();
    m_ptzPage->ClearPage();

    // Every page lets go of the login before the library ends it, so a slot
    // that runs while the logout waits finds no login rather than one half
    // ended: recordings and trends stop here, on a login that still answers.
    const TMV_NET_HANDLE handle = std::exchange(m_handle, nullptr);
    m_address.clear();
    // The logout ends the login's stream even when the stop above failed,
    // so the page must not go on believing a preview is open.
    m_previewPage->ClearPage();
    SetLoginBarEnabled(true);
    emit ChangeHandle(nullptr);

    DeviceCall::run(TMV_NET_Logout, handle);
}

void MainWindow::SetLoginBarEnabled(bool enabled)
{
    ui->loginBtn->setText(enabled ? tr("Login") : tr("Logout"));
    ui->ipSearchBtn->setEnabled(enabled);
    ui->IPcomboBox->setEnabled(enabled);
    ui->portEdit->setEnabled(enabled);
    ui->userEdit->setEnabled(enabled);
    ui->passwordEdit->setEnabled(enabled);
    ui->tabWidget_2->setEnabled(!enabled);
}

void MainWindow::OnChannelButtonClicked()
{
    if (m_previewPage->IsPreviewOpen())
        m_previewPage->ClosePreview();
    const int previous = m_channel;
    m_channel = ui->onlineChannel1RadioBtn->isChecked() ? 1 : 0;
    m_playbackChannel = ui->playbackChannel1RadioBtn->isChecked() ? 1 : 0;
    RefreshChannelControls();
    RefreshAbility();
    if (m_channel != previous)
        emit ChannelChanged(m_channel);
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
        ui->drawWidget->setVisible(ui->tabWidget->currentWidget() == m_tempAlarmPage);
    } else {
        ui->drawWidget->hide();
        m_tempAlarmPage->DisableTempControls();
        m_peripheralPage->EnableDayNight(true);
    }
}

void MainWindow::RefreshAbility()
{
    const int status = DeviceCall::run(TMV_NET_GetDevAbility, m_handle, m_channel, 0, &m_devAbility);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("GetDevAbility"), status);

    std::memset(&m_auxState, 0, sizeof m_auxState);
    DeviceCall::run(TMV_NET_GetPtzAuxState, m_handle, &m_auxState);

    m_tempAlarmPage->UpdateAbility();
    m_ptzPage->UpdateAbility();
    m_ptzPage->UpdateAuxState();
}

void MainWindow::OnException(int type)
{
    QString suffix;
    switch (type) {
    case ExceptionType::DeviceOffline:
        suffix = tr(":dev offline.");
        break;
    case ExceptionType::PreviewOffline:
        suffix = tr(":Preview offline.");
        break;
    case ExceptionType::AlarmOffline:
        suffix = tr(":Alarm offline.");
        break;
    case ExceptionType::TempOffline:
        suffix = tr(":temp offline.");
        break;
    default:
        return;
    }
    QMessageBox::critical(this, tr("Exception"), QString::number(type) + suffix, QMessageBox::Ok);
}
