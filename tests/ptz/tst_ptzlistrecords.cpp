// The PTZ list tabs' pure conversions: list texts, name fields, the tour,
// boot, park and area-scan records, and the entry a refresh selects.
#include <QtTest>

#include <cstring>
#include <memory>

#include "ptz/PtzRecords.h"

using namespace PtzRecords;

Q_DECLARE_METATYPE(PtzRecords::Action)

namespace {

// A name of `bytes` UTF-8 bytes made of 'a' and then `tail`.
QString NameOf(int bytes, const QString &tail = QString())
{
    return QString(bytes - tail.toUtf8().size(), QLatin1Char('a')) + tail;
}

const QString kEuro = QString::fromUtf8("\xe2\x82\xac"); // 3 bytes in UTF-8

} // namespace

class TestPtzListRecords : public QObject
{
    Q_OBJECT

private slots:
    void listText_data();
    void listText();
    void fieldTextStopsAtTheField();
    void presetName_data();
    void presetName();
    void tour_data();
    void tour();
    void tourStopsBuiltInOrder();
    void shownStops_data();
    void shownStops();
    void bootRecord_data();
    void bootRecord();
    void parkRecord_data();
    void parkRecord();
    void refreshedNumber();
    void lastIndexOf_data();
    void lastIndexOf();
    void pickNumber_data();
    void pickNumber();
    void offeredAreaScans();
    void areaScanRecord();
};

void TestPtzListRecords::listText_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("enable");
    QTest::addColumn<QString>("text");

    QTest::newRow("stored") << 5 << 1 << "5*";
    QTest::newRow("empty") << 6 << 0 << "6";
    QTest::newRow("any nonzero enable") << 12 << 7 << "12*";
    QTest::newRow("negative id") << -1 << 0 << "-1";
}

void TestPtzListRecords::listText()
{
    QFETCH(int, id);
    QFETCH(int, enable);
    QFETCH(QString, text);
    QCOMPARE(ListText(id, uint8_t(enable)), text);
}

void TestPtzListRecords::fieldTextStopsAtTheField()
{
    TMV_NET_PRESET_INFO preset;
    std::memset(&preset, 'x', sizeof preset);
    // No NUL in the field: the text ends with it, not in the bytes after.
    QCOMPARE(FieldText(preset.name), QByteArray(256, 'x'));
    std::strcpy(preset.name, "gate");
    QCOMPARE(FieldText(preset.name), QByteArray("gate"));
}

void TestPtzListRecords::presetName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<QByteArray>("sent");

    QTest::newRow("short") << "gate" << true << QByteArray("gate");
    QTest::newRow("empty") << "" << true << QByteArray();
    QTest::newRow("255 bytes") << NameOf(255) << true << QByteArray(255, 'a');
    QTest::newRow("256 bytes, cut") << NameOf(256) << false << QByteArray(255, 'a');
    QTest::newRow("ends in a whole character") << NameOf(255, kEuro) << true << NameOf(255, kEuro).toUtf8();
    QTest::newRow("cut before a split character")
        << NameOf(257, kEuro) << false << QByteArray(254, 'a');
    QTest::newRow("not latin") << QString::fromUtf8("\xe5\x85\xa5\xe5\x8f\xa3") << true
                               << QByteArray("\xe5\x85\xa5\xe5\x8f\xa3");
}

// A name that does not fit is never written past the field: cut at a whole
// character, with its NUL inside the field.
void TestPtzListRecords::presetName()
{
    QFETCH(QString, name);
    QFETCH(bool, fits);
    QFETCH(QByteArray, sent);

    QCOMPARE(NameFits(name), fits);
    const TMV_NET_PRESET_INFO preset = PresetRecord(9, name);
    QCOMPARE(int(preset.enable), 1);
    QCOMPARE(preset.id, 9);
    QCOMPARE(FieldText(preset.name), sent);
    QVERIFY(std::memchr(preset.name, '\0', sizeof preset.name));
}

void TestPtzListRecords::tour_data()
{
    QTest::addColumn<int>("stops");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("fit");

    QTest::newRow("no stops") << 0 << "north" << int(TourFit::Fits);
    QTest::newRow("256 stops") << 256 << "north" << int(TourFit::Fits);
    QTest::newRow("257 stops") << 257 << "north" << int(TourFit::TooManyStops);
    QTest::newRow("name of 255 bytes") << 1 << NameOf(255) << int(TourFit::Fits);
    QTest::newRow("name of 256 bytes") << 1 << NameOf(256) << int(TourFit::NameTooLong);
}

