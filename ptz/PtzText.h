#ifndef PTZTEXT_H
#define PTZTEXT_H

#include <QString>

#include <cstdint>

// How the PTZ page shows what the head reports.

// Positions, zoom multipliers: two decimals.
QString PtzTwoDecimals(float value);
// A field of view: "H " horizontal " V " vertical, two decimals each.
QString PtzFieldOfView(float horizontal, float vertical);
// Sensor and multiplier read-outs: six significant digits.
QString PtzReading(float value);
// A start time in milliseconds since the epoch (UTC), as local time with
// milliseconds.
QString PtzStartTime(int64_t msSinceEpoch);
// The list row for a device index into a list of `count` items: the index
// itself, or -1 (no row) for a value the list does not have.
int PtzListRow(int value, int count);

#endif // PTZTEXT_H
