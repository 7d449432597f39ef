// The serial transparent channel: hexadecimal bytes to the device's serial
// port and its reply back.
#include "ConfigPage.h"
#include "ui_ConfigPage.h"

void ConfigPage::OnCmdSendBtnClicked()
{
}
