#include "alarms/AlarmSubscription.h"

#include "streams/LibraryThread.h"
#include "streams/WaitGraph.h"

#include <cstring>

namespace sim {

AlarmSubscription::AlarmSubscription(TMV_NET_HANDLE handle, bool snapshots, TMV_NET_ALARM_CALLBACK callback,
                                     void *user)
    : handle_(handle), snapshots_(snapshots), callback_(callback), user_(user)
{
}

AlarmSubscription::~AlarmSubscription()
{
    if (!stop() && !onOwnThread()) {
        // Owners let a subscription go only once it ended; last resort.
        std::lock_guard<std::mutex> lock(joinMutex_);
        if (thread_.joinable())
            thread_.join();
    }
    if (thread_.joinable())
        thread_.detach();  // the thread's own last reference: it is returning
}

void AlarmSubscription::start()
{
    thread_ = std::thread([self = shared_from_this()] { self->run(); });
    threadId_ = thread_.get_id();
}

bool AlarmSubscription::active() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return thread_.joinable() && !stopAsked_;
}

void AlarmSubscription::post(const AlarmEventPtr &event)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopAsked_)
        return;
    queue_.push_back(event);
    wake_.notify_one();
}

bool AlarmSubscription::stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopAsked_ = true;
        queue_.clear();
        wake_.notify_all();
    }
    if (onOwnThread())
        return false;
    const std::thread::id target = threadId_.load();
    if (target == std::thread::id())
        return true;  // never started
    WaitFor wait(target);
    if (!wait.allowed())
        return false;  // the callback waits for us: it ends on its own
    std::lock_guard<std::mutex> lock(joinMutex_);
    if (thread_.joinable())
        thread_.join();
    return true;
}

void AlarmSubscription::run()
{
    markLibraryThread();
    threadId_ = std::this_thread::get_id();
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopAsked_ || !queue_.empty(); });
        if (stopAsked_)
            break;
        AlarmEventPtr event = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        deliver(*event);
        event.reset();  // the pictures may go here, outside the lock
        lock.lock();
    }
}

void AlarmSubscription::deliver(const AlarmEvent &event)
{
    // A copy per call: the callback may scribble on it, and the picture
    // fields differ by subscription.
    scratch_.assign(event.record.begin(), event.record.end());
    auto *bytes = reinterpret_cast<uint8_t *>(scratch_.data());
    if (event.picturesOffset >= 0 &&
        size_t(event.picturesOffset) + 2 * sizeof(TMV_NET_ALARM_PICTURE) <= size_t(event.size)) {
        TMV_NET_ALARM_PICTURE pictures[2]{};
        for (int i = 0; i < 2 && snapshots_; ++i) {
            if (const auto &jpeg = event.pictures[i]; jpeg && !jpeg->empty()) {
                pictures[i].data = const_cast<uint8_t *>(jpeg->data());
                pictures[i].size = int32_t(jpeg->size());
            }
        }
        std::memcpy(bytes + event.picturesOffset, pictures, sizeof pictures);
    }
    callback_(handle_, event.type, bytes, user_);
    ++delivered_;
}

}  // namespace sim
