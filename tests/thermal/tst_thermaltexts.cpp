// Pure texts and files of the temperature page: the alarm-list cells and the
// data-frame file formats, as tables of cases.
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <limits>
#include <vector>

#include "thermal/AlarmText.h"
#include "thermal/DataFrameFile.h"
#include "common/ListQuery.h"

namespace {

TMV_NET_TEMP_INFO Temps(float avg, float max, float min)
{
    TMV_NET_TEMP_INFO temp;
    std::memset(&temp, 0, sizeof temp);
    temp.avgTemp = avg;
    temp.maxTemp = max;
    temp.minTemp = min;
    return temp;
}

// The 2 x 2 frame of the description: 0001, FFFE, 012C, FFFF.
const uint16_t kFrame[] = {0x0001, 0xFFFE, 0x012C, 0xFFFF};

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class TestThermalTexts : public QObject
{
    Q_OBJECT

private slots:
    // Alarm list cells.
    void headers();
    void typeAndStateNames_data();
    void typeAndStateNames();
    void regionText_data();
    void regionText();
    void tempText_data();
    void tempText();
    void diffThreshold_data();
    void diffThreshold();
    void dateIsUtc_data();
    void dateIsUtc();
    void tempAlarmRegionName_data();
    void tempAlarmRegionName();
    void namesStopAtTheirField();

    // Data frame files.
    void frameFile_data();
    void frameFile();
    void textCoversEveryValue();
    void brokenFramesAreRefused_data();
    void brokenFramesAreRefused();
    void uncreatableFileFails();

    // Device lists.
    void listSizeIsBounded_data();
    void listSizeIsBounded();
};

void TestThermalTexts::headers()
{
    QCOMPARE(AlarmText::Headers(), (QStringList{"Channel", "Alarm Type", "Alarm Threshold", "Region ID",
                                                "Region Name", "Alarm Temp", "Alram State", "Datetime"}));
}

void TestThermalTexts::typeAndStateNames_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("state");
    QTest::newRow("0") << 0 << "" << "Single Alarm";
    QTest::newRow("1") << 1 << "Avg Greater Than" << "Start Alarm";
    QTest::newRow("2") << 2 << "Avg Less Than" << "End Alarm";
    QTest::newRow("3") << 3 << "High Greater Than" << "";
    QTest::newRow("6") << 6 << "Low Less Than" << "";
    QTest::newRow("7") << 7 << "" << "";
    QTest::newRow("-1") << -1 << "" << "";
    QTest::newRow("10001 (named by its rule)") << 10001 << "" << "";
    QTest::newRow("10003") << 10003 << "Temp Rise" << "";
    QTest::newRow("70001") << 70001 << "SD Exception" << "";
    QTest::newRow("12345") << 12345 << "" << "";
}

void TestThermalTexts::typeAndStateNames()
{
    QFETCH(int, value);
    QFETCH(QString, type);
    QFETCH(QString, state);
    QCOMPARE(AlarmText::TypeName(value), type);
    QCOMPARE(AlarmText::StateName(value), state);
}

void TestThermalTexts::regionText_data()
{
    QTest::addColumn<int>("ruleType");
    QTest::addColumn<QString>("text");
    QTest::newRow("point") << 0 << "P4";
    QTest::newRow("line") << 1 << "L4";
    QTest::newRow("area") << 2 << "R4";
    QTest::newRow("circle") << 3 << "R4";
    QTest::newRow("polygon") << 4 << "R4";
    QTest::newRow("unknown") << 5 << "";
    QTest::newRow("negative") << -1 << "";
}

void TestThermalTexts::regionText()
{
    QFETCH(int, ruleType);
    QFETCH(QString, text);
    QCOMPARE(AlarmText::RegionText(ruleType, 4), text);
}

