// Entry points of the configuration family: imaging and thermal settings,
// OSD, network, the serial transparent channel, maintenance and target
// recognition.
#include "EntryPoint.h"
#include "api/Forward.h"

#include "base/SimClock.h"
#include "camera/Imaging.h"
#include "camera/TempUnits.h"
#include "device/Device.h"
#include "device/Fleet.h"
#include "measure/Measure.h"
#include "settings/NetworkConfig.h"
#include "settings/SerialPort.h"
#include "settings/Settings.h"
#include "settings/TargetRecognition.h"

#include <algorithm>
#include <cstring>

using sim::api::EntryPoint;

// ---- Imaging and thermal ---------------------------------------------------
//
// The picture settings belong to the device's thermal channel; the frame rate
// to every channel. Values out of the device's range answer 3 and change
// nothing. Temperatures travel in the device's unit and are kept in Celsius.

namespace {

int32_t status(bool accepted)
{
    return accepted ? sim::kOk : sim::kWrongParam;
}

}  // namespace

TMV_NET_API int32_t TMV_NET_GetFrameRate(TMV_NET_HANDLE handle, int32_t *rate)
{
    SIM_FORWARD(TMV_NET_GetFrameRate, handle, rate);
    EntryPoint call(__func__, handle);
    call.output(rate);
    if (!call.ok())
        return call.status();
    *rate = call.device().settings().frameRate(call.device().profile().thermalChannel);
    return sim::kOk;
}

TMV_NET_API int32_t TMV_NET_SetFrameRate(TMV_NET_HANDLE handle, int32_t rate)
{
    SIM_FORWARD(TMV_NET_SetFrameRate, handle, rate);
    EntryPoint call(__func__, handle);
    call.input(&rate, sizeof rate);
    if (!call.ok())
        return call.status();
    return status(call.device().settings().setClientFrameRate(rate));
}

// The text is the device's new local time, "yyyy-MM-dd hh:mm:ss".
TMV_NET_API int32_t TMV_NET_SyncSystemTime(TMV_NET_HANDLE handle, const char *time)
{
    SIM_FORWARD(TMV_NET_SyncSystemTime, handle, time);
    EntryPoint call(__func__, handle);
    call.string(time);
    if (!call.ok())
        return call.status();
    int64_t seconds = 0;
    if (!sim::parseDeviceTime(time, &seconds))
        return sim::kWrongParam;
    call.device().settings().setClock(seconds, sim::SimClock::instance().nowUs());
    return sim::kOk;
}

TMV_NET_API int32_t TMV_NET_CorrectShutter(TMV_NET_HANDLE handle)
{
    SIM_FORWARD(TMV_NET_CorrectShutter, handle);
    EntryPoint call(__func__, handle);
    if (!call.ok())
        return call.status();
    call.device().settings().correctShutter(sim::SimClock::instance().nowUs());
    return sim::kOk;
}

TMV_NET_API int32_t TMV_NET_GetEnvParam(TMV_NET_HANDLE handle, TMV_NET_ENV_PARAM *param)
{
    SIM_FORWARD(TMV_NET_GetEnvParam, handle, param);
    EntryPoint call(__func__, handle);
    call.output(param);
    if (!call.ok())
        return call.status();
    const sim::Settings &settings = call.device().settings();
    *param = sim::envInUnit(settings.env(), settings.tempUnit());
    return sim::kOk;
}

TMV_NET_API int32_t TMV_NET_SetEnvParam(TMV_NET_HANDLE handle, const TMV_NET_ENV_PARAM *param)
{
    SIM_FORWARD(TMV_NET_SetEnvParam, handle, param);
    EntryPoint call(__func__, handle);
    call.input(param, sizeof *param);
    if (!call.ok())
        return call.status();
    const sim::TempUnit unit = call.device().settings().tempUnit();
    TMV_NET_ENV_PARAM env = *param;
    env.atmosTemp = float(sim::unitToCelsius(env.atmosTemp, unit));
    env.refTemp = float(sim::unitToCelsius(env.refTemp, unit));
    return status(call.device().settings().setEnv(env));
}

TMV_NET_API int32_t TMV_NET_GetOSDState(TMV_NET_HANDLE handle, int32_t *state)
{
    SIM_FORWARD(TMV_NET_GetOSDState, handle, state);
    EntryPoint call(__func__, handle);
    call.output(state);
    if (!call.ok())
        return call.status();
    *state = call.device().settings().osdState();
    return sim::kOk;
}

