// The argument rules every entry point of the device library honours, tried
// on a sample of entry points from each family: handles, null records,
// capacities, unterminated text fields, and out records left alone on
// failure.

#include "SimFixture.h"

#include <QtTest>

#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace {

using Call = std::function<int32_t(TMV_NET_HANDLE)>;
// A list query: `withArray` false passes a null array.
using ListCall = std::function<int32_t(TMV_NET_HANDLE, int32_t capacity, bool withArray, int32_t *count)>;
// A query that fills `out` (of the row's size).
using OutCall = std::function<int32_t(TMV_NET_HANDLE, void *out)>;

// An address no login ever hands out.
TMV_NET_HANDLE unknownHandle()
{
    return reinterpret_cast<TMV_NET_HANDLE>(static_cast<uintptr_t>(0x5eed));
}

template <typename T>
std::vector<T> arrayOf(int32_t capacity)
{
    return std::vector<T>(static_cast<size_t>(capacity > 0 ? capacity : 1));
}

template <typename T>
int32_t listQuery(int32_t capacity, bool withArray, const std::function<int32_t(T *)> &query)
{
    std::vector<T> array = arrayOf<T>(capacity);
    return query(withArray ? array.data() : nullptr);
}

void fill(char *field, size_t size)
{
    std::memset(field, 'A', size);
}

void tempFrameCallback(TMV_NET_HANDLE, const TMV_NET_TEMP_FRAME *, int32_t, void *) {}
void alarmCallback(TMV_NET_HANDLE, int32_t, const void *, void *) {}

}  // namespace

Q_DECLARE_METATYPE(Call)
Q_DECLARE_METATYPE(ListCall)
Q_DECLARE_METATYPE(OutCall)

class TestContract : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(TMV_NET_Init(), 0); }
    void init()
    {
        SimFixture::reset();
        m_handle = SimFixture::login();
        QVERIFY(m_handle);
    }
    void cleanupTestCase() { TMV_NET_Deinit(); }

    void handleRules_data();
    void handleRules();
    void nullRecordGivesWrongParam_data();
    void nullRecordGivesWrongParam();
    void capacityRules_data();
    void capacityRules();
    void unterminatedTextGivesWrongParam_data();
    void unterminatedTextGivesWrongParam();
    void textFillingItsFieldIsAccepted();
    void failureWritesNothing_data();
    void failureWritesNothing();
    void startDownloadFailureIsNeverAnId_data();
    void startDownloadFailureIsNeverAnId();

private:
    TMV_NET_HANDLE m_handle = nullptr;
};

