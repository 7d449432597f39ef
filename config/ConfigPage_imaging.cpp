// Imaging and thermal settings: frame rate, time synchronisation, shutter,
// environment, OSD switch, colour bar, palette, gain, unit, temperature span,
// thermal image and detail enhancer.
#include "config/ConfigPage.h"
#include "ui_ConfigPage.h"

#include <QDateTime>

#include <cstring>

#include "common/DeviceCall.h"
#include "config/ConfigText.h"

namespace {

template <class T>
T Zeroed()
{
    T record;
    std::memset(&record, 0, sizeof record);
    return record;
}

} // namespace

void ConfigPage::onFameRateGetBtnClicked()
{
    int32_t rate = 0;
    const int32_t status = DeviceCall::run(TMV_NET_GetFrameRate, m_handle, &rate);
    if (Report(tr("GetFrameRate"), status))
        ShowInt(ui->fameRateEdit, rate);
}

void ConfigPage::onFameRateSetBtnClicked()
{
    const int32_t status = DeviceCall::run(TMV_NET_SetFrameRate, m_handle, IntOf(ui->fameRateEdit));
    Report(tr("SetFrameRate"), status);
}

void ConfigPage::onSynTimeBtnClicked()
{
    const QByteArray time = SyncTimeText(QDateTime::currentDateTime());
    const int32_t status = DeviceCall::run(TMV_NET_SyncSystemTime, m_handle, time.constData());
    Report(tr("SyncSystemTime"), status);
}

void ConfigPage::onShutterCorrectBtnClicked()
{
    const int32_t status = DeviceCall::run(TMV_NET_CorrectShutter, m_handle);
    Report(tr("CorrectShutter"), status);
}

void ConfigPage::onEnvParaGetBtnClicked()
{
    TMV_NET_ENV_PARAM param = Zeroed<TMV_NET_ENV_PARAM>();
    const int32_t status = DeviceCall::run(TMV_NET_GetEnvParam, m_handle, &param);
    if (!Report(tr("GetEnvParam"), status))
        return;
    ShowFloat(ui->atmosTempEdit, param.atmosTemp);
    ShowFloat(ui->distanceEdit, param.distance);
    ShowFloat(ui->emissivityEdit, param.emissivity);
    ShowFloat(ui->refTempEdit, param.refTemp);
    ShowFloat(ui->atmosTransEdit, param.atmosTrans);
}

void ConfigPage::onEnvParaSetBtnClicked()
{
    TMV_NET_ENV_PARAM param = Zeroed<TMV_NET_ENV_PARAM>();
    param.atmosTemp = FloatOf(ui->atmosTempEdit);
    param.distance = FloatOf(ui->distanceEdit);
    param.emissivity = FloatOf(ui->emissivityEdit);
    param.refTemp = FloatOf(ui->refTempEdit);
    param.atmosTrans = FloatOf(ui->atmosTransEdit);
    const int32_t status = DeviceCall::run(TMV_NET_SetEnvParam, m_handle, &param);
    Report(tr("SetEnvParam"), status);
}

void ConfigPage::onOsdMasterGetBtnClicked()
{
    int32_t state = 0;
    const int32_t status = DeviceCall::run(TMV_NET_GetOSDState, m_handle, &state);
    if (Report(tr("GetOSDState"), status))
        ui->osdMasterCheck->setChecked(OsdShown(state));
}

void ConfigPage::onOsdMasterSetBtnClicked()
{
    const int32_t status = DeviceCall::run(TMV_NET_SetOSDState, m_handle, OsdStateFor(ui->osdMasterCheck->isChecked()));
    Report(tr("SetOSDState"), status);
}

void ConfigPage::onPseudoColorGetBtnClicked()
{
    int32_t state = 0;
    const int32_t status = DeviceCall::run(TMV_NET_GetTempBarState, m_handle, &state);
    if (Report(tr("GetTempBarState"), status))
        ui->pseudoColorCheck->setChecked(TempBarShown(state));
}

