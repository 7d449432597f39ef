// Entry points of the temperature family: frame temperature and its alarm,
// the measurement switch, point readings, the temperature and raw streams,
// rules, masks and the tiered (G1) rules.
#include "EntryPoint.h"
#include "api/Forward.h"

#include "device/Device.h"
#include "device/Fleet.h"
#include "device/Session.h"
#include "device/Thermometer.h"
#include "measure/RuleSet.h"
#include "settings/Settings.h"

#include <vector>

using sim::api::EntryPoint;

namespace {

// The temperature and raw streams read the device's thermal channel.
bool hasThermalChannel(const sim::Device &device)
{
    const int channel = device.profile().thermalChannel;
    return device.validChannel(channel) && device.profile().channels[size_t(channel)].thermal;
}

}  // namespace

// ---- Frame, switch, point --------------------------------------------------

TMV_NET_API int32_t TMV_NET_QueryFrameTemp(TMV_NET_HANDLE handle, TMV_NET_TEMP_INFO *info)
{
    SIM_FORWARD(TMV_NET_QueryFrameTemp, handle, info);
    EntryPoint call(__func__, handle);
    call.output(info);
    if (!call.ok())
        return call.status();
    return sim::frameReading(call.device(), info);
}

TMV_NET_API int32_t TMV_NET_QueryFrameTempAlarmConfig(TMV_NET_HANDLE handle,
                                                      TMV_NET_FRAME_TEMP_ALARM_CONFIG *config)
{
    SIM_FORWARD(TMV_NET_QueryFrameTempAlarmConfig, handle, config);
    EntryPoint call(__func__, handle);
    call.output(config);
    if (!call.ok())
        return call.status();
    *config = call.device().rules().frameAlarm();
    return sim::kOk;
}

TMV_NET_API int32_t TMV_NET_UpdateFrameTempAlarmConfig(TMV_NET_HANDLE handle,
                                                       const TMV_NET_FRAME_TEMP_ALARM_CONFIG *config)
{
    SIM_FORWARD(TMV_NET_UpdateFrameTempAlarmConfig, handle, config);
    EntryPoint call(__func__, handle);
    call.input(config, sizeof *config);
    if (!call.ok())
        return call.status();
    return call.device().rules().setFrameAlarm(*config);
}

TMV_NET_API int32_t TMV_NET_GetTempEnable(TMV_NET_HANDLE handle, int32_t *enable)
{
    SIM_FORWARD(TMV_NET_GetTempEnable, handle, enable);
    EntryPoint call(__func__, handle);
    call.output(enable);
    if (!call.ok())
        return call.status();
    *enable = call.device().settings().measuring() ? 1 : 0;
    return sim::kOk;
}

TMV_NET_API int32_t TMV_NET_SetTempEnable(TMV_NET_HANDLE handle, int32_t enable)
{
    SIM_FORWARD(TMV_NET_SetTempEnable, handle, enable);
    EntryPoint call(__func__, handle);
    call.input(&enable, sizeof enable);
    call.require(enable == 0 || enable == 1);
    if (!call.ok())
        return call.status();
    call.device().settings().setMeasuring(enable == 1);
    return sim::kOk;
}

TMV_NET_API int32_t TMV_NET_QueryRandomTemp(TMV_NET_HANDLE handle, const TMV_NET_POINT *point, float *temp)
{
    SIM_FORWARD(TMV_NET_QueryRandomTemp, handle, point, temp);
    EntryPoint call(__func__, handle);
    call.input(point, sizeof *point).output(temp);
    if (!call.ok())
        return call.status();
    return sim::pointReading(call.device(), *point, temp);
}

// ---- Streams ---------------------------------------------------------------

