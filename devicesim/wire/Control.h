#pragma once
// The control interface (TMVSimControl.h) on the device service's control
// port: the same framing as a device's connection, a Call of function number
// and arguments answered by a Reply of the function's result and outputs.
// Arguments travel by the rules of Arguments.h; the control functions add
// three of their own:
//
//   char *, int32_t            a text the call writes, with its capacity:
//                              present flag and the capacity out; the text
//                              back when the call succeeded
//   void *, int32_t, int32_t * bytes the call writes, their capacity and full
//                              size: as an array of bytes
//   const void *, int32_t      bytes and their size, as const uint8_t *
//
// The result is the function's return value: int32 for int, int64 for
// int64_t, nothing for void; an int result is also the status that decides
// whether outputs come back.

#include "TMVSimControl.h"
#include "wire/Arguments.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

// The control functions in the header's order; a function's place is its
// number on the control port, so the list only grows at its end.
#define SIM_WIRE_CONTROLS(X) \
    X(TMVSim_ResetFleet) \
    X(TMVSim_DeviceCount) \
    X(TMVSim_DeviceAddress) \
    X(TMVSim_SdCardFolder) \
    X(TMVSim_SetSdCardRoot) \
    X(TMVSim_SetLinkSpeed) \
    X(TMVSim_SetSdCardCapacity) \
    X(TMVSim_SessionCount) \
    X(TMVSim_JournalClear) \
    X(TMVSim_JournalCount) \
    X(TMVSim_JournalEntry) \
    X(TMVSim_JournalCountOf) \
    X(TMVSim_FailCall) \
    X(TMVSim_OverReportCount) \
    X(TMVSim_ClearFaults) \
    X(TMVSim_RaiseException) \
    X(TMVSim_SetOnline) \
    X(TMVSim_RestartDevice) \
    X(TMVSim_InjectAlarm) \
    X(TMVSim_InjectAlarmRecord) \
    X(TMVSim_SetSearchRepeats) \
    X(TMVSim_SetNextRuleId) \
    X(TMVSim_ClockPause) \
    X(TMVSim_ClockResume) \
    X(TMVSim_ClockStep) \
    X(TMVSim_ClockNowMs) \
    X(TMVSim_SetFrameRate) \
    X(TMVSim_GetStreamStats) \
    X(TMVSim_ResetStreamStats) \
    X(TMVSim_SetLockPolicy) \
    X(TMVSim_SetWireDelay) \
    X(TMVSim_SetWireBandwidth) \
    X(TMVSim_CutWire)

