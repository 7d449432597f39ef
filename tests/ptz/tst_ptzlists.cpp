// The list tabs of the "PTZ" page driven through their widgets: presets,
// tours, patterns, area scans, boot and park actions. What goes to the device
// is read from the journal; what the user sees from the widgets and the
// message boxes.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <thread>

#include "app/MainWindow.h"
#include "ptz/PTZPage.h"
#include "TestSupport.h"

namespace {

TMV_NET_PRESET_INFO Preset(int id, const char *name)
{
    TMV_NET_PRESET_INFO preset;
    std::memset(&preset, 0, sizeof preset);
    preset.enable = 1;
    preset.id = id;
    std::strncpy(preset.name, name, sizeof preset.name - 1);
    return preset;
}

TMV_NET_REGION_SCAN_INFO Scan(int id, int direction, int speed, int start, int stop, float gradient)
{
    TMV_NET_REGION_SCAN_INFO scan;
    std::memset(&scan, 0, sizeof scan);
    scan.id = id;
    scan.enable = 1;
    scan.direction = direction;
    scan.speed = speed;
    scan.startPreset = start;
    scan.stopPreset = stop;
    scan.gradient = gradient;
    return scan;
}

int32_t IntAt(const QByteArray &bytes, int offset)
{
    int32_t value = 0;
    std::memcpy(&value, bytes.constData() + offset, sizeof value);
    return value;
}

// The action (first argument) of every call of `function`, oldest first.
QList<int> ActionsOf(const char *function)
{
    QList<int> actions;
    for (const QByteArray &args : SimFixture::argsOf(function))
        actions << IntAt(args, 0);
    return actions;
}

// The record of type T sent as the last argument of the last call.
template <class T>
T LastRecordAfterAction(const char *function)
{
    return SimFixture::lastRecord<T>(function, sizeof(TMV_NET_HANDLE) + sizeof(int32_t));
}

QString NameOf(const TMV_NET_PRESET_INFO &preset)
{
    return QString::fromUtf8(preset.name, int(strnlen(preset.name, sizeof preset.name)));
}

} // namespace

class TestPtzLists : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    // Presets.
    void presetsListedWithStoredMark();
    void saveRenamesThenStores();
    void saveStopsAtTheFailedStep_data();
    void saveStopsAtTheFailedStep();
    void presetActions_data();
    void presetActions();
    void overlongNameRefusedBySaveOnly();
    void getPresentSelectsItsRow();
    void overReportedCountsClamped_data();
    void overReportedCountsClamped();

    // Tours.
    void tourRowsBuiltFromPresets();
    void addPresetNeedsAPreset();
    void tourSavedFromTable();
    void tourOfMoreThan256StopsRefused();
    void deletePresetRemovesEachRowOnce();
    void toggles_data();
    void toggles();

    // Patterns.
    void startPatrolNeedsRecordedPattern();
    void stopRecordListsBeforeTextReturns();

    // Area scans.
    void areaScanListedAndShown();
    void areaScanSetSendsForm();
    void areaScanDeleteResetsAndRelists();
    void areaScanDeleteAll_data();
    void areaScanDeleteAll();

    // Boot and park actions.
    void listSlotsFillBothLists();
    void bootAutoResetSendsPresetOne();
    void emptyNumberRefused_data();
    void emptyNumberRefused();
    void confirmSendsCheckedAction();
    void refreshShowsDeviceAction();
    void refreshedLineScanChecksDisabledButton();
    void failedRefreshShowsZeroedRecord();

private:
    QTableWidget *Table() const { return m_fixture->child<QTableWidget>(m_page, "tableWidget"); }
    // Presets 3 "gate" and 5 "yard" stored on the device, straight through
    // the library.
    void StorePresets() const;
    QComboBox *RowChoice(int row) const { return qobject_cast<QComboBox *>(Table()->cellWidget(row, 0)); }
    void ExpectBox(const QString &text, const QString &title = QStringLiteral("Error"));

    std::unique_ptr<PageFixture> m_fixture;
    MainWindow *m_window = nullptr;
    PTZPage *m_page = nullptr;
    ModalCatcher *m_boxes = nullptr;
    TMV_NET_HANDLE m_handle = nullptr;
};

void TestPtzLists::initTestCase()
{
    WarningGuard::install();
}

void TestPtzLists::cleanupTestCase()
{
    TMV_NET_Deinit();
}

void TestPtzLists::init()
{
    m_fixture.reset(new PageFixture(false));
    m_window = m_fixture->window();
    m_page = m_window->findChild<PTZPage *>();
    QVERIFY(m_page);
    m_boxes = &m_fixture->boxes();
    QVERIFY(m_fixture->login(SimFixture::kPtzCamera));
    m_handle = m_window->Handle();
    QVERIFY(m_handle);
    SimFixture::clearJournal();
}

void TestPtzLists::cleanup()
{
    m_fixture->verifyClean();
    m_fixture.reset();
    m_window = nullptr;
    m_page = nullptr;
    m_boxes = nullptr;
    m_handle = nullptr;
    SimFixture::clearFaults();
}

void TestPtzLists::StorePresets() const
{
    const TMV_NET_PRESET_INFO gate = Preset(3, "gate");
    const TMV_NET_PRESET_INFO yard = Preset(5, "yard");
    QCOMPARE(TMV_NET_PtzPresetControl(m_handle, 0, &gate), 0);
    QCOMPARE(TMV_NET_PtzPresetControl(m_handle, 0, &yard), 0);
    SimFixture::clearJournal();
}

void TestPtzLists::ExpectBox(const QString &text, const QString &title)
{
    QVERIFY2(m_boxes->count() > 0, qPrintable(QStringLiteral("no box, expected \"%1\"").arg(text)));
    QCOMPARE(m_boxes->last().text, text);
    QCOMPARE(m_boxes->last().title, title);
}

// ---- Presets ----------------------------------------------------------------

