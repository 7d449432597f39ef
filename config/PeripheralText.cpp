#include "config/PeripheralText.h"

namespace {

constexpr int32_t kSecondsPerDay = 24 * 3600;

} // namespace

DayNightControls DayNightControlsFor(int index)
{
    return DayNightControls{index == 0, index == 3};
}

QTime DayNightTime(int32_t seconds)
{
    if (seconds <= 0)
        return QTime(0, 0, 0);
    if (seconds >= kSecondsPerDay)
        seconds = kSecondsPerDay - 1;
    return QTime(seconds / 3600, (seconds % 3600) / 60, seconds % 60);
}

int32_t DayNightSeconds(const QTime &time)
{
    if (!time.isValid())
        return 0;
    return time.hour() * 3600 + time.minute() * 60 + time.second();
}

int32_t AutoManualMode(const QString &text, const QString &autoText, const QString &manualText)
{
    if (text == autoText)
        return 0;
    if (text == manualText)
        return 1;
    return -1;
}

int PeripheralItemIndex(int64_t value, int count)
{
    return value >= 0 && value < count ? int(value) : -1;
}
