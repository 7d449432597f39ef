// The "PTZ" page driven through its widgets: what it sends to the device
// (journal bytes), what it shows and the message boxes it raises.
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

#include <cstring>
#include <memory>

#include "app/MainWindow.h"
#include "ptz/PTZPage.h"
#include "ptz/PtzText.h"
#include "TestSupport.h"

namespace {

template <class T>
T Zeroed()
{
    T record;
    std::memset(&record, 0, sizeof record);
    return record;
}

QByteArray Int32(int32_t value)
{
    return SimFixture::bytesOf(value);
}

TMV_NET_PTZ_CONTROL Control(int channel, int command, int speed, int stop)
{
    TMV_NET_PTZ_CONTROL control = Zeroed<TMV_NET_PTZ_CONTROL>();
    control.channel = channel;
    control.command = command;
    control.speed = speed;
    control.stop = stop;
    return control;
}

} // namespace

class TestPtzPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void formHoldsEveryControl_data();
    void formHoldsEveryControl();
    void startState();

    // Motion and switches.
    void motionCommands_data();
    void motionCommands();
    void speedChangeWhileHeldWaitsForNextPress();
    void switchKeepsStateAfterFailure_data();
    void switchKeepsStateAfterFailure();
    void auxStateSendsNothing();

    // Ability and clearing.
    void controlsFollowAbility_data();
    void controlsFollowAbility();
    void panTiltGreysPageAndComesBack();
    void logoutClearsReadouts();

    // Positioning, tracking and status.
    void positioningSendsForm_data();
    void positioningSendsForm();
    void readFailuresKeepForm_data();
    void readFailuresKeepForm();
    void coordinatesShowHeadPosition();
    void coordinatesFailureReported();
    void laserDistanceShown();
    void runningStatusShown();
    void readBackShowsDevice();
    void togglesOnlySignal();
    void readoutTexts_data();
    void readoutTexts();
    void listRowOutsideListSelectsNone_data();
    void listRowOutsideListSelectsNone();

private:
    bool Login(const char *ip = SimFixture::kPtzCamera);
    // A second session on the device, to ask it what the page should show.
    TMV_NET_HANDLE Peer(const char *ip = SimFixture::kPtzCamera);
    void Press(const char *button) const { QTest::mousePress(m_fixture->button(m_page, button), Qt::LeftButton); }
    void Release(const char *button) const { QTest::mouseRelease(m_fixture->button(m_page, button), Qt::LeftButton); }
    void ExpectFailureBox(const QString &text) const;

    std::unique_ptr<PageFixture> m_fixture;
    MainWindow *m_window = nullptr;
    PTZPage *m_page = nullptr;
    ModalCatcher *m_boxes = nullptr;
    TMV_NET_HANDLE m_peer = nullptr;
};

void TestPtzPage::initTestCase()
{
    WarningGuard::install();
}

void TestPtzPage::cleanupTestCase()
{
    TMV_NET_Deinit();
}

void TestPtzPage::init()
{
    m_fixture.reset(new PageFixture);
    m_window = m_fixture->window();
    m_page = m_window->findChild<PTZPage *>();
    QVERIFY(m_page);
    m_boxes = &m_fixture->boxes();
    // The page on screen, as the user has it. Changing tabs before a login
    // asks a null handle for abilities, and the main window reports that.
    m_fixture->child<QTabWidget>("tabWidget")->setCurrentWidget(m_page);
    m_boxes->clear();
}

void TestPtzPage::cleanup()
{
    if (m_peer)
        TMV_NET_Logout(m_peer);
    m_fixture->verifyClean();
    m_fixture.reset();
    m_window = nullptr;
    m_page = nullptr;
    m_boxes = nullptr;
    m_peer = nullptr;
    SimFixture::clearFaults();
    SimFixture::resumeClock();
}

bool TestPtzPage::Login(const char *ip)
{
    const bool ok = m_fixture->login(ip);
    SimFixture::clearJournal();
    return ok;
}

TMV_NET_HANDLE TestPtzPage::Peer(const char *ip)
{
    if (!m_peer)
        m_peer = SimFixture::login(ip);
    return m_peer;
}

void TestPtzPage::ExpectFailureBox(const QString &text) const
{
    QCOMPARE(m_boxes->count(), 1);
    QCOMPARE(m_boxes->last().title, QStringLiteral("Error"));
    QCOMPARE(m_boxes->last().text, text);
}

// ---- Form ------------------------------------------------------------------

