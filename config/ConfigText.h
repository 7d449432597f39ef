#ifndef CONFIGTEXT_H
#define CONFIGTEXT_H

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <cstdint>

#include "TMVNetSDK.h"

// Conversions between the "Config" page's texts and the device's values.
// Pure functions, so each rule can be checked on its own.

// Base-10 integer of an edit's text; text that does not convert (empty,
// letters, a fraction, beyond 32 bits) gives 0.
int32_t ConfigIntOf(const QString &text);
// Decimal float of an edit's text; text that does not convert gives 0.
float ConfigFloatOf(const QString &text);
// Integers are shown in base 10, floats in fixed notation with two decimals.
QString ConfigIntText(int32_t value);
QString ConfigFloatText(float value);

// The combo box index that shows `value` from the device: the value itself
// when the box has such an item, otherwise -1 (no current item).
int ConfigComboIndex(int32_t value, int itemCount);

// The OSD master switch: the device says 0 for shown and anything else for
// hidden; this page writes 2 for hidden.
int32_t OsdStateFor(bool shown);
bool OsdShown(int32_t state);
// The pseudo-colour bar: non-zero is shown; this page writes 1 and 0.
int32_t TempBarStateFor(bool shown);
bool TempBarShown(int32_t state);

// The text "Syn. Time" sends: local date and time as "yyyy-MM-dd hh:mm:ss"
// (24-hour clock, leading zeros), UTF-8.
QByteArray SyncTimeText(const QDateTime &localTime);

// The six detail-enhancer fields of the form.
struct EnhanceForm
{
    bool denoise2D = false;
    int32_t denoise2DLevel = 0;
    bool denoise3D = false;
    int32_t denoise3DLevel = 0;
    bool detailEnhance = false;
    int32_t detailEnhanceLevel = 0;
};
// Puts the form into a record read from the device. Only the six fields
// change: the scene mode and every byte after the detail level (the
// device's other settings) go back as read.
void ApplyEnhanceForm(TMV_NET_THERMAL_IMAGE_ENHANCE_INFO &info, const EnhanceForm &form);

#endif // CONFIGTEXT_H