// Calls with valid arguments: only the handle decides.
void TestContract::handleRules_data()
{
    QTest::addColumn<Call>("call");
    QTest::newRow("GetDevInfo") << Call([](TMV_NET_HANDLE h) {
        TMV_NET_DEV_INFO info{};
        return TMV_NET_GetDevInfo(h, &info);
    });
    QTest::newRow("QueryFrameTemp") << Call([](TMV_NET_HANDLE h) {
        TMV_NET_TEMP_INFO info{};
        return TMV_NET_QueryFrameTemp(h, &info);
    });
    QTest::newRow("AddTempRule") << Call([](TMV_NET_HANDLE h) {
        TMV_NET_TEMP_RULE rule{};
        rule.enable = 1;
        rule.ruleType = 0;
        rule.points[0] = {4095, 4095};
        rule.pointCount = 1;
        return TMV_NET_AddTempRule(h, &rule);
    });
    QTest::newRow("QueryTempRuleSize") << Call([](TMV_NET_HANDLE h) {
        TMV_NET_TEMP_RULE_KEY key{0, 0, -1, -1};
        int32_t count = 0;
        return TMV_NET_QueryTempRuleSize(h, &key, &count);
    });
    QTest::newRow("StartPullTemp_V2") << Call([](TMV_NET_HANDLE h) {
        return TMV_NET_StartPullTemp_V2(h, tempFrameCallback, nullptr);
    });
    QTest::newRow("SubscribeAlarm_V2") << Call([](TMV_NET_HANDLE h) {
        return TMV_NET_SubscribeAlarm_V2(h, 1, alarmCallback, nullptr);
    });
    QTest::newRow("PtzControl") << Call([](TMV_NET_HANDLE h) {
        TMV_NET_PTZ_CONTROL control{};
        control.command = 15;  // light on
        return TMV_NET_PtzControl(h, &control);
    });
    QTest::newRow("PtzPresetControl") << Call([](TMV_NET_HANDLE h) {
        TMV_NET_PRESET_INFO preset{};
        preset.enable = 1;
        preset.id = 1;
        // Store: a move to a preset never stored is refused by a real head.
        return TMV_NET_PtzPresetControl(h, 0, &preset);
    });
    QTest::newRow("SetEnvParam") << Call([](TMV_NET_HANDLE h) {
        TMV_NET_ENV_PARAM env{20.0f, 10.0f, 0.95f, 20.0f, 1.0f};
        return TMV_NET_SetEnvParam(h, &env);
    });
    QTest::newRow("GetOSDTimeTitleInfo") << Call([](TMV_NET_HANDLE h) {
        TMV_NET_OSD_TIME_TITLE_INFO info{};
        return TMV_NET_GetOSDTimeTitleInfo(h, 0, &info);
    });
    QTest::newRow("GetDayNightModeParam") << Call([](TMV_NET_HANDLE h) {
        TMV_NET_DAY_NIGHT_MODE_PARAM param{};
        return TMV_NET_GetDayNightModeParam(h, &param);
    });
    QTest::newRow("QueryFileSize") << Call([](TMV_NET_HANDLE h) {
        TMV_NET_FILE_QUERY query{};
        query.fileType = 1;
        qstrncpy(query.startTime, "2000-01-01+00:00:00", sizeof query.startTime);
        qstrncpy(query.endTime, "2099-12-31+23:59:59", sizeof query.endTime);
        query.pageSize = 50;
        int32_t count = 0;
        return TMV_NET_QueryFileSize(h, &query, &count);
    });
    QTest::newRow("StopDownloadFile") << Call([](TMV_NET_HANDLE h) { return TMV_NET_StopDownloadFile(h, 0); });
}

void TestContract::handleRules()
{
    QFETCH(Call, call);

    const int32_t valid = call(m_handle);
    QVERIFY2(valid == 0 || valid == 2, qPrintable(QString::number(valid)));

    QCOMPARE(call(nullptr), 1);
    QCOMPARE(call(unknownHandle()), 1);

    // A handle that was logged out is as unknown as one never handed out.
    TMV_NET_HANDLE stale = SimFixture::login();
    QVERIFY(stale);
    QCOMPARE(TMV_NET_Logout(stale), 0);
    QCOMPARE(call(stale), 1);
}

