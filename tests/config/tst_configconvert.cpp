// The "Config" page's conversions between its texts and the device records of
// the OSD, network and serial groups.
#include <QtTest>

#include <cstring>

#include "config/ConfigConvert.h"

using namespace ConfigConvert;

Q_DECLARE_METATYPE(ConfigConvert::HexRequest)
Q_DECLARE_METATYPE(ConfigConvert::IpField)

namespace {

template <class T>
QByteArray BytesOf(const T &record)
{
    return QByteArray(reinterpret_cast<const char *>(&record), int(sizeof record));
}

template <class T>
int32_t Int32At(const T &record, size_t offset)
{
    int32_t value = 0;
    std::memcpy(&value, reinterpret_cast<const char *>(&record) + offset, sizeof value);
    return value;
}

} // namespace

class TestConfigConvert : public QObject
{
    Q_OBJECT

private slots:
    void hexRequest_data();
    void hexRequest();
    void replyText_data();
    void replyText();


    void channelTitleRecord();
    void channelTitleLength_data();
    void channelTitleLength();
    void timeTitleRecord();
    void laserOsdKeepsDeviceBytes_data();
    void laserOsdKeepsDeviceBytes();

    void ipConfigRecord();
    void ipConfigTextLength_data();
    void ipConfigTextLength();
    void ipConfigTextsOfRecord();
};

// ---- Serial channel ---------------------------------------------------------

void TestConfigConvert::hexRequest_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<HexRequest>("result");
    QTest::addColumn<QByteArray>("bytes");

    const HexRequest ok = HexRequest::Ok;
    const HexRequest invalid = HexRequest::Invalid;
    QTest::newRow("modbus read") << "01 03 00 00 00 02" << ok << QByteArray::fromHex("010300000002");
    QTest::newRow("with crc") << "01 03 00 00 00 02 C4 0B" << ok << QByteArray::fromHex("010300000002C40B");
    QTest::newRow("lower case") << "ff" << ok << QByteArray::fromHex("FF");
    QTest::newRow("mixed case") << "aB Cd" << ok << QByteArray::fromHex("ABCD");
    QTest::newRow("one digit") << "F 1" << ok << QByteArray::fromHex("0F01");
    QTest::newRow("low 8 bits") << "1FF" << ok << QByteArray::fromHex("FF");
    QTest::newRow("eight digits") << "FFFFFF12" << ok << QByteArray::fromHex("12");
    QTest::newRow("leading zeros") << "00000000007" << ok << QByteArray::fromHex("07");
    QTest::newRow("empty") << "" << HexRequest::Empty << QByteArray();
    QTest::newRow("not hex") << "G1" << invalid << QByteArray();
    QTest::newRow("bad after good") << "01 02 0G" << invalid << QByteArray();
    QTest::newRow("two blanks") << "01  02" << invalid << QByteArray();
    QTest::newRow("leading blank") << " 01" << invalid << QByteArray();
    QTest::newRow("trailing blank") << "01 " << invalid << QByteArray();
    QTest::newRow("blank only") << " " << invalid << QByteArray();
    QTest::newRow("tab") << "01\t02" << invalid << QByteArray();
    QTest::newRow("prefix") << "0x1F" << invalid << QByteArray();
    QTest::newRow("sign") << "+1F" << invalid << QByteArray();
    QTest::newRow("past 32 bits") << "1FFFFFFFF" << invalid << QByteArray();
    QTest::newRow("wide digit") << QString::fromUtf8("\xef\xbc\x91") << invalid << QByteArray();
}

void TestConfigConvert::hexRequest()
{
    QFETCH(QString, text);
    QFETCH(HexRequest, result);
    QFETCH(QByteArray, bytes);

    QByteArray parsed("untouched");
    QCOMPARE(ParseHexRequest(text, &parsed), result);
    QCOMPARE(parsed, result == HexRequest::Ok ? bytes : QByteArray("untouched"));
}

void TestConfigConvert::replyText_data()
{
    QTest::addColumn<QByteArray>("buffer");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("text");

    QTest::newRow("three bytes") << QByteArray::fromHex("010304") << 3 << "01 03 04 ";
    QTest::newRow("upper case, leading zero") << QByteArray::fromHex("0AFF") << 2 << "0A FF ";
    QTest::newRow("empty reply") << QByteArray::fromHex("0AFF") << 0 << "";
    QTest::newRow("length shorter than buffer") << QByteArray::fromHex("0AFF") << 1 << "0A ";
    QTest::newRow("negative length") << QByteArray::fromHex("0AFF") << -5 << "";
    // A length beyond the buffer is cut to the buffer, never read past it.
    QTest::newRow("length past buffer") << QByteArray::fromHex("A1B2") << 300 << "A1 B2 ";
}

void TestConfigConvert::replyText()
{
    QFETCH(QByteArray, buffer);
    QFETCH(int, length);
    QFETCH(QString, text);

    QCOMPARE(ReplyText(reinterpret_cast<const uint8_t *>(buffer.constData()), length, buffer.size()), text);
}

