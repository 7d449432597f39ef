#pragma once
// The statuses the calls answer: each one must be documented, and with
// ENTRY_FUZZ_TRACE set each one is listed after its step.
#include "FuzzCheck.h"

#include <chrono>
#include <cstdint>

namespace entryfuzz {

inline bool documented(int32_t status)
{
    return (status >= 0 && status <= 4) || (status >= 1001 && status <= 1007) || status == 1101;
}

bool tracing();
void noteStatus(int32_t status);

inline void check(int32_t status)
{
    require(documented(status));
    if (tracing())
        noteStatus(status);
}

// Prints the step's line (when tracing) and starts the next step's list.
void trace(const char *name, std::chrono::steady_clock::time_point since);

}  // namespace entryfuzz
