#ifndef COUNTCLAMP_H
#define COUNTCLAMP_H

#include <algorithm>
#include <cstddef>
#include <cstdint>

// A count a device returns with a list is its word only up to the array it
// was given: a faulty device must not make the client read past it.
inline int ClampCount(int returned, int capacity)
{
    if (returned < 0 || capacity <= 0)
        return 0;
    return returned < capacity ? returned : capacity;
}

// The size a device answers before a list sizes the client's array, but
// only up to a bound: a faulty device cannot make the client allocate
// without limit (16 MiB of records, and never fewer than 256 of them).
constexpr size_t kMaxListBytes = size_t(16) << 20;

template <class Record>
constexpr size_t MaxListRecords()
{
    return std::max<size_t>(256, kMaxListBytes / sizeof(Record));
}

template <class Record>
size_t ListCapacity(int32_t claimed)
{
    return std::min(static_cast<size_t>(claimed > 0 ? claimed : 0), MaxListRecords<Record>());
}

#endif // COUNTCLAMP_H
