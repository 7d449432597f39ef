#include "streams/EventThread.h"

#include "streams/LibraryThread.h"
#include "streams/WaitGraph.h"

namespace sim {

EventThread &EventThread::instance()
{
    static EventThread thread;
    return thread;
}

EventThread::EventThread()
{
    SimClock::instance();  // outlives this thread, which waits on it
}

EventThread::~EventThread()
{
    stop();
}

void EventThread::start()
{
    std::lock_guard<std::mutex> life(lifeMutex_);
    if (thread_.joinable())
        return;
    SimClock &clock = SimClock::instance();
    {
        std::lock_guard<std::mutex> lock(clock.mutex());
        pacer_.stopRequested = false;
    }
    clock.addPacer(&pacer_);
    thread_ = std::thread([this] { run(); });
}

void EventThread::stop()
{
    std::lock_guard<std::mutex> life(lifeMutex_);
    if (!thread_.joinable() || std::this_thread::get_id() == threadId_.load())
        return;  // never joins itself
    SimClock &clock = SimClock::instance();
    {
        std::lock_guard<std::mutex> lock(clock.mutex());
        tasks_.clear();
    }
    clock.requestStop(&pacer_);
    thread_.join();
    clock.removePacer(&pacer_);
}

void EventThread::post(int64_t dueUs, uint64_t owner, std::function<void()> task)
{
    SimClock &clock = SimClock::instance();
    std::lock_guard<std::mutex> lock(clock.mutex());
    tasks_.emplace(dueUs, Task{owner, std::move(task)});
    clock.condition().notify_all();
}

bool EventThread::cancel(uint64_t owner)
{
    SimClock &clock = SimClock::instance();
    std::unique_lock<std::mutex> lock(clock.mutex());
    for (auto it = tasks_.begin(); it != tasks_.end();)
        it = it->second.owner == owner ? tasks_.erase(it) : std::next(it);
    auto idle = [&] { return !(running_ && runningOwner_ == owner); };
    // The task of that owner that is running may be our caller: it is over
    // as soon as it returns.
    if (idle() || std::this_thread::get_id() == threadId_.load())
        return true;
    // From a thread that the running task waits for we cannot wait: the
    // task ends on its own.
    WaitFor wait(threadId_.load());
    if (!wait.allowed())
        return false;
    taskDone_.wait(lock, idle);
    return true;
}

void EventThread::run()
{
    markLibraryThread();
    threadId_ = std::this_thread::get_id();
    SimClock &clock = SimClock::instance();
    std::unique_lock<std::mutex> lock(clock.mutex());
    for (;;) {
        if (pacer_.stopRequested)
            break;
        int64_t now = clock.nowUsLocked();
        auto next = tasks_.begin();
        if (next != tasks_.end() && next->first <= now) {
            Task task = std::move(next->second);
            tasks_.erase(next);
            running_ = true;
            runningOwner_ = task.owner;
            lock.unlock();
            task.fn();
            task.fn = nullptr;  // release captures outside the lock
            lock.lock();
            running_ = false;
            runningOwner_ = 0;
            taskDone_.notify_all();
            continue;
        }
        clock.markIdleLocked(&pacer_);
        if (next == tasks_.end() || clock.pausedLocked())
            clock.condition().wait(lock);
        else
            clock.condition().wait_for(lock, std::chrono::microseconds(next->first - now));
    }
    lock.unlock();
    clock.finish(&pacer_);
}

}  // namespace sim
