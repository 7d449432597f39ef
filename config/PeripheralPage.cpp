#include "config/PeripheralPage.h"
#include "ui_PeripheralPage.h"

#include <QFileDialog>

#include <cstring>

#include "app/MainWindow.h"
#include "common/DeviceCall.h"
#include "common/MsgBox.h"
#include "config/PeripheralText.h"

namespace {

const char kTimeFormat[] = "HH:mm:ss";

} // namespace

PeripheralPage::PeripheralPage(MainWindow *parent)
    : QWidget(parent), ui(new Ui::PeripheralPageClass), m_mainWindow(parent), m_handle(nullptr)
{
    std::memset(&m_fillLight, 0, sizeof m_fillLight);
    ui->setupUi(this);
    // Shown only once the mode changes to one that uses them.
    ui->SensitivityLabel->hide();
    ui->SensitivityEdit->hide();
    ui->StartTimeLabel->hide();
    ui->startDateTimeEdit->hide();
    ui->EndTimeLabel->hide();
    ui->endDateTimeEdit->hide();
    ui->startDateTimeEdit->setDisplayFormat(QLatin1String(kTimeFormat));
    ui->endDateTimeEdit->setDisplayFormat(QLatin1String(kTimeFormat));

    connect(m_mainWindow, SIGNAL(ChangeHandle(TMV_NET_HANDLE)), this, SLOT(OnChangeHandle(TMV_NET_HANDLE)));
    connect(ui->GetWiperBtn, SIGNAL(clicked()), this, SLOT(OnGetWiperBtn()));
    connect(ui->SetWiperBtn, SIGNAL(clicked()), this, SLOT(OnSetWiperBtn()));
    connect(ui->GetFillLightBtn, SIGNAL(clicked()), this, SLOT(OnGetFillLightBtn()));
    connect(ui->SetFillLightBtn, SIGNAL(clicked()), this, SLOT(OnSetFillLightBtn()));
    connect(ui->DayNightCombox, SIGNAL(currentIndexChanged(int)), this, SLOT(OnComboxIndexChanged(int)));
    connect(ui->GetDayNightParamBtn, SIGNAL(clicked()), this, SLOT(OnGetDayNightParamBtn()));
    connect(ui->SetDayNightParamBtn, SIGNAL(clicked()), this, SLOT(OnSetDayNightParamBtn()));
    connect(ui->GetLogoBtn, SIGNAL(clicked()), this, SLOT(OnGetLogoPictureBtn()));
    connect(ui->SetLogoBtn, SIGNAL(clicked()), this, SLOT(OnSetLogoPictureBtn()));
}

PeripheralPage::~PeripheralPage() = default;

void PeripheralPage::OnChangeHandle(TMV_NET_HANDLE handle)
{
    m_handle = handle;
    // What was read belongs to the device of the old login.
    std::memset(&m_fillLight, 0, sizeof m_fillLight);
}

void PeripheralPage::EnableDayNight(bool enable)
{
    ui->groupBox_2->setEnabled(enable);
}

// ---- Wiper and fill light -----------------------------------------------------

void PeripheralPage::OnGetWiperBtn()
{
    int32_t mode = -1;
    const int status = DeviceCall::run(TMV_NET_GetWiperConfigInfo, m_handle, &mode);
    if (status != 0) {
        MsgBox::Instance()->ShowResult(tr("GetWiperConfigInfo"), status);
        return;
    }
    ui->WiperCombox->setCurrentIndex(PeripheralItemIndex(mode, ui->WiperCombox->count()));
}

void PeripheralPage::OnSetWiperBtn()
{
    const int32_t mode = AutoManualMode(ui->WiperCombox->currentText(), tr("Auto"), tr("Manual"));
    const int status = DeviceCall::run(TMV_NET_SetWiperConfigInfo, m_handle, mode);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("SetWiperConfigInfo"), status);
}

void PeripheralPage::OnGetFillLightBtn()
{
    TMV_NET_FILL_LIGHT_CONFIG_INFO info;
    std::memset(&info, 0, sizeof info);
    const int status = DeviceCall::run(TMV_NET_GetFillLightConfigInfo, m_handle, &info);
    if (status != 0) {
        MsgBox::Instance()->ShowResult(tr("GetFillLight"), status);
        return;
    }
    m_fillLight = info;
    ui->FillLightCombox->setCurrentIndex(PeripheralItemIndex(info.mode, ui->FillLightCombox->count()));
}

