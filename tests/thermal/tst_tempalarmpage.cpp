// The "Temp Alarm" page driven through its widgets: what it sends to the
// device (journal), what it shows and the message boxes.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QRegularExpression>
#include <QtTest>

#include <cstring>
#include <memory>

#include "app/MainWindow.h"
#include "thermal/TempAlarmPage.h"
#include "TestSupport.h"
#include "liveview/VideoLabel.h"

namespace {

TMV_NET_TEMP_RULE Rule(int type, int id, int presetId = 4)
{
    TMV_NET_TEMP_RULE rule;
    std::memset(&rule, 0, sizeof rule);
    rule.enable = 1;
    rule.presetId = presetId;
    rule.ruleId = id;
    rule.ruleType = type;
    rule.pointCount = 2;
    rule.points[0] = {100, 200};
    rule.points[1] = {300, 400};
    return rule;
}

TMV_NET_TEMP_RULE_G1 RuleG1(int type, int id)
{
    TMV_NET_TEMP_RULE_G1 rule;
    std::memset(&rule, 0, sizeof rule);
    rule.ruleId = id;
    rule.ruleType = type;
    return rule;
}

bool SameBytes(const void *a, const void *b, size_t size)
{
    return std::memcmp(a, b, size) == 0;
}

} // namespace

class TestTempAlarmPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    // Form and frame group.
    void formHoldsEveryControl_data();
    void formHoldsEveryControl();
    void startState();
    void failuresAreReported_data();
    void failuresAreReported();
    void frameTempsStayWhenConfigFails();
    void frameAlarmSentAsTyped_data();
    void frameAlarmSentAsTyped();
    void tempEnableSwitch();
    void pointReading();
    void moveToWithoutPresets();
    void emptyPresetListAsksWithCapacityZero();
    void moveToSendsSelectedPreset_data();
    void moveToSendsSelectedPreset();
    void presetButtonsFollowPanTilt_data();
    void presetButtonsFollowPanTilt();
    void tempControlsSpareAlarmRows();

    // Rules and masks.
    void presetNeeded_data();
    void presetNeeded();
    void noSelectionDoesNothing_data();
    void noSelectionDoesNothing();
    void unknownRuleTypeLeftOut();
    void ruleSetSendsForm_data();
    void ruleSetSendsForm();
    void maskFromShielded_data();
    void maskFromShielded();
    void clearPageKeepsRuleMaps();

    // Tiered rules.
    void tieredSetValidates_data();
    void tieredSetValidates();
    void tieredRuleSetSendsListPosition_data();
    void tieredRuleSetSendsListPosition();
    void tieredFrameReadBack();

    // Need a device that measures (the simulated one answers 2 until then).
    void presetsListedFromDevice();
    void overReportedCountIsClamped_data();
    void overReportedCountIsClamped();
    void tieredSwitchRoundTrip_data();
    void tieredSwitchRoundTrip();

private:
    void SeedPresets();
    // Low, its three levels, high, its three levels, delay.
    void TypeTiered(const QStringList &texts) const;
    // Skips the test when the simulated device does not measure yet.
    bool DeviceAnswers(int status) const { return status != 2; }

    std::unique_ptr<PageFixture> m_fixture;
    MainWindow *m_window = nullptr;
    TempAlarmPage *m_page = nullptr;
    ModalCatcher *m_boxes = nullptr;
};

void TestTempAlarmPage::initTestCase()
{
    WarningGuard::install();
}

void TestTempAlarmPage::cleanupTestCase()
{
    TMV_NET_Deinit();
}

void TestTempAlarmPage::init()
{
    m_fixture.reset(new PageFixture(false));
    m_window = m_fixture->window();
    m_page = m_window->findChild<TempAlarmPage *>();
    QVERIFY(m_page);
    m_boxes = &m_fixture->boxes();
}

void TestTempAlarmPage::cleanup()
{
    m_fixture->verifyClean();
    m_fixture.reset();
    m_window = nullptr;
    m_page = nullptr;
    m_boxes = nullptr;
    SimFixture::clearFaults();
}

void TestTempAlarmPage::TypeTiered(const QStringList &texts) const
{
    const char *edits[] = {"lowTempEdit",  "lowLevelOneTempEdit",  "lowLevelTwoTempEdit",  "lowLevelThreeTempEdit",
                           "highTempEdit", "highLevelOneTempEdit", "highLevelTwoTempEdit", "highLevelThreeTempEdit",
                           "atrDelayEdit"};
    for (int i = 0; i < 9; ++i)
        m_fixture->edit(m_page, edits[i])->setText(texts.value(i));
}

// Presets 3 ("gate", stored) and 9 ("yard", empty) at positions 1 and 2, as
// a "Get All" would have left them.
void TestTempAlarmPage::SeedPresets()
{
    TMV_NET_PRESET_INFO gate, yard;
    std::memset(&gate, 0, sizeof gate);
    std::memset(&yard, 0, sizeof yard);
    gate.enable = 1;
    gate.id = 3;
    std::strcpy(gate.name, "gate");
    yard.id = 9;
    std::strcpy(yard.name, "yard");
    m_page->presetMap.insert(1, gate);
    m_page->presetMap.insert(2, yard);
    m_fixture->combo(m_page, "presetCombo")->addItems({QStringLiteral("3*"), QStringLiteral("9")});
}

// ---- Form and frame group -------------------------------------------------

