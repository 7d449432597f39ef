// The "Preset", "Cruise group" and "Patrol" tabs: the preset and tour
// queries the other tabs share, preset naming and recall, the tour table and
// the pattern toggles.
#include "ptz/PTZPage.h"
#include "ui_PTZPage.h"

#include <QComboBox>
#include <QItemSelectionModel>
#include <QMessageBox>
#include <QTableWidget>
#include <QThread>

#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <vector>

#include "common/DeviceCall.h"
#include "common/ListQuery.h"
#include "common/MsgBox.h"
#include "ptz/PatternQuery.h"
#include "ptz/PtzRecords.h"

using PtzRecords::FieldText;
using PtzRecords::ListText;

namespace {

// The preset record of the row a combo box shows; id 0 when the row holds no
// preset (nothing listed yet).
TMV_NET_PRESET_INFO PresetOfRow(const QMap<int, TMV_NET_PRESET_INFO> &presets, int row, const QString &name)
{
    const auto found = presets.constFind(row);
    return PtzRecords::PresetRecord(found != presets.constEnd() ? found->id : 0, name);
}

// A tour record with only its id filled, as start, stop and delete send it.
std::unique_ptr<TMV_NET_TOUR_INFO> TourOfRow(const QMap<int, TMV_NET_TOUR_INFO> &tours, int row)
{
    auto tour = std::make_unique<TMV_NET_TOUR_INFO>();
    std::memset(tour.get(), 0, sizeof *tour);
    const auto found = tours.constFind(row);
    if (found != tours.constEnd())
        tour->id = found->id;
    return tour;
}

QString PresetName(const TMV_NET_PRESET_INFO &preset)
{
    return QString::fromUtf8(FieldText(preset.name));
}

// The list of a tour row: the stored presets by name, each with its id as
// user data. `presetId` picks the item; null picks the first.
QComboBox *PresetChoice(const QMap<int, TMV_NET_PRESET_INFO> &presets, const int32_t *presetId)
{
    auto *combo = new QComboBox;
    int selected = -1;
    for (auto it = presets.cbegin(); it != presets.cend(); ++it) {
        if (it->enable == 0)
            continue;
        combo->addItem(PresetName(*it), it->id);
        if (presetId && it->id == *presetId)
            selected = combo->count() - 1;
    }
    // A stop whose preset is no longer stored shows no preset, rather than
    // another one that a save would then write into the tour.
    combo->setCurrentIndex(presetId ? selected : 0);
    return combo;
}

void SetTourRow(QTableWidget *table, int row, QComboBox *choice, const QString &residence)
{
    table->setItem(row, 0, new QTableWidgetItem);
    table->setCellWidget(row, 0, choice);
    table->setItem(row, 1, new QTableWidgetItem(residence));
}

} // namespace

bool PTZPage::QueryPresets()
{
    std::vector<TMV_NET_PRESET_INFO> presets;
    if (!QueryPresetList(m_handle, tr("QueryPtzPresetSize"), tr("QueryPtzPreset"), presets))
        return false;
    for (size_t i = 0; i < presets.size(); ++i)
        m_presetMap.insert(int(i), presets[i]);
    return true;
}

bool PTZPage::QueryTours()
{
    std::vector<TMV_NET_TOUR_INFO> tours;
    const bool listed = QueryList(
        [this](int32_t *count) { return DeviceCall::run(TMV_NET_QueryPtzTourSize, m_handle, count); }, tr("QueryPtzTourSize"),
        [this](TMV_NET_TOUR_INFO *array, int32_t capacity, int32_t *returned) {
            return DeviceCall::run(TMV_NET_QueryPtzTour, m_handle, 1, array, capacity, returned);
        },
        tr("QueryPtzTour"), tours);
    if (!listed)
        return false;
    for (size_t i = 0; i < tours.size(); ++i)
        m_tourMap.insert(int(i), tours[i]);
    return true;
}

// ---- Preset tab -------------------------------------------------------------

void PTZPage::OnPresetGetAllButtonClicked()
{
    m_presetMap.clear();
    if (!QueryPresets())
        return;
    ui->presetCombo->clear();
    for (auto it = m_presetMap.cbegin(); it != m_presetMap.cend(); ++it)
        ui->presetCombo->addItem(ListText(it->id, it->enable));
    ui->presetCombo->setCurrentIndex(0);
}

