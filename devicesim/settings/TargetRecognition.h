#pragma once
// The target recognition settings of each channel of a device.
//
// A write is refused (3, nothing changes) for a channel the device does not
// have or a field outside what the device takes: switches other than 0/1,
// sensitivity outside 0..100, linkage delays outside 0..3600 s, track and
// lost times outside 0..3600 s, tracking mode outside 1..3 (manual, field
// of view, automatic), target type outside 0..8. The two tracking
// parameters and the reserved fields are kept as sent.
//
// Threading model: safe from any thread; mutex_ guards the records.

#include "TMVNetSDK.h"

#include <cstdint>
#include <mutex>
#include <vector>

namespace sim {

namespace recognition {

TMV_NET_TARGET_RECOGNITION_CONFIG factory();
bool valid(const TMV_NET_TARGET_RECOGNITION_CONFIG &config);

}  // namespace recognition

class TargetRecognition {
public:
    explicit TargetRecognition(int channels);

    void reset();

    int32_t get(int channel, TMV_NET_TARGET_RECOGNITION_CONFIG *config) const;
    int32_t set(int channel, const TMV_NET_TARGET_RECOGNITION_CONFIG &config);

private:
    const int channels_;
    mutable std::mutex mutex_;  // protects configs_
    std::vector<TMV_NET_TARGET_RECOGNITION_CONFIG> configs_;
};

}  // namespace sim
