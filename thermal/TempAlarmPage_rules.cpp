// Measurement rules and masks of the "Standard" tab: the rule list with its
// temperatures and settings, and the shielded areas.
#include "thermal/TempAlarmPage.h"
#include "ui_TempAlarmPage.h"

#include <QMessageBox>

#include <cstring>
#include <vector>

#include "common/DeviceCall.h"
#include "common/ListQuery.h"
#include "common/MsgBox.h"
#include "thermal/TempRuleText.h"

void TempAlarmPage::ConnectRuleControls()
{
    connect(ui->getAllRulesBtn, SIGNAL(clicked()), this, SLOT(OnGetAllRulesBtnClicked()));
    connect(ui->deleteAllBtn, SIGNAL(clicked()), this, SLOT(OnDeleteAllRulesBtnClicked()));
    connect(ui->getOneRuleInfoBtn, SIGNAL(clicked()), this, SLOT(OnGetOneRuleInfoBtnClicked()));
    connect(ui->deleteOneRuleInfoBtn, SIGNAL(clicked()), this, SLOT(OnDeleteOneRuleInfoBtnClicked()));
    connect(ui->ROISetBtn, SIGNAL(clicked()), this, SLOT(OnROISetBtnClicked()));
    connect(ui->shieldedGetAllBtn, SIGNAL(clicked()), this, SLOT(OnShieldedGetAllBtnClicked()));
    connect(ui->shieldedDeleteAllBtn, SIGNAL(clicked()), this, SLOT(OnShieldedDeleteAllBtnClicked()));
    connect(ui->shieldedDeleteBtn, SIGNAL(clicked()), this, SLOT(OnShieldedDeleteBtnClicked()));
}

int TempAlarmPage::SelectedPresetPosition()
{
    const int position = ui->presetCombo->currentIndex();
    if (position < 0)
        QMessageBox::critical(this, tr("Error"), tr("Please select the preset!"));
    return position;
}

void TempAlarmPage::OnGetAllRulesBtnClicked()
{
    const int position = SelectedPresetPosition();
    if (position < 0)
        return;
    const TMV_NET_TEMP_RULE_KEY key = TempRuleText::AllRulesKey(position);
    std::vector<TMV_NET_TEMP_RULE> rules;
    const bool listed = QueryList(
        [this, &key](int32_t *count) { return DeviceCall::run(TMV_NET_QueryTempRuleSize, m_handle, &key, count); },
        tr("Get temp rule size"),
        [this, &key](TMV_NET_TEMP_RULE *array, int32_t capacity, int32_t *returned) {
            return DeviceCall::run(TMV_NET_QueryTempRule, m_handle, &key, array, capacity, returned);
        },
        tr("Get temp rule"), rules);
    if (listed)
        FillRuleList(rules.data(), int(rules.size()));
}

void TempAlarmPage::FillRuleList(const TMV_NET_TEMP_RULE *rules, int count)
{
    ruleKeyMap.clear();
    ruleMap.clear();
    ui->ruleCombo->clear();
    for (int i = 0; i < count; ++i) {
        const TMV_NET_TEMP_RULE &rule = rules[i];
        const QString text = TempRuleText::RuleListText(rule.ruleType, rule.ruleId);
        if (text.isEmpty())
            continue;
        ui->ruleCombo->addItem(text);
        const int at = ui->ruleCombo->count() - 1;
        ruleMap.insert(at, rule);
        TMV_NET_TEMP_RULE_KEY ruleKey;
        std::memset(&ruleKey, 0, sizeof ruleKey);
        ruleKey.presetId = rule.presetId;
        ruleKey.ruleType = rule.ruleType;
        ruleKey.ruleId = rule.ruleId;
        ruleKeyMap.insert(at, ruleKey);
    }
    ui->ruleCombo->setCurrentIndex(-1);
}

void TempAlarmPage::OnDeleteAllRulesBtnClicked()
{
    const int position = SelectedPresetPosition();
    if (position < 0)
        return;
    const int status = DeviceCall::run(TMV_NET_DeleteAllTempRule, m_handle, position);
    if (status != 0) {
        MsgBox::Instance()->ShowResult(tr("Delete"), status);
        return;
    }
    OnGetAllRulesBtnClicked();
}

