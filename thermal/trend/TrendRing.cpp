#include "thermal/trend/TrendRing.h"

TrendRing::TrendRing(size_t capacity) : m_capacity(capacity > 0 ? capacity : 1) {}

void TrendRing::Push(int64_t timeMs, float value)
{
    if (m_times.size() < m_capacity) {
        m_times.push_back(timeMs);
        m_values.push_back(value);
        return;
    }
    m_times[m_head] = timeMs;
    m_values[m_head] = value;
    m_head = m_head + 1 == m_capacity ? 0 : m_head + 1;
}

void TrendRing::Clear()
{
    m_times.clear();
    m_values.clear();
    m_head = 0;
}

size_t TrendRing::LowerBound(int64_t timeMs) const
{
    size_t low = 0, high = Size();
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        if (TimeAt(middle) < timeMs)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}