void TestContract::nullRecordGivesWrongParam_data()
{
    QTest::addColumn<Call>("call");
    QTest::newRow("GetDevInfo out") << Call([](TMV_NET_HANDLE h) { return TMV_NET_GetDevInfo(h, nullptr); });
    QTest::newRow("QueryFrameTemp out")
        << Call([](TMV_NET_HANDLE h) { return TMV_NET_QueryFrameTemp(h, nullptr); });
    QTest::newRow("UpdateFrameTempAlarmConfig in")
        << Call([](TMV_NET_HANDLE h) { return TMV_NET_UpdateFrameTempAlarmConfig(h, nullptr); });
    QTest::newRow("QueryRandomTemp point") << Call([](TMV_NET_HANDLE h) {
        float temp = 0;
        return TMV_NET_QueryRandomTemp(h, nullptr, &temp);
    });
    QTest::newRow("QueryRandomTemp temp") << Call([](TMV_NET_HANDLE h) {
        TMV_NET_POINT point{100, 100};
        return TMV_NET_QueryRandomTemp(h, &point, nullptr);
    });
    QTest::newRow("QueryTempRule key") << Call([](TMV_NET_HANDLE h) {
        TMV_NET_TEMP_RULE rule{};
        int32_t count = 0;
        return TMV_NET_QueryTempRule(h, nullptr, &rule, 1, &count);
    });
    QTest::newRow("QueryTempRuleSize count") << Call([](TMV_NET_HANDLE h) {
        TMV_NET_TEMP_RULE_KEY key{0, 0, -1, -1};
        return TMV_NET_QueryTempRuleSize(h, &key, nullptr);
    });
    QTest::newRow("AddTempMask in") << Call([](TMV_NET_HANDLE h) { return TMV_NET_AddTempMask(h, nullptr); });
    QTest::newRow("StartPullTemp_V2 callback")
        << Call([](TMV_NET_HANDLE h) { return TMV_NET_StartPullTemp_V2(h, nullptr, nullptr); });
    QTest::newRow("SubscribeAlarm callback")
        << Call([](TMV_NET_HANDLE h) { return TMV_NET_SubscribeAlarm(h, nullptr, nullptr); });
    QTest::newRow("PtzControl in") << Call([](TMV_NET_HANDLE h) { return TMV_NET_PtzControl(h, nullptr); });
    QTest::newRow("PtzPresetControl in")
        << Call([](TMV_NET_HANDLE h) { return TMV_NET_PtzPresetControl(h, 2, nullptr); });
    QTest::newRow("PtzTourControl in")
        << Call([](TMV_NET_HANDLE h) { return TMV_NET_PtzTourControl(h, 1, nullptr); });
    QTest::newRow("SetGunBallTrackConfigInfo in")
        << Call([](TMV_NET_HANDLE h) { return TMV_NET_SetGunBallTrackConfigInfo(h, nullptr); });
    QTest::newRow("GetEnvParam out") << Call([](TMV_NET_HANDLE h) { return TMV_NET_GetEnvParam(h, nullptr); });
    QTest::newRow("SetIpConfig in") << Call([](TMV_NET_HANDLE h) { return TMV_NET_SetIpConfig(h, nullptr); });
    QTest::newRow("SyncSystemTime null")
        << Call([](TMV_NET_HANDLE h) { return TMV_NET_SyncSystemTime(h, nullptr); });
    QTest::newRow("SyncSystemTime empty") << Call([](TMV_NET_HANDLE h) { return TMV_NET_SyncSystemTime(h, ""); });
    QTest::newRow("TransparentData no bytes") << Call([](TMV_NET_HANDLE h) {
        uint8_t byte = 1, reply[256] = {};
        int32_t length = 0;
        return TMV_NET_TransparentData(h, &byte, 0, reply, sizeof reply, &length, 2000);
    });
    QTest::newRow("TransparentData null bytes") << Call([](TMV_NET_HANDLE h) {
        uint8_t reply[256] = {};
        int32_t length = 0;
        return TMV_NET_TransparentData(h, nullptr, 4, reply, sizeof reply, &length, 2000);
    });
    QTest::newRow("GetDayNightModeParam out")
        << Call([](TMV_NET_HANDLE h) { return TMV_NET_GetDayNightModeParam(h, nullptr); });
    QTest::newRow("SetLogoPicture path")
        << Call([](TMV_NET_HANDLE h) { return TMV_NET_SetLogoPicture(h, 0, nullptr); });
    QTest::newRow("QueryFileSize query") << Call([](TMV_NET_HANDLE h) {
        int32_t count = 0;
        return TMV_NET_QueryFileSize(h, nullptr, &count);
    });
    QTest::newRow("GetDownloadProgress out")
        << Call([](TMV_NET_HANDLE h) { return TMV_NET_GetDownloadProgress(h, 0, nullptr); });
}

void TestContract::nullRecordGivesWrongParam()
{
    QFETCH(Call, call);
    QCOMPARE(call(m_handle), 3);
    // The handle is judged first.
    QCOMPARE(call(nullptr), 1);
}

