#include "thermal/AlarmText.h"

#include <QCoreApplication>
#include <QDateTime>

#include <cstring>

namespace AlarmText {

namespace {

QString Tr(const char *text)
{
    return QCoreApplication::translate("AlarmPage", text);
}

// The name up to its NUL, never past the field when the device left none.
template <size_t N>
QString Name(const char (&field)[N])
{
    const void *end = std::memchr(field, '\0', N);
    const int length = end ? int(static_cast<const char *>(end) - field) : int(N);
    return QString::fromLocal8Bit(field, length);
}

// Channel, type, threshold, region id, region name, temperature, state, date.
QStringList Row(const QString &channel, const QString &type, const QString &threshold, const QString &regionId,
                const QString &regionName, const QString &temp, const QString &state, const QString &date)
{
    return {channel, type, threshold, regionId, regionName, temp, state, date};
}

// Fire, intrusions and smoke: a named region.
template <class Record>
QStringList RegionRow(int alarmType, const Record &info)
{
    return Row(QString::number(info.channel), TypeName(alarmType), QString(), QString::number(info.regionId),
               Name(info.name), QString(), StateName(info.state), DateText(info.time));
}

// Dynamic and local alarms: a region id without a name.
template <class Record>
QStringList IdRow(int alarmType, const Record &info)
{
    return Row(QString::number(info.channel), TypeName(alarmType), QString(), QString::number(info.regionId),
               QString(), QString(), StateName(info.state), DateText(info.time));
}

// Tracking and exceptions: channel, type, state and date only.
template <class Record>
QStringList PlainRow(int alarmType, const Record &info)
{
    return Row(QString::number(info.channel), TypeName(alarmType), QString(), QString(), QString(), QString(),
               StateName(info.state), DateText(info.time));
}

} // namespace

QStringList Headers()
{
    return {Tr(QT_TRANSLATE_NOOP("AlarmPage", "Channel")),     Tr(QT_TRANSLATE_NOOP("AlarmPage", "Alarm Type")),
            Tr(QT_TRANSLATE_NOOP("AlarmPage", "Alarm Threshold")), Tr(QT_TRANSLATE_NOOP("AlarmPage", "Region ID")),
            Tr(QT_TRANSLATE_NOOP("AlarmPage", "Region Name")), Tr(QT_TRANSLATE_NOOP("AlarmPage", "Alarm Temp")),
            Tr(QT_TRANSLATE_NOOP("AlarmPage", "Alram State")), Tr(QT_TRANSLATE_NOOP("AlarmPage", "Datetime"))};
}

QString TypeName(int value)
{
    static const struct
    {
        int value;
        const char *text;
    } kNames[] = {
        {1, QT_TRANSLATE_NOOP("AlarmPage", "Avg Greater Than")},
        {2, QT_TRANSLATE_NOOP("AlarmPage", "Avg Less Than")},
        {3, QT_TRANSLATE_NOOP("AlarmPage", "High Greater Than")},
        {4, QT_TRANSLATE_NOOP("AlarmPage", "High Less Than")},
        {5, QT_TRANSLATE_NOOP("AlarmPage", "Low Greater Than")},
        {6, QT_TRANSLATE_NOOP("AlarmPage", "Low Less Than")},
        {10002, QT_TRANSLATE_NOOP("AlarmPage", "Fire")},
        {10003, QT_TRANSLATE_NOOP("AlarmPage", "Temp Rise")},
        {10004, QT_TRANSLATE_NOOP("AlarmPage", "Temp Diff")},
        {10005, QT_TRANSLATE_NOOP("AlarmPage", "Fire Pulse")},
        {10006, QT_TRANSLATE_NOOP("AlarmPage", "High Light")},
        {20001, QT_TRANSLATE_NOOP("AlarmPage", "Region Intrusion")},
        {20002, QT_TRANSLATE_NOOP("AlarmPage", "Line Intrusion")},
        {20003, QT_TRANSLATE_NOOP("AlarmPage", "Object Pulse")},
        {20004, QT_TRANSLATE_NOOP("AlarmPage", "Dynamic")},
        {30001, QT_TRANSLATE_NOOP("AlarmPage", "Smoke Detect")},
        {40001, QT_TRANSLATE_NOOP("AlarmPage", "Local Alarm")},
        {50001, QT_TRANSLATE_NOOP("AlarmPage", "Track State")},
        {50002, QT_TRANSLATE_NOOP("AlarmPage", "Track Object")},
        {60001, QT_TRANSLATE_NOOP("AlarmPage", "Login Exception")},
        {70001, QT_TRANSLATE_NOOP("AlarmPage", "SD Exception")},
    };
    for (const auto &name : kNames) {
        if (name.value == value)
            return Tr(name.text);
    }
    return QString();
}

QString StateName(int state)
{
    switch (state) {
    case 0:
        return Tr(QT_TRANSLATE_NOOP("AlarmPage", "Single Alarm"));
    case 1:
        return Tr(QT_TRANSLATE_NOOP("AlarmPage", "Start Alarm"));
    case 2:
        return Tr(QT_TRANSLATE_NOOP("AlarmPage", "End Alarm"));
    default:
        return QString();
    }
}

QString RegionText(int ruleType, int ruleId)
{
    switch (ruleType) {
    case 0:
        return QStringLiteral("P%1").arg(ruleId);
    case 1:
        return QStringLiteral("L%1").arg(ruleId);
    case 2:
    case 3:
    case 4:
        return QStringLiteral("R%1").arg(ruleId);
    default:
        return QString();
    }
}

QString TempText(int alarmRule, const TMV_NET_TEMP_INFO &temp, int unit)
{
    QString text;
    switch (alarmRule) {
    case 1:
    case 2:
        text = QString::number(temp.avgTemp, 'f', 2);
        break;
    case 3:
    case 4:
        text = QString::number(temp.maxTemp, 'f', 2);
        break;
    case 5:
    case 6:
        text = QString::number(temp.minTemp, 'f', 2);
        break;
    default:
        break;
    }
    switch (unit) {
    case 0:
        return text + Tr(QT_TRANSLATE_NOOP("AlarmPage", "C"));
    case 1:
        return text + Tr(QT_TRANSLATE_NOOP("AlarmPage", "F"));
    case 2:
        return text + Tr(QT_TRANSLATE_NOOP("AlarmPage", "K"));
    default:
        return text;
    }
}

QString DiffThresholdText(float threshold)
{
    return double(threshold) >= 0.1 ? QString::number(threshold, 'g', 6) : QString();
}

QString DateText(int64_t time)
{
    return QDateTime::fromSecsSinceEpoch(time, Qt::UTC).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

QStringList Cells(int alarmType, const TMV_NET_TEMP_ALARM_INFO &info)
{
    const bool tempType = alarmType == TMV_NET_ALARM_TEMP || alarmType == TMV_NET_ALARM_TEMP_RISE;
    const QString name = Name(info.name);
    return Row(tempType ? QString::number(info.channel) : QString(), TypeName(info.alarmRule),
               QString::number(info.threshold, 'g', 6), QString::number(info.ruleId),
               name == QLatin1String("Frame") ? name : RegionText(info.ruleType, info.ruleId),
               TempText(info.alarmRule, info.temp, info.unit), StateName(info.state), DateText(info.time));
}

QStringList Cells(int alarmType, const TMV_NET_FIRE_ALARM_INFO &info)
{
    return RegionRow(alarmType, info);
}

QStringList Cells(int alarmType, const TMV_NET_REGION_INTRUSION_ALARM_INFO &info)
{
    return RegionRow(alarmType, info);
}

QStringList Cells(int alarmType, const TMV_NET_LINE_INTRUSION_ALARM_INFO &info)
{
    return RegionRow(alarmType, info);
}

QStringList Cells(int alarmType, const TMV_NET_SMOKE_DETECT_ALARM_INFO &info)
{
    return RegionRow(alarmType, info);
}

QStringList Cells(int alarmType, const TMV_NET_TEMP_DIFF_ALARM_INFO &info)
{
    return Row(QString::number(info.channel), TypeName(alarmType), DiffThresholdText(info.threshold), QString(),
               Name(info.name), QString(), StateName(info.state), DateText(info.time));
}

QStringList Cells(int alarmType, const TMV_NET_DYNAMIC_ALARM_INFO &info)
{
    return IdRow(alarmType, info);
}

QStringList Cells(int alarmType, const TMV_NET_LOCAL_ALARM_INFO &info)
{
    return IdRow(alarmType, info);
}

QStringList Cells(int alarmType, const TMV_NET_HIGH_LIGHT_ALARM_INFO &info)
{
    // The record carries no state.
    return Row(QString::number(info.channel), TypeName(alarmType), QString(), QString(), QString(), QString(),
               QString(), DateText(info.time));
}

QStringList Cells(int alarmType, const TMV_NET_OBJECT_PULSE_ALARM_INFO &info)
{
    return PlainRow(alarmType, info);
}

QStringList Cells(int alarmType, const TMV_NET_TRACK_STATE_ALARM_INFO &info)
{
    return PlainRow(alarmType, info);
}

QStringList Cells(int alarmType, const TMV_NET_TRACK_OBJECT_ALARM_INFO &info)
{
    return PlainRow(alarmType, info);
}

QStringList Cells(int alarmType, const TMV_NET_LOGIN_EXCEPTION_ALARM_INFO &info)
{
    return PlainRow(alarmType, info);
}

QStringList Cells(int alarmType, const TMV_NET_SD_EXCEPTION_ALARM_INFO &info)
{
    return PlainRow(alarmType, info);
}

} // namespace AlarmText
