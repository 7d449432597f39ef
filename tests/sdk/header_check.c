/* Compiled as C11: the contract header must not need a C++ compiler, and
 * every record and function of the contract must be declared in it. */
#include <stddef.h>
#include <stdio.h>
#include "TMVNetSDK.h"

/* One object of every record: a missing or misspelt record fails to compile. */
struct AllRecords {
    TMV_NET_LOGIN_INFO login_info;
    TMV_NET_DEV_INFO dev_info;
    TMV_NET_DEV_ABILITY dev_ability;
    TMV_NET_PTZ_AUX_STATE ptz_aux_state;
    TMV_NET_PREVIEW_INFO preview_info;
    TMV_NET_PREVIEW_FRAME preview_frame;
    TMV_NET_POINT point;
    TMV_NET_TEMP_INFO temp_info;
    TMV_NET_TEMP_ALARM_CONDITION temp_alarm_condition;
    TMV_NET_ALARM_LINKAGE alarm_linkage;
    TMV_NET_ENV_PARAM env_param;
    TMV_NET_FRAME_TEMP_ALARM_CONFIG frame_temp_alarm_config;
    TMV_NET_TEMP_FRAME temp_frame;
    TMV_NET_TEMP_RULE temp_rule;
    TMV_NET_TEMP_RULE_KEY temp_rule_key;
    TMV_NET_RULE_TEMP rule_temp;
    TMV_NET_TEMP_MASK temp_mask;
    TMV_NET_TEMP_MASK_KEY temp_mask_key;
    TMV_NET_TEMP_ALARM_G1 temp_alarm_g1;
    TMV_NET_TEMP_RULE_G1 temp_rule_g1;
    TMV_NET_ALARM_PICTURE alarm_picture;
    TMV_NET_TEMP_ALARM_INFO temp_alarm_info;
    TMV_NET_FIRE_ALARM_INFO fire_alarm_info;
    TMV_NET_REGION_INTRUSION_ALARM_INFO region_intrusion_alarm_info;
    TMV_NET_LINE_INTRUSION_ALARM_INFO line_intrusion_alarm_info;
    TMV_NET_TEMP_DIFF_ALARM_INFO temp_diff_alarm_info;
    TMV_NET_SMOKE_DETECT_ALARM_INFO smoke_detect_alarm_info;
    TMV_NET_DYNAMIC_ALARM_INFO dynamic_alarm_info;
    TMV_NET_LOCAL_ALARM_INFO local_alarm_info;
    TMV_NET_LOGIN_EXCEPTION_ALARM_INFO login_exception_alarm_info;
    TMV_NET_HIGH_LIGHT_ALARM_INFO high_light_alarm_info;
    TMV_NET_OBJECT_PULSE_INFO object_pulse_info;
    TMV_NET_OBJECT_PULSE_ALARM_INFO object_pulse_alarm_info;
    TMV_NET_TRACK_STATE_ALARM_INFO track_state_alarm_info;
    TMV_NET_SD_EXCEPTION_ALARM_INFO sd_exception_alarm_info;
    TMV_NET_TRACK_OBJECT_ALARM_INFO track_object_alarm_info;
    TMV_NET_PTZ_CONTROL ptz_control;
    TMV_NET_PRESET_INFO preset_info;
    TMV_NET_TOUR_POINT tour_point;
    TMV_NET_TOUR_INFO tour_info;
    TMV_NET_PATTERN_INFO pattern_info;
    TMV_NET_REGION_SCAN_INFO region_scan_info;
    TMV_NET_BOOT_ACTION_INFO boot_action_info;
    TMV_NET_PARK_ACTION_INFO park_action_info;
    TMV_NET_PTZ_POSITION ptz_position;
    TMV_NET_PTZ_TRACKING_POSITION ptz_tracking_position;
    TMV_NET_CURRENT_PTZ_INFO current_ptz_info;
    TMV_NET_ACCELERATION_DATA acceleration_data;
    TMV_NET_TARGET_TRACK_CONFIG target_track_config;
    TMV_NET_PTZ_POWER_OFF_CONFIG ptz_power_off_config;
    TMV_NET_PTZ_RUNNING_STATUS ptz_running_status;
    TMV_NET_PTZ_3D_POSITION ptz_3d_position;
    TMV_NET_PTZ_REGION ptz_region;
    TMV_NET_EPTZ_CONTROL eptz_control;
    TMV_NET_GUN_BALL_TRACK_CONFIG_INFO gun_ball_track_config_info;
    TMV_NET_TEMP_SPAN_INFO temp_span_info;
    TMV_NET_THERMAL_IMAGE_ENHANCE_INFO thermal_image_enhance_info;
    TMV_NET_OSD_TIME_TITLE_INFO osd_time_title_info;
    TMV_NET_OSD_CHANNEL_TITLE_INFO osd_channel_title_info;
    TMV_NET_LASER_DISTANCE_OSD_PARAM laser_distance_osd_param;
    TMV_NET_IP_CONFIG ip_config;
    TMV_NET_FILL_LIGHT_CONFIG_INFO fill_light_config_info;
    TMV_NET_DAY_NIGHT_MODE_PARAM day_night_mode_param;
    TMV_NET_TARGET_RECOGNITION_CONFIG target_recognition_config;
    TMV_NET_FILE_QUERY file_query;
    TMV_NET_FILE_INFO file_info;
    TMV_NET_FILE_DOWNLOAD_INFO file_download_info;
    TMV_NET_DOWNLOAD_PROGRESS download_progress;
};

