// The "Config" page's form and its imaging and thermal groups, driven through
// the widgets: what goes to the device (journal bytes), what the page shows
// and the message boxes it raises.
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QValidator>
#include <QtTest>

#include <cstring>
#include <memory>

#include "config/ConfigPage.h"
#include "config/ConfigText.h"
#include "app/MainWindow.h"
#include "liveview/PreviewPage.h"
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

QByteArray EnvBytes(float atmosTemp, float distance, float emissivity, float refTemp, float atmosTrans)
{
    TMV_NET_ENV_PARAM param = Zeroed<TMV_NET_ENV_PARAM>();
    param.atmosTemp = atmosTemp;
    param.distance = distance;
    param.emissivity = emissivity;
    param.refTemp = refTemp;
    param.atmosTrans = atmosTrans;
    return SimFixture::bytesOf(param);
}

QByteArray SpanBytes(bool enable, float lower, float upper)
{
    TMV_NET_TEMP_SPAN_INFO info = Zeroed<TMV_NET_TEMP_SPAN_INFO>();
    info.enable = enable ? 1 : 0;
    info.lowerThreshold = lower;
    info.upperThreshold = upper;
    return SimFixture::bytesOf(info);
}

// Share of sampled pixels whose red and blue differ: 0 for a grey picture.
double ColourfulShare(const QImage &frame)
{
    const QImage rgb = frame.convertToFormat(QImage::Format_RGB32);
    int colourful = 0, samples = 0;
    for (int y = 0; y < rgb.height(); y += 7)
        for (int x = 0; x < rgb.width(); x += 7, ++samples)
            if (qAbs(qRed(rgb.pixel(x, y)) - qBlue(rgb.pixel(x, y))) > 8)
                ++colourful;
    return samples ? double(colourful) / samples : 0.0;
}

const char *const kPalettes[] = {"White Hot", "Black Hot", "Rainbow",  "Rainbow HC", "Iron",     "Lava",     "Sky",
                                 "Mid Gray",  "Rdgy",      "Puor",     "Special",    "Red",      "Ice Fire", "Gree Red",
                                 "Special2",  "Red Hot",   "Green Hot", "Blue Hot",  "Green",    "Blue"};

} // namespace

// Widget name -> value to put in it: text for an edit, checked state for a
// check box, current index for a combo box.
typedef QList<QPair<QString, QVariant>> FormValues;
Q_DECLARE_METATYPE(FormValues)

class TestConfigImaging : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    // Form.
    void formControls_data();
    void formControls();
    void comboItems_data();
    void comboItems();
    void addressValidators_data();
    void addressValidators();

    // Conversions.
    void intOf_data();
    void intOf();
    void floatText_data();
    void floatText();
    void comboIndex_data();
    void comboIndex();
    void switchStates_data();
    void switchStates();
    void syncTimeText();
    void enhanceFormKeepsDeviceBytes();

    // Slots against the device.
    void setSendsForm_data();
    void setSendsForm();
    void noSelectionSendsNothing_data();
    void noSelectionSendsNothing();
    void failingGetKeepsForm_data();
    void failingGetKeepsForm();
    void thermalImageReadsAreIndependent();
    void thermalImageWritesAreIndependent();
    void enhanceSetReadsThenWrites();
    void synTimeSendsLocalTime();
    void logoutClearsPage();

    // End to end on the simulated device.
    void switchGetFollowsDevice_data();
    void switchGetFollowsDevice();
    void paletteColoursLivePicture();
    void fahrenheitInFrameTemperatures();
    void thermalImageFailingReadKeepsOthers();
    void enhancementKeepsDeviceSettings();

private:
    void Fill(const FormValues &values) const;
    bool Login();
    QStringList BoxTexts() const;

    // A second session on the device, to ask it what the page did.
    TMV_NET_HANDLE Peer();

    std::unique_ptr<PageFixture> m_fixture;
    ConfigPage *m_page = nullptr;
    ModalCatcher *m_boxes = nullptr;
    TMV_NET_HANDLE m_peer = nullptr;
};

void TestConfigImaging::initTestCase()
{
    WarningGuard::install();
}

void TestConfigImaging::cleanupTestCase()
{
    TMV_NET_Deinit();
}

void TestConfigImaging::init()
{
    m_fixture.reset(new PageFixture(false));
    m_page = m_fixture->window()->findChild<ConfigPage *>();
    QVERIFY(m_page);
    m_boxes = &m_fixture->boxes();
}

void TestConfigImaging::cleanup()
{
    if (m_peer)
        TMV_NET_Logout(m_peer);
    m_fixture->verifyClean();
    m_fixture.reset();
    m_page = nullptr;
    m_boxes = nullptr;
    m_peer = nullptr;
    SimFixture::clearFaults();
    SimFixture::resumeClock();
}

TMV_NET_HANDLE TestConfigImaging::Peer()
{
    if (!m_peer)
        m_peer = SimFixture::login(SimFixture::kPtzCamera);
    return m_peer;
}

void TestConfigImaging::Fill(const FormValues &values) const
{
    for (const auto &value : values) {
        QWidget *widget = m_fixture->child<QWidget>(m_page, value.first);
        if (auto *edit = qobject_cast<QLineEdit *>(widget))
            edit->setText(value.second.toString());
        else if (auto *check = qobject_cast<QCheckBox *>(widget))
            check->setChecked(value.second.toBool());
        else if (auto *combo = qobject_cast<QComboBox *>(widget))
            combo->setCurrentIndex(value.second.toInt());
        else
            qFatal("cannot fill %s", qPrintable(value.first));
    }
}

bool TestConfigImaging::Login()
{
    const bool ok = m_fixture->login(SimFixture::kPtzCamera);
    m_boxes->clear();
    SimFixture::clearJournal();
    return ok;
}

QStringList TestConfigImaging::BoxTexts() const
{
    QStringList texts;
    for (const ModalCatcher::Box &box : m_boxes->boxes())
        texts << box.title + QLatin1String(": ") + box.text;
    return texts;
}

// ---- Form ------------------------------------------------------------------