// ---- OSD records --------------------------------------------------------------

void TestConfigConvert::channelTitleRecord()
{
    TMV_NET_OSD_CHANNEL_TITLE_INFO info;
    std::memset(&info, 0xAB, sizeof info);
    OsdPosition position;
    position.top = 10;
    position.left = 20;
    position.right = 30;
    position.bottom = 40;
    QVERIFY(FillChannelTitle(info, true, QString::fromUtf8("Gate \xc3\xa4"), position));

    const QByteArray bytes = BytesOf(info);
    QCOMPARE(bytes.size(), 276);
    QCOMPARE(bytes.at(0), char(1));
    QCOMPARE(bytes.mid(1, 8), QByteArray("Gate \xc3\xa4\0", 8));
    // Zeros from the NUL up to offset 259: nothing stale goes out.
    QCOMPARE(bytes.mid(9, 260 - 9), QByteArray(260 - 9, '\0'));
    QCOMPARE(Int32At(info, 260), 10);
    QCOMPARE(Int32At(info, 264), 20);
    QCOMPARE(Int32At(info, 268), 30);
    QCOMPARE(Int32At(info, 272), 40);

    QVERIFY(FillChannelTitle(info, false, QString(), OsdPosition()));
    QCOMPARE(BytesOf(info), QByteArray(276, '\0'));
}

void TestConfigConvert::channelTitleLength_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("fits");

    QTest::newRow("258 bytes") << QString(258, QLatin1Char('t')) << true;
    QTest::newRow("259 bytes") << QString(259, QLatin1Char('t')) << false;
    // 129 two-byte characters: 258 bytes, then one more needs 260.
    QTest::newRow("258 bytes of umlauts") << QString(129, QChar(0xE4)) << true;
    QTest::newRow("260 bytes of umlauts") << QString(130, QChar(0xE4)) << false;
    // A NUL of its own would cut the title short on the device.
    QTest::newRow("inner NUL") << QStringLiteral("ab") + QChar(0) + QStringLiteral("cd") << false;
}

void TestConfigConvert::channelTitleLength()
{
    QFETCH(QString, title);
    QFETCH(bool, fits);

    TMV_NET_OSD_CHANNEL_TITLE_INFO info;
    OsdPosition position;
    position.top = 5;
    QCOMPARE(FillChannelTitle(info, true, title, position), fits);
    // The field always ends with a NUL inside it, and the positions stay put.
    QVERIFY(std::memchr(info.title, '\0', sizeof info.title));
    QCOMPARE(QString::fromUtf8(info.title), fits ? title : QString());
    QCOMPARE(info.top, 5);
}

void TestConfigConvert::timeTitleRecord()
{
    TMV_NET_OSD_TIME_TITLE_INFO info;
    std::memset(&info, 0xAB, sizeof info);
    OsdPosition position;
    position.top = 10;
    position.left = 20;
    position.right = -1;
    position.bottom = 0;
    FillTimeTitle(info, true, position);
    QByteArray expected(20, '\0');
    expected[0] = 1;
    const int32_t values[] = {10, 20, -1, 0};
    std::memcpy(expected.data() + 4, values, sizeof values);
    QCOMPARE(BytesOf(info), expected);
}

void TestConfigConvert::laserOsdKeepsDeviceBytes_data()
{
    QTest::addColumn<int>("fontSize");
    QTest::addColumn<int>("alignment");

    QTest::newRow("large, right") << 2 << 1;
    QTest::newRow("small, left") << 0 << 0;
    QTest::newRow("no current items") << -1 << -1;
}

void TestConfigConvert::laserOsdKeepsDeviceBytes()
{
    QFETCH(int, fontSize);
    QFETCH(int, alignment);

    TMV_NET_LASER_DISTANCE_OSD_PARAM param;
    std::memset(&param, 0x5A, sizeof param);
    const QByteArray before = BytesOf(param);
    OsdPosition position;
    position.top = 1;
    position.left = 2;
    position.right = 3;
    position.bottom = 4;
    FillLaserOsd(param, true, fontSize, alignment, position);

    const QByteArray after = BytesOf(param);
    QCOMPARE(after.at(0), char(1));
    QCOMPARE(Int32At(param, 8), alignment);
    QCOMPARE(Int32At(param, 12), fontSize);
    QCOMPARE(Int32At(param, 52), 1);
    QCOMPARE(Int32At(param, 56), 2);
    QCOMPARE(Int32At(param, 60), 3);
    QCOMPARE(Int32At(param, 64), 4);
    // The unit, the reserved bytes and the tail are the device's own.
    QCOMPARE(after.mid(1, 7), before.mid(1, 7));
    QCOMPARE(after.mid(16, 36), before.mid(16, 36));
    QCOMPARE(after.mid(68), before.mid(68));
}

