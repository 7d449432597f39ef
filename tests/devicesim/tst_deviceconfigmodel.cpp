// The device's serial peripheral and network checks as pure functions: the
// Modbus CRC, what the enclosure controller answers to each kind of byte
// string, the address/mask/gateway rules, and the logo picture limits.

#include "base/CallerPath.h"
#include "base/Status.h"
#include "settings/NetworkConfig.h"
#include "settings/Peripherals.h"
#include "settings/SerialPort.h"
#include "settings/TargetRecognition.h"

#include <QtTest>

namespace {

sim::Bytes bytes(const QByteArray &hex)
{
    const QByteArray raw = QByteArray::fromHex(hex);
    return sim::Bytes(raw.begin(), raw.end());
}

QByteArray hex(const sim::Bytes &b)
{
    return QByteArray(reinterpret_cast<const char *>(b.data()), int(b.size())).toHex().toUpper();
}

}  // namespace

class TestDeviceConfigModel : public QObject {
    Q_OBJECT

private slots:
    void crc_data();
    void crc();
    void answers_data();
    void answers();
    void writeChangesWhatIsRead();
    void staticAddress_data();
    void staticAddress();
    void networkWriteKeepsOrRefuses();
    void logoLimits_data();
    void logoLimits();
    void logoPaths();
    void recognitionRanges();
};

void TestDeviceConfigModel::crc_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("crc");
    QTest::newRow("empty") << QByteArray() << 0xFFFF;
    QTest::newRow("check string") << QByteArray("123456789") << 0x4B37;
    QTest::newRow("read two registers") << QByteArray::fromHex("010300000002") << 0x0BC4;
    QTest::newRow("textbook example") << QByteArray::fromHex("1103006B0003") << 0x8776;
}

void TestDeviceConfigModel::crc()
{
    QFETCH(QByteArray, data);
    QFETCH(int, crc);
    QCOMPARE(int(sim::modbus::crc16(reinterpret_cast<const uint8_t *>(data.constData()), size_t(data.size()))), crc);
}

// Request and answer as hexadecimal; every answer carries its CRC.
void TestDeviceConfigModel::answers_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("read temperature and humidity") << QByteArray("010300000002C40B") << QByteArray("010304013801A2FA2B");
    QTest::newRow("wrong CRC: silence") << QByteArray("010300000002C40C") << QByteArray();
    QTest::newRow("other slave: echoed") << QByteArray("020300000002C438") << QByteArray("020300000002C438");
    QTest::newRow("broadcast write: silence") << QByteArray("000600060001A9DA") << QByteArray();
    QTest::newRow("one byte echoed") << QByteArray("FF") << QByteArray("FF");
    QTest::newRow("three bytes echoed") << QByteArray("010300") << QByteArray("010300");
    QTest::newRow("illegal function") << QByteArray("01040000000131CA") << QByteArray("01840182C0");
    QTest::newRow("read past the bank") << QByteArray("0103000F0002F408") << QByteArray("018302C0F1");
    QTest::newRow("read of no register") << QByteArray("01030000000045CA") << QByteArray("0183030131");
    QTest::newRow("write echoed") << QByteArray("010600060001A80B") << QByteArray("010600060001A80B");
    QTest::newRow("write to read-only") << QByteArray("01060000000549C9") << QByteArray("018602C3A1");
    QTest::newRow("write of a bad value") << QByteArray("010600060005A9C8") << QByteArray("0186030261");
    QTest::newRow("frame too short for its function") << QByteArray("01030000F1D8") << QByteArray("0183030131");
}

void TestDeviceConfigModel::answers()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, answer);
    sim::RegisterBank bank;
    const sim::Bytes reply = sim::answer(bank, bytes(request));
    QCOMPARE(hex(reply), answer);
    if (reply.size() >= sim::modbus::kMinFrame && answer != request)
        QVERIFY(sim::modbus::parse(reply).valid);
}

void TestDeviceConfigModel::writeChangesWhatIsRead()
{
    sim::RegisterBank bank;
    QCOMPARE(int(bank.read(sim::RegisterBank::kFanSpeed)), 0);  // 31.2 degC is below the fan set point
    QCOMPARE(hex(sim::answer(bank, bytes("010600060001A80B"))), QByteArray("010600060001A80B"));
    // Fan forced on: register 2 reads 2400 rpm.
    QCOMPARE(hex(sim::answer(bank, bytes("01030002000125CA"))), QByteArray("0103020960BE3C"));
    // Sixteen registers read in one frame.
    const sim::Bytes all = sim::answer(bank, bytes("0103000000104406"));
    QCOMPARE(all.size(), size_t(3 + 32 + 2));
    QVERIFY(sim::modbus::parse(all).valid);
}