void TestContract::capacityRules_data()
{
    QTest::addColumn<ListCall>("call");
    const TMV_NET_TEMP_RULE_KEY ruleKey{0, 0, -1, -1};
    QTest::newRow("QueryTempRule") << ListCall([=](TMV_NET_HANDLE h, int32_t cap, bool withArray, int32_t *n) {
        return listQuery<TMV_NET_TEMP_RULE>(cap, withArray, [&](TMV_NET_TEMP_RULE *a) {
            return TMV_NET_QueryTempRule(h, &ruleKey, a, cap, n);
        });
    });
    QTest::newRow("QueryRuleTemp") << ListCall([=](TMV_NET_HANDLE h, int32_t cap, bool withArray, int32_t *n) {
        return listQuery<TMV_NET_RULE_TEMP>(cap, withArray, [&](TMV_NET_RULE_TEMP *a) {
            return TMV_NET_QueryRuleTemp(h, &ruleKey, a, cap, n);
        });
    });
    QTest::newRow("QueryTempRule_G1") << ListCall([=](TMV_NET_HANDLE h, int32_t cap, bool withArray, int32_t *n) {
        return listQuery<TMV_NET_TEMP_RULE_G1>(cap, withArray, [&](TMV_NET_TEMP_RULE_G1 *a) {
            return TMV_NET_QueryTempRule_G1(h, &ruleKey, a, cap, n);
        });
    });
    QTest::newRow("QueryTempMask") << ListCall([](TMV_NET_HANDLE h, int32_t cap, bool withArray, int32_t *n) {
        const TMV_NET_TEMP_MASK_KEY key{0, -1};
        return listQuery<TMV_NET_TEMP_MASK>(cap, withArray, [&](TMV_NET_TEMP_MASK *a) {
            return TMV_NET_QueryTempMask(h, &key, a, cap, n);
        });
    });
    QTest::newRow("QueryPtzPreset") << ListCall([](TMV_NET_HANDLE h, int32_t cap, bool withArray, int32_t *n) {
        return listQuery<TMV_NET_PRESET_INFO>(cap, withArray, [&](TMV_NET_PRESET_INFO *a) {
            return TMV_NET_QueryPtzPreset(h, a, cap, n);
        });
    });
    QTest::newRow("QueryPtzTour") << ListCall([](TMV_NET_HANDLE h, int32_t cap, bool withArray, int32_t *n) {
        return listQuery<TMV_NET_TOUR_INFO>(cap, withArray, [&](TMV_NET_TOUR_INFO *a) {
            return TMV_NET_QueryPtzTour(h, 1, a, cap, n);
        });
    });
    QTest::newRow("QueryPtzPattern") << ListCall([](TMV_NET_HANDLE h, int32_t cap, bool withArray, int32_t *n) {
        return listQuery<TMV_NET_PATTERN_INFO>(cap, withArray, [&](TMV_NET_PATTERN_INFO *a) {
            return TMV_NET_QueryPtzPattern(h, a, cap, n);
        });
    });
    QTest::newRow("QueryPtzRegionScanInfo")
        << ListCall([](TMV_NET_HANDLE h, int32_t cap, bool withArray, int32_t *n) {
               return listQuery<TMV_NET_REGION_SCAN_INFO>(cap, withArray, [&](TMV_NET_REGION_SCAN_INFO *a) {
                   return TMV_NET_QueryPtzRegionScanInfo(h, a, cap, n);
               });
           });
    QTest::newRow("QueryFile") << ListCall([](TMV_NET_HANDLE h, int32_t cap, bool withArray, int32_t *n) {
        TMV_NET_FILE_QUERY query{};
        query.fileType = 1;
        qstrncpy(query.startTime, "2000-01-01+00:00:00", sizeof query.startTime);
        qstrncpy(query.endTime, "2099-12-31+23:59:59", sizeof query.endTime);
        query.pageSize = 50;
        return listQuery<TMV_NET_FILE_INFO>(cap, withArray, [&](TMV_NET_FILE_INFO *a) {
            return TMV_NET_QueryFile(h, &query, a, cap, n);
        });
    });
    QTest::newRow("TransparentData reply")
        << ListCall([](TMV_NET_HANDLE h, int32_t cap, bool withArray, int32_t *n) {
               const uint8_t bytes[] = {0x01, 0x03};
               TMV_NET_SetTransparentState(h, 1);  // a closed port answers nothing
               return listQuery<uint8_t>(cap, withArray, [&](uint8_t *a) {
                   return TMV_NET_TransparentData(h, bytes, sizeof bytes, a, cap, n, 100);
               });
           });
}