namespace sim::wire {

#define SIM_WIRE_COUNT_CONTROL(name) +1
constexpr int kControlCount = 0 SIM_WIRE_CONTROLS(SIM_WIRE_COUNT_CONTROL);
#undef SIM_WIRE_COUNT_CONTROL

// kCtl_TMVSim_ClockStep and so on.
enum ControlNumber : uint16_t {
#define SIM_WIRE_CONTROL_NUMBER(name) kCtl_##name,
    SIM_WIRE_CONTROLS(SIM_WIRE_CONTROL_NUMBER)
#undef SIM_WIRE_CONTROL_NUMBER
};

// The function's name, or null for a number beyond the list.
const char *controlName(uint16_t number);

// The control port the library reaches in network mode: TMVNET_CONTROL
// ("127.0.0.1:37021"), else this default. Loopback only.
constexpr int kDefaultControlPort = 37021;
constexpr const char *kDefaultControlAddress = "127.0.0.1";

// ---- The control functions' own rules ----------------------------------------

template <class... R>
struct Args<char *, int32_t, R...> {  // a text the call writes
    static void callbackOf(void **fn, void **user, char *, int32_t, R... rest) { Args<R...>::callbackOf(fn, user, rest...); }
    static bool sendable(char *, int32_t, R... rest) { return Args<R...>::sendable(rest...); }
    static void encode(Writer &w, char *text, int32_t capacity, R... rest)
    {
        w.flag(text != nullptr);
        w.value(capacity);
        Args<R...>::encode(w, rest...);
    }
    static bool decode(Reader &r, bool apply, char *text, int32_t capacity, R... rest)
    {
        const bool written = r.flag();
        if (written) {
            const std::string got = r.text(kMaxText);
            // The text and its NUL, within what the caller's buffer holds.
            if (!text || got.find('\0') != std::string::npos || got.size() + 1 > size_t(std::max(capacity, 0)))
                r.fail();
            else if (apply && r.ok())
                std::memcpy(text, got.c_str(), got.size() + 1);
        }
        return Args<R...>::decode(r, apply, rest...);
    }
};

template <class... R>
struct Args<void *, int32_t, int32_t *, R...> {  // bytes the call writes
    using Bytes = Args<uint8_t *, int32_t, int32_t *, R...>;
    static void callbackOf(void **fn, void **user, void *, int32_t, int32_t *, R... rest) { Args<R...>::callbackOf(fn, user, rest...); }
    static bool sendable(void *, int32_t, int32_t *, R... rest) { return Args<R...>::sendable(rest...); }
    static void encode(Writer &w, void *bytes, int32_t capacity, int32_t *size, R... rest)
    {
        Bytes::encode(w, static_cast<uint8_t *>(bytes), capacity, size, rest...);
    }
    static bool decode(Reader &r, bool apply, void *bytes, int32_t capacity, int32_t *size, R... rest)
    {
        return Bytes::decode(r, apply, static_cast<uint8_t *>(bytes), capacity, size, rest...);
    }
};

template <class... R>
struct Args<const void *, int32_t, R...> {  // bytes and their size
    using Bytes = Args<const uint8_t *, int32_t, R...>;
    static void callbackOf(void **fn, void **user, const void *, int32_t, R... rest) { Args<R...>::callbackOf(fn, user, rest...); }
    static bool sendable(const void *data, int32_t size, R... rest)
    {
        return Bytes::sendable(static_cast<const uint8_t *>(data), size, rest...);
    }
    static void encode(Writer &w, const void *data, int32_t size, R... rest)
    {
        Bytes::encode(w, static_cast<const uint8_t *>(data), size, rest...);
    }
    static bool decode(Reader &r, bool apply, const void *data, int32_t size, R... rest)
    {
        return Bytes::decode(r, apply, static_cast<const uint8_t *>(data), size, rest...);
    }
};

template <class... R>
struct Slots<char *, int32_t, R...> {
    bool present = false;
    int32_t capacity = 0;
    std::vector<char> text;  // zeroed: what the call leaves is NUL-terminated
    char none = 0;
    Slots<R...> rest;
    bool decode(Reader &r)
    {
        present = r.flag();
        capacity = r.value<int32_t>();
        if (present && capacity > 0)
            text.assign(size_t(std::min<uint32_t>(uint32_t(capacity), kMaxText)), '\0');
        return rest.decode(r);
    }
    template <class F, class... Done>
    int32_t invoke(CallContext &c, F f, Done... done)
    {
        char *buffer = present ? (text.empty() ? &none : text.data()) : nullptr;
        return rest.invoke(c, f, done..., buffer, present && !text.empty() ? int32_t(text.size()) : capacity);
    }
    void encode(Writer &w, int32_t status) const
    {
        const bool written = status == 0 && !text.empty();
        w.flag(written);
        if (written)
            w.blob(text.data(), uint32_t(::strnlen(text.data(), text.size() - 1)));
        rest.encode(w, status);
    }
};

template <class... R>
struct Slots<void *, int32_t, int32_t *, R...> : Slots<uint8_t *, int32_t, int32_t *, R...> {};

template <class... R>
struct Slots<const void *, int32_t, R...> : Slots<const uint8_t *, int32_t, R...> {};

// ---- A control function's call and reply -------------------------------------

template <class F>
struct ControlSignature;
template <class Ret, class... P>
struct ControlSignature<Ret (*)(P...)> {
    using Result = Ret;
    using Client = Args<P...>;
    using Device = Slots<P...>;
};

// The result's bytes in a reply.
template <class Ret>
void writeResult(Writer &w, Ret result)
{
    static_assert(std::is_same_v<Ret, int> || std::is_same_v<Ret, int64_t>, "a result the control port carries");
    w.value(result);
}

}  // namespace sim::wire