void TempAlarmPage::OnGetOneRuleInfoBtnClicked()
{
    const auto found = ruleKeyMap.constFind(ui->ruleCombo->currentIndex());
    if (found == ruleKeyMap.constEnd())
        return;
    const TMV_NET_TEMP_RULE_KEY key = *found;

    TMV_NET_TEMP_RULE rule;
    std::memset(&rule, 0, sizeof rule);
    int32_t returned = 0;
    int status = DeviceCall::run(TMV_NET_QueryTempRule, m_handle, &key, &rule, 1, &returned);
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

    ui->ruleMaxTempEdit->setText(QString::number(temp.temp.maxTemp, 'f', 2));
    ui->ruleMinTempEdit->setText(QString::number(temp.temp.minTemp, 'f', 2));
    ui->ruleAvgTempEdit->setText(QString::number(temp.temp.avgTemp, 'f', 2));
    ui->ruleCenterTempEdit->setText(QString::number(temp.temp.centerTemp, 'f', 2));
    ui->ruleMaxLineEdit_X->setText(QString::number(temp.temp.maxX));
    ui->ruleMaxLineEdit_Y->setText(QString::number(temp.temp.maxY));
    ui->ruleMinLineEdit_X->setText(QString::number(temp.temp.minX));
    ui->ruleMinLineEdit_Y->setText(QString::number(temp.temp.minY));

    ui->envEnableCheck->setChecked(rule.envEnable != 0);
    ui->emissivityEdit->setText(QString::number(rule.envParam.emissivity, 'g', 6));
    ui->atmosTransEdit->setText(QString::number(rule.envParam.atmosTrans, 'g', 6));
    ui->refTempEdit->setText(QString::number(rule.envParam.refTemp, 'g', 6));
    ui->atmosTempEdit->setText(QString::number(rule.envParam.atmosTemp, 'g', 6));
    ui->distanceEdit->setText(QString::number(rule.envParam.distance, 'g', 6));
    ui->alarmRuleCombo->setCurrentIndex(rule.condition.alarmRule);
    ui->tempDebounceEdit->setText(QString::number(rule.condition.debounce));
    ui->thresholdTempEdit->setText(QString::number(rule.condition.threshold, 'g', 6));
    ui->tempToleranceTempEdit->setText(QString::number(rule.condition.tolerance, 'g', 6));
    ShowLinkage(rule.snapLinkage, ui->ROISnapEnableCheckBox, ui->ROISnapChannel1CheckBox, ui->ROISnapChannel2CheckBox,
                ui->ROISnapDeplayEdit);
    ShowLinkage(rule.recordLinkage, ui->ROIRecordEnableCheckBox, ui->ROIRecordChannel1CheckBox,
                ui->ROIRecordChannel2CheckBox, ui->ROIRecordDeplayEdit);
}

void TempAlarmPage::OnDeleteOneRuleInfoBtnClicked()
{
    const auto found = ruleKeyMap.constFind(ui->ruleCombo->currentIndex());
    if (found == ruleKeyMap.constEnd())
        return;
    const TMV_NET_TEMP_RULE_KEY key = *found;
    const int status = DeviceCall::run(TMV_NET_DeleteTempRule, m_handle, &key);
    if (status != 0) {
        MsgBox::Instance()->ShowResult(tr("delete"), status);
        return;
    }
    OnGetAllRulesBtnClicked();
}