void TestConfigImaging::formControls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("text");

    const struct
    {
        const char *name, *type, *text;
    } rows[] = {
        {"fameRateLabel", "QLabel", "Frame rate"},
        {"fameRateEdit", "QLineEdit", ""},
        {"fameRateGetBtn", "QPushButton", "Get"},
        {"fameRateSetBtn", "QPushButton", "Set"},
        {"synTimeBtn", "QPushButton", "Syn. Time"},
        {"shutterCorrectBtn", "QPushButton", "Shutter Correct"},
        {"envParamsTitle", "QLabel", "Env. Params"},
        {"emissivityLabel", "QLabel", "Emissivity"},
        {"emissivityEdit", "QLineEdit", ""},
        {"atmosTransLabel", "QLabel", "Atmos. Trans."},
        {"atmosTransEdit", "QLineEdit", ""},
        {"refTempLabel", "QLabel", "Ref.Temp."},
        {"refTempEdit", "QLineEdit", ""},
        {"atmosTempLabel", "QLabel", "Atmos. Temp."},
        {"atmosTempEdit", "QLineEdit", ""},
        {"distanceLabel", "QLabel", "Distance"},
        {"distanceEdit", "QLineEdit", ""},
        {"envParaGetBtn", "QPushButton", "Get"},
        {"envParaSetBtn", "QPushButton", "Set"},
        {"osdTitle", "QLabel", "OSD"},
        {"osdMasterCheck", "QCheckBox", "OSD master Switch"},
        {"osdMasterGetBtn", "QPushButton", "Get"},
        {"osdMasterSetBtn", "QPushButton", "Set"},
        {"pseudoColorCheck", "QCheckBox", " Pseudo color bars"},
        {"pseudoColorGetBtn", "QPushButton", "Get"},
        {"pseudoColorSetBtn", "QPushButton", "Set"},
        {"paletteLabel", "QLabel", "Palette"},
        {"paletteGetBtn", "QPushButton", "Get"},
        {"paletteSetBtn", "QPushButton", "Set"},
        {"gainSwitchLabel", "QLabel", "Gain Switch"},
        {"gainSwitchGetBtn", "QPushButton", "Get"},
        {"gainSwitchSetBtn", "QPushButton", "Set"},
        {"unitLabel", "QLabel", "Unit"},
        {"unitGetBtn", "QPushButton", "Get"},
        {"unitSetBtn", "QPushButton", "Set"},
        {"tempSpanTitle", "QLabel", "Temp Span"},
        {"tempEnbleCheck", "QCheckBox", "Enable"},
        {"lowerThresholdLabel", "QLabel", "Lower threshold"},
        {"lowerThresholdEdit", "QLineEdit", ""},
        {"upperThresholdLabel", "QLabel", "Upper threshold"},
        {"upperThresholdEdit", "QLineEdit", ""},
        {"tempSpanGetBtn", "QPushButton", "Get"},
        {"tempSpanSetBtn", "QPushButton", "Set"},
        {"brightnessLabel", "QLabel", "Brightness"},
        {"brightnesslineEdit", "QLineEdit", ""},
        {"contrastLabel", "QLabel", "Contrast"},
        {"contrastlineEdit", "QLineEdit", ""},
        {"flipLabel", "QLabel", "Flip"},
        {"thermalImageGetBtn", "QPushButton", "Get"},
        {"thermalImageSetBtn", "QPushButton", "Set"},
        {"detailEnhancerTitle", "QLabel", "Detail Enhancer"},
        {"denoise2DLabel", "QLabel", "2D NR"},
        {"denoise2DCheckBox", "QCheckBox", "Enable"},
        {"denoise2DLineEdit", "QLineEdit", ""},
        {"denoise3DLabel", "QLabel", "3D NR"},
        {"denoise3DCheckBox", "QCheckBox", "Enable"},
        {"denoise3DLineEdit", "QLineEdit", ""},
        {"detailEnhanceLabel", "QLabel", "DE"},
        {"detailEnhanceCheckBox", "QCheckBox", "Enable"},
        {"detailEnhanceLineEdit", "QLineEdit", ""},
        {"thermalVideoEnhanceGetBtn", "QPushButton", "Get"},
        {"thermalVideoEnhanceSetBtn", "QPushButton", "Set"},
        {"datetimeTitle", "QLabel", "Datetime"},
        {"dateTimeCheck", "QCheckBox", "Enable"},
        {"dateTimePositionLabel", "QLabel", "Position:"},
        {"dateTimeLeftLabel", "QLabel", "Left"},
        {"dateTimeLeftEdit", "QLineEdit", ""},
        {"dateTimeTopLabel", "QLabel", "Top"},
        {"dateTimeTopEdit", "QLineEdit", ""},
        {"dateTimeRightLabel", "QLabel", "Right"},
        {"dateTimeRightEdit", "QLineEdit", ""},
        {"dateTimeBottomLabel", "QLabel", "Bottom"},
        {"dateTimeBottonEdit", "QLineEdit", ""},
        {"dateTitleGetBtn", "QPushButton", "Get"},
        {"dateTitleSetBtn", "QPushButton", "Set"},
        {"channelTitleTitle", "QLabel", "Channel Title"},
        {"channelTitleCheck", "QCheckBox", "Enable"},
        {"channelTitleNameLabel", "QLabel", "Title"},
        {"channelTitleNameEdit", "QLineEdit", ""},
        {"channelTitlePositionLabel", "QLabel", "Position:"},
        {"channelTitleLeftEdit", "QLineEdit", ""},
        {"channelTitleTopEdit", "QLineEdit", ""},
        {"channelTitleRightEdit", "QLineEdit", ""},
        {"channelTitleBottonEdit", "QLineEdit", ""},
        {"channelTitleGetBtn", "QPushButton", "Get"},
        {"channelTitleSetBtn", "QPushButton", "Set"},
        {"laserOsdTitle", "QLabel", "Laser OSD"},
        {"laserEnbleCheck", "QCheckBox", "Enable"},
        {"fontSizeLabel", "QLabel", "Font Size"},
        {"alligmentLabel", "QLabel", "Allignment"},
        {"laserOSDGetBtn", "QPushButton", "Get"},
        {"laserOSDSetBtn", "QPushButton", "Set"},
        {"laserOsdPositionLabel", "QLabel", "Position:"},
        {"laserOsdLeftEdit", "QLineEdit", ""},
        {"laserOsdTopEdit", "QLineEdit", ""},
        {"laserOsdRightEdit", "QLineEdit", ""},
        {"laserOsdBottomEdit", "QLineEdit", ""},
        {"ipConfigTitle", "QLabel", "IP Config"},
        {"dhcpEnableCheck", "QCheckBox", "DHCP Enable"},
        {"ipAddressLabel", "QLabel", "ip"},
        {"ipEdit", "QLineEdit", ""},
        {"subnetMaskLabel", "QLabel", "subnetMask"},
        {"subnetMaskEdit", "QLineEdit", ""},
        {"getwayLabel", "QLabel", "gateway"},
        {"getwayEdit", "QLineEdit", ""},
        {"defaultDnsLabel", "QLabel", "defaultDns"},
        {"defaultDnsEdit", "QLineEdit", ""},
        {"standbuDnsLabel", "QLabel", "standbyDns"},
        {"standbuDnsEdit", "QLineEdit", ""},
        {"macLabel", "QLabel", "MAC"},
        {"macEdit", "QLineEdit", ""},
        {"ipNameLabel", "QLabel", "name"},
        {"ipNameEdit", "QLineEdit", ""},
        {"ipConfigGetBtn", "QPushButton", "Get"},
        {"ipConfigSetBtn", "QPushButton", "Set"},
        {"serialTitle", "QLabel", "Serial Communication"},
        {"sendCmdLabel", "QLabel", "send:"},
        {"sendCmdEdit", "QLineEdit", ""},
        {"recvCmdLabel", "QLabel", "recv:"},
        {"recvCmdEdit", "QLineEdit", ""},
        {"sendCmdBtn", "QPushButton", "Send"},
        {"rebootTitle", "QLabel", "Reboot"},
        {"devRebootBtn", "QPushButton", "Reboot"},
        {"devRestartBtn", "QPushButton", "Restart"},
        {"devFactoryBtn", "QPushButton", "FactorySet"},
    };
    for (const auto &row : rows)
        QTest::newRow(row.name) << row.name << row.type << row.text;
}