// ---- IP configuration ---------------------------------------------------------

void TestConfigConvert::ipConfigRecord()
{
    TMV_NET_IP_CONFIG config;
    std::memset(&config, 0x5A, sizeof config);
    std::strcpy(config.name, "device-name");
    const QByteArray before = BytesOf(config);

    IpConfigTexts texts;
    texts.mac = QStringLiteral("00:11:22:33:44:55");
    texts.ip = QStringLiteral("192.168.1.");  // incomplete: sent as it stands
    texts.subnetMask = QStringLiteral("255.255.255.0");
    texts.gateway = QStringLiteral("10.0.0.1");  // outside the subnet: sent too
    texts.defaultDns = QString();
    texts.standbyDns = QStringLiteral("8.8.4.4");
    QCOMPARE(FillIpConfig(config, true, texts), IpField::None);

    const QByteArray after = BytesOf(config);
    QCOMPARE(after.left(256), before.left(256));
    QCOMPARE(after.at(256), char(1));
    QCOMPARE(after.mid(257, 18), QByteArray("00:11:22:33:44:55\0", 18));
    QCOMPARE(after.mid(275, 16), QByteArray("192.168.1.\0\0\0\0\0\0", 16));
    QCOMPARE(after.mid(291, 16), QByteArray("255.255.255.0\0\0\0", 16));
    QCOMPARE(after.mid(307, 16), QByteArray("10.0.0.1\0\0\0\0\0\0\0\0", 16));
    QCOMPARE(after.mid(323, 16), QByteArray(16, '\0'));
    QCOMPARE(after.mid(339, 16), QByteArray("8.8.4.4\0\0\0\0\0\0\0\0\0", 16));
    QCOMPARE(after.mid(355), before.mid(355));

    QCOMPARE(FillIpConfig(config, false, texts), IpField::None);
    QCOMPARE(config.dhcpEnable, uint8_t(0));
}

void TestConfigConvert::ipConfigTextLength_data()
{
    QTest::addColumn<IpField>("tooLong");

    QTest::newRow("longest that fit") << IpField::None;
    QTest::newRow("mac") << IpField::Mac;
    QTest::newRow("ip") << IpField::Ip;
    QTest::newRow("subnet mask") << IpField::SubnetMask;
    QTest::newRow("gateway") << IpField::Gateway;
    QTest::newRow("default dns") << IpField::DefaultDns;
    QTest::newRow("standby dns") << IpField::StandbyDns;
}

void TestConfigConvert::ipConfigTextLength()
{
    QFETCH(IpField, tooLong);

    // The longest texts that fit: 17 characters of MAC, 15 of address.
    const QString mac = QStringLiteral("00:11:22:33:44:55");
    const QString address = QStringLiteral("255.255.255.255");
    IpConfigTexts texts;
    texts.mac = mac;
    texts.ip = texts.subnetMask = texts.gateway = texts.defaultDns = texts.standbyDns = address;
    QString *fields[] = {nullptr, &texts.mac, &texts.ip, &texts.subnetMask,
                         &texts.gateway, &texts.defaultDns, &texts.standbyDns};
    if (QString *field = fields[int(tooLong)])
        field->append(QLatin1Char('0'));

    TMV_NET_IP_CONFIG config;
    std::memset(&config, 0, sizeof config);
    QCOMPARE(FillIpConfig(config, false, texts), tooLong);
    // Never written past a field: the bytes after the texts stay zero.
    QCOMPARE(BytesOf(config).mid(355), QByteArray(368 - 355, '\0'));
}

void TestConfigConvert::ipConfigTextsOfRecord()
{
    TMV_NET_IP_CONFIG config;
    std::memset(&config, 0, sizeof config);
    std::strcpy(config.mac, "Gr\xc3\xbc\xc3\x9f" "e");
    std::strcpy(config.ip, "127.0.0.11");
    std::strcpy(config.subnetMask, "255.0.0.0");
    std::strcpy(config.gateway, "127.0.0.1");
    std::strcpy(config.defaultDns, "127.0.0.53");
    // A field the device left without its NUL is read to its end only.
    std::memset(config.standbyDns, '1', sizeof config.standbyDns);

    const IpConfigTexts texts = IpConfigTextsOf(config);
    QCOMPARE(texts.mac, QString::fromUtf8("Gr\xc3\xbc\xc3\x9f" "e"));
    QCOMPARE(texts.ip, QStringLiteral("127.0.0.11"));
    QCOMPARE(texts.subnetMask, QStringLiteral("255.0.0.0"));
    QCOMPARE(texts.gateway, QStringLiteral("127.0.0.1"));
    QCOMPARE(texts.defaultDns, QStringLiteral("127.0.0.53"));
    QCOMPARE(texts.standbyDns, QString(16, QLatin1Char('1')));
}

QTEST_APPLESS_MAIN(TestConfigConvert)
#include "tst_configconvert.moc"
