// The OSD, network, serial and maintenance groups of the "Config" page driven
// through their widgets: what they send to the device (journal bytes, which
// the library records even when a call fails) and the boxes they raise.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

#include <cstring>
#include <memory>

#include "config/ConfigPage.h"
#include "app/MainWindow.h"
#include "TestSupport.h"

namespace {

QByteArray Int32(int32_t value)
{
    return SimFixture::bytesOf(value);
}

template <class T>
int32_t Int32At(const T &record, size_t offset)
{
    int32_t value = 0;
    std::memcpy(&value, reinterpret_cast<const char *>(&record) + offset, sizeof value);
    return value;
}

// Journalled inputs of a channel-bound set: the handle, the channel, then the
// record.
const size_t kAfterChannel = sizeof(TMV_NET_HANDLE) + sizeof(int32_t);

// CRC-16 of a Modbus RTU frame (reflected 0xA001, starting at 0xFFFF).
uint16_t ModbusCrc(const QByteArray &bytes)
{
    uint16_t crc = 0xFFFF;
    for (char byte : bytes) {
        crc ^= uint8_t(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? uint16_t((crc >> 1) ^ 0xA001) : uint16_t(crc >> 1);
    }
    return crc;
}

} // namespace

class TestConfigGroups : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void failuresNamed_data();
    void failuresNamed();

    void timeTitleSendsForm();
    void channelTitleRecordOnLiveChannel();
    void channelTitleTooLongRefused();
    void laserOsdIndexes_data();
    void laserOsdIndexes();
    void laserOsdSetWithoutTheDevicesRecordWritesNothing();
    void ipConfigSendsTextsAsTheyStand();
    void ipConfigTooLongRefused_data();
    void ipConfigTooLongRefused();
    void maintenanceActionsCallOnce_data();
    void maintenanceActionsCallOnce();

    void serialRequestBytes_data();
    void serialRequestBytes();
    void serialSendFailureClosesPort();
    void serialRefusedRequestSendsNothing_data();
    void serialRefusedRequestSendsNothing();

    // Against the device.
    void osdSettingsRoundTrip();
    void serialModbusReadGetsValidReply();
    void ipConfigShowsDeviceAndTakesConsistentSet();
    void restartDropsSessionAndLoginWorksWhenBack();

private:
    // The reply text back to bytes.
    static QByteArray ReplyBytes(const QString &text);
    bool Login();
    void ExpectBox(const QString &title, const QString &text) const;

    std::unique_ptr<PageFixture> m_fixture;
    MainWindow *m_window = nullptr;
    ConfigPage *m_page = nullptr;
    ModalCatcher *m_boxes = nullptr;
};

void TestConfigGroups::initTestCase()
{
    WarningGuard::install();
}

void TestConfigGroups::cleanupTestCase()
{
    TMV_NET_Deinit();
}

void TestConfigGroups::init()
{
    m_fixture.reset(new PageFixture);
    m_window = m_fixture->window();
    m_page = m_window->findChild<ConfigPage *>();
    QVERIFY(m_page);
    m_boxes = &m_fixture->boxes();
    m_boxes->clear();
}

void TestConfigGroups::cleanup()
{
    m_fixture->verifyClean();
    m_fixture.reset();
    m_window = nullptr;
    m_page = nullptr;
    m_boxes = nullptr;
    SimFixture::clearFaults();
    SimFixture::resumeClock();
}

bool TestConfigGroups::Login()
{
    const bool ok = m_fixture->login(SimFixture::kPtzCamera);
    SimFixture::clearJournal();
    m_boxes->clear();
    return ok;
}

void TestConfigGroups::ExpectBox(const QString &title, const QString &text) const
{
    QCOMPARE(m_boxes->count(), 1);
    QCOMPARE(m_boxes->last().title, title);
    QCOMPARE(m_boxes->last().text, text);
}

// ---- Failures ----------------------------------------------------------------