void TestPtzPage::formHoldsEveryControl_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<bool>("checkable");

    const struct
    {
        const char *name, *type, *text, *toolTip;
        bool checkable;
    } rows[] = {
        {"upBtn", "QPushButton", "Up", "", false},
        {"downBtn", "QPushButton", "Down", "", false},
        {"leftBtn", "QPushButton", "Left", "", false},
        {"rightBtn", "QPushButton", "Right", "", false},
        {"upLeftBtn", "QPushButton", "Up-left", "", false},
        {"upRightBtn", "QPushButton", "Up-right", "", false},
        {"downLeftBtn", "QPushButton", "Down-left", "", false},
        {"downRightBtn", "QPushButton", "Down-right", "", false},
        {"zoomInBtn", "QPushButton", "Zoom+", "ZoomIn", false},
        {"zoomOutBtn", "QPushButton", "Zoom-", "ZoomOut", false},
        {"focusFarBtn", "QPushButton", "Focus+", "FocusNear", false},
        {"focusNearBtn", "QPushButton", "Focus-", "FocusFar", false},
        {"irisOpenBtn", "QPushButton", "Iris+", "IrisClose", false},
        {"irisCloseBtn", "QPushButton", "Iris-", "IrisOpen", false},
        {"wiperBtn", "QPushButton", "Wiper", "", true},
        {"lightBtn", "QPushButton", "Light", "", true},
        {"defrostBtn", "QPushButton", "Defrost", "", true},
        {"fogLampBtn", "QPushButton", "Defog", "", true},
        {"heaterBtn", "QPushButton", "Heater", "", true},
        {"fanBtn", "QPushButton", "Fan", "", true},
        {"autoMaticBtn", "QPushButton", "Auto focus", "", true},
        {"arrowsBtn", "QPushButton", "Arrows", "", true},
        {"threeDimensionalBtn", "QPushButton", "3DPosition", "", true},
        {"regionFocusBtn", "QPushButton", "Region Focus", "", false},
        {"manualTrackBtn", "QPushButton", "Manual Track", "", true},
        {"resetBtn", "QPushButton", "Reset", "", false},
        {"lensInitBtn", "QPushButton", "LensInit", "", false},
        {"laserDistanceBtn", "QPushButton", "LaserDis", "", false},
        {"movingCheckBoxEnable", "QCheckBox", "Moving", "", true},
        {"getPtzStatusBtn", "QPushButton", "Get", "", false},
        {"getCoordinatesBtn", "QPushButton", "Get", "", false},
        // Preset, Cruise group, Patrol.
        {"presetGetAllBtn", "QPushButton", "Get all", "", false},
        {"presetDeleteAllBtn", "QPushButton", "Delete all", "", false},
        {"presetGetCurrentBtn", "QPushButton", "Get Present", "", false},
        {"saveBtn", "QPushButton", "Save", "", false},
        {"moveToBtn", "QPushButton", "Move to", "", false},
        {"deleteBtn", "QPushButton", "Delete", "", false},
        {"cruiseGetAllBtn", "QPushButton", "Get all", "", false},
        {"cruiseDeleteAllBtn", "QPushButton", "Delete all", "", false},
        {"addPresetBtn", "QPushButton", "Add preset", "", false},
        {"deletePresetBtn", "QPushButton", "Delete preset", "", false},
        {"cruiseSaveBtn", "QPushButton", "Save", "", false},
        {"cruiseDeleteBtn", "QPushButton", "Delete", "", false},
        {"cruiseStartBtn", "QPushButton", "Start", "", false},
        {"patrolGetAllBtn", "QPushButton", "Get all", "", false},
        {"patrolDeleteAllBtn", "QPushButton", "Delete all", "", false},
        {"startPatrolBtn", "QPushButton", "StartPatrol", "", false},
        {"startRecordBtn", "QPushButton", "StartRecord", "", false},
        // Other.
        {"setBtn", "QPushButton", "Set", "", false},
        {"setATBtn", "QPushButton", "Set", "", false},
        {"getBearingBtn", "QPushButton", "Get", "", false},
        {"getZoomBtn", "QPushButton", "Get", "", false},
        {"setZoomBtn", "QPushButton", "Set", "", false},
        // Area scan, Boot action, Park action.
        {"GetAllAreaScanBtn", "QPushButton", "GetAll", "", false},
        {"DeleteAllAreaScanBtn", "QPushButton", "DeleteAll", "", false},
        {"GetOneAreaScanBtn", "QPushButton", "Get", "", false},
        {"DeleteOneAreaScanBtn", "QPushButton", "Delete", "", false},
        {"clockwiseBtn", "QRadioButton", "Clockwise", "", true},
        {"counterClockWiseBtn", "QRadioButton", "Counterclockwise", "", true},
        {"SetAreaScanInfoBtn", "QPushButton", "Set", "", false},
        {"areaScanStartBtn", "QPushButton", "Start", "", false},
        {"areaScanStopBtn", "QPushButton", "Stop", "", false},
        {"bootEnableCheckBox", "QCheckBox", "Enable", "", true},
        {"bootPresetRadioBtn", "QRadioButton", "Preset", "", true},
        {"bootTourRadioBtn", "QRadioButton", "Tour", "", true},
        {"bootPatternRadioBtn", "QRadioButton", "Pattern", "", true},
        {"bootAreaScanRadioBtn", "QRadioButton", "Area Scan", "", true},
        {"bootLineScanRadioBtn", "QRadioButton", "Line Scan", "", true},
        {"bootAutoResetRadioBtn", "QRadioButton", "Auto Reset", "", true},
        {"bootRefreshBtn", "QPushButton", "Refresh", "", false},
        {"bootConfirmBtn", "QPushButton", "Confirm", "", false},
        {"parkEnableCheckBox", "QCheckBox", "Enable", "", true},
        {"parkLineScanRadioBtn", "QRadioButton", "Line Scan", "", true},
        {"parkPatternRadioBtn", "QRadioButton", "Pattern", "", true},
        {"parkAreaScanRadioBtn", "QRadioButton", "Area Scan", "", true},
        {"parkPresetRadioBtn", "QRadioButton", "Preset", "", true},
        {"parkTourRadioBtn", "QRadioButton", "Tour", "", true},
        {"parkRefreshBtn", "QPushButton", "Refresh", "", false},
        {"parkConfirmBtn", "QPushButton", "Confirm", "", false},
        // Track, Maintenance.
        {"trackCheckBoxEnable", "QCheckBox", "Enable", "", true},
        {"snapCheckBoxEnable", "QCheckBox", "Enable", "", true},
        {"snapChn1Box", "QCheckBox", "1", "", true},
        {"snapChn2Box", "QCheckBox", "2", "", true},
        {"recordCheckBoxEnable", "QCheckBox", "Enable", "", true},
        {"recordChn1Box", "QCheckBox", "1", "", true},
        {"recordChn2Box", "QCheckBox", "2", "", true},
        {"targetConfigGetBtn", "QPushButton", "Get", "", false},
        {"targetConfigSetBtn", "QPushButton", "Set", "", false},
        {"powerOffCheckBoxEnable", "QCheckBox", "Power0-off Memory", "", true},
        {"powerOffGetBtn", "QPushButton", "Get", "", false},
        {"powerOffSetBtn", "QPushButton", "Set", "", false},
    };
    for (const auto &row : rows)
        QTest::newRow(row.name) << row.name << row.type << row.text << row.toolTip << row.checkable;

    const char *edits[] = {"taskIdEdit",        "startTimeEdit",     "panEdit",           "tiltEdit",
                           "visFovEdit",        "irFovEdit",         "visZoomEdit",       "irZoomEdit",
                           "presetNameEdit",    "cruiseNameEdit",    "angleXEdit",        "angleYEdit",
                           "angleZEdit",        "anglePEdit",        "angleTEdit",        "angleRTEdit",
                           "accelerationXEdit", "accelerationYEdit", "accelerationZEdit", "rotationXEdit",
                           "rotationYEdit",     "rotationZEdit",     "zoomMultEdit",      "areaScanSpeedEdit",
                           "areaScanGradientEdit", "parkTimeEdit",   "powerOffIntervalEdit"};
    for (const char *edit : edits)
        QTest::newRow(edit) << edit << "QLineEdit" << "" << "" << false;
    for (const char *combo : {"speedCombo", "taskCombo", "triggerCombo", "presetCombo", "cruiseCombo", "patrolCombo",
                              "areaScanCombo", "startPresetCombo", "stopPresetCombo", "BootComboBox", "parkComboBox"})
        QTest::newRow(combo) << combo << "QComboBox" << "" << "" << false;
}