void PeripheralPage::OnSetFillLightBtn()
{
    TMV_NET_FILL_LIGHT_CONFIG_INFO info = m_fillLight;
    info.mode = AutoManualMode(ui->FillLightCombox->currentText(), tr("Auto"), tr("Manual"));
    const int status = DeviceCall::run(TMV_NET_SetFillLightConfigInfo, m_handle, &info);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("SetFillLight"), status);
}

// ---- Day/night ------------------------------------------------------------------

void PeripheralPage::OnComboxIndexChanged(int index)
{
    const DayNightControls shown = DayNightControlsFor(index);
    ui->SensitivityLabel->setVisible(shown.sensitivity);
    ui->SensitivityEdit->setVisible(shown.sensitivity);
    ui->StartTimeLabel->setVisible(shown.schedule);
    ui->startDateTimeEdit->setVisible(shown.schedule);
    ui->EndTimeLabel->setVisible(shown.schedule);
    ui->endDateTimeEdit->setVisible(shown.schedule);
}

void PeripheralPage::OnGetDayNightParamBtn()
{
    TMV_NET_DAY_NIGHT_MODE_PARAM param;
    std::memset(&param, 0, sizeof param);
    const int status = DeviceCall::run(TMV_NET_GetDayNightModeParam, m_handle, &param);
    if (status != 0) {
        MsgBox::Instance()->ShowResult(tr("GetDayNightModeParam"), status);
        return;
    }
    // Through the visibility rule this shows the controls of the new mode.
    ui->DayNightCombox->setCurrentIndex(PeripheralItemIndex(param.mode, ui->DayNightCombox->count()));
    if (param.mode == 0) {
        ui->SensitivityEdit->setText(QString::number(param.sensitivity, 10));
    } else if (param.mode == 3) {
        ui->startDateTimeEdit->setTime(DayNightTime(param.startTime));
        ui->startDateTimeEdit->setDisplayFormat(QLatin1String(kTimeFormat));
        ui->endDateTimeEdit->setTime(DayNightTime(param.endTime));
        ui->endDateTimeEdit->setDisplayFormat(QLatin1String(kTimeFormat));
    }
}

void PeripheralPage::OnSetDayNightParamBtn()
{
    // Read first, so the fields this mode does not edit go back as the
    // device has them.
    TMV_NET_DAY_NIGHT_MODE_PARAM param;
    std::memset(&param, 0, sizeof param);
    const int readStatus = DeviceCall::run(TMV_NET_GetDayNightModeParam, m_handle, &param);
    if (readStatus != 0) {
        MsgBox::Instance()->ShowResult(tr("GetDayNightModeParam"), readStatus);
        // Nothing the failed read may have left behind goes to the device.
        std::memset(&param, 0, sizeof param);
    }

    const int index = ui->DayNightCombox->currentIndex();
    // A control the operator cannot see is not sent: at start the combo box
    // reads "Auto" with the sensitivity still hidden and empty, and that
    // empty text would reset the device's sensitivity to 0.
    if (index == 0 && !ui->SensitivityEdit->isHidden())
        param.sensitivity = ui->SensitivityEdit->text().toInt(nullptr, 10);
    if (index == 3 && !ui->startDateTimeEdit->isHidden()) {
        param.startTime = DayNightSeconds(ui->startDateTimeEdit->time());
        param.endTime = DayNightSeconds(ui->endDateTimeEdit->time());
    }
    param.mode = index;

    const int status = DeviceCall::run(TMV_NET_SetDayNightModeParam, m_handle, &param);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("SetDayNightModeParam"), status);
}

// ---- Logo pictures -----------------------------------------------------------------

// The picture never passes through the page: the library writes the
// device's logo into the chosen file, or reads the file and sends it.
void PeripheralPage::OnGetLogoPictureBtn()
{
    const QString fileName = QFileDialog::getSaveFileName(this, tr("GetLogo"), QString(), QStringLiteral("*.png"));
    if (fileName.isEmpty())
        return;
    const QByteArray path = fileName.toUtf8();
    const int status =
        DeviceCall::run(TMV_NET_GetLogoPicture, m_handle, ui->LogoCombox->currentIndex(), path.constData());
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("GetLogoPicture"), status);
}

void PeripheralPage::OnSetLogoPictureBtn()
{
    const QString fileName = QFileDialog::getOpenFileName(this, tr("SetLogo"), QString(), QStringLiteral("*.png"));
    if (fileName.isEmpty())
        return;
    const QByteArray path = fileName.toUtf8();
    const int status =
        DeviceCall::run(TMV_NET_SetLogoPicture, m_handle, ui->LogoCombox->currentIndex(), path.constData());
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("SetLogoPicture"), status);
}
