#pragma once
// The 141 functions of the contract header, in the header's order. A
// function's place in this list is its number on the wire, so the list only
// ever grows at its end. Expand with a macro X(name).

#include "TMVNetSDK.h"

#define SIM_WIRE_FUNCTIONS(X) \
    X(TMV_NET_Init) \
    X(TMV_NET_Deinit) \
    X(TMV_NET_SearchDev) \
    X(TMV_NET_Login) \
    X(TMV_NET_Logout) \
    X(TMV_NET_SetExceptionCallback) \
    X(TMV_NET_GetDevInfo) \
    X(TMV_NET_GetDevAbility) \
    X(TMV_NET_GetPtzAuxState) \
    X(TMV_NET_StartPreview_V2) \
    X(TMV_NET_StopPreview) \
    X(TMV_NET_PreviewSnapshot) \
    X(TMV_NET_GetIRGImage) \
    X(TMV_NET_GetDLT664Image) \
    X(TMV_NET_StartPreviewRecord) \
    X(TMV_NET_StopPreviewRecord) \
    X(TMV_NET_QueryFrameTemp) \
    X(TMV_NET_QueryFrameTempAlarmConfig) \
    X(TMV_NET_UpdateFrameTempAlarmConfig) \
    X(TMV_NET_GetTempEnable) \
    X(TMV_NET_SetTempEnable) \
    X(TMV_NET_QueryRandomTemp) \
    X(TMV_NET_SetPullTempExecParam) \
    X(TMV_NET_StartPullTemp_V2) \
    X(TMV_NET_StopPullTemp) \
    X(TMV_NET_StartPullNucData) \
    X(TMV_NET_StopPullNucData) \
    X(TMV_NET_QueryTempRuleSize) \
    X(TMV_NET_QueryTempRule) \
    X(TMV_NET_QueryRuleTemp) \
    X(TMV_NET_DeleteAllTempRule) \
    X(TMV_NET_DeleteTempRule) \
    X(TMV_NET_AddTempRule) \
    X(TMV_NET_UpdateTempRule) \
    X(TMV_NET_QueryTempMaskSize) \
    X(TMV_NET_QueryTempMask) \
    X(TMV_NET_DeleteAllTempMask) \
    X(TMV_NET_DeleteTempMask) \
    X(TMV_NET_AddTempMask) \
    X(TMV_NET_QueryTempRule_G1) \
    X(TMV_NET_AddTempRule_G1) \
    X(TMV_NET_UpdateTempRule_G1) \
    X(TMV_NET_QueryFrameTempAlarmConfig_G1) \
    X(TMV_NET_UpdateFrameTempAlarmConfig_G1) \
    X(TMV_NET_SubscribeAlarm_V2) \
    X(TMV_NET_SubscribeAlarm) \
    X(TMV_NET_UnsubscribeAlarm) \
    X(TMV_NET_PtzControl) \
    X(TMV_NET_QueryPtzPresetSize) \
    X(TMV_NET_QueryPtzPreset) \
    X(TMV_NET_PtzPresetControl) \
    X(TMV_NET_QueryPtzPresetId) \
    X(TMV_NET_QueryPtzTourSize) \
    X(TMV_NET_QueryPtzTour) \
    X(TMV_NET_PtzTourControl) \
    X(TMV_NET_QueryPtzPatternSize) \
    X(TMV_NET_QueryPtzPattern) \
    X(TMV_NET_PtzPatternControl) \
    X(TMV_NET_QueryPtzRegionScanInfoSize) \
    X(TMV_NET_QueryPtzRegionScanInfo) \
    X(TMV_NET_SetPtzRegionScanInfo) \
    X(TMV_NET_PtzRegionScanControl) \
    X(TMV_NET_DeletePtzRegionScanInfo) \
    X(TMV_NET_QueryPtzBootActionInfo) \
    X(TMV_NET_SetPtzBootActionInfo) \
    X(TMV_NET_QueryPtzParkActionInfo) \
    X(TMV_NET_SetPtzParkActionInfo) \
    X(TMV_NET_ResetPtzConfig) \
    X(TMV_NET_PtzLensInit) \
    X(TMV_NET_GetLaserDistance) \
    X(TMV_NET_PtzPosition) \
    X(TMV_NET_PtzTrackingPosition) \
    X(TMV_NET_GetCurrentPtz_V1) \
    X(TMV_NET_GetPtzZoomMultiplier) \
    X(TMV_NET_SetPtzZoomMultiplier) \
    X(TMV_NET_GetTargetTrackConfig) \
    X(TMV_NET_SetTargetTrackConfig) \
    X(TMV_NET_GetAccelerationData) \
    X(TMV_NET_GetPtzPowerOffConfig) \
    X(TMV_NET_SetPtzPowerOffConfig) \
    X(TMV_NET_GetPtzRunningStatus) \
    X(TMV_NET_Ptz3DPosition) \
    X(TMV_NET_PtzRegionFocus) \
    X(TMV_NET_PtzManualTrack) \
    X(TMV_NET_ElectronicPtzControl) \
    X(TMV_NET_GetGunBallTrackConfigInfo) \
    X(TMV_NET_SetGunBallTrackConfigInfo) \
    X(TMV_NET_GetFrameRate) \
    X(TMV_NET_SetFrameRate) \
    X(TMV_NET_SyncSystemTime) \
    X(TMV_NET_CorrectShutter) \
    X(TMV_NET_GetEnvParam) \
    X(TMV_NET_SetEnvParam) \
    X(TMV_NET_GetOSDState) \
    X(TMV_NET_SetOSDState) \
    X(TMV_NET_GetTempBarState) \
    X(TMV_NET_SetTempBarState) \
    X(TMV_NET_GetPalleteType) \
    X(TMV_NET_SetPalleteType) \
    X(TMV_NET_GetTempLevel) \
    X(TMV_NET_SetTempLevel) \
    X(TMV_NET_GetTempUnit) \
    X(TMV_NET_SetTempUnit) \
    X(TMV_NET_GetTempSpanInfo) \
    X(TMV_NET_SetTempSpanInfo) \
    X(TMV_NET_GetThermalImageLuminance) \
    X(TMV_NET_SetThermalImageLuminance) \
    X(TMV_NET_GetThermalImageContrast) \
    X(TMV_NET_SetThermalImageContrast) \
    X(TMV_NET_GetThermalImageFlipMode) \
    X(TMV_NET_SetThermalImageFlipMode) \
    X(TMV_NET_GetThermalImageEnhanceInfo) \
    X(TMV_NET_SetThermalImageEnhanceInfo) \
    X(TMV_NET_GetOSDTimeTitleInfo) \
    X(TMV_NET_SetOSDTimeTitleInfo) \
    X(TMV_NET_GetOSDChannelTitleInfo) \
    X(TMV_NET_SetOSDChannelTitleInfo) \
    X(TMV_NET_GetLaserDistanceOsdParam) \
    X(TMV_NET_SetLaserDistanceOsdParam) \
    X(TMV_NET_GetIpConfig) \
    X(TMV_NET_SetIpConfig) \
    X(TMV_NET_SetTransparentState) \
    X(TMV_NET_TransparentData) \
    X(TMV_NET_SystemReboot) \
    X(TMV_NET_SystemRestart) \
    X(TMV_NET_RestoreFactoryDefaults) \
    X(TMV_NET_GetWiperConfigInfo) \
    X(TMV_NET_SetWiperConfigInfo) \
    X(TMV_NET_GetFillLightConfigInfo) \
    X(TMV_NET_SetFillLightConfigInfo) \
    X(TMV_NET_GetDayNightModeParam) \
    X(TMV_NET_SetDayNightModeParam) \
    X(TMV_NET_GetLogoPicture) \
    X(TMV_NET_SetLogoPicture) \
    X(TMV_NET_GetTargetRecognitionConfig) \
    X(TMV_NET_SetTargetRecognitionConfig) \
    X(TMV_NET_QueryFileSize) \
    X(TMV_NET_QueryFile) \
    X(TMV_NET_StartDownloadFile) \
    X(TMV_NET_StopDownloadFile) \
    X(TMV_NET_GetDownloadProgress) \

namespace sim::wire {

#define SIM_WIRE_COUNT_ONE(name) +1
constexpr int kFunctionCount = 0 SIM_WIRE_FUNCTIONS(SIM_WIRE_COUNT_ONE);
#undef SIM_WIRE_COUNT_ONE
static_assert(kFunctionCount == 141, "every function of the contract, once");

// The function numbers: kFn_TMV_NET_Login and so on.
enum FunctionNumber : uint16_t {
#define SIM_WIRE_NUMBER(name) kFn_##name,
    SIM_WIRE_FUNCTIONS(SIM_WIRE_NUMBER)
#undef SIM_WIRE_NUMBER
};

// The function's name ("TMV_NET_Login"), or null for a number beyond the list.
const char *functionName(uint16_t number);

// Whether the protocol carries the function: every one of the contract.
// (Files travel by their own rules: see FileOut, FileIn, FileLive and
// DownloadInto in wire/Arguments.h.)
bool carried(uint16_t number);

}  // namespace sim::wire