void TestPtzPage::formHoldsEveryControl()
{
    QFETCH(QString, name);
    QFETCH(QString, type);
    QFETCH(QString, text);
    QFETCH(QString, toolTip);
    QFETCH(bool, checkable);

    QWidget *widget = m_page->findChild<QWidget *>(name);
    QVERIFY2(widget, qPrintable(name));
    QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), type);
    QCOMPARE(widget->toolTip(), toolTip);
    if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
        QCOMPARE(button->text(), text);
        QCOMPARE(button->isCheckable(), checkable);
        // Clockwise is the area-scan default; nothing else starts checked.
        if (name != QLatin1String("clockwiseBtn"))
            QVERIFY(!button->isChecked());
        QVERIFY(!button->autoRepeat());
    }
}

void TestPtzPage::startState()
{
    QScrollArea *scroll = m_fixture->child<QScrollArea>(m_page, "scrollArea");
    for (const char *panel : {"widget", "widget_7", "widget_6", "widget_2"})
        QVERIFY2(scroll->isAncestorOf(m_fixture->child<QWidget>(m_page, panel)), panel);

    QTabWidget *tabs = m_fixture->child<QTabWidget>(m_page, "tabWidget");
    QVERIFY(m_fixture->child<QWidget>(m_page, "widget_2")->isAncestorOf(tabs));
    const QStringList titles{"Preset",     "Cruise group", "Patrol", "Other",      "Area scan",
                             "Boot action", "Park action", "Track",  "Maintenance"};
    const QStringList pages{"tab_3", "tab_4", "tab_5", "tab_6", "tab", "tab_2", "tab_7", "tab_8", "tab_9"};
    QCOMPARE(tabs->count(), titles.size());
    for (int i = 0; i < tabs->count(); ++i) {
        QCOMPARE(tabs->tabText(i), titles.at(i));
        QCOMPARE(tabs->widget(i)->objectName(), pages.at(i));
    }
    QCOMPARE(tabs->currentIndex(), 0);

    QCOMPARE(m_fixture->items(m_page, "speedCombo"), (QStringList{"1", "2", "3", "4", "5", "6", "7", "8"}));
    QCOMPARE(m_fixture->combo(m_page, "speedCombo")->currentIndex(), 0);
    QCOMPARE(m_fixture->items(m_page, "taskCombo"),
             (QStringList{"Idle Task", "Cruise", "Track", "Linear Scan", "Area Scan", "Horizontal Rotation",
                          "Single Target Tracking", "Fire Point Tracking", "Smoke Tracking",
                          "Optoelectronic Linkage Tracking", "Integrated Cruise to Preset"}));
    QCOMPARE(m_fixture->items(m_page, "triggerCombo"),
             (QStringList{"Manual", "Alarm Triggered", "Scheduled Task", "Startup Action", "Idle Action",
                          "Integrated Cruise"}));

    const struct
    {
        const char *name;
        int minimum, maximum;
    } spins[] = {{"pSpinBox", 0, 36000},      {"tSpinBox", -9000, 9000},   {"zSpinBox", 0, 16384},
                 {"psSpinBox", -9000, 9000},  {"tsSpinBox", 0, 36000},     {"derectionSpinBox", 0, 16384}};
    for (const auto &spin : spins) {
        QSpinBox *box = m_fixture->child<QSpinBox>(m_page, spin.name);
        QCOMPARE(box->minimum(), spin.minimum);
        QCOMPARE(box->maximum(), spin.maximum);
        QCOMPARE(box->value(), 0);
    }

    QTableWidget *table = m_fixture->child<QTableWidget>(m_page, "tableWidget");
    QCOMPARE(table->columnCount(), 2);
    QCOMPARE(table->horizontalHeaderItem(0)->text(), QStringLiteral("Preset"));
    QCOMPARE(table->horizontalHeaderItem(1)->text(), QStringLiteral("residenceTime(s)"));
    QCOMPARE(table->rowCount(), 0);
    QVERIFY(table->verticalHeader()->isHidden());

    QVERIFY(!m_fixture->button(m_page, "bootLineScanRadioBtn")->isEnabled());
    QVERIFY(!m_fixture->button(m_page, "parkLineScanRadioBtn")->isEnabled());

    // Labels whose texts are easy to get wrong.
    QStringList labels;
    for (QLabel *label : m_page->findChildren<QLabel *>())
        labels << label->text();
    for (const char *text : {"Speed(1-8)", "Ptz Status", "Ptz Coordinates", "Task", "Task ID", "Trigger",
                             "StartTime", "VIS FOVs", "IR FOVs", "VIS Mutiplier", "IR  Mutiplier", "P(0~36000)",
                             "T(-9000~9000)", "Z(0~16384)", "PS(/s,0~655.35)", "TS(/s,0~655.35)", "Derection(0~1)",
                             "RotationRate", "Acceleration", "Angle", "Number", "Derection", "StartPresetId",
                             "StopPresetId", "Number:", "DWell Time", "S", "Linkage", "Snapshot", "Record",
                             "Time Interval", "1000-30000ms", "Cruise ID", "Patrol ID"})
        QVERIFY2(labels.contains(QString::fromUtf8(text)), text);
}

// ---- Motion and switches -----------------------------------------------------

