#pragma once
// The SD card of one device: a folder on the host, named after the device's
// address, under a root shared by every card of the process.
//
// The root, first match wins:
//  1. setRoot() (TMVSim_SetSdCardRoot), for this process;
//  2. the TMVSIM_SDCARD_ROOT environment variable, so a test runner can give
//     each test process a card of its own;
//  3. $XDG_CACHE_HOME/sdkdemo/sdcard, or ~/.cache/sdkdemo/sdcard: a card
//     outlives a run and a reboot, as a real one does.
// A relative root is taken from the working directory at the time it is read.
//
// The files: recordings (".mp4", a few seconds each) and pictures (".jpg")
// of every channel, named as CardNames.h says, so the folder is the truth and
// the in-memory index is rebuilt from its names whenever the folder changed
// (another part of the device may drop a file in). The card keeps recording
// while the program is closed: the first search fills in the slots it would
// have recorded since the newest file, over the last kHistorySeconds, and
// later searches go on following the clock. Filling is cheap: each channel
// records one short template recording and picture once (kept in the hidden
// ".templates" folder of the card) and the slots are hard links to them.
// When the files outgrow the capacity the oldest are removed, as a camera
// overwrites a full card.
//
// Threading model: every member may be called from any thread. The root is
// process-wide behind its own mutex, held only to copy it; mutex_ guards the
// index and serialises changes to this card's folder; templateMutex_
// serialises making the templates, which renders frames through the frame
// source (the producers' locks), and is never held together with mutex_.
// The link has its own lock. No callback runs under any of them.

#include "camera/Picture.h"
#include "storage/CardNames.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace sim {

class Link;

struct CardFile {
    int channel = 0;
    CardFileType type = CardFileType::Video;
    int64_t start = 0;  // civil seconds
    int64_t end = 0;
    uint64_t size = 0;  // bytes
    std::string name;   // in the card folder
};

// What a search asks for: one channel, one type, files that overlap the
// span [from, to], both ends included.
struct CardQuery {
    int channel = 0;
    CardFileType type = CardFileType::Video;
    int64_t from = 0;
    int64_t to = 0;
};

class SdCard {
public:
    static constexpr const char *kRootVariable = "TMVSIM_SDCARD_ROOT";

    // Paths of card files as the device reports them.
    static constexpr const char *kDevicePrefix = "/mnt/sdcard/";
    static constexpr uint64_t kDefaultCapacity = 256ull << 20;
    static constexpr uint64_t kDefaultLinkSpeed = 4ull << 20;  // bytes a second
    static constexpr int64_t kHistorySeconds = 2 * 86400;
    static constexpr int64_t kSlotSeconds = 15 * 60;  // one recording and one picture a slot
    static constexpr int64_t kPictureOffset = kSlotSeconds / 2;

    // A channel's picture at a simulation time, for the templates. Without
    // one the card makes plain moving test pictures.
    using FrameSource = std::function<FramePtr(int channel, int64_t timeUs)>;

    explicit SdCard(std::string address, int channels = 1, FrameSource source = {});
    ~SdCard();
    SdCard(const SdCard &) = delete;
    SdCard &operator=(const SdCard &) = delete;

    const std::string &address() const { return address_; }

    // <root>/<address>, created on demand (mode 0700, as is every missing
    // folder above it). Empty when it cannot be created or the address is
    // no file name.
    std::string folder();
    // A folder of its own instead of <root>/<address> (set once, before use).
    void useFolder(std::string folder) { ownFolder_ = std::move(folder); }

    // Replaces the root for every card of the process; empty restores the
    // environment variable or the default.
    static void setRoot(const std::string &folder);
    // The root in force now (absolute; not created).
    static std::string root();

    // Page `pageNo` of `pageSize` files matching the query, in time order.
    std::vector<CardFile> search(const CardQuery &query, int pageNo, int pageSize);
    // Every file of the card, in time order (fills and refreshes first).
    std::vector<CardFile> files();

    // The device path of a card file, and back: the host path of the card
    // file a device path names, or empty when it names none (anything but
    // a plain card file name under kDevicePrefix).
    static std::string devicePath(const std::string &name);
    std::string hostPath(const std::string &devicePath);

    // Moves the finished file at `writtenPath` (best in folder()) onto the
    // card as the `type` file of `channel` from `startEpoch` to `endEpoch`
    // (system-clock seconds), replacing a file of the same name, then makes
    // room. Returns its device path, or empty when it could not.
    std::string addFile(int channel, CardFileType type, int64_t startEpoch, int64_t endEpoch,
                        const std::string &writtenPath);

    void setCapacity(uint64_t bytes);
    uint64_t capacity() const;
    uint64_t usedBytes();

    // The device's network link, shared by all its downloads.
    Link &link() { return *link_; }

    // Capacity and link speed as shipped.
    void resetSettings();
    // Removes every card file (the templates stay); the next search fills
    // the history in again.
    void format();

private:
    // Rescans the folder when it changed, fills in what fell due, makes
    // room. Takes mutex_ itself; makes templates before it.
    std::string refresh();
    bool ensureTemplates(const std::string &folder);
    bool makeTemplate(const std::string &folder, int channel, CardFileType type);
    void rescanLocked(const std::string &folder);
    void fillLocked(const std::string &folder, int64_t now);
    void insertLocked(CardFile file);
    void pruneLocked(const std::string &folder);
    std::string templatePath(const std::string &folder, int channel, CardFileType type) const;

    const std::string address_;
    std::string ownFolder_;
    const int channels_;
    const FrameSource source_;
    const std::unique_ptr<Link> link_;
    std::mutex templateMutex_;  // serialises making the templates

    mutable std::mutex mutex_;  // guards the members below and changes to the folder
    std::string indexedFolder_;  // the folder the index describes
    int64_t folderStamp_ = -1;   // its modification time at the last scan, ns
    bool stale_ = true;
    std::vector<CardFile> index_;  // sorted by start, channel, type, name
    uint64_t used_ = 0;
    uint64_t capacity_ = kDefaultCapacity;
    int64_t templateSeconds_ = 3;  // length of a recording slot
    // Per channel and type: the newest slot filled in this run, so a file
    // dropped in later does not hide the slots before it.
    std::vector<int64_t> filledUpTo_;
};

}  // namespace sim
