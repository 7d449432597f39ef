#ifndef REPLAYCSV_H
#define REPLAYCSV_H

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

#include "thermal/recfile/RecMeasure.h"

namespace ReplayCsv {

// One row per frame of a recording: its time in UTC (ISO 8601 with
// milliseconds), seconds since the first frame, then each shape's maximum,
// minimum and average with two decimals (empty where the shape read
// nothing). The header names each column with the unit in brackets; lines
// end in CR LF. `readings` is [shape][frame], one name per shape.
QString Write(const QStringList &shapeNames, const QString &unit, int64_t startUtcMs,
              const std::vector<int64_t> &frameTimesMs,
              const std::vector<std::vector<RecMeasure::Reading>> &readings);

} // namespace ReplayCsv

#endif // REPLAYCSV_H
