// The "Area scan", "Boot action" and "Park action" tabs: area scans and their
// start and stop presets, and the boot and park actions with the number lists
// both tabs share.
#include "ptz/PTZPage.h"
#include "ui_PTZPage.h"

#include <QComboBox>

#include <cstring>
#include <vector>

#include "common/CountClamp.h"
#include "common/DeviceCall.h"
#include "common/MsgBox.h"
#include "ptz/PatternQuery.h"
#include "ptz/PtzRecords.h"

using PtzRecords::Action;

namespace {

// The device's area scans. Neither status is looked at: a failure shows as
// an empty list. Never more records than the array held, whatever count
// comes back, and an array no larger than ListCapacity allows.
std::vector<TMV_NET_REGION_SCAN_INFO> QueryAreaScans(TMV_NET_HANDLE handle)
{
    int32_t count = 0;
    DeviceCall::run(TMV_NET_QueryPtzRegionScanInfoSize, handle, &count);
    std::vector<TMV_NET_REGION_SCAN_INFO> scans(ListCapacity<TMV_NET_REGION_SCAN_INFO>(count));
    const int32_t capacity = int32_t(scans.size());
    int32_t returned = 0;
    DeviceCall::run(TMV_NET_QueryPtzRegionScanInfo, handle, scans.data(), capacity, &returned);
    scans.resize(size_t(ClampCount(returned, capacity)));
    return scans;
}

QStringList ItemsOf(const QComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

// The boot and the park number lists, filled alike.
struct ActionLists
{
    QComboBox *boot;
    QComboBox *park;

    void clear() const
    {
        boot->clear();
        park->clear();
    }
    void add(int32_t number) const
    {
        boot->addItem(QString::number(number));
        park->addItem(QString::number(number));
    }
};

ActionLists ListsOf(const Ui::PTZPageClass &form)
{
    return ActionLists{form.BootComboBox, form.parkComboBox};
}

} // namespace

void PTZPage::ResetAreaScanFields()
{
    ui->clockwiseBtn->setChecked(true);
    ui->areaScanSpeedEdit->setText(QString());
    ui->areaScanGradientEdit->setText(QString());
}

// ---- Area scan tab ----------------------------------------------------------

void PTZPage::OnGetAllAreaScanInfoBtnClicked()
{
    ListAreaScans();
}

void PTZPage::ListAreaScans()
{
    m_areaScanMap.clear();
    ui->startPresetCombo->clear();
    ui->stopPresetCombo->clear();
    ui->areaScanCombo->clear();

    for (const TMV_NET_REGION_SCAN_INFO &scan : QueryAreaScans(m_handle)) {
        ui->areaScanCombo->addItem(QString::number(scan.id));
        m_areaScanMap.insert(scan.id, scan);
    }

    m_presetMap.clear();
    if (!QueryPresets())
        return;
    for (auto it = m_presetMap.cbegin(); it != m_presetMap.cend(); ++it) {
        if (it->enable == 0)
            continue;
        ui->startPresetCombo->addItem(QString::number(it->id));
        ui->stopPresetCombo->addItem(QString::number(it->id));
    }
}

void PTZPage::OnGetOneAreaScanBtnClicked()
{
    const auto found = m_areaScanMap.constFind(PtzRecords::Number(ui->areaScanCombo->currentText()));
    if (found == m_areaScanMap.constEnd())
        return;
    const TMV_NET_REGION_SCAN_INFO &scan = *found;
    if (scan.direction == 1)
        ui->clockwiseBtn->setChecked(true);
    else
        ui->counterClockWiseBtn->setChecked(true);
    ui->areaScanSpeedEdit->setText(QString::number(scan.speed));
    ui->areaScanGradientEdit->setText(QString::number(scan.gradient, 'g', 6));
    // A preset that is not listed (0 = none, or one deleted since) shows as
    // no selection, not as the one a previous "Get" left there.
    ui->startPresetCombo->setCurrentIndex(
        PtzRecords::LastIndexOf(ItemsOf(ui->startPresetCombo), scan.startPreset));
    ui->stopPresetCombo->setCurrentIndex(PtzRecords::LastIndexOf(ItemsOf(ui->stopPresetCombo), scan.stopPreset));
}

void PTZPage::OnSetAreaScanInfoBtnClicked()
{
    const TMV_NET_REGION_SCAN_INFO scan = PtzRecords::AreaScanRecord(
        ui->areaScanCombo->currentText(), ui->clockwiseBtn->isChecked(), ui->areaScanSpeedEdit->text(),
        ui->startPresetCombo->currentText(), ui->stopPresetCombo->currentText(), ui->areaScanGradientEdit->text());
    const int status = DeviceCall::run(TMV_NET_SetPtzRegionScanInfo, m_handle, &scan);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("SetPtzRegionScanInfo"), status);
}

