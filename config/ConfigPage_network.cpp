// The device's IP configuration and the maintenance actions: reboot, restart
// and factory reset.
#include "config/ConfigPage.h"
#include "ui_ConfigPage.h"

#include <QMessageBox>

#include <cstring>

#include "common/DeviceCall.h"
#include "config/ConfigConvert.h"

using ConfigConvert::IpField;

void ConfigPage::onIPConfigGetBtnClicked()
{
    TMV_NET_IP_CONFIG config;
    std::memset(&config, 0, sizeof config);
    const int32_t status = DeviceCall::run(TMV_NET_GetIpConfig, m_handle, &config);
    if (!Report(tr("GetIPConfig"), status))
        return;
    const ConfigConvert::IpConfigTexts texts = ConfigConvert::IpConfigTextsOf(config);
    ui->ipNameEdit->setText(TextOf(config.name));
    ui->macEdit->setText(texts.mac);
    ui->ipEdit->setText(texts.ip);
    ui->subnetMaskEdit->setText(texts.subnetMask);
    ui->getwayEdit->setText(texts.gateway);
    ui->defaultDnsEdit->setText(texts.defaultDns);
    ui->standbuDnsEdit->setText(texts.standbyDns);
    ui->dhcpEnableCheck->setChecked(config.dhcpEnable != 0);
}

void ConfigPage::onIPConfigSetBtnClicked()
{
    ConfigConvert::IpConfigTexts texts;
    texts.mac = ui->macEdit->text();
    texts.ip = ui->ipEdit->text();
    texts.subnetMask = ui->subnetMaskEdit->text();
    texts.gateway = ui->getwayEdit->text();
    texts.defaultDns = ui->defaultDnsEdit->text();
    texts.standbyDns = ui->standbuDnsEdit->text();

    // The name is not the form's to set: it goes empty, which the device
    // takes as "keep the stored name".
    TMV_NET_IP_CONFIG config;
    std::memset(&config, 0, sizeof config);
    const IpField tooLong = ConfigConvert::FillIpConfig(config, ui->dhcpEnableCheck->isChecked(), texts);
    if (tooLong != IpField::None) {
        QString what;
        int most = 0;
        switch (tooLong) {
        case IpField::Mac:
            what = tr("The MAC address");
            most = int(sizeof config.mac) - 1;
            break;
        case IpField::Ip:
            what = tr("The ip");
            most = int(sizeof config.ip) - 1;
            break;
        case IpField::SubnetMask:
            what = tr("The subnetMask");
            most = int(sizeof config.subnetMask) - 1;
            break;
        case IpField::Gateway:
            what = tr("The gateway");
            most = int(sizeof config.gateway) - 1;
            break;
        case IpField::DefaultDns:
            what = tr("The defaultDns");
            most = int(sizeof config.defaultDns) - 1;
            break;
        case IpField::StandbyDns:
        case IpField::None:
            what = tr("The standbyDns");
            most = int(sizeof config.standbyDns) - 1;
            break;
        }
        // Refused, not cut: a cut address names another host. Nothing sent.
        QMessageBox::critical(this, tr("Error"),
                              tr("%1 is too long: at most %2 bytes in UTF-8.").arg(what).arg(most));
        return;
    }
    const int32_t status = DeviceCall::run(TMV_NET_SetIpConfig, m_handle, &config);
    Report(tr("SetIPConfig"), status);
}

void ConfigPage::OnDevRebootBtnClicked()
{
    Report(tr("Dev Reboot"), DeviceCall::run(TMV_NET_SystemReboot, m_handle));
}

void ConfigPage::OnDevRestartBtnClicked()
{
    Report(tr("Dev Restart"), DeviceCall::run(TMV_NET_SystemRestart, m_handle));
}

void ConfigPage::OnDevFactoryBtnClicked()
{
    Report(tr("Dev Restore Factory"), DeviceCall::run(TMV_NET_RestoreFactoryDefaults, m_handle));
}