void TestConfigGroups::failuresNamed_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("sendText");
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("operation");

    const struct
    {
        const char *button, *sendText, *function, *operation;
    } rows[] = {
        {"dateTitleGetBtn", "", "TMV_NET_GetOSDTimeTitleInfo", "GetOSDTimeTitleInfo"},
        {"dateTitleSetBtn", "", "TMV_NET_SetOSDTimeTitleInfo", "SetOSDTimeTitleInfo"},
        {"channelTitleGetBtn", "", "TMV_NET_GetOSDChannelTitleInfo", "GetOSDChannelTitleInfo"},
        {"channelTitleSetBtn", "", "TMV_NET_SetOSDChannelTitleInfo", "SetOSDChannelTitleInfo"},
        {"laserOSDGetBtn", "", "TMV_NET_GetLaserDistanceOsdParam", "Get Laser Distance Osd Param"},
        {"laserOSDSetBtn", "", "TMV_NET_SetLaserDistanceOsdParam", "Set Laser Distance Osd Param"},
        {"ipConfigGetBtn", "", "TMV_NET_GetIpConfig", "GetIPConfig"},
        {"ipConfigSetBtn", "", "TMV_NET_SetIpConfig", "SetIPConfig"},
        {"sendCmdBtn", "01", "TMV_NET_SetTransparentState", "SetTransparentState"},
        {"devRebootBtn", "", "TMV_NET_SystemReboot", "Dev Reboot"},
        {"devRestartBtn", "", "TMV_NET_SystemRestart", "Dev Restart"},
        {"devFactoryBtn", "", "TMV_NET_RestoreFactoryDefaults", "Dev Restore Factory"},
    };
    for (const auto &row : rows)
        QTest::newRow(row.button) << row.button << row.sendText << row.function << row.operation;
}

void TestConfigGroups::failuresNamed()
{
    QFETCH(QString, button);
    QFETCH(QString, sendText);
    QFETCH(QString, function);
    QFETCH(QString, operation);

    QVERIFY(Login());
    // A failing get leaves what the form showed.
    m_fixture->edit(m_page, "dateTimeTopEdit")->setText(QStringLiteral("7"));
    m_fixture->edit(m_page, "channelTitleNameEdit")->setText(QStringLiteral("kept"));
    m_fixture->edit(m_page, "laserOsdTopEdit")->setText(QStringLiteral("8"));
    m_fixture->edit(m_page, "ipEdit")->setText(QStringLiteral("10.1.2.3"));
    m_fixture->edit(m_page, "sendCmdEdit")->setText(sendText);
    m_fixture->edit(m_page, "recvCmdEdit")->setText(QStringLiteral("AA "));
    const QByteArray name = function.toLatin1();
    SimFixture::fail(name.constData(), 1, TMVSIM_ALWAYS);

    m_fixture->click(m_page, button);

    ExpectBox(QStringLiteral("Error"), operation + QStringLiteral(" Failed!"));
    QVERIFY(SimFixture::countOf(name.constData()) >= 1);
    QCOMPARE(m_fixture->edit(m_page, "dateTimeTopEdit")->text(), QStringLiteral("7"));
    QCOMPARE(m_fixture->edit(m_page, "channelTitleNameEdit")->text(), QStringLiteral("kept"));
    QCOMPARE(m_fixture->edit(m_page, "laserOsdTopEdit")->text(), QStringLiteral("8"));
    QCOMPARE(m_fixture->edit(m_page, "ipEdit")->text(), QStringLiteral("10.1.2.3"));
    QCOMPARE(m_fixture->edit(m_page, "recvCmdEdit")->text(), QStringLiteral("AA "));
    // Opening the serial port failed: nothing goes out on it.
    QCOMPARE(SimFixture::countOf("TMV_NET_TransparentData"), 0);
}

// ---- OSD -----------------------------------------------------------------------

void TestConfigGroups::timeTitleSendsForm()
{
    QVERIFY(Login());
    SimFixture::fail("TMV_NET_SetOSDTimeTitleInfo", 1, 1);
    m_fixture->check(m_page, "dateTimeCheck")->setChecked(true);
    m_fixture->edit(m_page, "dateTimeTopEdit")->setText(QStringLiteral("10"));
    m_fixture->edit(m_page, "dateTimeLeftEdit")->setText(QStringLiteral("20"));
    m_fixture->edit(m_page, "dateTimeRightEdit")->setText(QStringLiteral("x"));
    m_fixture->edit(m_page, "dateTimeBottonEdit")->setText(QStringLiteral("-4"));

    m_fixture->click(m_page, "dateTitleSetBtn");

    TMV_NET_OSD_TIME_TITLE_INFO expected;
    std::memset(&expected, 0, sizeof expected);
    expected.enable = 1;
    expected.top = 10;
    expected.left = 20;
    expected.right = 0;  // unparsable text goes as 0
    expected.bottom = -4;
    QCOMPARE(SimFixture::argsOf("TMV_NET_SetOSDTimeTitleInfo"),
             QList<QByteArray>() << Int32(0) + SimFixture::bytesOf(expected));
}

