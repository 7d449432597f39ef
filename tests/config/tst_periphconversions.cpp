// The peripheral and target-recognition pages' conversions as tables: the
// day/night visibility rule and schedule times, combo items for device
// values, and the recognition record's bytes both ways.
#include <QtTest>

#include <cstdint>
#include <cstring>
#include <limits>

#include "config/PeripheralText.h"
#include "config/RecognitionRecord.h"

namespace {

// A record image written by offset, independent of the record's field names.
class Bytes
{
public:
    explicit Bytes(int size) : m_bytes(size, '\0') {}
    template <class T>
    Bytes &put(int offset, T value)
    {
        std::memcpy(m_bytes.data() + offset, &value, sizeof value);
        return *this;
    }
    QByteArray bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

QByteArray BytesOf(const TMV_NET_TARGET_RECOGNITION_CONFIG &record)
{
    return QByteArray(reinterpret_cast<const char *>(&record), int(sizeof record));
}

// What every set writes whatever the form holds.
Bytes RecognitionBase()
{
    return Bytes(80).put<int32_t>(44, 1).put<int32_t>(48, 1);
}

} // namespace

Q_DECLARE_METATYPE(RecognitionForm)

class TestPeriphConversions : public QObject
{
    Q_OBJECT

private slots:
    void dayNightControls_data();
    void dayNightControls();
    void deviceSecondsToTime_data();
    void deviceSecondsToTime();
    void timeToSeconds_data();
    void timeToSeconds();
    void autoManualMode_data();
    void autoManualMode();
    void itemIndex_data();
    void itemIndex();

    void recognitionRecordBytes_data();
    void recognitionRecordBytes();
    void recognitionFormFromRecord_data();
    void recognitionFormFromRecord();
    void recognitionFormEveryField();
};

void TestPeriphConversions::dayNightControls_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("sensitivity");
    QTest::addColumn<bool>("schedule");
    QTest::newRow("Auto") << 0 << true << false;
    QTest::newRow("Day") << 1 << false << false;
    QTest::newRow("Night") << 2 << false << false;
    QTest::newRow("Time") << 3 << false << true;
    QTest::newRow("no item") << -1 << false << false;
}

void TestPeriphConversions::dayNightControls()
{
    QFETCH(int, index);
    const DayNightControls shown = DayNightControlsFor(index);
    QFETCH(bool, sensitivity);
    QFETCH(bool, schedule);
    QCOMPARE(shown.sensitivity, sensitivity);
    QCOMPARE(shown.schedule, schedule);
}

void TestPeriphConversions::deviceSecondsToTime_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("time");
    QTest::newRow("midnight") << 0 << "00:00:00";
    QTest::newRow("08:00") << 28800 << "08:00:00";
    QTest::newRow("20:00") << 20 * 3600 << "20:00:00";
    QTest::newRow("06:30:15") << 6 * 3600 + 30 * 60 + 15 << "06:30:15";
    QTest::newRow("last second") << 86399 << "23:59:59";
    QTest::newRow("negative") << -1 << "00:00:00";
    QTest::newRow("least int32") << std::numeric_limits<int32_t>::min() << "00:00:00";
    // No time edit shows a time past the day's end.
    QTest::newRow("a whole day") << 86400 << "23:59:59";
    QTest::newRow("largest int32") << std::numeric_limits<int32_t>::max() << "23:59:59";
}

void TestPeriphConversions::deviceSecondsToTime()
{
    QFETCH(int, seconds);
    QFETCH(QString, time);
    const QTime shown = DayNightTime(seconds);
    QVERIFY(shown.isValid());
    QCOMPARE(shown.toString(QStringLiteral("HH:mm:ss")), time);
}

void TestPeriphConversions::timeToSeconds_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<int>("seconds");
    QTest::newRow("midnight") << QTime(0, 0, 0) << 0;
    QTest::newRow("06:30:15") << QTime(6, 30, 15) << 6 * 3600 + 30 * 60 + 15;
    QTest::newRow("last second") << QTime(23, 59, 59) << 86399;
    QTest::newRow("milliseconds dropped") << QTime(1, 0, 0, 999) << 3600;
    QTest::newRow("invalid") << QTime() << 0;
}

void TestPeriphConversions::timeToSeconds()
{
    QFETCH(QTime, time);
    QFETCH(int, seconds);
    QCOMPARE(DayNightSeconds(time), seconds);
    if (time.isValid() && time.msec() == 0)
        QCOMPARE(DayNightTime(seconds), time);
}

void TestPeriphConversions::autoManualMode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("mode");
    QTest::newRow("Auto") << "Auto" << 0;
    QTest::newRow("Manual") << "Manual" << 1;
    QTest::newRow("no current item") << "" << -1;
    QTest::newRow("other case") << "auto" << -1;
}