void ConfigPage::onPseudoColorSetBtnClicked()
{
    const int32_t status =
        DeviceCall::run(TMV_NET_SetTempBarState, m_handle, TempBarStateFor(ui->pseudoColorCheck->isChecked()));
    Report(tr("SetTempBarState"), status);
}

void ConfigPage::onPaletteGetBtnClicked()
{
    int32_t type = 0;
    const int32_t status = DeviceCall::run(TMV_NET_GetPalleteType, m_handle, &type);
    if (Report(tr("GetPalleteType"), status))
        ui->paletteCombo->setCurrentIndex(ConfigComboIndex(type, ui->paletteCombo->count()));
}

void ConfigPage::onPaletteSetBtnClicked()
{
    const int type = ui->paletteCombo->currentIndex();
    if (type < 0)
        return;
    const int32_t status = DeviceCall::run(TMV_NET_SetPalleteType, m_handle, type);
    Report(tr("SetPalleteType"), status);
}

void ConfigPage::onGainSwitchGetBtnClicked()
{
    int32_t level = 0;
    const int32_t status = DeviceCall::run(TMV_NET_GetTempLevel, m_handle, &level);
    if (Report(tr("GetTempLevel"), status))
        ui->gainSwitchCombo->setCurrentIndex(ConfigComboIndex(level, ui->gainSwitchCombo->count()));
}

void ConfigPage::onGainSwitchSetBtnClicked()
{
    const int level = ui->gainSwitchCombo->currentIndex();
    if (level < 0)
        return;
    const int32_t status = DeviceCall::run(TMV_NET_SetTempLevel, m_handle, level);
    Report(tr("SetTempLevel"), status);
}

void ConfigPage::OnUnitGetBtnClicked()
{
    int32_t unit = 0;
    const int32_t status = DeviceCall::run(TMV_NET_GetTempUnit, m_handle, &unit);
    if (Report(tr("GetTempUnit"), status))
        ui->unitCombo->setCurrentIndex(ConfigComboIndex(unit, ui->unitCombo->count()));
}

void ConfigPage::OnUnitSetBtnClicked()
{
    const int unit = ui->unitCombo->currentIndex();
    if (unit < 0)
        return;
    const int32_t status = DeviceCall::run(TMV_NET_SetTempUnit, m_handle, unit);
    Report(tr("SetTempUnit"), status);
}

void ConfigPage::onTempSpanGetBtnClicked()
{
    TMV_NET_TEMP_SPAN_INFO info = Zeroed<TMV_NET_TEMP_SPAN_INFO>();
    const int32_t status = DeviceCall::run(TMV_NET_GetTempSpanInfo, m_handle, &info);
    if (!Report(tr("GetTempSpanInfo"), status))
        return;
    ui->tempEnbleCheck->setChecked(info.enable != 0);
    ShowFloat(ui->lowerThresholdEdit, info.lowerThreshold);
    ShowFloat(ui->upperThresholdEdit, info.upperThreshold);
}

void ConfigPage::onTempSpanSetBtnClicked()
{
    TMV_NET_TEMP_SPAN_INFO info = Zeroed<TMV_NET_TEMP_SPAN_INFO>();
    info.enable = ui->tempEnbleCheck->isChecked() ? 1 : 0;
    info.lowerThreshold = FloatOf(ui->lowerThresholdEdit);
    info.upperThreshold = FloatOf(ui->upperThresholdEdit);
    const int32_t status = DeviceCall::run(TMV_NET_SetTempSpanInfo, m_handle, &info);
    Report(tr("SetTempSpanInfo"), status);
}