// 0 shows the OSD, any other value hides it.
TMV_NET_API int32_t TMV_NET_SetOSDState(TMV_NET_HANDLE handle, int32_t state)
{
    SIM_FORWARD(TMV_NET_SetOSDState, handle, state);
    EntryPoint call(__func__, handle);
    call.input(&state, sizeof state);
    if (!call.ok())
        return call.status();
    call.device().settings().setOsdState(state);
    return sim::kOk;
}

TMV_NET_API int32_t TMV_NET_GetTempBarState(TMV_NET_HANDLE handle, int32_t *state)
{
    SIM_FORWARD(TMV_NET_GetTempBarState, handle, state);
    EntryPoint call(__func__, handle);
    call.output(state);
    if (!call.ok())
        return call.status();
    *state = call.device().settings().tempBarState();
    return sim::kOk;
}

// Non-zero draws the colour bar.
TMV_NET_API int32_t TMV_NET_SetTempBarState(TMV_NET_HANDLE handle, int32_t state)
{
    SIM_FORWARD(TMV_NET_SetTempBarState, handle, state);
    EntryPoint call(__func__, handle);
    call.input(&state, sizeof state);
    if (!call.ok())
        return call.status();
    call.device().settings().setTempBarState(state);
    return sim::kOk;
}

TMV_NET_API int32_t TMV_NET_GetPalleteType(TMV_NET_HANDLE handle, int32_t *type)
{
    SIM_FORWARD(TMV_NET_GetPalleteType, handle, type);
    EntryPoint call(__func__, handle);
    call.output(type);
    if (!call.ok())
        return call.status();
    *type = call.device().settings().palette();
    return sim::kOk;
}

TMV_NET_API int32_t TMV_NET_SetPalleteType(TMV_NET_HANDLE handle, int32_t type)
{
    SIM_FORWARD(TMV_NET_SetPalleteType, handle, type);
    EntryPoint call(__func__, handle);
    call.input(&type, sizeof type);
    if (!call.ok())
        return call.status();
    return status(call.device().settings().setPalette(type));
}

TMV_NET_API int32_t TMV_NET_GetTempLevel(TMV_NET_HANDLE handle, int32_t *level)
{
    SIM_FORWARD(TMV_NET_GetTempLevel, handle, level);
    EntryPoint call(__func__, handle);
    call.output(level);
    if (!call.ok())
        return call.status();
    *level = int32_t(call.device().settings().gain());
    return sim::kOk;
}

TMV_NET_API int32_t TMV_NET_SetTempLevel(TMV_NET_HANDLE handle, int32_t level)
{
    SIM_FORWARD(TMV_NET_SetTempLevel, handle, level);
    EntryPoint call(__func__, handle);
    call.input(&level, sizeof level);
    if (!call.ok())
        return call.status();
    return status(call.device().settings().setGain(level));
}

TMV_NET_API int32_t TMV_NET_GetTempUnit(TMV_NET_HANDLE handle, int32_t *unit)
{
    SIM_FORWARD(TMV_NET_GetTempUnit, handle, unit);
    EntryPoint call(__func__, handle);
    call.output(unit);
    if (!call.ok())
        return call.status();
    *unit = int32_t(call.device().settings().tempUnit());
    return sim::kOk;
}

TMV_NET_API int32_t TMV_NET_SetTempUnit(TMV_NET_HANDLE handle, int32_t unit)
{
    SIM_FORWARD(TMV_NET_SetTempUnit, handle, unit);
    EntryPoint call(__func__, handle);
    call.input(&unit, sizeof unit);
    if (!call.ok())
        return call.status();
    if (!sim::validTempUnit(unit))
        return sim::kWrongParam;
    call.device().settings().setTempUnit(sim::TempUnit(unit));
    return sim::kOk;
}

TMV_NET_API int32_t TMV_NET_GetTempSpanInfo(TMV_NET_HANDLE handle, TMV_NET_TEMP_SPAN_INFO *info)
{
    SIM_FORWARD(TMV_NET_GetTempSpanInfo, handle, info);
    EntryPoint call(__func__, handle);
    call.output(info);
    if (!call.ok())
        return call.status();
    const sim::TempUnit unit = call.device().settings().tempUnit();
    TMV_NET_TEMP_SPAN_INFO span = call.device().settings().span();
    span.lowerThreshold = float(sim::celsiusToUnit(span.lowerThreshold, unit));
    span.upperThreshold = float(sim::celsiusToUnit(span.upperThreshold, unit));
    *info = span;
    return sim::kOk;
}

