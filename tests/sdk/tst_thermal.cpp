// The temperature family through the C API: readings of the live picture,
// the rule limit, the tiered model of the panoramic camera, the measurement
// switch, list queries that must never write past the caller's array, and
// the frame alarm settings.

#include "SimFixture.h"

#include <QtTest>
#include <cstring>
#include <functional>
#include <vector>

namespace {

using Reading = std::function<int32_t(TMV_NET_HANDLE)>;
// Adds `n` records for a list query to find, then runs the query into
// `array` (records of `size` bytes).
struct ListCase {
    std::function<void(TMV_NET_HANDLE, int n)> fill;
    std::function<int32_t(TMV_NET_HANDLE, void *array, int32_t capacity, int32_t *count)> query;
    size_t size;
};

}  // namespace

Q_DECLARE_METATYPE(Reading)
Q_DECLARE_METATYPE(ListCase)

namespace {

TMV_NET_TEMP_RULE areaRule(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t preset = 0)
{
    TMV_NET_TEMP_RULE rule;
    std::memset(&rule, 0, sizeof rule);
    rule.enable = 1;
    rule.presetId = preset;
    rule.ruleType = 2;
    rule.points[0] = {x0, y0};
    rule.points[1] = {x1, y0};
    rule.points[2] = {x1, y1};
    rule.points[3] = {x0, y1};
    rule.pointCount = 4;
    return rule;
}

int32_t clampPicture(int32_t v)
{
    return qBound(0, v, 8191);
}

}  // namespace

class TestThermal : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(TMV_NET_Init(), 0); }
    void init()
    {
        SimFixture::reset();
        SimFixture::pauseClock();
        m_handle = SimFixture::login();
        QVERIFY(m_handle);
    }
    void cleanup() { SimFixture::resumeClock(); }

    void ruleOverTheHottestPointReadsIt();
    void ruleLimit();
    void rulesOfAnotherPresetAreNotMeasured();
    void panoramicCameraKeepsTieredRules();
    void switchOffFailsReadings_data();
    void switchOffFailsReadings();
    void listsNeverWritePastTheArray_data();
    void listsNeverWritePastTheArray();
    void frameAlarmSettingsReturnAsSet();

private:
    TMV_NET_HANDLE m_handle = nullptr;
};

void TestThermal::ruleOverTheHottestPointReadsIt()
{
    TMV_NET_TEMP_INFO frame{};
    QCOMPARE(TMV_NET_QueryFrameTemp(m_handle, &frame), 0);
    QVERIFY2(frame.maxTemp > 60.0f && frame.minTemp < 10.0f,
             qPrintable(QStringLiteral("%1 / %2").arg(frame.maxTemp).arg(frame.minTemp)));

    const TMV_NET_TEMP_RULE rule = areaRule(clampPicture(frame.maxX - 400), clampPicture(frame.maxY - 400),
                                            clampPicture(frame.maxX + 400), clampPicture(frame.maxY + 400));
    QCOMPARE(TMV_NET_AddTempRule(m_handle, &rule), 0);

    const TMV_NET_TEMP_RULE_KEY key{0, 0, -1, -1};
    TMV_NET_RULE_TEMP temp{};
    int32_t count = 0;
    QCOMPARE(TMV_NET_QueryRuleTemp(m_handle, &key, &temp, 1, &count), 0);
    QCOMPARE(count, 1);
    QVERIFY(qAbs(temp.temp.maxTemp - frame.maxTemp) <= 0.5f);
    QVERIFY(temp.temp.minTemp <= temp.temp.avgTemp && temp.temp.avgTemp <= temp.temp.maxTemp);

    // The point the rule reports as hottest reads the same on its own.
    const TMV_NET_POINT at{temp.temp.maxX, temp.temp.maxY};
    float point = 0;
    QCOMPARE(TMV_NET_QueryRandomTemp(m_handle, &at, &point), 0);
    QCOMPARE(point, temp.temp.maxTemp);

    const TMV_NET_POINT outside{8192, 0};
    QCOMPARE(TMV_NET_QueryRandomTemp(m_handle, &outside, &point), 3);
}

void TestThermal::ruleLimit()
{
    const TMV_NET_TEMP_RULE rule = areaRule(100, 100, 900, 900);
    int added = 0;
    int32_t status = 0;
    while ((status = TMV_NET_AddTempRule(m_handle, &rule)) == 0 && added < 100)
        ++added;
    QCOMPARE(status, 1101);
    QVERIFY(added >= 1 && added < 100);

    TMV_NET_TEMP_RULE_KEY key{0, 0, -1, -1};
    int32_t count = 0;
    QCOMPARE(TMV_NET_QueryTempRuleSize(m_handle, &key, &count), 0);
    QCOMPARE(count, added);

    // Another preset has room of its own.
    const TMV_NET_TEMP_RULE other = areaRule(100, 100, 900, 900, 1);
    QCOMPARE(TMV_NET_AddTempRule(m_handle, &other), 0);
}

