#include "config/ConfigConvert.h"

#include <QStringList>

#include <cstring>

#include "common/CopyField.h"
#include "common/CountClamp.h"

namespace ConfigConvert {

namespace {

// Refused rather than cut: a cut title shows what the user never typed, a
// cut address names another host. A NUL inside the text would cut it too.
template <size_t N>
bool PutField(char (&field)[N], const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    return !utf8.contains('\0') && CopyField(field, utf8, FieldFit::Refuse);
}

} // namespace

bool FillChannelTitle(TMV_NET_OSD_CHANNEL_TITLE_INFO &info, bool enable, const QString &title,
                      const OsdPosition &position)
{
    std::memset(&info, 0, sizeof info);
    info.enable = enable ? 1 : 0;
    const bool fits = PutField(info.title, title);
    info.top = position.top;
    info.left = position.left;
    info.right = position.right;
    info.bottom = position.bottom;
    return fits;
}

void FillTimeTitle(TMV_NET_OSD_TIME_TITLE_INFO &info, bool enable, const OsdPosition &position)
{
    std::memset(&info, 0, sizeof info);
    info.enable = enable ? 1 : 0;
    info.top = position.top;
    info.left = position.left;
    info.right = position.right;
    info.bottom = position.bottom;
}

void FillLaserOsd(TMV_NET_LASER_DISTANCE_OSD_PARAM &param, bool enable, int fontSizeIndex,
                  int alignmentIndex, const OsdPosition &position)
{
    param.enable = enable ? 1 : 0;
    param.alignment = alignmentIndex;
    param.fontSize = fontSizeIndex;
    param.top = position.top;
    param.left = position.left;
    param.right = position.right;
    param.bottom = position.bottom;
}

IpField FillIpConfig(TMV_NET_IP_CONFIG &config, bool dhcp, const IpConfigTexts &texts)
{
    config.dhcpEnable = dhcp ? 1 : 0;
    if (!PutField(config.mac, texts.mac))
        return IpField::Mac;
    if (!PutField(config.ip, texts.ip))
        return IpField::Ip;
    if (!PutField(config.subnetMask, texts.subnetMask))
        return IpField::SubnetMask;
    if (!PutField(config.gateway, texts.gateway))
        return IpField::Gateway;
    if (!PutField(config.defaultDns, texts.defaultDns))
        return IpField::DefaultDns;
    if (!PutField(config.standbyDns, texts.standbyDns))
        return IpField::StandbyDns;
    return IpField::None;
}

IpConfigTexts IpConfigTextsOf(const TMV_NET_IP_CONFIG &config)
{
    IpConfigTexts texts;
    texts.mac = QString::fromUtf8(FieldText(config.mac));
    texts.ip = QString::fromUtf8(FieldText(config.ip));
    texts.subnetMask = QString::fromUtf8(FieldText(config.subnetMask));
    texts.gateway = QString::fromUtf8(FieldText(config.gateway));
    texts.defaultDns = QString::fromUtf8(FieldText(config.defaultDns));
    texts.standbyDns = QString::fromUtf8(FieldText(config.standbyDns));
    return texts;
}

namespace {

int HexDigit(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// One token as an unsigned 32-bit hexadecimal number; false for an empty
// token, any other character (signs, "0x", tabs) or a value past 32 bits.
bool ParseHexToken(const QString &token, uint32_t *value)
{
    if (token.isEmpty())
        return false;
    uint64_t number = 0;
    for (const QChar c : token) {
        const int digit = HexDigit(c);
        if (digit < 0)
            return false;
        number = number * 16 + uint64_t(digit);
        if (number > 0xFFFFFFFFu)
            return false;
    }
    *value = uint32_t(number);
    return true;
}

} // namespace

HexRequest ParseHexRequest(const QString &text, QByteArray *bytes)
{
    if (text.isEmpty())
        return HexRequest::Empty;
    const QStringList tokens = text.split(QLatin1Char(' '), Qt::KeepEmptyParts);
    QByteArray parsed;
    parsed.reserve(tokens.size());
    for (const QString &token : tokens) {
        uint32_t value = 0;
        if (!ParseHexToken(token, &value))
            return HexRequest::Invalid;
        parsed.append(char(value & 0xFF));
    }
    *bytes = parsed;
    return HexRequest::Ok;
}

QString ReplyText(const uint8_t *reply, int32_t length, int capacity)
{
    const int count = ClampCount(length, capacity);
    QString text;
    text.reserve(count * 3);
    static const char digits[] = "0123456789ABCDEF";
    for (int i = 0; i < count; ++i) {
        text += QLatin1Char(digits[reply[i] >> 4]);
        text += QLatin1Char(digits[reply[i] & 0x0F]);
        text += QLatin1Char(' ');
    }
    return text;
}

} // namespace ConfigConvert