void TestConfigGroups::channelTitleRecordOnLiveChannel()
{
    QVERIFY(Login());
    m_fixture->click("onlineChannel1RadioBtn");
    QCOMPARE(m_window->Channel(), 1);
    SimFixture::clearJournal();
    SimFixture::fail("TMV_NET_SetOSDChannelTitleInfo", 1, 1);
    SimFixture::fail("TMV_NET_GetOSDChannelTitleInfo", 1, 1);
    m_fixture->check(m_page, "channelTitleCheck")->setChecked(true);
    m_fixture->edit(m_page, "channelTitleNameEdit")->setText(QString::fromUtf8("Gate \xc3\xa4"));
    m_fixture->edit(m_page, "channelTitleTopEdit")->setText(QStringLiteral("10"));
    m_fixture->edit(m_page, "channelTitleLeftEdit")->setText(QStringLiteral("20"));
    m_fixture->edit(m_page, "channelTitleRightEdit")->setText(QStringLiteral("300"));
    m_fixture->edit(m_page, "channelTitleBottonEdit")->setText(QStringLiteral("40"));

    m_fixture->click(m_page, "channelTitleSetBtn");
    m_fixture->click(m_page, "channelTitleGetBtn");

    const QByteArray input = SimFixture::lastInput("TMV_NET_SetOSDChannelTitleInfo");
    QCOMPARE(input.mid(sizeof(TMV_NET_HANDLE), 4), Int32(1));
    const QByteArray record = input.mid(kAfterChannel);
    QCOMPARE(record.size(), 276);
    QCOMPARE(record.at(0), char(1));
    QCOMPARE(record.mid(1, 8), QByteArray("Gate \xc3\xa4\0", 8));
    QCOMPARE(record.mid(9, 251), QByteArray(251, '\0'));
    const auto info = SimFixture::lastRecord<TMV_NET_OSD_CHANNEL_TITLE_INFO>("TMV_NET_SetOSDChannelTitleInfo",
                                                                             kAfterChannel);
    QCOMPARE(Int32At(info, 260), 10);
    QCOMPARE(Int32At(info, 264), 20);
    QCOMPARE(Int32At(info, 268), 300);
    QCOMPARE(Int32At(info, 272), 40);
    // The get asks the same live channel.
    QCOMPARE(SimFixture::argsOf("TMV_NET_GetOSDChannelTitleInfo"), QList<QByteArray>() << Int32(1));
}

void TestConfigGroups::channelTitleTooLongRefused()
{
    QVERIFY(Login());
    // 129 two-byte characters: 258 bytes fit with the NUL, one more does not.
    m_fixture->edit(m_page, "channelTitleNameEdit")->setText(QString(130, QChar(0xE4)));
    m_fixture->click(m_page, "channelTitleSetBtn");

    QCOMPARE(m_boxes->count(), 1);
    QCOMPARE(m_boxes->last().title, QStringLiteral("Error"));
    QVERIFY2(m_boxes->last().text.contains(QStringLiteral("too long")), qPrintable(m_boxes->last().text));
    QCOMPARE(SimFixture::countOf("TMV_NET_SetOSDChannelTitleInfo"), 0);
    QCOMPARE(m_fixture->edit(m_page, "channelTitleNameEdit")->text(), QString(130, QChar(0xE4)));

    m_boxes->clear();
    SimFixture::fail("TMV_NET_SetOSDChannelTitleInfo", 1, 1);
    m_fixture->edit(m_page, "channelTitleNameEdit")->setText(QString(129, QChar(0xE4)));
    m_fixture->click(m_page, "channelTitleSetBtn");
    ExpectBox(QStringLiteral("Error"), QStringLiteral("SetOSDChannelTitleInfo Failed!"));
    const auto info = SimFixture::lastRecord<TMV_NET_OSD_CHANNEL_TITLE_INFO>("TMV_NET_SetOSDChannelTitleInfo",
                                                                             kAfterChannel);
    QCOMPARE(QString::fromUtf8(info.title), QString(129, QChar(0xE4)));
}

void TestConfigGroups::laserOsdIndexes_data()
{
    QTest::addColumn<QString>("fontSize");
    QTest::addColumn<QString>("alignment");
    QTest::addColumn<int>("fontSizeIndex");
    QTest::addColumn<int>("alignmentIndex");

    QTest::newRow("large, right") << "large" << "right" << 2 << 1;
    QTest::newRow("middle, left") << "middle" << "left" << 1 << 0;
    QTest::newRow("small, left") << "small" << "left" << 0 << 0;
    QTest::newRow("no current items") << "" << "" << -1 << -1;
}

