// The frame group: frame temperatures and their alarm, the measurement
// switch, the one-point reading and the preset row.
#include "thermal/TempAlarmPage.h"
#include "ui_TempAlarmPage.h"

#include <cstring>
#include <vector>

#include "app/MainWindow.h"
#include "common/CopyField.h"
#include "common/DeviceCall.h"
#include "common/ListQuery.h"
#include "common/MsgBox.h"
#include "thermal/TempRuleText.h"

void TempAlarmPage::ConnectFrameControls()
{
    connect(ui->getFrameTempDataBtn, SIGNAL(clicked()), this, SLOT(OnGetFrameTempDataBtnClicked()));
    connect(ui->alarmSetBtn, SIGNAL(clicked()), this, SLOT(OnSetAlarmInfoBtnClicked()));
    connect(ui->getTempEnableBtn, SIGNAL(clicked()), this, SLOT(OnGetTempEnableBtnClicked()));
    connect(ui->setTempEnableBtn, SIGNAL(clicked()), this, SLOT(OnSetTempEnableBtnClicked()));
    connect(ui->pointOnceMeasureBtn, SIGNAL(clicked()), this, SLOT(OnpointOnceMeasureBtnClicked()));
    connect(ui->getAllPresetBtn, SIGNAL(clicked()), this, SLOT(OnGetAllPreSetBtnClicked()));
    connect(ui->moveToBtn, SIGNAL(clicked()), this, SLOT(OnMoveToBtnClicked()));
}

void TempAlarmPage::OnGetFrameTempDataBtnClicked()
{
    TMV_NET_TEMP_INFO info;
    std::memset(&info, 0, sizeof info);
    int status = DeviceCall::run(TMV_NET_QueryFrameTemp, m_handle, &info);
    if (status != 0) {
        MsgBox::Instance()->ShowResult(tr("Query Frame Temp"), status);
        return;
    }
    ui->frameAvgTempEdit->setText(QString::number(info.avgTemp, 'f', 2));
    ui->frameCenterTempEdit->setText(QString::number(info.centerTemp, 'f', 2));
    ui->frameMaxTempEdit->setText(QString::number(info.maxTemp, 'f', 2));
    ui->frameMinTempEdit->setText(QString::number(info.minTemp, 'f', 2));
    ui->frameMaxLineEdit_X->setText(QString::number(info.maxX));
    ui->frameMaxLineEdit_Y->setText(QString::number(info.maxY));
    ui->frameMinLineEdit_X->setText(QString::number(info.minX));
    ui->frameMinLineEdit_Y->setText(QString::number(info.minY));

    TMV_NET_FRAME_TEMP_ALARM_CONFIG config;
    std::memset(&config, 0, sizeof config);
    status = DeviceCall::run(TMV_NET_QueryFrameTempAlarmConfig, m_handle, &config);
    if (status != 0) {
        MsgBox::Instance()->ShowResult(tr("Query Frame Temp AlarmConfig"), status);
        return;
    }
    ShowLinkage(config.snapLinkage, ui->frameSnapEnableCheckBox, ui->frameSnapChannel1CheckBox,
                ui->frameSnapChannel2CheckBox, ui->frameSnapDeplayEdit);
    ShowLinkage(config.recordLinkage, ui->frameRecordEnableCheckBox, ui->frameRecordChannel1CheckBox,
                ui->frameRecordChannel2CheckBox, ui->frameRecordDeplayEdit);
    const TMV_NET_TEMP_ALARM_CONDITION &greater = config.conditions[0];
    const TMV_NET_TEMP_ALARM_CONDITION &less = config.conditions[1];
    ui->greaterCheckBox->setChecked(greater.alarmRule != 0);
    ui->greaterThresholdTempEdit->setText(QString::number(greater.threshold, 'g', 6));
    ui->lessCheckBox->setChecked(less.alarmRule != 0);
    ui->lessThresholdTempEdit->setText(QString::number(less.threshold, 'g', 6));
    // One debounce and one tolerance edit serve both conditions.
    ui->debounceEdit->setText(QString::number(less.debounce));
    ui->toleranceTempEdit->setText(QString::number(less.tolerance, 'g', 6));
}

