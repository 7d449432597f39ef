#include "Sessions.h"

#include "Status.h"

#include <cstdlib>

namespace entryfuzz {

Slot g_slots[kSlots];
std::atomic<int> g_slotCount{0};
pthread_t g_caller;
std::atomic<bool> g_searchOpen{false};
bool g_searched = false;
std::vector<int32_t> g_downloads;
CallbackUser g_user;
std::atomic<int> g_armed{-1};

void addSlot(TMV_NET_HANDLE handle, bool ours)
{
    const int n = g_slotCount.load();
    require(n < kSlots);
    g_slots[n].handle = reinterpret_cast<uintptr_t>(handle);
    g_slots[n].ours = ours;
    g_slots[n].quiet();
    g_slotCount = n + 1;
}

Slot &slotOf(TMV_NET_HANDLE handle)
{
    const uintptr_t h = reinterpret_cast<uintptr_t>(handle);
    for (Slot &s : g_slots)
        if (h != 0 && s.handle.load() == h)
            return s;
    std::abort();
}

void forHandle(TMV_NET_HANDLE handle, void (*fn)(Slot &))
{
    const uintptr_t h = reinterpret_cast<uintptr_t>(handle);
    for (int i = 0; i < g_slotCount.load(); ++i)
        if (h != 0 && g_slots[i].handle.load() == h)
            fn(g_slots[i]);
}

void onLibraryThread(void *user)
{
    require(user == &g_user);
    require(!pthread_equal(pthread_self(), g_caller));
}

void fromCallback(TMV_NET_HANDLE own)
{
    const int action = g_armed.exchange(-1);
    if (action < 0)
        return;
    const TMV_NET_HANDLE first = reinterpret_cast<TMV_NET_HANDLE>(g_slots[0].handle.load());
    int32_t status = 0;
    switch (action) {
    case 0:
        status = TMV_NET_StopPreview(own);
        break;
    case 1:
        status = TMV_NET_StopPullTemp(own);
        break;
    case 2:
        status = TMV_NET_StopPullNucData(own);
        break;
    case 3:
        status = TMV_NET_UnsubscribeAlarm(own);
        break;
    case 4:
        status = TMV_NET_Logout(own);
        break;
    case 5:
        status = TMV_NET_Deinit();
        require(status == 1);
        break;
    case 6: {
        TMV_NET_DEV_INFO info;
        status = TMV_NET_GetDevInfo(own, &info);
        break;
    }
    case 7: {
        TMV_NET_TEMP_INFO info;
        status = TMV_NET_QueryFrameTemp(own, &info);
        break;
    }
    case 8:
        status = TMV_NET_Logout(first);
        break;
    case 9:
        status = TMV_NET_StopPreview(first);
        break;
    case 10:
        status = TMV_NET_SystemRestart(own);
        break;
    default:
        status = TMV_NET_StopDownloadFile(own, 0);
        break;
    }
    require(documented(status));
}

}  // namespace entryfuzz