void TestConfigGroups::laserOsdIndexes()
{
    QFETCH(QString, fontSize);
    QFETCH(QString, alignment);
    QFETCH(int, fontSizeIndex);
    QFETCH(int, alignmentIndex);

    QVERIFY(Login());
    SimFixture::fail("TMV_NET_SetLaserDistanceOsdParam", 1, 1);
    QComboBox *fontCombo = m_fixture->combo(m_page, "fontSizeCombo");
    QComboBox *alignCombo = m_fixture->combo(m_page, "alligmentCombo");
    fontCombo->setCurrentIndex(fontCombo->findText(fontSize));
    alignCombo->setCurrentIndex(alignCombo->findText(alignment));
    m_fixture->check(m_page, "laserEnbleCheck")->setChecked(true);
    m_fixture->edit(m_page, "laserOsdTopEdit")->setText(QStringLiteral("11"));
    m_fixture->edit(m_page, "laserOsdLeftEdit")->setText(QStringLiteral("12"));
    m_fixture->edit(m_page, "laserOsdRightEdit")->setText(QStringLiteral("13"));
    m_fixture->edit(m_page, "laserOsdBottomEdit")->setText(QStringLiteral("14"));

    m_fixture->click(m_page, "laserOSDSetBtn");

    ExpectBox(QStringLiteral("Error"), QStringLiteral("Set Laser Distance Osd Param Failed!"));
    const QByteArray input = SimFixture::lastInput("TMV_NET_SetLaserDistanceOsdParam");
    QCOMPARE(input.mid(sizeof(TMV_NET_HANDLE), 4), Int32(0));
    const auto param = SimFixture::lastRecord<TMV_NET_LASER_DISTANCE_OSD_PARAM>("TMV_NET_SetLaserDistanceOsdParam",
                                                                               kAfterChannel);
    QCOMPARE(param.enable, uint8_t(1));
    QCOMPARE(Int32At(param, 8), alignmentIndex);
    QCOMPARE(Int32At(param, 12), fontSizeIndex);
    QCOMPARE(Int32At(param, 52), 11);
    QCOMPARE(Int32At(param, 56), 12);
    QCOMPARE(Int32At(param, 60), 13);
    QCOMPARE(Int32At(param, 64), 14);
}

// The set sends back the device's own values of the fields the form lacks:
// when they cannot be read, nothing is written and the failed read is named.
void TestConfigGroups::laserOsdSetWithoutTheDevicesRecordWritesNothing()
{
    QVERIFY(Login());
    SimFixture::fail("TMV_NET_GetLaserDistanceOsdParam", 1, 1);
    m_fixture->check(m_page, "laserEnbleCheck")->setChecked(true);
    m_fixture->edit(m_page, "laserOsdTopEdit")->setText(QStringLiteral("11"));

    m_fixture->click(m_page, "laserOSDSetBtn");

    ExpectBox(QStringLiteral("Error"), QStringLiteral("Get Laser Distance Osd Param Failed!"));
    QCOMPARE(SimFixture::countOf("TMV_NET_GetLaserDistanceOsdParam"), 1);
    QCOMPARE(SimFixture::countOf("TMV_NET_SetLaserDistanceOsdParam"), 0);
}

// ---- IP configuration ------------------------------------------------------------

void TestConfigGroups::ipConfigSendsTextsAsTheyStand()
{
    QVERIFY(Login());
    SimFixture::fail("TMV_NET_SetIpConfig", 1, 1);
    m_fixture->check(m_page, "dhcpEnableCheck")->setChecked(true);
    m_fixture->edit(m_page, "ipEdit")->setText(QStringLiteral("192.168.1."));  // incomplete
    m_fixture->edit(m_page, "subnetMaskEdit")->setText(QStringLiteral("255.255.255.0"));
    m_fixture->edit(m_page, "getwayEdit")->setText(QStringLiteral("10.0.0.1"));  // outside the subnet
    m_fixture->edit(m_page, "defaultDnsEdit")->setText(QStringLiteral("8.8.8.8"));
    m_fixture->edit(m_page, "standbuDnsEdit")->setText(QString());
    m_fixture->edit(m_page, "macEdit")->setText(QStringLiteral("00:11:22:33:44:55"));
    m_fixture->edit(m_page, "ipNameEdit")->setText(QStringLiteral("not sent"));

    m_fixture->click(m_page, "ipConfigSetBtn");

    ExpectBox(QStringLiteral("Error"), QStringLiteral("SetIPConfig Failed!"));
    const auto config = SimFixture::lastRecord<TMV_NET_IP_CONFIG>("TMV_NET_SetIpConfig");
    QCOMPARE(config.dhcpEnable, uint8_t(1));
    QCOMPARE(QByteArray(config.mac, 18), QByteArray("00:11:22:33:44:55\0", 18));
    QCOMPARE(QByteArray(config.ip, 16), QByteArray("192.168.1.\0\0\0\0\0\0", 16));
    QCOMPARE(QByteArray(config.subnetMask), QByteArray("255.255.255.0"));
    QCOMPARE(QByteArray(config.gateway), QByteArray("10.0.0.1"));
    QCOMPARE(QByteArray(config.defaultDns), QByteArray("8.8.8.8"));
    QCOMPARE(QByteArray(config.standbyDns, 16), QByteArray(16, '\0'));
    QVERIFY(!QByteArray(config.name).contains("not sent"));
}

