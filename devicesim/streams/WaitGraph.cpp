#include "streams/WaitGraph.h"

#include <mutex>
#include <unordered_map>

namespace sim {

namespace {

std::mutex &graphMutex()
{
    static std::mutex mutex;
    return mutex;
}

// waiter -> the thread it waits for; under graphMutex().
std::unordered_map<std::thread::id, std::thread::id> &edges()
{
    static std::unordered_map<std::thread::id, std::thread::id> map;
    return map;
}

}  // namespace

WaitFor::WaitFor(std::thread::id target)
{
    const std::thread::id self = std::this_thread::get_id();
    if (target == std::thread::id() || target == self)
        return;  // no thread to wait for, or ourselves: never allowed
    std::lock_guard<std::mutex> lock(graphMutex());
    auto &graph = edges();
    for (std::thread::id at = target;;) {
        auto next = graph.find(at);
        if (next == graph.end())
            break;
        if (next->second == self)
            return;  // `target` already waits for us
        at = next->second;
    }
    graph[self] = target;
    allowed_ = registered_ = true;
}

WaitFor::~WaitFor()
{
    if (!registered_)
        return;
    std::lock_guard<std::mutex> lock(graphMutex());
    edges().erase(std::this_thread::get_id());
}

}  // namespace sim