void TestPtzLists::presetsListedWithStoredMark()
{
    StorePresets();
    m_fixture->click(m_page, "presetGetAllBtn");

    QCOMPARE(m_boxes->count(), 0);
    const QStringList items = m_fixture->items(m_page, "presetCombo");
    QCOMPARE(items.size(), 16);
    QCOMPARE(items.mid(1, 5), (QStringList{"2", "3*", "4", "5*", "6"}));
    QCOMPARE(m_fixture->combo(m_page, "presetCombo")->currentIndex(), 0);
    // Choosing a row shows its name.
    m_fixture->combo(m_page, "presetCombo")->setCurrentIndex(4);
    QCOMPARE(m_fixture->edit(m_page, "presetNameEdit")->text(), QStringLiteral("yard"));
}

// Save renames first and stores the position second, a pause apart, then
// relists so the new mark shows.
void TestPtzLists::saveRenamesThenStores()
{
    m_fixture->click(m_page, "presetGetAllBtn");
    m_fixture->combo(m_page, "presetCombo")->setCurrentIndex(6);
    m_fixture->edit(m_page, "presetNameEdit")->setText(QStringLiteral("north gate"));
    SimFixture::clearJournal();

    QElapsedTimer timer;
    timer.start();
    m_fixture->click(m_page, "saveBtn");
    QVERIFY(timer.elapsed() >= 200);

    QCOMPARE(m_boxes->count(), 0);
    QCOMPARE(ActionsOf("TMV_NET_PtzPresetControl"), (QList<int>{1, 0}));
    const QList<QByteArray> args = SimFixture::argsOf("TMV_NET_PtzPresetControl");
    QCOMPARE(args[0].mid(4), args[1].mid(4)); // the same record twice
    const TMV_NET_PRESET_INFO sent = LastRecordAfterAction<TMV_NET_PRESET_INFO>("TMV_NET_PtzPresetControl");
    QCOMPARE(int(sent.enable), 1);
    QCOMPARE(sent.id, 7);
    QCOMPARE(NameOf(sent), QStringLiteral("north gate"));
    QCOMPARE(SimFixture::callsAmong({"TMV_NET_PtzPresetControl", "TMV_NET_QueryPtzPreset"}),
             (QStringList{"TMV_NET_PtzPresetControl", "TMV_NET_PtzPresetControl", "TMV_NET_QueryPtzPreset"}));
    QCOMPARE(m_fixture->combo(m_page, "presetCombo")->itemText(6), QStringLiteral("7*"));
}

void TestPtzLists::saveStopsAtTheFailedStep_data()
{
    QTest::addColumn<int>("failedCall"); // 1: rename, 2: store
    QTest::addColumn<QList<int>>("actions");
    QTest::addColumn<QString>("box");

    QTest::newRow("rename fails: nothing stored") << 1 << QList<int>{1} << "PTZ control rename Failed!";
    QTest::newRow("store fails: no relist") << 2 << QList<int>{1, 0} << "PTZ control add Failed!";
}

void TestPtzLists::saveStopsAtTheFailedStep()
{
    QFETCH(int, failedCall);
    QFETCH(QList<int>, actions);
    QFETCH(QString, box);

    m_fixture->click(m_page, "presetGetAllBtn");
    m_fixture->combo(m_page, "presetCombo")->setCurrentIndex(1);
    m_fixture->edit(m_page, "presetNameEdit")->setText(QStringLiteral("renamed"));
    SimFixture::clearJournal();

    // The store is failed from another thread once the rename is journalled:
    // the page waits 200 ms between the two.
    std::atomic<bool> done{false};
    std::thread watcher;
    if (failedCall == 1) {
        SimFixture::fail("TMV_NET_PtzPresetControl", 1);
    } else {
        watcher = std::thread([&done] {
            while (!done && SimFixture::countOf("TMV_NET_PtzPresetControl") < 1)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            SimFixture::fail("TMV_NET_PtzPresetControl", 1);
        });
    }
    m_fixture->click(m_page, "saveBtn");
    done = true;
    if (watcher.joinable())
        watcher.join();

    QCOMPARE(m_boxes->count(), 1);
    ExpectBox(box);
    QCOMPARE(ActionsOf("TMV_NET_PtzPresetControl"), actions);
    QCOMPARE(SimFixture::countOf("TMV_NET_QueryPtzPreset"), 0);
    QCOMPARE(m_fixture->combo(m_page, "presetCombo")->itemText(1), QStringLiteral("2"));
}

void TestPtzLists::presetActions_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("action");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<bool>("relists");

    QTest::newRow("Move to") << "moveToBtn" << 2 << "PTZ control move to" << false;
    QTest::newRow("Delete") << "deleteBtn" << 3 << "Delete preset" << true;
    QTest::newRow("Delete all") << "presetDeleteAllBtn" << 4 << "PTZ control deleteallPtzPreset" << true;
}

// Each action reports its failure under its own name; Delete and Delete all
// relist even then.
void TestPtzLists::presetActions()
{
    QFETCH(QString, button);
    QFETCH(int, action);
    QFETCH(QString, operation);
    QFETCH(bool, relists);

    StorePresets();
    m_fixture->click(m_page, "presetGetAllBtn");
    m_fixture->combo(m_page, "presetCombo")->setCurrentIndex(2);
    SimFixture::clearJournal();
    SimFixture::fail("TMV_NET_PtzPresetControl", 1);
    m_fixture->click(m_page, button);

    QCOMPARE(m_boxes->count(), 1);
    ExpectBox(operation + QStringLiteral(" Failed!"));
    QCOMPARE(ActionsOf("TMV_NET_PtzPresetControl"), QList<int>{action});
    const TMV_NET_PRESET_INFO sent = LastRecordAfterAction<TMV_NET_PRESET_INFO>("TMV_NET_PtzPresetControl");
    if (action == 4) {
        QCOMPARE(sent.id, 0); // delete all names no preset
    } else {
        QCOMPARE(sent.id, 3);
        QCOMPARE(NameOf(sent), QStringLiteral("gate"));
    }
    QCOMPARE(SimFixture::countOf("TMV_NET_QueryPtzPreset"), relists ? 1 : 0);

    // Without the fault the device does it.
    SimFixture::clearJournal();
    m_fixture->combo(m_page, "presetCombo")->setCurrentIndex(2);
    m_fixture->click(m_page, button);
    QCOMPARE(m_boxes->count(), 1);
    if (action == 3)
        QCOMPARE(m_fixture->combo(m_page, "presetCombo")->itemText(2), QStringLiteral("3"));
    if (action == 4)
        QVERIFY(!m_fixture->items(m_page, "presetCombo").join(QString()).contains(QLatin1Char('*')));
}

