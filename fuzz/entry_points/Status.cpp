#include "Status.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace entryfuzz {

namespace {
std::string g_statuses;
}  // namespace

// ENTRY_FUZZ_TRACE=1 lists the steps of each input with their time and
// the statuses their calls answered.
bool tracing()
{
    static const bool on = std::getenv("ENTRY_FUZZ_TRACE") != nullptr;
    return on;
}

void noteStatus(int32_t status)
{
    g_statuses += ' ' + std::to_string(status);
}

void trace(const char *name, std::chrono::steady_clock::time_point since)
{
    if (tracing())
        std::fprintf(stderr, "step %-32s %8lld us:%s\n", name,
                     static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(
                                                std::chrono::steady_clock::now() - since)
                                                .count()),
                     g_statuses.c_str());
    g_statuses.clear();
}

}  // namespace entryfuzz
