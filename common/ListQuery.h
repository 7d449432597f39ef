#ifndef LISTQUERY_H
#define LISTQUERY_H

#include <QString>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/CountClamp.h"
#include "common/DeviceCall.h"
#include "common/MsgBox.h"
#include "TMVNetSDK.h"

// A device list in two calls: its size, then the records into an array of
// that size. Either failure is reported under its operation name and gives
// false. `records` ends up holding what the device returned, never more than
// the array it was given, whatever count it claims; the size answer is
// bounded too (ListCapacity).
template <class Record, class SizeCall, class ListCall>
bool QueryList(SizeCall querySize, const QString &sizeOperation, ListCall queryList, const QString &listOperation,
               std::vector<Record> &records)
{
    int32_t count = 0;
    int status = querySize(&count);
    if (status != 0) {
        MsgBox::Instance()->ShowResult(sizeOperation, status);
        return false;
    }
    records.assign(ListCapacity<Record>(count), Record());
    const int32_t capacity = int32_t(records.size());
    int32_t returned = 0;
    status = queryList(records.data(), capacity, &returned);
    if (status != 0) {
        MsgBox::Instance()->ShowResult(listOperation, status);
        return false;
    }
    records.resize(static_cast<size_t>(ClampCount(returned, capacity)));
    return true;
}

// The device's preset slots as it lists them; failures reported under the
// caller's translated operation names.
inline bool QueryPresetList(TMV_NET_HANDLE handle, const QString &sizeOperation, const QString &listOperation,
                            std::vector<TMV_NET_PRESET_INFO> &presets)
{
    return QueryList(
        [handle](int32_t *count) { return DeviceCall::run(TMV_NET_QueryPtzPresetSize, handle, count); }, sizeOperation,
        [handle](TMV_NET_PRESET_INFO *array, int32_t capacity, int32_t *returned) {
            return DeviceCall::run(TMV_NET_QueryPtzPreset, handle, array, capacity, returned);
        },
        listOperation, presets);
}

#endif // LISTQUERY_H