// Save must not store a name other than the one typed; Move to goes by the
// id, and sends the name cut, never past its field.
void TestPtzLists::overlongNameRefusedBySaveOnly()
{
    StorePresets();
    m_fixture->click(m_page, "presetGetAllBtn");
    m_fixture->combo(m_page, "presetCombo")->setCurrentIndex(2);
    const QString euro = QString::fromUtf8("\xe2\x82\xac");
    const QString longName = QString(254, QLatin1Char('a')) + euro; // 257 bytes in UTF-8
    m_fixture->edit(m_page, "presetNameEdit")->setText(longName);
    SimFixture::clearJournal();

    m_fixture->click(m_page, "saveBtn");
    QCOMPARE(m_boxes->count(), 1);
    ExpectBox(QStringLiteral("The name is longer than 255 bytes in UTF-8."));
    QCOMPARE(SimFixture::countOf("TMV_NET_PtzPresetControl"), 0);

    m_fixture->click(m_page, "moveToBtn");
    QCOMPARE(m_boxes->count(), 1);
    const TMV_NET_PRESET_INFO sent = LastRecordAfterAction<TMV_NET_PRESET_INFO>("TMV_NET_PtzPresetControl");
    QCOMPARE(sent.id, 3);
    QCOMPARE(NameOf(sent), QString(254, QLatin1Char('a')));
}

void TestPtzLists::getPresentSelectsItsRow()
{
    StorePresets();
    // Storing a preset leaves the head standing at it.
    const TMV_NET_PRESET_INFO gate = Preset(3, "gate");
    QCOMPARE(TMV_NET_PtzPresetControl(m_handle, 0, &gate), 0);
    m_fixture->click(m_page, "presetGetAllBtn");
    QCOMPARE(m_fixture->combo(m_page, "presetCombo")->currentIndex(), 0);

    m_fixture->click(m_page, "presetGetCurrentBtn");
    QCOMPARE(m_boxes->count(), 0);
    QCOMPARE(m_fixture->combo(m_page, "presetCombo")->currentIndex(), 2);
    QCOMPARE(m_fixture->combo(m_page, "presetCombo")->currentText(), QStringLiteral("3*"));

    SimFixture::fail("TMV_NET_QueryPtzPresetId", 1);
    m_fixture->click(m_page, "presetGetCurrentBtn");
    ExpectBox(QStringLiteral("Query Current Preset Failed!"));
    QCOMPARE(m_fixture->combo(m_page, "presetCombo")->currentIndex(), 2);
}

void TestPtzLists::overReportedCountsClamped_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("combo");

    QTest::newRow("presets") << "presetGetAllBtn" << "TMV_NET_QueryPtzPreset" << "presetCombo";
    QTest::newRow("tours") << "cruiseGetAllBtn" << "TMV_NET_QueryPtzTour" << "cruiseCombo";
    QTest::newRow("patterns") << "patrolGetAllBtn" << "TMV_NET_QueryPtzPattern" << "patrolCombo";
    QTest::newRow("area scans") << "GetAllAreaScanBtn" << "TMV_NET_QueryPtzRegionScanInfo" << "areaScanCombo";
}

// A device claiming more records than the array it was given: the page
// lists the array, never what lies past it.
void TestPtzLists::overReportedCountsClamped()
{
    QFETCH(QString, button);
    QFETCH(QString, list);
    QFETCH(QString, combo);

    TMVSim_OverReportCount(list.toLatin1().constData(), 5);
    m_fixture->click(m_page, button);

    QCOMPARE(m_boxes->count(), 0);
    const QByteArray input = SimFixture::lastInput(list.toLatin1().constData());
    const int32_t capacity = IntAt(input, input.size() - 4);
    QVERIFY(capacity > 0);
    QCOMPARE(m_fixture->combo(m_page, combo)->count(), int(capacity));
}

// ---- Tours --------------------------------------------------------------------

// A tour's stops become table rows whose lists offer the stored presets by
// name, each with its id; the residence time is its own column.
void TestPtzLists::tourRowsBuiltFromPresets()
{
    StorePresets();
    auto tour = std::make_unique<TMV_NET_TOUR_INFO>();
    std::memset(tour.get(), 0, sizeof *tour);
    tour->enable = 1;
    tour->id = 2;
    std::strcpy(tour->name, "round");
    tour->count = 3;
    const int stops[][2] = {{5, 20}, {3, 7}, {9, 4}}; // preset 9 is empty
    for (int k = 0; k < 3; ++k) {
        tour->points[k].preset = Preset(stops[k][0], "");
        tour->points[k].residenceTime = stops[k][1];
    }
    QCOMPARE(TMV_NET_PtzTourControl(m_handle, 0, tour.get()), 0);

    m_fixture->click(m_page, "cruiseGetAllBtn");
    QCOMPARE(m_boxes->count(), 0);
    QCOMPARE(m_fixture->items(m_page, "cruiseCombo").mid(0, 3), (QStringList{"1", "2*", "3"}));
    m_fixture->combo(m_page, "cruiseCombo")->setCurrentIndex(1);

    QCOMPARE(m_fixture->edit(m_page, "cruiseNameEdit")->text(), QStringLiteral("round"));
    QCOMPARE(Table()->rowCount(), 3);
    for (int row = 0; row < 3; ++row) {
        QComboBox *choice = RowChoice(row);
        QVERIFY(choice);
        QCOMPARE(choice->count(), 2);
        QCOMPARE(choice->itemText(0), QStringLiteral("gate"));
        QCOMPARE(choice->itemData(0, Qt::UserRole).toInt(), 3);
        QCOMPARE(choice->itemText(1), QStringLiteral("yard"));
        QCOMPARE(choice->itemData(1, Qt::UserRole).toInt(), 5);
        QCOMPARE(Table()->item(row, 1)->text(), QString::number(stops[row][1]));
    }
    QCOMPARE(RowChoice(0)->currentText(), QStringLiteral("yard"));
    QCOMPARE(RowChoice(1)->currentText(), QStringLiteral("gate"));
    // A stop at a preset no longer stored shows none rather than another.
    QCOMPARE(RowChoice(2)->currentIndex(), -1);
}