void PTZPage::OnPresetComboChanged(int row)
{
    const auto found = m_presetMap.constFind(row);
    if (found != m_presetMap.constEnd())
        ui->presetNameEdit->setText(PresetName(*found));
}

void PTZPage::OnSaveButtonClicked()
{
    // Renaming is the point of Save: a name the field cannot hold whole is
    // refused rather than stored cut.
    if (!PtzRecords::NameFits(ui->presetNameEdit->text())) {
        QMessageBox::critical(this, tr("Error"), tr("The name is longer than 255 bytes in UTF-8."), QMessageBox::Ok);
        return;
    }
    const TMV_NET_PRESET_INFO preset =
        PresetOfRow(m_presetMap, ui->presetCombo->currentIndex(), ui->presetNameEdit->text());
    int status = DeviceCall::run(TMV_NET_PtzPresetControl, m_handle, 1, &preset);
    if (status != 0) {
        MsgBox::Instance()->ShowResult(tr("PTZ control rename"), status);
        return;
    }
    // The head needs a moment between the rename and the store; the window
    // goes on meanwhile.
    status = DeviceCall::run([this, &preset] {
        QThread::msleep(200);
        return TMV_NET_PtzPresetControl(m_handle, 0, &preset);
    });
    if (status != 0) {
        MsgBox::Instance()->ShowResult(tr("PTZ control add"), status);
        return;
    }
    OnPresetGetAllButtonClicked();
}

void PTZPage::OnMoveToButtonClicked()
{
    // The device goes by the id here; a name too long is sent cut.
    const TMV_NET_PRESET_INFO preset =
        PresetOfRow(m_presetMap, ui->presetCombo->currentIndex(), ui->presetNameEdit->text());
    const int status = DeviceCall::run(TMV_NET_PtzPresetControl, m_handle, 2, &preset);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("PTZ control move to"), status);
}

void PTZPage::OnDeleteButtonClicked()
{
    const TMV_NET_PRESET_INFO preset =
        PresetOfRow(m_presetMap, ui->presetCombo->currentIndex(), ui->presetNameEdit->text());
    const int status = DeviceCall::run(TMV_NET_PtzPresetControl, m_handle, 3, &preset);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("Delete preset"), status);
    OnPresetGetAllButtonClicked();
}

void PTZPage::OnPresetDeleteAllButtonClicked()
{
    TMV_NET_PRESET_INFO preset;
    std::memset(&preset, 0, sizeof preset);
    const int status = DeviceCall::run(TMV_NET_PtzPresetControl, m_handle, 4, &preset);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("PTZ control deleteallPtzPreset"), status);
    ui->presetCombo->clear();
    OnPresetGetAllButtonClicked();
}

void PTZPage::OnGetCurrentPresetBtnClicked()
{
    int32_t id = -1;
    const int status = DeviceCall::run(TMV_NET_QueryPtzPresetId, m_handle, &id);
    if (status != 0) {
        MsgBox::Instance()->ShowResult(tr("Query Current Preset"), status);
        return;
    }
    // Preset n is listed on row n - 1.
    const int row = id - 1;
    ui->presetCombo->setCurrentIndex(row >= 0 && row < ui->presetCombo->count() ? row : -1);
}

// ---- Cruise group tab -------------------------------------------------------

void PTZPage::OnCruiseGetAllButtonClicked()
{
    m_tourMap.clear();
    // The preset names of the table's lists come with the tours.
    if (!QueryTours() || !QueryPresets())
        return;
    ui->cruiseCombo->clear();
    for (auto it = m_tourMap.cbegin(); it != m_tourMap.cend(); ++it)
        ui->cruiseCombo->addItem(ListText(it->id, it->enable));
    ui->cruiseCombo->setCurrentIndex(0);
}

