#ifndef SDKMETATYPES_H
#define SDKMETATYPES_H

#include <QMap>
#include <QMetaType>

#include "TMVNetSDK.h"

// Device records that travel in signals. Declared once here so every page
// that emits or receives them agrees on the meta-type.
Q_DECLARE_METATYPE(TMV_NET_FILE_DOWNLOAD_INFO)

#endif // SDKMETATYPES_H