void TestPeriphConversions::autoManualMode()
{
    QFETCH(QString, text);
    QFETCH(int, mode);
    QCOMPARE(AutoManualMode(text, QStringLiteral("Auto"), QStringLiteral("Manual")), mode);
}

void TestPeriphConversions::itemIndex_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("index");
    QTest::newRow("first") << qint64(0) << 2 << 0;
    QTest::newRow("last") << qint64(1) << 2 << 1;
    QTest::newRow("one past") << qint64(2) << 2 << -1;
    QTest::newRow("negative") << qint64(-1) << 4 << -1;
    QTest::newRow("least int32") << qint64(std::numeric_limits<int32_t>::min()) << 4 << -1;
    QTest::newRow("empty list") << qint64(0) << 0 << -1;
    QTest::newRow("wraps to a row as int") << (qint64(1) << 32) << 4 << -1;
}

void TestPeriphConversions::itemIndex()
{
    QFETCH(qint64, value);
    QFETCH(int, count);
    QFETCH(int, index);
    QCOMPARE(PeripheralItemIndex(value, count), index);
}

// ---- Recognition record ----------------------------------------------------------

void TestPeriphConversions::recognitionRecordBytes_data()
{
    QTest::addColumn<RecognitionForm>("form");
    QTest::addColumn<QByteArray>("bytes");

    RecognitionForm form;
    QTest::newRow("start form") << form << RecognitionBase().put<int32_t>(56, 1).bytes();

    form.enable = true;
    form.targetType = 8;
    form.sensitivity = QStringLiteral("55");
    form.snap = form.snapCh1 = form.snapCh2 = true;
    form.snapDelay = QStringLiteral("30");
    form.record = form.recordCh1 = form.recordCh2 = true;
    form.recordDelay = QStringLiteral("-7");
    form.track = true;
    form.trackTime = QStringLiteral("120");
    form.lostTime = QStringLiteral("15");
    form.mode = 1;
    form.lrf = true;
    QTest::newRow("everything on, Bird, FOV")
        << form
        << RecognitionBase()
               .put<uint8_t>(0, 1)
               .put<int32_t>(4, 55)
               .put<uint8_t>(8, 1).put<uint8_t>(9, 1).put<uint8_t>(10, 1)
               .put<int64_t>(16, 30)
               .put<uint8_t>(24, 1).put<uint8_t>(25, 1).put<uint8_t>(26, 1)
               .put<int64_t>(32, -7)
               .put<uint8_t>(40, 1)
               .put<int32_t>(52, 120)
               .put<int32_t>(56, 2)
               .put<int32_t>(64, 15)
               .put<uint8_t>(68, 1)
               .put<int32_t>(72, 8)
               .bytes();

    RecognitionForm channels;
    channels.snapCh1 = channels.recordCh1 = true;
    channels.mode = 2;
    QTest::newRow("CH1 only, Auto")
        << channels << RecognitionBase().put<uint8_t>(9, 1).put<uint8_t>(25, 1).put<int32_t>(56, 3).bytes();

    RecognitionForm delays;
    delays.snapDelay = QStringLiteral("2147483648");
    delays.recordDelay = QStringLiteral("2147483647");
    QTest::newRow("delay past int32 gives 0")
        << delays << RecognitionBase().put<int64_t>(32, 2147483647).put<int32_t>(56, 1).bytes();

    RecognitionForm texts;
    texts.sensitivity = QStringLiteral("5x");
    texts.trackTime = QStringLiteral("0x10");
    texts.lostTime = QStringLiteral("-2147483649");
    texts.snapDelay = QStringLiteral("-2147483648");
    QTest::newRow("text that does not parse gives 0")
        << texts << RecognitionBase().put<int64_t>(16, -2147483648LL).put<int32_t>(56, 1).bytes();

    RecognitionForm noItems;
    noItems.targetType = -1;
    noItems.mode = -1;
    QTest::newRow("combo boxes without an item") << noItems << RecognitionBase().put<int32_t>(72, -1).bytes();
}

void TestPeriphConversions::recognitionRecordBytes()
{
    QFETCH(RecognitionForm, form);
    QFETCH(QByteArray, bytes);
    QCOMPARE(BytesOf(RecognitionRecordFromForm(form)).toHex(' '), bytes.toHex(' '));
}