void PTZPage::OnCruiseComboChanged(int row)
{
    const auto found = m_tourMap.constFind(row);
    if (found == m_tourMap.constEnd())
        return;
    const TMV_NET_TOUR_INFO &tour = *found;
    ui->cruiseNameEdit->setText(QString::fromUtf8(FieldText(tour.name)));
    // The device's count is its word only up to the points the record holds.
    const int stops = PtzRecords::ShownStops(tour);
    ui->tableWidget->setRowCount(stops);
    for (int k = 0; k < stops; ++k) {
        const TMV_NET_TOUR_POINT &point = tour.points[k];
        SetTourRow(ui->tableWidget, k, PresetChoice(m_presetMap, &point.preset.id),
                   QString::number(point.residenceTime));
    }
}

void PTZPage::OnAddPresetButtonClicked()
{
    if (m_presetMap.isEmpty()) {
        QMessageBox::critical(this, tr("Error"), tr("No preset."), QMessageBox::Ok);
        return;
    }
    const int row = ui->tableWidget->rowCount();
    ui->tableWidget->insertRow(row);
    SetTourRow(ui->tableWidget, row, PresetChoice(m_presetMap, nullptr), QStringLiteral("10"));
}

void PTZPage::OnDeletePresetButtonClicked()
{
    // Each row with a selected cell goes once, from the bottom up, so no
    // removal shifts a row still to be removed.
    std::set<int, std::greater<int>> rows;
    const QModelIndexList selected = ui->tableWidget->selectionModel()->selectedIndexes();
    for (const QModelIndex &index : selected)
        rows.insert(index.row());
    for (int row : rows)
        ui->tableWidget->removeRow(row);
}

void PTZPage::OnCruiseSaveButtonClicked()
{
    QVector<PtzRecords::TourStop> stops;
    stops.reserve(ui->tableWidget->rowCount());
    for (int k = 0; k < ui->tableWidget->rowCount(); ++k) {
        PtzRecords::TourStop stop{0, QString(), QString()};
        if (auto *combo = qobject_cast<QComboBox *>(ui->tableWidget->cellWidget(k, 0))) {
            if (combo->currentIndex() >= 0) {
                stop.presetId = combo->currentData(Qt::UserRole).toInt();
                stop.presetName = combo->currentText();
            }
        }
        if (QTableWidgetItem *item = ui->tableWidget->item(k, 1))
            stop.residence = item->text();
        stops.append(stop);
    }

    const auto found = m_tourMap.constFind(ui->cruiseCombo->currentIndex());
    const int32_t id = found != m_tourMap.constEnd() ? found->id : 0;
    auto tour = std::make_unique<TMV_NET_TOUR_INFO>();
    switch (PtzRecords::BuildTour(id, ui->cruiseNameEdit->text(), stops, tour.get())) {
    case PtzRecords::TourFit::TooManyStops:
        // Nothing is sent and the table stays as edited, to be cut down.
        QMessageBox::critical(this, tr("Error"),
                              tr("A tour holds at most %1 presets; this one has %2.")
                                  .arg(TMV_NET_MAX_TOUR_POINTS)
                                  .arg(stops.size()),
                              QMessageBox::Ok);
        return;
    case PtzRecords::TourFit::NameTooLong:
        QMessageBox::critical(this, tr("Error"), tr("The name is longer than 255 bytes in UTF-8."), QMessageBox::Ok);
        return;
    case PtzRecords::TourFit::Fits:
        break;
    }
    const int status = DeviceCall::run(TMV_NET_PtzTourControl, m_handle, 0, tour.get());
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("PtzTour rename"), status);
    OnCruiseGetAllButtonClicked();
}

void PTZPage::OnCruiseDeleteButtonClicked()
{
    const auto tour = TourOfRow(m_tourMap, ui->cruiseCombo->currentIndex());
    const int status = DeviceCall::run(TMV_NET_PtzTourControl, m_handle, 3, tour.get());
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("PtzTour delete"), status);
    OnCruiseGetAllButtonClicked();
}

void PTZPage::OnCruiseDeleteAllButtonClicked()
{
    auto tour = std::make_unique<TMV_NET_TOUR_INFO>();
    std::memset(tour.get(), 0, sizeof *tour);
    const int status = DeviceCall::run(TMV_NET_PtzTourControl, m_handle, 4, tour.get());
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("Delete all PtzTour"), status);
    OnCruiseGetAllButtonClicked();
}

