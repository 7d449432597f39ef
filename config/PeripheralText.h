#ifndef PERIPHERALTEXT_H
#define PERIPHERALTEXT_H

#include <QString>
#include <QTime>

#include <cstdint>

// Conversions of the "Peripherel" page between the device's values and the
// form.

// Which day/night controls a mode index shows: the sensitivity in automatic
// mode (0), the schedule in timed mode (3), neither otherwise (-1 included).
struct DayNightControls
{
    bool sensitivity;
    bool schedule;
};
DayNightControls DayNightControlsFor(int index);

// A schedule time from the device, in seconds since midnight. Zero or less is
// midnight; a value of a day or more is the day's last second, since a time
// edit has no later time and would silently keep its old one.
QTime DayNightTime(int32_t seconds);
// A time of the form as seconds since midnight (0 for an invalid time).
int32_t DayNightSeconds(const QTime &time);

// The mode of a wiper or fill-light combo text: 0 for `autoText`, 1 for
// `manualText`, -1 for anything else (no current item).
int32_t AutoManualMode(const QString &text, const QString &autoText, const QString &manualText);

// The combo item for a device value in a list of `count` items: the value
// itself, or -1 (no current item) for a value the list does not have.
int PeripheralItemIndex(int64_t value, int count);

#endif // PERIPHERALTEXT_H