void TestTempAlarmPage::formHoldsEveryControl_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("text");

    const struct
    {
        const char *name, *type, *text;
    } rows[] = {
        {"tempEnableCheckBox", "QCheckBox", "TempEnable"},
        {"getTempEnableBtn", "QPushButton", "Get"},
        {"setTempEnableBtn", "QPushButton", "Set"},
        {"getFrameTempDataBtn", "QPushButton", "Get"},
        {"greaterCheckBox", "QCheckBox", "GreaterThan"},
        {"lessCheckBox", "QCheckBox", "LessThan"},
        {"frameSnapEnableCheckBox", "QCheckBox", "Enable"},
        {"frameSnapChannel1CheckBox", "QCheckBox", "1"},
        {"frameSnapChannel2CheckBox", "QCheckBox", "2"},
        {"frameRecordEnableCheckBox", "QCheckBox", "Enable"},
        {"frameRecordChannel1CheckBox", "QCheckBox", "1"},
        {"frameRecordChannel2CheckBox", "QCheckBox", "2"},
        {"alarmSetBtn", "QPushButton", "Set"},
        {"pointOnceMeasureBtn", "QPushButton", "Once"},
        {"getAllPresetBtn", "QPushButton", "Get All"},
        {"moveToBtn", "QPushButton", "Move To"},
        {"correctionEnableBox", "QCheckBox", "Enable correction"},
        {"openTempStreamBtn", "QPushButton", "Open"},
        {"saveOneFrameBtn", "QPushButton", "Save One Frame"},
        {"openRawStreamBtn", "QPushButton", "Open"},
        {"saveRawOneFrameBtn", "QPushButton", "Save One Frame"},
        {"getAllRulesBtn", "QPushButton", "Get All Rules"},
        {"deleteAllBtn", "QPushButton", "Delete All Rules"},
        {"getOneRuleInfoBtn", "QPushButton", "Get"},
        {"deleteOneRuleInfoBtn", "QPushButton", "Delete"},
        {"envEnableCheck", "QCheckBox", "Enable"},
        {"ROISnapEnableCheckBox", "QCheckBox", "Enable"},
        {"ROISnapChannel1CheckBox", "QCheckBox", "1"},
        {"ROISnapChannel2CheckBox", "QCheckBox", "2"},
        {"ROIRecordEnableCheckBox", "QCheckBox", "Enable"},
        {"ROIRecordChannel1CheckBox", "QCheckBox", "1"},
        {"ROIRecordChannel2CheckBox", "QCheckBox", "2"},
        {"ROISetBtn", "QPushButton", "Set"},
        {"shieldedGetAllBtn", "QPushButton", "Get All"},
        {"shieldedDeleteAllBtn", "QPushButton", "Delete All"},
        {"shieldedDeleteBtn", "QPushButton", "Delete"},
        {"alarmSnapEnableCheckBox", "QCheckBox", "Enable Snapshot"},
        {"openAlarmCallbackBtn", "QPushButton", "Open"},
        {"getAlarmDataBtn", "QPushButton", "Get Alarm Data"},
        {"openAtrTempStreamBtn", "QPushButton", "Open"},
        {"saveAtrOneFrameBtn", "QPushButton", "Save One Frame"},
        {"getAtrAllRulesBtn", "QPushButton", "Get All Rules"},
        {"deleteAtrAllBtn", "QPushButton", "Delete All Rules"},
        {"getAtrOneRuleInfoBtn", "QPushButton", "Get"},
        {"deleteAtrOneRuleInfoBtn", "QPushButton", "Delete"},
        {"getAtrOneAlarmInfoBtn", "QPushButton", "Get"},
        {"setAtrOneAlarmInfoBtn", "QPushButton", "Set"},
        {"highEnableCheck", "QCheckBox", ""},
        {"lowEnableCheck", "QCheckBox", ""},
        {"openAtrAlarmCallbackBtn", "QPushButton", "Open"},
        {"getAtrAlarmDataBtn", "QPushButton", "Get Alarm Data"},
    };
    for (const auto &row : rows)
        QTest::newRow(row.name) << row.name << row.type << row.text;

    const char *edits[] = {
        "frameMaxTempEdit", "frameMaxLineEdit_X", "frameMaxLineEdit_Y", "frameMinTempEdit", "frameMinLineEdit_X",
        "frameMinLineEdit_Y", "frameAvgTempEdit", "frameCenterTempEdit", "greaterThresholdTempEdit",
        "lessThresholdTempEdit", "debounceEdit", "toleranceTempEdit", "frameSnapDeplayEdit", "frameRecordDeplayEdit",
        "pointOnceEdit", "ruleMaxTempEdit", "ruleMaxLineEdit_X", "ruleMaxLineEdit_Y", "ruleMinTempEdit",
        "ruleMinLineEdit_X", "ruleMinLineEdit_Y", "ruleAvgTempEdit", "ruleCenterTempEdit", "emissivityEdit",
        "atmosTransEdit", "refTempEdit", "atmosTempEdit", "distanceEdit", "thresholdTempEdit", "tempDebounceEdit",
        "tempToleranceTempEdit", "ROISnapDeplayEdit", "ROIRecordDeplayEdit", "atrFrameMaxTempEdit",
        "atrFrameMinTempEdit", "atrFrameAvgTempEdit", "atrFrameCenterTempEdit", "highTempEdit",
        "highLevelOneTempEdit", "highLevelTwoTempEdit", "highLevelThreeTempEdit", "lowTempEdit",
        "lowLevelOneTempEdit", "lowLevelTwoTempEdit", "lowLevelThreeTempEdit", "atrDelayEdit"};
    for (const char *edit : edits)
        QTest::newRow(edit) << edit << "QLineEdit" << "";
    for (const char *combo : {"presetCombo", "ruleCombo", "alarmRuleCombo", "shieldedAreaCombo", "atrRuleCombo",
                              "atrTypeCombo", "atrSwitchCombo"})
        QTest::newRow(combo) << combo << "QComboBox" << "";
}

void TestTempAlarmPage::formHoldsEveryControl()
{
    QFETCH(QString, name);
    QFETCH(QString, type);
    QFETCH(QString, text);

    QWidget *widget = m_page->findChild<QWidget *>(name);
    QVERIFY2(widget, qPrintable(name));
    QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), type);
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        QCOMPARE(button->text(), text);
    if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
        QVERIFY(!edit->validator());
        QCOMPARE(edit->maxLength(), 32767);
    }
}