void TestPeriphConversions::recognitionFormFromRecord_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("targetType");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("snapDelay");
    QTest::addColumn<QString>("recordDelay");

    QTest::newRow("Auto, Bird")
        << RecognitionBase().put<int32_t>(56, 3).put<int32_t>(72, 8).bytes() << 8 << 2 << "0" << "0";
    QTest::newRow("mode 0 has no item") << RecognitionBase().bytes() << 0 << -1 << "0" << "0";
    QTest::newRow("mode 4 has no item") << RecognitionBase().put<int32_t>(56, 4).bytes() << 0 << -1 << "0" << "0";
    QTest::newRow("least int32 mode")
        << RecognitionBase().put<int32_t>(56, std::numeric_limits<int32_t>::min()).bytes() << 0 << -1 << "0" << "0";
    QTest::newRow("type 9 has no item")
        << RecognitionBase().put<int32_t>(56, 1).put<int32_t>(72, 9).bytes() << -1 << 0 << "0" << "0";
    QTest::newRow("negative type")
        << RecognitionBase().put<int32_t>(56, 1).put<int32_t>(72, -1).bytes() << -1 << 0 << "0" << "0";
    QTest::newRow("64-bit delays")
        << RecognitionBase().put<int32_t>(56, 1).put<int64_t>(16, 3000000000LL).put<int64_t>(32, -5).bytes() << 0
        << 0 << "3000000000" << "-5";
}

void TestPeriphConversions::recognitionFormFromRecord()
{
    QFETCH(QByteArray, bytes);
    TMV_NET_TARGET_RECOGNITION_CONFIG record;
    QCOMPARE(size_t(bytes.size()), sizeof record);
    std::memcpy(&record, bytes.constData(), sizeof record);

    const RecognitionForm form = RecognitionFormFromRecord(record, 9, 3);
    QFETCH(int, targetType);
    QFETCH(int, mode);
    QFETCH(QString, snapDelay);
    QFETCH(QString, recordDelay);
    QCOMPARE(form.targetType, targetType);
    QCOMPARE(form.mode, mode);
    QCOMPARE(form.snapDelay, snapDelay);
    QCOMPARE(form.recordDelay, recordDelay);
}

// Each field read from its own offset: distinct values everywhere.
void TestPeriphConversions::recognitionFormEveryField()
{
    const QByteArray bytes = Bytes(80)
                                 .put<uint8_t>(0, 1)
                                 .put<int32_t>(4, -3)
                                 .put<uint8_t>(8, 1).put<uint8_t>(10, 1)
                                 .put<int64_t>(16, 11)
                                 .put<uint8_t>(25, 2)
                                 .put<int64_t>(32, 12)
                                 .put<uint8_t>(40, 1)
                                 .put<int32_t>(44, 99).put<int32_t>(48, 98)
                                 .put<int32_t>(52, 13)
                                 .put<int32_t>(56, 2)
                                 .put<int32_t>(60, 97)
                                 .put<int32_t>(64, 14)
                                 .put<uint8_t>(68, 1)
                                 .put<int32_t>(72, 5)
                                 .put<int32_t>(76, 96)
                                 .bytes();
    TMV_NET_TARGET_RECOGNITION_CONFIG record;
    std::memcpy(&record, bytes.constData(), sizeof record);

    const RecognitionForm form = RecognitionFormFromRecord(record, 9, 3);
    QVERIFY(form.enable);
    QCOMPARE(form.targetType, 5);
    QCOMPARE(form.sensitivity, QStringLiteral("-3"));
    QVERIFY(form.snap);
    QVERIFY(!form.snapCh1);
    QVERIFY(form.snapCh2);
    QCOMPARE(form.snapDelay, QStringLiteral("11"));
    QVERIFY(!form.record);
    QVERIFY(form.recordCh1);
    QVERIFY(!form.recordCh2);
    QCOMPARE(form.recordDelay, QStringLiteral("12"));
    QVERIFY(form.track);
    QCOMPARE(form.trackTime, QStringLiteral("13"));
    QCOMPARE(form.lostTime, QStringLiteral("14"));
    QCOMPARE(form.mode, 1);
    QVERIFY(form.lrf);

    // Sent back, the page's fields keep their values, while the bytes the
    // page does not own are zero and the track parameters 1.
    const QByteArray sent = RecognitionBase()
                                .put<uint8_t>(0, 1)
                                .put<int32_t>(4, -3)
                                .put<uint8_t>(8, 1).put<uint8_t>(10, 1)
                                .put<int64_t>(16, 11)
                                .put<uint8_t>(25, 1)
                                .put<int64_t>(32, 12)
                                .put<uint8_t>(40, 1)
                                .put<int32_t>(52, 13)
                                .put<int32_t>(56, 2)
                                .put<int32_t>(64, 14)
                                .put<uint8_t>(68, 1)
                                .put<int32_t>(72, 5)
                                .bytes();
    QCOMPARE(BytesOf(RecognitionRecordFromForm(form)).toHex(' '), sent.toHex(' '));
}

QTEST_APPLESS_MAIN(TestPeriphConversions)
#include "tst_periphconversions.moc"