void TestDeviceConfigModel::staticAddress_data()
{
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("gateway");
    QTest::addColumn<int>("status");
    QTest::newRow("fits") << "192.168.1.64" << "255.255.255.0" << "192.168.1.1" << 0;
    QTest::newRow("leading zeros") << "192.168.001.064" << "255.255.255.000" << "192.168.1.1" << 0;
    QTest::newRow("factory settings written back") << "127.0.0.11" << "255.0.0.0" << "127.0.0.1" << 0;
    QTest::newRow("wide subnet") << "10.20.30.40" << "255.240.0.0" << "10.16.0.1" << 0;
    QTest::newRow("gateway outside") << "192.168.1.64" << "255.255.255.0" << "192.168.2.1" << 3;
    QTest::newRow("gateway is the address") << "192.168.1.64" << "255.255.255.0" << "192.168.1.64" << 3;
    QTest::newRow("gateway is broadcast") << "192.168.1.64" << "255.255.255.0" << "192.168.1.255" << 3;
    QTest::newRow("mask with a hole") << "192.168.1.64" << "255.0.255.0" << "192.168.1.1" << 3;
    QTest::newRow("mask all ones") << "192.168.1.64" << "255.255.255.255" << "192.168.1.1" << 3;
    QTest::newRow("mask zero") << "192.168.1.64" << "0.0.0.0" << "192.168.1.1" << 3;
    QTest::newRow("address is network") << "192.168.1.0" << "255.255.255.0" << "192.168.1.1" << 3;
    QTest::newRow("address is broadcast") << "192.168.1.255" << "255.255.255.0" << "192.168.1.1" << 3;
    QTest::newRow("multicast") << "224.0.0.5" << "255.255.255.0" << "224.0.0.1" << 3;
    QTest::newRow("incomplete") << "192.168.1." << "255.255.255.0" << "192.168.1.1" << 3;
    QTest::newRow("octet above 255") << "192.168.1.256" << "255.255.255.0" << "192.168.1.1" << 3;
    QTest::newRow("four digits") << "192.168.1.0064" << "255.255.255.0" << "192.168.1.1" << 3;
    QTest::newRow("trailing blank") << "192.168.1.64 " << "255.255.255.0" << "192.168.1.1" << 3;
}

void TestDeviceConfigModel::staticAddress()
{
    QFETCH(QString, ip);
    QFETCH(QString, mask);
    QFETCH(QString, gateway);
    QFETCH(int, status);
    QCOMPARE(sim::netcfg::checkStatic(ip.toStdString(), mask.toStdString(), gateway.toStdString()), status);
}

void TestDeviceConfigModel::networkWriteKeepsOrRefuses()
{
    sim::NetworkConfig net("127.0.0.11");
    const TMV_NET_IP_CONFIG factory = net.get();
    QCOMPARE(QByteArray(factory.ip), QByteArray("127.0.0.11"));

    TMV_NET_IP_CONFIG bad = factory;
    qstrncpy(bad.gateway, "10.0.0.1", sizeof bad.gateway);
    QCOMPARE(net.set(bad), int(sim::kWrongParam));
    QCOMPARE(QByteArray(net.get().gateway), QByteArray(factory.gateway));

    // DHCP on: static fields are not looked at and the stored ones stay.
    TMV_NET_IP_CONFIG dhcp{};
    dhcp.dhcpEnable = 1;
    qstrncpy(dhcp.ip, "garbage", sizeof dhcp.ip);
    qstrncpy(dhcp.mac, "aa-bb-cc-dd-ee-ff", sizeof dhcp.mac);
    QCOMPARE(net.set(dhcp), int(sim::kOk));
    const TMV_NET_IP_CONFIG now = net.get();
    QCOMPARE(int(now.dhcpEnable), 1);
    QCOMPARE(QByteArray(now.ip), QByteArray("127.0.0.11"));
    QCOMPARE(QByteArray(now.mac), QByteArray("aa-bb-cc-dd-ee-ff"));
    QCOMPARE(QByteArray(now.name), QByteArray(factory.name));  // blank name kept
}

void TestDeviceConfigModel::logoLimits_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("small") << 64 << 32 << true;
    QTest::newRow("largest") << 256 << 256 << true;
    QTest::newRow("too wide") << 257 << 16 << false;
    QTest::newRow("too tall") << 16 << 300 << false;
}

void TestDeviceConfigModel::logoLimits()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(bool, accepted);
    const std::vector<uint8_t> png = sim::logo::makeDefault(0, width, height);
    QVERIFY(!png.empty());
    int w = 0, h = 0;
    QCOMPARE(sim::logo::acceptable(png, &w, &h), accepted);
    if (accepted) {
        QCOMPARE(w, width);
        QCOMPARE(h, height);
        // Cut short, the same picture no longer decodes.
        QVERIFY(!sim::logo::acceptable(std::vector<uint8_t>(png.begin(), png.end() - 20)));
    }
}

void TestDeviceConfigModel::recognitionRanges()
{
    sim::TargetRecognition rec(2);
    TMV_NET_TARGET_RECOGNITION_CONFIG c = sim::recognition::factory();
    c.targetType = 8;
    c.trackMode = 2;
    QCOMPARE(rec.set(1, c), int(sim::kOk));
    for (auto bad : {&TMV_NET_TARGET_RECOGNITION_CONFIG::targetType, &TMV_NET_TARGET_RECOGNITION_CONFIG::trackMode}) {
        TMV_NET_TARGET_RECOGNITION_CONFIG b = c;
        b.*bad = 9;
        QCOMPARE(rec.set(1, b), int(sim::kWrongParam));
    }
    TMV_NET_TARGET_RECOGNITION_CONFIG noMode = c;
    noMode.trackMode = 0;  // a client with no mode selected
    QCOMPARE(rec.set(0, noMode), int(sim::kWrongParam));
    QCOMPARE(rec.set(2, c), int(sim::kWrongParam));
}

void TestDeviceConfigModel::logoPaths()
{
    QVERIFY(sim::callerPathAllowed("logo.png"));
    QVERIFY(sim::callerPathAllowed("/tmp/a..b/logo.png"));
    QVERIFY(!sim::callerPathAllowed("../logo.png"));
    QVERIFY(!sim::callerPathAllowed("/tmp/x/../../etc/logo.png"));
}

QTEST_APPLESS_MAIN(TestDeviceConfigModel)
#include "tst_deviceconfigmodel.moc"