void TestContract::capacityRules()
{
    QFETCH(ListCall, call);
    const int32_t untouched = 0x7a7a7a7a;

    int32_t count = untouched;
    QCOMPARE(call(m_handle, -1, true, &count), 3);
    QCOMPARE(count, untouched);

    count = untouched;
    QCOMPARE(call(m_handle, 1, false, &count), 3);
    QCOMPARE(count, untouched);

    // Capacity 0 asks for nothing, so a null array is fine.
    count = untouched;
    const int32_t empty = call(m_handle, 0, false, &count);
    QVERIFY2(empty == 0 || empty == 2, qPrintable(QString::number(empty)));
    if (empty == 0)
        QCOMPARE(count, 0);
    else
        QCOMPARE(count, untouched);

    QCOMPARE(call(m_handle, 4, true, nullptr), 3);
}

// Every byte of the field is text, none is a NUL: the library must not read
// past the field looking for one.
void TestContract::unterminatedTextGivesWrongParam_data()
{
    QTest::addColumn<Call>("call");
    QTest::addColumn<int>("expected");
    QTest::newRow("TEMP_RULE.name") << Call([](TMV_NET_HANDLE h) {
        TMV_NET_TEMP_RULE rule{};
        rule.enable = 1;
        rule.pointCount = 1;
        fill(rule.name, sizeof rule.name);
        return TMV_NET_AddTempRule(h, &rule);
    }) << 3;
    QTest::newRow("TEMP_RULE.name update") << Call([](TMV_NET_HANDLE h) {
        TMV_NET_TEMP_RULE rule{};
        fill(rule.name, sizeof rule.name);
        return TMV_NET_UpdateTempRule(h, &rule);
    }) << 3;
    QTest::newRow("TEMP_MASK.name") << Call([](TMV_NET_HANDLE h) {
        TMV_NET_TEMP_MASK mask{};
        fill(mask.name, sizeof mask.name);
        return TMV_NET_AddTempMask(h, &mask);
    }) << 3;
    QTest::newRow("PRESET_INFO.name") << Call([](TMV_NET_HANDLE h) {
        TMV_NET_PRESET_INFO preset{};
        preset.id = 1;
        fill(preset.name, sizeof preset.name);
        return TMV_NET_PtzPresetControl(h, 1, &preset);
    }) << 3;
    QTest::newRow("TOUR_INFO.name") << Call([](TMV_NET_HANDLE h) {
        auto tour = std::make_unique<TMV_NET_TOUR_INFO>();
        fill(tour->name, sizeof tour->name);
        return TMV_NET_PtzTourControl(h, 0, tour.get());
    }) << 3;
    QTest::newRow("TOUR_INFO stop name") << Call([](TMV_NET_HANDLE h) {
        auto tour = std::make_unique<TMV_NET_TOUR_INFO>();
        tour->count = 2;
        fill(tour->points[1].preset.name, sizeof tour->points[1].preset.name);
        return TMV_NET_PtzTourControl(h, 0, tour.get());
    }) << 3;
    QTest::newRow("TOUR_INFO count beyond its stops") << Call([](TMV_NET_HANDLE h) {
        auto tour = std::make_unique<TMV_NET_TOUR_INFO>();
        tour->count = TMV_NET_MAX_TOUR_POINTS + 1;
        return TMV_NET_PtzTourControl(h, 0, tour.get());
    }) << 3;
    QTest::newRow("GUN_BALL.ip") << Call([](TMV_NET_HANDLE h) {
        TMV_NET_GUN_BALL_TRACK_CONFIG_INFO config{};
        fill(config.ip, sizeof config.ip);
        return TMV_NET_SetGunBallTrackConfigInfo(h, &config);
    }) << 3;
    QTest::newRow("GUN_BALL.password") << Call([](TMV_NET_HANDLE h) {
        TMV_NET_GUN_BALL_TRACK_CONFIG_INFO config{};
        fill(config.password, sizeof config.password);
        return TMV_NET_SetGunBallTrackConfigInfo(h, &config);
    }) << 3;
    QTest::newRow("OSD_CHANNEL_TITLE.title") << Call([](TMV_NET_HANDLE h) {
        TMV_NET_OSD_CHANNEL_TITLE_INFO info{};
        fill(info.title, sizeof info.title);
        return TMV_NET_SetOSDChannelTitleInfo(h, 0, &info);
    }) << 3;
    QTest::newRow("IP_CONFIG.mac") << Call([](TMV_NET_HANDLE h) {
        TMV_NET_IP_CONFIG config{};
        fill(config.mac, sizeof config.mac);
        return TMV_NET_SetIpConfig(h, &config);
    }) << 3;
    QTest::newRow("FILE_QUERY.endTime") << Call([](TMV_NET_HANDLE h) {
        TMV_NET_FILE_QUERY query{};
        qstrncpy(query.startTime, "2000-01-01+00:00:00", sizeof query.startTime);
        fill(query.endTime, sizeof query.endTime);
        int32_t count = 0;
        return TMV_NET_QueryFileSize(h, &query, &count);
    }) << 3;
    QTest::newRow("FILE_DOWNLOAD_INFO.localPath") << Call([](TMV_NET_HANDLE h) {
        TMV_NET_FILE_DOWNLOAD_INFO info{};
        qstrncpy(info.fileInfo.filePath, "/sd/video/a.mp4", sizeof info.fileInfo.filePath);
        fill(info.localPath, sizeof info.localPath);
        return TMV_NET_StartDownloadFile(h, &info);
    }) << -3;
}

