// Rows of the table: PTZ (motion, presets, tours, patterns, scans, positioning, linkage).
#include "Calls.h"

namespace entryfuzz {

#define H s.handle()

const Entry kPtzCalls[] = {
    // ---- PTZ: motion
    {"PtzControl",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_PtzControl(h, s.in<TMV_NET_PTZ_CONTROL>()));
     }},
    // ---- PTZ: presets, tours, patterns
    {"QueryPtzPresetSize",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *count = s.outCount();
         sizeQueryResult(TMV_NET_QueryPtzPresetSize(h, count), count);
     }},
    {"QueryPtzPreset",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         listQuery<TMV_NET_PRESET_INFO>(
             s, [&](TMV_NET_PRESET_INFO *a, int32_t c, int32_t *n) { return TMV_NET_QueryPtzPreset(h, a, c, n); });
     }},
    {"PtzPresetControl",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t action = s.small(4);
         check(TMV_NET_PtzPresetControl(h, action, s.in<TMV_NET_PRESET_INFO>()));
     }},
    {"QueryPtzPresetId",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *v = s.outCount();
         afterGet(TMV_NET_QueryPtzPresetId(h, v), v);
     }},
    {"QueryPtzTourSize",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *count = s.outCount();
         sizeQueryResult(TMV_NET_QueryPtzTourSize(h, count), count);
     }},
    {"QueryPtzTour",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t withPoints = s.p.ConsumeBool() ? 1 : s.small(1);
         listQuery<TMV_NET_TOUR_INFO>(s, [&](TMV_NET_TOUR_INFO *a, int32_t c, int32_t *n) {
             return TMV_NET_QueryPtzTour(h, withPoints, a, c, n);
         });
     }},
    {"PtzTourControl",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t action = s.small(4);
         check(TMV_NET_PtzTourControl(h, action, s.in<TMV_NET_TOUR_INFO>()));
     }},
    {"QueryPtzPatternSize",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *count = s.outCount();
         sizeQueryResult(TMV_NET_QueryPtzPatternSize(h, count), count);
     }},
    {"QueryPtzPattern",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         listQuery<TMV_NET_PATTERN_INFO>(
             s, [&](TMV_NET_PATTERN_INFO *a, int32_t c, int32_t *n) { return TMV_NET_QueryPtzPattern(h, a, c, n); });
     }},
    {"PtzPatternControl",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t action = s.small(4);
         check(TMV_NET_PtzPatternControl(h, action, s.small(8)));
     }},
    // ---- PTZ: area scans, boot and park actions
    {"QueryPtzRegionScanInfoSize",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *count = s.outCount();
         sizeQueryResult(TMV_NET_QueryPtzRegionScanInfoSize(h, count), count);
     }},
    {"QueryPtzRegionScanInfo",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         listQuery<TMV_NET_REGION_SCAN_INFO>(s, [&](TMV_NET_REGION_SCAN_INFO *a, int32_t c, int32_t *n) {
             return TMV_NET_QueryPtzRegionScanInfo(h, a, c, n);
         });
     }},
    {"SetPtzRegionScanInfo",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetPtzRegionScanInfo(h, s.in<TMV_NET_REGION_SCAN_INFO>()));
     }},
    {"PtzRegionScanControl",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t id = s.small(8);
         check(TMV_NET_PtzRegionScanControl(h, id, s.p.ConsumeBool()));
     }},
    {"DeletePtzRegionScanInfo",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_DeletePtzRegionScanInfo(h, s.small(8)));
     }},
    {"QueryPtzBootActionInfo",
     [](Step &s) {
         auto *r = s.out<TMV_NET_BOOT_ACTION_INFO>();
         afterGet(TMV_NET_QueryPtzBootActionInfo(H, r), r);
     }},
    {"SetPtzBootActionInfo",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetPtzBootActionInfo(h, s.in<TMV_NET_BOOT_ACTION_INFO>()));
     }},
    {"QueryPtzParkActionInfo",
     [](Step &s) {
         auto *r = s.out<TMV_NET_PARK_ACTION_INFO>();
         afterGet(TMV_NET_QueryPtzParkActionInfo(H, r), r);
     }},
    {"SetPtzParkActionInfo",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetPtzParkActionInfo(h, s.in<TMV_NET_PARK_ACTION_INFO>()));
     }},
    // ---- PTZ: positioning, tracking, status
    {"ResetPtzConfig", [](Step &s) { check(TMV_NET_ResetPtzConfig(H)); }},
    {"PtzLensInit",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_PtzLensInit(h, s.channel()));
     }},
    {"GetLaserDistance",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *v = s.outCount();
         afterGet(TMV_NET_GetLaserDistance(h, v), v);
     }},
    {"PtzPosition",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_PtzPosition(h, s.in<TMV_NET_PTZ_POSITION>()));
     }},
    {"PtzTrackingPosition",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_PtzTrackingPosition(h, s.in<TMV_NET_PTZ_TRACKING_POSITION>()));
     }},
    {"GetCurrentPtz_V1",
     [](Step &s) {
         auto *r = s.out<TMV_NET_CURRENT_PTZ_INFO>();
         afterGet(TMV_NET_GetCurrentPtz_V1(H, r), r);
     }},
    {"GetPtzZoomMultiplier",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t channel = s.channel();
         float *v = s.out<float>();
         afterGet(TMV_NET_GetPtzZoomMultiplier(h, channel, v), v);
     }},
    {"SetPtzZoomMultiplier",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t channel = s.channel();
         check(TMV_NET_SetPtzZoomMultiplier(h, channel, s.anyF()));
     }},
    {"GetTargetTrackConfig",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t channel = s.channel();
         auto *r = s.out<TMV_NET_TARGET_TRACK_CONFIG>();
         afterGet(TMV_NET_GetTargetTrackConfig(h, channel, r), r);
     }},
    {"SetTargetTrackConfig",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t channel = s.channel();
         check(TMV_NET_SetTargetTrackConfig(h, channel, s.in<TMV_NET_TARGET_TRACK_CONFIG>()));
     }},
    {"GetAccelerationData",
     [](Step &s) {
         auto *r = s.out<TMV_NET_ACCELERATION_DATA>();
         afterGet(TMV_NET_GetAccelerationData(H, r), r);
     }},
    {"GetPtzPowerOffConfig",
     [](Step &s) {
         auto *r = s.out<TMV_NET_PTZ_POWER_OFF_CONFIG>();
         afterGet(TMV_NET_GetPtzPowerOffConfig(H, r), r);
     }},
    {"SetPtzPowerOffConfig",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetPtzPowerOffConfig(h, s.in<TMV_NET_PTZ_POWER_OFF_CONFIG>()));
     }},
    {"GetPtzRunningStatus",
     [](Step &s) {
         auto *r = s.out<TMV_NET_PTZ_RUNNING_STATUS>();
         afterGet(TMV_NET_GetPtzRunningStatus(H, r), r);
     }},
    {"Ptz3DPosition",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_Ptz3DPosition(h, s.in<TMV_NET_PTZ_3D_POSITION>()));
     }},
    {"PtzRegionFocus",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_PtzRegionFocus(h, s.in<TMV_NET_PTZ_REGION>()));
     }},
    {"PtzManualTrack",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_PtzManualTrack(h, s.in<TMV_NET_PTZ_REGION>()));
     }},
    // ---- PTZ: electronic PTZ and linkage
    {"ElectronicPtzControl",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_ElectronicPtzControl(h, s.in<TMV_NET_EPTZ_CONTROL>()));
     }},
    {"GetGunBallTrackConfigInfo",
     [](Step &s) {
         auto *r = s.out<TMV_NET_GUN_BALL_TRACK_CONFIG_INFO>();
         afterGet(TMV_NET_GetGunBallTrackConfigInfo(H, r), r);
     }},
    {"SetGunBallTrackConfigInfo",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetGunBallTrackConfigInfo(h, s.in<TMV_NET_GUN_BALL_TRACK_CONFIG_INFO>()));
     }},
};

#undef H

}  // namespace entryfuzz
