#include "ptz/ControlPage.h"
#include "ui_ControlPage.h"

#include <QMessageBox>

#include <cstring>

#include "app/MainWindow.h"
#include "common/CopyField.h"
#include "common/DeviceCall.h"
#include "common/MsgBox.h"

namespace {

enum EptzCommand {
    kEptzUp = 0,
    kEptzDown = 1,
    kEptzLeft = 2,
    kEptzRight = 3,
    kEptzUpLeft = 4,
    kEptzUpRight = 5,
    kEptzDownLeft = 6,
    kEptzDownRight = 7,
    kEptzZoomOut = 8,
    kEptzZoomIn = 9,
};

constexpr int kMinKeepAlive = 5;
constexpr int kMaxKeepAlive = 45;

} // namespace

ControlPage::ControlPage(MainWindow *parent)
    : QWidget(parent), ui(new Ui::ControlPage), m_mainWindow(parent), m_handle(nullptr)
{
    ui->setupUi(this);
    for (int speed = 1; speed <= 8; ++speed)
        ui->eptzSpeedCombo->addItem(QString::number(speed));
    ui->eptzSpeedCombo->setCurrentIndex(0);

    connect(m_mainWindow, SIGNAL(ChangeHandle(TMV_NET_HANDLE)), this, SLOT(OnChangeHandle(TMV_NET_HANDLE)));
    connect(ui->eptzUpBtn, SIGNAL(pressed()), this, SLOT(OnEptzUpBtn()));
    connect(ui->eptzUpLeftBtn, SIGNAL(pressed()), this, SLOT(OnEptzUpLeftBtn()));
    connect(ui->eptzUpRightBtn, SIGNAL(pressed()), this, SLOT(OnEptzUpRightBtn()));
    connect(ui->eptzLeftBtn, SIGNAL(pressed()), this, SLOT(OnEptzLeftBtn()));
    connect(ui->eptzRightBtn, SIGNAL(pressed()), this, SLOT(OnEptzRightBtn()));
    connect(ui->eptzDownLeftBtn, SIGNAL(pressed()), this, SLOT(OnEptzDownLeftBtn()));
    connect(ui->eptzDownBtn, SIGNAL(pressed()), this, SLOT(OnEptzDownBtn()));
    connect(ui->eptzDownRightBtn, SIGNAL(pressed()), this, SLOT(OnEptzDownRightBtn()));
    connect(ui->eptzUpBtn, SIGNAL(released()), this, SLOT(OnBtnReleased()));
    connect(ui->eptzUpLeftBtn, SIGNAL(released()), this, SLOT(OnBtnReleased()));
    connect(ui->eptzUpRightBtn, SIGNAL(released()), this, SLOT(OnBtnReleased()));
    connect(ui->eptzLeftBtn, SIGNAL(released()), this, SLOT(OnBtnReleased()));
    connect(ui->eptzRightBtn, SIGNAL(released()), this, SLOT(OnBtnReleased()));
    connect(ui->eptzDownLeftBtn, SIGNAL(released()), this, SLOT(OnBtnReleased()));
    connect(ui->eptzDownBtn, SIGNAL(released()), this, SLOT(OnBtnReleased()));
    connect(ui->eptzDownRightBtn, SIGNAL(released()), this, SLOT(OnBtnReleased()));
    connect(ui->eptzZoomInBtn, SIGNAL(pressed()), this, SLOT(OnEptzZoomInBtn()));
    connect(ui->eptzZoomOutBtn, SIGNAL(pressed()), this, SLOT(OnEptzZoomOutBtn()));
    connect(ui->eptzZoomInBtn, SIGNAL(released()), this, SLOT(OnZoomBtnReleased()));
    connect(ui->eptzZoomOutBtn, SIGNAL(released()), this, SLOT(OnZoomBtnReleased()));
    connect(ui->gunBallGetBtn, SIGNAL(clicked()), this, SLOT(OnGunBallGetBtn()));
    connect(ui->gunBallSetBtn, SIGNAL(clicked()), this, SLOT(OnGunBallSetBtn()));
}

ControlPage::~ControlPage() = default;

void ControlPage::OnChangeHandle(TMV_NET_HANDLE handle)
{
    m_handle = handle;
}

// ---- Electronic PTZ ---------------------------------------------------------

void ControlPage::EptzPress(int command)
{
    TMV_NET_EPTZ_CONTROL control;
    std::memset(&control, 0, sizeof control);
    control.channel = m_mainWindow->Channel();
    control.command = command;
    control.speed = ui->eptzSpeedCombo->currentText().toInt(nullptr, 10);
    control.stop = 0;
    const int status = DeviceCall::run(TMV_NET_ElectronicPtzControl, m_handle, &control);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("EPTZ control"), status);
}