// Every control under its name and text, empty and unchecked at start, and
// the whole form inside the page's scroll area.
void TestConfigImaging::formControls()
{
    QFETCH(QString, name);
    QFETCH(QString, type);
    QFETCH(QString, text);

    QWidget *widget = m_fixture->child<QWidget>(m_page, name);
    QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), type);
    QCOMPARE(widget->property("text").toString(), text);
    if (auto *check = qobject_cast<QCheckBox *>(widget))
        QVERIFY(!check->isChecked());
    QVERIFY(m_fixture->child<QScrollArea>(m_page, "scrollArea")->widget()->isAncestorOf(widget));
}

void TestConfigImaging::comboItems_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<int>("index");

    QStringList palettes;
    for (const char *palette : kPalettes)
        palettes << QString::fromLatin1(palette);
    QTest::newRow("palette") << "paletteCombo" << palettes << -1;
    QTest::newRow("gain") << "gainSwitchCombo" << QStringList{"High Gain", "Low Gain", "Auto"} << -1;
    QTest::newRow("unit") << "unitCombo" << QStringList{"Celsius degree", "Fahrenheit", "Kelvins"} << -1;
    QTest::newRow("flip") << "flipcomboBox"
                          << QStringList{"Common", "Horizontal flip", "Vertical flip", "180-degree flip"} << 0;
    QTest::newRow("font size") << "fontSizeCombo" << QStringList{"small", "middle", "large"} << 0;
    QTest::newRow("alignment") << "alligmentCombo" << QStringList{"left", "right"} << 0;
}

void TestConfigImaging::comboItems()
{
    QFETCH(QString, name);
    QFETCH(QStringList, items);
    QFETCH(int, index);

    QCOMPARE(m_fixture->items(m_page, name), items);
    QCOMPARE(m_fixture->combo(m_page, name)->currentIndex(), index);
}

void TestConfigImaging::addressValidators_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("state");

    QTest::newRow("address") << "192.168.1.10" << int(QValidator::Acceptable);
    QTest::newRow("leading zeros") << "010.001.000.255" << int(QValidator::Acceptable);
    QTest::newRow("three numbers and a dot") << "10.0.0." << int(QValidator::Intermediate);
    QTest::newRow("256") << "256.1.1.1" << int(QValidator::Invalid);
    QTest::newRow("five numbers") << "1.2.3.4.5" << int(QValidator::Invalid);
    QTest::newRow("letters") << "a.b.c.d" << int(QValidator::Invalid);
}

// Each address edit has its own validator; the MAC and name edits take any
// text.
void TestConfigImaging::addressValidators()
{
    QFETCH(QString, text);
    QFETCH(int, state);

    QSet<const QValidator *> validators;
    for (const char *name : {"ipEdit", "subnetMaskEdit", "getwayEdit", "defaultDnsEdit", "standbuDnsEdit"}) {
        const QValidator *validator = m_fixture->edit(m_page, name)->validator();
        QVERIFY2(validator, name);
        validators.insert(validator);
        QString input = text;
        int position = input.size();
        QCOMPARE(int(validator->validate(input, position)), state);
    }
    QCOMPARE(validators.size(), 5);
    QVERIFY(!m_fixture->edit(m_page, "macEdit")->validator());
    QVERIFY(!m_fixture->edit(m_page, "ipNameEdit")->validator());
}

// ---- Conversions -----------------------------------------------------------

void TestConfigImaging::intOf_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");

    QTest::newRow("number") << "30" << 30;
    QTest::newRow("negative") << "-7" << -7;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("letters") << "abc" << 0;
    QTest::newRow("fraction") << "2.5" << 0;
    QTest::newRow("hexadecimal") << "0x10" << 0;
    QTest::newRow("beyond 32 bits") << "4294967296" << 0;
}

void TestConfigImaging::intOf()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(ConfigIntOf(text), value);
}

