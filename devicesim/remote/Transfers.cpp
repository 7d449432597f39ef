#include "remote/Transfers.h"

#include "remote/Remote.h"
#include "storage/Downloads.h"
#include "storage/PictureFiles.h"
#include "storage/VideoRecorder.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sim::remote {

namespace {

// A transport stream can be cut between its packets.
constexpr int64_t kStreamPacket = 188;

bool writeAt(int fd, const uint8_t *data, size_t size, int64_t offset)
{
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, size, off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
        offset += n;
    }
    return true;
}

void closeFd(int *fd)
{
    if (*fd >= 0)
        ::close(*fd);
    *fd = -1;
}

bool terminated(const char *field, size_t size)
{
    return std::memchr(field, '\0', size) != nullptr;
}

}  // namespace

Transfers::~Transfers()
{
    closeAll();
}

uint32_t Transfers::add(File file)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const uint32_t number = next_++;
    if (next_ == 0)
        next_ = 1;  // 0 is no transfer
    files_[number] = std::move(file);
    return number;
}

uint32_t Transfers::openRecording(const char *path, bool *writable)
{
    File file;
    file.path = path;
    struct stat st;
    file.created = ::lstat(path, &st) != 0;
    // As the device opens it, but not cut yet: a refused start leaves it be.
    file.fd = ::open(path, O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    *writable = file.fd >= 0;
    return *writable ? add(std::move(file)) : 0;
}

uint32_t Transfers::openDownload(const char *target, int64_t total, bool *writable)
{
    File file;
    file.download = true;
    file.total = total;
    file.path = target;
    file.fd = openPartBeside(file.path, &file.temporary);
    *writable = file.fd >= 0;
    return *writable ? add(std::move(file)) : 0;
}

void Transfers::recordingAnswered(uint32_t number, bool started)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (started) {
        lastRecording_ = Ended::None;
        confirmStop_ = false;
    }
    auto it = files_.find(number);
    if (started || it == files_.end())
        return;
    File &file = it->second;
    closeFd(&file.fd);
    if (file.begun || file.created)
        removePartialFile(file.path);
    files_.erase(it);
}

void Transfers::downloadAnswered(uint32_t number, int32_t id)
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = files_.find(number);
    if (it == files_.end())
        return;
    if (id >= 0) {
        downloads_[id] = number;
        return;
    }
    closeFd(&it->second.fd);
    ::unlink(it->second.temporary.c_str());
    files_.erase(it);
}

void Transfers::apply(const wire::FileEvent &e)
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = files_.find(e.transfer);
    if (it == files_.end() || it->second.ended)
        return;  // stopped, or not this link's
    File &file = it->second;
    if (e.end) {
        file.ended = true;
        if (file.download) {
            finishDownload(file, e.kept, int64_t(e.size));
        } else {
            lastRecording_ = finishRecording(file, e.kept, int64_t(e.size)) ? Ended::Whole : Ended::Failed;
            files_.erase(it);
        }
        return;
    }
    if (file.failed)
        return;
    if (!file.download && !file.begun) {
        // The device has opened its file: so is this one, from its start.
        file.begun = true;
        if (::ftruncate(file.fd, 0) != 0 && errno != EINVAL)
            file.failed = true;
    }
    if (file.failed || !writeAt(file.fd, e.data, e.size, e.offset)) {
        file.failed = true;
        if (!file.download)
            file.written = e.offset;  // a stream's bytes come in order
        return;
    }
    if (file.download)
        file.written += int64_t(e.size);
}

bool Transfers::finishRecording(File &file, bool kept, int64_t size)
{
    if (!file.failed) {
        // The device may have cut its file back (a stream after a failed
        // write): so is this one.
        const bool cut = !kept || ::ftruncate(file.fd, off_t(size)) == 0 || errno == EINVAL;
        const bool closed = ::close(file.fd) == 0;
        file.fd = -1;
        if (!kept)
            removePartialFile(file.path);
        if (cut && closed)
            return true;
        file.failed = true;
    }
    // As the device keeps a recording whose writes failed: a stream cut back
    // to whole packets, anything else removed.
    const int64_t whole = std::min(file.written, size) / kStreamPacket * kStreamPacket;
    const bool keep = kept && whole > 0 && VideoRecorder::containerFor(file.path) == VideoRecorder::Container::Pav;
    if (keep && file.fd >= 0 && ::ftruncate(file.fd, off_t(whole)) != 0) {
        // Readers resynchronise past a torn tail.
    }
    closeFd(&file.fd);
    if (!keep)
        removePartialFile(file.path);
    return false;
}

void Transfers::finishDownload(File &file, bool kept, int64_t size)
{
    const bool closed = ::close(file.fd) == 0;
    file.fd = -1;
    if (kept && !file.failed && closed && file.written == size
        && ::rename(file.temporary.c_str(), file.path.c_str()) == 0)
        return;
    ::unlink(file.temporary.c_str());
    // The device's own end (stopped, failed) is its to report.
    if (kept)
        file.failed = true;
}

int32_t Transfers::recordingStopped(int32_t deviceStatus)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const Ended last = lastRecording_;
    lastRecording_ = Ended::None;
    if (deviceStatus == TMV_NET_SUCCESS) {
        confirmStop_ = last == Ended::Failed;
        return confirmStop_ ? TMV_NET_FAILED : TMV_NET_SUCCESS;
    }
    if (deviceStatus == TMV_NET_FAILED && confirmStop_) {
        confirmStop_ = false;
        return TMV_NET_SUCCESS;
    }
    return deviceStatus;
}

