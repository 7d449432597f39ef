#pragma once
// The measurement rules and masks of a device, kept per preset position:
// what the operator drew on the picture, in the 0..8191 picture space.
// Their geometry and temperatures are pure functions over a frame's
// temperature matrix (camera/TempMatrix.h); this class only keeps the lists.
//
// Threading model: every member is safe from any thread; mutex_ guards the
// lists. Readers get copies, so a measurement never sees a list change
// half-way.

#include "TMVNetSDK.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

namespace sim {

class RuleSet {
public:
    // The most rules a preset holds; one more is refused with the rule limit.
    static constexpr int kMaxRulesPerPreset = 16;

    void reset();

    std::vector<TMV_NET_TEMP_RULE> rules(int32_t preset) const;
    std::vector<TMV_NET_TEMP_MASK> masks(int32_t preset) const;
    // Every preset that holds a rule; what the alarm engine measures.
    std::map<int32_t, std::vector<TMV_NET_TEMP_RULE>> allRules() const;

private:
    mutable std::mutex mutex_;  // protects the lists below
    std::map<int32_t, std::vector<TMV_NET_TEMP_RULE>> rules_;
    std::map<int32_t, std::vector<TMV_NET_TEMP_MASK>> masks_;
};

}  // namespace sim