// A tour that cannot be held whole is refused, never cut or overrun.
void TestPtzListRecords::tour()
{
    QFETCH(int, stops);
    QFETCH(QString, name);
    QFETCH(int, fit);

    QVector<TourStop> rows(stops, TourStop{3, QStringLiteral("gate"), QStringLiteral("10")});
    auto tour = std::make_unique<TMV_NET_TOUR_INFO>();
    QCOMPARE(int(BuildTour(4, name, rows, tour.get())), fit);
    if (fit == int(TourFit::Fits)) {
        QCOMPARE(int(tour->enable), 1);
        QCOMPARE(tour->id, 4);
        QCOMPARE(FieldText(tour->name), name.toUtf8());
        QCOMPARE(tour->count, stops);
    } else {
        const TMV_NET_TOUR_INFO zero{};
        QVERIFY(std::memcmp(tour.get(), &zero, sizeof zero) == 0);
    }
}

void TestPtzListRecords::tourStopsBuiltInOrder()
{
    const QVector<TourStop> rows = {
        {3, QStringLiteral("gate"), QStringLiteral("10")},
        {7, QStringLiteral("yard"), QStringLiteral("ten")},  // not a number: 0
        {0, QString(), QStringLiteral("-5")},               // no selection
        {2, NameOf(300), QStringLiteral("25")},             // a device name without NUL
    };
    auto tour = std::make_unique<TMV_NET_TOUR_INFO>();
    std::memset(tour.get(), 0x5a, sizeof *tour);
    QCOMPARE(BuildTour(1, QStringLiteral("north"), rows, tour.get()), TourFit::Fits);
    QCOMPARE(tour->count, 4);
    QCOMPARE(int(tour->reserved2[0]), 0);
    const int ids[] = {3, 7, 0, 2};
    const int seconds[] = {10, 0, -5, 25};
    const QByteArray names[] = {"gate", "yard", "", QByteArray(255, 'a')};
    for (int k = 0; k < 4; ++k) {
        QCOMPARE(tour->points[k].preset.id, ids[k]);
        QCOMPARE(tour->points[k].residenceTime, seconds[k]);
        QCOMPARE(FieldText(tour->points[k].preset.name), names[k]);
    }
    // Points past the count go zeroed, not with stale bytes.
    QCOMPARE(tour->points[4].preset.id, 0);
    QCOMPARE(tour->points[4].residenceTime, 0);
}

void TestPtzListRecords::shownStops_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("shown");

    QTest::newRow("none") << 0 << 0;
    QTest::newRow("some") << 3 << 3;
    QTest::newRow("full") << 256 << 256;
    QTest::newRow("over the array") << 257 << 256;
    QTest::newRow("negative") << -4 << 0;
}

void TestPtzListRecords::shownStops()
{
    QFETCH(int, count);
    QFETCH(int, shown);
    auto tour = std::make_unique<TMV_NET_TOUR_INFO>();
    tour->count = count;
    QCOMPARE(ShownStops(*tour), shown);
}

void TestPtzListRecords::bootRecord_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("number");
    QTest::addColumn<bool>("enable");
    // type, lineScan, areaScan, preset, pattern, tour
    QTest::addColumn<QList<int>>("fields");

    QTest::newRow("preset") << Action::Preset << "3" << true << QList<int>{1, 0, 0, 3, 0, 0};
    QTest::newRow("tour") << Action::Tour << "2" << false << QList<int>{2, 0, 0, 0, 0, 2};
    QTest::newRow("pattern") << Action::Pattern << "4" << true << QList<int>{3, 0, 0, 0, 4, 0};
    QTest::newRow("line scan") << Action::LineScan << "5" << true << QList<int>{4, 5, 0, 0, 0, 0};
    QTest::newRow("area scan") << Action::AreaScan << "16" << true << QList<int>{5, 0, 16, 0, 0, 0};
    QTest::newRow("auto reset, empty list") << Action::AutoReset << "" << true << QList<int>{0, 0, 0, 1, 0, 0};
    QTest::newRow("nothing checked") << Action::None << "7" << false << QList<int>{0, 0, 0, 0, 0, 0};
}

void TestPtzListRecords::bootRecord()
{
    QFETCH(Action, action);
    QFETCH(QString, number);
    QFETCH(bool, enable);
    QFETCH(QList<int>, fields);

    const TMV_NET_BOOT_ACTION_INFO info = BootRecord(action, number, enable);
    QCOMPARE(int(info.enable), enable ? 1 : 0);
    QCOMPARE((QList<int>{info.type, info.lineScan, info.areaScan, info.preset, info.pattern, info.tour}), fields);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(info.reserved), 3), QByteArray(3, '\0'));
}

void TestPtzListRecords::parkRecord_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("dwell");
    QTest::addColumn<QList<int>>("fields"); // type, preset, tour, dwellTime

    QTest::newRow("preset") << Action::Preset << "30" << QList<int>{1, 6, 0, 30};
    QTest::newRow("tour") << Action::Tour << "5" << QList<int>{2, 0, 6, 5};
    QTest::newRow("dwell not a number") << Action::Preset << "soon" << QList<int>{1, 6, 0, 0};
    QTest::newRow("dwell empty") << Action::Tour << "" << QList<int>{2, 0, 6, 0};
    QTest::newRow("nothing checked") << Action::None << "9" << QList<int>{0, 0, 0, 9};
}

