// Rows of the table that are not entry points: the simulated world moves.
#include "Calls.h"
#include "TMVSimControl.h"

namespace entryfuzz {

namespace {

constexpr int64_t kStreamStepMs = 400;

bool anyStreamRunning()
{
    for (const Slot &slot : g_slots)
        if (slot.preview || slot.temp || slot.raw)
            return true;
    return false;
}

}  // namespace

const Entry kWorldCalls[] = {
    // ---- The world around the calls (not entry points): time, alarms,
    // devices that go away.
    {"~ClockStep",
     [](Step &s) {
         static const int64_t kSteps[] = {40, 0, 1, 10, 80, 160, 400, 8000};
         // The long step lets a restarted device come back; with a stream
         // running it would draw every frame of those seconds (seconds of
         // work under the sanitizers), so streams get the short one.
         const int64_t step = kSteps[s.p.ConsumeIntegralInRange<size_t>(0, 7)];
         TMVSim_ClockStep(step > kStreamStepMs && anyStreamRunning() ? kStreamStepMs : step);
     }},
    {"~InjectAlarm",
     [](Step &s) {
         static const int32_t kTypes[] = {
             TMV_NET_ALARM_TEMP,          TMV_NET_ALARM_FIRE,         TMV_NET_ALARM_TEMP_RISE,
             TMV_NET_ALARM_TEMP_DIFF,     TMV_NET_ALARM_FIRE_PULSE,   TMV_NET_ALARM_HIGH_LIGHT,
             TMV_NET_ALARM_REGION_INTRUSION, TMV_NET_ALARM_LINE_INTRUSION, TMV_NET_ALARM_OBJECT_PULSE,
             TMV_NET_ALARM_DYNAMIC,       TMV_NET_ALARM_SMOKE_DETECT, TMV_NET_ALARM_LOCAL,
             TMV_NET_ALARM_TRACK_STATE,   TMV_NET_ALARM_TRACK_OBJECT, TMV_NET_ALARM_LOGIN_EXCEPTION,
             TMV_NET_ALARM_SD_EXCEPTION};
         const char *device = kDevices[pick(s.p, kDevices)];
         require(TMVSim_InjectAlarm(device, kTypes[s.p.ConsumeIntegralInRange<size_t>(0, 15)]) == 0);
     }},
    {"~SetOnline",
     [](Step &s) {
         const char *device = kDevices[pick(s.p, kDevices)];
         require(TMVSim_SetOnline(device, s.p.ConsumeBool() ? 0 : 1) == 0);
     }},
    {"~RestartDevice",
     [](Step &s) { require(TMVSim_RestartDevice(kDevices[pick(s.p, kDevices)]) == 0); }},
    {"~RaiseException",
     [](Step &s) {
         const char *device = kDevices[pick(s.p, kDevices)];
         require(TMVSim_RaiseException(device, 1001 + s.p.ConsumeIntegralInRange<int32_t>(0, 3)) == 0);
     }},
    {"~FromCallback", [](Step &s) { g_armed = s.p.ConsumeIntegralInRange<int>(0, kCallbackActions - 1); }},
};

}  // namespace entryfuzz