void PTZPage::OnAreaScanStartBtnClicked()
{
    const int status =
        DeviceCall::run(TMV_NET_PtzRegionScanControl, m_handle, PtzRecords::Number(ui->areaScanCombo->currentText()), true);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("PtzRegionScanControl"), status);
}

void PTZPage::OnAreaScanStopBtnClicked()
{
    const int status =
        DeviceCall::run(TMV_NET_PtzRegionScanControl, m_handle, PtzRecords::Number(ui->areaScanCombo->currentText()), false);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("PtzRegionScanControl"), status);
}

void PTZPage::OnDeleteOneAreaScanBtnClicked()
{
    const int status =
        DeviceCall::run(TMV_NET_DeletePtzRegionScanInfo, m_handle, PtzRecords::Number(ui->areaScanCombo->currentText()));
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("DeletePtzRegionScanInfo"), status);
    ResetAreaScanFields();
    ListAreaScans();
}

void PTZPage::OnDeleteAllAreaScanBtnClicked()
{
    if (ui->areaScanCombo->count() == 0)
        return;
    for (const QString &number : ItemsOf(ui->areaScanCombo)) {
        const int status = DeviceCall::run(TMV_NET_DeletePtzRegionScanInfo, m_handle, PtzRecords::Number(number));
        if (status != 0)
            MsgBox::Instance()->ShowResult(tr("DeletePtzRegionScanInfo"), status);
    }
    ResetAreaScanFields();
    ListAreaScans();
}

// ---- Boot and park number lists ----------------------------------------------
// Each list slot fills the boot and the park list alike, whichever tab's
// radio button was clicked.

void PTZPage::OnBootPresetRadioBtnClicked()
{
    m_presetMap.clear();
    ListsOf(*ui).clear();
    if (!QueryPresets())
        return;
    for (auto it = m_presetMap.cbegin(); it != m_presetMap.cend(); ++it) {
        if (it->enable != 0)
            ListsOf(*ui).add(it->id);
    }
}

void PTZPage::OnBootTourRadioBtnClicked()
{
    m_tourMap.clear();
    ListsOf(*ui).clear();
    QueryTours();
    for (auto it = m_tourMap.cbegin(); it != m_tourMap.cend(); ++it) {
        if (it->enable != 0)
            ListsOf(*ui).add(it->id);
    }
}

void PTZPage::OnBootPatternRadioBtnClicked()
{
    ListsOf(*ui).clear();
    std::vector<TMV_NET_PATTERN_INFO> patterns;
    if (!QueryPatterns(m_handle, patterns))
        return;
    for (const TMV_NET_PATTERN_INFO &pattern : patterns) {
        if (pattern.enable != 0)
            ListsOf(*ui).add(pattern.id);
    }
}

void PTZPage::OnBootAreaScanRadioBtnClicked()
{
    ListsOf(*ui).clear();
    // The area-scan map of the "Area scan" tab is left as its last "GetAll"
    // made it, so its "Get" keeps working.
    const std::vector<TMV_NET_REGION_SCAN_INFO> scans = QueryAreaScans(m_handle);
    for (int32_t number : PtzRecords::OfferedAreaScans(scans.data(), scans.size()))
        ListsOf(*ui).add(number);
}

void PTZPage::OnBootLineScanRadioBtnClicked()
{
    ListsOf(*ui).clear();
    for (int32_t number = 1; number <= 5; ++number)
        ListsOf(*ui).add(number);
}

void PTZPage::OnBootAutoResetRadioBtnClicked()
{
    ui->BootComboBox->clear();
}

void PTZPage::SelectListNumber(QComboBox *combo, int number)
{
    const PtzRecords::ListPick pick = PtzRecords::PickNumber(ItemsOf(combo), number);
    if (pick.clearBoth) {
        ui->BootComboBox->setCurrentIndex(-1);
        ui->parkComboBox->setCurrentIndex(-1);
    } else if (pick.index >= 0) {
        combo->setCurrentIndex(pick.index);
    }
}

// ---- Boot action tab -----------------------------------------------------------

void PTZPage::OnBootRefreshBtnClicked()
{
    TMV_NET_BOOT_ACTION_INFO info;
    std::memset(&info, 0, sizeof info);
    const int status = DeviceCall::run(TMV_NET_QueryPtzBootActionInfo, m_handle, &info);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("QueryPtzBootActionInfo"), status);

    // Shown whatever the result: a failure shows the zeroed record.
    ui->bootEnableCheckBox->setChecked(info.enable != 0);
    const Action action = PtzRecords::ActionOfType(info.type);
    const int32_t number = PtzRecords::NumberOfAction(info, action);
    switch (action) {
    case Action::AutoReset:
        ui->bootAutoResetRadioBtn->setChecked(true);
        ui->BootComboBox->clear();
        break;
    case Action::Preset:
        ui->bootPresetRadioBtn->setChecked(true);
        OnBootPresetRadioBtnClicked();
        SelectListNumber(ui->BootComboBox, number);
        break;
    case Action::Tour:
        ui->bootTourRadioBtn->setChecked(true);
        OnBootTourRadioBtnClicked();
        SelectListNumber(ui->BootComboBox, number);
        break;
    case Action::Pattern:
        ui->bootPatternRadioBtn->setChecked(true);
        OnBootPatternRadioBtnClicked();
        SelectListNumber(ui->BootComboBox, number);
        break;
    case Action::LineScan:
        // The line-scan list is only filled by its (disabled) radio button.
        ui->bootLineScanRadioBtn->setChecked(true);
        break;
    case Action::AreaScan:
        OnBootAreaScanRadioBtnClicked();
        ui->bootAreaScanRadioBtn->setChecked(true);
        SelectListNumber(ui->BootComboBox, number);
        break;
    case Action::None:
        break;
    }
}

