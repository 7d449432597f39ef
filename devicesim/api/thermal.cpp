// Entry points of the temperature family: frame temperature and its alarm,
// the measurement switch, point readings, the temperature and raw streams,
// rules, masks and the tiered (G1) rules.
#include "EntryPoint.h"

using sim::api::EntryPoint;

// ---- Frame, switch, point --------------------------------------------------

TMV_NET_API int32_t TMV_NET_QueryFrameTemp(TMV_NET_HANDLE handle, TMV_NET_TEMP_INFO *info)
{
    EntryPoint call(__func__, handle);
    call.output(info);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_QueryFrameTempAlarmConfig(TMV_NET_HANDLE handle,
                                                      TMV_NET_FRAME_TEMP_ALARM_CONFIG *config)
{
    EntryPoint call(__func__, handle);
    call.output(config);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_UpdateFrameTempAlarmConfig(TMV_NET_HANDLE handle,
                                                       const TMV_NET_FRAME_TEMP_ALARM_CONFIG *config)
{
    EntryPoint call(__func__, handle);
    call.input(config, sizeof *config);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_GetTempEnable(TMV_NET_HANDLE handle, int32_t *enable)
{
    EntryPoint call(__func__, handle);
    call.output(enable);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_SetTempEnable(TMV_NET_HANDLE handle, int32_t enable)
{
    EntryPoint call(__func__, handle);
    call.input(&enable, sizeof enable);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_QueryRandomTemp(TMV_NET_HANDLE handle, const TMV_NET_POINT *point, float *temp)
{
    EntryPoint call(__func__, handle);
    call.input(point, sizeof *point).output(temp);
    return call.notSupported();
}

// ---- Streams ---------------------------------------------------------------

TMV_NET_API int32_t TMV_NET_SetPullTempExecParam(TMV_NET_HANDLE handle, int32_t correction)
{
    EntryPoint call(__func__, handle);
    call.input(&correction, sizeof correction);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_StartPullTemp_V2(TMV_NET_HANDLE handle, TMV_NET_TEMP_CALLBACK callback, void *user)
{
    (void)user;
    EntryPoint call(__func__, handle);
    call.callbackFn(callback);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_StopPullTemp(TMV_NET_HANDLE handle)
{
    EntryPoint call(__func__, handle);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_StartPullNucData(TMV_NET_HANDLE handle, TMV_NET_NUC_DATA_CALLBACK callback,
                                             void *user)
{
    (void)user;
    EntryPoint call(__func__, handle);
    call.callbackFn(callback);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_StopPullNucData(TMV_NET_HANDLE handle)
{
    EntryPoint call(__func__, handle);
    return call.notSupported();
}

// ---- Rules -----------------------------------------------------------------

TMV_NET_API int32_t TMV_NET_QueryTempRuleSize(TMV_NET_HANDLE handle, const TMV_NET_TEMP_RULE_KEY *key,
                                              int32_t *count)
{
    EntryPoint call(__func__, handle);
    call.input(key, sizeof *key).output(count);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_QueryTempRule(TMV_NET_HANDLE handle, const TMV_NET_TEMP_RULE_KEY *key,
                                          TMV_NET_TEMP_RULE *rules, int32_t capacity, int32_t *count)
{
    EntryPoint call(__func__, handle);
    call.input(key, sizeof *key).array(rules, capacity).input(&capacity, sizeof capacity).output(count);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_QueryRuleTemp(TMV_NET_HANDLE handle, const TMV_NET_TEMP_RULE_KEY *key,
                                          TMV_NET_RULE_TEMP *temps, int32_t capacity, int32_t *count)
{
    EntryPoint call(__func__, handle);
    call.input(key, sizeof *key).array(temps, capacity).input(&capacity, sizeof capacity).output(count);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_DeleteAllTempRule(TMV_NET_HANDLE handle, int32_t presetPosition)
{
    EntryPoint call(__func__, handle);
    call.input(&presetPosition, sizeof presetPosition);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_DeleteTempRule(TMV_NET_HANDLE handle, const TMV_NET_TEMP_RULE_KEY *key)
{
    EntryPoint call(__func__, handle);
    call.input(key, sizeof *key);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_AddTempRule(TMV_NET_HANDLE handle, const TMV_NET_TEMP_RULE *rule)
{
    EntryPoint call(__func__, handle);
    call.input(rule, sizeof *rule);
    if (rule)
        call.text(rule->name, sizeof rule->name);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_UpdateTempRule(TMV_NET_HANDLE handle, const TMV_NET_TEMP_RULE *rule)
{
    EntryPoint call(__func__, handle);
    call.input(rule, sizeof *rule);
    if (rule)
        call.text(rule->name, sizeof rule->name);
    return call.notSupported();
}

// ---- Masks -----------------------------------------------------------------

TMV_NET_API int32_t TMV_NET_QueryTempMaskSize(TMV_NET_HANDLE handle, const TMV_NET_TEMP_MASK_KEY *key,
                                              int32_t *count)
{
    EntryPoint call(__func__, handle);
    call.input(key, sizeof *key).output(count);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_QueryTempMask(TMV_NET_HANDLE handle, const TMV_NET_TEMP_MASK_KEY *key,
                                          TMV_NET_TEMP_MASK *masks, int32_t capacity, int32_t *count)
{
    EntryPoint call(__func__, handle);
    call.input(key, sizeof *key).array(masks, capacity).input(&capacity, sizeof capacity).output(count);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_DeleteAllTempMask(TMV_NET_HANDLE handle, int32_t presetPosition)
{
    EntryPoint call(__func__, handle);
    call.input(&presetPosition, sizeof presetPosition);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_DeleteTempMask(TMV_NET_HANDLE handle, const TMV_NET_TEMP_MASK_KEY *key)
{
    EntryPoint call(__func__, handle);
    call.input(key, sizeof *key);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_AddTempMask(TMV_NET_HANDLE handle, const TMV_NET_TEMP_MASK *mask)
{
    EntryPoint call(__func__, handle);
    call.input(mask, sizeof *mask);
    if (mask)
        call.text(mask->name, sizeof mask->name);
    return call.notSupported();
}

// ---- Tiered (G1) rules -----------------------------------------------------

TMV_NET_API int32_t TMV_NET_QueryTempRule_G1(TMV_NET_HANDLE handle, const TMV_NET_TEMP_RULE_KEY *key,
                                             TMV_NET_TEMP_RULE_G1 *rules, int32_t capacity, int32_t *count)
{
    EntryPoint call(__func__, handle);
    call.input(key, sizeof *key).array(rules, capacity).input(&capacity, sizeof capacity).output(count);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_AddTempRule_G1(TMV_NET_HANDLE handle, const TMV_NET_TEMP_RULE_G1 *rule)
{
    EntryPoint call(__func__, handle);
    call.input(rule, sizeof *rule);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_UpdateTempRule_G1(TMV_NET_HANDLE handle, const TMV_NET_TEMP_RULE_G1 *rule)
{
    EntryPoint call(__func__, handle);
    call.input(rule, sizeof *rule);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_QueryFrameTempAlarmConfig_G1(TMV_NET_HANDLE handle, TMV_NET_TEMP_ALARM_G1 *alarm)
{
    EntryPoint call(__func__, handle);
    call.output(alarm);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_UpdateFrameTempAlarmConfig_G1(TMV_NET_HANDLE handle,
                                                          const TMV_NET_TEMP_ALARM_G1 *alarm)
{
    EntryPoint call(__func__, handle);
    call.input(alarm, sizeof *alarm);
    return call.notSupported();
}