void TestTempAlarmPage::startState()
{
    QCOMPARE(m_page->windowTitle(), QStringLiteral("tempAlarmPage"));
    QTabWidget *tabs = m_fixture->child<QTabWidget>(m_page, "tabWidget");
    QCOMPARE(tabs->count(), 2);
    QCOMPARE(tabs->tabText(0), QStringLiteral("Standard"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("G1"));
    QCOMPARE(tabs->currentIndex(), 0);
    QVERIFY(m_fixture->child<QScrollArea>(m_page, "scrollArea")->widgetResizable());
    for (const char *box : {"groupBox", "groupBox_2"}) {
        QCOMPARE(m_fixture->child<QGroupBox>(m_page, box)->title(), QString());
        QCOMPARE(m_fixture->child<QGroupBox>(m_page, box)->styleSheet(),
                 QStringLiteral("QGroupBox{border:1px solid rgb(0, 0, 0)}"));
    }

    QCOMPARE(m_fixture->items(m_page, "presetCombo"), QStringList{"Frame"});
    QCOMPARE(m_fixture->combo(m_page, "presetCombo")->currentIndex(), 0);
    QCOMPARE(m_fixture->items(m_page, "alarmRuleCombo"),
             (QStringList{"None", "Avg Greater Than", "Avg Less Than", "High Greater Than", "High Less Than",
                          "Low Greater Than", "Low Less Than"}));
    QCOMPARE(m_fixture->combo(m_page, "alarmRuleCombo")->currentIndex(), 0);
    QCOMPARE(m_fixture->items(m_page, "atrSwitchCombo"),
             (QStringList{"High Temp", "Low Temp", "High&Low Temp", "Off"}));
    QCOMPARE(m_fixture->combo(m_page, "atrSwitchCombo")->currentIndex(), -1);
    QVERIFY(!m_fixture->combo(m_page, "shieldedAreaCombo")->isEditable());

    for (const char *button : {"saveOneFrameBtn", "saveRawOneFrameBtn", "saveAtrOneFrameBtn"})
        QVERIFY2(!m_fixture->child<QPushButton>(m_page, button)->isEnabled(), button);
    QVERIFY(m_fixture->check(m_page, "correctionEnableBox")->isChecked());
    QVERIFY(m_fixture->check(m_page, "alarmSnapEnableCheckBox")->isChecked());
    QVERIFY(m_fixture->child<QPushButton>(m_page, "pointOnceMeasureBtn")->isCheckable());
    QCOMPARE(m_page->CurrentPresetId(), 0);
}

void TestTempAlarmPage::failuresAreReported_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("succeeds");  // must answer 0 for the call to be reached
    QTest::addColumn<QString>("function");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");

    QTest::newRow("QueryFrameTemp") << "getFrameTempDataBtn" << "" << "TMV_NET_QueryFrameTemp" << 3
                                    << "Query Frame Temp Param Wrong!";
    QTest::newRow("UpdateFrameTempAlarmConfig") << "alarmSetBtn" << "" << "TMV_NET_UpdateFrameTempAlarmConfig" << 1
                                                << "set alarm info Failed!";
    QTest::newRow("GetTempEnable") << "getTempEnableBtn" << "" << "TMV_NET_GetTempEnable" << 1
                                   << "GetTempEnable Failed!";
    QTest::newRow("SetTempEnable") << "setTempEnableBtn" << "" << "TMV_NET_SetTempEnable" << 2
                                   << "SetTempEnable Not Supported!";
    QTest::newRow("QueryPtzPresetSize") << "getAllPresetBtn" << "" << "TMV_NET_QueryPtzPresetSize" << 1
                                        << "QueryPtzPresetSize Failed!";
    QTest::newRow("QueryPtzPreset") << "getAllPresetBtn" << "TMV_NET_QueryPtzPresetSize" << "TMV_NET_QueryPtzPreset"
                                    << 1 << "QueryPtzPreset Failed!";
    QTest::newRow("PtzPresetControl") << "moveToBtn" << "" << "TMV_NET_PtzPresetControl" << 1
                                      << "PTZ control move to Failed!";
    QTest::newRow("QueryTempRuleSize") << "getAllRulesBtn" << "" << "TMV_NET_QueryTempRuleSize" << 1
                                       << "Get temp rule size Failed!";
    QTest::newRow("QueryTempRule") << "getAllRulesBtn" << "TMV_NET_QueryTempRuleSize" << "TMV_NET_QueryTempRule" << 1
                                   << "Get temp rule Failed!";
    QTest::newRow("DeleteAllTempRule") << "deleteAllBtn" << "" << "TMV_NET_DeleteAllTempRule" << 1
                                       << "Delete Failed!";
    QTest::newRow("UpdateTempRule") << "ROISetBtn" << "" << "TMV_NET_UpdateTempRule" << 1 << "Temp rule set Failed!";
    QTest::newRow("QueryTempMaskSize") << "shieldedGetAllBtn" << "" << "TMV_NET_QueryTempMaskSize" << 1
                                       << "QueryTempMaskSize Failed!";
    QTest::newRow("QueryTempMask") << "shieldedGetAllBtn" << "TMV_NET_QueryTempMaskSize" << "TMV_NET_QueryTempMask"
                                   << 1 << "QueryTempMask Failed!";
    QTest::newRow("DeleteAllTempMask") << "shieldedDeleteAllBtn" << "" << "TMV_NET_DeleteAllTempMask" << 1
                                       << "QueryTempMask delete all Failed!";
    QTest::newRow("DeleteTempMask") << "shieldedDeleteBtn" << "" << "TMV_NET_DeleteTempMask" << 1
                                    << "QueryTempMask delete Failed!";
    QTest::newRow("G1 QueryTempRuleSize") << "getAtrAllRulesBtn" << "" << "TMV_NET_QueryTempRuleSize" << 1
                                          << "Get temp rule size Failed!";
    QTest::newRow("QueryTempRule_G1") << "getAtrAllRulesBtn" << "TMV_NET_QueryTempRuleSize"
                                      << "TMV_NET_QueryTempRule_G1" << 1 << "Get G1 temp rule Failed!";
    QTest::newRow("G1 DeleteAllTempRule") << "deleteAtrAllBtn" << "" << "TMV_NET_DeleteAllTempRule" << 1
                                          << "Delete temp rule Failed!";
}

void TestTempAlarmPage::failuresAreReported()
{
    QFETCH(QString, button);
    QFETCH(QString, succeeds);
    QFETCH(QString, function);
    QFETCH(int, status);
    QFETCH(QString, text);
    QVERIFY(m_fixture->login());
    SimFixture::fail(function.toLatin1().constData(), status);

    m_fixture->click(m_page, button);

    QCOMPARE(m_boxes->count(), 1);
    if (!succeeds.isEmpty() && m_boxes->last().text.endsWith(QLatin1String(" Not Supported!")))
        QSKIP("the first call needs a device that answers it (answers 2)");
    QCOMPARE(m_boxes->last().title, status == 0 ? QStringLiteral("OK") : QStringLiteral("Error"));
    QCOMPARE(m_boxes->last().text, text);
    QCOMPARE(m_boxes->last().icon, QMessageBox::Critical);
}

void TestTempAlarmPage::frameTempsStayWhenConfigFails()
{
    QVERIFY(m_fixture->login());
    TMV_NET_TEMP_INFO probe;
    if (!DeviceAnswers(TMV_NET_QueryFrameTemp(m_window->Handle(), &probe)))
        QSKIP("the simulated device does not measure the frame yet (answers 2)");
    SimFixture::fail("TMV_NET_QueryFrameTempAlarmConfig", 1);
    m_fixture->check(m_page, "greaterCheckBox")->setChecked(true);

    m_fixture->click(m_page, "getFrameTempDataBtn");

    QCOMPARE(m_boxes->count(), 1);
    QCOMPARE(m_boxes->last().text, QStringLiteral("Query Frame Temp AlarmConfig Failed!"));
    QVERIFY(m_fixture->edit(m_page, "frameMaxTempEdit")->text().contains(QRegularExpression("^-?\\d+\\.\\d\\d$")));
    QVERIFY(!m_fixture->edit(m_page, "frameMinLineEdit_Y")->text().isEmpty());
    QVERIFY(m_fixture->check(m_page, "greaterCheckBox")->isChecked());  // the alarm controls are untouched
}

void TestTempAlarmPage::frameAlarmSentAsTyped_data()
{
    QTest::addColumn<bool>("greater");
    QTest::addColumn<bool>("less");
    QTest::addColumn<QString>("delay");
    QTest::addColumn<int64_t>("sentDelay");

    QTest::newRow("both on") << true << true << "15" << int64_t(15);
    QTest::newRow("greater off still sends its threshold") << false << true << "-3" << int64_t(-3);
    QTest::newRow("both off, delay not a number") << false << false << "soon" << int64_t(0);
}

void TestTempAlarmPage::frameAlarmSentAsTyped()
{
    QFETCH(bool, greater);
    QFETCH(bool, less);
    QFETCH(QString, delay);
    QFETCH(int64_t, sentDelay);
    QVERIFY(m_fixture->login());
    SimFixture::fail("TMV_NET_UpdateFrameTempAlarmConfig", 1);
    m_fixture->check(m_page, "greaterCheckBox")->setChecked(greater);
    m_fixture->check(m_page, "lessCheckBox")->setChecked(less);
    m_fixture->edit(m_page, "greaterThresholdTempEdit")->setText("80.5");
    m_fixture->edit(m_page, "lessThresholdTempEdit")->setText("-10");
    m_fixture->edit(m_page, "debounceEdit")->setText("4");
    m_fixture->edit(m_page, "toleranceTempEdit")->setText("1.5");
    m_fixture->check(m_page, "frameSnapEnableCheckBox")->setChecked(true);
    m_fixture->check(m_page, "frameSnapChannel2CheckBox")->setChecked(true);
    m_fixture->edit(m_page, "frameSnapDeplayEdit")->setText(delay);
    m_fixture->check(m_page, "frameRecordChannel1CheckBox")->setChecked(true);
    m_fixture->edit(m_page, "frameRecordDeplayEdit")->setText("7");

    m_fixture->click(m_page, "alarmSetBtn");

    const auto config = SimFixture::lastRecord<TMV_NET_FRAME_TEMP_ALARM_CONFIG>("TMV_NET_UpdateFrameTempAlarmConfig");
    QCOMPARE(int(config.enable), 1);
    QCOMPARE(config.conditions[0].alarmRule, greater ? 3 : 0);
    QCOMPARE(config.conditions[0].threshold, 80.5f);
    QCOMPARE(config.conditions[1].alarmRule, less ? 6 : 0);
    QCOMPARE(config.conditions[1].threshold, -10.0f);
    for (const TMV_NET_TEMP_ALARM_CONDITION &condition : config.conditions) {
        QCOMPARE(condition.debounce, 4);
        QCOMPARE(condition.tolerance, 1.5f);
    }
    QCOMPARE(int(config.snapLinkage.enable), 1);
    QCOMPARE(int(config.snapLinkage.channels[0]), 0);
    QCOMPARE(int(config.snapLinkage.channels[1]), 1);
    QCOMPARE(config.snapLinkage.delay, sentDelay);
    QCOMPARE(int(config.recordLinkage.enable), 0);
    QCOMPARE(int(config.recordLinkage.channels[0]), 1);
    QCOMPARE(config.recordLinkage.delay, int64_t(7));
    QCOMPARE(m_boxes->last().text, QStringLiteral("set alarm info Failed!"));
}

