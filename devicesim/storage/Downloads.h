#pragma once
// Downloads of SD-card files into the caller's files, over the device's
// link.
//
// The link is shared by every download of the device: each chunk reserves
// its transfer time on it, so several downloads share the speed, paced on
// the simulation clock (a paused clock moves downloads only as it steps).
// A speed of 0 lifts the limit: bytes go as fast as the host copies.
//
// A download writes to a temporary name beside the target ("<target>.
// <pid>-<n>.part") and renames it to the target once every byte is there; a
// stopped or failed download removes its temporary file, so no file that
// looks complete is ever left behind.
//
// A tapped target (storage/FileTap.h) reports each chunk and the end.
//
// Threading model: Link and DownloadSet are safe from any thread; each has
// its own mutex. Every download runs on its own thread, a pacer of the
// clock, that touches only its own files and atomics. stop() and stopAll()
// wake the thread and join it: when they return, it writes no more. The
// threads call no callbacks, so joining never waits for the caller.

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace sim {

class Link {
public:
    explicit Link(uint64_t bytesPerSecond) : speed_(bytesPerSecond) {}
    void setSpeed(uint64_t bytesPerSecond);
    uint64_t speed() const;
    // Books `bytes` on the link from `fromUs` on (after what others booked);
    // returns the simulation time by which they have gone through.
    int64_t reserve(uint64_t bytes, int64_t fromUs);

private:
    mutable std::mutex mutex_;  // protects the members below
    uint64_t speed_;
    int64_t freeAtUs_ = 0;
};

class Download;

// Opens a new temporary file beside `target` ("<target>.<pid>-<n>.part",
// never an existing one) for writing; its name goes to `temporary`. -1 when
// none can be made there.
int openPartBeside(const std::string &target, std::string *temporary);

class DownloadSet {
public:
    // Beyond this many unfinished downloads a login starts no more.
    static constexpr size_t kMaxRunning = 64;

    DownloadSet();
    ~DownloadSet();  // stops everything
    DownloadSet(const DownloadSet &) = delete;
    DownloadSet &operator=(const DownloadSet &) = delete;

    // Starts copying the card file at `sourcePath` into `targetPath`.
    // Returns the new id (0 or more, never reused), or a negative status:
    // -1 when the files cannot be opened or the set is closed.
    int32_t start(Link &link, const std::string &sourcePath, const std::string &targetPath);
    // Stops the download and forgets its id; kOk also for an id that is
    // not running (stopped before, or a logout's blanket stop), kWrongParam
    // for a negative one.
    int32_t stop(int32_t id);
    // kOk with the byte counts; kFailed for a download that failed (the
    // counts as far as it got); kWrongParam for an unknown id.
    int32_t progress(int32_t id, int64_t *total, int64_t *done);
    // Stops every download and refuses new ones (logout).
    void stopAll();

private:
    void reapFinishedLocked();

    std::mutex mutex_;  // protects the members below
    std::map<int32_t, std::shared_ptr<Download>> downloads_;
    int32_t nextId_ = 0;
    bool closed_ = false;
};

}  // namespace sim
