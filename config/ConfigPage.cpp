// Construction, connections, the login handle, clearing at logout and the
// helpers every group of the page shares.
#include "config/ConfigPage.h"
#include "ui_ConfigPage.h"

#include <QMessageBox>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

#include <cstring>

#include "app/MainWindow.h"
#include "common/CopyField.h"
#include "common/MsgBox.h"
#include "config/ConfigText.h"

ConfigPage::ConfigPage(MainWindow *parent)
    : QWidget(parent), ui(new Ui::ConfigPage), m_mainWindow(parent), m_handle(nullptr)
{
    ui->setupUi(this);

    // Each address edit gets its own validator: four numbers 0-255 with dots.
    const QRegularExpression address(QStringLiteral("^((25[0-5]|2[0-4][0-9]|[01]?[0-9][0-9]?)\\.){3}"
                                                    "(25[0-5]|2[0-4][0-9]|[01]?[0-9][0-9]?)$"));
    for (QLineEdit *edit : {ui->ipEdit, ui->subnetMaskEdit, ui->getwayEdit, ui->defaultDnsEdit, ui->standbuDnsEdit})
        edit->setValidator(new QRegularExpressionValidator(address, edit));

    if (m_mainWindow)
        connect(m_mainWindow, SIGNAL(ChangeHandle(TMV_NET_HANDLE)), this, SLOT(OnChangeHandle(TMV_NET_HANDLE)));

    connect(ui->fameRateGetBtn, SIGNAL(clicked()), this, SLOT(onFameRateGetBtnClicked()));
    connect(ui->fameRateSetBtn, SIGNAL(clicked()), this, SLOT(onFameRateSetBtnClicked()));
    connect(ui->synTimeBtn, SIGNAL(clicked()), this, SLOT(onSynTimeBtnClicked()));
    connect(ui->shutterCorrectBtn, SIGNAL(clicked()), this, SLOT(onShutterCorrectBtnClicked()));
    connect(ui->envParaGetBtn, SIGNAL(clicked()), this, SLOT(onEnvParaGetBtnClicked()));
    connect(ui->envParaSetBtn, SIGNAL(clicked()), this, SLOT(onEnvParaSetBtnClicked()));
    connect(ui->osdMasterGetBtn, SIGNAL(clicked()), this, SLOT(onOsdMasterGetBtnClicked()));
    connect(ui->osdMasterSetBtn, SIGNAL(clicked()), this, SLOT(onOsdMasterSetBtnClicked()));
    connect(ui->pseudoColorGetBtn, SIGNAL(clicked()), this, SLOT(onPseudoColorGetBtnClicked()));
    connect(ui->pseudoColorSetBtn, SIGNAL(clicked()), this, SLOT(onPseudoColorSetBtnClicked()));
    connect(ui->paletteGetBtn, SIGNAL(clicked()), this, SLOT(onPaletteGetBtnClicked()));
    connect(ui->paletteSetBtn, SIGNAL(clicked()), this, SLOT(onPaletteSetBtnClicked()));
    connect(ui->gainSwitchGetBtn, SIGNAL(clicked()), this, SLOT(onGainSwitchGetBtnClicked()));
    connect(ui->gainSwitchSetBtn, SIGNAL(clicked()), this, SLOT(onGainSwitchSetBtnClicked()));
    connect(ui->unitGetBtn, SIGNAL(clicked()), this, SLOT(OnUnitGetBtnClicked()));
    connect(ui->unitSetBtn, SIGNAL(clicked()), this, SLOT(OnUnitSetBtnClicked()));
    connect(ui->tempSpanGetBtn, SIGNAL(clicked()), this, SLOT(onTempSpanGetBtnClicked()));
    connect(ui->tempSpanSetBtn, SIGNAL(clicked()), this, SLOT(onTempSpanSetBtnClicked()));
    connect(ui->thermalImageGetBtn, SIGNAL(clicked()), this, SLOT(OnThermalImageGetBtnClicked()));
    connect(ui->thermalImageSetBtn, SIGNAL(clicked()), this, SLOT(OnThermalImageSetBtnClicked()));
    connect(ui->thermalVideoEnhanceGetBtn, SIGNAL(clicked()), this, SLOT(OnThermalVideoEnhanceGetBtnClicked()));
    connect(ui->thermalVideoEnhanceSetBtn, SIGNAL(clicked()), this, SLOT(OnThermalVideoEnhanceSetBtnClicked()));

    connect(ui->dateTitleGetBtn, SIGNAL(clicked()), this, SLOT(onDateTitleGetBtnClicked()));
    connect(ui->dateTitleSetBtn, SIGNAL(clicked()), this, SLOT(onDateTitleSetBtnClicked()));
    connect(ui->channelTitleGetBtn, SIGNAL(clicked()), this, SLOT(onChannelTitleGetBtnClicked()));
    connect(ui->channelTitleSetBtn, SIGNAL(clicked()), this, SLOT(onChannelTitleSetBtnClicked()));
    connect(ui->laserOSDGetBtn, SIGNAL(clicked()), this, SLOT(OnLaserOSDGetBtnClicked()));
    connect(ui->laserOSDSetBtn, SIGNAL(clicked()), this, SLOT(OnLaserOSDSetBtnClicked()));
    connect(ui->ipConfigGetBtn, SIGNAL(clicked()), this, SLOT(onIPConfigGetBtnClicked()));
    connect(ui->ipConfigSetBtn, SIGNAL(clicked()), this, SLOT(onIPConfigSetBtnClicked()));
    connect(ui->sendCmdBtn, SIGNAL(clicked()), this, SLOT(OnCmdSendBtnClicked()));
    connect(ui->devRebootBtn, SIGNAL(clicked()), this, SLOT(OnDevRebootBtnClicked()));
    connect(ui->devRestartBtn, SIGNAL(clicked()), this, SLOT(OnDevRestartBtnClicked()));
    connect(ui->devFactoryBtn, SIGNAL(clicked()), this, SLOT(OnDevFactoryBtnClicked()));
}

