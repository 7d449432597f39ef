#pragma once
// Values, paths and texts a step draws from its chunk of the input: the
// first choice of each is a sensible one, the edges follow.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace entryfuzz {

// ---- Addresses and paths -----------------------------------------------------

inline constexpr const char *kDevices[] = {"127.0.0.11", "127.0.0.12", "127.0.0.13"};
inline constexpr const char *kScratch = "fz";

// Empties ./fz and makes its sub-folders again.
void freshScratch();

template <size_t N>
size_t pick(FuzzedDataProvider &p, const char *const (&)[N])
{
    return p.ConsumeIntegralInRange<size_t>(0, N - 1);
}

// A path the library may write or read; `*isNull` for a null pointer.
std::string makePath(FuzzedDataProvider &p, bool *isNull);

// ---- Values ------------------------------------------------------------------

int32_t anyInt(FuzzedDataProvider &p);
float anyFloat(FuzzedDataProvider &p);
int32_t channelArg(FuzzedDataProvider &p);
// A small value first (actions, modes, types), anything else now and then.
int32_t smallArg(FuzzedDataProvider &p, int32_t max);

// ---- Text fields of the records ------------------------------------------------

struct TextField {
    size_t offset;
    size_t size;
};

// Writes `text` cut to the field, NUL-filled to its end.
void putText(uint8_t *field, size_t size, const std::string &text);
// A known text, no NUL at all, the longest the field takes, or the input's.
void mutateText(FuzzedDataProvider &p, uint8_t *record, const TextField &f);

}  // namespace entryfuzz
