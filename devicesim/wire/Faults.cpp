#include "wire/Faults.h"

#include <algorithm>
#include <vector>

namespace sim::wire {

namespace {

std::atomic<bool> g_served{false};

struct Wires {
    std::mutex mutex;
    std::map<std::string, std::shared_ptr<WireFaults>> byAddress;
};

Wires &wires()
{
    static Wires w;
    return w;
}

}  // namespace

WireFaults::Settings WireFaults::settings() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return settings_;
}

bool WireFaults::cut() const
{
    if (clean())
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    return settings_.cut;
}

void WireFaults::setDelay(int ms)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        settings_.delayMs = std::max(ms, 0);
    }
    changed();
}

void WireFaults::setBandwidth(int64_t bytesPerSecond)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        settings_.bytesPerSecond = std::max<int64_t>(bytesPerSecond, 0);
        free_ = {};
    }
    changed();
}

void WireFaults::setCut(bool cut)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        settings_.cut = cut;
    }
    changed();
}

void WireFaults::clear()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        settings_ = {};
        free_ = {};
    }
    changed();
}

WireFaults::Clock::time_point WireFaults::book(size_t bytes)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto now = Clock::now();
    if (settings_.bytesPerSecond <= 0)
        return now;
    // Time the link had free does not save up: a burst after a quiet spell
    // goes at the link's pace too.
    const auto start = std::max(now, free_);
    free_ = start + std::chrono::microseconds(int64_t(bytes) * 1000000 / settings_.bytesPerSecond);
    return start;
}

void WireFaults::changed()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        faulted_ = settings_.delayMs > 0 || settings_.bytesPerSecond > 0 || settings_.cut;
    }
    std::lock_guard<std::mutex> lock(listenersMutex_);
    for (const auto &entry : listeners_)
        entry.second();
}

int WireFaults::listen(std::function<void()> wake)
{
    std::lock_guard<std::mutex> lock(listenersMutex_);
    const int id = nextListener_++;
    listeners_[id] = std::move(wake);
    return id;
}

void WireFaults::unlisten(int id)
{
    std::lock_guard<std::mutex> lock(listenersMutex_);
    listeners_.erase(id);
}

std::shared_ptr<WireFaults> wireOf(const std::string &address)
{
    Wires &w = wires();
    std::lock_guard<std::mutex> lock(w.mutex);
    std::shared_ptr<WireFaults> &wire = w.byAddress[address];
    if (!wire)
        wire = std::make_shared<WireFaults>();
    return wire;
}

void clearWires()
{
    std::vector<std::shared_ptr<WireFaults>> all;
    {
        Wires &w = wires();
        std::lock_guard<std::mutex> lock(w.mutex);
        for (const auto &entry : w.byAddress)
            all.push_back(entry.second);
    }
    for (const auto &wire : all)
        wire->clear();
}

void setWiresServed()
{
    g_served = true;
}

bool wiresServed()
{
    return g_served;
}

}  // namespace sim::wire