void TestPtzLists::addPresetNeedsAPreset()
{
    m_fixture->click(m_page, "addPresetBtn");
    QCOMPARE(m_boxes->count(), 1);
    ExpectBox(QStringLiteral("No preset."));
    QCOMPARE(m_boxes->last().parent, static_cast<QWidget *>(m_page));
    QCOMPARE(Table()->rowCount(), 0);
}

// Rows added by hand go out in order; a residence that is not a number is
// sent as 0 seconds. The save relists the tours.
void TestPtzLists::tourSavedFromTable()
{
    StorePresets();
    m_fixture->click(m_page, "cruiseGetAllBtn");
    m_fixture->combo(m_page, "cruiseCombo")->setCurrentIndex(3);
    m_fixture->edit(m_page, "cruiseNameEdit")->setText(QStringLiteral("east"));
    m_fixture->click(m_page, "addPresetBtn");
    m_fixture->click(m_page, "addPresetBtn");
    QCOMPARE(Table()->rowCount(), 2);
    QCOMPARE(RowChoice(0)->currentText(), QStringLiteral("gate"));
    QCOMPARE(Table()->item(0, 1)->text(), QStringLiteral("10"));
    RowChoice(1)->setCurrentIndex(1);
    Table()->item(1, 1)->setText(QStringLiteral("ten"));
    SimFixture::clearJournal();

    m_fixture->click(m_page, "cruiseSaveBtn");
    QCOMPARE(m_boxes->count(), 0);
    QCOMPARE(ActionsOf("TMV_NET_PtzTourControl"), QList<int>{0});
    auto sent = std::make_unique<TMV_NET_TOUR_INFO>(LastRecordAfterAction<TMV_NET_TOUR_INFO>("TMV_NET_PtzTourControl"));
    QCOMPARE(int(sent->enable), 1);
    QCOMPARE(sent->id, 4);
    QCOMPARE(QString::fromUtf8(sent->name), QStringLiteral("east"));
    QCOMPARE(sent->count, 2);
    QCOMPARE(sent->points[0].preset.id, 3);
    QCOMPARE(NameOf(sent->points[0].preset), QStringLiteral("gate"));
    QCOMPARE(sent->points[0].residenceTime, 10);
    QCOMPARE(sent->points[1].preset.id, 5);
    QCOMPARE(NameOf(sent->points[1].preset), QStringLiteral("yard"));
    QCOMPARE(sent->points[1].residenceTime, 0);
    QCOMPARE(SimFixture::callsAmong({"TMV_NET_PtzTourControl", "TMV_NET_QueryPtzTour"}),
             (QStringList{"TMV_NET_PtzTourControl", "TMV_NET_QueryPtzTour"}));
    QCOMPARE(m_fixture->combo(m_page, "cruiseCombo")->itemText(3), QStringLiteral("4*"));
}

// A tour record holds 256 stops: a longer table is refused before anything
// is sent, and stays as edited.
void TestPtzLists::tourOfMoreThan256StopsRefused()
{
    StorePresets();
    m_fixture->click(m_page, "cruiseGetAllBtn");
    for (int i = 0; i < 257; ++i)
        m_fixture->click(m_page, "addPresetBtn");
    SimFixture::clearJournal();

    m_fixture->click(m_page, "cruiseSaveBtn");
    QCOMPARE(m_boxes->count(), 1);
    ExpectBox(QStringLiteral("A tour holds at most 256 presets; this one has 257."));
    QCOMPARE(SimFixture::countOf("TMV_NET_PtzTourControl"), 0);
    QCOMPARE(SimFixture::countOf("TMV_NET_QueryPtzTour"), 0);
    QCOMPARE(Table()->rowCount(), 257);

    // One row fewer fits.
    Table()->removeRow(0);
    m_fixture->click(m_page, "cruiseSaveBtn");
    QCOMPARE(m_boxes->count(), 1);
    QCOMPARE(LastRecordAfterAction<TMV_NET_TOUR_INFO>("TMV_NET_PtzTourControl").count, 256);
}

// Several selected cells of one row remove that row once, and no other.
void TestPtzLists::deletePresetRemovesEachRowOnce()
{
    StorePresets();
    m_fixture->click(m_page, "presetGetAllBtn");
    for (int i = 0; i < 4; ++i) {
        m_fixture->click(m_page, "addPresetBtn");
        Table()->item(i, 1)->setText(QString::number(i));
    }
    QItemSelectionModel *selection = Table()->selectionModel();
    selection->clearSelection();
    for (const QPoint &cell : {QPoint(0, 0), QPoint(1, 0), QPoint(1, 2), QPoint(0, 2)})
        selection->select(Table()->model()->index(cell.y(), cell.x()), QItemSelectionModel::Select);

    m_fixture->click(m_page, "deletePresetBtn");
    QCOMPARE(Table()->rowCount(), 2);
    QCOMPARE(Table()->item(0, 1)->text(), QStringLiteral("1"));
    QCOMPARE(Table()->item(1, 1)->text(), QStringLiteral("3"));
    QVERIFY(RowChoice(0) && RowChoice(1));
    QCOMPARE(SimFixture::countOf("TMV_NET_PtzTourControl"), 0);
}

void TestPtzLists::toggles_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("function");
    QTest::addColumn<QStringList>("texts");      // idle, running
    QTest::addColumn<QList<int>>("actions");     // start, stop
    QTest::addColumn<QStringList>("operations"); // start, stop

    QTest::newRow("tour") << "cruiseStartBtn" << "TMV_NET_PtzTourControl" << QStringList{"Start", "Stop"}
                          << QList<int>{1, 2} << QStringList{"PtzTour start", "PtzTour stop"};
    QTest::newRow("patrol") << "startPatrolBtn" << "TMV_NET_PtzPatternControl"
                            << QStringList{"StartPatrol", "StopPatrol"} << QList<int>{2, 3}
                            << QStringList{"PtzPattern start patrol", "PtzPattern stop patrol"};
    QTest::newRow("record") << "startRecordBtn" << "TMV_NET_PtzPatternControl"
                            << QStringList{"StartRecord", "StopRecord"} << QList<int>{0, 1}
                            << QStringList{"PtzPattern start record", "PtzPattern stop record"};
}

