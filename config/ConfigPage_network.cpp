// The device's IP configuration and the maintenance actions: reboot, restart
// and factory reset.
#include "ConfigPage.h"
#include "ui_ConfigPage.h"

void ConfigPage::onIPConfigGetBtnClicked()
{
}

void ConfigPage::onIPConfigSetBtnClicked()
{
}

void ConfigPage::OnDevRebootBtnClicked()
{
}

void ConfigPage::OnDevRestartBtnClicked()
{
}

void ConfigPage::OnDevFactoryBtnClicked()
{
}