void TestConfigImaging::floatText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("shown");

    QTest::newRow("emissivity") << "0.95" << 0.95f << "0.95";
    QTest::newRow("whole") << "1" << 1.0f << "1.00";
    QTest::newRow("negative") << "-20.5" << -20.5f << "-20.50";
    QTest::newRow("rounded") << "25.456" << 25.456f << "25.46";
    QTest::newRow("letters") << "x" << 0.0f << "0.00";
    QTest::newRow("empty") << "" << 0.0f << "0.00";
}

// Parsing an edit and showing the value back.
void TestConfigImaging::floatText()
{
    QFETCH(QString, text);
    QFETCH(float, value);
    QFETCH(QString, shown);
    QCOMPARE(ConfigFloatOf(text), value);
    QCOMPARE(ConfigFloatText(value), shown);
}

void TestConfigImaging::comboIndex_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("index");

    QTest::newRow("first") << 0 << 20 << 0;
    QTest::newRow("Blue") << 19 << 20 << 19;
    QTest::newRow("past the list") << 20 << 20 << -1;
    QTest::newRow("far past") << 1000000 << 20 << -1;
    QTest::newRow("negative") << -1 << 3 << -1;
}

void TestConfigImaging::comboIndex()
{
    QFETCH(int, value);
    QFETCH(int, count);
    QFETCH(int, index);
    QCOMPARE(ConfigComboIndex(value, count), index);
}

void TestConfigImaging::switchStates_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("osdShown");
    QTest::addColumn<bool>("barShown");

    QTest::newRow("0") << 0 << true << false;
    QTest::newRow("1") << 1 << false << true;
    QTest::newRow("2") << 2 << false << true;
    QTest::newRow("-1") << -1 << false << true;
}

// The OSD switch is 0 for shown (the page writes 2 for hidden); the colour
// bar is non-zero for shown (the page writes 1 and 0).
void TestConfigImaging::switchStates()
{
    QFETCH(int, state);
    QFETCH(bool, osdShown);
    QFETCH(bool, barShown);
    QCOMPARE(OsdShown(state), osdShown);
    QCOMPARE(TempBarShown(state), barShown);
    QCOMPARE(OsdStateFor(true), 0);
    QCOMPARE(OsdStateFor(false), 2);
    QCOMPARE(TempBarStateFor(true), 1);
    QCOMPARE(TempBarStateFor(false), 0);
}

void TestConfigImaging::syncTimeText()
{
    QCOMPARE(SyncTimeText(QDateTime(QDate(2026, 3, 3), QTime(14, 9, 5))), QByteArray("2026-03-03 14:09:05"));
    QCOMPARE(SyncTimeText(QDateTime(QDate(987, 12, 31), QTime(0, 0, 0))), QByteArray("0987-12-31 00:00:00"));
}

// Only the six fields of the form change; the scene mode at offset 0 and every
// byte from offset 28 on are the device's own.
void TestConfigImaging::enhanceFormKeepsDeviceBytes()
{
    TMV_NET_THERMAL_IMAGE_ENHANCE_INFO info;
    std::memset(&info, 0xA5, sizeof info);
    const QByteArray before = SimFixture::bytesOf(info);

    EnhanceForm form;
    form.denoise2D = true;
    form.denoise2DLevel = 11;
    form.denoise3D = false;
    form.denoise3DLevel = -3;
    form.detailEnhance = true;
    form.detailEnhanceLevel = 70000;
    ApplyEnhanceForm(info, form);

    const QByteArray after = SimFixture::bytesOf(info);
    QCOMPARE(after.left(4), before.left(4));
    QCOMPARE(after.mid(28), before.mid(28));
    QCOMPARE(int(info.denoise2DEnable), 1);
    QCOMPARE(info.denoise2DLevel, 11);
    QCOMPARE(int(info.denoise3DEnable), 0);
    QCOMPARE(info.denoise3DLevel, -3);
    QCOMPARE(int(info.detailEnhanceEnable), 1);
    QCOMPARE(info.detailEnhanceLevel, 70000);
}

// ---- Slots against the device ----------------------------------------------

void TestConfigImaging::setSendsForm_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("function");
    QTest::addColumn<FormValues>("form");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QString>("operation");

    QTest::newRow("frame rate") << "fameRateSetBtn" << "TMV_NET_SetFrameRate"
                                << FormValues{{"fameRateEdit", "30"}} << Int32(30) << "SetFrameRate";
    QTest::newRow("frame rate letters") << "fameRateSetBtn" << "TMV_NET_SetFrameRate"
                                        << FormValues{{"fameRateEdit", "fast"}} << Int32(0) << "SetFrameRate";
    QTest::newRow("OSD checked") << "osdMasterSetBtn" << "TMV_NET_SetOSDState"
                                 << FormValues{{"osdMasterCheck", true}} << Int32(0) << "SetOSDState";
    QTest::newRow("OSD unchecked") << "osdMasterSetBtn" << "TMV_NET_SetOSDState"
                                   << FormValues{{"osdMasterCheck", false}} << Int32(2) << "SetOSDState";
    QTest::newRow("bar checked") << "pseudoColorSetBtn" << "TMV_NET_SetTempBarState"
                                 << FormValues{{"pseudoColorCheck", true}} << Int32(1) << "SetTempBarState";
    QTest::newRow("bar unchecked") << "pseudoColorSetBtn" << "TMV_NET_SetTempBarState"
                                   << FormValues{{"pseudoColorCheck", false}} << Int32(0) << "SetTempBarState";
    QTest::newRow("palette Iron") << "paletteSetBtn" << "TMV_NET_SetPalleteType"
                                  << FormValues{{"paletteCombo", 4}} << Int32(4) << "SetPalleteType";
    QTest::newRow("palette Blue") << "paletteSetBtn" << "TMV_NET_SetPalleteType"
                                  << FormValues{{"paletteCombo", 19}} << Int32(19) << "SetPalleteType";
    QTest::newRow("gain auto") << "gainSwitchSetBtn" << "TMV_NET_SetTempLevel"
                               << FormValues{{"gainSwitchCombo", 2}} << Int32(2) << "SetTempLevel";
    QTest::newRow("unit Fahrenheit") << "unitSetBtn" << "TMV_NET_SetTempUnit"
                                     << FormValues{{"unitCombo", 1}} << Int32(1) << "SetTempUnit";
    QTest::newRow("environment")
        << "envParaSetBtn" << "TMV_NET_SetEnvParam"
        << FormValues{{"atmosTempEdit", "25"},
                      {"distanceEdit", "12.5"},
                      {"emissivityEdit", "0.95"},
                      {"refTempEdit", "-4"},
                      {"atmosTransEdit", "0.7"}}
        << EnvBytes(25.0f, 12.5f, 0.95f, -4.0f, 0.7f) << "SetEnvParam";
    QTest::newRow("environment unparsable")
        << "envParaSetBtn" << "TMV_NET_SetEnvParam"
        << FormValues{{"atmosTempEdit", "warm"},
                      {"distanceEdit", ""},
                      {"emissivityEdit", "0.95"},
                      {"refTempEdit", "1,5"},
                      {"atmosTransEdit", "1"}}
        << EnvBytes(0.0f, 0.0f, 0.95f, 0.0f, 1.0f) << "SetEnvParam";
    QTest::newRow("span") << "tempSpanSetBtn" << "TMV_NET_SetTempSpanInfo"
                          << FormValues{{"tempEnbleCheck", true},
                                        {"lowerThresholdEdit", "-20.5"},
                                        {"upperThresholdEdit", "150"}}
                          << SpanBytes(true, -20.5f, 150.0f) << "SetTempSpanInfo";
    QTest::newRow("span off") << "tempSpanSetBtn" << "TMV_NET_SetTempSpanInfo"
                              << FormValues{{"tempEnbleCheck", false},
                                            {"lowerThresholdEdit", "low"},
                                            {"upperThresholdEdit", "40"}}
                              << SpanBytes(false, 0.0f, 40.0f) << "SetTempSpanInfo";
    QTest::newRow("shutter") << "shutterCorrectBtn" << "TMV_NET_CorrectShutter" << FormValues{} << QByteArray()
                             << "CorrectShutter";
}

