#pragma once
// The pan-tilt head and the lenses on it: where each channel looks at any
// moment of the simulation clock. Every picture of a channel is rendered
// through the view this class gives for the frame's time, so when the head
// turns, the picture turns.
//
// Threading model: every member is safe from any thread; mutex_ guards the
// head's state. viewAt() is called once per rendered frame by the channel's
// frame producer and only copies a few numbers under the lock.

#include "camera/FrameSource.h"

#include <cstdint>
#include <mutex>
#include <vector>

namespace sim {

struct DeviceProfile;

class PtzHead {
public:
    explicit PtzHead(const DeviceProfile &profile);

    // Back to the power-on position.
    void reset();

    // The view of `channel` at simulation time `timeUs`; a channel that does
    // not exist gives a default view.
    View viewAt(int channel, int64_t timeUs) const;

    // The preset the head stands at (its id, 1..), or 0 when it was moved
    // away from every preset. Rules and masks of that preset apply.
    int currentPreset() const;

    // Pan and tilt of the head, in degrees.
    double panDeg() const;
    double tiltDeg() const;

private:
    const DeviceProfile &profile_;
    mutable std::mutex mutex_;  // protects the members below
    double panDeg_ = 0;
    double tiltDeg_ = 0;
    int currentPreset_ = 0;
    std::vector<double> zoom_;  // per channel, 1 = widest
};

}  // namespace sim
