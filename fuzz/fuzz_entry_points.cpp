// The device library's entry points in any order with any arguments: every
// call must answer one of the contract's statuses, stay inside the records and
// arrays it was handed, and every callback must stay inside what it was
// promised and end when its stop call returns.
//
// Input: a series of steps. Each step takes its function (a byte, from the
// table in entry_points/Calls.h) and the length of its own chunk from the end of the input, and
// its chunk from the front; the step draws all its choices from that chunk,
// and a short chunk reads as zeros: the first choice everywhere is a sensible
// call (the PTZ camera's login, a well-formed record, a path that can be
// written), so a seed is mostly a list of functions.
//
// Every record is a heap block of exactly its size and every array holds
// exactly the records its capacity says, so AddressSanitizer sees any access
// past them. Paths stay inside ./fz (created here, emptied between inputs).
#include "FuzzCheck.h"
#include "TMVNetSDK.h"
#include "TMVSimControl.h"
#include "entry_points/Calls.h"
#include "entry_points/Records.h"
#include "entry_points/Sessions.h"
#include "entry_points/Status.h"
#include "entry_points/Step.h"
#include "entry_points/Values.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <pthread.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace entryfuzz {
namespace {

// The i-th row of the table: the families one after the other.
const Entry &stepAt(size_t i)
{
    for (const Family &f : kFamilies) {
        if (i < f.count)
            return f.rows[i];
        i -= f.count;
    }
    std::abort();
}

constexpr int kMaxSteps = 48;

TMV_NET_HANDLE fleetLogin(const char *address)
{
    TMV_NET_LOGIN_INFO info;
    std::memset(&info, 0, sizeof info);
    std::strcpy(info.ip, address);
    info.port = 80;
    std::strcpy(info.userName, "admin");
    std::strcpy(info.password, "sensor852");
    TMV_NET_HANDLE handle = nullptr;
    require(TMV_NET_Login(&info, &handle) == 0 && handle);
    return handle;
}

char g_neverAHandle;

void beginInput()
{
    require(TMV_NET_Init() == 0);
    TMVSim_ResetFleet();
    g_stash.clear();
    g_downloads.clear();
    g_searched = false;
    g_searchOpen = true;
    g_slotCount = 0;
    for (const char *device : kDevices)
        addSlot(fleetLogin(device), true);
    addSlot(nullptr, false);
    addSlot(&g_neverAHandle, false);
    const TMV_NET_HANDLE gone = fleetLogin(kDevices[1]);
    require(TMV_NET_Logout(gone) == 0);
    addSlot(gone, false);
}

// Stops everything the input started: after the logouts no callback of
// theirs runs, and the search answers still due are drained.
void endInput()
{
    g_armed = -1;
    require(TMV_NET_Init() == 0);
    for (int i = 0; i < g_slotCount.load(); ++i) {
        Slot &s = g_slots[i];
        if (!s.ours)
            continue;
        const int32_t status = TMV_NET_Logout(handleAt(i));
        require(status == 0 || status == 1);
    }
    for (int i = 0; i < g_slotCount.load(); ++i)
        g_slots[i].quiet();
    for (const char *device : kDevices)
        require(TMVSim_SessionCount(device) == 0);
    if (g_searched)
        TMVSim_ClockStep(450);
    g_searchOpen = false;
    freeBlocks();
}

}  // namespace
}  // namespace entryfuzz

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    using namespace entryfuzz;
    g_caller = pthread_self();
    // Cards of this run live in the working folder, whatever started it.
    const char *root = std::getenv("TMVSIM_SDCARD_ROOT");
    char cwd[4096];
    require(::getcwd(cwd, sizeof cwd) != nullptr);
    const std::string cards = root && *root ? std::string(root) : std::string(cwd) + "/sdcard";
    TMVSim_SetSdCardRoot(cards.c_str());
    freshScratch();
    TMVSim_ClockPause();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace entryfuzz;
    require(pthread_equal(pthread_self(), g_caller));
    FuzzedDataProvider input(data, size);
    auto t = std::chrono::steady_clock::now();
    beginInput();
    trace("(begin)", t);
    for (int n = 0; n < kMaxSteps && input.remaining_bytes() > 0; ++n) {
        const Entry &entry = stepAt(input.ConsumeIntegral<uint8_t>() % kSteps);
        const std::vector<uint8_t> chunk = input.ConsumeBytes<uint8_t>(input.ConsumeIntegral<uint8_t>());
        FuzzedDataProvider p(chunk.data(), chunk.size());
        Step step{p};
        t = std::chrono::steady_clock::now();
        entry.run(step);
        trace(entry.name, t);
    }
    t = std::chrono::steady_clock::now();
    endInput();
    freshScratch();
    trace("(end)", t);
    return 0;
}