void TestTempAlarmPage::tempEnableSwitch()
{
    QVERIFY(m_fixture->login());
    m_fixture->check(m_page, "tempEnableCheckBox")->setChecked(true);
    SimFixture::fail("TMV_NET_SetTempEnable", 1, 2);
    m_fixture->click(m_page, "setTempEnableBtn");
    m_fixture->check(m_page, "tempEnableCheckBox")->setChecked(false);
    m_fixture->click(m_page, "setTempEnableBtn");
    QCOMPARE(SimFixture::argsOf("TMV_NET_SetTempEnable"),
             (QList<QByteArray>{SimFixture::bytesOf(int32_t(1)), SimFixture::bytesOf(int32_t(0))}));

    QCOMPARE(m_boxes->count(), 2);
    QCOMPARE(m_boxes->last().text, QStringLiteral("SetTempEnable Failed!"));

    // A failed read leaves the check box as it was.
    m_fixture->check(m_page, "tempEnableCheckBox")->setChecked(true);
    SimFixture::fail("TMV_NET_GetTempEnable", 1);
    m_fixture->click(m_page, "getTempEnableBtn");
    QVERIFY(m_fixture->check(m_page, "tempEnableCheckBox")->isChecked());
    QCOMPARE(m_boxes->last().text, QStringLiteral("GetTempEnable Failed!"));
}

void TestTempAlarmPage::pointReading()
{
    QVERIFY(m_fixture->login());
    VideoLabel *label = m_window->GetVideoLabel();
    m_fixture->edit(m_page, "pointOnceEdit")->setText("old");

    m_fixture->click(m_page, "pointOnceMeasureBtn");
    QVERIFY(m_fixture->child<QPushButton>(m_page, "pointOnceMeasureBtn")->isChecked());
    QCOMPARE(label->Mode(), int(VideoLabel::PointTempMode));
    QCOMPARE(m_fixture->edit(m_page, "pointOnceEdit")->text(), QString());

    m_fixture->edit(m_page, "pointOnceEdit")->setText("old");
    m_fixture->click(m_page, "pointOnceMeasureBtn");
    QCOMPARE(label->Mode(), int(VideoLabel::NoMode));
    QCOMPARE(m_fixture->edit(m_page, "pointOnceEdit")->text(), QString());

    m_fixture->click(m_page, "pointOnceMeasureBtn");
    m_page->ShowOncePointTemp(36.456f);
    QCOMPARE(m_fixture->edit(m_page, "pointOnceEdit")->text(), QStringLiteral("36.46"));
    QVERIFY(!m_fixture->child<QPushButton>(m_page, "pointOnceMeasureBtn")->isChecked());
    m_page->ShowOncePointTemp(-4.0f);
    QCOMPARE(m_fixture->edit(m_page, "pointOnceEdit")->text(), QStringLiteral("-4.00"));
}

void TestTempAlarmPage::moveToWithoutPresets()
{
    QVERIFY(m_fixture->login());
    SimFixture::fail("TMV_NET_PtzPresetControl", 1);
    m_fixture->click(m_page, "moveToBtn");

    const QByteArray input = SimFixture::lastInput("TMV_NET_PtzPresetControl");
    QCOMPARE(input.size(), int(sizeof(TMV_NET_HANDLE) + 4 + sizeof(TMV_NET_PRESET_INFO)));
    int32_t action = 0;
    std::memcpy(&action, input.constData() + sizeof(TMV_NET_HANDLE), 4);
    QCOMPARE(action, 2);
    const auto preset = SimFixture::lastRecord<TMV_NET_PRESET_INFO>("TMV_NET_PtzPresetControl",
                                                                    sizeof(TMV_NET_HANDLE) + 4);
    QCOMPARE(int(preset.enable), 1);
    QCOMPARE(preset.id, 0);
    QCOMPARE(QByteArray(preset.name), QByteArray());
    QCOMPARE(m_boxes->count(), 1);
    QCOMPARE(m_boxes->last().text, QStringLiteral("PTZ control move to Failed!"));
}

void TestTempAlarmPage::emptyPresetListAsksWithCapacityZero()
{
    // The fixed camera has no head, so no presets.
    QVERIFY(m_fixture->login(SimFixture::kFixedCamera));
    int32_t size = -1;
    if (!DeviceAnswers(TMV_NET_QueryPtzPresetSize(m_window->Handle(), &size)))
        QSKIP("the simulated device lists no presets yet (answers 2)");
    QCOMPARE(size, 0);
    SimFixture::clearJournal();
    m_fixture->combo(m_page, "presetCombo")->addItem("stale");
    m_fixture->child<QPushButton>(m_page, "getAllPresetBtn")->setEnabled(true);

    m_fixture->click(m_page, "getAllPresetBtn");

    QCOMPARE(SimFixture::argsOf("TMV_NET_QueryPtzPreset"), QList<QByteArray>{SimFixture::bytesOf(int32_t(0))});
    QCOMPARE(m_fixture->items(m_page, "presetCombo"), QStringList{"Frame"});
    QCOMPARE(m_fixture->combo(m_page, "presetCombo")->currentIndex(), 0);
    QCOMPARE(m_boxes->count(), 0);
}

void TestTempAlarmPage::moveToSendsSelectedPreset_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("id");
    QTest::addColumn<QByteArray>("name");

    QTest::newRow("Frame") << 0 << 0 << QByteArray();
    QTest::newRow("stored preset") << 1 << 3 << QByteArray("gate");
    QTest::newRow("empty preset") << 2 << 9 << QByteArray("yard");
}

void TestTempAlarmPage::moveToSendsSelectedPreset()
{
    QFETCH(int, position);
    QFETCH(int, id);
    QFETCH(QByteArray, name);
    QVERIFY(m_fixture->login());
    SeedPresets();
    m_fixture->combo(m_page, "presetCombo")->setCurrentIndex(position);
    QCOMPARE(m_page->CurrentPresetId(), id);

    SimFixture::fail("TMV_NET_PtzPresetControl", 1);
    m_fixture->click(m_page, "moveToBtn");
    const auto preset = SimFixture::lastRecord<TMV_NET_PRESET_INFO>("TMV_NET_PtzPresetControl",
                                                                    sizeof(TMV_NET_HANDLE) + 4);
    QCOMPARE(int(preset.enable), 1);
    QCOMPARE(preset.id, id);
    QCOMPARE(QByteArray(preset.name), name);
}

