#pragma once
// The device's alarm engine: it watches the thermal channel against the frame,
// rule and tiered thresholds and raises alarms to the logins that subscribed.
//
// While armed it reads the thermal channel like a viewer does (a watcher
// stream attached to the channel's frame producer), so alarms fire whether or
// not anybody watches the picture; disarmed, it costs nothing.
//
// Threading model: setArmed(), armed() and framesSeen() are safe from any
// thread; mutex_ guards the watcher, which is created and joined outside the
// frame path. evaluate() runs on the watcher's library thread.

#include "camera/Picture.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

namespace sim {

class FrameProducer;

class AlarmEngine {
public:
    explicit AlarmEngine(FrameProducer *thermal);  // null: no thermal channel
    ~AlarmEngine();

    void reset();

    void setArmed(bool armed);
    bool armed() const;
    // Thermal frames evaluated since construction.
    int64_t framesSeen() const { return framesSeen_; }

private:
    class Watcher;
    void evaluate(const Picture &frame);

    FrameProducer *const thermal_;
    mutable std::mutex mutex_;  // protects watcher_
    std::unique_ptr<Watcher> watcher_;
    std::atomic<int64_t> framesSeen_{0};
};

}  // namespace sim
