// The one-shot commands of the control panel, absolute positioning and
// tracking, the coordinate and status panels, the zoom multiplier, the
// bearing sensors, target tracking, the power-off memory and the on-video
// toggles.
#include "ptz/PTZPage.h"
#include "ui_PTZPage.h"

#include <QMessageBox>

#include <cstring>

#include "app/MainWindow.h"
#include "common/DeviceCall.h"
#include "common/MsgBox.h"
#include "ptz/PtzText.h"

int PTZPage::LiveChannel() const
{
    return m_mainWindow ? m_mainWindow->Channel() : 0;
}

void PTZPage::OnThreeDimensionalBtnClicked()
{
    emit Position3D(ui->threeDimensionalBtn->isChecked());
}

void PTZPage::OnRegionFocusBtnClicked()
{
    // Not a toggle: every click arms the tool again.
    emit PositionRegionFocus(true);
}

void PTZPage::OnManualTrackBtnClicked()
{
    emit PositionManualTrack(ui->manualTrackBtn->isChecked());
}

void PTZPage::OnResetBtnClicked()
{
    const int32_t status = DeviceCall::run(TMV_NET_ResetPtzConfig, m_handle);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("ResetPTZ"), status);
}

void PTZPage::OnLensInitBtnClicked()
{
    const int32_t status = DeviceCall::run(TMV_NET_PtzLensInit, m_handle, LiveChannel());
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("LensInit"), status);
}

void PTZPage::OnLaserDistanceBtnClicked()
{
    int32_t distance = 0;
    const int32_t status = DeviceCall::run(TMV_NET_GetLaserDistance, m_handle, &distance);
    if (status != 0) {
        MsgBox::Instance()->ShowResult(tr("LaserDistance"), status);
        return;
    }
    QMessageBox::information(nullptr, QString(), tr("Laser Distance is ") + QString::number(distance),
                             QMessageBox::Ok);
}

void PTZPage::OnSetButtonClicked()
{
    TMV_NET_PTZ_POSITION position;
    std::memset(&position, 0, sizeof position);
    // Sent as the device counts them (hundredths of a degree), unscaled.
    position.pan = float(ui->pSpinBox->value());
    position.tilt = float(ui->tSpinBox->value());
    position.zoom = float(ui->zSpinBox->value());
    const int32_t status = DeviceCall::run(TMV_NET_PtzPosition, m_handle, &position);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("SetPotion"), status);
}

void PTZPage::OnSetATBtnClicked()
{
    TMV_NET_PTZ_TRACKING_POSITION tracking;
    std::memset(&tracking, 0, sizeof tracking);
    tracking.panSpeed = float(ui->psSpinBox->value());
    tracking.tiltSpeed = float(ui->tsSpinBox->value());
    tracking.direction = ui->derectionSpinBox->value();
    const int32_t status = DeviceCall::run(TMV_NET_PtzTrackingPosition, m_handle, &tracking);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("SetTrackingPosition"), status);
}

void PTZPage::OnGetCoordinatesBtnClicked()
{
    TMV_NET_CURRENT_PTZ_INFO info;
    std::memset(&info, 0, sizeof info);
    const int32_t status = DeviceCall::run(TMV_NET_GetCurrentPtz_V1, m_handle, &info);
    if (status != 0) {
        MsgBox::Instance()->ShowResult(tr("GetCurrentPtz"), status);
        return;
    }
    ui->panEdit->setText(PtzTwoDecimals(info.pan));
    ui->tiltEdit->setText(PtzTwoDecimals(info.tilt));
    ui->visZoomEdit->setText(PtzTwoDecimals(info.visZoom));
    ui->irZoomEdit->setText(PtzTwoDecimals(info.irZoom));
    ui->visFovEdit->setText(PtzFieldOfView(info.visFovH, info.visFovV));
    ui->irFovEdit->setText(PtzFieldOfView(info.irFovH, info.irFovV));
}

void PTZPage::OnGetZoomBtnClicked()
{
    float multiplier = 0.0f;
    const int32_t status = DeviceCall::run(TMV_NET_GetPtzZoomMultiplier, m_handle, LiveChannel(), &multiplier);
    if (status != 0) {
        MsgBox::Instance()->ShowResult(tr("GetPtzZoomMultiplier"), status);
        return;
    }
    ui->zoomMultEdit->setText(PtzReading(multiplier));
}

void PTZPage::OnSetZoomBtnClicked()
{
    const float multiplier = ui->zoomMultEdit->text().toFloat();
    const int32_t status = DeviceCall::run(TMV_NET_SetPtzZoomMultiplier, m_handle, LiveChannel(), multiplier);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("SetPtzZoomMultiplier"), status);
}