// Enabled: the palette spans the thresholds; disabled: the picture's own
// range. The thresholds are checked and kept either way.
TMV_NET_API int32_t TMV_NET_SetTempSpanInfo(TMV_NET_HANDLE handle, const TMV_NET_TEMP_SPAN_INFO *info)
{
    SIM_FORWARD(TMV_NET_SetTempSpanInfo, handle, info);
    EntryPoint call(__func__, handle);
    call.input(info, sizeof *info);
    if (!call.ok())
        return call.status();
    const sim::TempUnit unit = call.device().settings().tempUnit();
    TMV_NET_TEMP_SPAN_INFO span = *info;
    span.lowerThreshold = float(sim::unitToCelsius(span.lowerThreshold, unit));
    span.upperThreshold = float(sim::unitToCelsius(span.upperThreshold, unit));
    return status(call.device().settings().setSpan(span));
}

TMV_NET_API int32_t TMV_NET_GetThermalImageLuminance(TMV_NET_HANDLE handle, int32_t *luminance)
{
    SIM_FORWARD(TMV_NET_GetThermalImageLuminance, handle, luminance);
    EntryPoint call(__func__, handle);
    call.output(luminance);
    if (!call.ok())
        return call.status();
    *luminance = call.device().settings().brightness();
    return sim::kOk;
}

TMV_NET_API int32_t TMV_NET_SetThermalImageLuminance(TMV_NET_HANDLE handle, int32_t luminance)
{
    SIM_FORWARD(TMV_NET_SetThermalImageLuminance, handle, luminance);
    EntryPoint call(__func__, handle);
    call.input(&luminance, sizeof luminance);
    if (!call.ok())
        return call.status();
    return status(call.device().settings().setBrightness(luminance));
}

TMV_NET_API int32_t TMV_NET_GetThermalImageContrast(TMV_NET_HANDLE handle, int32_t *contrast)
{
    SIM_FORWARD(TMV_NET_GetThermalImageContrast, handle, contrast);
    EntryPoint call(__func__, handle);
    call.output(contrast);
    if (!call.ok())
        return call.status();
    *contrast = call.device().settings().contrast();
    return sim::kOk;
}

TMV_NET_API int32_t TMV_NET_SetThermalImageContrast(TMV_NET_HANDLE handle, int32_t contrast)
{
    SIM_FORWARD(TMV_NET_SetThermalImageContrast, handle, contrast);
    EntryPoint call(__func__, handle);
    call.input(&contrast, sizeof contrast);
    if (!call.ok())
        return call.status();
    return status(call.device().settings().setContrast(contrast));
}

TMV_NET_API int32_t TMV_NET_GetThermalImageFlipMode(TMV_NET_HANDLE handle, int32_t *mode)
{
    SIM_FORWARD(TMV_NET_GetThermalImageFlipMode, handle, mode);
    EntryPoint call(__func__, handle);
    call.output(mode);
    if (!call.ok())
        return call.status();
    *mode = call.device().settings().flipMode();
    return sim::kOk;
}

TMV_NET_API int32_t TMV_NET_SetThermalImageFlipMode(TMV_NET_HANDLE handle, int32_t mode)
{
    SIM_FORWARD(TMV_NET_SetThermalImageFlipMode, handle, mode);
    EntryPoint call(__func__, handle);
    call.input(&mode, sizeof mode);
    if (!call.ok())
        return call.status();
    return status(call.device().settings().setFlipMode(mode));
}

TMV_NET_API int32_t TMV_NET_GetThermalImageEnhanceInfo(TMV_NET_HANDLE handle, TMV_NET_THERMAL_IMAGE_ENHANCE_INFO *info)
{
    SIM_FORWARD(TMV_NET_GetThermalImageEnhanceInfo, handle, info);
    EntryPoint call(__func__, handle);
    call.output(info);
    if (!call.ok())
        return call.status();
    call.device().settings().enhance(info);
    return sim::kOk;
}

// Levels 0..100; the whole record is kept, bytes the device does not use
// included, so a read-modify-write gives them back unchanged.
TMV_NET_API int32_t TMV_NET_SetThermalImageEnhanceInfo(TMV_NET_HANDLE handle, const TMV_NET_THERMAL_IMAGE_ENHANCE_INFO *info)
{
    SIM_FORWARD(TMV_NET_SetThermalImageEnhanceInfo, handle, info);
    EntryPoint call(__func__, handle);
    call.input(info, sizeof *info);
    if (!call.ok())
        return call.status();
    return status(call.device().settings().setEnhance(*info));
}

// ---- OSD and network -------------------------------------------------------
//
// Title positions are pixels of the channel's picture; the text is drawn
// from its top-left corner.