// A toggle changes its text only after its call succeeded; a failure is
// reported and leaves it as it was.
void TestPtzLists::toggles()
{
    QFETCH(QString, button);
    QFETCH(QString, function);
    QFETCH(QStringList, texts);
    QFETCH(QList<int>, actions);
    QFETCH(QStringList, operations);
    const QByteArray name = button.toLatin1();
    const QByteArray call = function.toLatin1();

    // Something to run: tour 1 over two presets, pattern 1 recorded.
    StorePresets();
    auto tour = std::make_unique<TMV_NET_TOUR_INFO>();
    std::memset(tour.get(), 0, sizeof *tour);
    tour->enable = 1;
    tour->id = 1;
    tour->count = 2;
    tour->points[0].preset = Preset(3, "gate");
    tour->points[0].residenceTime = 5;
    tour->points[1].preset = Preset(5, "yard");
    tour->points[1].residenceTime = 5;
    QCOMPARE(TMV_NET_PtzTourControl(m_handle, 0, tour.get()), 0);
    QCOMPARE(TMV_NET_PtzPatternControl(m_handle, 0, 1), 0);
    QCOMPARE(TMV_NET_PtzPatternControl(m_handle, 1, 1), 0);
    m_fixture->click(m_page, call.contains("Tour") ? "cruiseGetAllBtn" : "patrolGetAllBtn");
    QCOMPARE(m_boxes->count(), 0);
    SimFixture::clearJournal();

    for (int step = 0; step < 2; ++step) {
        SimFixture::fail(call.constData(), 1);
        m_fixture->click(m_page, name.constData());
        ExpectBox(operations[step] + QStringLiteral(" Failed!"));
        QCOMPARE(m_fixture->button(m_page, name.constData())->text(), texts[step]);

        const int boxes = m_boxes->count();
        m_fixture->click(m_page, name.constData());
        QCOMPARE(m_boxes->count(), boxes);
        QCOMPARE(m_fixture->button(m_page, name.constData())->text(), texts[1 - step]);
        QCOMPARE(ActionsOf(call.constData()).mid(2 * step), (QList<int>{actions[step], actions[step]}));
    }
}

// ---- Patterns -------------------------------------------------------------------

// Only a recorded pattern can be played; a patrol playing can always be
// stopped, whatever is selected meanwhile.
void TestPtzLists::startPatrolNeedsRecordedPattern()
{
    QCOMPARE(TMV_NET_PtzPatternControl(m_handle, 0, 2), 0);
    QCOMPARE(TMV_NET_PtzPatternControl(m_handle, 1, 2), 0);
    m_fixture->click(m_page, "patrolGetAllBtn");
    QCOMPARE(m_boxes->count(), 0);
    QCOMPARE(m_fixture->items(m_page, "patrolCombo"), (QStringList{"1", "2*", "3", "4"}));
    QAbstractButton *patrol = m_fixture->button(m_page, "startPatrolBtn");
    QVERIFY(!patrol->isEnabled());

    m_fixture->combo(m_page, "patrolCombo")->setCurrentIndex(1);
    QVERIFY(patrol->isEnabled());
    SimFixture::clearJournal();
    m_fixture->click(m_page, "startPatrolBtn");
    QCOMPARE(m_boxes->count(), 0);
    QCOMPARE(SimFixture::argsOf("TMV_NET_PtzPatternControl").value(0).mid(4, 4),
             QByteArray::fromHex("02000000")); // pattern 2 = row 1 + 1
    QCOMPARE(patrol->text(), QStringLiteral("StopPatrol"));

    m_fixture->combo(m_page, "patrolCombo")->setCurrentIndex(2);
    QVERIFY(patrol->isEnabled());
    m_fixture->combo(m_page, "patrolCombo")->setCurrentIndex(1);
    m_fixture->click(m_page, "startPatrolBtn");
    QCOMPARE(patrol->text(), QStringLiteral("StartPatrol"));
    m_fixture->combo(m_page, "patrolCombo")->setCurrentIndex(0);
    QVERIFY(!patrol->isEnabled());
}

// A recording that stopped is listed before the button offers to record
// again.
void TestPtzLists::stopRecordListsBeforeTextReturns()
{
    m_fixture->click(m_page, "patrolGetAllBtn");
    m_fixture->combo(m_page, "patrolCombo")->setCurrentIndex(2);
    m_fixture->click(m_page, "startRecordBtn");
    QCOMPARE(m_fixture->button(m_page, "startRecordBtn")->text(), QStringLiteral("StopRecord"));

    QStringList textsSeenByTheList;
    // The watch ends with this test: `scope` goes, and the connection with it.
    QObject scope;
    connect(m_fixture->combo(m_page, "patrolCombo"), QOverload<int>::of(&QComboBox::currentIndexChanged), &scope,
            [&] { textsSeenByTheList << m_fixture->button(m_page, "startRecordBtn")->text(); });
    SimFixture::clearJournal();
    m_fixture->click(m_page, "startRecordBtn");

    QCOMPARE(m_boxes->count(), 0);
    QCOMPARE(ActionsOf("TMV_NET_PtzPatternControl"), QList<int>{1});
    QCOMPARE(SimFixture::callsAmong({"TMV_NET_PtzPatternControl", "TMV_NET_QueryPtzPatternSize",
                                     "TMV_NET_QueryPtzPattern"}),
             (QStringList{"TMV_NET_PtzPatternControl", "TMV_NET_QueryPtzPatternSize", "TMV_NET_QueryPtzPattern"}));
    QVERIFY(!textsSeenByTheList.isEmpty());
    QVERIFY(!textsSeenByTheList.contains(QStringLiteral("StartRecord")));
    QCOMPARE(m_fixture->button(m_page, "startRecordBtn")->text(), QStringLiteral("StartRecord"));
    QCOMPARE(m_fixture->items(m_page, "patrolCombo").value(2), QStringLiteral("3*"));
}

// ---- Area scans -----------------------------------------------------------------

