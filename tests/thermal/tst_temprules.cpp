// The temperature page's pure conversions, as tables without a window.
#include <QtTest>

#include <cstring>

#include "thermal/TempRuleText.h"

using namespace TempRuleText;

class TestTempRules : public QObject
{
    Q_OBJECT

private slots:
    void tieredThresholds_data();
    void tieredThresholds();
    void switchMapping_data();
    void switchMapping();
    void switchReadBack_data();
    void switchReadBack();
    void ruleListText_data();
    void ruleListText();
    void ruleTypeOfText_data();
    void ruleTypeOfText();
    void pointRuleAlarmRule_data();
    void pointRuleAlarmRule();
    void clampCount_data();
    void clampCount();
    void presetText_data();
    void presetText();
    void presetNameStaysInsideItsField();
};

namespace {

// Low 10 (5, 0, -5), high 50 (60, 70, 80), delay 3: a valid setting that each
// row below changes in one place.
TieredTexts Valid()
{
    TieredTexts t;
    t.lowTemp = "10";
    t.lowLevel1 = "5";
    t.lowLevel2 = "0";
    t.lowLevel3 = "-5";
    t.highTemp = "50";
    t.highLevel1 = "60";
    t.highLevel2 = "70";
    t.highLevel3 = "80";
    t.delay = "3";
    return t;
}

} // namespace

Q_DECLARE_METATYPE(TieredTexts)

void TestTempRules::tieredThresholds_data()
{
    QTest::addColumn<TieredTexts>("texts");
    QTest::addColumn<bool>("valid");

    auto with = [](void (*change)(TieredTexts &)) {
        TieredTexts t = Valid();
        change(t);
        return t;
    };
    QTest::newRow("ordered") << Valid() << true;
    QTest::newRow("high level 1 equals high") << with([](TieredTexts &t) { t.highLevel1 = "50"; }) << true;
    QTest::newRow("low level 1 equals low") << with([](TieredTexts &t) { t.lowLevel1 = "10"; }) << true;
    QTest::newRow("decimals") << with([](TieredTexts &t) { t.highTemp = "50.5"; t.highLevel1 = "50.5"; }) << true;
    QTest::newRow("low equals high") << with([](TieredTexts &t) { t.lowTemp = "50"; }) << false;
    QTest::newRow("low above high") << with([](TieredTexts &t) { t.lowTemp = "55"; }) << false;
    QTest::newRow("high levels 1 = 2") << with([](TieredTexts &t) { t.highLevel2 = "60"; }) << false;
    QTest::newRow("high levels 2 = 3") << with([](TieredTexts &t) { t.highLevel3 = "70"; }) << false;
    QTest::newRow("high levels reversed") << with([](TieredTexts &t) { t.highLevel1 = "80"; t.highLevel3 = "60"; })
                                          << false;
    QTest::newRow("high level 1 below high") << with([](TieredTexts &t) { t.highLevel1 = "45"; }) << false;
    QTest::newRow("low levels 1 = 2") << with([](TieredTexts &t) { t.lowLevel2 = "5"; }) << false;
    QTest::newRow("low levels 2 = 3") << with([](TieredTexts &t) { t.lowLevel3 = "0"; }) << false;
    QTest::newRow("low level 1 above low") << with([](TieredTexts &t) { t.lowLevel1 = "12"; }) << false;
    QTest::newRow("low levels reversed") << with([](TieredTexts &t) { t.lowLevel1 = "-5"; t.lowLevel3 = "5"; })
                                         << false;
    QTest::newRow("empty delay") << with([](TieredTexts &t) { t.delay.clear(); }) << false;
    QTest::newRow("empty high level 3") << with([](TieredTexts &t) { t.highLevel3.clear(); }) << false;
    QTest::newRow("empty low") << with([](TieredTexts &t) { t.lowTemp.clear(); }) << false;
    // Text that does not convert counts as 0, and 0 breaks the order here.
    QTest::newRow("text as high") << with([](TieredTexts &t) { t.highTemp = "hot"; }) << false;
    QTest::newRow("all zero") << TieredTexts{"0", "0", "0", "0", "0", "0", "0", "0", "0"} << false;
}

void TestTempRules::tieredThresholds()
{
    QFETCH(TieredTexts, texts);
    QFETCH(bool, valid);
    QCOMPARE(TieredThresholdsValid(texts), valid);
}

void TestTempRules::switchMapping_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("alarmSwitch");

    QTest::newRow("High Temp") << 0 << 1;
    QTest::newRow("Low Temp") << 1 << 2;
    QTest::newRow("High&Low Temp") << 2 << 3;
    QTest::newRow("Off") << 3 << 0;
}

void TestTempRules::switchMapping()
{
    QFETCH(int, position);
    QFETCH(int, alarmSwitch);
    QCOMPARE(SwitchOfPosition(position), alarmSwitch);
    QCOMPARE(PositionOfSwitch(alarmSwitch), position);
}

