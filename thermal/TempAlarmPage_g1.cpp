// The "G1" tab: tiered rules, their temperatures and the tiered alarm
// thresholds of the frame and of each rule.
#include "thermal/TempAlarmPage.h"
#include "ui_TempAlarmPage.h"

#include <QMessageBox>

#include <cstring>
#include <vector>

#include "common/DeviceCall.h"
#include "common/ListQuery.h"
#include "common/MsgBox.h"
#include "thermal/TempRuleText.h"

namespace {

// Entry 0 of both G1 combos stands for the whole frame.
const char kFrameEntry[] = "frame";

} // namespace

void TempAlarmPage::ConnectG1Controls()
{
    connect(ui->getAtrAllRulesBtn, SIGNAL(clicked()), this, SLOT(OnGetAtrAllRulesBtnClicked()));
    connect(ui->deleteAtrAllBtn, SIGNAL(clicked()), this, SLOT(OnDeleteAtrAllBtnClicked()));
    connect(ui->getAtrOneRuleInfoBtn, SIGNAL(clicked()), this, SLOT(OngetAtrOneRuleInfoBtnClicked()));
    connect(ui->deleteAtrOneRuleInfoBtn, SIGNAL(clicked()), this, SLOT(OnDeleteAtrOneRuleInfoBtnClicked()));
    connect(ui->getAtrOneAlarmInfoBtn, SIGNAL(clicked()), this, SLOT(OnGetAtrOneAlarmInfoBtnClicked()));
    connect(ui->setAtrOneAlarmInfoBtn, SIGNAL(clicked()), this, SLOT(OnSetAtrOneAlarmInfoBtnClicked()));
}

void TempAlarmPage::OnGetAtrAllRulesBtnClicked()
{
    const int position = SelectedPresetPosition();
    if (position < 0)
        return;
    const TMV_NET_TEMP_RULE_KEY key = TempRuleText::AllRulesKey(position);
    std::vector<TMV_NET_TEMP_RULE_G1> rules;
    const bool listed = QueryList(
        [this, &key](int32_t *count) { return DeviceCall::run(TMV_NET_QueryTempRuleSize, m_handle, &key, count); },
        tr("Get temp rule size"),
        [this, &key](TMV_NET_TEMP_RULE_G1 *array, int32_t capacity, int32_t *returned) {
            return DeviceCall::run(TMV_NET_QueryTempRule_G1, m_handle, &key, array, capacity, returned);
        },
        tr("Get G1 temp rule"), rules);
    if (listed)
        FillG1List(rules.data(), int(rules.size()));
}

void TempAlarmPage::FillG1List(const TMV_NET_TEMP_RULE_G1 *rules, int count)
{
    // The G1 list takes over the shared key map; the standard list is void.
    ruleKeyMap.clear();
    ruleMap.clear();
    ruleG1Map.clear();
    ui->atrRuleCombo->clear();
    ui->atrTypeCombo->clear();
    ui->atrRuleCombo->addItem(QLatin1String(kFrameEntry));
    ui->atrTypeCombo->addItem(QLatin1String(kFrameEntry));
    for (int i = 0; i < count; ++i) {
        const TMV_NET_TEMP_RULE_G1 &rule = rules[i];
        // Listed even without a text: the device numbers G1 rules by list
        // position, so none may be skipped.
        const QString text = TempRuleText::RuleListText(rule.ruleType, rule.ruleId);
        ui->atrRuleCombo->addItem(text);
        ui->atrTypeCombo->addItem(text);
        ruleG1Map.insert(i, rule);
        TMV_NET_TEMP_RULE_KEY ruleKey;
        std::memset(&ruleKey, 0, sizeof ruleKey);
        ruleKey.ruleType = rule.ruleType;
        ruleKey.ruleId = rule.ruleId;
        ruleKeyMap.insert(i, ruleKey);
    }
    ui->atrRuleCombo->setCurrentIndex(-1);
    ui->atrTypeCombo->setCurrentIndex(0);
}

void TempAlarmPage::OnDeleteAtrAllBtnClicked()
{
    const int position = SelectedPresetPosition();
    if (position < 0)
        return;
    const int status = DeviceCall::run(TMV_NET_DeleteAllTempRule, m_handle, position);
    if (status != 0) {
        MsgBox::Instance()->ShowResult(tr("Delete temp rule"), status);
        return;
    }
    OnGetAtrAllRulesBtnClicked();
}