void TestThermalTexts::tempText_data()
{
    QTest::addColumn<int>("alarmRule");
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("text");
    // avg 20.125, max 41.5, min -3
    QTest::newRow("avg greater, C") << 1 << 0 << "20.13C";
    QTest::newRow("avg less, F") << 2 << 1 << "20.13F";
    QTest::newRow("high greater, C") << 3 << 0 << "41.50C";
    QTest::newRow("high less, K") << 4 << 2 << "41.50K";
    QTest::newRow("low greater") << 5 << 0 << "-3.00C";
    QTest::newRow("low less, unknown unit") << 6 << 3 << "-3.00";
    QTest::newRow("rule 0: unit only") << 0 << 0 << "C";
    QTest::newRow("rule 7, unit -1: empty") << 7 << -1 << "";
}

void TestThermalTexts::tempText()
{
    QFETCH(int, alarmRule);
    QFETCH(int, unit);
    QFETCH(QString, text);
    QCOMPARE(AlarmText::TempText(alarmRule, Temps(20.125f, 41.5f, -3.0f), unit), text);
}

void TestThermalTexts::diffThreshold_data()
{
    QTest::addColumn<float>("threshold");
    QTest::addColumn<QString>("text");
    QTest::newRow("0.05") << 0.05f << "";
    QTest::newRow("0.1") << 0.1f << "0.1";
    QTest::newRow("0") << 0.0f << "";
    QTest::newRow("negative") << -5.0f << "";
    QTest::newRow("12.5") << 12.5f << "12.5";
    QTest::newRow("six digits") << 1234567.0f << "1.23457e+06";
}

void TestThermalTexts::diffThreshold()
{
    QFETCH(float, threshold);
    QFETCH(QString, text);
    QCOMPARE(AlarmText::DiffThresholdText(threshold), text);
}

void TestThermalTexts::dateIsUtc_data()
{
    QTest::addColumn<qint64>("time");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << qint64(0) << "1970-01-01 00:00:00";
    QTest::newRow("one day and a second") << qint64(86401) << "1970-01-02 00:00:01";
    QTest::newRow("2024-02-29 23:59:59") << qint64(1709251199) << "2024-02-29 23:59:59";
}

void TestThermalTexts::dateIsUtc()
{
    QFETCH(qint64, time);
    QFETCH(QString, text);
    // Whatever zone the machine runs in.
    qputenv("TZ", "Asia/Tokyo");
    QCOMPARE(AlarmText::DateText(time), text);
    qunsetenv("TZ");
}

void TestThermalTexts::tempAlarmRegionName_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<int>("ruleType");
    QTest::addColumn<QString>("regionName");
    QTest::newRow("Frame, circle") << QByteArray("Frame") << 3 << "Frame";
    QTest::newRow("Frame, unknown type") << QByteArray("Frame") << 9 << "Frame";
    QTest::newRow("named circle") << QByteArray("tank") << 3 << "R4";
    QTest::newRow("point") << QByteArray("") << 0 << "P4";
    QTest::newRow("frame in lower case") << QByteArray("frame") << 1 << "L4";
}

void TestThermalTexts::tempAlarmRegionName()
{
    QFETCH(QByteArray, name);
    QFETCH(int, ruleType);
    QFETCH(QString, regionName);
    TMV_NET_TEMP_ALARM_INFO info;
    std::memset(&info, 0, sizeof info);
    std::strcpy(info.name, name.constData());
    info.ruleType = ruleType;
    info.ruleId = 4;
    QCOMPARE(AlarmText::Cells(10001, info).value(4), regionName);
}

void TestThermalTexts::namesStopAtTheirField()
{
    TMV_NET_FIRE_ALARM_INFO info;
    std::memset(&info, 0, sizeof info);
    std::memset(info.name, 'x', sizeof info.name);  // no NUL in the field
    info.regionId = 7;
    QCOMPARE(AlarmText::Cells(10002, info).value(4), QString(256, QLatin1Char('x')));
    QCOMPARE(AlarmText::Cells(10002, info).value(3), QStringLiteral("7"));
}