void TestContract::unterminatedTextGivesWrongParam()
{
    if (QByteArray(QTest::currentDataTag()).startsWith("FILE_DOWNLOAD_INFO"))
        SIM_REQUIRE_DOWNLOADS();
    QFETCH(Call, call);
    QFETCH(int, expected);
    QCOMPARE(call(m_handle), expected);
}

// The longest text that fits leaves its NUL in the last byte of the field.
void TestContract::textFillingItsFieldIsAccepted()
{
    TMV_NET_GUN_BALL_TRACK_CONFIG_INFO config{};
    fill(config.userName, sizeof config.userName - 1);
    fill(config.password, sizeof config.password - 1);
    qstrncpy(config.ip, "192.168.100.200", sizeof config.ip);
    QCOMPARE(std::strlen(config.ip), sizeof config.ip - 1);
    config.port = 80;
    config.keepAlive = 5;
    const int32_t status = TMV_NET_SetGunBallTrackConfigInfo(m_handle, &config);
    QVERIFY2(status == 0 || status == 2, qPrintable(QString::number(status)));
}

void TestContract::failureWritesNothing_data()
{
    QTest::addColumn<QByteArray>("function");
    QTest::addColumn<int>("size");
    QTest::addColumn<OutCall>("call");
    auto row = [](const char *function, int size, OutCall call) {
        QTest::newRow(function) << QByteArray(function) << size << call;
    };
    row("TMV_NET_GetDevInfo", sizeof(TMV_NET_DEV_INFO), [](TMV_NET_HANDLE h, void *out) {
        return TMV_NET_GetDevInfo(h, static_cast<TMV_NET_DEV_INFO *>(out));
    });
    row("TMV_NET_GetDevAbility", sizeof(TMV_NET_DEV_ABILITY), [](TMV_NET_HANDLE h, void *out) {
        return TMV_NET_GetDevAbility(h, 0, 0, static_cast<TMV_NET_DEV_ABILITY *>(out));
    });
    row("TMV_NET_GetPtzAuxState", sizeof(TMV_NET_PTZ_AUX_STATE), [](TMV_NET_HANDLE h, void *out) {
        return TMV_NET_GetPtzAuxState(h, static_cast<TMV_NET_PTZ_AUX_STATE *>(out));
    });
    row("TMV_NET_QueryFrameTemp", sizeof(TMV_NET_TEMP_INFO), [](TMV_NET_HANDLE h, void *out) {
        return TMV_NET_QueryFrameTemp(h, static_cast<TMV_NET_TEMP_INFO *>(out));
    });
    row("TMV_NET_QueryFrameTempAlarmConfig_G1", sizeof(TMV_NET_TEMP_ALARM_G1), [](TMV_NET_HANDLE h, void *out) {
        return TMV_NET_QueryFrameTempAlarmConfig_G1(h, static_cast<TMV_NET_TEMP_ALARM_G1 *>(out));
    });
    row("TMV_NET_QueryPtzPresetSize", sizeof(int32_t), [](TMV_NET_HANDLE h, void *out) {
        return TMV_NET_QueryPtzPresetSize(h, static_cast<int32_t *>(out));
    });
    row("TMV_NET_GetCurrentPtz_V1", sizeof(TMV_NET_CURRENT_PTZ_INFO), [](TMV_NET_HANDLE h, void *out) {
        return TMV_NET_GetCurrentPtz_V1(h, static_cast<TMV_NET_CURRENT_PTZ_INFO *>(out));
    });
    row("TMV_NET_GetThermalImageEnhanceInfo", sizeof(TMV_NET_THERMAL_IMAGE_ENHANCE_INFO),
        [](TMV_NET_HANDLE h, void *out) {
            return TMV_NET_GetThermalImageEnhanceInfo(h, static_cast<TMV_NET_THERMAL_IMAGE_ENHANCE_INFO *>(out));
        });
    row("TMV_NET_GetIpConfig", sizeof(TMV_NET_IP_CONFIG), [](TMV_NET_HANDLE h, void *out) {
        return TMV_NET_GetIpConfig(h, static_cast<TMV_NET_IP_CONFIG *>(out));
    });
    row("TMV_NET_GetFillLightConfigInfo", sizeof(TMV_NET_FILL_LIGHT_CONFIG_INFO), [](TMV_NET_HANDLE h, void *out) {
        return TMV_NET_GetFillLightConfigInfo(h, static_cast<TMV_NET_FILL_LIGHT_CONFIG_INFO *>(out));
    });
    row("TMV_NET_GetTargetRecognitionConfig", sizeof(TMV_NET_TARGET_RECOGNITION_CONFIG),
        [](TMV_NET_HANDLE h, void *out) {
            return TMV_NET_GetTargetRecognitionConfig(h, 0, static_cast<TMV_NET_TARGET_RECOGNITION_CONFIG *>(out));
        });
    row("TMV_NET_GetDownloadProgress", sizeof(TMV_NET_DOWNLOAD_PROGRESS), [](TMV_NET_HANDLE h, void *out) {
        return TMV_NET_GetDownloadProgress(h, 0, static_cast<TMV_NET_DOWNLOAD_PROGRESS *>(out));
    });
}

