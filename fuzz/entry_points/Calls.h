#pragma once
// The rows of the table of calls, one array per family of the contract
// header, in the header's order. The input's function byte counts the rows
// of all the arrays in the order kFamilies lists them, so a row moves, is
// added or is dropped only together with the seeds that name it.
//
// Each file spells the step's handle `H` (s.handle()). A row draws its
// arguments from its chunk in the order it reads them, so that order is part
// of what a seed means too: a row reads `H` into `h` first when a later
// argument is drawn in the same call expression.
#include "Step.h"

#include <cstddef>

namespace entryfuzz {

extern const Entry kSessionCalls[16];   // session and preview
extern const Entry kThermalCalls[28];   // temperature: frame, streams, rules, tiered rules
extern const Entry kAlarmCalls[3];
extern const Entry kPtzCalls[40];
extern const Entry kConfigCalls[49];
extern const Entry kPlaybackCalls[5];
extern const Entry kWorldCalls[6];      // not entry points: time, alarms, devices that go away

struct Family {
    const Entry *rows;
    size_t count;
};

template <size_t N>
constexpr Family family(const Entry (&rows)[N])
{
    return {rows, N};
}

inline const Family kFamilies[] = {
    family(kSessionCalls), family(kThermalCalls), family(kAlarmCalls),    family(kPtzCalls),
    family(kConfigCalls),  family(kPlaybackCalls), family(kWorldCalls),
};

constexpr size_t kEntryPoints = 141;
constexpr size_t kSteps = 16 + 28 + 3 + 40 + 49 + 5 + 6;
static_assert(kSteps == kEntryPoints + 6, "one step per entry point, then the world's");

}  // namespace entryfuzz