void TestPtzPage::motionCommands_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("release");
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("stop");
    QTest::addColumn<int>("speed");
    QTest::addColumn<QString>("operation");

    // Speed 5 is chosen in the test; only the direction commands carry it.
    const struct
    {
        const char *button;
        bool release;
        int command, stop, speed;
        const char *operation;
    } rows[] = {
        {"upBtn", false, 0, 0, 5, "PTZ control"},
        {"downBtn", false, 1, 0, 5, "PTZ control"},
        {"leftBtn", false, 2, 0, 5, "PTZ control "},
        {"rightBtn", false, 3, 0, 5, "PTZ control "},
        {"upLeftBtn", false, 4, 0, 5, "PTZ control "},
        {"upRightBtn", false, 5, 0, 5, "PTZ control "},
        {"downLeftBtn", false, 6, 0, 5, "PTZ control "},
        {"downRightBtn", false, 7, 0, 5, "PTZ control "},
        // Any direction's release stops with command 0, not its own command.
        {"upBtn", true, 0, 1, 5, "PTZ control  "},
        {"rightBtn", true, 0, 1, 5, "PTZ control  "},
        {"downRightBtn", true, 0, 1, 5, "PTZ control  "},
        {"zoomOutBtn", false, 8, 0, 0, "PTZ control "},
        {"zoomOutBtn", true, 8, 1, 0, "PTZ control"},
        {"zoomInBtn", false, 9, 0, 0, "PTZ control "},
        {"zoomInBtn", true, 9, 1, 0, "PTZ control"},
        {"focusNearBtn", false, 10, 0, 0, "PTZ control "},
        {"focusNearBtn", true, 10, 1, 0, "PTZ control"},
        {"focusFarBtn", false, 11, 0, 0, "PTZ control "},
        {"focusFarBtn", true, 11, 1, 0, "PTZ control"},
        {"irisCloseBtn", false, 12, 0, 0, "PTZ control"},
        {"irisCloseBtn", true, 12, 1, 0, "PTZ control"},
        {"irisOpenBtn", false, 13, 0, 0, "PTZ control"},
        {"irisOpenBtn", true, 13, 1, 0, "PTZ control"},
    };
    for (const auto &row : rows)
        QTest::addRow("%s %s", row.button, row.release ? "release" : "press")
            << row.button << row.release << row.command << row.stop << row.speed << row.operation;
}

void TestPtzPage::motionCommands()
{
    QFETCH(QString, button);
    QFETCH(bool, release);
    QFETCH(int, command);
    QFETCH(int, stop);
    QFETCH(int, speed);
    QFETCH(QString, operation);
    const QByteArray name = button.toLatin1();

    QVERIFY(Login());
    // Channel 2 is live: every command names the main window's channel.
    m_fixture->click("onlineChannel1RadioBtn");
    m_fixture->combo(m_page, "speedCombo")->setCurrentIndex(4);
    if (release)
        Press(name);
    SimFixture::clearJournal();
    m_boxes->clear();

    // The journal keeps the bytes of a call that fails.
    SimFixture::fail("TMV_NET_PtzControl", 1);
    if (release)
        Release(name);
    else
        Press(name);

    QCOMPARE(SimFixture::countOf("TMV_NET_PtzControl"), 1);
    QCOMPARE(SimFixture::argsOf("TMV_NET_PtzControl").last(),
             SimFixture::bytesOf(Control(1, command, speed, stop)));
    ExpectFailureBox(operation + QStringLiteral(" Failed!"));
    if (!release)
        Release(name);
}

void TestPtzPage::speedChangeWhileHeldWaitsForNextPress()
{
    QVERIFY(Login());
    QComboBox *speed = m_fixture->combo(m_page, "speedCombo");
    speed->setCurrentIndex(2);
    Press("leftBtn");
    speed->setCurrentIndex(6);
    QCOMPARE(SimFixture::countOf("TMV_NET_PtzControl"), 1);
    QCOMPARE(SimFixture::argsOf("TMV_NET_PtzControl").last(), SimFixture::bytesOf(Control(0, 2, 3, 0)));

    Release("leftBtn");
    Press("upBtn");
    Release("upBtn");
    const QList<QByteArray> sent = SimFixture::argsOf("TMV_NET_PtzControl");
    QCOMPARE(sent.size(), 4);
    QCOMPARE(sent.at(1), SimFixture::bytesOf(Control(0, 0, 7, 1)));
    QCOMPARE(sent.at(2), SimFixture::bytesOf(Control(0, 0, 7, 0)));
    QCOMPARE(sent.at(3), SimFixture::bytesOf(Control(0, 0, 7, 1)));
    QCOMPARE(m_boxes->count(), 0);
}

void TestPtzPage::switchKeepsStateAfterFailure_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("onName");
    QTest::addColumn<QString>("offName");

    QTest::newRow("wiper") << "wiperBtn" << 14 << "PTZ Wiper control" << "PTZ Wiper control";
    QTest::newRow("light") << "lightBtn" << 15 << "PTZ Light control" << "PTZ Light control";
    QTest::newRow("defrost") << "defrostBtn" << 16 << "PTZ Deforst control" << "PTZ Deforst control";
    QTest::newRow("defog") << "fogLampBtn" << 17 << "PTZ Defog control" << "PTZ Defog control";
    QTest::newRow("fan") << "fanBtn" << 18 << "PTZ Fan control" << "PTZ Fan control";
    QTest::newRow("heater") << "heaterBtn" << 19 << "PTZ Hearter control" << "PTZ Hearter control";
    QTest::newRow("auto focus") << "autoMaticBtn" << 20 << "PTZ AutoFocus control" << "PTZ AutoFocus control";
    QTest::newRow("arrows") << "arrowsBtn" << 21 << "PTZ  arrow control" << "PTZ arrow control";
}

void TestPtzPage::switchKeepsStateAfterFailure()
{
    QFETCH(QString, button);
    QFETCH(int, command);
    QFETCH(QString, onName);
    QFETCH(QString, offName);
    const QByteArray name = button.toLatin1();
    QAbstractButton *toggle = m_fixture->button(m_page, name);

    QVERIFY(Login());
    toggle->setChecked(false);
    // Switching on fails: the button stays on all the same.
    SimFixture::fail("TMV_NET_PtzControl", 1);
    m_fixture->click(name);
    QVERIFY(toggle->isChecked());
    QCOMPARE(SimFixture::argsOf("TMV_NET_PtzControl").last(), SimFixture::bytesOf(Control(0, command, 0, 0)));
    ExpectFailureBox(onName + QStringLiteral(" Failed!"));

    // The next click asks for off, and its failure names the off operation.
    m_boxes->clear();
    SimFixture::fail("TMV_NET_PtzControl", 3);
    m_fixture->click(name);
    QVERIFY(!toggle->isChecked());
    QCOMPARE(SimFixture::argsOf("TMV_NET_PtzControl").last(), SimFixture::bytesOf(Control(0, command, 0, 1)));
    ExpectFailureBox(offName + QStringLiteral(" Param Wrong!"));

    // A device that accepts shows nothing.
    m_boxes->clear();
    m_fixture->click(name);
    QVERIFY(toggle->isChecked());
    QCOMPARE(SimFixture::countOf("TMV_NET_PtzControl"), 3);
    QCOMPARE(m_boxes->count(), 0);
}

