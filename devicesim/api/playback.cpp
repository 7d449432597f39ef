// Entry points of the playback family: SD-card file search and downloads.
#include "EntryPoint.h"
#include "api/Forward.h"

#include "device/Device.h"
#include "device/Fleet.h"
#include "device/Session.h"
#include "storage/Downloads.h"
#include "storage/SdCard.h"

#include <algorithm>
#include <climits>
#include <cstring>

using sim::api::EntryPoint;

namespace {

// A device page holds at most this many records, whatever is asked.
constexpr int32_t kMaxPageSize = 1000;

void checkQuery(EntryPoint &call, const TMV_NET_FILE_QUERY *query)
{
    call.input(query, sizeof *query);
    if (query)
        call.text(query->startTime, sizeof query->startTime).text(query->endTime, sizeof query->endTime);
}

// The query as the card reads it; false (3) for a channel the device lacks,
// an unknown type, a time not in the agreed form or a bad page.
bool cardQuery(const EntryPoint &call, const TMV_NET_FILE_QUERY &query, sim::CardQuery *out)
{
    if (!call.device().validChannel(query.channel) || (query.fileType != 0 && query.fileType != 1)
        || query.pageSize <= 0 || query.pageSize > kMaxPageSize || query.pageNo < 0
        || !sim::parseQueryTime(query.startTime, &out->from) || !sim::parseQueryTime(query.endTime, &out->to))
        return false;
    out->channel = query.channel;
    out->type = query.fileType == 1 ? sim::CardFileType::Video : sim::CardFileType::Image;
    return true;
}

// The page the query asks for, once the call's checks passed.
int32_t searchPage(const EntryPoint &call, const TMV_NET_FILE_QUERY *query, std::vector<sim::CardFile> *page)
{
    if (!call.ok())
        return call.status();
    sim::CardQuery cq;
    if (!cardQuery(call, *query, &cq))
        return sim::kWrongParam;
    *page = call.device().sdCard().search(cq, query->pageNo, query->pageSize);
    return sim::kOk;
}

void copyText(char *field, size_t size, const std::string &text)
{
    const size_t n = std::min(text.size(), size - 1);
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}

TMV_NET_FILE_INFO fileRecord(const sim::CardFile &file)
{
    TMV_NET_FILE_INFO record;
    std::memset(&record, 0, sizeof record);
    record.channel = file.channel;
    record.fileType = int32_t(file.type);
    record.fileSize = int32_t(std::min<uint64_t>(file.size, INT32_MAX));
    copyText(record.startTime, sizeof record.startTime, sim::queryTime(file.start));
    copyText(record.endTime, sizeof record.endTime, sim::queryTime(file.end));
    // Card names are short; a path that did not fit would name another file.
    copyText(record.filePath, sizeof record.filePath, sim::SdCard::devicePath(file.name));
    return record;
}

}  // namespace

TMV_NET_API int32_t TMV_NET_QueryFileSize(TMV_NET_HANDLE handle, const TMV_NET_FILE_QUERY *query,
                                          int32_t *count)
{
    SIM_FORWARD(TMV_NET_QueryFileSize, handle, query, count);
    EntryPoint call(__func__, handle);
    checkQuery(call, query);
    call.output(count);
    std::vector<sim::CardFile> page;
    if (int32_t status = searchPage(call, query, &page))
        return status;
    *count = int32_t(page.size());
    return sim::kOk;
}

TMV_NET_API int32_t TMV_NET_QueryFile(TMV_NET_HANDLE handle, const TMV_NET_FILE_QUERY *query,
                                      TMV_NET_FILE_INFO *files, int32_t capacity, int32_t *count)
{
    SIM_FORWARD(TMV_NET_QueryFile, handle, query, files, capacity, count);
    EntryPoint call(__func__, handle);
    checkQuery(call, query);
    call.array(files, capacity).input(&capacity, sizeof capacity).output(count);
    std::vector<sim::CardFile> page;
    if (int32_t status = searchPage(call, query, &page))
        return status;
    const size_t written = std::min(page.size(), size_t(capacity));
    for (size_t i = 0; i < written; ++i)
        files[i] = fileRecord(page[i]);
    *count = call.reportedCount(int32_t(page.size()), capacity);
    return sim::kOk;
}

// Answers a download id, so a failure goes back negated: a positive status
// would read as the id of a started download.
TMV_NET_API int32_t TMV_NET_StartDownloadFile(TMV_NET_HANDLE handle, const TMV_NET_FILE_DOWNLOAD_INFO *info)
{
    SIM_FORWARD_TO(sim::remote::startDownload(handle, info));
    EntryPoint call(__func__, handle);
    call.input(info, sizeof *info);
    if (info) {
        call.text(info->fileInfo.startTime, sizeof info->fileInfo.startTime)
            .text(info->fileInfo.endTime, sizeof info->fileInfo.endTime)
            .text(info->fileInfo.filePath, sizeof info->fileInfo.filePath)
            .text(info->localPath, sizeof info->localPath)
            .require(info->localPath[0] != '\0');
    }
    if (!call.ok())
        return -call.status();
    sim::Device &device = call.device();
    // Only a file of the card: a record naming anything else (a host path,
    // "..") is refused, never read.
    const std::string source = device.sdCard().hostPath(info->fileInfo.filePath);
    if (source.empty())
        return -sim::kWrongParam;
    return call.session().downloads().start(device.sdCard().link(), source, info->localPath);
}

TMV_NET_API int32_t TMV_NET_StopDownloadFile(TMV_NET_HANDLE handle, int32_t downloadId)
{
    SIM_FORWARD_TO(sim::remote::stopDownload(handle, downloadId));
    // Stopping must work even when the device has gone away meanwhile.
    EntryPoint call(__func__);
    call.input(&handle, sizeof handle).input(&downloadId, sizeof downloadId);
    if (!call.ok())
        return call.status();
    auto session = sim::Fleet::instance().session(handle);
    return session ? session->downloads().stop(downloadId) : sim::kFailed;
}

TMV_NET_API int32_t TMV_NET_GetDownloadProgress(TMV_NET_HANDLE handle, int32_t downloadId,
                                                TMV_NET_DOWNLOAD_PROGRESS *progress)
{
    SIM_FORWARD_TO(sim::remote::downloadProgress(handle, downloadId, progress));
    EntryPoint call(__func__, handle);
    call.input(&downloadId, sizeof downloadId).output(progress);
    if (!call.ok())
        return call.status();
    int64_t total = 0, done = 0;
    const int32_t status = call.session().downloads().progress(downloadId, &total, &done);
    if (status == sim::kWrongParam)
        return status;
    progress->total = total;
    progress->done = done;
    return status;
}