// The head stands at no preset: the frame's rules are measured, a preset's
// are kept but cannot be, as the picture does not show what they were drawn on.
void TestThermal::rulesOfAnotherPresetAreNotMeasured()
{
    const TMV_NET_TEMP_RULE frameRule = areaRule(100, 100, 900, 900, 0);
    const TMV_NET_TEMP_RULE presetRule = areaRule(100, 100, 900, 900, 1);
    QCOMPARE(TMV_NET_AddTempRule(m_handle, &frameRule), 0);
    QCOMPARE(TMV_NET_AddTempRule(m_handle, &presetRule), 0);

    TMV_NET_TEMP_RULE_KEY key{0, 1, -1, -1};
    TMV_NET_TEMP_RULE stored{};
    int32_t count = 0;
    QCOMPARE(TMV_NET_QueryTempRule(m_handle, &key, &stored, 1, &count), 0);
    QCOMPARE(count, 1);
    QCOMPARE(stored.presetId, 1);

    TMV_NET_RULE_TEMP temps[2]{};
    QCOMPARE(TMV_NET_QueryRuleTemp(m_handle, &key, temps, 2, &count), 0);
    QCOMPARE(count, 0);
    key.ruleId = stored.ruleId;
    QCOMPARE(TMV_NET_QueryRuleTemp(m_handle, &key, temps, 2, &count), 1);
    key.ruleId = stored.ruleId + 100;
    QCOMPARE(TMV_NET_QueryRuleTemp(m_handle, &key, temps, 2, &count), 3);

    key = {0, 0, -1, -1};
    QCOMPARE(TMV_NET_QueryRuleTemp(m_handle, &key, temps, 2, &count), 0);
    QCOMPARE(count, 1);
    QCOMPARE(temps[0].presetId, 0);
}

void TestThermal::panoramicCameraKeepsTieredRules()
{
    TMV_NET_HANDLE pano = SimFixture::login(SimFixture::kPanoramicCamera);
    QVERIFY(pano);
    const TMV_NET_TEMP_RULE standard = areaRule(100, 100, 900, 900);
    QCOMPARE(TMV_NET_AddTempRule(pano, &standard), 2);

    for (int type : {0, 1, 2}) {
        TMV_NET_TEMP_RULE_G1 rule{};
        rule.ruleType = type;
        rule.startPoint = {1000 * (type + 1), 2000};
        rule.endPoint = {1000 * (type + 1) + 600, 3000};
        QCOMPARE(TMV_NET_AddTempRule_G1(pano, &rule), 0);
    }
    // As the client asks: the preset fields of the key left unset.
    TMV_NET_TEMP_RULE_KEY key{0x7a7a7a7a, 0x7a7a7a7a, -1, -1};
    int32_t count = 0;
    QCOMPARE(TMV_NET_QueryTempRuleSize(pano, &key, &count), 0);
    QCOMPARE(count, 3);
    TMV_NET_TEMP_RULE_G1 rules[3]{};
    QCOMPARE(TMV_NET_QueryTempRule_G1(pano, &key, rules, 3, &count), 0);
    QCOMPARE(count, 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(rules[i].ruleId, i);
        QCOMPARE(rules[i].ruleType, i);
    }

    // The client updates the second listed rule by its position, guessing
    // the type and leaving the points unset.
    TMV_NET_TEMP_RULE_G1 update;
    std::memset(&update, 0x5a, sizeof update);
    update.ruleId = 1;
    update.ruleType = 2;
    update.alarm.alarmSwitch = 3;
    update.alarm.highTemp = 55.0f;
    QCOMPARE(TMV_NET_UpdateTempRule_G1(pano, &update), 0);
    key = {0, 0, -1, 1};
    TMV_NET_TEMP_RULE_G1 one{};
    QCOMPARE(TMV_NET_QueryTempRule_G1(pano, &key, &one, 1, &count), 0);
    QCOMPARE(one.ruleType, 1);
    QCOMPARE(one.startPoint.x, 2000);
    QCOMPARE(one.alarm.highTemp, 55.0f);

    TMV_NET_RULE_TEMP temp{};
    QCOMPARE(TMV_NET_QueryRuleTemp(pano, &key, &temp, 1, &count), 0);
    QCOMPARE(temp.ruleId, 1);
    QVERIFY(temp.temp.maxX >= 2000 && temp.temp.maxX <= 2600);

    // Deleting the first moves the others up a position.
    key = {0, 0, -1, 0};
    QCOMPARE(TMV_NET_DeleteTempRule(pano, &key), 0);
    key = {0, 0, -1, -1};
    QCOMPARE(TMV_NET_QueryTempRule_G1(pano, &key, rules, 3, &count), 0);
    QCOMPARE(count, 2);
    QCOMPARE(rules[0].ruleId, 0);
    QCOMPARE(rules[0].alarm.highTemp, 55.0f);

    // The standard device knows no tiered rules, nor the other way round.
    TMV_NET_TEMP_RULE list[1];
    QCOMPARE(TMV_NET_QueryTempRule(pano, &key, list, 1, &count), 2);
    QCOMPARE(TMV_NET_AddTempRule_G1(m_handle, &rules[0]), 2);
}

