// The OSD groups: date/time title, channel title and laser-distance reading,
// each on the main window's live channel.
#include "config/ConfigPage.h"
#include "ui_ConfigPage.h"

#include <QMessageBox>

#include <cstring>

#include "common/DeviceCall.h"
#include "config/ConfigConvert.h"
#include "config/ConfigText.h"

using ConfigConvert::OsdPosition;

void ConfigPage::onDateTitleGetBtnClicked()
{
    TMV_NET_OSD_TIME_TITLE_INFO info;
    std::memset(&info, 0, sizeof info);
    const int32_t status = DeviceCall::run(TMV_NET_GetOSDTimeTitleInfo, m_handle, Channel(), &info);
    if (!Report(tr("GetOSDTimeTitleInfo"), status))
        return;
    ui->dateTimeCheck->setChecked(info.enable != 0);
    ShowInt(ui->dateTimeTopEdit, info.top);
    ShowInt(ui->dateTimeLeftEdit, info.left);
    ShowInt(ui->dateTimeRightEdit, info.right);
    ShowInt(ui->dateTimeBottonEdit, info.bottom);
}

void ConfigPage::onDateTitleSetBtnClicked()
{
    OsdPosition position;
    position.top = IntOf(ui->dateTimeTopEdit);
    position.left = IntOf(ui->dateTimeLeftEdit);
    position.right = IntOf(ui->dateTimeRightEdit);
    position.bottom = IntOf(ui->dateTimeBottonEdit);
    TMV_NET_OSD_TIME_TITLE_INFO info;
    ConfigConvert::FillTimeTitle(info, ui->dateTimeCheck->isChecked(), position);
    const int32_t status = DeviceCall::run(TMV_NET_SetOSDTimeTitleInfo, m_handle, Channel(), &info);
    Report(tr("SetOSDTimeTitleInfo"), status);
}

void ConfigPage::onChannelTitleGetBtnClicked()
{
    TMV_NET_OSD_CHANNEL_TITLE_INFO info;
    std::memset(&info, 0, sizeof info);
    const int32_t status = DeviceCall::run(TMV_NET_GetOSDChannelTitleInfo, m_handle, Channel(), &info);
    if (!Report(tr("GetOSDChannelTitleInfo"), status))
        return;
    ui->channelTitleCheck->setChecked(info.enable != 0);
    ui->channelTitleNameEdit->setText(TextOf(info.title));
    ShowInt(ui->channelTitleTopEdit, info.top);
    ShowInt(ui->channelTitleLeftEdit, info.left);
    ShowInt(ui->channelTitleRightEdit, info.right);
    ShowInt(ui->channelTitleBottonEdit, info.bottom);
}

void ConfigPage::onChannelTitleSetBtnClicked()
{
    OsdPosition position;
    position.top = IntOf(ui->channelTitleTopEdit);
    position.left = IntOf(ui->channelTitleLeftEdit);
    position.right = IntOf(ui->channelTitleRightEdit);
    position.bottom = IntOf(ui->channelTitleBottonEdit);
    TMV_NET_OSD_CHANNEL_TITLE_INFO info;
    if (!ConfigConvert::FillChannelTitle(info, ui->channelTitleCheck->isChecked(),
                                         ui->channelTitleNameEdit->text(), position)) {
        // Refused, not cut: the picture would show a title nobody typed.
        QMessageBox::critical(this, tr("Error"),
                              tr("%1 is too long: at most %2 bytes in UTF-8.")
                                  .arg(tr("The channel title"))
                                  .arg(int(sizeof info.title) - 1));
        return;
    }
    const int32_t status = DeviceCall::run(TMV_NET_SetOSDChannelTitleInfo, m_handle, Channel(), &info);
    Report(tr("SetOSDChannelTitleInfo"), status);
}

void ConfigPage::OnLaserOSDGetBtnClicked()
{
    TMV_NET_LASER_DISTANCE_OSD_PARAM param;
    std::memset(&param, 0, sizeof param);
    const int32_t status = DeviceCall::run(TMV_NET_GetLaserDistanceOsdParam, m_handle, Channel(), &param);
    if (!Report(tr("Get Laser Distance Osd Param"), status))
        return;
    ui->laserEnbleCheck->setChecked(param.enable != 0);
    ui->fontSizeCombo->setCurrentIndex(ConfigComboIndex(param.fontSize, ui->fontSizeCombo->count()));
    ui->alligmentCombo->setCurrentIndex(ConfigComboIndex(param.alignment, ui->alligmentCombo->count()));
    ShowInt(ui->laserOsdTopEdit, param.top);
    ShowInt(ui->laserOsdLeftEdit, param.left);
    ShowInt(ui->laserOsdRightEdit, param.right);
    ShowInt(ui->laserOsdBottomEdit, param.bottom);
}

void ConfigPage::OnLaserOSDSetBtnClicked()
{
    const int32_t channel = Channel();
    // The record carries settings the page does not show, the distance unit
    // among them: they go back as the device has them, since zeros would
    // reset them. Without them nothing is written.
    TMV_NET_LASER_DISTANCE_OSD_PARAM param;
    std::memset(&param, 0, sizeof param);
    const int32_t readStatus = DeviceCall::run(TMV_NET_GetLaserDistanceOsdParam, m_handle, channel, &param);
    if (!Report(tr("Get Laser Distance Osd Param"), readStatus))
        return;
    OsdPosition position;
    position.top = IntOf(ui->laserOsdTopEdit);
    position.left = IntOf(ui->laserOsdLeftEdit);
    position.right = IntOf(ui->laserOsdRightEdit);
    position.bottom = IntOf(ui->laserOsdBottomEdit);
    ConfigConvert::FillLaserOsd(param, ui->laserEnbleCheck->isChecked(), ui->fontSizeCombo->currentIndex(),
                                ui->alligmentCombo->currentIndex(), position);
    const int32_t status = DeviceCall::run(TMV_NET_SetLaserDistanceOsdParam, m_handle, channel, &param);
    Report(tr("Set Laser Distance Osd Param"), status);
}
