// Entry points of the preview family: live video, snapshots, recording.

#include "api/EntryPoint.h"
#include "api/Forward.h"
#include "device/Capture.h"
#include "device/Device.h"
#include "device/Fleet.h"
#include "device/Session.h"

using sim::api::EntryPoint;

TMV_NET_API int32_t TMV_NET_StartPreview_V2(TMV_NET_HANDLE handle, const TMV_NET_PREVIEW_INFO *info,
                                            TMV_NET_PREVIEW_CALLBACK callback, void *user)
{
    SIM_FORWARD(TMV_NET_StartPreview_V2, handle, info, callback, user);
    EntryPoint call("TMV_NET_StartPreview_V2", handle);
    call.input(info, sizeof *info).callbackFn(callback);
    if (!call.ok())
        return call.status();
    if (!call.device().validChannel(info->channel))
        return sim::kWrongParam;
    return call.session().startPreview(info->channel, callback, user);
}

TMV_NET_API int32_t TMV_NET_StopPreview(TMV_NET_HANDLE handle)
{
    SIM_FORWARD(TMV_NET_StopPreview, handle);
    // Stopping must work even when the device has gone away meanwhile.
    EntryPoint call("TMV_NET_StopPreview");
    call.input(&handle, sizeof handle);
    if (!call.ok())
        return call.status();
    auto session = sim::Fleet::instance().session(handle);
    return session ? session->stopPreview() : sim::kFailed;
}

TMV_NET_API int32_t TMV_NET_PreviewSnapshot(TMV_NET_HANDLE handle, const char *path)
{
    SIM_FORWARD(TMV_NET_PreviewSnapshot, handle, path);
    EntryPoint call("TMV_NET_PreviewSnapshot", handle);
    call.string(path);
    if (!call.ok())
        return call.status();
    return sim::captureSnapshot(call.session(), path);
}

TMV_NET_API int32_t TMV_NET_GetIRGImage(TMV_NET_HANDLE handle, const char *irgPath, const char *jpgPath)
{
    SIM_FORWARD(TMV_NET_GetIRGImage, handle, irgPath, jpgPath);
    EntryPoint call("TMV_NET_GetIRGImage", handle);
    call.string(irgPath).string(jpgPath);
    if (!call.ok())
        return call.status();
    return sim::captureIrg(call.session(), irgPath, jpgPath);
}

TMV_NET_API int32_t TMV_NET_GetDLT664Image(TMV_NET_HANDLE handle, const char *path)
{
    SIM_FORWARD(TMV_NET_GetDLT664Image, handle, path);
    EntryPoint call("TMV_NET_GetDLT664Image", handle);
    call.string(path);
    if (!call.ok())
        return call.status();
    return sim::captureDlt664(call.session(), path);
}

TMV_NET_API int32_t TMV_NET_StartPreviewRecord(TMV_NET_HANDLE handle, const char *path)
{
    SIM_FORWARD_TO(sim::remote::startRecord(handle, path));
    EntryPoint call("TMV_NET_StartPreviewRecord", handle);
    call.string(path);
    if (!call.ok())
        return call.status();
    return call.session().startRecord(path);
}

TMV_NET_API int32_t TMV_NET_StopPreviewRecord(TMV_NET_HANDLE handle)
{
    SIM_FORWARD_TO(sim::remote::stopRecord(handle));
    EntryPoint call("TMV_NET_StopPreviewRecord");
    call.input(&handle, sizeof handle);
    if (!call.ok())
        return call.status();
    auto session = sim::Fleet::instance().session(handle);
    return session ? session->stopRecord() : sim::kFailed;
}