void ControlPage::EptzStop(int command)
{
    TMV_NET_EPTZ_CONTROL control;
    std::memset(&control, 0, sizeof control);
    control.channel = m_mainWindow->Channel();
    control.command = command;
    control.stop = 1;
    const int status = DeviceCall::run(TMV_NET_ElectronicPtzControl, m_handle, &control);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("EPTZ control stop"), status);
}

void ControlPage::OnEptzUpBtn()
{
    EptzPress(kEptzUp);
}

void ControlPage::OnEptzUpLeftBtn()
{
    EptzPress(kEptzUpLeft);
}

void ControlPage::OnEptzUpRightBtn()
{
    EptzPress(kEptzUpRight);
}

void ControlPage::OnEptzLeftBtn()
{
    EptzPress(kEptzLeft);
}

void ControlPage::OnEptzRightBtn()
{
    EptzPress(kEptzRight);
}

void ControlPage::OnEptzDownLeftBtn()
{
    EptzPress(kEptzDownLeft);
}

void ControlPage::OnEptzDownBtn()
{
    EptzPress(kEptzDown);
}

void ControlPage::OnEptzDownRightBtn()
{
    EptzPress(kEptzDownRight);
}

// Any direction's stop ends whichever direction is moving.
void ControlPage::OnBtnReleased()
{
    EptzStop(kEptzUp);
}

void ControlPage::OnEptzZoomInBtn()
{
    EptzPress(kEptzZoomIn);
}

void ControlPage::OnEptzZoomOutBtn()
{
    EptzPress(kEptzZoomOut);
}

void ControlPage::OnZoomBtnReleased()
{
    EptzStop(kEptzZoomOut);
}

// ---- Linkage ------------------------------------------------------------------

void ControlPage::OnGunBallGetBtn()
{
    TMV_NET_GUN_BALL_TRACK_CONFIG_INFO config;
    std::memset(&config, 0, sizeof config);
    const int status = DeviceCall::run(TMV_NET_GetGunBallTrackConfigInfo, m_handle, &config);
    if (status != 0) {
        MsgBox::Instance()->ShowResult(tr("GetGunBallTrackConfigInfo"), status);
        return;
    }
    ui->EnableCheckBox->setChecked(config.enable != 0);
    // The device holds one protocol: both boxes show which, so the next
    // "Set" sends back what was read.
    ui->httpsCheckBox->setChecked(config.https != 0);
    ui->httpCheckBox->setChecked(config.https == 0);
    ui->ipEdit->setText(QString::fromUtf8(FieldText(config.ip)));
    ui->portEdit->setText(QString::number(config.port));
    ui->userNameEdit->setText(QString::fromUtf8(FieldText(config.userName)));
    ui->passwordEdit->setText(QString::fromUtf8(FieldText(config.password)));
    ui->keepAliveEdit->setText(QString::number(config.keepAlive));
}

void ControlPage::OnGunBallSetBtn()
{
    TMV_NET_GUN_BALL_TRACK_CONFIG_INFO config;
    std::memset(&config, 0, sizeof config);
    config.enable = ui->EnableCheckBox->isChecked() ? 1 : 0;
    config.https = ui->httpsCheckBox->isChecked() ? 1 : 0;
    config.port = ui->portEdit->text().toInt(nullptr, 10);
    // An empty or non-numeric text converts to 0 and so goes as the least.
    config.keepAlive = qBound(kMinKeepAlive, ui->keepAliveEdit->text().toInt(nullptr, 10), kMaxKeepAlive);
    // The fields have fixed room; a text that does not fit is refused rather
    // than cut, since a cut address or password would reach another camera
    // or fail to log in to it.
    if (!CopyField(config.ip, ui->ipEdit->text().toLocal8Bit())) {
        QMessageBox::critical(this, tr("Error"), tr("The IP address is too long (at most 15 characters)."));
        return;
    }
    if (!CopyField(config.userName, ui->userNameEdit->text().toLocal8Bit())) {
        QMessageBox::critical(this, tr("Error"), tr("The user name is too long (at most 255 bytes)."));
        return;
    }
    if (!CopyField(config.password, ui->passwordEdit->text().toLocal8Bit())) {
        QMessageBox::critical(this, tr("Error"), tr("The password is too long (at most 255 bytes)."));
        return;
    }
    const int status = DeviceCall::run(TMV_NET_SetGunBallTrackConfigInfo, m_handle, &config);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("SetGunBallTrackConfigInfo"), status);
}