TMV_NET_API int32_t TMV_NET_GetOSDTimeTitleInfo(TMV_NET_HANDLE handle, int32_t channel, TMV_NET_OSD_TIME_TITLE_INFO *info)
{
    SIM_FORWARD(TMV_NET_GetOSDTimeTitleInfo, handle, channel, info);
    EntryPoint call(__func__, handle);
    call.input(&channel, sizeof channel).output(info);
    if (!call.ok())
        return call.status();
    return status(call.device().settings().timeTitle(channel, info));
}

TMV_NET_API int32_t TMV_NET_SetOSDTimeTitleInfo(TMV_NET_HANDLE handle, int32_t channel, const TMV_NET_OSD_TIME_TITLE_INFO *info)
{
    SIM_FORWARD(TMV_NET_SetOSDTimeTitleInfo, handle, channel, info);
    EntryPoint call(__func__, handle);
    call.input(&channel, sizeof channel).input(info, sizeof *info);
    if (!call.ok())
        return call.status();
    return status(call.device().settings().setTimeTitle(channel, *info));
}

TMV_NET_API int32_t TMV_NET_GetOSDChannelTitleInfo(TMV_NET_HANDLE handle, int32_t channel, TMV_NET_OSD_CHANNEL_TITLE_INFO *info)
{
    SIM_FORWARD(TMV_NET_GetOSDChannelTitleInfo, handle, channel, info);
    EntryPoint call(__func__, handle);
    call.input(&channel, sizeof channel).output(info);
    if (!call.ok())
        return call.status();
    return status(call.device().settings().channelTitle(channel, info));
}

TMV_NET_API int32_t TMV_NET_SetOSDChannelTitleInfo(TMV_NET_HANDLE handle, int32_t channel, const TMV_NET_OSD_CHANNEL_TITLE_INFO *info)
{
    SIM_FORWARD(TMV_NET_SetOSDChannelTitleInfo, handle, channel, info);
    EntryPoint call(__func__, handle);
    call.input(&channel, sizeof channel).input(info, sizeof *info);
    if (info)
        call.text(info->title, sizeof info->title);
    if (!call.ok())
        return call.status();
    return status(call.device().settings().setChannelTitle(channel, *info));
}

// Only a head with a range finder has a reading to show.
TMV_NET_API int32_t TMV_NET_GetLaserDistanceOsdParam(TMV_NET_HANDLE handle, int32_t channel, TMV_NET_LASER_DISTANCE_OSD_PARAM *param)
{
    SIM_FORWARD(TMV_NET_GetLaserDistanceOsdParam, handle, channel, param);
    EntryPoint call(__func__, handle);
    call.input(&channel, sizeof channel).output(param);
    if (!call.ok())
        return call.status();
    if (!call.device().profile().ability.laserDistance)
        return sim::kNotSupported;
    return status(call.device().settings().laserOsd(channel, param));
}

TMV_NET_API int32_t TMV_NET_SetLaserDistanceOsdParam(TMV_NET_HANDLE handle, int32_t channel, const TMV_NET_LASER_DISTANCE_OSD_PARAM *param)
{
    SIM_FORWARD(TMV_NET_SetLaserDistanceOsdParam, handle, channel, param);
    EntryPoint call(__func__, handle);
    call.input(&channel, sizeof channel).input(param, sizeof *param);
    if (!call.ok())
        return call.status();
    if (!call.device().profile().ability.laserDistance)
        return sim::kNotSupported;
    return status(call.device().settings().setLaserOsd(channel, *param));
}

TMV_NET_API int32_t TMV_NET_GetIpConfig(TMV_NET_HANDLE handle, TMV_NET_IP_CONFIG *config)
{
    SIM_FORWARD(TMV_NET_GetIpConfig, handle, config);
    EntryPoint call(__func__, handle);
    call.output(config);
    if (!call.ok())
        return call.status();
    *config = call.device().network().get();
    return sim::kOk;
}

TMV_NET_API int32_t TMV_NET_SetIpConfig(TMV_NET_HANDLE handle, const TMV_NET_IP_CONFIG *config)
{
    SIM_FORWARD(TMV_NET_SetIpConfig, handle, config);
    EntryPoint call(__func__, handle);
    call.input(config, sizeof *config);
    if (config) {
        call.text(config->name, sizeof config->name)
            .text(config->mac, sizeof config->mac)
            .text(config->ip, sizeof config->ip)
            .text(config->subnetMask, sizeof config->subnetMask)
            .text(config->gateway, sizeof config->gateway)
            .text(config->defaultDns, sizeof config->defaultDns)
            .text(config->standbyDns, sizeof config->standbyDns);
    }
    if (!call.ok())
        return call.status();
    return call.device().network().set(*config);
}

// ---- Serial transparent channel --------------------------------------------

