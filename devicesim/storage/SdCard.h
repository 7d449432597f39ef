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
// Threading model: every member may be called from any thread. The root is
// process-wide behind its own mutex, held only to copy it; mutex_ serialises
// changes to this card's folder. Neither lock is held while the other is
// taken, and no callback runs under either.

#include <mutex>
#include <string>

namespace sim {

class SdCard {
public:
    static constexpr const char *kRootVariable = "TMVSIM_SDCARD_ROOT";

    explicit SdCard(std::string address);
    SdCard(const SdCard &) = delete;
    SdCard &operator=(const SdCard &) = delete;

    const std::string &address() const { return address_; }

    // <root>/<address>, created on demand (mode 0700, as is every missing
    // folder above it). Empty when it cannot be created or the address is
    // no file name.
    std::string folder();

    // Replaces the root for every card of the process; empty restores the
    // environment variable or the default.
    static void setRoot(const std::string &folder);
    // The root in force now (absolute; not created).
    static std::string root();

private:
    const std::string address_;
    std::mutex mutex_;  // held while the card's folder is created or changed
};

}  // namespace sim