// With measurement off the device keeps its rules but has no temperatures:
// every reading answers 1 (failed) and leaves the caller's record alone.
void TestThermal::switchOffFailsReadings_data()
{
    QTest::addColumn<Reading>("reading");
    QTest::newRow("QueryFrameTemp") << Reading([](TMV_NET_HANDLE h) {
        TMV_NET_TEMP_INFO info;
        std::memset(&info, 0x7a, sizeof info);
        const int32_t status = TMV_NET_QueryFrameTemp(h, &info);
        return status == 0 || info.maxX == 0x7a7a7a7a ? status : -1;
    });
    QTest::newRow("QueryRandomTemp") << Reading([](TMV_NET_HANDLE h) {
        const TMV_NET_POINT point{4095, 4095};
        float temp = -999.0f;
        const int32_t status = TMV_NET_QueryRandomTemp(h, &point, &temp);
        return status == 0 || temp == -999.0f ? status : -1;
    });
    QTest::newRow("QueryRuleTemp") << Reading([](TMV_NET_HANDLE h) {
        const TMV_NET_TEMP_RULE_KEY key{0, 0, -1, -1};
        TMV_NET_RULE_TEMP temp;
        std::memset(&temp, 0x7a, sizeof temp);
        int32_t count = 0x7a7a7a7a;
        const int32_t status = TMV_NET_QueryRuleTemp(h, &key, &temp, 1, &count);
        return status == 0 || (temp.ruleId == 0x7a7a7a7a && count == 0x7a7a7a7a) ? status : -1;
    });
}

void TestThermal::switchOffFailsReadings()
{
    QFETCH(Reading, reading);
    const TMV_NET_TEMP_RULE rule = areaRule(100, 100, 900, 900);
    QCOMPARE(TMV_NET_AddTempRule(m_handle, &rule), 0);

    int32_t enable = -1;
    QCOMPARE(TMV_NET_GetTempEnable(m_handle, &enable), 0);
    QCOMPARE(enable, 1);
    QCOMPARE(reading(m_handle), 0);

    QCOMPARE(TMV_NET_SetTempEnable(m_handle, 0), 0);
    QCOMPARE(TMV_NET_GetTempEnable(m_handle, &enable), 0);
    QCOMPARE(enable, 0);
    QCOMPARE(reading(m_handle), 1);
    // The rules stay.
    const TMV_NET_TEMP_RULE_KEY key{0, 0, -1, -1};
    int32_t count = 0;
    QCOMPARE(TMV_NET_QueryTempRuleSize(m_handle, &key, &count), 0);
    QCOMPARE(count, 1);

    QCOMPARE(TMV_NET_SetTempEnable(m_handle, 2), 3);
    QCOMPARE(TMV_NET_SetTempEnable(m_handle, 1), 0);
    QCOMPARE(reading(m_handle), 0);
}