void PTZPage::OnTargetConfigGetBtnClicked()
{
    TMV_NET_TARGET_TRACK_CONFIG config;
    std::memset(&config, 0, sizeof config);
    const int32_t status = DeviceCall::run(TMV_NET_GetTargetTrackConfig, m_handle, LiveChannel(), &config);
    if (status != 0) {
        MsgBox::Instance()->ShowResult(tr("GetTargetTrackConfig"), status);
        return;
    }
    ui->trackCheckBoxEnable->setChecked(config.enable != 0);
    ui->snapCheckBoxEnable->setChecked(config.snapLinkage.enable != 0);
    ui->snapChn1Box->setChecked(config.snapLinkage.channels[0] != 0);
    ui->snapChn2Box->setChecked(config.snapLinkage.channels[1] != 0);
    ui->recordCheckBoxEnable->setChecked(config.recordLinkage.enable != 0);
    ui->recordChn1Box->setChecked(config.recordLinkage.channels[0] != 0);
    ui->recordChn2Box->setChecked(config.recordLinkage.channels[1] != 0);
}

void PTZPage::OnTargetConfigSetBtnClicked()
{
    TMV_NET_TARGET_TRACK_CONFIG config;
    std::memset(&config, 0, sizeof config);
    config.enable = ui->trackCheckBoxEnable->isChecked() ? 1 : 0;
    config.snapLinkage.enable = ui->snapCheckBoxEnable->isChecked() ? 1 : 0;
    config.snapLinkage.channels[0] = ui->snapChn1Box->isChecked() ? 1 : 0;
    config.snapLinkage.channels[1] = ui->snapChn2Box->isChecked() ? 1 : 0;
    config.recordLinkage.enable = ui->recordCheckBoxEnable->isChecked() ? 1 : 0;
    config.recordLinkage.channels[0] = ui->recordChn1Box->isChecked() ? 1 : 0;
    config.recordLinkage.channels[1] = ui->recordChn2Box->isChecked() ? 1 : 0;
    const int32_t status = DeviceCall::run(TMV_NET_SetTargetTrackConfig, m_handle, LiveChannel(), &config);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("SetTargetTrackConfig"), status);
}

void PTZPage::OnGetBearingBtnClicked()
{
    TMV_NET_ACCELERATION_DATA data;
    std::memset(&data, 0, sizeof data);
    const int32_t status = DeviceCall::run(TMV_NET_GetAccelerationData, m_handle, &data);
    if (status != 0) {
        MsgBox::Instance()->ShowResult(tr("GetAccelerationData"), status);
        return;
    }
    const float values[] = {data.angleX,        data.angleY,        data.angleZ,        data.angleP,
                            data.angleT,        data.angleRT,       data.accelerationX, data.accelerationY,
                            data.accelerationZ, data.rotationX,     data.rotationY,     data.rotationZ};
    QLineEdit *const edits[] = {ui->angleXEdit,        ui->angleYEdit,        ui->angleZEdit,
                                ui->anglePEdit,        ui->angleTEdit,        ui->angleRTEdit,
                                ui->accelerationXEdit, ui->accelerationYEdit, ui->accelerationZEdit,
                                ui->rotationXEdit,     ui->rotationYEdit,     ui->rotationZEdit};
    static_assert(sizeof values / sizeof values[0] == sizeof edits / sizeof edits[0], "one field per value");
    for (size_t i = 0; i < sizeof values / sizeof values[0]; ++i)
        edits[i]->setText(PtzReading(values[i]));
}

void PTZPage::OnGetPowerOffBtnClicked()
{
    TMV_NET_PTZ_POWER_OFF_CONFIG config;
    std::memset(&config, 0, sizeof config);
    const int32_t status = DeviceCall::run(TMV_NET_GetPtzPowerOffConfig, m_handle, &config);
    if (status != 0) {
        MsgBox::Instance()->ShowResult(tr("GetPtzPowerOffConfig"), status);
        return;
    }
    ui->powerOffCheckBoxEnable->setChecked(config.enable != 0);
    ui->powerOffIntervalEdit->setText(QString::number(config.interval));
}

void PTZPage::OnSetPowerOffBtnClicked()
{
    TMV_NET_PTZ_POWER_OFF_CONFIG config;
    std::memset(&config, 0, sizeof config);
    config.enable = ui->powerOffCheckBoxEnable->isChecked() ? 1 : 0;
    // The device judges the interval; the form only states its range.
    config.interval = ui->powerOffIntervalEdit->text().toInt(nullptr, 10);
    const int32_t status = DeviceCall::run(TMV_NET_SetPtzPowerOffConfig, m_handle, &config);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("SetPtzPowerOffConfig"), status);
}

void PTZPage::OnGetPtzStatusBtnClicked()
{
    TMV_NET_PTZ_RUNNING_STATUS status;
    std::memset(&status, 0, sizeof status);
    const int32_t result = DeviceCall::run(TMV_NET_GetPtzRunningStatus, m_handle, &status);
    if (result != 0) {
        MsgBox::Instance()->ShowResult(tr("GetPtzRunningStatus"), result);
        return;
    }
    ui->movingCheckBoxEnable->setChecked(status.moving != 0);
    ui->taskCombo->setCurrentIndex(PtzListRow(status.task, ui->taskCombo->count()));
    ui->taskIdEdit->setText(QString::number(status.taskId));
    ui->triggerCombo->setCurrentIndex(PtzListRow(status.trigger, ui->triggerCombo->count()));
    ui->startTimeEdit->setText(PtzStartTime(status.startTime));
    ui->startTimeEdit->setCursorPosition(0);
}