void TestConfigGroups::ipConfigTooLongRefused_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("text");

    QTest::newRow("mac") << "macEdit" << "00:11:22:33:44:55:6";
    // The validator keeps typing short; text put there by other means is
    // refused all the same.
    QTest::newRow("ip") << "ipEdit" << "192.168.100.2000";
    QTest::newRow("standbyDns") << "standbuDnsEdit" << "0192.168.100.200";
}

void TestConfigGroups::ipConfigTooLongRefused()
{
    QFETCH(QString, edit);
    QFETCH(QString, text);

    QVERIFY(Login());
    m_fixture->edit(m_page, edit)->setText(text);
    m_fixture->click(m_page, "ipConfigSetBtn");

    QCOMPARE(m_boxes->count(), 1);
    QCOMPARE(m_boxes->last().title, QStringLiteral("Error"));
    QVERIFY2(m_boxes->last().text.contains(QStringLiteral("too long")), qPrintable(m_boxes->last().text));
    QCOMPARE(SimFixture::countOf("TMV_NET_SetIpConfig"), 0);
    QCOMPARE(SimFixture::countOf("TMV_NET_GetIpConfig"), 0);
}

// ---- Maintenance -------------------------------------------------------

void TestConfigGroups::maintenanceActionsCallOnce_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("function");

    QTest::newRow("reboot") << "devRebootBtn" << "TMV_NET_SystemReboot";
    QTest::newRow("restart") << "devRestartBtn" << "TMV_NET_SystemRestart";
    QTest::newRow("factory") << "devFactoryBtn" << "TMV_NET_RestoreFactoryDefaults";
}

void TestConfigGroups::maintenanceActionsCallOnce()
{
    QFETCH(QString, button);
    QFETCH(QString, function);

    QVERIFY(Login());
    // Held off so the session stays: only what the page asks is checked.
    SimFixture::fail(function.toLatin1().constData(), 3, 1);
    m_fixture->click(m_page, button);
    // No question first, one call, nothing but the handle.
    QCOMPARE(SimFixture::calls(), QStringList() << function);
    QCOMPARE(SimFixture::argsOf(function.toLatin1().constData()), QList<QByteArray>() << QByteArray());
    QCOMPARE(m_boxes->count(), 1);
    QVERIFY(m_boxes->last().text.endsWith(QStringLiteral(" Param Wrong!")));
}

// ---- Serial channel ----------------------------------------------------------------

void TestConfigGroups::serialRequestBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reply");

    // The port echoes what is too short for a frame; a frame without its
    // CRC is dropped by every slave, so nothing comes back.
    QTest::newRow("modbus read without crc") << "01 03 00 00 00 02" << QByteArray::fromHex("010300000002") << "";
    QTest::newRow("lower case") << "ff" << QByteArray::fromHex("FF") << "FF ";
    QTest::newRow("low 8 bits") << "1FF 7" << QByteArray::fromHex("FF07") << "FF 07 ";
}

void TestConfigGroups::serialRequestBytes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reply);

    QVERIFY(Login());
    m_fixture->edit(m_page, "sendCmdEdit")->setText(text);
    m_fixture->edit(m_page, "recvCmdEdit")->setText(QStringLiteral("AA "));

    m_fixture->click(m_page, "sendCmdBtn");

    QCOMPARE(m_boxes->count(), 0);
    // Bytes, their count, the reply buffer's size and the time-out.
    QCOMPARE(SimFixture::argsOf("TMV_NET_TransparentData"),
             QList<QByteArray>() << bytes + Int32(bytes.size()) + Int32(256) + Int32(2000));
    QCOMPARE(SimFixture::argsOf("TMV_NET_SetTransparentState"), QList<QByteArray>() << Int32(1) << Int32(0));
    QCOMPARE(m_fixture->edit(m_page, "recvCmdEdit")->text(), reply);
}