void TestTempAlarmPage::presetButtonsFollowPanTilt_data()
{
    QTest::addColumn<QString>("ip");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("PTZ camera") << SimFixture::kPtzCamera << true;
    QTest::newRow("fixed camera") << SimFixture::kFixedCamera << false;
}

void TestTempAlarmPage::presetButtonsFollowPanTilt()
{
    QFETCH(QString, ip);
    QFETCH(bool, enabled);
    m_fixture->child<QPushButton>(m_page, "pointOnceMeasureBtn")->setChecked(true);
    QVERIFY(m_fixture->login(ip.toLatin1().constData()));
    QCOMPARE(m_fixture->child<QPushButton>(m_page, "getAllPresetBtn")->isEnabled(), enabled);
    QCOMPARE(m_fixture->child<QPushButton>(m_page, "moveToBtn")->isEnabled(), enabled);
    QVERIFY(!m_fixture->child<QPushButton>(m_page, "pointOnceMeasureBtn")->isChecked());
}

void TestTempAlarmPage::tempControlsSpareAlarmRows()
{
    const char *temperature[] = {"getFrameTempDataBtn", "openTempStreamBtn", "alarmSetBtn", "pointOnceMeasureBtn",
                                 "presetCombo", "shieldedGetAllBtn", "ROISetBtn", "getAtrAllRulesBtn",
                                 "setAtrOneAlarmInfoBtn", "openAtrTempStreamBtn"};
    const char *alarms[] = {"openAlarmCallbackBtn", "getAlarmDataBtn", "alarmSnapEnableCheckBox",
                            "openAtrAlarmCallbackBtn", "getAtrAlarmDataBtn"};
    m_page->DisableTempControls();
    for (const char *name : temperature)
        QVERIFY2(!m_fixture->child<QWidget>(m_page, name)->isEnabledTo(m_page), name);
    for (const char *name : alarms)
        QVERIFY2(m_fixture->child<QWidget>(m_page, name)->isEnabledTo(m_page), name);
    m_page->EnableTempControls();
    for (const char *name : temperature)
        QVERIFY2(m_fixture->child<QWidget>(m_page, name)->isEnabledTo(m_page) || QByteArray(name) == "moveToBtn", name);
}

// ---- Rules and masks ------------------------------------------------------

void TestTempAlarmPage::presetNeeded_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("text");

    QTest::newRow("Get All Rules") << "getAllRulesBtn" << "Please select the preset!";
    QTest::newRow("Delete All Rules") << "deleteAllBtn" << "Please select the preset!";
    QTest::newRow("G1 Get All Rules") << "getAtrAllRulesBtn" << "Please select the preset!";
    QTest::newRow("G1 Delete All Rules") << "deleteAtrAllBtn" << "Please select the preset!";
    QTest::newRow("Shielded Get All") << "shieldedGetAllBtn" << "choose preset id";
}

void TestTempAlarmPage::presetNeeded()
{
    QFETCH(QString, button);
    QFETCH(QString, text);
    QVERIFY(m_fixture->login());
    m_fixture->combo(m_page, "presetCombo")->setCurrentIndex(-1);
    SimFixture::clearJournal();

    m_fixture->click(m_page, button);

    QCOMPARE(m_boxes->count(), 1);
    QCOMPARE(m_boxes->last().title, QStringLiteral("Error"));
    QCOMPARE(m_boxes->last().text, text);
    QCOMPARE(m_boxes->last().icon, QMessageBox::Critical);
    QCOMPARE(TMVSim_JournalCount(), 0);
}

void TestTempAlarmPage::noSelectionDoesNothing_data()
{
    QTest::addColumn<QString>("button");

    QTest::newRow("Get rule") << "getOneRuleInfoBtn";
    QTest::newRow("Delete rule") << "deleteOneRuleInfoBtn";
    QTest::newRow("G1 Get rule") << "getAtrOneRuleInfoBtn";
    QTest::newRow("G1 Delete rule") << "deleteAtrOneRuleInfoBtn";
    QTest::newRow("G1 Get alarm") << "getAtrOneAlarmInfoBtn";
    QTest::newRow("G1 Set alarm without switch") << "setAtrOneAlarmInfoBtn";
}

void TestTempAlarmPage::noSelectionDoesNothing()
{
    QFETCH(QString, button);
    QVERIFY(m_fixture->login());
    // Even with a list fetched once: ClearPage empties the combos only.
    m_page->FillRuleList(nullptr, 0);
    TMV_NET_TEMP_RULE rule = Rule(2, 5);
    m_page->FillRuleList(&rule, 1);
    m_page->ClearPage();
    SimFixture::clearJournal();

    m_fixture->click(m_page, button);

    QCOMPARE(TMVSim_JournalCount(), 0);
    QCOMPARE(m_boxes->count(), 0);
}

void TestTempAlarmPage::unknownRuleTypeLeftOut()
{
    const TMV_NET_TEMP_RULE rules[] = {Rule(0, 1), Rule(7, 2), Rule(3, 3)};
    m_page->FillRuleList(rules, 3);

    QCOMPARE(m_fixture->items(m_page, "ruleCombo"), (QStringList{"P1", "R3"}));
    QCOMPARE(m_fixture->combo(m_page, "ruleCombo")->currentIndex(), -1);
    QCOMPARE(m_page->RuleMap().keys(), (QList<int>{0, 1}));
    QCOMPARE(m_page->RuleMap().value(1).ruleId, 3);
    const TMV_NET_TEMP_RULE_KEY key = m_page->RuleKeyMap().value(1);
    QCOMPARE(key.presetId, 4);
    QCOMPARE(key.ruleType, 3);
    QCOMPARE(key.ruleId, 3);

    // The G1 list keeps every rule: the device numbers them by position.
    const TMV_NET_TEMP_RULE_G1 tiered[] = {RuleG1(0, 1), RuleG1(7, 2), RuleG1(1, 3)};
    m_page->FillG1List(tiered, 3);
    QCOMPARE(m_fixture->items(m_page, "atrRuleCombo"), (QStringList{"frame", "P1", "", "L3"}));
    QCOMPARE(m_fixture->items(m_page, "atrTypeCombo"), (QStringList{"frame", "P1", "", "L3"}));
    QCOMPARE(m_fixture->combo(m_page, "atrRuleCombo")->currentIndex(), -1);
    QCOMPARE(m_fixture->combo(m_page, "atrTypeCombo")->currentIndex(), 0);
    QCOMPARE(m_page->RuleKeyMap().keys(), (QList<int>{0, 1, 2}));
    QVERIFY(m_page->RuleMap().isEmpty());
}

void TestTempAlarmPage::ruleSetSendsForm_data()
{
    QTest::addColumn<int>("ruleType");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<int>("sent");

    QTest::newRow("point, Low Less Than") << 0 << 6 << 2;
    QTest::newRow("point, High Greater Than") << 0 << 3 << 2;
    QTest::newRow("point, Avg Greater Than") << 0 << 1 << 1;
    QTest::newRow("line, Low Less Than") << 1 << 6 << 6;
    QTest::newRow("polygon, High Less Than") << 4 << 4 << 4;
}

