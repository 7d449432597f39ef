#include "ConfigConvert.h"

#include <QStringList>

#include <cstring>

#include "CopyField.h"
#include "CountClamp.h"

namespace ConfigConvert {

int32_t ParseInt(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : 0;
}

int ComboIndex(int32_t value, int count)
{
    return value >= 0 && value < count ? int(value) : -1;
}

QString FieldText(const char *field, size_t size)
{
    const void *end = std::memchr(field, '\0', size);
    const size_t length = end ? size_t(static_cast<const char *>(end) - field) : size;
    return QString::fromUtf8(field, int(length));
}

bool FillChannelTitle(TMV_NET_OSD_CHANNEL_TITLE_INFO &info, bool enable, const QString &title,
                      const OsdPosition &position)
{
    std::memset(&info, 0, sizeof info);
    info.enable = enable ? 1 : 0;
    const bool fits = CopyField(info.title, title.toUtf8(), FieldFit::Refuse);
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
    // Refused rather than cut: a cut address would name another host.
    if (!CopyField(config.mac, texts.mac.toUtf8()))
        return IpField::Mac;
    if (!CopyField(config.ip, texts.ip.toUtf8()))
        return IpField::Ip;
    if (!CopyField(config.subnetMask, texts.subnetMask.toUtf8()))
        return IpField::SubnetMask;
    if (!CopyField(config.gateway, texts.gateway.toUtf8()))
        return IpField::Gateway;
    if (!CopyField(config.defaultDns, texts.defaultDns.toUtf8()))
        return IpField::DefaultDns;
    if (!CopyField(config.standbyDns, texts.standbyDns.toUtf8()))
        return IpField::StandbyDns;
    return IpField::None;
}

IpConfigTexts IpConfigTextsOf(const TMV_NET_IP_CONFIG &config)
{
    IpConfigTexts texts;
    texts.mac = FieldText(config.mac);
    texts.ip = FieldText(config.ip);
    texts.subnetMask = FieldText(config.subnetMask);
    texts.gateway = FieldText(config.gateway);
    texts.defaultDns = FieldText(config.defaultDns);
    texts.standbyDns = FieldText(config.standbyDns);
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
