#ifndef TRENDTHIN_H
#define TRENDTHIN_H

#include <cstdint>
#include <vector>

#include "thermal/trend/TrendRing.h"

struct TrendPoint
{
    int64_t timeMs;
    float value;
};
// A stretch of the line without a gap.
using TrendSegment = std::vector<TrendPoint>;

// The samples of [fromMs, toMs] as the plot draws them: for each of `columns`
// screen columns of the span, its lowest and highest sample in time order,
// so a day of samples costs a few points per column yet keeps every peak.
// A column holding a failed sample breaks the line there. When the span
// holds no more than two samples a column, every sample is kept.
std::vector<TrendSegment> ThinForColumns(const TrendRing &ring, int64_t fromMs, int64_t toMs, int columns);

#endif // TRENDTHIN_H
