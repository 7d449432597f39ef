#include "Step.h"

namespace entryfuzz {

void sizeQueryResult(int32_t status, const int32_t *count)
{
    check(status);
    if (count && status == 0)
        require(*count >= 0);
}

void stopped(int32_t status, TMV_NET_HANDLE handle, std::atomic<bool> Slot::*flag)
{
    check(status);
    if (status != 0)
        return;
    const uintptr_t h = reinterpret_cast<uintptr_t>(handle);
    for (int i = 0; i < g_slotCount.load(); ++i)
        if (h != 0 && g_slots[i].handle.load() == h)
            g_slots[i].*flag = false;
}

void loggedOut(TMV_NET_HANDLE handle)
{
    forHandle(handle, [](Slot &s) { s.quiet(); });
}

// Download ids seen in this input, and any other number.
int32_t downloadId(Step &s)
{
    if (!g_downloads.empty() && s.p.ConsumeIntegralInRange<int>(0, 3) != 3)
        return g_downloads[s.p.ConsumeIntegralInRange<size_t>(0, g_downloads.size() - 1)];
    return s.any();
}

void fileDownloadRecord(Step &s, TMV_NET_FILE_DOWNLOAD_INFO *info)
{
    // The card file: one the library listed, a made-up name on the card, or
    // an unterminated field; never a path of this machine.
    char *source = info->fileInfo.filePath;
    auto it = g_stash.find(&Tag<TMV_NET_FILE_INFO>::id);
    switch (s.p.ConsumeIntegralInRange<int>(0, 4)) {
    case 0:
        if (it != g_stash.end()) {
            std::memcpy(&info->fileInfo, it->second.data(), sizeof info->fileInfo);
            break;
        }
        putText(reinterpret_cast<uint8_t *>(source), sizeof info->fileInfo.filePath,
                "/mnt/sdcard/ch0_video_20240101-000000_20240101-000100.mp4");
        break;
    case 1:
        putText(reinterpret_cast<uint8_t *>(source), sizeof info->fileInfo.filePath,
                std::string("/mnt/sdcard/") + s.p.ConsumeRandomLengthString(64));
        break;
    case 2:
        putText(reinterpret_cast<uint8_t *>(source), sizeof info->fileInfo.filePath,
                "/mnt/sdcard/../sdcard/ch0_video_20240101-000000_20240101-000100.mp4");
        break;
    case 3:
        putText(reinterpret_cast<uint8_t *>(source), sizeof info->fileInfo.filePath, "");
        break;
    default:
        std::memset(source, 'x', sizeof info->fileInfo.filePath);
        break;
    }
    // The target: a path of the scratch folder, cut unterminated when longer
    // than the field.
    PathArg target(s);
    if (target.text.size() < sizeof info->localPath)
        putText(reinterpret_cast<uint8_t *>(info->localPath), sizeof info->localPath, target.text);
    else
        std::memcpy(info->localPath, target.text.data(), sizeof info->localPath);
}

}  // namespace entryfuzz
