// Entry points of the alarm subscription.
#include "EntryPoint.h"

using sim::api::EntryPoint;

TMV_NET_API int32_t TMV_NET_SubscribeAlarm_V2(TMV_NET_HANDLE handle, uint8_t snapshot,
                                              TMV_NET_ALARM_CALLBACK callback, void *user)
{
    (void)user;
    EntryPoint call(__func__, handle);
    call.input(&snapshot, sizeof snapshot).callbackFn(callback);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_SubscribeAlarm(TMV_NET_HANDLE handle, TMV_NET_ALARM_CALLBACK callback, void *user)
{
    (void)user;
    EntryPoint call(__func__, handle);
    call.callbackFn(callback);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_UnsubscribeAlarm(TMV_NET_HANDLE handle)
{
    EntryPoint call(__func__, handle);
    return call.notSupported();
}