void TestTempAlarmPage::ruleSetSendsForm()
{
    QFETCH(int, ruleType);
    QFETCH(int, chosen);
    QFETCH(int, sent);
    QVERIFY(m_fixture->login());
    const TMV_NET_TEMP_RULE rules[] = {Rule(2, 1), Rule(ruleType, 8)};
    m_page->FillRuleList(rules, 2);
    m_fixture->combo(m_page, "ruleCombo")->setCurrentIndex(1);
    m_fixture->check(m_page, "envEnableCheck")->setChecked(true);
    m_fixture->edit(m_page, "emissivityEdit")->setText("0.5");
    m_fixture->edit(m_page, "atmosTransEdit")->setText("0.9");
    m_fixture->edit(m_page, "refTempEdit")->setText("21");
    m_fixture->edit(m_page, "atmosTempEdit")->setText("19");
    m_fixture->edit(m_page, "distanceEdit")->setText("far");
    m_fixture->combo(m_page, "alarmRuleCombo")->setCurrentIndex(chosen);
    m_fixture->edit(m_page, "thresholdTempEdit")->setText("36.5");
    m_fixture->edit(m_page, "tempDebounceEdit")->setText("3");
    m_fixture->edit(m_page, "tempToleranceTempEdit")->setText("0.5");
    m_fixture->check(m_page, "ROIRecordEnableCheckBox")->setChecked(true);
    m_fixture->edit(m_page, "ROIRecordDeplayEdit")->setText("-1");
    SimFixture::fail("TMV_NET_UpdateTempRule", 1);

    m_fixture->click(m_page, "ROISetBtn");

    const auto rule = SimFixture::lastRecord<TMV_NET_TEMP_RULE>("TMV_NET_UpdateTempRule");
    QCOMPARE(rule.ruleId, 8);
    QCOMPARE(rule.ruleType, ruleType);
    QCOMPARE(rule.presetId, 4);
    QCOMPARE(rule.pointCount, 2);  // the shape goes back unchanged
    QCOMPARE(rule.points[1].y, 400);
    QCOMPARE(int(rule.enable), 1);
    QCOMPARE(int(rule.envEnable), 1);
    QCOMPARE(rule.envParam.emissivity, 0.5f);
    QCOMPARE(rule.envParam.atmosTrans, 0.9f);
    QCOMPARE(rule.envParam.refTemp, 21.0f);
    QCOMPARE(rule.envParam.atmosTemp, 19.0f);
    QCOMPARE(rule.envParam.distance, 0.0f);
    QCOMPARE(rule.condition.alarmRule, sent);
    QCOMPARE(rule.condition.threshold, 36.5f);
    QCOMPARE(rule.condition.debounce, 3);
    QCOMPARE(rule.condition.tolerance, 0.5f);
    QCOMPARE(int(rule.snapLinkage.enable), 0);
    QCOMPARE(int(rule.recordLinkage.enable), 1);
    QCOMPARE(rule.recordLinkage.delay, int64_t(-1));
    QCOMPARE(m_boxes->count(), 1);
    QCOMPARE(m_boxes->last().text, QStringLiteral("Temp rule set Failed!"));
}

void TestTempAlarmPage::maskFromShielded_data()
{
    QTest::addColumn<bool>("seeded");  // two masks listed, preset 3 selected
    QTest::addColumn<QPoint>("p0");
    QTest::addColumn<QPoint>("p1");
    QTest::addColumn<int>("maskId");
    QTest::addColumn<int>("presetId");

    QTest::newRow("never fetched") << false << QPoint(100, 200) << QPoint(700, 900) << 1 << 0;
    QTest::newRow("drawn bottom-right to top-left") << false << QPoint(700, 900) << QPoint(100, 200) << 1 << 0;
    QTest::newRow("two listed, preset 3") << true << QPoint(0, 0) << QPoint(8191, 8191) << 3 << 3;
    QTest::newRow("beyond the picture, unclamped") << false << QPoint(-20, 50) << QPoint(9000, 8300) << 1 << 0;
}

void TestTempAlarmPage::maskFromShielded()
{
    QFETCH(bool, seeded);
    QFETCH(QPoint, p0);
    QFETCH(QPoint, p1);
    QFETCH(int, maskId);
    QFETCH(int, presetId);
    QVERIFY(m_fixture->login());
    if (seeded) {
        SeedPresets();
        m_fixture->combo(m_page, "presetCombo")->setCurrentIndex(1);
        TMV_NET_TEMP_MASK mask;
        std::memset(&mask, 0, sizeof mask);
        m_page->maskMap.insert(QStringLiteral("SR1"), mask);
        m_page->maskMap.insert(QStringLiteral("SR4"), mask);
    }
    // A delete with nothing listed must not change the numbering.
    SimFixture::fail("TMV_NET_DeleteTempMask", 1);
    m_fixture->click(m_page, "shieldedDeleteBtn");
    m_boxes->clear();
    SimFixture::fail("TMV_NET_AddTempMask", 1);

    emit m_window->Shielded(6, QList<QPoint>{p0, p1});

    const auto mask = SimFixture::lastRecord<TMV_NET_TEMP_MASK>("TMV_NET_AddTempMask");
    QCOMPARE(int(mask.enable), 1);
    QCOMPARE(mask.maskId, maskId);
    QCOMPARE(mask.presetId, presetId);
    QCOMPARE(QByteArray(mask.name), QByteArray());
    const TMV_NET_POINT corners[4] = {{p0.x(), p0.y()}, {p1.x(), p0.y()}, {p1.x(), p1.y()}, {p0.x(), p1.y()}};
    QVERIFY(SameBytes(mask.points, corners, sizeof corners));
    QCOMPARE(m_boxes->count(), 1);
    QCOMPARE(m_boxes->last().text, QStringLiteral("Add Shielded Failed!"));
}

void TestTempAlarmPage::clearPageKeepsRuleMaps()
{
    QVERIFY(m_fixture->login());
    SeedPresets();
    const TMV_NET_TEMP_RULE rules[] = {Rule(0, 1), Rule(2, 2)};
    m_page->FillRuleList(rules, 2);
    m_page->maskMap.insert(QStringLiteral("SR1"), TMV_NET_TEMP_MASK());
    m_fixture->combo(m_page, "shieldedAreaCombo")->addItem(QStringLiteral("SR1"));
    m_fixture->edit(m_page, "ruleMaxTempEdit")->setText("40.00");
    m_fixture->combo(m_page, "alarmRuleCombo")->setCurrentIndex(4);
    m_fixture->combo(m_page, "atrSwitchCombo")->setCurrentIndex(1);
    m_fixture->check(m_page, "highEnableCheck")->setChecked(true);
    m_fixture->edit(m_page, "atrDelayEdit")->setText("3");
    const auto keys = m_page->RuleKeyMap();
    const auto kept = m_page->RuleMap();

    m_page->ClearPage();

    QCOMPARE(m_page->RuleKeyMap().size(), keys.size());
    QCOMPARE(m_page->RuleMap().size(), kept.size());
    for (int at : keys.keys()) {
        const TMV_NET_TEMP_RULE_KEY key = m_page->RuleKeyMap().value(at), keyBefore = keys.value(at);
        const TMV_NET_TEMP_RULE rule = m_page->RuleMap().value(at), ruleBefore = kept.value(at);
        QVERIFY(SameBytes(&key, &keyBefore, sizeof key));
        QVERIFY(SameBytes(&rule, &ruleBefore, sizeof rule));
    }
    QCOMPARE(m_fixture->combo(m_page, "ruleCombo")->count(), 0);
    QCOMPARE(m_fixture->items(m_page, "presetCombo"), QStringList{"Frame"});
    QCOMPARE(m_page->CurrentPresetId(), 0);
    QCOMPARE(m_fixture->combo(m_page, "shieldedAreaCombo")->count(), 0);
    QVERIFY(m_page->MaskMap().isEmpty());
    QCOMPARE(m_fixture->edit(m_page, "ruleMaxTempEdit")->text(), QString());
    QCOMPARE(m_fixture->combo(m_page, "alarmRuleCombo")->currentIndex(), 0);
    QCOMPARE(m_fixture->combo(m_page, "atrSwitchCombo")->currentIndex(), -1);
    QVERIFY(!m_fixture->check(m_page, "highEnableCheck")->isChecked());
    QCOMPARE(m_fixture->edit(m_page, "atrDelayEdit")->text(), QString());

    // "Set" with the list emptied sends a zero rule with the form's settings.
    SimFixture::fail("TMV_NET_UpdateTempRule", 1);
    m_fixture->click(m_page, "ROISetBtn");
    const auto rule = SimFixture::lastRecord<TMV_NET_TEMP_RULE>("TMV_NET_UpdateTempRule");
    QCOMPARE(rule.ruleId, 0);
    QCOMPARE(rule.pointCount, 0);
    QCOMPARE(int(rule.enable), 1);
}