void TestPtzListRecords::parkRecord()
{
    QFETCH(Action, action);
    QFETCH(QString, dwell);
    QFETCH(QList<int>, fields);

    const TMV_NET_PARK_ACTION_INFO info = ParkRecord(action, QStringLiteral("6"), dwell, true);
    QCOMPARE(int(info.enable), 1);
    QCOMPARE((QList<int>{info.type, info.preset, info.tour, info.dwellTime}), fields);
    QCOMPARE(info.reserved2, 0);
    QCOMPARE(info.reserved3, 0);
}

// A refreshed record names its number by its type, from the same fields
// Confirm fills.
void TestPtzListRecords::refreshedNumber()
{
    const Action actions[] = {Action::Preset, Action::Tour, Action::Pattern, Action::LineScan, Action::AreaScan};
    const int types[] = {1, 2, 3, 4, 5};
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(ActionOfType(types[i]), actions[i]);
        QCOMPARE(NumberOfAction(BootRecord(actions[i], QStringLiteral("7"), true), actions[i]), 7);
        QCOMPARE(NumberOfAction(ParkRecord(actions[i], QStringLiteral("8"), QString(), true), actions[i]), 8);
    }
    QCOMPARE(ActionOfType(0), Action::AutoReset);
    QCOMPARE(ActionOfType(6), Action::None);
    QCOMPARE(ActionOfType(-1), Action::None);
}

void TestPtzListRecords::lastIndexOf_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("index");

    QTest::newRow("found") << QStringList{"1", "2", "3"} << 2 << 1;
    QTest::newRow("the last of twins") << QStringList{"4", "2", "4"} << 4 << 2;
    QTest::newRow("absent") << QStringList{"1", "2"} << 9 << -1;
    QTest::newRow("text must match whole") << QStringList{"12", "1*"} << 1 << -1;
    QTest::newRow("empty list") << QStringList{} << 1 << -1;
}

void TestPtzListRecords::lastIndexOf()
{
    QFETCH(QStringList, items);
    QFETCH(int, number);
    QFETCH(int, index);
    QCOMPARE(LastIndexOf(items, number), index);
}

void TestPtzListRecords::pickNumber_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<bool>("clearBoth");
    QTest::addColumn<int>("index");

    QTest::newRow("listed") << 3 << false << 1;
    QTest::newRow("not listed: keep") << 9 << false << -1;
    QTest::newRow("zero clears both") << 0 << true << -1;
    QTest::newRow("negative clears both") << -2 << true << -1;
}

void TestPtzListRecords::pickNumber()
{
    QFETCH(int, number);
    QFETCH(bool, clearBoth);
    QFETCH(int, index);
    const ListPick pick = PickNumber({"1", "3", "5"}, number);
    QCOMPARE(pick.clearBoth, clearBoth);
    QCOMPARE(pick.index, index);
}

// The boot and park lists offer configured area scans among the first 16
// returned, however many come back.
void TestPtzListRecords::offeredAreaScans()
{
    TMV_NET_REGION_SCAN_INFO scans[20];
    std::memset(scans, 0, sizeof scans);
    for (int i = 0; i < 20; ++i) {
        scans[i].id = i + 1;
        scans[i].enable = (i == 1) ? 0 : 1; // number 2 not configured
    }
    QVector<int32_t> expected;
    for (int id = 1; id <= 16; ++id) {
        if (id != 2)
            expected << id;
    }
    QCOMPARE(OfferedAreaScans(scans, 20), expected);
    QCOMPARE(OfferedAreaScans(scans, 3), (QVector<int32_t>{1, 3}));
    QCOMPARE(OfferedAreaScans(nullptr, 0), QVector<int32_t>());
}

void TestPtzListRecords::areaScanRecord()
{
    TMV_NET_REGION_SCAN_INFO scan = AreaScanRecord("3", true, "20", "1", "4", "0.5");
    QCOMPARE(scan.id, 3);
    QCOMPARE(int(scan.enable), 1);
    QCOMPARE(scan.direction, 1);
    QCOMPARE(scan.speed, 20);
    QCOMPARE(scan.startPreset, 1);
    QCOMPARE(scan.stopPreset, 4);
    QCOMPARE(scan.gradient, 0.5f);

    scan = AreaScanRecord("", false, "fast", "", "", "steep");
    QCOMPARE(scan.id, 0);
    QCOMPARE(scan.direction, -1);
    QCOMPARE(scan.speed, 0);
    QCOMPARE(scan.startPreset, 0);
    QCOMPARE(scan.stopPreset, 0);
    QCOMPARE(scan.gradient, 0.0f);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(scan.reserved), 3), QByteArray(3, '\0'));
}

QTEST_APPLESS_MAIN(TestPtzListRecords)
#include "tst_ptzlistrecords.moc"