// What each "Set" sends, and the name its failure is reported under. The
// journal keeps the inputs of a call that fails.
void TestConfigImaging::setSendsForm()
{
    QFETCH(QString, button);
    QFETCH(QString, function);
    QFETCH(FormValues, form);
    QFETCH(QByteArray, sent);
    QFETCH(QString, operation);

    QVERIFY(Login());
    Fill(form);
    const QByteArray name = function.toLatin1();
    SimFixture::fail(name.constData(), 1);
    m_fixture->click(m_page, button);

    QCOMPARE(SimFixture::calls(), QStringList{function});
    QCOMPARE(SimFixture::argsOf(name.constData()).value(0), sent);
    QCOMPARE(BoxTexts(), QStringList{"Error: " + operation + " Failed!"});
}

void TestConfigImaging::noSelectionSendsNothing_data()
{
    QTest::addColumn<QString>("combo");
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("relogin");

    QTest::newRow("palette") << "paletteCombo" << "paletteSetBtn" << false;
    QTest::newRow("gain") << "gainSwitchCombo" << "gainSwitchSetBtn" << false;
    QTest::newRow("unit") << "unitCombo" << "unitSetBtn" << false;
    QTest::newRow("palette after logout") << "paletteCombo" << "paletteSetBtn" << true;
    QTest::newRow("gain after logout") << "gainSwitchCombo" << "gainSwitchSetBtn" << true;
    QTest::newRow("unit after logout") << "unitCombo" << "unitSetBtn" << true;
}

// A combo box without a current item makes no call and says nothing, both at
// start and after a logout cleared the selection.
void TestConfigImaging::noSelectionSendsNothing()
{
    QFETCH(QString, combo);
    QFETCH(QString, button);
    QFETCH(bool, relogin);

    QVERIFY(Login());
    if (relogin) {
        m_fixture->combo(m_page, combo)->setCurrentIndex(1);
        m_fixture->click("loginBtn");
        QVERIFY(!m_fixture->loggedIn());
        QVERIFY(Login());
    }
    QCOMPARE(m_fixture->combo(m_page, combo)->currentIndex(), -1);
    m_fixture->click(m_page, button);
    QCOMPARE(SimFixture::calls(), QStringList());
    QCOMPARE(m_boxes->count(), 0);
}

void TestConfigImaging::failingGetKeepsForm_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<FormValues>("form");

    QTest::newRow("frame rate") << "fameRateGetBtn" << "TMV_NET_GetFrameRate" << "GetFrameRate"
                                << FormValues{{"fameRateEdit", "12"}};
    QTest::newRow("environment") << "envParaGetBtn" << "TMV_NET_GetEnvParam" << "GetEnvParam"
                                 << FormValues{{"emissivityEdit", "0.5"}, {"distanceEdit", "x"}};
    QTest::newRow("OSD") << "osdMasterGetBtn" << "TMV_NET_GetOSDState" << "GetOSDState"
                         << FormValues{{"osdMasterCheck", true}};
    QTest::newRow("bar") << "pseudoColorGetBtn" << "TMV_NET_GetTempBarState" << "GetTempBarState"
                         << FormValues{{"pseudoColorCheck", true}};
    QTest::newRow("palette") << "paletteGetBtn" << "TMV_NET_GetPalleteType" << "GetPalleteType"
                             << FormValues{{"paletteCombo", 7}};
    QTest::newRow("gain") << "gainSwitchGetBtn" << "TMV_NET_GetTempLevel" << "GetTempLevel"
                          << FormValues{{"gainSwitchCombo", 1}};
    QTest::newRow("unit") << "unitGetBtn" << "TMV_NET_GetTempUnit" << "GetTempUnit"
                          << FormValues{{"unitCombo", 2}};
    QTest::newRow("span") << "tempSpanGetBtn" << "TMV_NET_GetTempSpanInfo" << "GetTempSpanInfo"
                          << FormValues{{"tempEnbleCheck", true}, {"upperThresholdEdit", "99"}};
    QTest::newRow("enhancer") << "thermalVideoEnhanceGetBtn" << "TMV_NET_GetThermalImageEnhanceInfo"
                              << "TMV_NET_GetThermalImageEnhanceInfo"
                              << FormValues{{"denoise3DCheckBox", true}, {"detailEnhanceLineEdit", "5"}};
}