// GetAll lists every area scan and the stored presets as limits; Get shows
// one without sending anything.
void TestPtzLists::areaScanListedAndShown()
{
    StorePresets();
    const TMV_NET_REGION_SCAN_INFO second = Scan(2, -1, 4, 5, 3, 1.25f);
    QCOMPARE(TMV_NET_SetPtzRegionScanInfo(m_handle, &second), 0);
    const TMV_NET_REGION_SCAN_INFO third = Scan(3, 1, 6, 3, 0, 0.5f);
    QCOMPARE(TMV_NET_SetPtzRegionScanInfo(m_handle, &third), 0);

    m_fixture->click(m_page, "GetAllAreaScanBtn");
    QCOMPARE(m_boxes->count(), 0);
    QCOMPARE(m_fixture->items(m_page, "areaScanCombo").size(), 8); // every slot, configured or not
    QCOMPARE(m_fixture->items(m_page, "startPresetCombo"), (QStringList{"3", "5"}));
    QCOMPARE(m_fixture->items(m_page, "stopPresetCombo"), (QStringList{"3", "5"}));
    QCOMPARE(m_page->AreaScanMap().size(), 8);

    SimFixture::clearJournal();
    m_fixture->combo(m_page, "areaScanCombo")->setCurrentIndex(1);
    m_fixture->click(m_page, "GetOneAreaScanBtn");
    QVERIFY(m_fixture->child<QRadioButton>(m_page, "counterClockWiseBtn")->isChecked());
    QCOMPARE(m_fixture->edit(m_page, "areaScanSpeedEdit")->text(), QStringLiteral("4"));
    QCOMPARE(m_fixture->edit(m_page, "areaScanGradientEdit")->text(), QStringLiteral("1.25"));
    QCOMPARE(m_fixture->combo(m_page, "startPresetCombo")->currentText(), QStringLiteral("5"));
    QCOMPARE(m_fixture->combo(m_page, "stopPresetCombo")->currentText(), QStringLiteral("3"));

    m_fixture->combo(m_page, "areaScanCombo")->setCurrentIndex(2);
    m_fixture->click(m_page, "GetOneAreaScanBtn");
    QVERIFY(m_fixture->child<QRadioButton>(m_page, "clockwiseBtn")->isChecked());
    QCOMPARE(m_fixture->combo(m_page, "startPresetCombo")->currentText(), QStringLiteral("3"));
    QCOMPARE(m_fixture->combo(m_page, "stopPresetCombo")->currentIndex(), -1); // none
    QCOMPARE(SimFixture::calls(), QStringList());
}

void TestPtzLists::areaScanSetSendsForm()
{
    StorePresets();
    m_fixture->click(m_page, "GetAllAreaScanBtn");
    m_fixture->combo(m_page, "areaScanCombo")->setCurrentIndex(4);
    m_fixture->child<QRadioButton>(m_page, "counterClockWiseBtn")->setChecked(true);
    m_fixture->edit(m_page, "areaScanSpeedEdit")->setText(QStringLiteral("7"));
    m_fixture->edit(m_page, "areaScanGradientEdit")->setText(QStringLiteral("steep"));
    m_fixture->combo(m_page, "startPresetCombo")->setCurrentIndex(1);
    m_fixture->combo(m_page, "stopPresetCombo")->setCurrentIndex(0);
    SimFixture::clearJournal();

    m_fixture->click(m_page, "SetAreaScanInfoBtn");
    QCOMPARE(m_boxes->count(), 0);
    const TMV_NET_REGION_SCAN_INFO sent = SimFixture::lastRecord<TMV_NET_REGION_SCAN_INFO>(
        "TMV_NET_SetPtzRegionScanInfo");
    const TMV_NET_REGION_SCAN_INFO expected = Scan(5, -1, 7, 5, 3, 0.0f);
    QCOMPARE(SimFixture::bytesOf(sent), SimFixture::bytesOf(expected));
    // The list is not refreshed.
    QCOMPARE(SimFixture::countOf("TMV_NET_QueryPtzRegionScanInfo"), 0);

    m_fixture->click(m_page, "areaScanStartBtn");
    m_fixture->click(m_page, "areaScanStopBtn");
    const QList<QByteArray> control = SimFixture::argsOf("TMV_NET_PtzRegionScanControl");
    QCOMPARE(control.size(), 2);
    QCOMPARE(IntAt(control[0], 0), 5);
    QCOMPARE(control[0].mid(4), QByteArray(1, '\1'));
    QCOMPARE(control[1].mid(4), QByteArray(1, '\0'));
    QCOMPARE(m_boxes->count(), 0);
}

// Delete resets the direction, speed and gradient whatever the result, and
// relists.
void TestPtzLists::areaScanDeleteResetsAndRelists()
{
    StorePresets();
    const TMV_NET_REGION_SCAN_INFO second = Scan(2, -1, 4, 5, 3, 1.25f);
    QCOMPARE(TMV_NET_SetPtzRegionScanInfo(m_handle, &second), 0);
    m_fixture->click(m_page, "GetAllAreaScanBtn");
    m_fixture->combo(m_page, "areaScanCombo")->setCurrentIndex(1);
    m_fixture->click(m_page, "GetOneAreaScanBtn");
    SimFixture::clearJournal();
    SimFixture::fail("TMV_NET_DeletePtzRegionScanInfo", 1);

    m_fixture->click(m_page, "DeleteOneAreaScanBtn");
    QCOMPARE(m_boxes->count(), 1);
    ExpectBox(QStringLiteral("DeletePtzRegionScanInfo Failed!"));
    QCOMPARE(SimFixture::argsOf("TMV_NET_DeletePtzRegionScanInfo"), QList<QByteArray>{QByteArray::fromHex("02000000")});
    QVERIFY(m_fixture->child<QRadioButton>(m_page, "clockwiseBtn")->isChecked());
    QCOMPARE(m_fixture->edit(m_page, "areaScanSpeedEdit")->text(), QString());
    QCOMPARE(m_fixture->edit(m_page, "areaScanGradientEdit")->text(), QString());
    QCOMPARE(SimFixture::countOf("TMV_NET_QueryPtzRegionScanInfo"), 1);
    QCOMPARE(m_fixture->items(m_page, "areaScanCombo").size(), 8);

    // Through, the scan is gone from the device's list.
    m_fixture->combo(m_page, "areaScanCombo")->setCurrentIndex(1);
    m_fixture->click(m_page, "DeleteOneAreaScanBtn");
    QCOMPARE(m_boxes->count(), 1);
    QCOMPARE(int(m_page->AreaScanMap().value(2).enable), 0);
}

