#pragma once
// The records a call is handed. Every record is a heap block of exactly its
// size, so AddressSanitizer sees any access past it; the blocks live until
// the input ends. A record the library handed out is kept, per type, as the
// template of the next ones sent to it.
#include "FuzzCheck.h"
#include "RecordDefaults.h"
#include "Values.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <vector>

namespace entryfuzz {

template <class T>
struct Tag {
    static const char id;
};
template <class T>
const char Tag<T>::id = 0;

// Records the library handed out in this input, to be sent back changed.
extern std::unordered_map<const void *, std::vector<uint8_t>> g_stash;

template <class T>
void remember(const T *record)
{
    const auto *b = reinterpret_cast<const uint8_t *>(record);
    g_stash[&Tag<T>::id].assign(b, b + sizeof(T));
}

template <class T>
void templateOf(T *r)
{
    auto it = g_stash.find(&Tag<T>::id);
    if (it != g_stash.end()) {
        std::memcpy(r, it->second.data(), sizeof(T));
        return;
    }
    std::memset(r, 0, sizeof(T));
    defaults(r);
}

// ---- Per-input memory ----------------------------------------------------------

// A heap block of exactly `size` bytes, freed by freeBlocks() at the input's end.
void *block(size_t size);
void freeBlocks();

// Null now and then.
inline bool nullNow(FuzzedDataProvider &p)
{
    return p.ConsumeIntegralInRange<int>(0, 15) == 15;
}

// A record the call reads: the template as it is, changed in a few places,
// the input's bytes, or a pattern without any NUL.
template <class T>
const T *inRecord(FuzzedDataProvider &p)
{
    if (nullNow(p))
        return nullptr;
    T *r = static_cast<T *>(block(sizeof(T)));
    auto *bytes = reinterpret_cast<uint8_t *>(r);
    switch (p.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
        templateOf(r);
        break;
    case 1: {
        templateOf(r);
        const int changes = p.ConsumeIntegralInRange<int>(1, 4);
        const std::vector<TextField> texts = textFields<T>();
        for (int i = 0; i < changes; ++i) {
            const int what = p.ConsumeIntegralInRange<int>(0, 3);
            if (what == 3 && !texts.empty()) {
                mutateText(p, bytes, texts[p.ConsumeIntegralInRange<size_t>(0, texts.size() - 1)]);
                continue;
            }
            size_t at = p.ConsumeIntegralInRange<size_t>(0, sizeof(T) - 1);
            if (what == 2 || sizeof(T) < 4) {
                bytes[at] = p.ConsumeIntegral<uint8_t>();
                continue;
            }
            at = std::min(at & ~size_t(3), sizeof(T) - 4);
            if (what == 0) {
                const int32_t v = anyInt(p);
                std::memcpy(bytes + at, &v, 4);
            } else {
                const float v = anyFloat(p);
                std::memcpy(bytes + at, &v, 4);
            }
        }
        break;
    }
    case 2: {
        const std::vector<uint8_t> raw = p.ConsumeBytes<uint8_t>(sizeof(T));
        std::memset(r, 0, sizeof(T));
        if (!raw.empty())
            std::memcpy(r, raw.data(), raw.size());
        break;
    }
    default:
        std::memset(r, 0xA5, sizeof(T));
        break;
    }
    return r;
}

// A record the call fills, with leftovers in it.
template <class T>
T *outRecord(FuzzedDataProvider &p)
{
    if (nullNow(p))
        return nullptr;
    T *r = static_cast<T *>(block(sizeof(T)));
    std::memset(r, 0xCD, sizeof(T));
    return r;
}

// The leftovers in every output: 0xCD in each byte.
constexpr int32_t kUntouched = int32_t(0xCDCDCDCDu);

int32_t *outInt(FuzzedDataProvider &p);

}  // namespace entryfuzz