void TestThermal::listsNeverWritePastTheArray_data()
{
    QTest::addColumn<ListCase>("list");
    QTest::addColumn<QByteArray>("function");
    const TMV_NET_TEMP_RULE_KEY all{0, 0, -1, -1};
    const auto addRules = [](TMV_NET_HANDLE h, int n) {
        for (int i = 0; i < n; ++i) {
            const TMV_NET_TEMP_RULE rule = areaRule(100 * i, 100, 100 * i + 500, 900);
            QCOMPARE(TMV_NET_AddTempRule(h, &rule), 0);
        }
    };
    QTest::newRow("QueryTempRule")
        << ListCase{addRules,
                    [=](TMV_NET_HANDLE h, void *a, int32_t cap, int32_t *n) {
                        return TMV_NET_QueryTempRule(h, &all, static_cast<TMV_NET_TEMP_RULE *>(a), cap, n);
                    },
                    sizeof(TMV_NET_TEMP_RULE)}
        << QByteArray("TMV_NET_QueryTempRule");
    QTest::newRow("QueryRuleTemp")
        << ListCase{addRules,
                    [=](TMV_NET_HANDLE h, void *a, int32_t cap, int32_t *n) {
                        return TMV_NET_QueryRuleTemp(h, &all, static_cast<TMV_NET_RULE_TEMP *>(a), cap, n);
                    },
                    sizeof(TMV_NET_RULE_TEMP)}
        << QByteArray("TMV_NET_QueryRuleTemp");
    QTest::newRow("QueryTempMask")
        << ListCase{[](TMV_NET_HANDLE h, int n) {
                        for (int i = 0; i < n; ++i) {
                            TMV_NET_TEMP_MASK mask{};
                            mask.enable = 1;
                            mask.points[0] = {-100, -100};
                            mask.points[2] = {400 * (i + 1), 400};
                            QCOMPARE(TMV_NET_AddTempMask(h, &mask), 0);
                        }
                    },
                    [](TMV_NET_HANDLE h, void *a, int32_t cap, int32_t *n) {
                        const TMV_NET_TEMP_MASK_KEY key{0, -1};
                        return TMV_NET_QueryTempMask(h, &key, static_cast<TMV_NET_TEMP_MASK *>(a), cap, n);
                    },
                    sizeof(TMV_NET_TEMP_MASK)}
        << QByteArray("TMV_NET_QueryTempMask");
}

void TestThermal::listsNeverWritePastTheArray()
{
    QFETCH(ListCase, list);
    QFETCH(QByteArray, function);
    list.fill(m_handle, 3);

    // Capacity 0 with no array: nothing to write, a count of 0.
    int32_t count = -1;
    QCOMPARE(list.query(m_handle, nullptr, 0, &count), 0);
    QCOMPARE(count, 0);

    // Room for two of three, then two guard records.
    QByteArray buffer(int(4 * list.size), '\x7a');
    QCOMPARE(list.query(m_handle, buffer.data(), 2, &count), 0);
    QCOMPARE(count, 2);
    QVERIFY(buffer.left(int(list.size)) != QByteArray(int(list.size), '\x7a'));
    QCOMPARE(buffer.mid(int(2 * list.size)), QByteArray(int(2 * list.size), '\x7a'));

    // A device that reports too many still writes only what fits.
    buffer.fill('\x7a');
    TMVSim_OverReportCount(function.constData(), 5);
    QCOMPARE(list.query(m_handle, buffer.data(), 2, &count), 0);
    QCOMPARE(count, 7);
    QCOMPARE(buffer.mid(int(2 * list.size)), QByteArray(int(2 * list.size), '\x7a'));
}

void TestThermal::frameAlarmSettingsReturnAsSet()
{
    TMV_NET_FRAME_TEMP_ALARM_CONFIG config{};
    config.enable = 1;
    config.conditions[0] = {3, 2, 80.5f, 1.5f};
    config.conditions[1] = {6, 2, -5.0f, 1.5f};
    config.snapLinkage.enable = 1;
    config.snapLinkage.channels[1] = 1;
    config.recordLinkage.delay = -3;
    QCOMPARE(TMV_NET_UpdateFrameTempAlarmConfig(m_handle, &config), 0);
    TMV_NET_FRAME_TEMP_ALARM_CONFIG back{};
    QCOMPARE(TMV_NET_QueryFrameTempAlarmConfig(m_handle, &back), 0);
    QCOMPARE(SimFixture::bytesOf(back), SimFixture::bytesOf(config));

    config.conditions[0].alarmRule = 7;
    QCOMPARE(TMV_NET_UpdateFrameTempAlarmConfig(m_handle, &config), 3);

    TMV_NET_TEMP_ALARM_G1 tiered{};
    tiered.alarmSwitch = 3;
    tiered.lowTemp = 10;
    tiered.lowEnable = 1;
    tiered.highTemp = 50;
    tiered.highLevels[0] = 60;
    tiered.highLevels[1] = 70;
    tiered.highLevels[2] = 80;
    tiered.delay = 4;
    QCOMPARE(TMV_NET_UpdateFrameTempAlarmConfig_G1(m_handle, &tiered), 0);
    TMV_NET_TEMP_ALARM_G1 tieredBack{};
    QCOMPARE(TMV_NET_QueryFrameTempAlarmConfig_G1(m_handle, &tieredBack), 0);
    QCOMPARE(SimFixture::bytesOf(tieredBack), SimFixture::bytesOf(tiered));
}

QTEST_GUILESS_MAIN(TestThermal)
#include "tst_thermal.moc"
