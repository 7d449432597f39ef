#ifndef PATTERNQUERY_H
#define PATTERNQUERY_H

#include <QCoreApplication>

#include <cstdint>
#include <vector>

#include "common/CountClamp.h"
#include "common/DeviceCall.h"
#include "common/MsgBox.h"
#include "TMVNetSDK.h"

// The device's patterns, for the "Patrol" tab and the boot and park lists.
// A failed size call is reported and gives false. A failed list call is
// reported too, yet the list still holds the records its count names (none
// unless the device set it), never more than the array it was given.
inline bool QueryPatterns(TMV_NET_HANDLE handle, std::vector<TMV_NET_PATTERN_INFO> &patterns)
{
    int32_t count = 0;
    int status = DeviceCall::run(TMV_NET_QueryPtzPatternSize, handle, &count);
    if (status != 0) {
        MsgBox::Instance()->ShowResult(QCoreApplication::translate("PTZPage", "QueryPtzPatternSize"), status);
        return false;
    }
    patterns.assign(ListCapacity<TMV_NET_PATTERN_INFO>(count), TMV_NET_PATTERN_INFO());
    const int32_t capacity = int32_t(patterns.size());
    int32_t returned = 0;
    status = DeviceCall::run(TMV_NET_QueryPtzPattern, handle, patterns.data(), capacity, &returned);
    if (status != 0)
        MsgBox::Instance()->ShowResult(QCoreApplication::translate("PTZPage", "QueryPtzPattern"), status);
    patterns.resize(size_t(ClampCount(returned, capacity)));
    return true;
}

#endif // PATTERNQUERY_H