void TestPtzLists::areaScanDeleteAll_data()
{
    QTest::addColumn<bool>("listed");
    QTest::newRow("empty list: nothing sent") << false;
    QTest::newRow("every number listed") << true;
}

void TestPtzLists::areaScanDeleteAll()
{
    QFETCH(bool, listed);
    if (listed)
        m_fixture->click(m_page, "GetAllAreaScanBtn");
    m_fixture->edit(m_page, "areaScanSpeedEdit")->setText(QStringLiteral("3"));
    SimFixture::clearJournal();
    SimFixture::fail("TMV_NET_DeletePtzRegionScanInfo", 1, 2);

    m_fixture->click(m_page, "DeleteAllAreaScanBtn");
    if (!listed) {
        QCOMPARE(SimFixture::calls(), QStringList());
        QCOMPARE(m_boxes->count(), 0);
        QCOMPARE(m_fixture->edit(m_page, "areaScanSpeedEdit")->text(), QStringLiteral("3"));
        return;
    }
    // Each failure is reported and the rest still go.
    QCOMPARE(m_boxes->count(), 2);
    QList<QByteArray> expected;
    for (int id = 1; id <= 8; ++id)
        expected << QByteArray(reinterpret_cast<const char *>(&id), 4);
    QCOMPARE(SimFixture::argsOf("TMV_NET_DeletePtzRegionScanInfo"), expected);
    QCOMPARE(m_fixture->edit(m_page, "areaScanSpeedEdit")->text(), QString());
    QCOMPARE(SimFixture::countOf("TMV_NET_QueryPtzRegionScanInfo"), 1);
}

// ---- Boot and park actions ---------------------------------------------------------

// A radio button of either tab fills both number lists with what is
// configured; the line scans are fixed and the area scans leave the Area
// scan tab's map alone.
void TestPtzLists::listSlotsFillBothLists()
{
    StorePresets();
    const TMV_NET_REGION_SCAN_INFO scan = Scan(6, 1, 2, 3, 5, 0);
    QCOMPARE(TMV_NET_SetPtzRegionScanInfo(m_handle, &scan), 0);
    QCOMPARE(TMV_NET_PtzPatternControl(m_handle, 0, 2), 0);
    QCOMPARE(TMV_NET_PtzPatternControl(m_handle, 1, 2), 0);
    m_fixture->click(m_page, "GetAllAreaScanBtn");

    const struct
    {
        const char *radio;
        QStringList items;
    } cases[] = {
        {"parkPresetRadioBtn", {"3", "5"}},
        {"bootTourRadioBtn", {}},
        {"parkPatternRadioBtn", {"2"}},
        {"parkAreaScanRadioBtn", {"6"}},
        {"bootPresetRadioBtn", {"3", "5"}},
        {"bootAreaScanRadioBtn", {"6"}},
    };
    for (const auto &c : cases) {
        m_fixture->click(m_page, c.radio);
        QCOMPARE(m_fixture->items(m_page, "BootComboBox"), c.items);
        QCOMPARE(m_fixture->items(m_page, "parkComboBox"), c.items);
    }
    QCOMPARE(m_boxes->count(), 0);
    QCOMPARE(m_page->AreaScanMap().size(), 8);

    m_fixture->click(m_page, "bootAutoResetRadioBtn");
    QCOMPARE(m_fixture->items(m_page, "BootComboBox"), QStringList());
    QCOMPARE(m_fixture->items(m_page, "parkComboBox"), (QStringList{"6"}));
}

void TestPtzLists::bootAutoResetSendsPresetOne()
{
    m_fixture->check(m_page, "bootEnableCheckBox")->setChecked(true);
    m_fixture->click(m_page, "bootAutoResetRadioBtn");
    m_fixture->click(m_page, "bootConfirmBtn");

    QCOMPARE(m_boxes->count(), 0);
    TMV_NET_BOOT_ACTION_INFO expected;
    std::memset(&expected, 0, sizeof expected);
    expected.enable = 1;
    expected.type = 0;
    expected.preset = 1;
    QCOMPARE(SimFixture::lastInput("TMV_NET_SetPtzBootActionInfo").mid(sizeof(TMV_NET_HANDLE)),
             SimFixture::bytesOf(expected));
}

void TestPtzLists::emptyNumberRefused_data()
{
    QTest::addColumn<QString>("radio"); // empty: none checked
    QTest::addColumn<QString>("confirm");
    QTest::addColumn<QString>("set");

    QTest::newRow("boot preset") << "bootPresetRadioBtn" << "bootConfirmBtn" << "TMV_NET_SetPtzBootActionInfo";
    QTest::newRow("boot nothing checked") << "" << "bootConfirmBtn" << "TMV_NET_SetPtzBootActionInfo";
    QTest::newRow("park pattern") << "parkPatternRadioBtn" << "parkConfirmBtn" << "TMV_NET_SetPtzParkActionInfo";
    QTest::newRow("park nothing checked") << "" << "parkConfirmBtn" << "TMV_NET_SetPtzParkActionInfo";
}

void TestPtzLists::emptyNumberRefused()
{
    QFETCH(QString, radio);
    QFETCH(QString, confirm);
    QFETCH(QString, set);

    if (!radio.isEmpty())
        m_fixture->click(m_page, radio); // nothing stored: the list stays empty
    QCOMPARE(m_boxes->count(), 0);
    m_fixture->click(m_page, confirm);

    QCOMPARE(m_boxes->count(), 1);
    ExpectBox(QStringLiteral("Number is empty! Param Wrong!"));
    QCOMPARE(SimFixture::countOf(set.toLatin1().constData()), 0);
}

