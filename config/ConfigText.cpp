#include "config/ConfigText.h"

int32_t ConfigIntOf(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : 0;
}

float ConfigFloatOf(const QString &text)
{
    bool ok = false;
    const float value = text.toFloat(&ok);
    return ok ? value : 0.0f;
}

QString ConfigIntText(int32_t value)
{
    return QString::number(value, 10);
}

QString ConfigFloatText(float value)
{
    return QString::number(double(value), 'f', 2);
}

int ConfigComboIndex(int32_t value, int itemCount)
{
    return value >= 0 && value < itemCount ? int(value) : -1;
}

int32_t OsdStateFor(bool shown)
{
    return shown ? 0 : 2;
}

bool OsdShown(int32_t state)
{
    return state == 0;
}

int32_t TempBarStateFor(bool shown)
{
    return shown ? 1 : 0;
}

bool TempBarShown(int32_t state)
{
    return state != 0;
}

QByteArray SyncTimeText(const QDateTime &localTime)
{
    return localTime.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")).toUtf8();
}

void ApplyEnhanceForm(TMV_NET_THERMAL_IMAGE_ENHANCE_INFO &info, const EnhanceForm &form)
{
    info.denoise2DEnable = form.denoise2D ? 1 : 0;
    info.denoise2DLevel = form.denoise2DLevel;
    info.denoise3DEnable = form.denoise3D ? 1 : 0;
    info.denoise3DLevel = form.denoise3DLevel;
    info.detailEnhanceEnable = form.detailEnhance ? 1 : 0;
    info.detailEnhanceLevel = form.detailEnhanceLevel;
}
