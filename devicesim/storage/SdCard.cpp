#include "storage/SdCard.h"

#include "base/SimClock.h"
#include "storage/Downloads.h"
#include "storage/PictureFiles.h"
#include "storage/VideoRecorder.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <tuple>

namespace sim {

namespace {

std::mutex rootMutex;
std::string rootOverride;  // guarded by rootMutex

std::string environment(const char *name)
{
    const char *value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string absolute(const std::string &path)
{
    std::error_code error;
    const auto full = std::filesystem::absolute(path, error);
    std::string text = error ? path : full.lexically_normal().string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

std::string homeFolder()
{
    std::string home = environment("HOME");
    if (!home.empty())
        return home;
    passwd entry;
    passwd *found = nullptr;
    char buffer[4096];
    if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found
        && found->pw_dir && *found->pw_dir)
        return found->pw_dir;
    return {};
}

std::string defaultRoot()
{
    // The base directory specification ignores a relative XDG_CACHE_HOME.
    std::string cache = environment("XDG_CACHE_HOME");
    if (cache.empty() || cache[0] != '/') {
        const std::string home = homeFolder();
        if (home.empty()) {
            const std::string tmp = environment("TMPDIR");
            cache = tmp.empty() ? "/tmp" : tmp;
        } else {
            cache = home + "/.cache";
        }
    }
    return cache + "/sdkdemo/sdcard";
}

bool isFolder(const std::string &path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// mkdir -p, with 0700 for every folder it has to create: a card may hold
// pictures of someone's premises.
bool makeFolders(const std::string &path)
{
    if (isFolder(path))
        return true;
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (!part.empty() && ::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            break;
    }
    return isFolder(path);
}

}  // namespace

SdCard::SdCard(std::string address, int channels, FrameSource source)
    : address_(std::move(address)), channels_(channels > 0 ? channels : 1), source_(std::move(source)),
      link_(new Link(kDefaultLinkSpeed)), filledUpTo_(size_t(channels_) * 2, INT64_MIN)
{
}

SdCard::~SdCard() = default;

std::string SdCard::folder()
{
    if (!ownFolder_.empty()) {
        std::lock_guard<std::mutex> lock(mutex_);
        return makeFolders(ownFolder_) ? ownFolder_ : std::string();
    }
    // The address becomes one file name: nothing that could climb out of
    // the root or hide.
    if (address_.empty() || address_ == "." || address_ == ".."
        || address_.find('/') != std::string::npos || address_.find('\0') != std::string::npos)
        return {};
    const std::string path = root() + "/" + address_;
    std::lock_guard<std::mutex> lock(mutex_);
    return makeFolders(path) ? path : std::string();
}

void SdCard::setRoot(const std::string &folder)
{
    const std::string full = folder.empty() ? std::string() : absolute(folder);
    std::lock_guard<std::mutex> lock(rootMutex);
    rootOverride = full;
}

std::string SdCard::root()
{
    {
        std::lock_guard<std::mutex> lock(rootMutex);
        if (!rootOverride.empty())
            return rootOverride;
    }
    const std::string fromEnvironment = environment(kRootVariable);
    return absolute(fromEnvironment.empty() ? defaultRoot() : fromEnvironment);
}

// ---- Files ------------------------------------------------------------

namespace {

constexpr int kTemplateFps = 5;
constexpr int kTemplateFrames = 15;  // three seconds
constexpr int kTemplateMaxWidth = 640;  // a full-HD channel is recorded smaller, as a substream

bool byTime(const CardFile &a, const CardFile &b)
{
    return std::tie(a.start, a.channel, a.type, a.name) < std::tie(b.start, b.channel, b.type, b.name);
}

int64_t folderStamp(const std::string &folder)
{
    struct stat st;
    if (::stat(folder.c_str(), &st) != 0)
        return -1;
    return int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

bool isPlainFile(const std::string &path, uint64_t *size = nullptr)
{
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    if (size)
        *size = uint64_t(st.st_size);
    return true;
}

bool copyFile(const std::string &from, const std::string &to)
{
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    bool ok = out >= 0;
    char buffer[1 << 16];
    while (ok) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        for (ssize_t done = 0; ok && done < n;) {
            const ssize_t w = ::write(out, buffer + done, size_t(n - done));
            ok = w > 0;
            done += w > 0 ? w : 0;
        }
    }
    ::close(in);
    if (out >= 0 && ::close(out) != 0)
        ok = false;
    if (!ok)
        ::unlink(to.c_str());
    return ok;
}

// A slot file shares the template's bytes: a link costs no space and no
// time; a copy where links are not possible.
bool placeCopy(const std::string &from, const std::string &to)
{
    if (::link(from.c_str(), to.c_str()) == 0 || errno == EEXIST)
        return true;
    return copyFile(from, to);
}

// Stand-in pictures for a card without a frame source: a bar that moves.
FramePtr testPicture(int index, int channel)
{
    auto picture = std::make_shared<Picture>();
    picture->width = 320;
    picture->height = 256;
    picture->rgba.resize(size_t(picture->width) * picture->height * 4);
    for (int y = 0; y < picture->height; ++y) {
        for (int x = 0; x < picture->width; ++x) {
            uint8_t *p = &picture->rgba[(size_t(y) * picture->width + x) * 4];
            const bool bar = std::abs(x - index * 16) < 12;
            p[0] = uint8_t(bar ? 250 : x * 255 / picture->width);
            p[1] = uint8_t(y * 255 / picture->height);
            p[2] = uint8_t(channel ? 200 : 60);
            p[3] = 255;
        }
    }
    return picture;
}

}  // namespace

std::string SdCard::templatePath(const std::string &folder, int channel, CardFileType type) const
{
    return folder + "/.templates/ch" + std::to_string(channel)
           + (type == CardFileType::Video ? ".mp4" : ".jpg");
}

bool SdCard::makeTemplate(const std::string &folder, int channel, CardFileType type)
{
    const std::string target = templatePath(folder, channel, type);
    // Written under a name of its own and renamed, so another process
    // sharing the root never links a half-written template.
    const std::string temporary = folder + "/.templates/tmp-" + std::to_string(::getpid()) + "-"
                                  + std::to_string(channel) + (type == CardFileType::Video ? ".mp4" : ".jpg");
    const int64_t base = SimClock::instance().nowUs();
    auto frame = [&](int i) {
        FramePtr picture = source_ ? source_(channel, base + int64_t(i) * 1000000 / kTemplateFps) : nullptr;
        return picture && !picture->rgba.empty() ? picture : testPicture(i, channel);
    };
    bool ok = false;
    if (type == CardFileType::Image) {
        const FramePtr picture = frame(0);
        ok = writeJpegSnapshot(temporary, picture->rgba.data(), picture->width, picture->height, 85);
    } else {
        const FramePtr first = frame(0);
        int width = first->width, height = first->height;
        if (width > kTemplateMaxWidth) {
            height = int(int64_t(height) * kTemplateMaxWidth / width) & ~1;
            width = kTemplateMaxWidth;
        }
        VideoRecorder recorder(kTemplateFrames + 1);
        ok = recorder.start(temporary, width, height, kTemplateFps);
        for (int i = 0; ok && i < kTemplateFrames; ++i) {
            const FramePtr picture = i == 0 ? first : frame(i);
            ok = recorder.pushFrame(picture->rgba.data(), picture->width, picture->height,
                                    int64_t(i) * 1000 / kTemplateFps);
        }
        ok = recorder.stop() && ok;
    }
    if (ok && ::rename(temporary.c_str(), target.c_str()) == 0)
        return true;
    ::unlink(temporary.c_str());
    return false;
}

bool SdCard::ensureTemplates(const std::string &folder)
{
    std::lock_guard<std::mutex> lock(templateMutex_);
    if (!makeFolders(folder + "/.templates"))
        return false;
    bool ok = true;
    for (int c = 0; c < channels_; ++c)
        for (CardFileType type : {CardFileType::Video, CardFileType::Image})
            if (!isPlainFile(templatePath(folder, c, type)))
                ok = makeTemplate(folder, c, type) && ok;
    return ok;
}

void SdCard::rescanLocked(const std::string &folder)
{
    folderStamp_ = folderStamp(folder);  // before reading: a change during the scan shows next time
    index_.clear();
    used_ = 0;
    if (DIR *dir = ::opendir(folder.c_str())) {
        const int fd = ::dirfd(dir);
        while (const dirent *entry = ::readdir(dir)) {
            CardFileName parsed;
            if (!parseCardFileName(entry->d_name, &parsed))
                continue;
            struct stat st;
            if (::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
                continue;
            CardFile file{parsed.channel, parsed.type, parsed.start, parsed.end, uint64_t(st.st_size),
                          entry->d_name};
            used_ += file.size;
            index_.push_back(std::move(file));
        }
        ::closedir(dir);
    }
    std::sort(index_.begin(), index_.end(), byTime);
    if (folder != indexedFolder_)
        filledUpTo_.assign(size_t(channels_) * 2, INT64_MIN);
    indexedFolder_ = folder;
    stale_ = false;
}

void SdCard::insertLocked(CardFile file)
{
    auto same = std::find_if(index_.begin(), index_.end(), [&](const CardFile &f) { return f.name == file.name; });
    if (same != index_.end()) {
        used_ -= same->size;
        index_.erase(same);
    }
    used_ += file.size;
    index_.insert(std::upper_bound(index_.begin(), index_.end(), file, byTime), std::move(file));
}

void SdCard::fillLocked(const std::string &folder, int64_t now)
{
    std::vector<CardFile> added;
    for (int c = 0; c < channels_; ++c) {
        for (CardFileType type : {CardFileType::Video, CardFileType::Image}) {
            const std::string source = templatePath(folder, c, type);
            uint64_t size = 0;
            if (!isPlainFile(source, &size))
                continue;
            // From what the card last recorded of this kind, at most the
            // history back.
            int64_t from = now - kHistorySeconds;
            int64_t &filled = filledUpTo_[size_t(c * 2 + int(type))];
            if (filled != INT64_MIN) {
                from = std::max(from, filled + 1);
            } else {
                for (const CardFile &f : index_)
                    if (f.channel == c && f.type == type && f.start >= from)
                        from = f.start + 1;
            }
            const bool video = type == CardFileType::Video;
            const int64_t offset = video ? 0 : kPictureOffset;
            const int64_t length = video ? templateSeconds_ : 0;
            int64_t slot = (from - offset + kSlotSeconds - 1) / kSlotSeconds * kSlotSeconds + offset;
            for (; slot + length <= now; slot += kSlotSeconds) {
                CardFile file{c, type, slot, slot + length, size, cardFileName({c, type, slot, slot + length})};
                if (placeCopy(source, folder + "/" + file.name))
                    added.push_back(std::move(file));
                filled = slot;
            }
        }
    }
    if (added.empty())
        return;
    for (CardFile &f : added)
        used_ += f.size;
    index_.insert(index_.end(), std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
    std::sort(index_.begin(), index_.end(), byTime);
    stale_ = true;  // our own writes moved the folder's time
}

void SdCard::pruneLocked(const std::string &folder)
{
    size_t drop = 0;
    while (used_ > capacity_ && drop < index_.size()) {
        ::unlink((folder + "/" + index_[drop].name).c_str());
        used_ -= index_[drop].size;
        ++drop;
    }
    if (drop) {
        index_.erase(index_.begin(), index_.begin() + ptrdiff_t(drop));
        stale_ = true;
    }
}

std::string SdCard::refresh()
{
    const std::string path = folder();
    if (path.empty())
        return {};
    ensureTemplates(path);
    std::lock_guard<std::mutex> lock(mutex_);
    if (stale_ || path != indexedFolder_ || folderStamp(path) != folderStamp_)
        rescanLocked(path);
    fillLocked(path, civilNow());
    pruneLocked(path);
    return path;
}

std::vector<CardFile> SdCard::search(const CardQuery &query, int pageNo, int pageSize)
{
    std::vector<CardFile> page;
    if (pageNo < 0 || pageSize <= 0 || refresh().empty())
        return page;
    const int64_t skip = int64_t(pageNo) * pageSize;
    int64_t seen = 0;
    std::lock_guard<std::mutex> lock(mutex_);
    for (const CardFile &f : index_) {
        if (f.channel != query.channel || f.type != query.type || f.end < query.from || f.start > query.to)
            continue;
        if (seen++ < skip)
            continue;
        page.push_back(f);
        if (int(page.size()) == pageSize)
            break;
    }
    return page;
}

std::vector<CardFile> SdCard::files()
{
    if (refresh().empty())
        return {};
    std::lock_guard<std::mutex> lock(mutex_);
    return index_;
}

std::string SdCard::devicePath(const std::string &name)
{
    return kDevicePrefix + name;
}

std::string SdCard::hostPath(const std::string &devicePath)
{
    const std::string prefix = kDevicePrefix;
    if (devicePath.compare(0, prefix.size(), prefix) != 0)
        return {};
    const std::string name = devicePath.substr(prefix.size());
    CardFileName parsed;
    // A card file name has no "/" and no "..": nothing outside the card.
    if (!parseCardFileName(name, &parsed))
        return {};
    const std::string path = folder();
    if (path.empty() || !isPlainFile(path + "/" + name))
        return {};
    return path + "/" + name;
}

std::string SdCard::addFile(int channel, CardFileType type, int64_t startEpoch, int64_t endEpoch,
                            const std::string &writtenPath)
{
    const std::string path = folder();
    if (path.empty() || channel < 0 || channel >= channels_ || channel > 9 || endEpoch < startEpoch)
        return {};
    CardFile file{channel, type, civilFromEpoch(startEpoch), civilFromEpoch(endEpoch), 0, {}};
    if (file.end < file.start)
        file.end = file.start;  // the clock went back an hour in between
    file.name = cardFileName({file.channel, file.type, file.start, file.end});
    const std::string target = path + "/" + file.name;
    std::lock_guard<std::mutex> lock(mutex_);
    if (!isPlainFile(writtenPath))
        return {};
    if (::rename(writtenPath.c_str(), target.c_str()) != 0) {
        if (errno != EXDEV || !copyFile(writtenPath, target))
            return {};
        ::unlink(writtenPath.c_str());
    }
    if (!isPlainFile(target, &file.size))
        return {};
    if (stale_ || path != indexedFolder_)
        rescanLocked(path);  // finds the new file too
    else
        insertLocked(file);
    pruneLocked(path);
    stale_ = true;  // the folder's time moved under the last scan
    return devicePath(file.name);
}

void SdCard::setCapacity(uint64_t bytes)
{
    std::lock_guard<std::mutex> lock(mutex_);
    capacity_ = bytes;
    if (!indexedFolder_.empty())
        pruneLocked(indexedFolder_);
}

uint64_t SdCard::capacity() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return capacity_;
}

uint64_t SdCard::usedBytes()
{
    refresh();
    std::lock_guard<std::mutex> lock(mutex_);
    return used_;
}

void SdCard::resetSettings()
{
    link_->setSpeed(kDefaultLinkSpeed);
    std::lock_guard<std::mutex> lock(mutex_);
    capacity_ = kDefaultCapacity;
}

void SdCard::format()
{
    const std::string path = folder();
    if (path.empty())
        return;
    std::lock_guard<std::mutex> lock(mutex_);
    rescanLocked(path);
    for (const CardFile &f : index_)
        ::unlink((path + "/" + f.name).c_str());
    index_.clear();
    used_ = 0;
    stale_ = true;
    filledUpTo_.assign(size_t(channels_) * 2, INT64_MIN);
}

}  // namespace sim
