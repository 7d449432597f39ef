// Entry points of the peripheral family: wiper, fill light, day/night
// switching and the logo pictures.
#include "EntryPoint.h"

using sim::api::EntryPoint;

TMV_NET_API int32_t TMV_NET_GetWiperConfigInfo(TMV_NET_HANDLE handle, int32_t *mode)
{
    EntryPoint call(__func__, handle);
    call.output(mode);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_SetWiperConfigInfo(TMV_NET_HANDLE handle, int32_t mode)
{
    EntryPoint call(__func__, handle);
    call.input(&mode, sizeof mode);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_GetFillLightConfigInfo(TMV_NET_HANDLE handle, TMV_NET_FILL_LIGHT_CONFIG_INFO *info)
{
    EntryPoint call(__func__, handle);
    call.output(info);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_SetFillLightConfigInfo(TMV_NET_HANDLE handle, const TMV_NET_FILL_LIGHT_CONFIG_INFO *info)
{
    EntryPoint call(__func__, handle);
    call.input(info, sizeof *info);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_GetDayNightModeParam(TMV_NET_HANDLE handle, TMV_NET_DAY_NIGHT_MODE_PARAM *param)
{
    EntryPoint call(__func__, handle);
    call.output(param);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_SetDayNightModeParam(TMV_NET_HANDLE handle, const TMV_NET_DAY_NIGHT_MODE_PARAM *param)
{
    EntryPoint call(__func__, handle);
    call.input(param, sizeof *param);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_GetLogoPicture(TMV_NET_HANDLE handle, int32_t type, const char *path)
{
    EntryPoint call(__func__, handle);
    call.input(&type, sizeof type).string(path);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_SetLogoPicture(TMV_NET_HANDLE handle, int32_t type, const char *path)
{
    EntryPoint call(__func__, handle);
    call.input(&type, sizeof type).string(path);
    return call.notSupported();
}
