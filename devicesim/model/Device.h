#pragma once
// One simulated camera: what it is (profile), who may log in, and the
// families of state every session of it shares. Each family is its own class
// with its own lock: the settings, the pan-tilt head, its accessories, the
// electronic PTZ, the measurement rules, the alarm engine, the SD card, and
// one frame producer per channel.
//
// Threading model: the profile and the family objects are fixed after
// construction (their state has their own locks); mutex_ guards identity
// state: online, login policy, failures, sessions, search answers.

#include "TMVNetSDK.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace sim {

class AlarmEngine;
class ElectronicPtz;
class FrameProducer;
class PtzAccessories;
class PtzHead;
class RuleSet;
class SdCard;
class Settings;

enum class DeviceKind { PtzDual, FixedThermal, PanoramicThermal };

struct ChannelProfile {
    bool thermal;
    int width;
    int height;
};

struct DeviceProfile {
    // Where the head points at power-on, and the lenses' horizontal fields.
    double homePanDeg = 0;
    double homeTiltDeg = 0;
    std::vector<double> hfovDeg;  // per channel; 360 makes a panoramic strip
    std::string address;
    int port = 80;
    DeviceKind kind = DeviceKind::FixedThermal;
    std::string model;
    std::vector<ChannelProfile> channels;
    int thermalChannel = 0;
    TMV_NET_DEV_ABILITY ability{};
    // Measurement rules in the tiered (G1) model instead of the standard one.
    bool tieredRules = false;
    uint32_t seed = 1;
};

struct LoginPolicy {
    int failuresBeforeLock = 5;
    int64_t lockUs = 60LL * 1000 * 1000;
    int maxSessions = 4;
};

class Device {
public:
    explicit Device(DeviceProfile profile);
    ~Device();

    const DeviceProfile &profile() const { return profile_; }
    const std::string &address() const { return profile_.address; }

    // Checks credentials and admits one more session: kOk or a login status.
    int32_t admit(const std::string &user, const std::string &password, int64_t nowUs);
    void release();
    int sessionCount() const;

    bool online() const;
    void setOnline(bool online);
    void setLoginPolicy(int failures, int64_t lockUs);

    TMV_NET_DEV_INFO devInfo() const;
    TMV_NET_DEV_ABILITY ability(int channel) const;

    int channelCount() const { return int(profile_.channels.size()); }
    bool validChannel(int channel) const { return channel >= 0 && channel < channelCount(); }

    // The families.
    Settings &settings() const { return *settings_; }
    PtzHead &head() const { return *head_; }
    PtzAccessories &accessories() const { return *accessories_; }
    ElectronicPtz &eptz() const { return *eptz_; }
    RuleSet &rules() const { return *rules_; }
    AlarmEngine &alarms() const { return *alarms_; }
    SdCard &sdCard() const { return *sdCard_; }
    // The frames of a channel; `channel` must be valid.
    FrameProducer &producer(int channel) const { return *producers_[size_t(channel)]; }

    // Back to factory state: every family and the lock-outs (sessions are
    // the fleet's).
    void reset();

    // How many times the next search answers (a misbehaving device repeats).
    int takeSearchAnswers();
    void setSearchAnswers(int answers);

private:
    const DeviceProfile profile_;
    const std::unique_ptr<Settings> settings_;
    const std::unique_ptr<PtzHead> head_;
    const std::unique_ptr<PtzAccessories> accessories_;
    const std::unique_ptr<ElectronicPtz> eptz_;  // narrows every frame's view
    const std::unique_ptr<RuleSet> rules_;
    const std::unique_ptr<SdCard> sdCard_;
    std::vector<std::unique_ptr<FrameProducer>> producers_;  // fixed after construction
    std::unique_ptr<AlarmEngine> alarms_;                    // reads the thermal producer

    mutable std::mutex mutex_;  // protects the state below
    bool online_ = true;
    LoginPolicy policy_;
    int failedLogins_ = 0;
    int64_t lockedUntilUs_ = -1;
    int sessions_ = 0;
    int searchAnswers_ = 1;
};

}  // namespace sim
