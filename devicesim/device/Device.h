#pragma once
// One simulated camera: what it is (profile), who may log in, and the
// families of state every session of it shares. Each family is its own class
// with its own lock: the settings, the pan-tilt head, its accessories, the
// electronic PTZ, the measurement rules, the alarm engine, the SD card, the
// network settings, the peripherals, the serial port, target recognition,
// and one frame producer per channel.
//
// Threading model: the profile and the family objects are fixed after
// construction (their state has their own locks); mutex_ guards identity
// state: online, booting, login policy, failures, sessions, search answers.

#include "TMVNetSDK.h"
#include "base/DeviceProfile.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace sim {

class AlarmEngine;
class ElectronicPtz;
class FrameProducer;
class NetworkConfig;
class Peripherals;
class PtzAccessories;
class PtzHead;
class RuleSet;
class SdCard;
class SerialPort;
class Settings;
class TargetRecognition;

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

    // Online and not booting at the clock's present time.
    bool online() const;
    void setOnline(bool online);
    // The device boots until `untilUs` (simulation time): it answers no
    // login and no call until then. Returns the boot's serial number, which
    // a later boot or a reset makes stale.
    uint64_t bootUntil(int64_t untilUs);
    bool bootCurrent(uint64_t serial) const;
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
    NetworkConfig &network() const { return *network_; }
    Peripherals &peripherals() const { return *peripherals_; }
    SerialPort &serialPort() const { return *serialPort_; }
    TargetRecognition &recognition() const { return *recognition_; }
    // The frames of a channel; `channel` must be valid.
    FrameProducer &producer(int channel) const { return *producers_[size_t(channel)]; }
    // Metres to what the head's line of sight meets at `nowUs` (the digital
    // window does not steer it); 0 when nothing sends a beam back (sky).
    double rangeAheadM(int64_t nowUs) const;

    // Back to factory state: every family and the lock-outs (sessions are
    // the fleet's).
    void reset();
    // What a factory reset from a client restores: every stored setting of
    // every family. What the installation is (online, login policy, the SD
    // card's files and size, the controller on the serial port, which is a
    // device of its own) and who is subscribed stay.
    void restoreFactorySettings();

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
    const std::unique_ptr<NetworkConfig> network_;
    const std::unique_ptr<Peripherals> peripherals_;
    const std::unique_ptr<SerialPort> serialPort_;
    const std::unique_ptr<TargetRecognition> recognition_;
    std::vector<std::unique_ptr<FrameProducer>> producers_;  // fixed after construction
    std::unique_ptr<AlarmEngine> alarms_;                    // reads the thermal producer

    mutable std::mutex mutex_;  // protects the state below
    bool online_ = true;
    int64_t bootingUntilUs_ = -1;
    uint64_t bootSerial_ = 0;
    LoginPolicy policy_;
    int failedLogins_ = 0;
    int64_t lockedUntilUs_ = -1;
    int sessions_ = 0;
    int searchAnswers_ = 1;
};

}  // namespace sim