void TestPtzPage::auxStateSendsNothing()
{
    QVERIFY(Login());
    const char *switches[] = {"wiperBtn", "lightBtn", "defrostBtn", "fogLampBtn",
                              "fanBtn",   "heaterBtn", "autoMaticBtn", "arrowsBtn"};
    for (const char *name : switches)
        m_fixture->button(m_page, name)->setChecked(true);

    // A channel change refreshes ability and auxiliary state.
    m_fixture->click("onlineChannel1RadioBtn");
    QCOMPARE(SimFixture::countOf("TMV_NET_GetPtzAuxState"), 1);
    QCOMPARE(SimFixture::countOf("TMV_NET_PtzControl"), 0);
    const TMV_NET_PTZ_AUX_STATE &state = m_window->AuxState();
    const int32_t states[] = {state.wiper, state.light,  state.defrost,   state.defog,
                              state.fan,   state.heater, state.autoFocus, state.arrows};
    for (int i = 0; i < 8; ++i)
        QVERIFY2(m_fixture->button(m_page, switches[i])->isChecked() == (states[i] != 0), switches[i]);
    QCOMPARE(m_boxes->count(), 0);
}

// ---- Ability and clearing ----------------------------------------------------

void TestPtzPage::controlsFollowAbility_data()
{
    QTest::addColumn<QString>("ip");
    QTest::newRow("ptz camera") << SimFixture::kPtzCamera;
    QTest::newRow("fixed camera") << SimFixture::kFixedCamera;
    QTest::newRow("panoramic camera") << SimFixture::kPanoramicCamera;
}

void TestPtzPage::controlsFollowAbility()
{
    QFETCH(QString, ip);
    QVERIFY(Login(qPrintable(ip)));
    const TMV_NET_DEV_ABILITY &a = m_window->Ability();
    const bool panTilt = a.panTilt != 0;

    const struct
    {
        const char *name;
        int32_t flag;
    } controls[] = {
        {"zoomInBtn", a.zoom},          {"zoomOutBtn", a.zoom},
        {"focusFarBtn", a.focus},       {"focusNearBtn", a.focus},
        {"irisCloseBtn", a.iris},       {"irisOpenBtn", a.iris},
        {"wiperBtn", a.wiper},          {"lightBtn", a.light},
        {"defrostBtn", a.defrost},      {"fogLampBtn", a.defog},
        {"fanBtn", a.fan},              {"heaterBtn", a.heater},
        {"autoMaticBtn", a.autoFocus},  {"arrowsBtn", a.arrows},
        {"setBtn", a.accuratePosition}, {"threeDimensionalBtn", a.position3D},
        {"regionFocusBtn", a.regionFocus}, {"manualTrackBtn", a.manualTrack},
        {"lensInitBtn", a.lensInit},    {"laserDistanceBtn", a.laserDistance},
        {"resetBtn", a.reset},          {"upBtn", a.panTilt},
        {"downRightBtn", a.panTilt},    {"speedCombo", a.panTilt},
        {"widget_2", a.panTilt},        {"presetGetAllBtn", a.panTilt},
        {"getCoordinatesBtn", a.panTilt},
    };
    // Without pan and tilt the whole page is grey, whatever the other flags.
    QCOMPARE(m_fixture->child<QScrollArea>(m_page, "scrollArea")->isEnabled(), panTilt);
    for (const auto &control : controls)
        QVERIFY2(m_fixture->child<QWidget>(m_page, control.name)->isEnabled() == (panTilt && control.flag != 0),
                 control.name);
}

void TestPtzPage::panTiltGreysPageAndComesBack()
{
    QVERIFY(Login(SimFixture::kFixedCamera));
    QVERIFY(m_window->Ability().panTilt == 0);
    QVERIFY(!m_fixture->child<QScrollArea>(m_page, "scrollArea")->isEnabled());
    QVERIFY(!m_fixture->child<QTabWidget>(m_page, "tabWidget")->isEnabled());
    QVERIFY(!m_fixture->button(m_page, "getPtzStatusBtn")->isEnabled());

    // Log out and in to a device with a head: the page is usable again.
    m_fixture->click("loginBtn");
    QVERIFY(!m_fixture->loggedIn());
    QVERIFY(Login(SimFixture::kPtzCamera));
    QVERIFY(m_window->Ability().panTilt != 0);
    QVERIFY(m_fixture->child<QScrollArea>(m_page, "scrollArea")->isEnabled());
    QVERIFY(m_fixture->child<QTabWidget>(m_page, "tabWidget")->isEnabled());
    for (const char *name : {"upBtn", "getPtzStatusBtn", "presetGetAllBtn", "powerOffSetBtn", "getBearingBtn"})
        QVERIFY2(m_fixture->button(m_page, name)->isEnabled(), name);
}

void TestPtzPage::logoutClearsReadouts()
{
    QVERIFY(Login());
    const char *cleared[] = {"panEdit",          "tiltEdit",          "visZoomEdit",       "irZoomEdit",
                             "visFovEdit",       "irFovEdit",         "zoomMultEdit",      "angleXEdit",
                             "angleYEdit",       "angleZEdit",        "anglePEdit",        "angleTEdit",
                             "angleRTEdit",      "accelerationXEdit", "accelerationYEdit", "accelerationZEdit",
                             "rotationXEdit",    "rotationYEdit",     "rotationZEdit",     "presetNameEdit",
                             "cruiseNameEdit"};
    for (const char *name : cleared)
        m_fixture->edit(m_page, name)->setText(QStringLiteral("12.5"));
    for (const char *name : {"presetCombo", "cruiseCombo", "patrolCombo"})
        m_fixture->combo(m_page, name)->addItem(QStringLiteral("3*"));
    m_fixture->child<QTableWidget>(m_page, "tableWidget")->setRowCount(2);
    for (const char *name : {"pSpinBox", "tSpinBox", "zSpinBox", "psSpinBox"})
        m_fixture->child<QSpinBox>(m_page, name)->setValue(100);
    m_fixture->edit(m_page, "taskIdEdit")->setText(QStringLiteral("7"));
    m_fixture->edit(m_page, "areaScanSpeedEdit")->setText(QStringLiteral("9"));
    m_fixture->button(m_page, "powerOffCheckBoxEnable")->setChecked(true);
    m_fixture->edit(m_page, "powerOffIntervalEdit")->setText(QStringLiteral("2000"));

    m_fixture->click("loginBtn");
    QVERIFY(!m_fixture->loggedIn());
    for (const char *name : cleared)
        QVERIFY2(m_fixture->edit(m_page, name)->text().isEmpty(), name);
    for (const char *name : {"presetCombo", "cruiseCombo", "patrolCombo"})
        QVERIFY2(m_fixture->combo(m_page, name)->count() == 0, name);
    QCOMPARE(m_fixture->child<QTableWidget>(m_page, "tableWidget")->rowCount(), 0);
    for (const char *name : {"pSpinBox", "tSpinBox", "zSpinBox"})
        QVERIFY2(m_fixture->child<QSpinBox>(m_page, name)->value() == 0, name);
    // The track spin boxes, status, area-scan and power-off fields stay.
    QCOMPARE(m_fixture->child<QSpinBox>(m_page, "psSpinBox")->value(), 100);
    QCOMPARE(m_fixture->edit(m_page, "taskIdEdit")->text(), QStringLiteral("7"));
    QCOMPARE(m_fixture->edit(m_page, "areaScanSpeedEdit")->text(), QStringLiteral("9"));
    QVERIFY(m_fixture->button(m_page, "powerOffCheckBoxEnable")->isChecked());
    QCOMPARE(m_fixture->edit(m_page, "powerOffIntervalEdit")->text(), QStringLiteral("2000"));
    QCOMPARE(m_boxes->count(), 0);
}

