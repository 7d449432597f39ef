// Entry points of the alarm subscription.
#include "EntryPoint.h"
#include "api/Forward.h"

#include "device/Session.h"

using sim::api::EntryPoint;

TMV_NET_API int32_t TMV_NET_SubscribeAlarm_V2(TMV_NET_HANDLE handle, uint8_t snapshot,
                                              TMV_NET_ALARM_CALLBACK callback, void *user)
{
    SIM_FORWARD(TMV_NET_SubscribeAlarm_V2, handle, snapshot, callback, user);
    EntryPoint call(__func__, handle);
    call.input(&snapshot, sizeof snapshot).callbackFn(callback);
    if (!call.ok())
        return call.status();
    return call.session().subscribeAlarm(snapshot != 0, callback, user);
}

// The older form has no flag: it gets the pictures, as a device sends them
// by default.
TMV_NET_API int32_t TMV_NET_SubscribeAlarm(TMV_NET_HANDLE handle, TMV_NET_ALARM_CALLBACK callback, void *user)
{
    SIM_FORWARD(TMV_NET_SubscribeAlarm, handle, callback, user);
    EntryPoint call(__func__, handle);
    call.callbackFn(callback);
    if (!call.ok())
        return call.status();
    return call.session().subscribeAlarm(true, callback, user);
}

TMV_NET_API int32_t TMV_NET_UnsubscribeAlarm(TMV_NET_HANDLE handle)
{
    SIM_FORWARD(TMV_NET_UnsubscribeAlarm, handle);
    EntryPoint call(__func__, handle);
    if (!call.ok())
        return call.status();
    return call.session().unsubscribeAlarm();
}