TMV_NET_API int32_t TMV_NET_SetPullTempExecParam(TMV_NET_HANDLE handle, int32_t correction)
{
    SIM_FORWARD(TMV_NET_SetPullTempExecParam, handle, correction);
    EntryPoint call(__func__, handle);
    call.input(&correction, sizeof correction);
    call.require(correction == 0 || correction == 1);
    if (!call.ok())
        return call.status();
    call.device().settings().setTempCorrection(correction == 1);
    return sim::kOk;
}

TMV_NET_API int32_t TMV_NET_StartPullTemp_V2(TMV_NET_HANDLE handle, TMV_NET_TEMP_CALLBACK callback, void *user)
{
    SIM_FORWARD(TMV_NET_StartPullTemp_V2, handle, callback, user);
    EntryPoint call(__func__, handle);
    call.callbackFn(callback);
    if (!call.ok())
        return call.status();
    if (!hasThermalChannel(call.device()))
        return sim::kNotSupported;
    return call.session().startTempStream(callback, user);
}

TMV_NET_API int32_t TMV_NET_StopPullTemp(TMV_NET_HANDLE handle)
{
    SIM_FORWARD(TMV_NET_StopPullTemp, handle);
    // Stopping must work even when the device has gone away meanwhile.
    EntryPoint call(__func__);
    call.input(&handle, sizeof handle);
    if (!call.ok())
        return call.status();
    auto session = sim::Fleet::instance().session(handle);
    return session ? session->stopTempStream() : sim::kFailed;
}

TMV_NET_API int32_t TMV_NET_StartPullNucData(TMV_NET_HANDLE handle, TMV_NET_NUC_DATA_CALLBACK callback,
                                             void *user)
{
    SIM_FORWARD(TMV_NET_StartPullNucData, handle, callback, user);
    EntryPoint call(__func__, handle);
    call.callbackFn(callback);
    if (!call.ok())
        return call.status();
    if (!hasThermalChannel(call.device()))
        return sim::kNotSupported;
    return call.session().startRawStream(callback, user);
}

TMV_NET_API int32_t TMV_NET_StopPullNucData(TMV_NET_HANDLE handle)
{
    SIM_FORWARD(TMV_NET_StopPullNucData, handle);
    EntryPoint call(__func__);
    call.input(&handle, sizeof handle);
    if (!call.ok())
        return call.status();
    auto session = sim::Fleet::instance().session(handle);
    return session ? session->stopRawStream() : sim::kFailed;
}

// ---- Rules -----------------------------------------------------------------

TMV_NET_API int32_t TMV_NET_QueryTempRuleSize(TMV_NET_HANDLE handle, const TMV_NET_TEMP_RULE_KEY *key,
                                              int32_t *count)
{
    SIM_FORWARD(TMV_NET_QueryTempRuleSize, handle, key, count);
    EntryPoint call(__func__, handle);
    call.input(key, sizeof *key).output(count);
    if (!call.ok())
        return call.status();
    *count = call.device().rules().ruleCount(*key);
    return sim::kOk;
}

TMV_NET_API int32_t TMV_NET_QueryTempRule(TMV_NET_HANDLE handle, const TMV_NET_TEMP_RULE_KEY *key,
                                          TMV_NET_TEMP_RULE *rules, int32_t capacity, int32_t *count)
{
    SIM_FORWARD(TMV_NET_QueryTempRule, handle, key, rules, capacity, count);
    EntryPoint call(__func__, handle);
    call.input(key, sizeof *key).array(rules, capacity).input(&capacity, sizeof capacity).output(count);
    if (!call.ok())
        return call.status();
    std::vector<TMV_NET_TEMP_RULE> found;
    if (int32_t status = call.device().rules().queryRules(*key, &found))
        return status;
    return call.answerList(found, rules, capacity, count);
}

