// Entry points of the session family: library life, search, login, device
// description.

#include "api/EntryPoint.h"
#include "api/Forward.h"
#include "device/Device.h"
#include "device/Fleet.h"
#include "device/Session.h"
#include "ptz/PtzAccessories.h"
#include "settings/Settings.h"

#include <cstring>
#include <string>

using sim::Fleet;
using sim::api::EntryPoint;

TMV_NET_API int32_t TMV_NET_Init(void)
{
    if (sim::remote::active())
        return sim::remote::init();
    EntryPoint call("TMV_NET_Init");
    if (!call.ok())
        return call.status();
    return Fleet::instance().init();
}

TMV_NET_API int32_t TMV_NET_Deinit(void)
{
    if (sim::remote::active())
        return sim::remote::deinit();
    EntryPoint call("TMV_NET_Deinit");
    if (!call.ok())
        return call.status();
    return Fleet::instance().deinit();
}

TMV_NET_API int32_t TMV_NET_SearchDev(TMV_NET_SEARCH_CALLBACK callback, void *user, int32_t waitMs)
{
    if (sim::remote::active())
        return sim::remote::searchDevices(callback, user, waitMs);
    EntryPoint call("TMV_NET_SearchDev");
    call.callbackFn(callback).input(&waitMs, sizeof waitMs).require(waitMs >= 0);
    if (!call.ok())
        return call.status();
    return Fleet::instance().search(callback, user, waitMs);
}

TMV_NET_API int32_t TMV_NET_Login(const TMV_NET_LOGIN_INFO *info, TMV_NET_HANDLE *handle)
{
    if (sim::remote::active())
        return sim::remote::login(info, handle);
    EntryPoint call("TMV_NET_Login");
    call.input(info, sizeof *info).output(handle);
    if (info)
        call.text(info->ip, sizeof info->ip)
            .text(info->userName, sizeof info->userName)
            .text(info->password, sizeof info->password);
    if (!call.ok())
        return call.status();
    return Fleet::instance().login(info->ip, info->port, info->userName, info->password, handle);
}

TMV_NET_API int32_t TMV_NET_Logout(TMV_NET_HANDLE handle)
{
    if (sim::remote::active())
        return sim::remote::logout(handle);
    EntryPoint call("TMV_NET_Logout");
    call.input(&handle, sizeof handle);
    if (!call.ok())
        return call.status();
    return Fleet::instance().logout(handle);
}

TMV_NET_API int32_t TMV_NET_SetExceptionCallback(TMV_NET_HANDLE handle, TMV_NET_EXCEPTION_CALLBACK callback,
                                                 void *user)
{
    if (sim::remote::active())
        return sim::remote::setExceptionCallback(handle, callback, user);
    EntryPoint call("TMV_NET_SetExceptionCallback", handle);
    call.callbackFn(callback);
    if (!call.ok())
        return call.status();
    call.session().setExceptionCallback(callback, user);
    return 0;
}

TMV_NET_API int32_t TMV_NET_GetDevInfo(TMV_NET_HANDLE handle, TMV_NET_DEV_INFO *info)
{
    SIM_FORWARD(TMV_NET_GetDevInfo, handle, info);
    EntryPoint call("TMV_NET_GetDevInfo", handle);
    call.output(info);
    if (!call.ok())
        return call.status();
    *info = call.device().devInfo();
    return 0;
}

TMV_NET_API int32_t TMV_NET_GetDevAbility(TMV_NET_HANDLE handle, int32_t channel, int32_t reserved,
                                          TMV_NET_DEV_ABILITY *ability)
{
    SIM_FORWARD(TMV_NET_GetDevAbility, handle, channel, reserved, ability);
    EntryPoint call("TMV_NET_GetDevAbility", handle);
    call.input(&channel, sizeof channel).input(&reserved, sizeof reserved).output(ability);
    if (!call.ok())
        return call.status();
    if (!call.device().validChannel(channel))
        return sim::kWrongParam;
    *ability = call.device().ability(channel);
    return 0;
}

TMV_NET_API int32_t TMV_NET_GetPtzAuxState(TMV_NET_HANDLE handle, TMV_NET_PTZ_AUX_STATE *state)
{
    SIM_FORWARD(TMV_NET_GetPtzAuxState, handle, state);
    EntryPoint call("TMV_NET_GetPtzAuxState", handle);
    call.output(state);
    if (!call.ok())
        return call.status();
    *state = call.device().accessories().auxState();
    return 0;
}
