#pragma once
// One step: the handle, values and records it draws from its chunk, and the
// checks shared by the calls of the table (outputs, lists, streams).
#include "FuzzCheck.h"
#include "Records.h"
#include "Sessions.h"
#include "Status.h"
#include "TMVNetSDK.h"
#include "Values.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace entryfuzz {

// ---- One step ------------------------------------------------------------------

struct Step {
    FuzzedDataProvider &p;

    // A handle of the pool: the first three are the fleet's logins, then a
    // null one, one that never was a handle, one logged out, and the logins
    // made by this input.
    TMV_NET_HANDLE handle() { return handleAt(p.ConsumeIntegralInRange<int>(0, g_slotCount.load() - 1)); }
    std::string pathText(bool *isNull) { return makePath(p, isNull); }
    template <class T>
    const T *in() { return inRecord<T>(p); }
    template <class T>
    T *out() { return outRecord<T>(p); }
    int32_t *outCount() { return outInt(p); }
    int32_t any() { return anyInt(p); }
    float anyF() { return anyFloat(p); }
    int32_t channel() { return channelArg(p); }
    int32_t small(int32_t max) { return smallArg(p, max); }
    template <class Fn>
    bool maybeCallback(Fn *fn, Fn **out)
    {
        *out = nullNow(p) ? nullptr : fn;
        return *out != nullptr;
    }
};

// A path argument, kept alive for the call; null when the step says so.
struct PathArg {
    std::string text;
    bool isNull = false;
    explicit PathArg(Step &s) { text = s.pathText(&isNull); }
    const char *get() const { return isNull ? nullptr : text.c_str(); }
};

// An output record: a failed call leaves it as it was; what a successful
// one hands out is sent back changed by later steps.
template <class T>
void afterGet(int32_t status, const T *record)
{
    check(status);
    if (!record)
        return;
    if (status == 0) {
        remember(record);
        return;
    }
    const auto *b = reinterpret_cast<const uint8_t *>(record);
    for (size_t i = 0; i < sizeof(T); ++i)
        require(b[i] == 0xCD);
}

// A list query: an array of exactly `capacity` records (none when the
// capacity is 0 or negative, or a single one), and *count within the
// capacity after a success, untouched after a failure.
inline constexpr int32_t kCapacities[] = {4, 0, 1, 2, 3, 8, 16, 64, -1, INT32_MIN, -1000, 255};

template <class T, class Call>
void listQuery(Step &s, Call call)
{
    int32_t capacity = kCapacities[s.p.ConsumeIntegralInRange<size_t>(0, 11)];
    const size_t maxRecords = std::max<size_t>(1, (1u << 20) / sizeof(T));
    if (capacity > 0 && size_t(capacity) > maxRecords)
        capacity = int32_t(maxRecords);
    T *array = nullptr;
    const bool withArray = !nullNow(s.p);
    if (capacity > 0 && withArray) {
        array = static_cast<T *>(block(sizeof(T) * size_t(capacity)));
        std::memset(array, 0xCD, sizeof(T) * size_t(capacity));
    } else if (capacity == 0 && withArray) {
        array = static_cast<T *>(block(0));
    } else if (capacity < 0 && withArray) {
        array = static_cast<T *>(block(sizeof(T)));
    }
    int32_t *count = s.outCount();
    const int32_t status = call(array, capacity, count);
    check(status);
    if (!count)
        return;
    if (status != 0) {
        require(*count == kUntouched);
        return;
    }
    require(*count >= 0 && *count <= capacity);
    if (*count > 0 && array)
        remember(&array[s.p.ConsumeIntegralInRange<int32_t>(0, *count - 1)]);
}

// A size query: *count is never negative after a success.
void sizeQueryResult(int32_t status, const int32_t *count);

// Flags of the stream a start call opens: set before the call, as the first
// callback may come before the call has returned to us, and put back when
// the start fails (a second start leaves the first stream running).
template <class Start>
int32_t startStream(TMV_NET_HANDLE handle, std::atomic<bool> Slot::*flag, bool callbackGiven, Start start)
{
    std::vector<std::pair<Slot *, bool>> before;
    const uintptr_t h = reinterpret_cast<uintptr_t>(handle);
    for (int i = 0; i < g_slotCount.load(); ++i)
        if (h != 0 && g_slots[i].handle.load() == h) {
            before.emplace_back(&g_slots[i], (g_slots[i].*flag).load());
            if (callbackGiven)
                g_slots[i].*flag = true;
        }
    const int32_t status = start();
    check(status);
    if (status != 0)
        for (auto &b : before)
            (b.first->*flag) = b.second;
    return status;
}

// Puts the stream's flag down on the handle's slots once its stop succeeded.
void stopped(int32_t status, TMV_NET_HANDLE handle, std::atomic<bool> Slot::*flag);
void loggedOut(TMV_NET_HANDLE handle);

// Download ids seen in this input, and any other number.
int32_t downloadId(Step &s);
// The record a download starts from: the card file and the local target.
void fileDownloadRecord(Step &s, TMV_NET_FILE_DOWNLOAD_INFO *info);

// A row of the table: the function's name (for the trace) and its step.
using StepFn = void (*)(Step &);

struct Entry {
    const char *name;
    StepFn run;
};

}  // namespace entryfuzz