TMV_NET_API int32_t TMV_NET_SetTransparentState(TMV_NET_HANDLE handle, int32_t state)
{
    SIM_FORWARD(TMV_NET_SetTransparentState, handle, state);
    EntryPoint call(__func__, handle);
    call.input(&state, sizeof state).require(state == 0 || state == 1);
    if (!call.ok())
        return call.status();
    call.device().serialPort().setOpen(state == 1);
    return sim::kOk;
}

// A closed port answers 1. A silent bus (see settings/SerialPort.h) answers 0
// with no reply bytes at once: the simulated bus has no line delays, so
// there is no time-out to wait out. A reply longer than the caller's buffer
// is cut to it, and *replyLength says what was written.
TMV_NET_API int32_t TMV_NET_TransparentData(TMV_NET_HANDLE handle, const uint8_t *data, int32_t size,
                                            uint8_t *reply, int32_t replyCapacity, int32_t *replyLength,
                                            int32_t timeoutMs)
{
    SIM_FORWARD(TMV_NET_TransparentData, handle, data, size, reply, replyCapacity, replyLength, timeoutMs);
    EntryPoint call(__func__, handle);
    // At least one byte goes out; the size is checked before the bytes are read.
    call.require(size > 0);
    if (call.ok())
        call.input(data, static_cast<size_t>(size));
    call.input(&size, sizeof size)
        .array(reply, replyCapacity)
        .input(&replyCapacity, sizeof replyCapacity)
        .output(replyLength)
        .input(&timeoutMs, sizeof timeoutMs)
        .require(timeoutMs >= 0);
    if (!call.ok())
        return call.status();
    sim::SerialPort &port = call.device().serialPort();
    if (!port.open())
        return sim::kFailed;
    const sim::Bytes answer = port.transfer(sim::Bytes(data, data + size));
    const size_t n = std::min(answer.size(), size_t(replyCapacity));
    if (n > 0)
        std::memcpy(reply, answer.data(), n);
    *replyLength = int32_t(n);
    return sim::kOk;
}

// ---- Maintenance -----------------------------------------------------------

namespace {

// How long the device takes to come back: a reboot restarts the whole
// system, a restart only the camera's software.
constexpr int64_t kRebootUs = 8LL * 1000 * 1000;
constexpr int64_t kRestartUs = 4LL * 1000 * 1000;

}  // namespace

// Both answer before the connection drops; the login hears exception 1001
// and the device answers again once it has booted.
TMV_NET_API int32_t TMV_NET_SystemReboot(TMV_NET_HANDLE handle)
{
    SIM_FORWARD(TMV_NET_SystemReboot, handle);
    EntryPoint call(__func__, handle);
    if (!call.ok())
        return call.status();
    return sim::Fleet::instance().restart(call.device().address(), kRebootUs);
}

TMV_NET_API int32_t TMV_NET_SystemRestart(TMV_NET_HANDLE handle)
{
    SIM_FORWARD(TMV_NET_SystemRestart, handle);
    EntryPoint call(__func__, handle);
    if (!call.ok())
        return call.status();
    return sim::Fleet::instance().restart(call.device().address(), kRestartUs);
}

TMV_NET_API int32_t TMV_NET_RestoreFactoryDefaults(TMV_NET_HANDLE handle)
{
    SIM_FORWARD(TMV_NET_RestoreFactoryDefaults, handle);
    EntryPoint call(__func__, handle);
    if (!call.ok())
        return call.status();
    call.device().restoreFactorySettings();
    return sim::kOk;
}

// ---- Target recognition ----------------------------------------------------

TMV_NET_API int32_t TMV_NET_GetTargetRecognitionConfig(TMV_NET_HANDLE handle, int32_t channel, TMV_NET_TARGET_RECOGNITION_CONFIG *config)
{
    SIM_FORWARD(TMV_NET_GetTargetRecognitionConfig, handle, channel, config);
    EntryPoint call(__func__, handle);
    call.input(&channel, sizeof channel).output(config);
    if (!call.ok())
        return call.status();
    return call.device().recognition().get(channel, config);
}

TMV_NET_API int32_t TMV_NET_SetTargetRecognitionConfig(TMV_NET_HANDLE handle, int32_t channel, const TMV_NET_TARGET_RECOGNITION_CONFIG *config)
{
    SIM_FORWARD(TMV_NET_SetTargetRecognitionConfig, handle, channel, config);
    EntryPoint call(__func__, handle);
    call.input(&channel, sizeof channel).input(config, sizeof *config);
    if (!call.ok())
        return call.status();
    return call.device().recognition().set(channel, *config);
}