// A failing "Get" is reported under its name and leaves the form as it was.
void TestConfigImaging::failingGetKeepsForm()
{
    QFETCH(QString, button);
    QFETCH(QString, function);
    QFETCH(QString, operation);
    QFETCH(FormValues, form);

    QVERIFY(Login());
    Fill(form);
    const QByteArray name = function.toLatin1();
    SimFixture::fail(name.constData(), 1003);
    m_fixture->click(m_page, button);

    QCOMPARE(SimFixture::calls(), QStringList{function});
    QCOMPARE(BoxTexts(), QStringList{"Error: " + operation + " Pwd Wrong!"});
    for (const auto &value : form) {
        QWidget *widget = m_fixture->child<QWidget>(m_page, value.first);
        if (auto *edit = qobject_cast<QLineEdit *>(widget))
            QCOMPARE(edit->text(), value.second.toString());
        else if (auto *check = qobject_cast<QCheckBox *>(widget))
            QCOMPARE(check->isChecked(), value.second.toBool());
        else
            QCOMPARE(qobject_cast<QComboBox *>(widget)->currentIndex(), value.second.toInt());
    }
}

// Each of the three reads is made and reported on its own, in order.
void TestConfigImaging::thermalImageReadsAreIndependent()
{
    QVERIFY(Login());
    Fill({{"brightnesslineEdit", "40"}, {"contrastlineEdit", "60"}, {"flipcomboBox", 2}});
    SimFixture::fail("TMV_NET_GetThermalImageLuminance", 1);
    SimFixture::fail("TMV_NET_GetThermalImageContrast", 3);
    SimFixture::fail("TMV_NET_GetThermalImageFlipMode", 1007);
    m_fixture->click(m_page, "thermalImageGetBtn");

    QCOMPARE(SimFixture::calls(), (QStringList{"TMV_NET_GetThermalImageLuminance", "TMV_NET_GetThermalImageContrast",
                                               "TMV_NET_GetThermalImageFlipMode"}));
    QCOMPARE(BoxTexts(), (QStringList{"Error: GetThermalImageLuminance Failed!",
                                      "Error: GetThermalImageContrast Param Wrong!",
                                      "Error: GetThermalImageFlipMode System Exception!"}));
    QCOMPARE(m_fixture->edit(m_page, "brightnesslineEdit")->text(), QStringLiteral("40"));
    QCOMPARE(m_fixture->edit(m_page, "contrastlineEdit")->text(), QStringLiteral("60"));
    QCOMPARE(m_fixture->combo(m_page, "flipcomboBox")->currentIndex(), 2);
}

// The three writes go out in order whatever the one before answered; with
// the flip cleared, -1 is sent.
void TestConfigImaging::thermalImageWritesAreIndependent()
{
    QVERIFY(Login());
    Fill({{"brightnesslineEdit", "40"}, {"contrastlineEdit", "high"}, {"flipcomboBox", -1}});
    SimFixture::fail("TMV_NET_SetThermalImageLuminance", 1);
    SimFixture::fail("TMV_NET_SetThermalImageContrast", 3);
    SimFixture::fail("TMV_NET_SetThermalImageFlipMode", 1);
    m_fixture->click(m_page, "thermalImageSetBtn");

    QCOMPARE(SimFixture::calls(), (QStringList{"TMV_NET_SetThermalImageLuminance", "TMV_NET_SetThermalImageContrast",
                                               "TMV_NET_SetThermalImageFlipMode"}));
    QCOMPARE(SimFixture::argsOf("TMV_NET_SetThermalImageLuminance").value(0), Int32(40));
    QCOMPARE(SimFixture::argsOf("TMV_NET_SetThermalImageContrast").value(0), Int32(0));
    QCOMPARE(SimFixture::argsOf("TMV_NET_SetThermalImageFlipMode").value(0), Int32(-1));
    QCOMPARE(BoxTexts(), (QStringList{"Error: SetThermalImageLuminance Failed!",
                                      "Error: TMV_NET_SetThermalImageContrast Param Wrong!",
                                      "Error: TMV_NET_SetThermalImageFlipMode Failed!"}));
}

// "Set" reads the record first; a failing read is reported and the write
// still goes, with zeros where the device's own bytes would have been.
void TestConfigImaging::enhanceSetReadsThenWrites()
{
    QVERIFY(Login());
    Fill({{"denoise2DCheckBox", true},
          {"denoise2DLineEdit", "3"},
          {"denoise3DCheckBox", false},
          {"denoise3DLineEdit", "x"},
          {"detailEnhanceCheckBox", true},
          {"detailEnhanceLineEdit", "-8"}});
    SimFixture::fail("TMV_NET_GetThermalImageEnhanceInfo", 1);
    SimFixture::fail("TMV_NET_SetThermalImageEnhanceInfo", 1);
    m_fixture->click(m_page, "thermalVideoEnhanceSetBtn");

    QCOMPARE(SimFixture::calls(),
             (QStringList{"TMV_NET_GetThermalImageEnhanceInfo", "TMV_NET_SetThermalImageEnhanceInfo"}));
    TMV_NET_THERMAL_IMAGE_ENHANCE_INFO expected = Zeroed<TMV_NET_THERMAL_IMAGE_ENHANCE_INFO>();
    expected.denoise2DEnable = 1;
    expected.denoise2DLevel = 3;
    expected.detailEnhanceEnable = 1;
    expected.detailEnhanceLevel = -8;
    QCOMPARE(SimFixture::argsOf("TMV_NET_SetThermalImageEnhanceInfo").value(0), SimFixture::bytesOf(expected));
    QCOMPARE(BoxTexts(), (QStringList{"Error: TMV_NET_GetThermalImageEnhanceInfo Failed!",
                                      "Error: TMV_NET_SetThermalImageEnhanceInfo Failed!"}));
}