void TestContract::failureWritesNothing()
{
    QFETCH(QByteArray, function);
    QFETCH(int, size);
    QFETCH(OutCall, call);

    const QByteArray pattern(size, char(0xa5));
    QByteArray out = pattern;

    QCOMPARE(call(nullptr, out.data()), 1);
    QCOMPARE(out, pattern);
    QCOMPARE(call(unknownHandle(), out.data()), 1);
    QCOMPARE(out, pattern);

    // A device that fails the call on a valid login.
    TMVSim_FailCall(function.constData(), 1, 1);
    QCOMPARE(call(m_handle, out.data()), 1);
    QCOMPARE(out, pattern);

    // Not built yet is a failure too.
    const int32_t status = call(m_handle, out.data());
    if (status != 0)
        QCOMPARE(out, pattern);
}

// The answer is a download id when it is 0 or more, so no failure may be.
void TestContract::startDownloadFailureIsNeverAnId_data()
{
    QTest::addColumn<bool>("validHandle");
    QTest::addColumn<bool>("withRecord");
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("expected");
    QTest::newRow("null handle") << false << true << 0 << -1;
    QTest::newRow("null record") << true << false << 0 << -3;
    QTest::newRow("device fails") << true << true << 1 << -1;
    QTest::newRow("device refuses the parameter") << true << true << 3 << -3;
}

void TestContract::startDownloadFailureIsNeverAnId()
{
    SIM_REQUIRE_DOWNLOADS();
    QFETCH(bool, validHandle);
    QFETCH(bool, withRecord);
    QFETCH(int, fault);
    QFETCH(int, expected);

    TMV_NET_FILE_DOWNLOAD_INFO info{};
    qstrncpy(info.fileInfo.filePath, "/sd/video/a.mp4", sizeof info.fileInfo.filePath);
    qstrncpy(info.localPath, "a.mp4", sizeof info.localPath);
    if (fault)
        TMVSim_FailCall("TMV_NET_StartDownloadFile", fault, 1);
    QCOMPARE(TMV_NET_StartDownloadFile(validHandle ? m_handle : nullptr, withRecord ? &info : nullptr), expected);
}

QTEST_GUILESS_MAIN(TestContract)
#include "tst_contract.moc"
