#ifndef TRENDRING_H
#define TRENDRING_H

#include <cstddef>
#include <cstdint>
#include <vector>

// One series of the trend: samples (UTC milliseconds, temperature) oldest
// first, bounded. When full, a new sample replaces the oldest. A NaN value is
// a gap: the query of that moment failed.
//
// Memory: times and values are kept in two arrays, 12 bytes a sample, grown
// as samples come and never beyond the bound. A day at one sample a second
// (86400, the default bound) is 1.04 MB a series, so 20 series take 20.7 MB.
//
// Times are expected not to go backwards; LowerBound relies on it.
class TrendRing
{
public:
    static constexpr size_t kDayAtOnePerSecond = 86400;

    explicit TrendRing(size_t capacity = kDayAtOnePerSecond);

    void Push(int64_t timeMs, float value);
    void Clear();

    size_t Size() const { return m_times.size(); }
    size_t Capacity() const { return m_capacity; }
    bool Empty() const { return m_times.empty(); }
    // Sample i, 0 being the oldest kept.
    int64_t TimeAt(size_t i) const { return m_times[Slot(i)]; }
    float ValueAt(size_t i) const { return m_values[Slot(i)]; }
    // Index of the first sample at or after `timeMs` (Size() when none).
    size_t LowerBound(int64_t timeMs) const;

private:
    size_t Slot(size_t i) const
    {
        const size_t slot = m_head + i;
        return slot < m_times.size() ? slot : slot - m_times.size();
    }

    size_t m_capacity;
    // Where the oldest sample sits once the arrays are full; 0 before.
    size_t m_head = 0;
    std::vector<int64_t> m_times;
    std::vector<float> m_values;
};

#endif // TRENDRING_H