void TestConfigGroups::serialSendFailureClosesPort()
{
    QVERIFY(Login());
    SimFixture::fail("TMV_NET_TransparentData", 1, 1);
    m_fixture->edit(m_page, "sendCmdEdit")->setText(QStringLiteral("01"));
    m_fixture->edit(m_page, "recvCmdEdit")->setText(QStringLiteral("AA "));

    m_fixture->click(m_page, "sendCmdBtn");

    ExpectBox(QStringLiteral("Error"), QStringLiteral("SerialTransparent Failed!"));
    QCOMPARE(SimFixture::countOf("TMV_NET_TransparentData"), 1);
    // Opened for the request and closed again after the failure.
    QCOMPARE(SimFixture::argsOf("TMV_NET_SetTransparentState"), QList<QByteArray>() << Int32(1) << Int32(0));
    QCOMPARE(m_fixture->edit(m_page, "recvCmdEdit")->text(), QStringLiteral("AA "));
}

void TestConfigGroups::serialRefusedRequestSendsNothing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("invalid");

    QTest::newRow("empty") << "" << false;
    QTest::newRow("not hex") << "G1" << true;
    QTest::newRow("two blanks") << "01  03" << true;
    QTest::newRow("trailing blank") << "01 03 " << true;
}

void TestConfigGroups::serialRefusedRequestSendsNothing()
{
    QFETCH(QString, text);
    QFETCH(bool, invalid);

    QVERIFY(Login());
    m_fixture->edit(m_page, "sendCmdEdit")->setText(text);
    m_fixture->edit(m_page, "recvCmdEdit")->setText(QStringLiteral("AA "));

    m_fixture->click(m_page, "sendCmdBtn");

    if (invalid)
        ExpectBox(QStringLiteral("Error"), QStringLiteral("Invalid input Failed!"));
    else
        QCOMPARE(m_boxes->count(), 0);
    QCOMPARE(SimFixture::countOf("TMV_NET_TransparentData"), 0);
    QCOMPARE(SimFixture::argsOf("TMV_NET_SetTransparentState"), QList<QByteArray>() << Int32(1) << Int32(0));
    QCOMPARE(m_fixture->edit(m_page, "recvCmdEdit")->text(), QStringLiteral("AA "));
}

// ---- Against the device ------------------------------------------------------------

QByteArray TestConfigGroups::ReplyBytes(const QString &text)
{
    return QByteArray::fromHex(text.toLatin1());
}