void TestTempRules::switchReadBack_data()
{
    QTest::addColumn<int>("alarmSwitch");
    QTest::addColumn<int>("position");

    QTest::newRow("4 reads Off") << 4 << 3;
    QTest::newRow("-1 reads Off") << -1 << 3;
    QTest::newRow("large reads Off") << 1000 << 3;
}

void TestTempRules::switchReadBack()
{
    QFETCH(int, alarmSwitch);
    QFETCH(int, position);
    QCOMPARE(PositionOfSwitch(alarmSwitch), position);
}

void TestTempRules::ruleListText_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("text");

    QTest::newRow("point") << 0 << 1 << "P1";
    QTest::newRow("line") << 1 << 2 << "L2";
    QTest::newRow("area") << 2 << 3 << "R3";
    QTest::newRow("circle") << 3 << 14 << "R14";
    QTest::newRow("polygon") << 4 << 0 << "R0";
    QTest::newRow("type 7") << 7 << 5 << "";
    QTest::newRow("type 5") << 5 << 5 << "";
    QTest::newRow("type -1") << -1 << 5 << "";
}

void TestTempRules::ruleListText()
{
    QFETCH(int, type);
    QFETCH(int, id);
    QFETCH(QString, text);
    QCOMPARE(RuleListText(type, id), text);
}

void TestTempRules::ruleTypeOfText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("type");

    QTest::newRow("P") << "P3" << 0;
    QTest::newRow("L") << "L12" << 1;
    QTest::newRow("R") << "R2" << 2;
    QTest::newRow("empty") << "" << 2;
}

void TestTempRules::ruleTypeOfText()
{
    QFETCH(QString, text);
    QFETCH(int, type);
    QCOMPARE(RuleTypeOfText(text), type);
}

void TestTempRules::pointRuleAlarmRule_data()
{
    QTest::addColumn<int>("ruleType");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<int>("sent");

    QTest::newRow("point, None") << 0 << 0 << 0;
    QTest::newRow("point, Avg Less Than") << 0 << 2 << 2;
    QTest::newRow("point, High Greater Than") << 0 << 3 << 2;
    QTest::newRow("point, Low Less Than") << 0 << 6 << 2;
    QTest::newRow("line, Low Less Than") << 1 << 6 << 6;
    QTest::newRow("area, High Greater Than") << 2 << 3 << 3;
}

void TestTempRules::pointRuleAlarmRule()
{
    QFETCH(int, ruleType);
    QFETCH(int, chosen);
    QFETCH(int, sent);
    QCOMPARE(PointRuleAlarmRule(ruleType, chosen), sent);
}

void TestTempRules::clampCount_data()
{
    QTest::addColumn<int>("returned");
    QTest::addColumn<int>("capacity");
    QTest::addColumn<int>("used");

    QTest::newRow("as asked") << 3 << 3 << 3;
    QTest::newRow("fewer") << 1 << 3 << 1;
    QTest::newRow("over-reported") << 7 << 3 << 3;
    QTest::newRow("over-reported, no room") << 4 << 0 << 0;
    QTest::newRow("negative") << -2 << 3 << 0;
    QTest::newRow("negative capacity") << 2 << -1 << 0;
}

void TestTempRules::clampCount()
{
    QFETCH(int, returned);
    QFETCH(int, capacity);
    QFETCH(int, used);
    QCOMPARE(ClampCount(returned, capacity), used);
}

void TestTempRules::presetText_data()
{
    QTest::addColumn<int>("enable");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("text");

    QTest::newRow("stored") << 1 << 5 << "5*";
    QTest::newRow("empty") << 0 << 6 << "6";
    QTest::newRow("enable 2") << 2 << 7 << "7";
    QTest::newRow("enable 255") << 255 << 8 << "8";
}

void TestTempRules::presetText()
{
    QFETCH(int, enable);
    QFETCH(int, id);
    QFETCH(QString, text);
    TMV_NET_PRESET_INFO preset;
    std::memset(&preset, 0, sizeof preset);
    preset.enable = uint8_t(enable);
    preset.id = id;
    QCOMPARE(PresetText(preset), text);
}

void TestTempRules::presetNameStaysInsideItsField()
{
    // The record is followed by bytes a reader that looks for a NUL would
    // run into.
    struct
    {
        TMV_NET_PRESET_INFO preset;
        char after[16];
    } memory;
    std::memset(&memory, 'z', sizeof memory);
    std::memset(memory.preset.name, 'x', sizeof memory.preset.name);
    QCOMPARE(PresetName(memory.preset), QByteArray(int(sizeof memory.preset.name), 'x'));

    std::strcpy(memory.preset.name, "gate");
    QCOMPARE(PresetName(memory.preset), QByteArray("gate"));
}

QTEST_APPLESS_MAIN(TestTempRules)
#include "tst_temprules.moc"
