#pragma once
// The pool of handles a step picks from, and the callbacks the library
// calls on its own threads: each one checks that it belongs to a stream of
// its login that is running, and stays inside what it was handed.
#include "FuzzCheck.h"
#include "TMVNetSDK.h"

#include <atomic>
#include <cstdint>
#include <pthread.h>
#include <vector>

namespace entryfuzz {

// ---- Logins and callbacks ------------------------------------------------------

// One place of the handle pool. Callbacks read it from library threads.
struct Slot {
    std::atomic<uintptr_t> handle{0};
    bool ours = false;  // a login of this input: logged out at its end
    std::atomic<bool> preview{false}, temp{false}, raw{false}, alarm{false}, exception{false};

    void quiet()
    {
        preview = temp = raw = alarm = exception = false;
    }
};

constexpr int kSlots = 12;
extern Slot g_slots[kSlots];
extern std::atomic<int> g_slotCount;
extern pthread_t g_caller;
extern std::atomic<bool> g_searchOpen;
extern bool g_searched;
extern std::vector<int32_t> g_downloads;

struct CallbackUser {
    int tag = 0x5eed;
};
extern CallbackUser g_user;

inline TMV_NET_HANDLE handleAt(int i)
{
    return reinterpret_cast<TMV_NET_HANDLE>(g_slots[i].handle.load());
}

void addSlot(TMV_NET_HANDLE handle, bool ours);

// The slot a callback's handle belongs to; the library hands back the
// login's own handle, never another.
Slot &slotOf(TMV_NET_HANDLE handle);

void forHandle(TMV_NET_HANDLE handle, void (*fn)(Slot &));

void onLibraryThread(void *user);

// A call the next callback makes into the library, armed by a step: from
// inside any callback every function answers a status and never deadlocks,
// and a Deinit answers 1. What it stops is not unflagged here: a flag that
// stays up only allows callbacks.
extern std::atomic<int> g_armed;
constexpr int kCallbackActions = 12;

void fromCallback(TMV_NET_HANDLE own);

// The callbacks handed to the library (Callbacks.cpp).
void previewCallback(TMV_NET_HANDLE handle, int32_t channel, TMV_NET_PREVIEW_FRAME *frame, void *user);
void tempCallback(TMV_NET_HANDLE handle, const TMV_NET_TEMP_FRAME *frame, int32_t channel, void *user);
void rawCallback(TMV_NET_HANDLE handle, const uint16_t *data, int32_t width, int32_t height, void *user);
void alarmCallback(TMV_NET_HANDLE handle, int32_t type, const void *info, void *user);
void exceptionCallback(TMV_NET_HANDLE handle, int32_t type, void *user);
void searchCallback(const char *ip, void *user);

}  // namespace entryfuzz