void TestPtzLists::confirmSendsCheckedAction()
{
    StorePresets();
    m_fixture->click(m_page, "bootPresetRadioBtn");
    m_fixture->combo(m_page, "BootComboBox")->setCurrentIndex(1);
    m_fixture->click(m_page, "bootConfirmBtn");
    QCOMPARE(m_boxes->count(), 0);
    const TMV_NET_BOOT_ACTION_INFO boot = SimFixture::lastRecord<TMV_NET_BOOT_ACTION_INFO>(
        "TMV_NET_SetPtzBootActionInfo");
    QCOMPARE(int(boot.enable), 0);
    QCOMPARE(boot.type, 1);
    QCOMPARE(boot.preset, 5);

    m_fixture->click(m_page, "parkPresetRadioBtn");
    m_fixture->combo(m_page, "parkComboBox")->setCurrentIndex(0);
    m_fixture->check(m_page, "parkEnableCheckBox")->setChecked(true);
    m_fixture->edit(m_page, "parkTimeEdit")->setText(QStringLiteral("30"));
    m_fixture->click(m_page, "parkConfirmBtn");
    QCOMPARE(m_boxes->count(), 0);
    const TMV_NET_PARK_ACTION_INFO park = SimFixture::lastRecord<TMV_NET_PARK_ACTION_INFO>(
        "TMV_NET_SetPtzParkActionInfo");
    QCOMPARE(int(park.enable), 1);
    QCOMPARE(park.type, 1);
    QCOMPARE(park.preset, 3);
    QCOMPARE(park.dwellTime, 30);

    // A dwell the device refuses is reported under the set's name.
    m_fixture->edit(m_page, "parkTimeEdit")->setText(QStringLiteral("none"));
    m_fixture->click(m_page, "parkConfirmBtn");
    ExpectBox(QStringLiteral("SetPtzParkActionInfo Param Wrong!"));
    QCOMPARE(SimFixture::lastRecord<TMV_NET_PARK_ACTION_INFO>("TMV_NET_SetPtzParkActionInfo").dwellTime, 0);
}

// Refresh checks the device's action, lists its numbers and selects the one
// in use, in the refreshed tab's list only.
void TestPtzLists::refreshShowsDeviceAction()
{
    StorePresets();
    TMV_NET_BOOT_ACTION_INFO boot;
    std::memset(&boot, 0, sizeof boot);
    boot.enable = 1;
    boot.type = 1;
    boot.preset = 3;
    QCOMPARE(TMV_NET_SetPtzBootActionInfo(m_handle, &boot), 0);
    TMV_NET_PARK_ACTION_INFO park;
    std::memset(&park, 0, sizeof park);
    park.enable = 1;
    park.type = 1;
    park.preset = 5;
    park.dwellTime = 45;
    QCOMPARE(TMV_NET_SetPtzParkActionInfo(m_handle, &park), 0);

    m_fixture->click(m_page, "bootRefreshBtn");
    QVERIFY(m_fixture->check(m_page, "bootEnableCheckBox")->isChecked());
    QVERIFY(m_fixture->child<QRadioButton>(m_page, "bootPresetRadioBtn")->isChecked());
    QCOMPARE(m_fixture->items(m_page, "BootComboBox"), (QStringList{"3", "5"}));
    QCOMPARE(m_fixture->combo(m_page, "BootComboBox")->currentText(), QStringLiteral("3"));

    m_fixture->click(m_page, "parkRefreshBtn");
    QVERIFY(m_fixture->child<QRadioButton>(m_page, "parkPresetRadioBtn")->isChecked());
    QCOMPARE(m_fixture->edit(m_page, "parkTimeEdit")->text(), QStringLiteral("45"));
    QCOMPARE(m_fixture->combo(m_page, "parkComboBox")->currentText(), QStringLiteral("5"));
    QCOMPARE(m_boxes->count(), 0);
}

// A line scan is shown on the disabled button, and the list is left alone.
void TestPtzLists::refreshedLineScanChecksDisabledButton()
{
    StorePresets();
    m_fixture->click(m_page, "bootPresetRadioBtn");
    TMV_NET_BOOT_ACTION_INFO boot;
    std::memset(&boot, 0, sizeof boot);
    boot.type = 4;
    boot.lineScan = 2;
    QCOMPARE(TMV_NET_SetPtzBootActionInfo(m_handle, &boot), 0);

    m_fixture->click(m_page, "bootRefreshBtn");
    QCOMPARE(m_boxes->count(), 0);
    QRadioButton *lineScan = m_fixture->child<QRadioButton>(m_page, "bootLineScanRadioBtn");
    QVERIFY(lineScan->isChecked());
    QVERIFY(!lineScan->isEnabled());
    QVERIFY(!m_fixture->check(m_page, "bootEnableCheckBox")->isChecked());
    QCOMPARE(m_fixture->items(m_page, "BootComboBox"), (QStringList{"3", "5"}));
}

// A failed refresh is reported and shows the zeroed record: the boot tab as
// auto reset, the park tab with its buttons and list as they were.
void TestPtzLists::failedRefreshShowsZeroedRecord()
{
    StorePresets();
    m_fixture->click(m_page, "parkPresetRadioBtn");
    m_fixture->check(m_page, "bootEnableCheckBox")->setChecked(true);
    m_fixture->check(m_page, "parkEnableCheckBox")->setChecked(true);
    m_fixture->edit(m_page, "parkTimeEdit")->setText(QStringLiteral("12"));
    SimFixture::fail("TMV_NET_QueryPtzBootActionInfo", 1);
    SimFixture::fail("TMV_NET_QueryPtzParkActionInfo", 1);

    m_fixture->click(m_page, "bootRefreshBtn");
    ExpectBox(QStringLiteral("QueryPtzBootActionInfo Failed!"));
    QVERIFY(!m_fixture->check(m_page, "bootEnableCheckBox")->isChecked());
    QVERIFY(m_fixture->child<QRadioButton>(m_page, "bootAutoResetRadioBtn")->isChecked());
    QCOMPARE(m_fixture->items(m_page, "BootComboBox"), QStringList());

    m_fixture->click(m_page, "parkRefreshBtn");
    ExpectBox(QStringLiteral("QueryPtzParkActionInfo Failed!"));
    QVERIFY(!m_fixture->check(m_page, "parkEnableCheckBox")->isChecked());
    QCOMPARE(m_fixture->edit(m_page, "parkTimeEdit")->text(), QStringLiteral("0"));
    QVERIFY(m_fixture->child<QRadioButton>(m_page, "parkPresetRadioBtn")->isChecked());
    QCOMPARE(m_fixture->items(m_page, "parkComboBox"), (QStringList{"3", "5"}));
    QCOMPARE(m_boxes->count(), 2);
}

QTEST_MAIN(TestPtzLists)
#include "tst_ptzlists.moc"
