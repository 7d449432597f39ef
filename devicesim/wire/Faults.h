#pragma once
// What the control interface has done to a device's wire in the service:
// every message the device sends leaves a delay later, everything its
// connections send shares a bandwidth, and the wire can be cut (nothing
// passes either way; the connections stay open). Real time, not the
// simulation clock: the wire is real.
//
// Threading model: every member may be called from any thread. mutex_
// guards the settings and the link's booking; a change wakes every
// connection that listens (outside mutex_, under listenersMutex_, so
// unlisten() waits for a wake that runs).

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace sim::wire {

class WireFaults {
public:
    using Clock = std::chrono::steady_clock;
    struct Settings {
        int delayMs = 0;
        int64_t bytesPerSecond = 0;  // 0: no limit
        bool cut = false;
    };

    // Nothing set: the connections send as they would without this.
    bool clean() const { return !faulted_.load(std::memory_order_acquire); }
    Settings settings() const;
    bool cut() const;
    void setDelay(int ms);
    void setBandwidth(int64_t bytesPerSecond);
    void setCut(bool cut);
    void clear();

    // Books `bytes` on the link the device's connections share: when they
    // may start to go out (now, or once what was booked before has gone).
    Clock::time_point book(size_t bytes);

    // `wake` runs on every change; the number takes it back.
    int listen(std::function<void()> wake);
    void unlisten(int id);

private:
    void changed();

    mutable std::mutex mutex_;
    Settings settings_;
    Clock::time_point free_{};  // the link is booked until then
    std::atomic<bool> faulted_{false};

    std::mutex listenersMutex_;
    int nextListener_ = 1;
    std::map<int, std::function<void()>> listeners_;
};

// The wire of the device at `address`, made on first use.
std::shared_ptr<WireFaults> wireOf(const std::string &address);
// Every device's wire back to clean.
void clearWires();

// The device service says so: its devices have wires. The control functions
// of the wire answer 2 in a process without them (embedded mode).
void setWiresServed();
bool wiresServed();

}  // namespace sim::wire