TMV_NET_API int32_t TMV_NET_QueryRuleTemp(TMV_NET_HANDLE handle, const TMV_NET_TEMP_RULE_KEY *key,
                                          TMV_NET_RULE_TEMP *temps, int32_t capacity, int32_t *count)
{
    SIM_FORWARD(TMV_NET_QueryRuleTemp, handle, key, temps, capacity, count);
    EntryPoint call(__func__, handle);
    call.input(key, sizeof *key).array(temps, capacity).input(&capacity, sizeof capacity).output(count);
    if (!call.ok())
        return call.status();
    std::vector<TMV_NET_RULE_TEMP> found;
    if (int32_t status = sim::ruleReadings(call.device(), *key, &found))
        return status;
    return call.answerList(found, temps, capacity, count);
}

TMV_NET_API int32_t TMV_NET_DeleteAllTempRule(TMV_NET_HANDLE handle, int32_t presetPosition)
{
    SIM_FORWARD(TMV_NET_DeleteAllTempRule, handle, presetPosition);
    EntryPoint call(__func__, handle);
    call.input(&presetPosition, sizeof presetPosition);
    call.require(presetPosition >= 0);
    if (!call.ok())
        return call.status();
    return call.device().rules().deleteAllRules(presetPosition);
}

TMV_NET_API int32_t TMV_NET_DeleteTempRule(TMV_NET_HANDLE handle, const TMV_NET_TEMP_RULE_KEY *key)
{
    SIM_FORWARD(TMV_NET_DeleteTempRule, handle, key);
    EntryPoint call(__func__, handle);
    call.input(key, sizeof *key);
    if (!call.ok())
        return call.status();
    return call.device().rules().deleteRules(*key);
}

TMV_NET_API int32_t TMV_NET_AddTempRule(TMV_NET_HANDLE handle, const TMV_NET_TEMP_RULE *rule)
{
    SIM_FORWARD(TMV_NET_AddTempRule, handle, rule);
    EntryPoint call(__func__, handle);
    call.input(rule, sizeof *rule);
    if (rule)
        call.text(rule->name, sizeof rule->name);
    if (!call.ok())
        return call.status();
    return call.device().rules().addRule(*rule);
}

TMV_NET_API int32_t TMV_NET_UpdateTempRule(TMV_NET_HANDLE handle, const TMV_NET_TEMP_RULE *rule)
{
    SIM_FORWARD(TMV_NET_UpdateTempRule, handle, rule);
    EntryPoint call(__func__, handle);
    call.input(rule, sizeof *rule);
    if (rule)
        call.text(rule->name, sizeof rule->name);
    if (!call.ok())
        return call.status();
    return call.device().rules().updateRule(*rule);
}

// ---- Masks -----------------------------------------------------------------

TMV_NET_API int32_t TMV_NET_QueryTempMaskSize(TMV_NET_HANDLE handle, const TMV_NET_TEMP_MASK_KEY *key,
                                              int32_t *count)
{
    SIM_FORWARD(TMV_NET_QueryTempMaskSize, handle, key, count);
    EntryPoint call(__func__, handle);
    call.input(key, sizeof *key).output(count);
    if (!call.ok())
        return call.status();
    *count = int32_t(call.device().rules().masks(*key).size());
    return sim::kOk;
}

TMV_NET_API int32_t TMV_NET_QueryTempMask(TMV_NET_HANDLE handle, const TMV_NET_TEMP_MASK_KEY *key,
                                          TMV_NET_TEMP_MASK *masks, int32_t capacity, int32_t *count)
{
    SIM_FORWARD(TMV_NET_QueryTempMask, handle, key, masks, capacity, count);
    EntryPoint call(__func__, handle);
    call.input(key, sizeof *key).array(masks, capacity).input(&capacity, sizeof capacity).output(count);
    if (!call.ok())
        return call.status();
    return call.answerList(call.device().rules().masks(*key), masks, capacity, count);
}

TMV_NET_API int32_t TMV_NET_DeleteAllTempMask(TMV_NET_HANDLE handle, int32_t presetPosition)
{
    SIM_FORWARD(TMV_NET_DeleteAllTempMask, handle, presetPosition);
    EntryPoint call(__func__, handle);
    call.input(&presetPosition, sizeof presetPosition);
    call.require(presetPosition >= 0);
    if (!call.ok())
        return call.status();
    return call.device().rules().deleteAllMasks(presetPosition);
}