ConfigPage::~ConfigPage() = default;

void ConfigPage::OnChangeHandle(TMV_NET_HANDLE handle)
{
    m_handle = handle;
}

void ConfigPage::ClearPage()
{
    for (QLineEdit *edit :
         {ui->fameRateEdit, ui->emissivityEdit, ui->atmosTransEdit, ui->refTempEdit, ui->atmosTempEdit,
          ui->distanceEdit, ui->lowerThresholdEdit, ui->upperThresholdEdit, ui->brightnesslineEdit,
          ui->contrastlineEdit, ui->denoise2DLineEdit, ui->denoise3DLineEdit, ui->detailEnhanceLineEdit,
          ui->dateTimeLeftEdit, ui->dateTimeTopEdit, ui->dateTimeRightEdit, ui->dateTimeBottonEdit,
          ui->channelTitleNameEdit, ui->channelTitleLeftEdit, ui->channelTitleTopEdit, ui->channelTitleRightEdit,
          ui->channelTitleBottonEdit})
        edit->clear();
    for (QCheckBox *check : {ui->osdMasterCheck, ui->pseudoColorCheck, ui->tempEnbleCheck, ui->denoise2DCheckBox,
                             ui->denoise3DCheckBox, ui->detailEnhanceCheckBox, ui->dateTimeCheck,
                             ui->channelTitleCheck})
        check->setChecked(false);
    for (QComboBox *combo : {ui->paletteCombo, ui->gainSwitchCombo, ui->unitCombo, ui->flipcomboBox})
        combo->setCurrentIndex(-1);
}

int ConfigPage::Channel() const
{
    return m_mainWindow ? m_mainWindow->Channel() : 0;
}

bool ConfigPage::Report(const QString &operation, int32_t status) const
{
    if (status != 0)
        MsgBox::Instance()->ShowResult(operation, status);
    return status == 0;
}

int32_t ConfigPage::IntOf(const QLineEdit *edit)
{
    return ConfigIntOf(edit->text());
}

float ConfigPage::FloatOf(const QLineEdit *edit)
{
    return ConfigFloatOf(edit->text());
}

void ConfigPage::ShowInt(QLineEdit *edit, int32_t value)
{
    edit->setText(ConfigIntText(value));
}

void ConfigPage::ShowFloat(QLineEdit *edit, float value)
{
    edit->setText(ConfigFloatText(value));
}
