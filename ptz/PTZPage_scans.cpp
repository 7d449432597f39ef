// The "Area scan", "Boot action" and "Park action" tabs: area scans, the
// boot and park actions and the number lists they share.
#include "PTZPage.h"
#include "ui_PTZPage.h"

#include "MainWindow.h"

void PTZPage::ListAreaScans()
{
}

void PTZPage::ResetAreaScanFields()
{
}

void PTZPage::SelectListNumber(QComboBox * /*combo*/, int /*number*/)
{
}

void PTZPage::OnGetAllAreaScanInfoBtnClicked()
{
}

void PTZPage::OnGetOneAreaScanBtnClicked()
{
}

void PTZPage::OnSetAreaScanInfoBtnClicked()
{
}

void PTZPage::OnAreaScanStartBtnClicked()
{
}

void PTZPage::OnAreaScanStopBtnClicked()
{
}

void PTZPage::OnDeleteOneAreaScanBtnClicked()
{
}

void PTZPage::OnDeleteAllAreaScanBtnClicked()
{
}

void PTZPage::OnBootRefreshBtnClicked()
{
}

void PTZPage::OnBootConfirmBtnClicked()
{
}

void PTZPage::OnParkRefreshBtnClicked()
{
}

void PTZPage::OnParkConfirmBtnClicked()
{
}

void PTZPage::OnBootPresetRadioBtnClicked()
{
}

void PTZPage::OnBootTourRadioBtnClicked()
{
}

void PTZPage::OnBootPatternRadioBtnClicked()
{
}

void PTZPage::OnBootAreaScanRadioBtnClicked()
{
}

void PTZPage::OnBootLineScanRadioBtnClicked()
{
}

void PTZPage::OnBootAutoResetRadioBtnClicked()
{
}
