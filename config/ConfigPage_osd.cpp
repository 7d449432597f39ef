// The OSD groups: date/time title, channel title and laser-distance reading,
// each on the main window's live channel.
#include "ConfigPage.h"
#include "ui_ConfigPage.h"

void ConfigPage::onDateTitleGetBtnClicked()
{
}

void ConfigPage::onDateTitleSetBtnClicked()
{
}

void ConfigPage::onChannelTitleGetBtnClicked()
{
}

void ConfigPage::onChannelTitleSetBtnClicked()
{
}

void ConfigPage::OnLaserOSDGetBtnClicked()
{
}

void ConfigPage::OnLaserOSDSetBtnClicked()
{
}
