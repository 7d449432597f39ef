#pragma once
// The device's alarm engine: it watches the thermal channel against the frame,
// rule and tiered thresholds, detects fire, and raises alarms to the logins
// that subscribed.
//
// Armed while at least one login subscribes: then it reads the thermal
// channel like a viewer does (a watcher stream attached to the channel's
// frame producer) and evaluates every frame it gets; with no subscriber it
// costs nothing, and the thresholds start afresh at the next subscription
// (an alarm active when the last login left is not ended later).
//
// On every frame: the frame alarm settings (each condition with its rule,
// threshold, tolerance and debounce), each active rule's alarm condition,
// the tiered (G1) thresholds of the frame and of each tiered rule, and the
// fire detector, each an AlarmState.h state machine. A start raises a record
// of state 1, the end one of state 2, with the thermal and visible JPEGs of
// that moment (encoded only when some subscription wants pictures or a
// snapshot linkage needs one). A start also runs the snapshot and record
// linkages onto the SD card (see linkage naming in AlarmEngine.cpp).
//
// Tiered thresholds: the high alarm (switch 1 or 3) watches the maximum, the
// low alarm (switch 2 or 3) the minimum; with its enable byte set each side
// also escalates through its three levels, each level its own alarm with its
// own threshold. Tolerance is kTieredTolerance, debounce the `delay` in
// seconds.
//
// Fire: the frame's hottest pixel above kFireStartC (a flaring fire; nothing
// else in the world gets that hot) starts a fire alarm (10002), which ends
// below kFireStartC - kFireToleranceC, debounced by kFireDebounceUs.
//
// Threading model: subscribe(), unsubscribe(), inject*() and the queries are
// safe from any thread. mutex_ guards the watcher, which is created and
// joined outside the frame path; subsMutex_ guards the subscriber list and
// is held while an alarm is queued to every subscriber, so all of them see
// one order. evaluate() and the threshold states run on the watcher thread.
// No callback ever runs under either lock (delivery is the subscriptions').

#include "alarms/AlarmRecords.h"
#include "alarms/AlarmState.h"
#include "camera/Picture.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>


namespace sim {

class AlarmSubscription;
class FrameProducer;
class PtzHead;
class RuleSet;
class SdCard;
class Settings;
struct DeviceProfile;

class AlarmEngine {
public:
    static constexpr double kFireStartC = 200.0;
    static constexpr double kFireToleranceC = 50.0;
    static constexpr int64_t kFireDebounceUs = 500000;
    static constexpr double kTieredTolerance = 1.0;

    // What the engine reads of its device: the frames of each channel (by
    // index; with no channel there is nothing to evaluate), the settings of
    // measurement, the rules, the preset the head stands at, and the card
    // the linkages write to. All of them must outlive the engine.
    AlarmEngine(const DeviceProfile &profile, std::vector<FrameProducer *> producers, const Settings &settings,
                const RuleSet &rules, const PtzHead &head, SdCard &card);
    ~AlarmEngine();

    void reset();

    // A subscription starts or stops receiving this device's alarms.
    void subscribe(const std::shared_ptr<AlarmSubscription> &subscription);
    void unsubscribe(const std::shared_ptr<AlarmSubscription> &subscription);

    // One alarm of `type` with a sample record and pictures of now, to every
    // subscriber.
    void inject(int32_t type);
    // The caller's record bytes; the picture fields of a known type are set
    // to copies of the given pictures.
    void injectRecord(int32_t type, const void *record, int size, const void *picture0, int size0,
                      const void *picture1, int size1);

    // Arming follows the subscribers; tests may arm it without one.
    void setArmed(bool armed);
    bool armed() const;
    // Thermal frames evaluated since construction.
    int64_t framesSeen() const { return framesSeen_; }

private:
    class Watcher;
    struct Moment;
    // The watcher's thresholds by name; each arming starts afresh.
    using States = std::map<std::string, ThresholdState>;
    void evaluate(const Picture &frame, States &states);
    void publish(const AlarmEventPtr &event);
    bool anyWantsPictures() const;
    // Thermal and visible JPEGs of `frame`'s moment.
    void picturesOf(const Picture &frame, JpegBytes *thermal, JpegBytes *visible);
    // Pictures for injected alarms; re-encoded at most once per 100 ms of
    // simulated time, so a burst of injections costs no encoding each.
    void injectPictures(JpegBytes *thermal, JpegBytes *visible);
    void runLinkages(const Moment &moment, const TMV_NET_ALARM_LINKAGE &snap, const TMV_NET_ALARM_LINKAGE &record,
                     int32_t type);

    const DeviceProfile &profile_;
    const std::vector<FrameProducer *> producers_;
    FrameProducer *const thermal_;  // null without a channel
    const Settings &settings_;
    const RuleSet &rules_;
    const PtzHead &head_;
    SdCard &card_;
    mutable std::mutex mutex_;  // protects watcher_
    std::unique_ptr<Watcher> watcher_;
    mutable std::mutex subsMutex_;  // protects subscribers_
    std::vector<std::shared_ptr<AlarmSubscription>> subscribers_;
    std::mutex injectMutex_;  // protects the injection picture cache
    int64_t injectPicturesUs_ = -1;
    JpegBytes injectThermal_, injectVisible_;
    std::atomic<int64_t> framesSeen_{0};
};

}  // namespace sim
