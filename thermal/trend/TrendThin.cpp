#include "thermal/trend/TrendThin.h"

#include <cmath>
#include <cstdint>
#include <utility>

namespace {

// Appends a point, or closes the current segment at a gap.
void Add(std::vector<TrendSegment> &out, bool &open, const TrendPoint &point)
{
    if (std::isnan(point.value)) {
        open = false;
        return;
    }
    if (!open) {
        out.emplace_back();
        open = true;
    }
    out.back().push_back(point);
}

} // namespace

std::vector<TrendSegment> ThinForColumns(const TrendRing &ring, int64_t fromMs, int64_t toMs, int columns)
{
    std::vector<TrendSegment> out;
    if (toMs < fromMs)
        return out;
    const size_t first = ring.LowerBound(fromMs);
    const size_t end = ring.LowerBound(toMs == INT64_MAX ? toMs : toMs + 1);
    bool open = false;
    if (columns <= 0 || end - first <= size_t(columns) * 2) {
        for (size_t i = first; i < end; ++i)
            Add(out, open, {ring.TimeAt(i), ring.ValueAt(i)});
        return out;
    }
    const double span = double(toMs - fromMs) + 1.0;
    size_t i = first;
    while (i < end) {
        const int column = int(double(ring.TimeAt(i) - fromMs) * columns / span);
        size_t low = SIZE_MAX, high = SIZE_MAX, gap = SIZE_MAX;
        for (; i < end && int(double(ring.TimeAt(i) - fromMs) * columns / span) == column; ++i) {
            const float v = ring.ValueAt(i);
            if (std::isnan(v)) {
                if (gap == SIZE_MAX)
                    gap = i;
                continue;
            }
            if (low == SIZE_MAX || v < ring.ValueAt(low))
                low = i;
            if (high == SIZE_MAX || v > ring.ValueAt(high))
                high = i;
        }
        // Up to three moments of the column, in the order they happened.
        size_t picks[3] = {low, high, gap};
        for (int a = 0; a < 3; ++a)
            for (int b = a + 1; b < 3; ++b)
                if (picks[b] < picks[a])
                    std::swap(picks[a], picks[b]);
        size_t last = SIZE_MAX;
        for (size_t pick : picks) {
            if (pick == SIZE_MAX || pick == last)
                continue;
            Add(out, open, {ring.TimeAt(pick), ring.ValueAt(pick)});
            last = pick;
        }
    }
    return out;
}