// ---- Tiered rules ---------------------------------------------------------

void TestTempAlarmPage::tieredSetValidates_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QStringList>("texts");  // low, 3 low levels, high, 3 high levels, delay
    QTest::addColumn<int>("alarmSwitch");    // -1: rejected

    const QStringList valid{"10", "5", "0", "-5", "50", "60", "70", "80", "3"};
    QStringList emptyDelay = valid;
    emptyDelay[8].clear();
    QStringList equalLevels = valid;
    equalLevels[6] = "60";
    QStringList levelOnThreshold = valid;
    levelOnThreshold[1] = "10";
    levelOnThreshold[5] = "50";

    QTest::newRow("High Temp") << 0 << valid << 1;
    QTest::newRow("Low Temp") << 1 << valid << 2;
    QTest::newRow("High&Low Temp") << 2 << valid << 3;
    QTest::newRow("Off") << 3 << valid << 0;
    QTest::newRow("level 1 on the thresholds") << 2 << levelOnThreshold << 3;
    QTest::newRow("empty delay, Off") << 3 << emptyDelay << -1;
    QTest::newRow("equal high levels") << 0 << equalLevels << -1;
}

void TestTempAlarmPage::tieredSetValidates()
{
    QFETCH(int, position);
    QFETCH(QStringList, texts);
    QFETCH(int, alarmSwitch);
    QVERIFY(m_fixture->login());
    m_page->FillG1List(nullptr, 0);  // "frame" only
    TypeTiered(texts);
    m_fixture->combo(m_page, "atrSwitchCombo")->setCurrentIndex(position);
    m_fixture->check(m_page, "highEnableCheck")->setChecked(true);
    SimFixture::fail("TMV_NET_UpdateFrameTempAlarmConfig_G1", 1);
    SimFixture::clearJournal();

    m_fixture->click(m_page, "setAtrOneAlarmInfoBtn");

    QCOMPARE(m_boxes->count(), 1);
    if (alarmSwitch < 0) {
        QCOMPARE(m_boxes->last().title, QStringLiteral("Error"));
        QCOMPARE(m_boxes->last().text, QStringLiteral("Set temp alarm param wrong!"));
        QCOMPARE(TMVSim_JournalCount(), 0);
        return;
    }
    QCOMPARE(m_boxes->last().text, QStringLiteral("Set frame temp alarm rule Failed!"));
    const auto alarm = SimFixture::lastRecord<TMV_NET_TEMP_ALARM_G1>("TMV_NET_UpdateFrameTempAlarmConfig_G1");
    QCOMPARE(alarm.alarmSwitch, alarmSwitch);
    QCOMPARE(alarm.lowTemp, texts[0].toFloat());
    QCOMPARE(alarm.lowLevels[2], -5.0f);
    QCOMPARE(alarm.highTemp, 50.0f);
    QCOMPARE(alarm.highLevels[0], texts[5].toFloat());
    QCOMPARE(alarm.highLevels[2], 80.0f);
    QCOMPARE(alarm.delay, 3);
    QCOMPARE(int(alarm.highEnable), 1);
    QCOMPARE(int(alarm.lowEnable), 0);
    QCOMPARE(int(alarm.reserved), 0);
    QCOMPARE(TMVSim_JournalCountOf("TMV_NET_UpdateTempRule_G1"), 0);
}

void TestTempAlarmPage::tieredRuleSetSendsListPosition_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<int>("ruleId");
    QTest::addColumn<int>("ruleType");

    QTest::newRow("first rule, point") << 1 << 0 << 0;
    QTest::newRow("second rule, line") << 2 << 1 << 1;
    QTest::newRow("third rule, circle") << 3 << 2 << 2;
    QTest::newRow("fourth rule, polygon") << 4 << 3 << 2;
}

void TestTempAlarmPage::tieredRuleSetSendsListPosition()
{
    QFETCH(int, entry);
    QFETCH(int, ruleId);
    QFETCH(int, ruleType);
    QVERIFY(m_fixture->login());
    const TMV_NET_TEMP_RULE_G1 rules[] = {RuleG1(0, 11), RuleG1(1, 12), RuleG1(3, 13), RuleG1(4, 14)};
    m_page->FillG1List(rules, 4);
    m_fixture->combo(m_page, "atrTypeCombo")->setCurrentIndex(entry);
    TypeTiered(QStringList{"10", "5", "0", "-5", "50", "60", "70", "80", "0"});
    m_fixture->combo(m_page, "atrSwitchCombo")->setCurrentIndex(2);
    SimFixture::fail("TMV_NET_UpdateTempRule_G1", 1);

    m_fixture->click(m_page, "setAtrOneAlarmInfoBtn");

    QCOMPARE(m_boxes->last().text, QStringLiteral("Set temp alarm rule Failed!"));
    const auto rule = SimFixture::lastRecord<TMV_NET_TEMP_RULE_G1>("TMV_NET_UpdateTempRule_G1");
    QCOMPARE(rule.ruleId, ruleId);
    QCOMPARE(rule.ruleType, ruleType);
    QCOMPARE(rule.alarm.alarmSwitch, 3);
    QCOMPARE(rule.alarm.highLevels[1], 70.0f);
}

