#include "storage/Downloads.h"

#include "base/SimClock.h"
#include "base/Status.h"
#include "storage/FileTap.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>
#include <vector>

namespace sim {

void Link::setSpeed(uint64_t bytesPerSecond)
{
    std::lock_guard<std::mutex> lock(mutex_);
    speed_ = bytesPerSecond;
}

uint64_t Link::speed() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return speed_;
}

int64_t Link::reserve(uint64_t bytes, int64_t fromUs)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (speed_ == 0)
        return fromUs;
    const int64_t from = std::max(fromUs, freeAtUs_);
    freeAtUs_ = from + int64_t((bytes * 1000000 + speed_ - 1) / speed_);  // never faster than the speed
    return freeAtUs_;
}

class Download {
public:
    enum State { Running, Done, Failed, Stopped };

    Download(Link &link, int source, int target, std::string temporary, std::string targetPath, int64_t total,
             std::shared_ptr<FileTap> tap)
        : link_(link), source_(source), target_(target), temporary_(std::move(temporary)),
          targetPath_(std::move(targetPath)), total_(total), startUs_(SimClock::instance().nowUs()),
          tap_(std::move(tap))
    {
        SimClock::instance().addPacer(&pacer_);  // before the thread: a step waits for its first chunk
        thread_ = std::thread([this] { run(); });
    }

    ~Download() { stop(); }

    void stop()
    {
        SimClock::instance().requestStop(&pacer_);
        if (thread_.joinable())
            thread_.join();
    }

    State state() const { return state_.load(); }
    int64_t total() const { return total_; }
    int64_t done() const { return done_.load(); }
    bool finished() const { return state_.load() != Running; }

private:
    void run()
    {
        SimClock &clock = SimClock::instance();
        std::vector<char> buffer;
        State end = Failed;
        // Chunks follow each other on the link without gaps from the moment
        // the download was asked for: after a step of the clock the backlog
        // goes out at once, as the link was busy all along.
        int64_t sentUs = startUs_;
        for (;;) {
            const uint64_t speed = link_.speed();
            // About 20 ms of the link a chunk, so a stop is quick and
            // several downloads interleave; large chunks when unlimited.
            const size_t chunk = speed ? std::clamp<size_t>(size_t(speed / 50), 4096, 256 << 10) : (1 << 20);
            if (buffer.size() < chunk)
                buffer.resize(chunk);
            const ssize_t n = ::read(source_, buffer.data(), chunk);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                break;
            if (n == 0) {
                end = Done;
                break;
            }
            sentUs = link_.reserve(uint64_t(n), sentUs);
            if (!clock.waitUntil(&pacer_, sentUs)) {
                end = Stopped;
                break;
            }
            bool written = true;
            for (ssize_t off = 0; off < n;) {
                const ssize_t w = ::write(target_, buffer.data() + off, size_t(n - off));
                if (w < 0 && errno == EINTR)
                    continue;
                if (w <= 0) {
                    written = false;
                    break;
                }
                off += w;
            }
            if (written && tap_ && !tap_->wrote(done_.load(), reinterpret_cast<const uint8_t *>(buffer.data()), size_t(n)))
                written = false;  // nobody takes the bytes any more
            if (!written)
                break;
            done_.fetch_add(n);
        }
        ::close(source_);
        const bool closed = ::close(target_) == 0;
        if (end == Done && (!closed || done_.load() != total_ || ::rename(temporary_.c_str(), targetPath_.c_str()) != 0))
            end = Failed;
        if (end != Done)
            ::unlink(temporary_.c_str());
        // Before the state: whoever sees the download done finds the tap told.
        if (tap_)
            tap_->finished(end == Done, done_.load());
        state_.store(end);
        SimClock::instance().removePacer(&pacer_);
    }

    Link &link_;
    const int source_;
    const int target_;
    const std::string temporary_;
    const std::string targetPath_;
    const int64_t total_;
    const int64_t startUs_;
    const std::shared_ptr<FileTap> tap_;
    SimClock::Pacer pacer_;
    std::atomic<int64_t> done_{0};
    std::atomic<State> state_{Running};
    std::thread thread_;
};

DownloadSet::DownloadSet() = default;

DownloadSet::~DownloadSet()
{
    stopAll();
}

void DownloadSet::reapFinishedLocked()
{
    // A finished thread has exited; joining it frees its stack at once.
    for (auto &entry : downloads_)
        if (entry.second->finished())
            entry.second->stop();
}

int32_t DownloadSet::start(Link &link, const std::string &sourcePath, const std::string &targetPath)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (closed_)
        return -kFailed;
    reapFinishedLocked();
    size_t running = 0;
    for (const auto &entry : downloads_)
        running += entry.second->finished() ? 0 : 1;
    if (running >= kMaxRunning)
        return -kFailed;
    const int source = ::open(sourcePath.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (source < 0)
        return -kFailed;
    struct stat st;
    if (::fstat(source, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(source);
        return -kFailed;
    }
    std::string temporary;
    const int target = openPartBeside(targetPath, &temporary);
    if (target < 0) {
        ::close(source);
        return -kFailed;
    }
    const int32_t id = nextId_++;
    downloads_[id] = std::make_shared<Download>(link, source, target, temporary, targetPath, int64_t(st.st_size),
                                                fileTaps::find(targetPath));
    return id;
}

int openPartBeside(const std::string &target, std::string *temporary)
{
    static std::atomic<uint64_t> serial{0};
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 8; ++attempt) {
        *temporary = target + "." + std::to_string(::getpid()) + "-" + std::to_string(serial++) + ".part";
        fd = ::open(temporary->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    return fd;
}

int32_t DownloadSet::stop(int32_t id)
{
    std::shared_ptr<Download> download;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto found = downloads_.find(id);
        if (found == downloads_.end())
            return id < 0 ? kWrongParam : kOk;  // stopping what has ended is no fault
        download = found->second;
        downloads_.erase(found);
    }
    download->stop();
    return kOk;
}

int32_t DownloadSet::progress(int32_t id, int64_t *total, int64_t *done)
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = downloads_.find(id);
    if (found == downloads_.end())
        return kWrongParam;
    const Download &d = *found->second;
    const Download::State state = d.state();
    *total = d.total();
    *done = d.done();
    return state == Download::Failed ? kFailed : kOk;
}

void DownloadSet::stopAll()
{
    std::map<int32_t, std::shared_ptr<Download>> all;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closed_ = true;
        all.swap(downloads_);
    }
    for (auto &entry : all)
        entry.second->stop();
}

}  // namespace sim
