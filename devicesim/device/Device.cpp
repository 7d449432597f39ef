#include "device/Device.h"

#include "alarms/AlarmEngine.h"
#include "base/SimClock.h"
#include "base/Status.h"
#include "camera/FrameProducer.h"
#include "measure/RuleSet.h"
#include "ptz/ElectronicPtz.h"
#include "ptz/PtzAccessories.h"
#include "ptz/PtzHead.h"
#include "settings/NetworkConfig.h"
#include "settings/Peripherals.h"
#include "settings/SerialPort.h"
#include "settings/Settings.h"
#include "settings/TargetRecognition.h"
#include "storage/SdCard.h"
#include "world/World.h"

namespace sim {

namespace {
}  // namespace

Device::Device(DeviceProfile profile)
    : profile_(std::move(profile)), settings_(new Settings(profile_)), head_(new PtzHead(profile_)),
      accessories_(new PtzAccessories(profile_)), eptz_(new ElectronicPtz(profile_)),
      rules_(new RuleSet(profile_.tieredRules)),
      sdCard_(new SdCard(profile_.address, int(profile_.channels.size()),
                         // The card records what the channel shows; only called once the producers exist.
                         [this](int channel, int64_t timeUs) {
                             return validChannel(channel) ? producers_[size_t(channel)]->frameAt(timeUs) : FramePtr();
                         })),
      network_(new NetworkConfig(profile_.address)), peripherals_(new Peripherals(profile_)),
      serialPort_(new SerialPort()), recognition_(new TargetRecognition(int(profile_.channels.size())))
{
    if (!profile_.sdCardFolder.empty())
        sdCard_->useFolder(profile_.sdCardFolder);
    for (size_t c = 0; c < profile_.channels.size(); ++c) {
        const ChannelProfile &channel = profile_.channels[c];
        const int index = int(c);
        producers_.emplace_back(new FrameProducer(
            channel.thermal, channel.width, channel.height, profile_.seed,
            [this, index](int64_t timeUs) {
                return ChannelView{eptz_->apply(index, head_->viewAt(index, timeUs), timeUs), settings_->thermal(index)};
            },
            [this, index] { return settings_->frameRate(index); }));
    }
    std::vector<FrameProducer *> producers;
    for (const auto &producer : producers_)
        producers.push_back(producer.get());
    alarms_.reset(new AlarmEngine(profile_, std::move(producers), *settings_, *rules_, *head_, *sdCard_));
    reset();
}

Device::~Device()
{
    alarms_.reset();  // it reads a producer
}

void Device::reset()
{
    restoreFactorySettings();
    serialPort_->reset();
    alarms_->reset();
    sdCard_->resetSettings();
    for (auto &producer : producers_)
        producer->resetStats();
    std::lock_guard<std::mutex> lock(mutex_);
    online_ = true;
    bootingUntilUs_ = -1;
    ++bootSerial_;
    policy_ = LoginPolicy{};
    failedLogins_ = 0;
    lockedUntilUs_ = -1;
    searchAnswers_ = 1;
}

void Device::restoreFactorySettings()
{
    settings_->reset();
    head_->reset();
    accessories_->reset();
    eptz_->reset();
    rules_->reset();
    network_->reset();
    peripherals_->reset();
    recognition_->reset();
}

int32_t Device::admit(const std::string &user, const std::string &password, int64_t nowUs)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!online_ || nowUs < bootingUntilUs_)
        return kFailed;
    if (user != profile_.user)
        return kNoSuchUser;
    if (lockedUntilUs_ >= 0) {
        if (nowUs < lockedUntilUs_)
            return kAccountLocked;
        lockedUntilUs_ = -1;
        failedLogins_ = 0;
    }
    if (password != profile_.password) {
        if (++failedLogins_ >= policy_.failuresBeforeLock)
            lockedUntilUs_ = nowUs + policy_.lockUs;
        return kWrongPassword;
    }
    failedLogins_ = 0;
    if (sessions_ >= policy_.maxSessions)
        return kUserLimit;
    ++sessions_;
    return kOk;
}

void Device::release()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (sessions_ > 0)
        --sessions_;
}

int Device::sessionCount() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return sessions_;
}

bool Device::online() const
{
    const int64_t now = SimClock::instance().nowUs();
    std::lock_guard<std::mutex> lock(mutex_);
    return online_ && now >= bootingUntilUs_;
}

uint64_t Device::bootUntil(int64_t untilUs)
{
    std::lock_guard<std::mutex> lock(mutex_);
    bootingUntilUs_ = untilUs;
    return ++bootSerial_;
}

bool Device::bootCurrent(uint64_t serial) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return serial == bootSerial_;
}

void Device::setOnline(bool online)
{
    std::lock_guard<std::mutex> lock(mutex_);
    online_ = online;
}

void Device::setLoginPolicy(int failures, int64_t lockUs)
{
    std::lock_guard<std::mutex> lock(mutex_);
    policy_.failuresBeforeLock = failures > 0 ? failures : 1;
    policy_.lockUs = lockUs > 0 ? lockUs : 0;
}

TMV_NET_DEV_INFO Device::devInfo() const
{
    TMV_NET_DEV_INFO info{};
    info.channelCount = channelCount();
    info.deviceType = int32_t(profile_.kind);
    info.thermalChannel = profile_.thermalChannel;
    const ChannelProfile &thermal = profile_.channels[size_t(profile_.thermalChannel)];
    info.width = thermal.width;
    info.height = thermal.height;
    info.firmwareVersion = (2 << 16) | (4 << 8) | 1;
    return info;
}

TMV_NET_DEV_ABILITY Device::ability(int) const
{
    return profile_.ability;
}

double Device::rangeAheadM(int64_t nowUs) const
{
    return World::shared(profile_.seed)->rangeM(head_->panDegAt(nowUs), head_->tiltDegAt(nowUs), double(nowUs) / 1e6);
}

int Device::takeSearchAnswers()
{
    const int64_t now = SimClock::instance().nowUs();
    std::lock_guard<std::mutex> lock(mutex_);
    int n = online_ && now >= bootingUntilUs_ ? searchAnswers_ : 0;
    searchAnswers_ = 1;
    return n;
}

void Device::setSearchAnswers(int answers)
{
    std::lock_guard<std::mutex> lock(mutex_);
    searchAnswers_ = answers < 0 ? 0 : answers;
}

}  // namespace sim