// ---- Positioning, tracking and status ----------------------------------------

void TestPtzPage::positioningSendsForm_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("function");
    QTest::addColumn<QByteArray>("args");
    QTest::addColumn<QString>("operation");

    // The form as the test fills it, on the live channel 2 (1).
    TMV_NET_PTZ_POSITION position = Zeroed<TMV_NET_PTZ_POSITION>();
    position.pan = 36000.0f;
    position.tilt = -9000.0f;
    position.zoom = 16384.0f;
    TMV_NET_PTZ_TRACKING_POSITION tracking = Zeroed<TMV_NET_PTZ_TRACKING_POSITION>();
    tracking.panSpeed = -9000.0f;
    tracking.tiltSpeed = 36000.0f;
    tracking.direction = 1;
    TMV_NET_TARGET_TRACK_CONFIG track = Zeroed<TMV_NET_TARGET_TRACK_CONFIG>();
    track.enable = 1;
    track.snapLinkage.channels[1] = 1;
    track.recordLinkage.enable = 1;
    track.recordLinkage.channels[0] = 1;
    TMV_NET_PTZ_POWER_OFF_CONFIG powerOff = Zeroed<TMV_NET_PTZ_POWER_OFF_CONFIG>();
    powerOff.enable = 1;
    powerOff.interval = 45000;

    QTest::newRow("reset") << "resetBtn" << "TMV_NET_ResetPtzConfig" << QByteArray() << "ResetPTZ";
    QTest::newRow("lens init") << "lensInitBtn" << "TMV_NET_PtzLensInit" << Int32(1) << "LensInit";
    QTest::newRow("accurate position") << "setBtn" << "TMV_NET_PtzPosition" << SimFixture::bytesOf(position)
                                       << "SetPotion";
    QTest::newRow("accurate track") << "setATBtn" << "TMV_NET_PtzTrackingPosition"
                                    << SimFixture::bytesOf(tracking) << "SetTrackingPosition";
    QTest::newRow("zoom multiplier") << "setZoomBtn" << "TMV_NET_SetPtzZoomMultiplier"
                                     << Int32(1) + SimFixture::bytesOf(2.5f) << "SetPtzZoomMultiplier";
    QTest::newRow("target track") << "targetConfigSetBtn" << "TMV_NET_SetTargetTrackConfig"
                                  << Int32(1) + SimFixture::bytesOf(track) << "SetTargetTrackConfig";
    // The interval goes as typed: the device judges its range.
    QTest::newRow("power-off memory") << "powerOffSetBtn" << "TMV_NET_SetPtzPowerOffConfig"
                                      << SimFixture::bytesOf(powerOff) << "SetPtzPowerOffConfig";
}

void TestPtzPage::positioningSendsForm()
{
    QFETCH(QString, button);
    QFETCH(QString, function);
    QFETCH(QByteArray, args);
    QFETCH(QString, operation);

    QVERIFY(Login());
    m_fixture->click("onlineChannel1RadioBtn");
    SimFixture::clearJournal();
    m_fixture->child<QSpinBox>(m_page, "pSpinBox")->setValue(36000);
    m_fixture->child<QSpinBox>(m_page, "tSpinBox")->setValue(-9000);
    m_fixture->child<QSpinBox>(m_page, "zSpinBox")->setValue(16384);
    m_fixture->child<QSpinBox>(m_page, "psSpinBox")->setValue(-9000);
    m_fixture->child<QSpinBox>(m_page, "tsSpinBox")->setValue(36000);
    m_fixture->child<QSpinBox>(m_page, "derectionSpinBox")->setValue(1);
    m_fixture->edit(m_page, "zoomMultEdit")->setText(QStringLiteral("2.5"));
    for (const char *box : {"trackCheckBoxEnable", "snapChn2Box", "recordCheckBoxEnable", "recordChn1Box"})
        m_fixture->button(m_page, box)->setChecked(true);
    m_fixture->button(m_page, "powerOffCheckBoxEnable")->setChecked(true);
    m_fixture->edit(m_page, "powerOffIntervalEdit")->setText(QStringLiteral("45000"));

    const QByteArray fn = function.toLatin1();
    SimFixture::fail(fn.constData(), 1);
    m_fixture->click(qPrintable(button));
    QCOMPARE(SimFixture::argsOf(fn.constData()), QList<QByteArray>{args});
    ExpectFailureBox(operation + QStringLiteral(" Failed!"));
}

void TestPtzPage::readFailuresKeepForm_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("operation");

    QTest::newRow("laser distance") << "laserDistanceBtn" << "TMV_NET_GetLaserDistance" << "LaserDistance";
    QTest::newRow("zoom multiplier") << "getZoomBtn" << "TMV_NET_GetPtzZoomMultiplier" << "GetPtzZoomMultiplier";
    QTest::newRow("target track") << "targetConfigGetBtn" << "TMV_NET_GetTargetTrackConfig"
                                  << "GetTargetTrackConfig";
    QTest::newRow("bearing") << "getBearingBtn" << "TMV_NET_GetAccelerationData" << "GetAccelerationData";
    QTest::newRow("power-off memory") << "powerOffGetBtn" << "TMV_NET_GetPtzPowerOffConfig"
                                      << "GetPtzPowerOffConfig";
    QTest::newRow("running status") << "getPtzStatusBtn" << "TMV_NET_GetPtzRunningStatus" << "GetPtzRunningStatus";
}

