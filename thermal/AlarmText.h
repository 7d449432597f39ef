#ifndef ALARMTEXT_H
#define ALARMTEXT_H

#include <QString>
#include <QStringList>

#include <cstdint>

#include "TMVNetSDK.h"

// The texts of one alarm-list row, without widgets, so each rule is a table
// of cases. Texts are translated in the AlarmPage context.
namespace AlarmText {

// Header labels, in column order.
QStringList Headers();

// Name of an alarm rule (1..6) or alarm type code; "" for any other value.
QString TypeName(int value);
// 0 single, 1 start, 2 end; "" otherwise.
QString StateName(int state);
// "P", "L" or "R" followed by the rule id; "" for an unknown rule type.
QString RegionText(int ruleType, int ruleId);
// The temperature the rule compares, with two decimals, then the unit letter.
QString TempText(int alarmRule, const TMV_NET_TEMP_INFO &temp, int unit);
// A difference threshold below 0.1 reads as not set.
QString DiffThresholdText(float threshold);
// Seconds since 1970 shown as UTC.
QString DateText(int64_t time);

// The eight cells of a row, one overload per record of the alarm callback.
QStringList Cells(int alarmType, const TMV_NET_TEMP_ALARM_INFO &info);
QStringList Cells(int alarmType, const TMV_NET_FIRE_ALARM_INFO &info);
QStringList Cells(int alarmType, const TMV_NET_REGION_INTRUSION_ALARM_INFO &info);
QStringList Cells(int alarmType, const TMV_NET_LINE_INTRUSION_ALARM_INFO &info);
QStringList Cells(int alarmType, const TMV_NET_SMOKE_DETECT_ALARM_INFO &info);
QStringList Cells(int alarmType, const TMV_NET_TEMP_DIFF_ALARM_INFO &info);
QStringList Cells(int alarmType, const TMV_NET_DYNAMIC_ALARM_INFO &info);
QStringList Cells(int alarmType, const TMV_NET_LOCAL_ALARM_INFO &info);
QStringList Cells(int alarmType, const TMV_NET_HIGH_LIGHT_ALARM_INFO &info);
QStringList Cells(int alarmType, const TMV_NET_OBJECT_PULSE_ALARM_INFO &info);
QStringList Cells(int alarmType, const TMV_NET_TRACK_STATE_ALARM_INFO &info);
QStringList Cells(int alarmType, const TMV_NET_TRACK_OBJECT_ALARM_INFO &info);
QStringList Cells(int alarmType, const TMV_NET_LOGIN_EXCEPTION_ALARM_INFO &info);
QStringList Cells(int alarmType, const TMV_NET_SD_EXCEPTION_ALARM_INFO &info);

} // namespace AlarmText

#endif // ALARMTEXT_H
