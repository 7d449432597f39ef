// Rows of the table: alarm subscriptions.
#include "Calls.h"

namespace entryfuzz {

#define H s.handle()

const Entry kAlarmCalls[] = {
    // ---- Alarms
    {"SubscribeAlarm_V2",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const uint8_t snapshot = s.p.ConsumeBool() ? 1 : s.p.ConsumeIntegral<uint8_t>();
         TMV_NET_ALARM_CALLBACK cb;
         const bool given = s.maybeCallback(alarmCallback, &cb);
         startStream(h, &Slot::alarm, given, [&] { return TMV_NET_SubscribeAlarm_V2(h, snapshot, cb, &g_user); });
     }},
    {"SubscribeAlarm",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         TMV_NET_ALARM_CALLBACK cb;
         const bool given = s.maybeCallback(alarmCallback, &cb);
         startStream(h, &Slot::alarm, given, [&] { return TMV_NET_SubscribeAlarm(h, cb, &g_user); });
     }},
    {"UnsubscribeAlarm",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         stopped(TMV_NET_UnsubscribeAlarm(h), h, &Slot::alarm);
     }},
};

#undef H

}  // namespace entryfuzz
