#ifndef TRENDCSV_H
#define TRENDCSV_H

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

#include "thermal/trend/TrendRing.h"

namespace TrendCsv {

// The unit text of the device's unit code (0 Celsius, 1 Fahrenheit, 2
// Kelvin); empty for a code we do not know.
QString UnitText(int unit);

// One field as a spreadsheet reads it back: quoted, with quotes doubled,
// when it holds a comma, a quote or a line break.
QString Field(const QString &text);

// Every sample of [fromMs, toMs] of the series, one row per moment that any
// series sampled, oldest first. Header: "Time (UTC)", then each name with the
// unit in brackets. Times are ISO 8601 UTC with milliseconds; temperatures
// have two decimals; a failed or missing sample is an empty field. Lines end
// in CR LF. `names` and `series` go together, one name per series.
QString Write(const QStringList &names, const QString &unit, const std::vector<const TrendRing *> &series,
              int64_t fromMs, int64_t toMs);

} // namespace TrendCsv

#endif // TRENDCSV_H
