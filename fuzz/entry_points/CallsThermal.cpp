// Rows of the table: temperature (frame, switch, point, streams, rules, masks, tiered rules).
#include "Calls.h"

namespace entryfuzz {

#define H s.handle()

const Entry kThermalCalls[] = {
    // ---- Temperature: frame, switch, point
    {"QueryFrameTemp",
     [](Step &s) {
         auto *r = s.out<TMV_NET_TEMP_INFO>();
         afterGet(TMV_NET_QueryFrameTemp(H, r), r);
     }},
    {"QueryFrameTempAlarmConfig",
     [](Step &s) {
         auto *r = s.out<TMV_NET_FRAME_TEMP_ALARM_CONFIG>();
         afterGet(TMV_NET_QueryFrameTempAlarmConfig(H, r), r);
     }},
    {"UpdateFrameTempAlarmConfig",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_UpdateFrameTempAlarmConfig(h, s.in<TMV_NET_FRAME_TEMP_ALARM_CONFIG>()));
     }},
    {"GetTempEnable",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *v = s.outCount();
         afterGet(TMV_NET_GetTempEnable(h, v), v);
     }},
    {"SetTempEnable",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetTempEnable(h, s.small(1)));
     }},
    {"QueryRandomTemp",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const auto *point = s.in<TMV_NET_POINT>();
         float *v = s.out<float>();
         afterGet(TMV_NET_QueryRandomTemp(h, point, v), v);
     }},
    // ---- Temperature: streams
    {"SetPullTempExecParam",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetPullTempExecParam(h, s.small(1)));
     }},
    {"StartPullTemp_V2",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         TMV_NET_TEMP_CALLBACK cb;
         const bool given = s.maybeCallback(tempCallback, &cb);
         startStream(h, &Slot::temp, given, [&] { return TMV_NET_StartPullTemp_V2(h, cb, &g_user); });
     }},
    {"StopPullTemp",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         stopped(TMV_NET_StopPullTemp(h), h, &Slot::temp);
     }},
    {"StartPullNucData",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         TMV_NET_NUC_DATA_CALLBACK cb;
         const bool given = s.maybeCallback(rawCallback, &cb);
         startStream(h, &Slot::raw, given, [&] { return TMV_NET_StartPullNucData(h, cb, &g_user); });
     }},
    {"StopPullNucData",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         stopped(TMV_NET_StopPullNucData(h), h, &Slot::raw);
     }},
    // ---- Temperature: rules and masks
    {"QueryTempRuleSize",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const auto *key = s.in<TMV_NET_TEMP_RULE_KEY>();
         int32_t *count = s.outCount();
         sizeQueryResult(TMV_NET_QueryTempRuleSize(h, key, count), count);
     }},
    {"QueryTempRule",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const auto *key = s.in<TMV_NET_TEMP_RULE_KEY>();
         listQuery<TMV_NET_TEMP_RULE>(
             s, [&](TMV_NET_TEMP_RULE *a, int32_t c, int32_t *n) { return TMV_NET_QueryTempRule(h, key, a, c, n); });
     }},
    {"QueryRuleTemp",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const auto *key = s.in<TMV_NET_TEMP_RULE_KEY>();
         listQuery<TMV_NET_RULE_TEMP>(
             s, [&](TMV_NET_RULE_TEMP *a, int32_t c, int32_t *n) { return TMV_NET_QueryRuleTemp(h, key, a, c, n); });
     }},
    {"DeleteAllTempRule",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_DeleteAllTempRule(h, s.small(3)));
     }},
    {"DeleteTempRule",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_DeleteTempRule(h, s.in<TMV_NET_TEMP_RULE_KEY>()));
     }},
    {"AddTempRule",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_AddTempRule(h, s.in<TMV_NET_TEMP_RULE>()));
     }},
    {"UpdateTempRule",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_UpdateTempRule(h, s.in<TMV_NET_TEMP_RULE>()));
     }},
    {"QueryTempMaskSize",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const auto *key = s.in<TMV_NET_TEMP_MASK_KEY>();
         int32_t *count = s.outCount();
         sizeQueryResult(TMV_NET_QueryTempMaskSize(h, key, count), count);
     }},
    {"QueryTempMask",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const auto *key = s.in<TMV_NET_TEMP_MASK_KEY>();
         listQuery<TMV_NET_TEMP_MASK>(
             s, [&](TMV_NET_TEMP_MASK *a, int32_t c, int32_t *n) { return TMV_NET_QueryTempMask(h, key, a, c, n); });
     }},
    {"DeleteAllTempMask",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_DeleteAllTempMask(h, s.small(3)));
     }},
    {"DeleteTempMask",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_DeleteTempMask(h, s.in<TMV_NET_TEMP_MASK_KEY>()));
     }},
    {"AddTempMask",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_AddTempMask(h, s.in<TMV_NET_TEMP_MASK>()));
     }},
    // ---- Temperature: tiered rules
    {"QueryTempRule_G1",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const auto *key = s.in<TMV_NET_TEMP_RULE_KEY>();
         listQuery<TMV_NET_TEMP_RULE_G1>(s, [&](TMV_NET_TEMP_RULE_G1 *a, int32_t c, int32_t *n) {
             return TMV_NET_QueryTempRule_G1(h, key, a, c, n);
         });
     }},
    {"AddTempRule_G1",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_AddTempRule_G1(h, s.in<TMV_NET_TEMP_RULE_G1>()));
     }},
    {"UpdateTempRule_G1",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_UpdateTempRule_G1(h, s.in<TMV_NET_TEMP_RULE_G1>()));
     }},
    {"QueryFrameTempAlarmConfig_G1",
     [](Step &s) {
         auto *r = s.out<TMV_NET_TEMP_ALARM_G1>();
         afterGet(TMV_NET_QueryFrameTempAlarmConfig_G1(H, r), r);
     }},
    {"UpdateFrameTempAlarmConfig_G1",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_UpdateFrameTempAlarmConfig_G1(h, s.in<TMV_NET_TEMP_ALARM_G1>()));
     }},
};

#undef H

}  // namespace entryfuzz
