#include "base/Journal.h"

#include <algorithm>

namespace sim {

namespace {
// Enough for any test; beyond it the oldest entries go, so a long-running
// client never grows the journal without bound.
constexpr size_t kMaxEntries = 20000;
}

Journal &Journal::instance()
{
    static Journal journal;
    return journal;
}

void Journal::record(JournalEntry entry)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (entries_.size() >= kMaxEntries)
        entries_.erase(entries_.begin(), entries_.begin() + kMaxEntries / 2);
    entries_.push_back(std::move(entry));
}

void Journal::clear()
{
    std::lock_guard<std::mutex> lock(mutex_);
    entries_.clear();
}

std::vector<JournalEntry> Journal::entries() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return entries_;
}

int Journal::count() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return int(entries_.size());
}

int Journal::countOf(const std::string &function) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return int(std::count_if(entries_.begin(), entries_.end(),
                             [&](const JournalEntry &e) { return e.function == function; }));
}

void Journal::failCall(const std::string &function, int32_t status, int times)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (times == 0)
        faults_.erase(function);
    else
        faults_[function] = Fault{status, times};
}

int32_t Journal::takeFault(const std::string &function)
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = faults_.find(function);
    if (it == faults_.end())
        return 0;
    int32_t status = it->second.status;
    if (it->second.remaining > 0 && --it->second.remaining == 0)
        faults_.erase(it);
    return status;
}

void Journal::overReport(const std::string &function, int extra)
{
    std::lock_guard<std::mutex> lock(mutex_);
    overReports_[function] = extra;
}

int Journal::overReportOf(const std::string &function) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = overReports_.find(function);
    return it == overReports_.end() ? 0 : it->second;
}

void Journal::clearFaults()
{
    std::lock_guard<std::mutex> lock(mutex_);
    faults_.clear();
    overReports_.clear();
}

}  // namespace sim