// "Syn. Time" sends the computer's local time as text with its NUL.
void TestConfigImaging::synTimeSendsLocalTime()
{
    QVERIFY(Login());
    SimFixture::fail("TMV_NET_SyncSystemTime", 1);
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    m_fixture->click(m_page, "synTimeBtn");
    const QDateTime after = QDateTime::currentDateTime().addSecs(1);

    const QByteArray sent = SimFixture::argsOf("TMV_NET_SyncSystemTime").value(0);
    QCOMPARE(sent.size(), 20);
    QCOMPARE(sent.at(19), '\0');
    const QDateTime time =
        QDateTime::fromString(QString::fromLatin1(sent.left(19)), QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    QVERIFY2(time.isValid(), sent.constData());
    QVERIFY(before <= time && time <= after);
    QCOMPARE(BoxTexts(), QStringList{"Error: SyncSystemTime Failed!"});
}

// Logout empties what belongs to the login and keeps the laser OSD, network
// and serial fields.
void TestConfigImaging::logoutClearsPage()
{
    QVERIFY(Login());
    const char *cleared[] = {"fameRateEdit",       "emissivityEdit",       "atmosTransEdit",
                             "refTempEdit",        "atmosTempEdit",        "distanceEdit",
                             "lowerThresholdEdit", "upperThresholdEdit",   "brightnesslineEdit",
                             "contrastlineEdit",   "denoise2DLineEdit",    "denoise3DLineEdit",
                             "detailEnhanceLineEdit", "dateTimeLeftEdit",  "dateTimeTopEdit",
                             "dateTimeRightEdit",  "dateTimeBottonEdit",   "channelTitleNameEdit",
                             "channelTitleLeftEdit", "channelTitleTopEdit", "channelTitleRightEdit",
                             "channelTitleBottonEdit"};
    const char *unchecked[] = {"osdMasterCheck",   "pseudoColorCheck",  "tempEnbleCheck",
                               "denoise2DCheckBox", "denoise3DCheckBox", "detailEnhanceCheckBox",
                               "dateTimeCheck",    "channelTitleCheck"};
    const char *kept[] = {"laserOsdLeftEdit", "laserOsdTopEdit", "laserOsdRightEdit", "laserOsdBottomEdit",
                          "ipEdit",           "subnetMaskEdit",  "getwayEdit",        "defaultDnsEdit",
                          "standbuDnsEdit",   "macEdit",         "ipNameEdit",        "sendCmdEdit",
                          "recvCmdEdit"};
    for (const char *name : cleared)
        m_fixture->edit(m_page, name)->setText(QStringLiteral("7"));
    for (const char *name : kept)
        m_fixture->edit(m_page, name)->setText(QStringLiteral("1.2.3.4"));
    for (const char *name : unchecked)
        m_fixture->check(m_page, name)->setChecked(true);
    Fill({{"paletteCombo", 4}, {"gainSwitchCombo", 1}, {"unitCombo", 2}, {"flipcomboBox", 3},
          {"laserEnbleCheck", true}, {"dhcpEnableCheck", true}, {"fontSizeCombo", 2}, {"alligmentCombo", 1}});

    m_fixture->click("loginBtn");
    QVERIFY(!m_fixture->loggedIn());

    for (const char *name : cleared)
        QVERIFY2(m_fixture->edit(m_page, name)->text().isEmpty(), name);
    for (const char *name : unchecked)
        QVERIFY2(!m_fixture->check(m_page, name)->isChecked(), name);
    for (const char *name : {"paletteCombo", "gainSwitchCombo", "unitCombo", "flipcomboBox"})
        QVERIFY2(m_fixture->combo(m_page, name)->currentIndex() == -1, name);
    for (const char *name : kept)
        QVERIFY2(m_fixture->edit(m_page, name)->text() == QLatin1String("1.2.3.4"), name);
    QVERIFY(m_fixture->check(m_page, "laserEnbleCheck")->isChecked());
    QVERIFY(m_fixture->check(m_page, "dhcpEnableCheck")->isChecked());
    QCOMPARE(m_fixture->combo(m_page, "fontSizeCombo")->currentIndex(), 2);
    QCOMPARE(m_fixture->combo(m_page, "alligmentCombo")->currentIndex(), 1);
    QCOMPARE(m_boxes->count(), 0);
}

// ---- End to end ------------------------------------------------------------

void TestConfigImaging::switchGetFollowsDevice_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("osdChecked");
    QTest::addColumn<bool>("barChecked");

    QTest::newRow("0") << 0 << true << false;
    QTest::newRow("1") << 1 << false << true;
    QTest::newRow("2") << 2 << false << true;
}

// What the device holds, as the two switches show it after "Get".
void TestConfigImaging::switchGetFollowsDevice()
{
    QFETCH(int, state);
    QFETCH(bool, osdChecked);
    QFETCH(bool, barChecked);

    QVERIFY(Login());
    QCOMPARE(TMV_NET_SetOSDState(Peer(), state), 0);
    QCOMPARE(TMV_NET_SetTempBarState(Peer(), state), 0);
    Fill({{"osdMasterCheck", !osdChecked}, {"pseudoColorCheck", !barChecked}});
    m_fixture->click(m_page, "osdMasterGetBtn");
    m_fixture->click(m_page, "pseudoColorGetBtn");
    QCOMPARE(m_fixture->check(m_page, "osdMasterCheck")->isChecked(), osdChecked);
    QCOMPARE(m_fixture->check(m_page, "pseudoColorCheck")->isChecked(), barChecked);
    QCOMPARE(m_boxes->count(), 0);
}

// "White Hot" shows a grey picture, "Iron" a coloured one; "Get" reads the
// palette back into the cleared combo box.
void TestConfigImaging::paletteColoursLivePicture()
{
    QVERIFY(Login());
    auto *preview = m_fixture->window()->findChild<PreviewPage *>();
    QVERIFY(preview);
    SimFixture::pauseClock();
    m_fixture->click("previewBtn");
    QVERIFY(preview->IsPreviewOpen());

    Fill({{"paletteCombo", 0}});
    m_fixture->click(m_page, "paletteSetBtn");
    SimFixture::stepClock(200);
    const double grey = ColourfulShare(preview->CurrentFrame());
    Fill({{"paletteCombo", 4}});
    QCOMPARE(m_fixture->combo(m_page, "paletteCombo")->currentText(), QStringLiteral("Iron"));
    m_fixture->click(m_page, "paletteSetBtn");
    SimFixture::stepClock(200);
    const double iron = ColourfulShare(preview->CurrentFrame());
    QCOMPARE(grey, 0.0);
    QVERIFY2(iron > 0.5, qPrintable(QString::number(iron)));

    Fill({{"paletteCombo", -1}});
    m_fixture->click(m_page, "paletteGetBtn");
    QCOMPARE(m_fixture->combo(m_page, "paletteCombo")->currentText(), QStringLiteral("Iron"));
    QCOMPARE(m_boxes->count(), 0);
}

