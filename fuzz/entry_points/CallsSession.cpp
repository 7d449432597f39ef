// Rows of the table: session (init, search, logins, device info) and preview.
#include "Calls.h"

namespace entryfuzz {

#define H s.handle()

const Entry kSessionCalls[] = {
    // ---- Session
    {"Init", [](Step &) { check(TMV_NET_Init()); }},
    {"Deinit",
     [](Step &) {
         const int32_t status = TMV_NET_Deinit();
         check(status);
         if (status == 0)
             for (int i = 0; i < g_slotCount.load(); ++i)
                 g_slots[i].quiet();
     }},
    {"SearchDev",
     [](Step &s) {
         TMV_NET_SEARCH_CALLBACK cb;
         s.maybeCallback(searchCallback, &cb);
         const int32_t wait = s.p.ConsumeBool() ? s.any() : 500;
         const int32_t status = TMV_NET_SearchDev(cb, &g_user, wait);
         check(status);
         g_searched = g_searched || status == 0;
     }},
    {"Login",
     [](Step &s) {
         const TMV_NET_LOGIN_INFO *info;
         TMV_NET_LOGIN_INFO *made = nullptr;
         if (s.p.ConsumeBool()) {
             info = s.in<TMV_NET_LOGIN_INFO>();
         } else {
             // Most logins are near the fleet's credentials.
             static const char *const kIps[] = {"127.0.0.11", "127.0.0.12", "127.0.0.13", "127.0.0.14",
                                                "127.0.0.1"};
             static const char *const kUsers[] = {"admin", "", "Admin", "root"};
             static const char *const kPasswords[] = {"sensor852", "", "sensor85", "sensor8522"};
             static const int32_t kPorts[] = {80, 0, 81, 8080, -1};
             made = static_cast<TMV_NET_LOGIN_INFO *>(block(sizeof *made));
             std::memset(made, 0, sizeof *made);
             putText(reinterpret_cast<uint8_t *>(made->ip), sizeof made->ip, kIps[pick(s.p, kIps)]);
             putText(reinterpret_cast<uint8_t *>(made->userName), sizeof made->userName,
                     kUsers[pick(s.p, kUsers)]);
             putText(reinterpret_cast<uint8_t *>(made->password), sizeof made->password,
                     kPasswords[pick(s.p, kPasswords)]);
             made->port = kPorts[s.p.ConsumeIntegralInRange<size_t>(0, 4)];
             info = made;
         }
         auto *handle = s.out<TMV_NET_HANDLE>();
         const int32_t status = TMV_NET_Login(info, handle);
         check(status);
         if (status != 0)
             return;
         require(handle && *handle);
         if (g_slotCount.load() < kSlots)
             addSlot(*handle, true);
         else
             require(TMV_NET_Logout(*handle) == 0);
     }},
    {"Logout",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t status = TMV_NET_Logout(h);
         check(status);
         if (status == 0)
             loggedOut(h);
     }},
    {"SetExceptionCallback",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         TMV_NET_EXCEPTION_CALLBACK cb;
         const bool given = s.maybeCallback(exceptionCallback, &cb);
         startStream(h, &Slot::exception, given, [&] { return TMV_NET_SetExceptionCallback(h, cb, &g_user); });
     }},
    {"GetDevInfo",
     [](Step &s) {
         auto *r = s.out<TMV_NET_DEV_INFO>();
         afterGet(TMV_NET_GetDevInfo(H, r), r);
     }},
    {"GetDevAbility",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t channel = s.channel(), reserved = s.p.ConsumeBool() ? 0 : s.any();
         auto *r = s.out<TMV_NET_DEV_ABILITY>();
         afterGet(TMV_NET_GetDevAbility(h, channel, reserved, r), r);
     }},
    {"GetPtzAuxState",
     [](Step &s) {
         auto *r = s.out<TMV_NET_PTZ_AUX_STATE>();
         afterGet(TMV_NET_GetPtzAuxState(H, r), r);
     }},
    // ---- Preview
    {"StartPreview_V2",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const auto *info = s.in<TMV_NET_PREVIEW_INFO>();
         TMV_NET_PREVIEW_CALLBACK cb;
         const bool given = s.maybeCallback(previewCallback, &cb);
         startStream(h, &Slot::preview, given, [&] { return TMV_NET_StartPreview_V2(h, info, cb, &g_user); });
     }},
    {"StopPreview",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         stopped(TMV_NET_StopPreview(h), h, &Slot::preview);
     }},
    {"PreviewSnapshot",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         PathArg path(s);
         check(TMV_NET_PreviewSnapshot(h, path.get()));
     }},
    {"GetIRGImage",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         PathArg irg(s), jpg(s);
         check(TMV_NET_GetIRGImage(h, irg.get(), jpg.get()));
     }},
    {"GetDLT664Image",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         PathArg path(s);
         check(TMV_NET_GetDLT664Image(h, path.get()));
     }},
    {"StartPreviewRecord",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         PathArg path(s);
         check(TMV_NET_StartPreviewRecord(h, path.get()));
     }},
    {"StopPreviewRecord", [](Step &s) { check(TMV_NET_StopPreviewRecord(H)); }},
};

#undef H

}  // namespace entryfuzz