void TempAlarmPage::OngetAtrOneRuleInfoBtnClicked()
{
    const int index = ui->atrRuleCombo->currentIndex();
    if (index < 0)
        return;
    if (index == 0) {
        TMV_NET_TEMP_INFO info;
        std::memset(&info, 0, sizeof info);
        const int status = DeviceCall::run(TMV_NET_QueryFrameTemp, m_handle, &info);
        if (status != 0) {
            MsgBox::Instance()->ShowResult(tr("Query Frame Temp"), status);
            return;
        }
        ui->atrFrameMaxTempEdit->setText(QString::number(info.maxTemp, 'g', 6));
        ui->atrFrameMinTempEdit->setText(QString::number(info.minTemp, 'g', 6));
        ui->atrFrameAvgTempEdit->setText(QString::number(info.avgTemp, 'g', 6));
        ui->atrFrameCenterTempEdit->setText(QString::number(info.centerTemp, 'g', 6));
        return;
    }

    const TMV_NET_TEMP_RULE_KEY key = ruleKeyMap.value(index - 1);
    TMV_NET_TEMP_RULE_G1 rule;
    std::memset(&rule, 0, sizeof rule);
    int32_t returned = 0;
    int status = DeviceCall::run(TMV_NET_QueryTempRule_G1, m_handle, &key, &rule, 1, &returned);
    if (status != 0) {
        MsgBox::Instance()->ShowResult(tr("Get temp rule"), status);
        return;
    }
    TMV_NET_RULE_TEMP temp;
    std::memset(&temp, 0, sizeof temp);
    returned = 0;
    status = DeviceCall::run(TMV_NET_QueryRuleTemp, m_handle, &key, &temp, 1, &returned);
    if (status != 0) {
        MsgBox::Instance()->ShowResult(tr("Get rule temp"), status);
        return;
    }
    ui->atrFrameMaxTempEdit->setText(QString::number(temp.temp.maxTemp, 'f', 1));
    ui->atrFrameMinTempEdit->setText(QString::number(temp.temp.minTemp, 'f', 1));
    ui->atrFrameAvgTempEdit->setText(QString::number(temp.temp.avgTemp, 'f', 1));
    ui->atrFrameCenterTempEdit->setText(QString::number(temp.temp.centerTemp, 'f', 1));
}

void TempAlarmPage::OnDeleteAtrOneRuleInfoBtnClicked()
{
    const auto found = ruleKeyMap.constFind(ui->atrRuleCombo->currentIndex() - 1);
    if (found == ruleKeyMap.constEnd())
        return;
    const TMV_NET_TEMP_RULE_KEY key = *found;
    const int status = DeviceCall::run(TMV_NET_DeleteTempRule, m_handle, &key);
    if (status != 0) {
        MsgBox::Instance()->ShowResult(tr("delete temp rule"), status);
        return;
    }
    OnGetAtrAllRulesBtnClicked();
    for (QLineEdit *edit : {ui->atrFrameMaxTempEdit, ui->atrFrameMinTempEdit, ui->atrFrameAvgTempEdit,
                            ui->atrFrameCenterTempEdit})
        edit->clear();
}

void TempAlarmPage::ShowG1Alarm(const TMV_NET_TEMP_ALARM_G1 &alarm)
{
    ui->atrSwitchCombo->setCurrentIndex(TempRuleText::PositionOfSwitch(alarm.alarmSwitch));
    ui->highTempEdit->setText(QString::number(alarm.highTemp, 'f', 1));
    ui->highLevelOneTempEdit->setText(QString::number(alarm.highLevels[0], 'f', 1));
    ui->highLevelTwoTempEdit->setText(QString::number(alarm.highLevels[1], 'f', 1));
    ui->highLevelThreeTempEdit->setText(QString::number(alarm.highLevels[2], 'f', 1));
    ui->lowTempEdit->setText(QString::number(alarm.lowTemp, 'f', 1));
    ui->lowLevelOneTempEdit->setText(QString::number(alarm.lowLevels[0], 'f', 1));
    ui->lowLevelTwoTempEdit->setText(QString::number(alarm.lowLevels[1], 'f', 1));
    ui->lowLevelThreeTempEdit->setText(QString::number(alarm.lowLevels[2], 'f', 1));
    ui->atrDelayEdit->setText(QString::number(alarm.delay));
    ui->highEnableCheck->setChecked(alarm.highEnable != 0);
    ui->lowEnableCheck->setChecked(alarm.lowEnable != 0);
}

