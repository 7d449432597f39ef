#pragma once
// The call journal and injected faults of the control interface.
//
// Threading model: every member is safe to call from any thread.

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace sim {

struct JournalEntry {
    std::string function;
    std::vector<uint8_t> input;
};

class Journal {
public:
    static Journal &instance();

    void record(JournalEntry entry);
    void clear();
    std::vector<JournalEntry> entries() const;
    int count() const;
    int countOf(const std::string &function) const;

    // Faults: status to return instead of running the call, or 0.
    void failCall(const std::string &function, int32_t status, int times);
    int32_t takeFault(const std::string &function);
    void overReport(const std::string &function, int extra);
    int overReportOf(const std::string &function) const;
    void clearFaults();

private:
    Journal() = default;
    struct Fault {
        int32_t status;
        int remaining;  // -1: always
    };
    mutable std::mutex mutex_;  // protects everything below
    std::vector<JournalEntry> entries_;
    std::map<std::string, Fault> faults_;
    std::map<std::string, int> overReports_;
};

}  // namespace sim