void TestPtzPage::readFailuresKeepForm()
{
    QFETCH(QString, button);
    QFETCH(QString, function);
    QFETCH(QString, operation);

    QVERIFY(Login());
    const char *edits[] = {"zoomMultEdit", "angleXEdit", "rotationZEdit", "powerOffIntervalEdit", "taskIdEdit",
                           "startTimeEdit"};
    for (const char *name : edits)
        m_fixture->edit(m_page, name)->setText(QStringLiteral("old"));
    for (const char *box : {"trackCheckBoxEnable", "snapChn1Box", "powerOffCheckBoxEnable", "movingCheckBoxEnable"})
        m_fixture->button(m_page, box)->setChecked(true);
    m_fixture->combo(m_page, "taskCombo")->setCurrentIndex(3);

    const QByteArray fn = function.toLatin1();
    SimFixture::fail(fn.constData(), 1);
    m_fixture->click(qPrintable(button));
    QCOMPARE(SimFixture::countOf(fn.constData()), 1);
    ExpectFailureBox(operation + QStringLiteral(" Failed!"));
    for (const char *name : edits)
        QVERIFY2(m_fixture->edit(m_page, name)->text() == QLatin1String("old"), name);
    for (const char *box : {"trackCheckBoxEnable", "snapChn1Box", "powerOffCheckBoxEnable", "movingCheckBoxEnable"})
        QVERIFY2(m_fixture->button(m_page, box)->isChecked(), box);
    QCOMPARE(m_fixture->combo(m_page, "taskCombo")->currentIndex(), 3);
}

void TestPtzPage::coordinatesShowHeadPosition()
{
    QVERIFY(Login());
    // Turn the head and zoom in a little, so that nothing reads 0.
    SimFixture::pauseClock();
    Press("upRightBtn");
    SimFixture::stepClock(1500);
    Release("upRightBtn");
    Press("zoomInBtn");
    SimFixture::stepClock(1500);
    Release("zoomInBtn");

    m_fixture->click("getCoordinatesBtn");
    QCOMPARE(m_boxes->count(), 0);
    TMV_NET_CURRENT_PTZ_INFO info = Zeroed<TMV_NET_CURRENT_PTZ_INFO>();
    QCOMPARE(TMV_NET_GetCurrentPtz_V1(Peer(), &info), 0);
    QVERIFY(info.pan != 0.0f);

    const auto fixed = [](float value) { return QString::number(double(value), 'f', 2); };
    QCOMPARE(m_fixture->edit(m_page, "panEdit")->text(), fixed(info.pan));
    QCOMPARE(m_fixture->edit(m_page, "tiltEdit")->text(), fixed(info.tilt));
    QCOMPARE(m_fixture->edit(m_page, "visZoomEdit")->text(), fixed(info.visZoom));
    QCOMPARE(m_fixture->edit(m_page, "irZoomEdit")->text(), fixed(info.irZoom));
    QCOMPARE(m_fixture->edit(m_page, "visFovEdit")->text(), "H " + fixed(info.visFovH) + " V " + fixed(info.visFovV));
    QCOMPARE(m_fixture->edit(m_page, "irFovEdit")->text(), "H " + fixed(info.irFovH) + " V " + fixed(info.irFovV));
}

void TestPtzPage::coordinatesFailureReported()
{
    QVERIFY(Login());
    m_fixture->edit(m_page, "panEdit")->setText(QStringLiteral("old"));
    SimFixture::fail("TMV_NET_GetCurrentPtz_V1", 3);
    m_fixture->click("getCoordinatesBtn");
    ExpectFailureBox(QStringLiteral("GetCurrentPtz Param Wrong!"));
    QCOMPARE(m_fixture->edit(m_page, "panEdit")->text(), QStringLiteral("old"));
    QCOMPARE(m_fixture->edit(m_page, "visFovEdit")->text(), QString());
}

void TestPtzPage::laserDistanceShown()
{
    QVERIFY(Login());
    SimFixture::pauseClock();
    int32_t distance = -1;
    QCOMPARE(TMV_NET_GetLaserDistance(Peer(), &distance), 0);
    m_fixture->click("laserDistanceBtn");
    QCOMPARE(m_boxes->count(), 1);
    QCOMPARE(m_boxes->last().title, QString());
    // The distance is the device's own reading, which may differ from call
    // to call: the text is what is pinned.
    QVERIFY2(QRegularExpression(QStringLiteral("^Laser Distance is -?[0-9]+$")).match(m_boxes->last().text).hasMatch(),
             qPrintable(m_boxes->last().text));
    QCOMPARE(m_boxes->last().icon, QMessageBox::Information);
    QVERIFY(!m_boxes->last().parent);
}

void TestPtzPage::runningStatusShown()
{
    QVERIFY(Login());
    SimFixture::pauseClock();
    TMV_NET_PTZ_RUNNING_STATUS status = Zeroed<TMV_NET_PTZ_RUNNING_STATUS>();
    QCOMPARE(TMV_NET_GetPtzRunningStatus(Peer(), &status), 0);
    m_fixture->edit(m_page, "startTimeEdit")->setText(QStringLiteral("old"));
    m_fixture->click("getPtzStatusBtn");
    QCOMPARE(m_boxes->count(), 0);
    QCOMPARE(m_fixture->button(m_page, "movingCheckBoxEnable")->isChecked(), status.moving != 0);
    QCOMPARE(m_fixture->combo(m_page, "taskCombo")->currentIndex(), PtzListRow(status.task, 11));
    QCOMPARE(m_fixture->combo(m_page, "triggerCombo")->currentIndex(), PtzListRow(status.trigger, 6));
    QCOMPARE(m_fixture->edit(m_page, "taskIdEdit")->text(), QString::number(status.taskId));
    QCOMPARE(m_fixture->edit(m_page, "startTimeEdit")->text(), PtzStartTime(status.startTime));
    QCOMPARE(m_fixture->edit(m_page, "startTimeEdit")->cursorPosition(), 0);
}