// "Fahrenheit" + "Set" makes every frame temperature read in Fahrenheit, and
// the environment's temperatures follow.
void TestConfigImaging::fahrenheitInFrameTemperatures()
{
    QVERIFY(Login());
    SimFixture::pauseClock();
    TMV_NET_TEMP_INFO celsius = Zeroed<TMV_NET_TEMP_INFO>();
    QCOMPARE(TMV_NET_QueryFrameTemp(Peer(), &celsius), 0);

    Fill({{"unitCombo", 1}});
    m_fixture->click(m_page, "unitSetBtn");
    TMV_NET_TEMP_INFO fahrenheit = Zeroed<TMV_NET_TEMP_INFO>();
    QCOMPARE(TMV_NET_QueryFrameTemp(Peer(), &fahrenheit), 0);
    QVERIFY(qAbs(fahrenheit.maxTemp - (celsius.maxTemp * 9 / 5 + 32)) < 0.01f);
    QVERIFY(qAbs(fahrenheit.minTemp - (celsius.minTemp * 9 / 5 + 32)) < 0.01f);
    QVERIFY(qAbs(fahrenheit.avgTemp - (celsius.avgTemp * 9 / 5 + 32)) < 0.01f);

    Fill({{"unitCombo", -1}});
    m_fixture->click(m_page, "unitGetBtn");
    m_fixture->click(m_page, "envParaGetBtn");
    QCOMPARE(m_fixture->combo(m_page, "unitCombo")->currentText(), QStringLiteral("Fahrenheit"));
    // The factory 25 degrees Celsius, in Fahrenheit.
    QCOMPARE(m_fixture->edit(m_page, "atmosTempEdit")->text(), QStringLiteral("77.00"));
    QCOMPARE(m_boxes->count(), 0);
}

// Written together, read back one by one: the failing contrast read shows its
// message and keeps its edit, brightness and flip are still shown.
void TestConfigImaging::thermalImageFailingReadKeepsOthers()
{
    QVERIFY(Login());
    Fill({{"brightnesslineEdit", "40"}, {"contrastlineEdit", "60"}, {"flipcomboBox", 2}});
    m_fixture->click(m_page, "thermalImageSetBtn");
    QCOMPARE(m_boxes->count(), 0);

    Fill({{"brightnesslineEdit", ""}, {"contrastlineEdit", "kept"}, {"flipcomboBox", -1}});
    SimFixture::fail("TMV_NET_GetThermalImageContrast", 1);
    m_fixture->click(m_page, "thermalImageGetBtn");
    QCOMPARE(BoxTexts(), QStringList{"Error: GetThermalImageContrast Failed!"});
    QCOMPARE(m_fixture->edit(m_page, "brightnesslineEdit")->text(), QStringLiteral("40"));
    QCOMPARE(m_fixture->edit(m_page, "contrastlineEdit")->text(), QStringLiteral("kept"));
    QCOMPARE(m_fixture->combo(m_page, "flipcomboBox")->currentText(), QStringLiteral("Vertical flip"));
}

// "Set" changes the six fields of the form on the device and leaves its
// other enhancement settings as they were.
void TestConfigImaging::enhancementKeepsDeviceSettings()
{
    QVERIFY(Login());
    TMV_NET_THERMAL_IMAGE_ENHANCE_INFO device = Zeroed<TMV_NET_THERMAL_IMAGE_ENHANCE_INFO>();
    QCOMPARE(TMV_NET_GetThermalImageEnhanceInfo(Peer(), &device), 0);
    device.sceneMode = 7;
    device.defogEnable = 1;
    device.defogLevel = 33;
    device.reserved[2] = 0x1234;
    QCOMPARE(TMV_NET_SetThermalImageEnhanceInfo(Peer(), &device), 0);

    Fill({{"denoise2DCheckBox", true},
          {"denoise2DLineEdit", "11"},
          {"denoise3DCheckBox", false},
          {"denoise3DLineEdit", "22"},
          {"detailEnhanceCheckBox", true},
          {"detailEnhanceLineEdit", "44"}});
    m_fixture->click(m_page, "thermalVideoEnhanceSetBtn");
    QCOMPARE(m_boxes->count(), 0);

    TMV_NET_THERMAL_IMAGE_ENHANCE_INFO read = Zeroed<TMV_NET_THERMAL_IMAGE_ENHANCE_INFO>();
    QCOMPARE(TMV_NET_GetThermalImageEnhanceInfo(Peer(), &read), 0);
    EnhanceForm form;
    form.denoise2D = true;
    form.denoise2DLevel = 11;
    form.denoise3D = false;
    form.denoise3DLevel = 22;
    form.detailEnhance = true;
    form.detailEnhanceLevel = 44;
    ApplyEnhanceForm(device, form);
    QCOMPARE(SimFixture::bytesOf(read).toHex(), SimFixture::bytesOf(device).toHex());

    // "Get" shows what the device now holds.
    Fill({{"denoise2DLineEdit", ""}, {"denoise3DCheckBox", true}, {"detailEnhanceLineEdit", ""}});
    m_fixture->click(m_page, "thermalVideoEnhanceGetBtn");
    QVERIFY(m_fixture->check(m_page, "denoise2DCheckBox")->isChecked());
    QCOMPARE(m_fixture->edit(m_page, "denoise2DLineEdit")->text(), QStringLiteral("11"));
    QVERIFY(!m_fixture->check(m_page, "denoise3DCheckBox")->isChecked());
    QCOMPARE(m_fixture->edit(m_page, "detailEnhanceLineEdit")->text(), QStringLiteral("44"));
    QCOMPARE(m_boxes->count(), 0);
}

QTEST_MAIN(TestConfigImaging)
#include "tst_configimaging.moc"