void Transfers::previewEnded()
{
    std::lock_guard<std::mutex> lock(mutex_);
    confirmStop_ = false;
}

void Transfers::downloadStopped(int32_t id)
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = downloads_.find(id);
    if (found == downloads_.end())
        return;
    auto it = files_.find(found->second);
    downloads_.erase(found);
    if (it == files_.end())
        return;
    if (!it->second.ended) {
        closeFd(&it->second.fd);
        ::unlink(it->second.temporary.c_str());
    }
    files_.erase(it);
}

bool Transfers::downloadFailed(int32_t id, int64_t *written, int64_t *total)
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = downloads_.find(id);
    if (found == downloads_.end())
        return false;
    auto it = files_.find(found->second);
    if (it == files_.end() || !it->second.failed)
        return false;
    *written = it->second.written;
    *total = it->second.total;
    return true;
}

void Transfers::linkLost()
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = files_.begin(); it != files_.end();) {
        File &file = it->second;
        closeFd(&file.fd);
        const bool unfinished = file.download && !file.ended;
        if (unfinished)
            ::unlink(file.temporary.c_str());
        if (unfinished && downloadIdOf(it->first) >= 0) {
            file.failed = true;
            ++it;
        } else {
            it = files_.erase(it);
        }
    }
}

int32_t Transfers::downloadIdOf(uint32_t number) const
{
    for (const auto &entry : downloads_)
        if (entry.second == number)
            return entry.first;
    return -1;
}

void Transfers::closeAll()
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto &entry : files_) {
        File &file = entry.second;
        closeFd(&file.fd);
        if (file.download && !file.ended)
            ::unlink(file.temporary.c_str());
    }
    files_.clear();
    downloads_.clear();
}

// ---- The calls ---------------------------------------------------------------

int32_t startRecord(TMV_NET_HANDLE handle, const char *path)
{
    std::shared_ptr<Link> link = linkOf(handle);
    if (!link)
        return TMV_NET_FAILED;
    bool writable = false;
    uint32_t number = 0;
    // A path the call refuses as it stands makes no file here.
    if (path && *path)
        number = link->transfers().openRecording(path, &writable);
    const int32_t status = call<&TMV_NET_StartPreviewRecord>(wire::kFn_TMV_NET_StartPreviewRecord, handle,
                                                             wire::FileLive{path, number, writable});
    link->transfers().recordingAnswered(number, status == TMV_NET_SUCCESS);
    return status;
}

int32_t stopRecord(TMV_NET_HANDLE handle)
{
    std::shared_ptr<Link> link = linkOf(handle);
    const int32_t status = call<&TMV_NET_StopPreviewRecord>(wire::kFn_TMV_NET_StopPreviewRecord, handle);
    if (!link || link->lost())
        return status;
    return link->transfers().recordingStopped(status);
}

// Answers a download id, or a failure negated, as the device does.
int32_t startDownload(TMV_NET_HANDLE handle, const TMV_NET_FILE_DOWNLOAD_INFO *info)
{
    std::shared_ptr<Link> link = linkOf(handle);
    if (!link)
        return -TMV_NET_FAILED;
    bool writable = false;
    uint32_t number = 0;
    if (info && terminated(info->localPath, sizeof info->localPath) && info->localPath[0])
        number = link->transfers().openDownload(info->localPath, info->fileInfo.fileSize, &writable);
    using Client = wire::Signature<&TMV_NET_StartDownloadFile>::Client;
    const wire::DownloadInto into{info, number, writable};
    wire::Buffer arguments;
    wire::Writer w(arguments);
    Client::encode(w, into);
    wire::Buffer reply;
    int32_t status = exchange(*link, wire::kFn_TMV_NET_StartDownloadFile, arguments, &reply);
    wire::Reader r(reply);
    r.value<int32_t>();
    if (reply.empty() || !Client::decode(r, false, into))
        status = -TMV_NET_FAILED;  // the device has gone, or answered nonsense
    link->transfers().downloadAnswered(number, status);
    return status;
}

int32_t stopDownload(TMV_NET_HANDLE handle, int32_t id)
{
    std::shared_ptr<Link> link = linkOf(handle);
    int32_t status = call<&TMV_NET_StopDownloadFile>(wire::kFn_TMV_NET_StopDownloadFile, handle, id);
    if (!link)
        return status;
    // A device that has gone away has nothing left to stop.
    if (link->lost())
        status = id < 0 ? TMV_NET_PARAM_WRONG : TMV_NET_SUCCESS;
    if (status == TMV_NET_SUCCESS)
        link->transfers().downloadStopped(id);
    return status;
}

int32_t downloadProgress(TMV_NET_HANDLE handle, int32_t id, TMV_NET_DOWNLOAD_PROGRESS *progress)
{
    std::shared_ptr<Link> link = linkOf(handle);
    int32_t status = call<&TMV_NET_GetDownloadProgress>(wire::kFn_TMV_NET_GetDownloadProgress, handle, id, progress);
    int64_t written = 0;
    int64_t total = 0;
    // Failed here (a write, the link lost): failed, with what was written.
    const bool asked = link && (status == TMV_NET_SUCCESS || link->lost());
    if (asked && progress && link->transfers().downloadFailed(id, &written, &total)) {
        if (status != TMV_NET_SUCCESS)
            progress->total = total;
        progress->done = written;
        status = TMV_NET_FAILED;
    }
    return status;
}

}  // namespace sim::remote
