// The "Preset", "Cruise group" and "Patrol" tabs: presets, tours and
// patterns, and the preset and tour queries the other tabs share.
#include "PTZPage.h"
#include "ui_PTZPage.h"

#include "MainWindow.h"

bool PTZPage::QueryPresets()
{
    return false;
}

bool PTZPage::QueryTours()
{
    return false;
}

void PTZPage::RefreshPatterns()
{
}

void PTZPage::OnPresetComboChanged(int /*row*/)
{
}

void PTZPage::OnPresetGetAllButtonClicked()
{
}

void PTZPage::OnPresetDeleteAllButtonClicked()
{
}

void PTZPage::OnGetCurrentPresetBtnClicked()
{
}

void PTZPage::OnSaveButtonClicked()
{
}

void PTZPage::OnMoveToButtonClicked()
{
}

void PTZPage::OnDeleteButtonClicked()
{
}

void PTZPage::OnCruiseComboChanged(int /*row*/)
{
}

void PTZPage::OnCruiseGetAllButtonClicked()
{
}

void PTZPage::OnCruiseDeleteAllButtonClicked()
{
}

void PTZPage::OnAddPresetButtonClicked()
{
}

void PTZPage::OnDeletePresetButtonClicked()
{
}

void PTZPage::OnCruiseSaveButtonClicked()
{
}

void PTZPage::OnCruiseDeleteButtonClicked()
{
}

void PTZPage::OnCruiseStartButtonClicked()
{
}

void PTZPage::OnPatrolComboChanged(int /*row*/)
{
}

void PTZPage::OnPatrolGetAllButtonClicked()
{
}

void PTZPage::OnPatrolDeleteAllButtonClicked()
{
}

void PTZPage::OnStartPatrolButtonClicked()
{
}

void PTZPage::OnStartRecordButtonClicked()
{
}
