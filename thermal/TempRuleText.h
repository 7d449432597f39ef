#ifndef TEMPRULETEXT_H
#define TEMPRULETEXT_H

#include "common/CountClamp.h"
#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <cstring>

#include "TMVNetSDK.h"

// Pure conversions of the temperature page: list texts, the tiered threshold
// check and the G1 switch mapping. No widgets, so each is a table of cases.
namespace TempRuleText {

using ::ClampCount;

// The key of every rule of a preset position (0: the whole frame).
inline TMV_NET_TEMP_RULE_KEY AllRulesKey(int presetPosition)
{
    TMV_NET_TEMP_RULE_KEY key;
    std::memset(&key, 0, sizeof key);
    key.presetId = presetPosition;
    key.ruleType = -1;
    key.ruleId = -1;
    return key;
}

// "P", "L" or "R" followed by the id; empty for a type the lists do not show.
inline QString RuleListText(int ruleType, int ruleId)
{
    const char *letter = nullptr;
    switch (ruleType) {
    case 0:
        letter = QT_TRANSLATE_NOOP("TempAlarmPage", "P");
        break;
    case 1:
        letter = QT_TRANSLATE_NOOP("TempAlarmPage", "L");
        break;
    case 2:
    case 3:
    case 4:
        letter = QT_TRANSLATE_NOOP("TempAlarmPage", "R");
        break;
    default:
        return QString();
    }
    return QCoreApplication::translate("TempAlarmPage", letter) + QString::number(ruleId);
}

// The G1 update sends a rule type guessed from the list text alone.
inline int RuleTypeOfText(const QString &text)
{
    if (text.startsWith(QLatin1String("P")))
        return 0;
    if (text.startsWith(QLatin1String("L")))
        return 1;
    return 2;
}

// The point rule's device knows only the average: a rule above "Avg Less
// Than" is sent as that.
inline int PointRuleAlarmRule(int ruleType, int alarmRule)
{
    return ruleType == 0 && alarmRule > 2 ? 2 : alarmRule;
}

// The preset's id, with "*" when a position is stored there (enable 1 only).
inline QString PresetText(const TMV_NET_PRESET_INFO &preset)
{
    return QString::number(preset.id) + (preset.enable == 1 ? QStringLiteral("*") : QString());
}

// The name up to its NUL, and never past the field when the device left
// none in it.
inline QByteArray PresetName(const TMV_NET_PRESET_INFO &preset)
{
    const void *end = std::memchr(preset.name, '\0', sizeof preset.name);
    const int length = end ? int(static_cast<const char *>(end) - preset.name) : int(sizeof preset.name);
    return QByteArray(preset.name, length);
}

// Combo position of "High Temp", "Low Temp", "High&Low Temp", "Off" to the
// record's alarmSwitch, and back; an unknown value reads as "Off".
inline int SwitchOfPosition(int position)
{
    switch (position) {
    case 0:
        return 1;
    case 1:
        return 2;
    case 2:
        return 3;
    default:
        return 0;
    }
}

inline int PositionOfSwitch(int alarmSwitch)
{
    switch (alarmSwitch) {
    case 1:
        return 0;
    case 2:
        return 1;
    case 3:
        return 2;
    default:
        return 3;
    }
}

// The nine texts of a tiered threshold, as typed.
struct TieredTexts
{
    QString lowTemp, lowLevel1, lowLevel2, lowLevel3;
    QString highTemp, highLevel1, highLevel2, highLevel3;
    QString delay;
};

// Every text filled in and lowLevel3 < lowLevel2 < lowLevel1 <= lowTemp <
// highTemp <= highLevel1 < highLevel2 < highLevel3, whatever the switch.
inline bool TieredThresholdsValid(const TieredTexts &t)
{
    for (const QString *text : {&t.lowTemp, &t.lowLevel1, &t.lowLevel2, &t.lowLevel3, &t.highTemp, &t.highLevel1,
                                &t.highLevel2, &t.highLevel3, &t.delay}) {
        if (text->isEmpty())
            return false;
    }
    const float low3 = t.lowLevel3.toFloat(), low2 = t.lowLevel2.toFloat(), low1 = t.lowLevel1.toFloat();
    const float low = t.lowTemp.toFloat(), high = t.highTemp.toFloat();
    const float high1 = t.highLevel1.toFloat(), high2 = t.highLevel2.toFloat(), high3 = t.highLevel3.toFloat();
    return low3 < low2 && low2 < low1 && low1 <= low && low < high && high <= high1 && high1 < high2 && high2 < high3;
}

} // namespace TempRuleText

#endif // TEMPRULETEXT_H