void TestConfigGroups::osdSettingsRoundTrip()
{
    QVERIFY(Login());
    TMV_NET_HANDLE peer = SimFixture::login(SimFixture::kPtzCamera);
    QVERIFY(peer);
    TMV_NET_LASER_DISTANCE_OSD_PARAM laser;
    std::memset(&laser, 0, sizeof laser);
    if (TMV_NET_GetLaserDistanceOsdParam(peer, 0, &laser) == 2) {
        TMV_NET_Logout(peer);
        QSKIP("this device keeps no OSD settings");
    }
    // The distance unit is not on the form: a set must leave the device's.
    laser.unit = 1;
    QCOMPARE(TMV_NET_SetLaserDistanceOsdParam(peer, 0, &laser), 0);

    m_fixture->check(m_page, "dateTimeCheck")->setChecked(true);
    m_fixture->edit(m_page, "dateTimeTopEdit")->setText(QStringLiteral("10"));
    m_fixture->edit(m_page, "dateTimeLeftEdit")->setText(QStringLiteral("20"));
    m_fixture->edit(m_page, "dateTimeRightEdit")->setText(QStringLiteral("0"));
    m_fixture->edit(m_page, "dateTimeBottonEdit")->setText(QStringLiteral("0"));
    m_fixture->click(m_page, "dateTitleSetBtn");
    m_fixture->check(m_page, "channelTitleCheck")->setChecked(true);
    m_fixture->edit(m_page, "channelTitleNameEdit")->setText(QString::fromUtf8("Gate \xc3\xa4"));
    m_fixture->edit(m_page, "channelTitleTopEdit")->setText(QStringLiteral("30"));
    m_fixture->edit(m_page, "channelTitleLeftEdit")->setText(QStringLiteral("40"));
    m_fixture->edit(m_page, "channelTitleRightEdit")->setText(QStringLiteral("0"));
    m_fixture->edit(m_page, "channelTitleBottonEdit")->setText(QStringLiteral("0"));
    m_fixture->click(m_page, "channelTitleSetBtn");
    m_fixture->check(m_page, "laserEnbleCheck")->setChecked(true);
    m_fixture->combo(m_page, "fontSizeCombo")->setCurrentIndex(2);
    m_fixture->combo(m_page, "alligmentCombo")->setCurrentIndex(1);
    m_fixture->edit(m_page, "laserOsdTopEdit")->setText(QStringLiteral("50"));
    m_fixture->edit(m_page, "laserOsdLeftEdit")->setText(QStringLiteral("60"));
    m_fixture->edit(m_page, "laserOsdRightEdit")->setText(QStringLiteral("0"));
    m_fixture->edit(m_page, "laserOsdBottomEdit")->setText(QStringLiteral("0"));
    m_fixture->click(m_page, "laserOSDSetBtn");
    QCOMPARE(m_boxes->count(), 0);

    for (const char *edit : {"dateTimeTopEdit", "dateTimeLeftEdit", "channelTitleNameEdit", "channelTitleTopEdit",
                             "laserOsdTopEdit", "laserOsdLeftEdit"})
        m_fixture->edit(m_page, edit)->clear();
    for (const char *check : {"dateTimeCheck", "channelTitleCheck", "laserEnbleCheck"})
        m_fixture->check(m_page, check)->setChecked(false);
    m_fixture->combo(m_page, "fontSizeCombo")->setCurrentIndex(0);
    m_fixture->combo(m_page, "alligmentCombo")->setCurrentIndex(0);
    m_fixture->click(m_page, "dateTitleGetBtn");
    m_fixture->click(m_page, "channelTitleGetBtn");
    m_fixture->click(m_page, "laserOSDGetBtn");

    QCOMPARE(m_boxes->count(), 0);
    QVERIFY(m_fixture->check(m_page, "dateTimeCheck")->isChecked());
    QCOMPARE(m_fixture->edit(m_page, "dateTimeTopEdit")->text(), QStringLiteral("10"));
    QCOMPARE(m_fixture->edit(m_page, "dateTimeLeftEdit")->text(), QStringLiteral("20"));
    QVERIFY(m_fixture->check(m_page, "channelTitleCheck")->isChecked());
    QCOMPARE(m_fixture->edit(m_page, "channelTitleNameEdit")->text(), QString::fromUtf8("Gate \xc3\xa4"));
    QCOMPARE(m_fixture->edit(m_page, "channelTitleTopEdit")->text(), QStringLiteral("30"));
    QVERIFY(m_fixture->check(m_page, "laserEnbleCheck")->isChecked());
    QCOMPARE(m_fixture->combo(m_page, "fontSizeCombo")->currentText(), QStringLiteral("large"));
    QCOMPARE(m_fixture->combo(m_page, "alligmentCombo")->currentText(), QStringLiteral("right"));
    QCOMPARE(m_fixture->edit(m_page, "laserOsdTopEdit")->text(), QStringLiteral("50"));
    QCOMPARE(m_fixture->edit(m_page, "laserOsdLeftEdit")->text(), QStringLiteral("60"));

    std::memset(&laser, 0, sizeof laser);
    QCOMPARE(TMV_NET_GetLaserDistanceOsdParam(peer, 0, &laser), 0);
    QCOMPARE(laser.unit, 1);
    QCOMPARE(laser.fontSize, 2);
    TMV_NET_Logout(peer);
}

void TestConfigGroups::serialModbusReadGetsValidReply()
{
    QVERIFY(Login());
    // Read two holding registers from slave 1; C4 0B is the request's CRC.
    m_fixture->edit(m_page, "sendCmdEdit")->setText(QStringLiteral("01 03 00 00 00 02 C4 0B"));
    QCOMPARE(ModbusCrc(QByteArray::fromHex("010300000002")), uint16_t(0x0BC4));

    m_fixture->click(m_page, "sendCmdBtn");

    QCOMPARE(m_boxes->count(), 0);
    const QString text = m_fixture->edit(m_page, "recvCmdEdit")->text();
    // Upper-case pairs, each followed by one blank.
    QVERIFY2(QRegularExpression(QStringLiteral("^([0-9A-F]{2} )+$")).match(text).hasMatch(), qPrintable(text));
    const QByteArray reply = ReplyBytes(text);
    QCOMPARE(reply.size(), 9);
    QCOMPARE(reply.left(3), QByteArray::fromHex("010304"));
    const uint16_t crc = ModbusCrc(reply.left(7));
    QCOMPARE(uint8_t(reply.at(7)), uint8_t(crc & 0xFF));
    QCOMPARE(uint8_t(reply.at(8)), uint8_t(crc >> 8));
    QCOMPARE(SimFixture::argsOf("TMV_NET_SetTransparentState"), QList<QByteArray>() << Int32(1) << Int32(0));

    // A frame with a wrong CRC gets no answer: the reply shown is empty.
    m_fixture->edit(m_page, "sendCmdEdit")->setText(QStringLiteral("01 03 00 00 00 02 C4 0C"));
    m_fixture->click(m_page, "sendCmdBtn");
    QCOMPARE(m_boxes->count(), 0);
    QCOMPARE(m_fixture->edit(m_page, "recvCmdEdit")->text(), QString());
}

