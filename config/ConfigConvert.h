#ifndef CONFIGCONVERT_H
#define CONFIGCONVERT_H

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

#include "TMVNetSDK.h"

// Conversions between the "Config" page's texts and the device records of its
// OSD, network and serial groups. Free functions without widgets, so each
// rule can be checked on its own.
namespace ConfigConvert {

// Position of an OSD element on the picture, in the order the records keep.
struct OsdPosition
{
    int32_t top = 0;
    int32_t left = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// ---- OSD records ----------------------------------------------------------

// Zeroes the record and fills it. Returns false, and leaves the title field
// empty, when the title in UTF-8 does not fit its field with its NUL, or
// holds a NUL of its own that would cut it short: the record must then not
// be sent.
bool FillChannelTitle(TMV_NET_OSD_CHANNEL_TITLE_INFO &info, bool enable, const QString &title,
                      const OsdPosition &position);

// Zeroes the record and fills it.
void FillTimeTitle(TMV_NET_OSD_TIME_TITLE_INFO &info, bool enable, const OsdPosition &position);

// Writes the fields the page knows over the record and leaves every other
// byte as it is. Both indexes are sent as they stand: a combo without a
// current item gives -1.
void FillLaserOsd(TMV_NET_LASER_DISTANCE_OSD_PARAM &param, bool enable, int fontSizeIndex,
                  int alignmentIndex, const OsdPosition &position);

// ---- IP configuration -----------------------------------------------------

// The address texts of the form, as typed.
struct IpConfigTexts
{
    QString mac;
    QString ip;
    QString subnetMask;
    QString gateway;
    QString defaultDns;
    QString standbyDns;
};

enum class IpField { None, Mac, Ip, SubnetMask, Gateway, DefaultDns, StandbyDns };

// Writes the DHCP flag and the six texts, each UTF-8 with its NUL, over the
// record; the name and the bytes after the texts are left as they are. The
// addresses are not checked: an incomplete address goes as it stands.
// Returns IpField::None when every text fitted; otherwise the first text that
// does not fit its field with its NUL (or holds a NUL of its own), and the
// record must not be sent.
IpField FillIpConfig(TMV_NET_IP_CONFIG &config, bool dhcp, const IpConfigTexts &texts);

// The texts of a record read from the device, each up to its NUL and never
// past its field.
IpConfigTexts IpConfigTextsOf(const TMV_NET_IP_CONFIG &config);

// ---- Serial transparent channel -------------------------------------------

enum class HexRequest
{
    // No text: nothing to send, nothing to say.
    Empty,
    // A token that is not a hexadecimal number (an empty one included).
    Invalid,
    Ok,
};

// Request text to bytes. The text is split at every single blank, keeping
// empty pieces (so two blanks in a row, or a blank at either end, make an
// empty token). Each token is an unsigned hexadecimal number of upper- or
// lower-case digits that fits in 32 bits; it gives its low 8 bits as one byte
// (1FF gives FF, F gives 0F). `bytes` is filled only for HexRequest::Ok.
HexRequest ParseHexRequest(const QString &text, QByteArray *bytes);

// Reply bytes as the page shows them: two upper-case hex digits and a blank
// for each byte ("0A FF "). A length beyond the buffer is cut to it, a
// negative one gives an empty text.
QString ReplyText(const uint8_t *reply, int32_t length, int capacity);

} // namespace ConfigConvert

#endif // CONFIGCONVERT_H
