#pragma once
// The files a login's device writes on this machine over a long time: a
// recording at the caller's path, and downloads into a temporary file beside
// their target, renamed onto it once every byte is there (as the embedded
// device does). The device sends each file's bytes with their offset, then
// its end, as events on the login's connection; the link's reader applies
// them as they come, in order with the replies, so a call's reply finds
// every byte sent before it written and a stopped file already settled.
//
// Threading model: every member may be called from any thread; mutex_
// guards the table and the files. Writes happen under it on the link's
// reader, each at most one event's bytes.

#include "TMVNetSDK.h"
#include "wire/Events.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <string>

namespace sim::remote {

class Transfers {
public:
    Transfers() = default;
    ~Transfers();  // as closeAll()
    Transfers(const Transfers &) = delete;
    Transfers &operator=(const Transfers &) = delete;

    // Before a recording's start goes out: the caller's file, opened without
    // cutting what it holds (the device may still refuse). Returns the
    // transfer's number, or 0 (with `writable` false) when the file cannot be
    // opened for writing.
    uint32_t openRecording(const char *path, bool *writable);
    // Before a download's start: a temporary file beside `target`, of a
    // card file of `total` bytes.
    uint32_t openDownload(const char *target, int64_t total, bool *writable);
    // The start's answer. A refused start takes back what it made (a
    // recording whose first bytes came before the refusal goes, as the
    // device removes its own); a started download is known by its id.
    void recordingAnswered(uint32_t number, bool started);
    void downloadAnswered(uint32_t number, int32_t id);

    // On the link's reader: a file event. Bytes this side cannot write fail
    // the file; the device's writing goes on.
    void apply(const wire::FileEvent &event);

    // The status a recording's stop gives the caller, from the device's: a
    // recording this side could not write in full fails its stop, and the
    // next stop confirms that it is over, as when the device's own writes
    // fail. The preview's end forgets that, as it does on the device.
    int32_t recordingStopped(int32_t deviceStatus);
    void previewEnded();
    // A stopped download: its temporary file goes if it is still there.
    void downloadStopped(int32_t id);
    // Whether download `id` failed on this side (a write, or the link lost),
    // how far it got and of how much.
    bool downloadFailed(int32_t id, int64_t *written, int64_t *total);

    // The link ends: every file closed; an unfinished download's temporary
    // file removed, a recording left as far as it got.
    void closeAll();
    // The link is lost: as closeAll(), but an unfinished download stays
    // known as failed, for its progress to say so, until it is stopped.
    void linkLost();

private:
    struct File {
        bool download = false;
        int fd = -1;
        std::string path;       // the caller's file (a download's target)
        std::string temporary;  // a download's temporary file
        bool created = false;   // a recording's file was not there before
        bool begun = false;     // a recording's first bytes came: the file was cut
        bool failed = false;    // a write on this side failed
        bool ended = false;
        int64_t written = 0;    // a download's bytes; a recording's before a failure
        int64_t total = 0;      // a download's card file
    };
    enum class Ended { None, Whole, Failed };

    uint32_t add(File file);
    // The device's id of transfer `number`, or -1 (under mutex_).
    int32_t downloadIdOf(uint32_t number) const;
    // Settles a recording at its end; true when this side wrote it whole.
    bool finishRecording(File &file, bool kept, int64_t size);
    void finishDownload(File &file, bool kept, int64_t size);

    std::mutex mutex_;  // guards everything below
    uint32_t next_ = 1;
    std::map<uint32_t, File> files_;
    std::map<int32_t, uint32_t> downloads_;  // the device's id, the transfer
    Ended lastRecording_ = Ended::None;       // how the latest recording ended
    bool confirmStop_ = false;
};

// The network mode's recording and download calls: the call, as any other,
// with the caller's files kept on this machine.
int32_t startRecord(TMV_NET_HANDLE handle, const char *path);
int32_t stopRecord(TMV_NET_HANDLE handle);
int32_t startDownload(TMV_NET_HANDLE handle, const TMV_NET_FILE_DOWNLOAD_INFO *info);
int32_t stopDownload(TMV_NET_HANDLE handle, int32_t id);
int32_t downloadProgress(TMV_NET_HANDLE handle, int32_t id, TMV_NET_DOWNLOAD_PROGRESS *progress);

}  // namespace sim::remote