void TestTempAlarmPage::tieredFrameReadBack()
{
    QVERIFY(m_fixture->login());
    m_page->FillG1List(nullptr, 0);
    const TMV_NET_TEMP_RULE_G1 rule = RuleG1(2, 5);
    m_page->FillG1List(&rule, 1);
    m_fixture->combo(m_page, "atrSwitchCombo")->setCurrentIndex(0);
    m_fixture->edit(m_page, "atrDelayEdit")->setText("9");
    SimFixture::fail("TMV_NET_QueryFrameTempAlarmConfig_G1", 1);
    SimFixture::clearJournal();

    m_fixture->click(m_page, "getAtrOneAlarmInfoBtn");  // "frame" is the type after a fetch

    QCOMPARE(TMVSim_JournalCountOf("TMV_NET_QueryFrameTempAlarmConfig_G1"), 1);
    QCOMPARE(TMVSim_JournalCountOf("TMV_NET_QueryTempRule_G1"), 0);
    QCOMPARE(m_boxes->count(), 1);
    QCOMPARE(m_boxes->last().text, QStringLiteral("Get atr frame rule temp Failed!"));
    QCOMPARE(m_fixture->combo(m_page, "atrSwitchCombo")->currentIndex(), 0);
    QCOMPARE(m_fixture->edit(m_page, "atrDelayEdit")->text(), QStringLiteral("9"));

    // A rule entry reads that rule by its key, and not the frame.
    m_fixture->combo(m_page, "atrTypeCombo")->setCurrentIndex(1);
    SimFixture::fail("TMV_NET_QueryTempRule_G1", 1);
    SimFixture::clearJournal();
    m_fixture->click(m_page, "getAtrOneAlarmInfoBtn");
    QCOMPARE(TMVSim_JournalCountOf("TMV_NET_QueryFrameTempAlarmConfig_G1"), 0);
    const QByteArray input = SimFixture::lastInput("TMV_NET_QueryTempRule_G1");
    TMV_NET_TEMP_RULE_KEY key;
    std::memcpy(&key, input.constData() + sizeof(TMV_NET_HANDLE), sizeof key);
    QCOMPARE(key.ruleType, 2);
    QCOMPARE(key.ruleId, 5);
    QCOMPARE(m_boxes->last().text, QStringLiteral("Get atr rule temp  Failed!"));
}

// ---- Against a measuring device --------------------------------------------

void TestTempAlarmPage::presetsListedFromDevice()
{
    QVERIFY(m_fixture->login());
    TMV_NET_HANDLE handle = m_window->Handle();
    int32_t size = 0;
    if (!DeviceAnswers(TMV_NET_QueryPtzPresetSize(handle, &size)))
        QSKIP("the simulated device lists no presets yet (answers 2)");
    QVERIFY(size > 0);

    m_fixture->click(m_page, "getAllPresetBtn");

    QCOMPARE(m_boxes->count(), 0);
    QCOMPARE(m_fixture->combo(m_page, "presetCombo")->count(), 1 + size);
    QCOMPARE(m_fixture->combo(m_page, "presetCombo")->currentIndex(), 0);
    // Slots in id order from 1, so list position and id agree.
    for (int position = 1; position <= size; ++position) {
        m_fixture->combo(m_page, "presetCombo")->setCurrentIndex(position);
        QCOMPARE(m_page->CurrentPresetId(), position);
        QVERIFY(m_fixture->combo(m_page, "presetCombo")->currentText().startsWith(QString::number(position)));
    }
}

void TestTempAlarmPage::overReportedCountIsClamped_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("combo");

    QTest::newRow("presets") << "getAllPresetBtn" << "TMV_NET_QueryPtzPreset" << "presetCombo";
    QTest::newRow("rules") << "getAllRulesBtn" << "TMV_NET_QueryTempRule" << "ruleCombo";
    QTest::newRow("masks") << "shieldedGetAllBtn" << "TMV_NET_QueryTempMask" << "shieldedAreaCombo";
    QTest::newRow("G1 rules") << "getAtrAllRulesBtn" << "TMV_NET_QueryTempRule_G1" << "atrRuleCombo";
}

void TestTempAlarmPage::overReportedCountIsClamped()
{
    QFETCH(QString, button);
    QFETCH(QString, list);
    QFETCH(QString, combo);
    const bool tiered = list.endsWith("_G1");
    QVERIFY(m_fixture->login(tiered ? SimFixture::kPanoramicCamera : SimFixture::kPtzCamera));
    TMV_NET_HANDLE handle = m_window->Handle();

    // Something to list, straight through the library.
    int status = 0;
    int fixed = 0;  // entries the combo holds besides the device's
    if (list == "TMV_NET_QueryTempRule") {
        TMV_NET_TEMP_RULE rule = Rule(2, 0, 0);
        rule.pointCount = 4;
        rule.points[2] = {300, 400};
        rule.points[3] = {100, 400};
        rule.points[1] = {300, 200};
        status = TMV_NET_AddTempRule(handle, &rule);
    } else if (list == "TMV_NET_QueryTempMask") {
        TMV_NET_TEMP_MASK mask;
        std::memset(&mask, 0, sizeof mask);
        mask.enable = 1;
        mask.maskId = 1;
        mask.points[1] = {500, 0};
        mask.points[2] = {500, 500};
        mask.points[3] = {0, 500};
        status = TMV_NET_AddTempMask(handle, &mask);
    } else if (tiered) {
        TMV_NET_TEMP_RULE_G1 rule = RuleG1(2, 0);
        rule.startPoint = {100, 100};
        rule.endPoint = {600, 600};
        status = TMV_NET_AddTempRule_G1(handle, &rule);
        fixed = 1;
    } else {
        int32_t size = 0;
        status = TMV_NET_QueryPtzPresetSize(handle, &size);
        fixed = 1;
    }
    if (!DeviceAnswers(status))
        QSKIP("the simulated device does not keep these yet (answers 2)");
    QCOMPARE(status, 0);

    TMVSim_OverReportCount(list.toLatin1().constData(), 5);
    m_fixture->click(m_page, button);

    QCOMPARE(m_boxes->count(), 0);
    const int listed = m_fixture->combo(m_page, combo)->count() - fixed;
    QVERIFY(listed >= 1);
    // The capacity asked for is the last 4 bytes of the list call's inputs.
    const QByteArray input = SimFixture::lastInput(list.toLatin1().constData());
    int32_t capacity = -1;
    std::memcpy(&capacity, input.constData() + input.size() - 4, 4);
    QCOMPARE(listed, int(capacity));
}

void TestTempAlarmPage::tieredSwitchRoundTrip_data()
{
    QTest::addColumn<int>("position");

    QTest::newRow("High Temp") << 0;
    QTest::newRow("Low Temp") << 1;
    QTest::newRow("High&Low Temp") << 2;
    QTest::newRow("Off") << 3;
}

void TestTempAlarmPage::tieredSwitchRoundTrip()
{
    QFETCH(int, position);
    QVERIFY(m_fixture->login(SimFixture::kPanoramicCamera));
    TMV_NET_TEMP_ALARM_G1 probe;
    std::memset(&probe, 0, sizeof probe);
    if (!DeviceAnswers(TMV_NET_QueryFrameTempAlarmConfig_G1(m_window->Handle(), &probe)))
        QSKIP("the simulated device keeps no tiered settings yet (answers 2)");
    m_page->FillG1List(nullptr, 0);
    TypeTiered(QStringList{"10", "5", "0", "-5", "50", "60", "70", "80", "4"});
    m_fixture->combo(m_page, "atrSwitchCombo")->setCurrentIndex(position);
    m_fixture->click(m_page, "setAtrOneAlarmInfoBtn");
    m_page->ClearPage();
    m_page->FillG1List(nullptr, 0);

    m_fixture->click(m_page, "getAtrOneAlarmInfoBtn");

    QCOMPARE(m_boxes->count(), 0);
    QCOMPARE(m_fixture->combo(m_page, "atrSwitchCombo")->currentIndex(), position);
    QCOMPARE(m_fixture->edit(m_page, "highLevelTwoTempEdit")->text(), QStringLiteral("70.0"));
    QCOMPARE(m_fixture->edit(m_page, "atrDelayEdit")->text(), QStringLiteral("4"));
}

QTEST_MAIN(TestTempAlarmPage)
#include "tst_tempalarmpage.moc"
