// Rows of the table: configuration (imaging, OSD, network, maintenance, peripherals, recognition).
#include "Calls.h"

namespace entryfuzz {

#define H s.handle()

const Entry kConfigCalls[] = {
    // ---- Configuration: imaging and thermal
    {"GetFrameRate",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *v = s.outCount();
         afterGet(TMV_NET_GetFrameRate(h, v), v);
     }},
    {"SetFrameRate",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetFrameRate(h, s.p.ConsumeBool() ? 25 : s.any()));
     }},
    {"SyncSystemTime",
     [](Step &s) {
         static const char *const kTimes[] = {"2024-01-01 12:00:00", "1970-01-01 00:00:00", "2038-01-19 03:14:08",
                                              "9999-12-31 23:59:59", "2024-02-30 00:00:00", "2024-01-01+12:00:00"};
         const TMV_NET_HANDLE h = H;
         const int which = s.p.ConsumeIntegralInRange<int>(0, 7);
         std::string text;
         if (which < 6)
             text = kTimes[which];
         else
             text = s.p.ConsumeRandomLengthString(40);
         check(TMV_NET_SyncSystemTime(h, which == 7 && text.empty() ? nullptr : text.c_str()));
     }},
    {"CorrectShutter", [](Step &s) { check(TMV_NET_CorrectShutter(H)); }},
    {"GetEnvParam",
     [](Step &s) {
         auto *r = s.out<TMV_NET_ENV_PARAM>();
         afterGet(TMV_NET_GetEnvParam(H, r), r);
     }},
    {"SetEnvParam",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetEnvParam(h, s.in<TMV_NET_ENV_PARAM>()));
     }},
    {"GetOSDState",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *v = s.outCount();
         afterGet(TMV_NET_GetOSDState(h, v), v);
     }},
    {"SetOSDState",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetOSDState(h, s.small(1)));
     }},
    {"GetTempBarState",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *v = s.outCount();
         afterGet(TMV_NET_GetTempBarState(h, v), v);
     }},
    {"SetTempBarState",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetTempBarState(h, s.small(1)));
     }},
    {"GetPalleteType",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *v = s.outCount();
         afterGet(TMV_NET_GetPalleteType(h, v), v);
     }},
    {"SetPalleteType",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetPalleteType(h, s.small(20)));
     }},
    {"GetTempLevel",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *v = s.outCount();
         afterGet(TMV_NET_GetTempLevel(h, v), v);
     }},
    {"SetTempLevel",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetTempLevel(h, s.small(3)));
     }},
    {"GetTempUnit",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *v = s.outCount();
         afterGet(TMV_NET_GetTempUnit(h, v), v);
     }},
    {"SetTempUnit",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetTempUnit(h, s.small(3)));
     }},
    {"GetTempSpanInfo",
     [](Step &s) {
         auto *r = s.out<TMV_NET_TEMP_SPAN_INFO>();
         afterGet(TMV_NET_GetTempSpanInfo(H, r), r);
     }},
    {"SetTempSpanInfo",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetTempSpanInfo(h, s.in<TMV_NET_TEMP_SPAN_INFO>()));
     }},
    {"GetThermalImageLuminance",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *v = s.outCount();
         afterGet(TMV_NET_GetThermalImageLuminance(h, v), v);
     }},
    {"SetThermalImageLuminance",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetThermalImageLuminance(h, s.any()));
     }},
    {"GetThermalImageContrast",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *v = s.outCount();
         afterGet(TMV_NET_GetThermalImageContrast(h, v), v);
     }},
    {"SetThermalImageContrast",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetThermalImageContrast(h, s.any()));
     }},
    {"GetThermalImageFlipMode",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *v = s.outCount();
         afterGet(TMV_NET_GetThermalImageFlipMode(h, v), v);
     }},
    {"SetThermalImageFlipMode",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetThermalImageFlipMode(h, s.small(3)));
     }},
    {"GetThermalImageEnhanceInfo",
     [](Step &s) {
         auto *r = s.out<TMV_NET_THERMAL_IMAGE_ENHANCE_INFO>();
         afterGet(TMV_NET_GetThermalImageEnhanceInfo(H, r), r);
     }},
    {"SetThermalImageEnhanceInfo",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetThermalImageEnhanceInfo(h, s.in<TMV_NET_THERMAL_IMAGE_ENHANCE_INFO>()));
     }},
    // ---- Configuration: OSD, network, maintenance
    {"GetOSDTimeTitleInfo",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t channel = s.channel();
         auto *r = s.out<TMV_NET_OSD_TIME_TITLE_INFO>();
         afterGet(TMV_NET_GetOSDTimeTitleInfo(h, channel, r), r);
     }},
    {"SetOSDTimeTitleInfo",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t channel = s.channel();
         check(TMV_NET_SetOSDTimeTitleInfo(h, channel, s.in<TMV_NET_OSD_TIME_TITLE_INFO>()));
     }},
    {"GetOSDChannelTitleInfo",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t channel = s.channel();
         auto *r = s.out<TMV_NET_OSD_CHANNEL_TITLE_INFO>();
         afterGet(TMV_NET_GetOSDChannelTitleInfo(h, channel, r), r);
     }},
    {"SetOSDChannelTitleInfo",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t channel = s.channel();
         check(TMV_NET_SetOSDChannelTitleInfo(h, channel, s.in<TMV_NET_OSD_CHANNEL_TITLE_INFO>()));
     }},
    {"GetLaserDistanceOsdParam",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t channel = s.channel();
         auto *r = s.out<TMV_NET_LASER_DISTANCE_OSD_PARAM>();
         afterGet(TMV_NET_GetLaserDistanceOsdParam(h, channel, r), r);
     }},
    {"SetLaserDistanceOsdParam",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t channel = s.channel();
         check(TMV_NET_SetLaserDistanceOsdParam(h, channel, s.in<TMV_NET_LASER_DISTANCE_OSD_PARAM>()));
     }},
    {"GetIpConfig",
     [](Step &s) {
         auto *r = s.out<TMV_NET_IP_CONFIG>();
         afterGet(TMV_NET_GetIpConfig(H, r), r);
     }},
    {"SetIpConfig",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetIpConfig(h, s.in<TMV_NET_IP_CONFIG>()));
     }},
    {"SetTransparentState",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetTransparentState(h, s.p.ConsumeBool() ? 1 : s.small(1)));
     }},
    {"TransparentData",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         // `size` bytes to send (none for a size below one) and a reply
         // buffer of exactly its capacity.
         const int32_t size = s.p.ConsumeBool() ? s.p.ConsumeIntegralInRange<int32_t>(1, 64) : s.small(8);
         uint8_t *data = nullptr;
         if (size > 0 && !nullNow(s.p)) {
             data = static_cast<uint8_t *>(block(size_t(size)));
             const std::vector<uint8_t> bytes = s.p.ConsumeBytes<uint8_t>(size_t(size));
             std::memset(data, 0, size_t(size));
             if (!bytes.empty())
                 std::memcpy(data, bytes.data(), bytes.size());
         }
         const int32_t capacity = s.p.ConsumeBool() ? 64 : kCapacities[s.p.ConsumeIntegralInRange<size_t>(0, 11)];
         uint8_t *reply = nullptr;
         if (capacity >= 0 && !nullNow(s.p))
             reply = static_cast<uint8_t *>(block(size_t(capacity)));
         int32_t *length = s.outCount();
         const int32_t timeout = s.p.ConsumeBool() ? 100 : s.any();
         const int32_t status = TMV_NET_TransparentData(h, data, size, reply, capacity, length, timeout);
         check(status);
         if (status == 0 && length)
             require(*length >= 0 && *length <= capacity);
         else if (length)
             require(*length == kUntouched);
     }},
    {"SystemReboot", [](Step &s) { check(TMV_NET_SystemReboot(H)); }},
    {"SystemRestart", [](Step &s) { check(TMV_NET_SystemRestart(H)); }},
    {"RestoreFactoryDefaults", [](Step &s) { check(TMV_NET_RestoreFactoryDefaults(H)); }},
    // ---- Configuration: peripherals
    {"GetWiperConfigInfo",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *v = s.outCount();
         afterGet(TMV_NET_GetWiperConfigInfo(h, v), v);
     }},
    {"SetWiperConfigInfo",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetWiperConfigInfo(h, s.small(1)));
     }},
    {"GetFillLightConfigInfo",
     [](Step &s) {
         auto *r = s.out<TMV_NET_FILL_LIGHT_CONFIG_INFO>();
         afterGet(TMV_NET_GetFillLightConfigInfo(H, r), r);
     }},
    {"SetFillLightConfigInfo",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetFillLightConfigInfo(h, s.in<TMV_NET_FILL_LIGHT_CONFIG_INFO>()));
     }},
    {"GetDayNightModeParam",
     [](Step &s) {
         auto *r = s.out<TMV_NET_DAY_NIGHT_MODE_PARAM>();
         afterGet(TMV_NET_GetDayNightModeParam(H, r), r);
     }},
    {"SetDayNightModeParam",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetDayNightModeParam(h, s.in<TMV_NET_DAY_NIGHT_MODE_PARAM>()));
     }},
    {"GetLogoPicture",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t type = s.small(1);
         PathArg path(s);
         check(TMV_NET_GetLogoPicture(h, type, path.get()));
     }},
    {"SetLogoPicture",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t type = s.small(1);
         PathArg path(s);
         check(TMV_NET_SetLogoPicture(h, type, path.get()));
     }},
    // ---- Configuration: target recognition
    {"GetTargetRecognitionConfig",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t channel = s.channel();
         auto *r = s.out<TMV_NET_TARGET_RECOGNITION_CONFIG>();
         afterGet(TMV_NET_GetTargetRecognitionConfig(h, channel, r), r);
     }},
    {"SetTargetRecognitionConfig",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t channel = s.channel();
         check(TMV_NET_SetTargetRecognitionConfig(h, channel, s.in<TMV_NET_TARGET_RECOGNITION_CONFIG>()));
     }},
};

#undef H

}  // namespace entryfuzz
