// Entry points of the peripheral family: wiper, fill light, day/night
// switching and the logo pictures.
#include "EntryPoint.h"
#include "api/Forward.h"

#include "device/Device.h"
#include "settings/Peripherals.h"

using sim::api::EntryPoint;

TMV_NET_API int32_t TMV_NET_GetWiperConfigInfo(TMV_NET_HANDLE handle, int32_t *mode)
{
    SIM_FORWARD(TMV_NET_GetWiperConfigInfo, handle, mode);
    EntryPoint call(__func__, handle);
    call.output(mode);
    if (!call.ok())
        return call.status();
    return call.device().peripherals().wiper(mode);
}

TMV_NET_API int32_t TMV_NET_SetWiperConfigInfo(TMV_NET_HANDLE handle, int32_t mode)
{
    SIM_FORWARD(TMV_NET_SetWiperConfigInfo, handle, mode);
    EntryPoint call(__func__, handle);
    call.input(&mode, sizeof mode);
    if (!call.ok())
        return call.status();
    return call.device().peripherals().setWiper(mode);
}

TMV_NET_API int32_t TMV_NET_GetFillLightConfigInfo(TMV_NET_HANDLE handle, TMV_NET_FILL_LIGHT_CONFIG_INFO *info)
{
    SIM_FORWARD(TMV_NET_GetFillLightConfigInfo, handle, info);
    EntryPoint call(__func__, handle);
    call.output(info);
    if (!call.ok())
        return call.status();
    return call.device().peripherals().fillLight(info);
}

TMV_NET_API int32_t TMV_NET_SetFillLightConfigInfo(TMV_NET_HANDLE handle, const TMV_NET_FILL_LIGHT_CONFIG_INFO *info)
{
    SIM_FORWARD(TMV_NET_SetFillLightConfigInfo, handle, info);
    EntryPoint call(__func__, handle);
    call.input(info, sizeof *info);
    if (!call.ok())
        return call.status();
    return call.device().peripherals().setFillLight(*info);
}

TMV_NET_API int32_t TMV_NET_GetDayNightModeParam(TMV_NET_HANDLE handle, TMV_NET_DAY_NIGHT_MODE_PARAM *param)
{
    SIM_FORWARD(TMV_NET_GetDayNightModeParam, handle, param);
    EntryPoint call(__func__, handle);
    call.output(param);
    if (!call.ok())
        return call.status();
    return call.device().peripherals().dayNight(param);
}

TMV_NET_API int32_t TMV_NET_SetDayNightModeParam(TMV_NET_HANDLE handle, const TMV_NET_DAY_NIGHT_MODE_PARAM *param)
{
    SIM_FORWARD(TMV_NET_SetDayNightModeParam, handle, param);
    EntryPoint call(__func__, handle);
    call.input(param, sizeof *param);
    if (!call.ok())
        return call.status();
    return call.device().peripherals().setDayNight(*param);
}

// Logo paths are the client's own files: the picture is written to or read
// from exactly that path; a path with a ".." component is refused (3).
TMV_NET_API int32_t TMV_NET_GetLogoPicture(TMV_NET_HANDLE handle, int32_t type, const char *path)
{
    SIM_FORWARD(TMV_NET_GetLogoPicture, handle, type, path);
    EntryPoint call(__func__, handle);
    call.input(&type, sizeof type).string(path);
    if (!call.ok())
        return call.status();
    return call.device().peripherals().saveLogo(type, path);
}

TMV_NET_API int32_t TMV_NET_SetLogoPicture(TMV_NET_HANDLE handle, int32_t type, const char *path)
{
    SIM_FORWARD(TMV_NET_SetLogoPicture, handle, type, path);
    EntryPoint call(__func__, handle);
    call.input(&type, sizeof type).string(path);
    if (!call.ok())
        return call.status();
    return call.device().peripherals().loadLogo(type, path);
}
