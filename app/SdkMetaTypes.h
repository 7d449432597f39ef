#ifndef SDKMETATYPES_H
#define SDKMETATYPES_H

#include <QMap>
#include <QMetaType>

#include "TMVNetSDK.h"

// Device records that travel in signals. Declared once here so every page
// that emits or receives them agrees on the meta-type.
Q_DECLARE_METATYPE(TMV_NET_FILE_DOWNLOAD_INFO)

// Registers every type above, and the handle's name, for queued connections.
// A page calls it in its constructor, so a page built on its own (in a test,
// say) can queue what it emits. Cheap to call again.
void RegisterSdkMetaTypes();

#endif // SDKMETATYPES_H