// The three settings are independent on the device: each read and each write
// is reported on its own and never keeps the next one from being made.
void ConfigPage::OnThermalImageGetBtnClicked()
{
    int32_t luminance = 0;
    if (Report(tr("GetThermalImageLuminance"), DeviceCall::run(TMV_NET_GetThermalImageLuminance, m_handle, &luminance)))
        ShowInt(ui->brightnesslineEdit, luminance);

    int32_t contrast = 0;
    if (Report(tr("GetThermalImageContrast"), DeviceCall::run(TMV_NET_GetThermalImageContrast, m_handle, &contrast)))
        ShowInt(ui->contrastlineEdit, contrast);

    int32_t mode = 0;
    if (Report(tr("GetThermalImageFlipMode"), DeviceCall::run(TMV_NET_GetThermalImageFlipMode, m_handle, &mode)))
        ui->flipcomboBox->setCurrentIndex(ConfigComboIndex(mode, ui->flipcomboBox->count()));
}

void ConfigPage::OnThermalImageSetBtnClicked()
{
    Report(tr("SetThermalImageLuminance"),
           DeviceCall::run(TMV_NET_SetThermalImageLuminance, m_handle, IntOf(ui->brightnesslineEdit)));
    Report(tr("TMV_NET_SetThermalImageContrast"),
           DeviceCall::run(TMV_NET_SetThermalImageContrast, m_handle, IntOf(ui->contrastlineEdit)));
    // No guard here: with nothing selected the device is sent -1 and judges.
    Report(tr("TMV_NET_SetThermalImageFlipMode"),
           DeviceCall::run(TMV_NET_SetThermalImageFlipMode, m_handle, ui->flipcomboBox->currentIndex()));
}

void ConfigPage::OnThermalVideoEnhanceGetBtnClicked()
{
    TMV_NET_THERMAL_IMAGE_ENHANCE_INFO info = Zeroed<TMV_NET_THERMAL_IMAGE_ENHANCE_INFO>();
    const int32_t status = DeviceCall::run(TMV_NET_GetThermalImageEnhanceInfo, m_handle, &info);
    if (!Report(tr("TMV_NET_GetThermalImageEnhanceInfo"), status))
        return;
    ui->denoise2DCheckBox->setChecked(info.denoise2DEnable != 0);
    ShowInt(ui->denoise2DLineEdit, info.denoise2DLevel);
    ui->denoise3DCheckBox->setChecked(info.denoise3DEnable != 0);
    ShowInt(ui->denoise3DLineEdit, info.denoise3DLevel);
    ui->detailEnhanceCheckBox->setChecked(info.detailEnhanceEnable != 0);
    ShowInt(ui->detailEnhanceLineEdit, info.detailEnhanceLevel);
}

// Read-modify-write: the record holds more of the device's settings than the
// six fields of the form, and those must go back as the device has them.
void ConfigPage::OnThermalVideoEnhanceSetBtnClicked()
{
    TMV_NET_THERMAL_IMAGE_ENHANCE_INFO info = Zeroed<TMV_NET_THERMAL_IMAGE_ENHANCE_INFO>();
    const int32_t readStatus = DeviceCall::run(TMV_NET_GetThermalImageEnhanceInfo, m_handle, &info);
    // A failed read guarantees nothing about the record; write zeros for the
    // fields the form does not hold rather than whatever was left there.
    if (!Report(tr("TMV_NET_GetThermalImageEnhanceInfo"), readStatus))
        info = Zeroed<TMV_NET_THERMAL_IMAGE_ENHANCE_INFO>();

    EnhanceForm form;
    form.denoise2D = ui->denoise2DCheckBox->isChecked();
    form.denoise2DLevel = IntOf(ui->denoise2DLineEdit);
    form.denoise3D = ui->denoise3DCheckBox->isChecked();
    form.denoise3DLevel = IntOf(ui->denoise3DLineEdit);
    form.detailEnhance = ui->detailEnhanceCheckBox->isChecked();
    form.detailEnhanceLevel = IntOf(ui->detailEnhanceLineEdit);
    ApplyEnhanceForm(info, form);

    const int32_t status = DeviceCall::run(TMV_NET_SetThermalImageEnhanceInfo, m_handle, &info);
    Report(tr("TMV_NET_SetThermalImageEnhanceInfo"), status);
}
