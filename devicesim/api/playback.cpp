// Entry points of the playback family: SD-card file search and downloads.
#include "EntryPoint.h"

using sim::api::EntryPoint;

namespace {

void checkQuery(EntryPoint &call, const TMV_NET_FILE_QUERY *query)
{
    call.input(query, sizeof *query);
    if (query)
        call.text(query->startTime, sizeof query->startTime).text(query->endTime, sizeof query->endTime);
}

}  // namespace

TMV_NET_API int32_t TMV_NET_QueryFileSize(TMV_NET_HANDLE handle, const TMV_NET_FILE_QUERY *query,
                                          int32_t *count)
{
    EntryPoint call(__func__, handle);
    checkQuery(call, query);
    call.output(count);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_QueryFile(TMV_NET_HANDLE handle, const TMV_NET_FILE_QUERY *query,
                                      TMV_NET_FILE_INFO *files, int32_t capacity, int32_t *count)
{
    EntryPoint call(__func__, handle);
    checkQuery(call, query);
    call.array(files, capacity).input(&capacity, sizeof capacity).output(count);
    return call.notSupported();
}

// Answers a download id, so a failure goes back negated: a positive status
// would read as the id of a started download.
TMV_NET_API int32_t TMV_NET_StartDownloadFile(TMV_NET_HANDLE handle, const TMV_NET_FILE_DOWNLOAD_INFO *info)
{
    EntryPoint call(__func__, handle);
    call.input(info, sizeof *info);
    if (info) {
        call.text(info->fileInfo.startTime, sizeof info->fileInfo.startTime)
            .text(info->fileInfo.endTime, sizeof info->fileInfo.endTime)
            .text(info->fileInfo.filePath, sizeof info->fileInfo.filePath)
            .text(info->localPath, sizeof info->localPath);
    }
    return -call.notSupported();
}

TMV_NET_API int32_t TMV_NET_StopDownloadFile(TMV_NET_HANDLE handle, int32_t downloadId)
{
    EntryPoint call(__func__, handle);
    call.input(&downloadId, sizeof downloadId);
    return call.notSupported();
}

TMV_NET_API int32_t TMV_NET_GetDownloadProgress(TMV_NET_HANDLE handle, int32_t downloadId,
                                                TMV_NET_DOWNLOAD_PROGRESS *progress)
{
    EntryPoint call(__func__, handle);
    call.input(&downloadId, sizeof downloadId).output(progress);
    return call.notSupported();
}
