#include "ptz/PtzText.h"

#include <QDateTime>

QString PtzTwoDecimals(float value)
{
    return QString::number(value, 'f', 2);
}

QString PtzFieldOfView(float horizontal, float vertical)
{
    return QStringLiteral("H ") + PtzTwoDecimals(horizontal) + QStringLiteral(" V ") + PtzTwoDecimals(vertical);
}

QString PtzReading(float value)
{
    return QString::number(value, 'g', 6);
}

QString PtzStartTime(int64_t msSinceEpoch)
{
    return QDateTime::fromMSecsSinceEpoch(msSinceEpoch).toLocalTime().toString(
        QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
}

int PtzListRow(int value, int count)
{
    return value >= 0 && value < count ? value : -1;
}