// Each read-out as the device answers it.
void TestPtzPage::readBackShowsDevice()
{
    QVERIFY(Login());
    m_fixture->click("onlineChannel1RadioBtn");
    SimFixture::pauseClock();

    float multiplier = 0.0f;
    QCOMPARE(TMV_NET_GetPtzZoomMultiplier(Peer(), 1, &multiplier), 0);
    {
        m_fixture->click("getZoomBtn");
        QCOMPARE(m_fixture->edit(m_page, "zoomMultEdit")->text(), PtzReading(multiplier));
    }

    TMV_NET_ACCELERATION_DATA data = Zeroed<TMV_NET_ACCELERATION_DATA>();
    QCOMPARE(TMV_NET_GetAccelerationData(Peer(), &data), 0);
    {
        m_fixture->click("getBearingBtn");
        const float values[] = {data.angleX,        data.angleY,        data.angleZ,        data.angleP,
                                data.angleT,        data.angleRT,       data.accelerationX, data.accelerationY,
                                data.accelerationZ, data.rotationX,     data.rotationY,     data.rotationZ};
        const char *edits[] = {"angleXEdit",        "angleYEdit",        "angleZEdit",    "anglePEdit",
                               "angleTEdit",        "angleRTEdit",       "accelerationXEdit", "accelerationYEdit",
                               "accelerationZEdit", "rotationXEdit",     "rotationYEdit", "rotationZEdit"};
        for (int i = 0; i < 12; ++i)
            QVERIFY2(m_fixture->edit(m_page, edits[i])->text() == PtzReading(values[i]), edits[i]);
    }

    TMV_NET_PTZ_POWER_OFF_CONFIG powerOff = Zeroed<TMV_NET_PTZ_POWER_OFF_CONFIG>();
    QCOMPARE(TMV_NET_GetPtzPowerOffConfig(Peer(), &powerOff), 0);
    {
        m_fixture->button(m_page, "powerOffCheckBoxEnable")->setChecked(powerOff.enable == 0);
        m_fixture->click("powerOffGetBtn");
        QCOMPARE(m_fixture->button(m_page, "powerOffCheckBoxEnable")->isChecked(), powerOff.enable != 0);
        QCOMPARE(m_fixture->edit(m_page, "powerOffIntervalEdit")->text(), QString::number(powerOff.interval));
    }

    TMV_NET_TARGET_TRACK_CONFIG track = Zeroed<TMV_NET_TARGET_TRACK_CONFIG>();
    QCOMPARE(TMV_NET_GetTargetTrackConfig(Peer(), 1, &track), 0);
    {
        m_fixture->click("targetConfigGetBtn");
        const struct
        {
            const char *box;
            uint8_t flag;
        } boxes[] = {{"trackCheckBoxEnable", track.enable},
                     {"snapCheckBoxEnable", track.snapLinkage.enable},
                     {"snapChn1Box", track.snapLinkage.channels[0]},
                     {"snapChn2Box", track.snapLinkage.channels[1]},
                     {"recordCheckBoxEnable", track.recordLinkage.enable},
                     {"recordChn1Box", track.recordLinkage.channels[0]},
                     {"recordChn2Box", track.recordLinkage.channels[1]}};
        for (const auto &box : boxes)
            QVERIFY2(m_fixture->button(m_page, box.box)->isChecked() == (box.flag != 0), box.box);
    }

    QCOMPARE(m_boxes->count(), 0);
}

void TestPtzPage::togglesOnlySignal()
{
    QVERIFY(Login());
    QSignalSpy position3D(m_page, SIGNAL(Position3D(bool)));
    QSignalSpy regionFocus(m_page, SIGNAL(PositionRegionFocus(bool)));
    QSignalSpy manualTrack(m_page, SIGNAL(PositionManualTrack(bool)));

    for (int i = 0; i < 2; ++i) {
        m_fixture->click("threeDimensionalBtn");
        m_fixture->click("regionFocusBtn");
        m_fixture->click("manualTrackBtn");
    }
    QCOMPARE(position3D.size(), 2);
    QCOMPARE(position3D.at(0).at(0).toBool(), true);
    QCOMPARE(position3D.at(1).at(0).toBool(), false);
    // Region focus is not a toggle: every click arms it.
    QCOMPARE(regionFocus.size(), 2);
    QCOMPARE(regionFocus.at(0).at(0).toBool(), true);
    QCOMPARE(regionFocus.at(1).at(0).toBool(), true);
    QCOMPARE(manualTrack.size(), 2);
    QCOMPARE(manualTrack.at(0).at(0).toBool(), true);
    QCOMPARE(manualTrack.at(1).at(0).toBool(), false);
    QVERIFY(!m_fixture->button(m_page, "regionFocusBtn")->isChecked());
    // The page asks the main window and sends nothing itself (unticking
    // manual tracking makes the main window end it on the device).
    QCOMPARE(SimFixture::callsAmong({"TMV_NET_PtzControl", "TMV_NET_Ptz3DPosition", "TMV_NET_PtzRegionFocus"}),
             QStringList());
}

void TestPtzPage::readoutTexts_data()
{
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("expected");

    QTest::newRow("two decimals") << PtzTwoDecimals(123.456f) << "123.46";
    QTest::newRow("two decimals, negative") << PtzTwoDecimals(-9000.0f) << "-9000.00";
    QTest::newRow("field of view") << PtzFieldOfView(60.0f, 33.75f) << "H 60.00 V 33.75";
    QTest::newRow("reading") << PtzReading(2.5f) << "2.5";
    QTest::newRow("reading, six digits") << PtzReading(1234567.0f) << "1.23457e+06";
    QTest::newRow("reading, small") << PtzReading(0.000125f) << "0.000125";
    const QDateTime start(QDate(2026, 3, 4), QTime(5, 6, 7, 89), Qt::LocalTime);
    QTest::newRow("start time, local") << PtzStartTime(start.toMSecsSinceEpoch()) << "2026-03-04 05:06:07.089";
}

void TestPtzPage::readoutTexts()
{
    QFETCH(QString, shown);
    QFETCH(QString, expected);
    QCOMPARE(shown, expected);
}

void TestPtzPage::listRowOutsideListSelectsNone_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("row");

    // Against the task list of eleven entries.
    QTest::newRow("first") << 0 << 0;
    QTest::newRow("last") << 10 << 10;
    QTest::newRow("one past") << 11 << -1;
    QTest::newRow("negative") << -1 << -1;
    QTest::newRow("huge") << 0x7fffffff << -1;
}

void TestPtzPage::listRowOutsideListSelectsNone()
{
    QFETCH(int, value);
    QFETCH(int, row);
    QCOMPARE(PtzListRow(value, 11), row);
    QComboBox *tasks = m_fixture->combo(m_page, "taskCombo");
    tasks->setCurrentIndex(PtzListRow(value, tasks->count()));
    QCOMPARE(tasks->currentIndex(), row);
}

QTEST_MAIN(TestPtzPage)
#include "tst_ptzpage.moc"