void TempAlarmPage::OnROISetBtnClicked()
{
    // Settings only: the shape goes back as it was listed (a zero rule when
    // nothing is selected).
    TMV_NET_TEMP_RULE rule = ruleMap.value(ui->ruleCombo->currentIndex());
    rule.enable = 1;
    rule.envEnable = ui->envEnableCheck->isChecked() ? 1 : 0;
    rule.envParam.emissivity = ui->emissivityEdit->text().toFloat();
    rule.envParam.atmosTrans = ui->atmosTransEdit->text().toFloat();
    rule.envParam.refTemp = ui->refTempEdit->text().toFloat();
    rule.envParam.atmosTemp = ui->atmosTempEdit->text().toFloat();
    rule.envParam.distance = ui->distanceEdit->text().toFloat();
    rule.condition.alarmRule = TempRuleText::PointRuleAlarmRule(rule.ruleType, ui->alarmRuleCombo->currentIndex());
    rule.condition.threshold = ui->thresholdTempEdit->text().toFloat();
    rule.condition.debounce = ui->tempDebounceEdit->text().toInt();
    rule.condition.tolerance = ui->tempToleranceTempEdit->text().toFloat();
    ReadLinkage(rule.snapLinkage, ui->ROISnapEnableCheckBox, ui->ROISnapChannel1CheckBox, ui->ROISnapChannel2CheckBox,
                ui->ROISnapDeplayEdit);
    ReadLinkage(rule.recordLinkage, ui->ROIRecordEnableCheckBox, ui->ROIRecordChannel1CheckBox,
                ui->ROIRecordChannel2CheckBox, ui->ROIRecordDeplayEdit);

    const int status = DeviceCall::run(TMV_NET_UpdateTempRule, m_handle, &rule);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("Temp rule set"), status);
}

void TempAlarmPage::OnShieldedGetAllBtnClicked()
{
    const int position = ui->presetCombo->currentIndex();
    if (position < 0) {
        QMessageBox::critical(this, tr("Error"), tr("choose preset id"));
        return;
    }
    const TMV_NET_TEMP_MASK_KEY key = {position, -1};
    std::vector<TMV_NET_TEMP_MASK> masks;
    const bool listed = QueryList(
        [this, &key](int32_t *count) { return DeviceCall::run(TMV_NET_QueryTempMaskSize, m_handle, &key, count); },
        tr("QueryTempMaskSize"),
        [this, &key](TMV_NET_TEMP_MASK *array, int32_t capacity, int32_t *returned) {
            return DeviceCall::run(TMV_NET_QueryTempMask, m_handle, &key, array, capacity, returned);
        },
        tr("QueryTempMask"), masks);
    if (!listed)
        return;

    ui->shieldedAreaCombo->clear();
    maskMap.clear();
    for (const TMV_NET_TEMP_MASK &mask : masks) {
        const QString text = tr("SR") + QString::number(mask.maskId);
        ui->shieldedAreaCombo->addItem(text);
        maskMap.insert(text, mask);
    }
}

void TempAlarmPage::OnShieldedDeleteAllBtnClicked()
{
    const int status = DeviceCall::run(TMV_NET_DeleteAllTempMask, m_handle, ui->presetCombo->currentIndex());
    if (status != 0) {
        MsgBox::Instance()->ShowResult(tr("QueryTempMask delete all"), status);
        return;
    }
    OnShieldedGetAllBtnClicked();
}

void TempAlarmPage::OnShieldedDeleteBtnClicked()
{
    // A lookup that finds nothing must not add an entry: the entry count
    // numbers the next mask.
    const TMV_NET_TEMP_MASK_KEY key = {ui->presetCombo->currentIndex(),
                                       maskMap.value(ui->shieldedAreaCombo->currentText()).maskId};
    const int status = DeviceCall::run(TMV_NET_DeleteTempMask, m_handle, &key);
    if (status != 0) {
        MsgBox::Instance()->ShowResult(tr("QueryTempMask delete"), status);
        return;
    }
    OnShieldedGetAllBtnClicked();
}

void TempAlarmPage::OnShielded(int ruleType, QList<QPoint> points)
{
    Q_UNUSED(ruleType);
    if (points.size() < 2)
        return;
    const QPoint p0 = points.at(0);
    const QPoint p1 = points.at(1);
    TMV_NET_TEMP_MASK mask;
    std::memset(&mask, 0, sizeof mask);
    mask.enable = 1;
    mask.presetId = CurrentPresetId();
    mask.maskId = maskMap.size() + 1;
    // Corners as drawn, never reordered.
    mask.points[0] = {p0.x(), p0.y()};
    mask.points[1] = {p1.x(), p0.y()};
    mask.points[2] = {p1.x(), p1.y()};
    mask.points[3] = {p0.x(), p1.y()};
    const int status = DeviceCall::run(TMV_NET_AddTempMask, m_handle, &mask);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("Add Shielded"), status);
}