void TestConfigGroups::ipConfigShowsDeviceAndTakesConsistentSet()
{
    QVERIFY(Login());
    m_fixture->click(m_page, "ipConfigGetBtn");
    QCOMPARE(m_boxes->count(), 0);
    QCOMPARE(m_fixture->edit(m_page, "ipEdit")->text(), QString::fromLatin1(SimFixture::kPtzCamera));
    const QString name = m_fixture->edit(m_page, "ipNameEdit")->text();
    QVERIFY(!name.isEmpty());

    m_fixture->check(m_page, "dhcpEnableCheck")->setChecked(false);
    m_fixture->edit(m_page, "ipEdit")->setText(QStringLiteral("192.168.7.20"));
    m_fixture->edit(m_page, "subnetMaskEdit")->setText(QStringLiteral("255.255.255.0"));
    m_fixture->edit(m_page, "getwayEdit")->setText(QStringLiteral("192.168.7.1"));
    m_fixture->edit(m_page, "macEdit")->setText(QStringLiteral("02:00:00:00:00:07"));
    m_fixture->click(m_page, "ipConfigSetBtn");
    QCOMPARE(m_boxes->count(), 0);

    // A gateway outside the subnet goes out unchanged; the device refuses it.
    m_fixture->edit(m_page, "getwayEdit")->setText(QStringLiteral("10.0.0.1"));
    m_fixture->click(m_page, "ipConfigSetBtn");
    ExpectBox(QStringLiteral("Error"), QStringLiteral("SetIPConfig Param Wrong!"));

    for (const char *edit : {"ipEdit", "subnetMaskEdit", "getwayEdit", "macEdit", "ipNameEdit"})
        m_fixture->edit(m_page, edit)->clear();
    m_fixture->click(m_page, "ipConfigGetBtn");
    QCOMPARE(m_fixture->edit(m_page, "ipEdit")->text(), QStringLiteral("192.168.7.20"));
    QCOMPARE(m_fixture->edit(m_page, "getwayEdit")->text(), QStringLiteral("192.168.7.1"));
    QCOMPARE(m_fixture->edit(m_page, "macEdit")->text(), QStringLiteral("02:00:00:00:00:07"));
    // The set sent no name, and the device kept its own.
    QCOMPARE(m_fixture->edit(m_page, "ipNameEdit")->text(), name);
}

void TestConfigGroups::restartDropsSessionAndLoginWorksWhenBack()
{
    SimFixture::pauseClock();
    QVERIFY(Login());

    m_fixture->click(m_page, "devRestartBtn");
    SimFixture::stepClock(1);
    QVERIFY(m_boxes->waitForCount(1));
    QCOMPARE(m_boxes->last().title, QStringLiteral("Exception"));
    QCOMPARE(m_boxes->last().text, QStringLiteral("1001:dev offline."));

    // Log out; while the device boots a new login is refused.
    m_fixture->click("loginBtn");
    QVERIFY(!m_fixture->loggedIn());
    m_boxes->clear();
    QVERIFY(!m_fixture->login(SimFixture::kPtzCamera));
    QCOMPARE(m_boxes->last().text, QStringLiteral("Login Failed!"));
    m_boxes->clear();

    SimFixture::stepClock(10000);
    QVERIFY(m_fixture->login(SimFixture::kPtzCamera));
    QCOMPARE(m_boxes->count(), 0);
    // The page works on the new login.
    m_fixture->click(m_page, "ipConfigGetBtn");
    QCOMPARE(m_boxes->count(), 0);
    QCOMPARE(m_fixture->edit(m_page, "ipEdit")->text(), QString::fromLatin1(SimFixture::kPtzCamera));
}

QTEST_MAIN(TestConfigGroups)
#include "tst_configgroups.moc"