void PTZPage::OnCruiseStartButtonClicked()
{
    const auto tour = TourOfRow(m_tourMap, ui->cruiseCombo->currentIndex());
    if (ui->cruiseStartBtn->text() == tr("Start")) {
        const int status = DeviceCall::run(TMV_NET_PtzTourControl, m_handle, 1, tour.get());
        if (status != 0)
            MsgBox::Instance()->ShowResult(tr("PtzTour start"), status);
        else
            ui->cruiseStartBtn->setText(tr("Stop"));
    } else if (ui->cruiseStartBtn->text() == tr("Stop")) {
        const int status = DeviceCall::run(TMV_NET_PtzTourControl, m_handle, 2, tour.get());
        if (status != 0)
            MsgBox::Instance()->ShowResult(tr("PtzTour stop"), status);
        else
            ui->cruiseStartBtn->setText(tr("Start"));
    }
}

// ---- Patrol tab -------------------------------------------------------------

void PTZPage::OnPatrolGetAllButtonClicked()
{
    RefreshPatterns();
}

void PTZPage::RefreshPatterns()
{
    std::vector<TMV_NET_PATTERN_INFO> patterns;
    if (!QueryPatterns(m_handle, patterns))
        return;
    ui->patrolCombo->clear();
    for (const TMV_NET_PATTERN_INFO &pattern : patterns)
        ui->patrolCombo->addItem(ListText(pattern.id, pattern.enable));
    ui->patrolCombo->setCurrentIndex(0);
}

void PTZPage::OnPatrolComboChanged(int)
{
    // Only a recorded pattern can be played; a patrol already playing can
    // always be stopped.
    const bool recorded = ui->patrolCombo->currentText().contains(QLatin1Char('*'));
    ui->startPatrolBtn->setEnabled(recorded || ui->startPatrolBtn->text() == tr("StopPatrol"));
}

void PTZPage::OnStartPatrolButtonClicked()
{
    // Pattern n is listed on row n - 1.
    const int32_t pattern = ui->patrolCombo->currentIndex() + 1;
    if (ui->startPatrolBtn->text() == tr("StartPatrol")) {
        const int status = DeviceCall::run(TMV_NET_PtzPatternControl, m_handle, 2, pattern);
        if (status != 0)
            MsgBox::Instance()->ShowResult(tr("PtzPattern start patrol"), status);
        else
            ui->startPatrolBtn->setText(tr("StopPatrol"));
    } else if (ui->startPatrolBtn->text() == tr("StopPatrol")) {
        const int status = DeviceCall::run(TMV_NET_PtzPatternControl, m_handle, 3, pattern);
        if (status != 0) {
            MsgBox::Instance()->ShowResult(tr("PtzPattern stop patrol"), status);
        } else {
            ui->startPatrolBtn->setText(tr("StartPatrol"));
            OnPatrolComboChanged(ui->patrolCombo->currentIndex());
        }
    }
}

void PTZPage::OnStartRecordButtonClicked()
{
    const int32_t pattern = ui->patrolCombo->currentIndex() + 1;
    if (ui->startRecordBtn->text() == tr("StartRecord")) {
        const int status = DeviceCall::run(TMV_NET_PtzPatternControl, m_handle, 0, pattern);
        if (status != 0)
            MsgBox::Instance()->ShowResult(tr("PtzPattern start record"), status);
        else
            ui->startRecordBtn->setText(tr("StopRecord"));
    } else if (ui->startRecordBtn->text() == tr("StopRecord")) {
        const int status = DeviceCall::run(TMV_NET_PtzPatternControl, m_handle, 1, pattern);
        if (status != 0) {
            MsgBox::Instance()->ShowResult(tr("PtzPattern stop record"), status);
            return;
        }
        // The new pattern is listed before the button offers to record again.
        RefreshPatterns();
        ui->startRecordBtn->setText(tr("StartRecord"));
    }
}

void PTZPage::OnPatrolDeleteAllButtonClicked()
{
    const int status = DeviceCall::run(TMV_NET_PtzPatternControl, m_handle, 4, 0);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("PtzPattern delete all"), status);
    RefreshPatterns();
}