TMV_NET_API int32_t TMV_NET_DeleteTempMask(TMV_NET_HANDLE handle, const TMV_NET_TEMP_MASK_KEY *key)
{
    SIM_FORWARD(TMV_NET_DeleteTempMask, handle, key);
    EntryPoint call(__func__, handle);
    call.input(key, sizeof *key);
    if (!call.ok())
        return call.status();
    return call.device().rules().deleteMasks(*key);
}

TMV_NET_API int32_t TMV_NET_AddTempMask(TMV_NET_HANDLE handle, const TMV_NET_TEMP_MASK *mask)
{
    SIM_FORWARD(TMV_NET_AddTempMask, handle, mask);
    EntryPoint call(__func__, handle);
    call.input(mask, sizeof *mask);
    if (mask)
        call.text(mask->name, sizeof mask->name);
    if (!call.ok())
        return call.status();
    return call.device().rules().addMask(*mask);
}

// ---- Tiered (G1) rules -----------------------------------------------------

TMV_NET_API int32_t TMV_NET_QueryTempRule_G1(TMV_NET_HANDLE handle, const TMV_NET_TEMP_RULE_KEY *key,
                                             TMV_NET_TEMP_RULE_G1 *rules, int32_t capacity, int32_t *count)
{
    SIM_FORWARD(TMV_NET_QueryTempRule_G1, handle, key, rules, capacity, count);
    EntryPoint call(__func__, handle);
    call.input(key, sizeof *key).array(rules, capacity).input(&capacity, sizeof capacity).output(count);
    if (!call.ok())
        return call.status();
    std::vector<TMV_NET_TEMP_RULE_G1> found;
    if (int32_t status = call.device().rules().queryRulesG1(*key, &found))
        return status;
    return call.answerList(found, rules, capacity, count);
}

TMV_NET_API int32_t TMV_NET_AddTempRule_G1(TMV_NET_HANDLE handle, const TMV_NET_TEMP_RULE_G1 *rule)
{
    SIM_FORWARD(TMV_NET_AddTempRule_G1, handle, rule);
    EntryPoint call(__func__, handle);
    call.input(rule, sizeof *rule);
    if (!call.ok())
        return call.status();
    return call.device().rules().addRuleG1(*rule);
}

TMV_NET_API int32_t TMV_NET_UpdateTempRule_G1(TMV_NET_HANDLE handle, const TMV_NET_TEMP_RULE_G1 *rule)
{
    SIM_FORWARD(TMV_NET_UpdateTempRule_G1, handle, rule);
    EntryPoint call(__func__, handle);
    call.input(rule, sizeof *rule);
    if (!call.ok())
        return call.status();
    return call.device().rules().updateRuleG1(*rule);
}

TMV_NET_API int32_t TMV_NET_QueryFrameTempAlarmConfig_G1(TMV_NET_HANDLE handle, TMV_NET_TEMP_ALARM_G1 *alarm)
{
    SIM_FORWARD(TMV_NET_QueryFrameTempAlarmConfig_G1, handle, alarm);
    EntryPoint call(__func__, handle);
    call.output(alarm);
    if (!call.ok())
        return call.status();
    *alarm = call.device().rules().frameAlarmG1();
    return sim::kOk;
}

TMV_NET_API int32_t TMV_NET_UpdateFrameTempAlarmConfig_G1(TMV_NET_HANDLE handle,
                                                          const TMV_NET_TEMP_ALARM_G1 *alarm)
{
    SIM_FORWARD(TMV_NET_UpdateFrameTempAlarmConfig_G1, handle, alarm);
    EntryPoint call(__func__, handle);
    call.input(alarm, sizeof *alarm);
    if (!call.ok())
        return call.status();
    return call.device().rules().setFrameAlarmG1(*alarm);
}