void TempAlarmPage::OnSetAlarmInfoBtnClicked()
{
    TMV_NET_FRAME_TEMP_ALARM_CONFIG config;
    std::memset(&config, 0, sizeof config);
    config.enable = 1;
    const float tolerance = ui->toleranceTempEdit->text().toFloat();
    const int32_t debounce = ui->debounceEdit->text().toInt();
    TMV_NET_TEMP_ALARM_CONDITION &greater = config.conditions[0];
    greater.alarmRule = ui->greaterCheckBox->isChecked() ? 3 : 0;
    greater.threshold = ui->greaterThresholdTempEdit->text().toFloat();
    greater.tolerance = tolerance;
    greater.debounce = debounce;
    TMV_NET_TEMP_ALARM_CONDITION &less = config.conditions[1];
    less.alarmRule = ui->lessCheckBox->isChecked() ? 6 : 0;
    less.threshold = ui->lessThresholdTempEdit->text().toFloat();
    less.tolerance = tolerance;
    less.debounce = debounce;
    ReadLinkage(config.snapLinkage, ui->frameSnapEnableCheckBox, ui->frameSnapChannel1CheckBox,
                ui->frameSnapChannel2CheckBox, ui->frameSnapDeplayEdit);
    ReadLinkage(config.recordLinkage, ui->frameRecordEnableCheckBox, ui->frameRecordChannel1CheckBox,
                ui->frameRecordChannel2CheckBox, ui->frameRecordDeplayEdit);

    const int status = DeviceCall::run(TMV_NET_UpdateFrameTempAlarmConfig, m_handle, &config);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("set alarm info"), status);
}

void TempAlarmPage::OnGetTempEnableBtnClicked()
{
    int32_t enable = 0;
    const int status = DeviceCall::run(TMV_NET_GetTempEnable, m_handle, &enable);
    if (status != 0) {
        MsgBox::Instance()->ShowResult(tr("GetTempEnable"), status);
        return;
    }
    ui->tempEnableCheckBox->setChecked(enable == 1);
}

void TempAlarmPage::OnSetTempEnableBtnClicked()
{
    const int status = DeviceCall::run(TMV_NET_SetTempEnable, m_handle, ui->tempEnableCheckBox->isChecked() ? 1 : 0);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("SetTempEnable"), status);
}

void TempAlarmPage::OnpointOnceMeasureBtnClicked()
{
    ui->pointOnceEdit->clear();
    if (!m_mainWindow)
        return;
    if (ui->pointOnceMeasureBtn->isChecked())
        m_mainWindow->StartPointMeasure();
    else
        m_mainWindow->StopPointMeasure();
}

void TempAlarmPage::OnGetAllPreSetBtnClicked()
{
    ui->presetCombo->clear();
    presetMap.clear();
    ui->presetCombo->addItem(QStringLiteral("Frame"));

    std::vector<TMV_NET_PRESET_INFO> presets;
    if (!QueryPresetList(m_handle, tr("QueryPtzPresetSize"), tr("QueryPtzPreset"), presets))
        return;
    for (size_t i = 0; i < presets.size(); ++i) {
        ui->presetCombo->addItem(TempRuleText::PresetText(presets[i]));
        presetMap.insert(int(i) + 1, presets[i]);
    }
    ui->presetCombo->setCurrentIndex(0);
}

void TempAlarmPage::OnMoveToBtnClicked()
{
    TMV_NET_PRESET_INFO preset;
    std::memset(&preset, 0, sizeof preset);
    preset.enable = 1;
    const auto found = presetMap.constFind(ui->presetCombo->currentIndex());
    if (found != presetMap.constEnd()) {
        preset.id = found->id;
        // The name came from a field of the same size, so it fits unless the
        // device left no NUL in it; then it is cut, never overrun.
        CopyField(preset.name, TempRuleText::PresetName(*found), FieldFit::CutAtCharacter);
    }
    const int status = DeviceCall::run(TMV_NET_PtzPresetControl, m_handle, 2, &preset);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("PTZ control move to"), status);
}