void TempAlarmPage::OnGetAtrOneAlarmInfoBtnClicked()
{
    if (ui->atrTypeCombo->currentText() == QLatin1String(kFrameEntry)) {
        TMV_NET_TEMP_ALARM_G1 alarm;
        std::memset(&alarm, 0, sizeof alarm);
        const int status = DeviceCall::run(TMV_NET_QueryFrameTempAlarmConfig_G1, m_handle, &alarm);
        if (status != 0) {
            MsgBox::Instance()->ShowResult(tr("Get atr frame rule temp"), status);
            return;
        }
        ShowG1Alarm(alarm);
        return;
    }
    const auto found = ruleKeyMap.constFind(ui->atrTypeCombo->currentIndex() - 1);
    if (found == ruleKeyMap.constEnd())
        return;
    const TMV_NET_TEMP_RULE_KEY key = *found;
    TMV_NET_TEMP_RULE_G1 rule;
    std::memset(&rule, 0, sizeof rule);
    int32_t returned = 0;
    const int status = DeviceCall::run(TMV_NET_QueryTempRule_G1, m_handle, &key, &rule, 1, &returned);
    if (status != 0) {
        MsgBox::Instance()->ShowResult(tr("Get atr rule temp "), status);
        return;
    }
    ShowG1Alarm(rule.alarm);
}

void TempAlarmPage::OnSetAtrOneAlarmInfoBtnClicked()
{
    if (ui->atrSwitchCombo->currentIndex() < 0)
        return;
    TempRuleText::TieredTexts texts;
    texts.lowTemp = ui->lowTempEdit->text();
    texts.lowLevel1 = ui->lowLevelOneTempEdit->text();
    texts.lowLevel2 = ui->lowLevelTwoTempEdit->text();
    texts.lowLevel3 = ui->lowLevelThreeTempEdit->text();
    texts.highTemp = ui->highTempEdit->text();
    texts.highLevel1 = ui->highLevelOneTempEdit->text();
    texts.highLevel2 = ui->highLevelTwoTempEdit->text();
    texts.highLevel3 = ui->highLevelThreeTempEdit->text();
    texts.delay = ui->atrDelayEdit->text();
    if (ui->atrTypeCombo->currentIndex() < 0 || !TempRuleText::TieredThresholdsValid(texts)) {
        QMessageBox::critical(this, tr("Error"), tr("Set temp alarm param wrong!"));
        return;
    }

    TMV_NET_TEMP_ALARM_G1 alarm;
    std::memset(&alarm, 0, sizeof alarm);
    alarm.alarmSwitch = TempRuleText::SwitchOfPosition(ui->atrSwitchCombo->currentIndex());
    alarm.delay = texts.delay.toInt();
    alarm.lowTemp = texts.lowTemp.toFloat();
    alarm.lowLevels[0] = texts.lowLevel1.toFloat();
    alarm.lowLevels[1] = texts.lowLevel2.toFloat();
    alarm.lowLevels[2] = texts.lowLevel3.toFloat();
    alarm.highTemp = texts.highTemp.toFloat();
    alarm.highLevels[0] = texts.highLevel1.toFloat();
    alarm.highLevels[1] = texts.highLevel2.toFloat();
    alarm.highLevels[2] = texts.highLevel3.toFloat();
    alarm.highEnable = ui->highEnableCheck->isChecked() ? 1 : 0;
    alarm.lowEnable = ui->lowEnableCheck->isChecked() ? 1 : 0;
    alarm.reserved = 0;

    const QString type = ui->atrTypeCombo->currentText();
    if (type == QLatin1String(kFrameEntry)) {
        const int status = DeviceCall::run(TMV_NET_UpdateFrameTempAlarmConfig_G1, m_handle, &alarm);
        if (status != 0)
            MsgBox::Instance()->ShowResult(tr("Set frame temp alarm rule"), status);
        return;
    }
    TMV_NET_TEMP_RULE_G1 rule;
    std::memset(&rule, 0, sizeof rule);
    // The device numbers G1 rules by their list position.
    rule.ruleId = ui->atrTypeCombo->currentIndex() - 1;
    rule.ruleType = TempRuleText::RuleTypeOfText(type);
    rule.alarm = alarm;
    const int status = DeviceCall::run(TMV_NET_UpdateTempRule_G1, m_handle, &rule);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("Set temp alarm rule"), status);
}