/* The address of every function: a missing prototype fails to compile. The
 * addresses are taken in sizeof only, so this program needs no library. */
static const size_t kFunctions[] = {
    sizeof(&TMV_NET_Init),
    sizeof(&TMV_NET_Deinit),
    sizeof(&TMV_NET_SearchDev),
    sizeof(&TMV_NET_Login),
    sizeof(&TMV_NET_Logout),
    sizeof(&TMV_NET_SetExceptionCallback),
    sizeof(&TMV_NET_GetDevInfo),
    sizeof(&TMV_NET_GetDevAbility),
    sizeof(&TMV_NET_GetPtzAuxState),
    sizeof(&TMV_NET_StartPreview_V2),
    sizeof(&TMV_NET_StopPreview),
    sizeof(&TMV_NET_PreviewSnapshot),
    sizeof(&TMV_NET_GetIRGImage),
    sizeof(&TMV_NET_GetDLT664Image),
    sizeof(&TMV_NET_StartPreviewRecord),
    sizeof(&TMV_NET_StopPreviewRecord),
    sizeof(&TMV_NET_QueryFrameTemp),
    sizeof(&TMV_NET_QueryFrameTempAlarmConfig),
    sizeof(&TMV_NET_UpdateFrameTempAlarmConfig),
    sizeof(&TMV_NET_GetTempEnable),
    sizeof(&TMV_NET_SetTempEnable),
    sizeof(&TMV_NET_QueryRandomTemp),
    sizeof(&TMV_NET_SetPullTempExecParam),
    sizeof(&TMV_NET_StartPullTemp_V2),
    sizeof(&TMV_NET_StopPullTemp),
    sizeof(&TMV_NET_StartPullNucData),
    sizeof(&TMV_NET_StopPullNucData),
    sizeof(&TMV_NET_QueryTempRuleSize),
    sizeof(&TMV_NET_QueryTempRule),
    sizeof(&TMV_NET_QueryRuleTemp),
    sizeof(&TMV_NET_DeleteAllTempRule),
    sizeof(&TMV_NET_DeleteTempRule),
    sizeof(&TMV_NET_AddTempRule),
    sizeof(&TMV_NET_UpdateTempRule),
    sizeof(&TMV_NET_QueryTempMaskSize),
    sizeof(&TMV_NET_QueryTempMask),
    sizeof(&TMV_NET_DeleteAllTempMask),
    sizeof(&TMV_NET_DeleteTempMask),
    sizeof(&TMV_NET_AddTempMask),
    sizeof(&TMV_NET_QueryTempRule_G1),
    sizeof(&TMV_NET_AddTempRule_G1),
    sizeof(&TMV_NET_UpdateTempRule_G1),
    sizeof(&TMV_NET_QueryFrameTempAlarmConfig_G1),
    sizeof(&TMV_NET_UpdateFrameTempAlarmConfig_G1),
    sizeof(&TMV_NET_SubscribeAlarm_V2),
    sizeof(&TMV_NET_SubscribeAlarm),
    sizeof(&TMV_NET_UnsubscribeAlarm),
    sizeof(&TMV_NET_PtzControl),
    sizeof(&TMV_NET_QueryPtzPresetSize),
    sizeof(&TMV_NET_QueryPtzPreset),
    sizeof(&TMV_NET_PtzPresetControl),
    sizeof(&TMV_NET_QueryPtzPresetId),
    sizeof(&TMV_NET_QueryPtzTourSize),
    sizeof(&TMV_NET_QueryPtzTour),
    sizeof(&TMV_NET_PtzTourControl),
    sizeof(&TMV_NET_QueryPtzPatternSize),
    sizeof(&TMV_NET_QueryPtzPattern),
    sizeof(&TMV_NET_PtzPatternControl),
    sizeof(&TMV_NET_QueryPtzRegionScanInfoSize),
    sizeof(&TMV_NET_QueryPtzRegionScanInfo),
    sizeof(&TMV_NET_SetPtzRegionScanInfo),
    sizeof(&TMV_NET_PtzRegionScanControl),
    sizeof(&TMV_NET_DeletePtzRegionScanInfo),
    sizeof(&TMV_NET_QueryPtzBootActionInfo),
    sizeof(&TMV_NET_SetPtzBootActionInfo),
    sizeof(&TMV_NET_QueryPtzParkActionInfo),
    sizeof(&TMV_NET_SetPtzParkActionInfo),
    sizeof(&TMV_NET_ResetPtzConfig),
    sizeof(&TMV_NET_PtzLensInit),
    sizeof(&TMV_NET_GetLaserDistance),
    sizeof(&TMV_NET_PtzPosition),
    sizeof(&TMV_NET_PtzTrackingPosition),
    sizeof(&TMV_NET_GetCurrentPtz_V1),
    sizeof(&TMV_NET_GetPtzZoomMultiplier),
    sizeof(&TMV_NET_SetPtzZoomMultiplier),
    sizeof(&TMV_NET_GetTargetTrackConfig),
    sizeof(&TMV_NET_SetTargetTrackConfig),
    sizeof(&TMV_NET_GetAccelerationData),
    sizeof(&TMV_NET_GetPtzPowerOffConfig),
    sizeof(&TMV_NET_SetPtzPowerOffConfig),
    sizeof(&TMV_NET_GetPtzRunningStatus),
    sizeof(&TMV_NET_Ptz3DPosition),
    sizeof(&TMV_NET_PtzRegionFocus),
    sizeof(&TMV_NET_PtzManualTrack),
    sizeof(&TMV_NET_ElectronicPtzControl),
    sizeof(&TMV_NET_GetGunBallTrackConfigInfo),
    sizeof(&TMV_NET_SetGunBallTrackConfigInfo),
    sizeof(&TMV_NET_GetFrameRate),
    sizeof(&TMV_NET_SetFrameRate),
    sizeof(&TMV_NET_SyncSystemTime),
    sizeof(&TMV_NET_CorrectShutter),
    sizeof(&TMV_NET_GetEnvParam),
    sizeof(&TMV_NET_SetEnvParam),
    sizeof(&TMV_NET_GetOSDState),
    sizeof(&TMV_NET_SetOSDState),
    sizeof(&TMV_NET_GetTempBarState),
    sizeof(&TMV_NET_SetTempBarState),
    sizeof(&TMV_NET_GetPalleteType),
    sizeof(&TMV_NET_SetPalleteType),
    sizeof(&TMV_NET_GetTempLevel),
    sizeof(&TMV_NET_SetTempLevel),
    sizeof(&TMV_NET_GetTempUnit),
    sizeof(&TMV_NET_SetTempUnit),
    sizeof(&TMV_NET_GetTempSpanInfo),
    sizeof(&TMV_NET_SetTempSpanInfo),
    sizeof(&TMV_NET_GetThermalImageLuminance),
    sizeof(&TMV_NET_SetThermalImageLuminance),
    sizeof(&TMV_NET_GetThermalImageContrast),
    sizeof(&TMV_NET_SetThermalImageContrast),
    sizeof(&TMV_NET_GetThermalImageFlipMode),
    sizeof(&TMV_NET_SetThermalImageFlipMode),
    sizeof(&TMV_NET_GetThermalImageEnhanceInfo),
    sizeof(&TMV_NET_SetThermalImageEnhanceInfo),
    sizeof(&TMV_NET_GetOSDTimeTitleInfo),
    sizeof(&TMV_NET_SetOSDTimeTitleInfo),
    sizeof(&TMV_NET_GetOSDChannelTitleInfo),
    sizeof(&TMV_NET_SetOSDChannelTitleInfo),
    sizeof(&TMV_NET_GetLaserDistanceOsdParam),
    sizeof(&TMV_NET_SetLaserDistanceOsdParam),
    sizeof(&TMV_NET_GetIpConfig),
    sizeof(&TMV_NET_SetIpConfig),
    sizeof(&TMV_NET_SetTransparentState),
    sizeof(&TMV_NET_TransparentData),
    sizeof(&TMV_NET_SystemReboot),
    sizeof(&TMV_NET_SystemRestart),
    sizeof(&TMV_NET_RestoreFactoryDefaults),
    sizeof(&TMV_NET_GetWiperConfigInfo),
    sizeof(&TMV_NET_SetWiperConfigInfo),
    sizeof(&TMV_NET_GetFillLightConfigInfo),
    sizeof(&TMV_NET_SetFillLightConfigInfo),
    sizeof(&TMV_NET_GetDayNightModeParam),
    sizeof(&TMV_NET_SetDayNightModeParam),
    sizeof(&TMV_NET_GetLogoPicture),
    sizeof(&TMV_NET_SetLogoPicture),
    sizeof(&TMV_NET_GetTargetRecognitionConfig),
    sizeof(&TMV_NET_SetTargetRecognitionConfig),
    sizeof(&TMV_NET_QueryFileSize),
    sizeof(&TMV_NET_QueryFile),
    sizeof(&TMV_NET_StartDownloadFile),
    sizeof(&TMV_NET_StopDownloadFile),
    sizeof(&TMV_NET_GetDownloadProgress),
};

int main(void)
{
    struct AllRecords records = {0};
    TMV_NET_HANDLE handle = 0;
    size_t count = sizeof kFunctions / sizeof kFunctions[0];
    (void)records;
    (void)handle;
    (void)kFunctions;
    if (count != 141) {
        fprintf(stderr, "expected 141 functions, found %zu\n", count);
        return 1;
    }
    return 0;
}