void TestThermalTexts::frameFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray text("1, -2, 300, -1, ");
    QTest::newRow(".dat: binary") << "frame.dat" << QByteArray::fromHex("0100FEFF2C01FFFF");
    QTest::newRow(".txt: text") << "frame.txt" << text;
    QTest::newRow(".DAT: text") << "frame.DAT" << text;
    QTest::newRow("no suffix: text") << "frame" << text;
    QTest::newRow(".dat.txt: text") << "frame.dat.txt" << text;
    QTest::newRow("dat without dot: text") << "framedat" << text;
}

void TestThermalTexts::frameFile()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QVERIFY(DataFrameFile::Write(path, kFrame, 2, 2));
    QCOMPARE(ReadAll(path), bytes);

    // An existing longer file is truncated.
    QFile longer(path);
    QVERIFY(longer.open(QIODevice::WriteOnly));
    longer.write(QByteArray(100, 'z'));
    longer.close();
    QVERIFY(DataFrameFile::Write(path, kFrame, 2, 2));
    QCOMPARE(ReadAll(path), bytes);
}

void TestThermalTexts::textCoversEveryValue()
{
    std::vector<uint16_t> values(65536);
    QByteArray expected;
    for (int i = 0; i < 65536; ++i) {
        values[size_t(i)] = uint16_t(i);
        expected += QByteArray::number(int(int16_t(uint16_t(i)))) + ", ";
    }
    QCOMPARE(QByteArray::fromStdString(DataFrameFile::Text(values.data(), values.size())), expected);
}

void TestThermalTexts::brokenFramesAreRefused_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("withData");
    QTest::addColumn<bool>("written");
    QTest::newRow("negative width") << -2 << 2 << true << false;
    QTest::newRow("null data") << 2 << 2 << false << false;
    QTest::newRow("oversized") << 65536 << 65536 << true << false;
    QTest::newRow("empty frame: empty file") << 0 << 5 << false << true;
}

void TestThermalTexts::brokenFramesAreRefused()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(bool, withData);
    QFETCH(bool, written);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("frame.txt"));
    QCOMPARE(DataFrameFile::Write(path, withData ? kFrame : nullptr, width, height), written);
    QCOMPARE(QFile::exists(path), written);
    if (written)
        QCOMPARE(ReadAll(path), QByteArray());
}

void TestThermalTexts::uncreatableFileFails()
{
    QTemporaryDir dir;
    QVERIFY(!DataFrameFile::Write(dir.filePath(QStringLiteral("missing/frame.dat")), kFrame, 2, 2));
    QVERIFY(!DataFrameFile::Write(dir.filePath(QStringLiteral("missing/frame.txt")), kFrame, 2, 2));
}

// A size answer far beyond any real device's sizes the array only up to
// the bound; the list call is told that capacity and its count is clamped to
// it.
void TestThermalTexts::listSizeIsBounded_data()
{
    QTest::addColumn<int>("claimed");
    QTest::addColumn<int>("capacity");
    QTest::newRow("real list") << 16 << 16;
    QTest::newRow("negative") << -5 << 0;
    QTest::newRow("beyond the bound") << std::numeric_limits<int32_t>::max()
                                      << int(std::max<size_t>(256, kMaxListBytes / sizeof(TMV_NET_TOUR_INFO)));
}

void TestThermalTexts::listSizeIsBounded()
{
    QFETCH(int, claimed);
    QFETCH(int, capacity);
    std::vector<TMV_NET_TOUR_INFO> tours;
    int32_t given = -1;
    const bool ok = QueryList<TMV_NET_TOUR_INFO>(
        [&](int32_t *count) {
            *count = claimed;
            return 0;
        },
        QStringLiteral("size"),
        [&](TMV_NET_TOUR_INFO *, int32_t cap, int32_t *returned) {
            given = cap;
            *returned = claimed;
            return 0;
        },
        QStringLiteral("list"), tours);
    QVERIFY(ok);
    QCOMPARE(given, capacity);
    QCOMPARE(int(tours.size()), capacity);
}

QTEST_GUILESS_MAIN(TestThermalTexts)
#include "tst_thermaltexts.moc"