void PTZPage::OnBootConfirmBtnClicked()
{
    if (ui->BootComboBox->currentText().isEmpty() && !ui->bootAutoResetRadioBtn->isChecked()) {
        MsgBox::Instance()->ShowResult(tr("Number is empty!"), 3);
        return;
    }
    Action action = Action::None;
    if (ui->bootPresetRadioBtn->isChecked())
        action = Action::Preset;
    else if (ui->bootTourRadioBtn->isChecked())
        action = Action::Tour;
    else if (ui->bootPatternRadioBtn->isChecked())
        action = Action::Pattern;
    else if (ui->bootAreaScanRadioBtn->isChecked())
        action = Action::AreaScan;
    else if (ui->bootLineScanRadioBtn->isChecked())
        action = Action::LineScan;
    else if (ui->bootAutoResetRadioBtn->isChecked())
        action = Action::AutoReset;
    const TMV_NET_BOOT_ACTION_INFO info =
        PtzRecords::BootRecord(action, ui->BootComboBox->currentText(), ui->bootEnableCheckBox->isChecked());
    const int status = DeviceCall::run(TMV_NET_SetPtzBootActionInfo, m_handle, &info);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("SetPtzBootActionInfo"), status);
}

// ---- Park action tab -----------------------------------------------------------

void PTZPage::OnParkRefreshBtnClicked()
{
    TMV_NET_PARK_ACTION_INFO info;
    std::memset(&info, 0, sizeof info);
    const int status = DeviceCall::run(TMV_NET_QueryPtzParkActionInfo, m_handle, &info);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("QueryPtzParkActionInfo"), status);

    ui->parkEnableCheckBox->setChecked(info.enable != 0);
    ui->parkTimeEdit->setText(QString::number(info.dwellTime));
    const Action action = PtzRecords::ActionOfType(info.type);
    const int32_t number = PtzRecords::NumberOfAction(info, action);
    switch (action) {
    case Action::Preset:
        ui->parkPresetRadioBtn->setChecked(true);
        OnBootPresetRadioBtnClicked();
        SelectListNumber(ui->parkComboBox, number);
        break;
    case Action::Tour:
        ui->parkTourRadioBtn->setChecked(true);
        OnBootTourRadioBtnClicked();
        SelectListNumber(ui->parkComboBox, number);
        break;
    case Action::Pattern:
        ui->parkPatternRadioBtn->setChecked(true);
        OnBootPatternRadioBtnClicked();
        SelectListNumber(ui->parkComboBox, number);
        break;
    case Action::LineScan:
        ui->parkLineScanRadioBtn->setChecked(true);
        break;
    case Action::AreaScan:
        OnBootAreaScanRadioBtnClicked();
        ui->parkAreaScanRadioBtn->setChecked(true);
        SelectListNumber(ui->parkComboBox, number);
        break;
    case Action::AutoReset: // no auto reset when parked
    case Action::None:
        break;
    }
}

void PTZPage::OnParkConfirmBtnClicked()
{
    if (ui->parkComboBox->currentText().isEmpty()) {
        MsgBox::Instance()->ShowResult(tr("Number is empty!"), 3);
        return;
    }
    Action action = Action::None;
    if (ui->parkPresetRadioBtn->isChecked())
        action = Action::Preset;
    else if (ui->parkTourRadioBtn->isChecked())
        action = Action::Tour;
    else if (ui->parkPatternRadioBtn->isChecked())
        action = Action::Pattern;
    else if (ui->parkAreaScanRadioBtn->isChecked())
        action = Action::AreaScan;
    else if (ui->parkLineScanRadioBtn->isChecked())
        action = Action::LineScan;
    const TMV_NET_PARK_ACTION_INFO info = PtzRecords::ParkRecord(action, ui->parkComboBox->currentText(),
                                                                 ui->parkTimeEdit->text(),
                                                                 ui->parkEnableCheckBox->isChecked());
    const int status = DeviceCall::run(TMV_NET_SetPtzParkActionInfo, m_handle, &info);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("SetPtzParkActionInfo"), status);
}
