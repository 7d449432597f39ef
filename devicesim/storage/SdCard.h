#pragma once
// The device's SD card: a folder on the host that holds its files.
//
// Threading model: every member is safe from any thread; mutex_ guards the
// folder's creation.

#include <mutex>
#include <string>

namespace sim {

class SdCard {
public:
    explicit SdCard(std::string address) : address_(std::move(address)) {}

    // The card's folder, created on demand.
    std::string folder();

private:
    const std::string address_;
    std::mutex mutex_;  // serialises creating the folder
};

}  // namespace sim
