#pragma once
// One simulated camera: what it is (profile), who may log in, and the state
// every session of it shares.
//
// Threading model: the profile is immutable after construction; everything
// else is guarded by mutex_ (picture synthesis has its own lock, see
// renderChannel).

#include "TMVNetSDK.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace sim {

struct Picture;
class ChannelRenderer;
struct ChannelView;

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

    // Checks credentials and admits one more session: 0 or a login status.
    int32_t admit(const std::string &user, const std::string &password, int64_t nowUs);
    void release();
    int sessionCount() const;

    bool online() const;
    void setOnline(bool online);
    void setLoginPolicy(int failures, int64_t lockUs);

    TMV_NET_DEV_INFO devInfo() const;
    TMV_NET_DEV_ABILITY ability(int channel) const;
    TMV_NET_PTZ_AUX_STATE auxState() const;

    int channelCount() const { return int(profile_.channels.size()); }
    bool validChannel(int channel) const { return channel >= 0 && channel < channelCount(); }
    int frameRate(int channel) const;
    bool setFrameRate(int channel, int fps);

    struct StreamStats {
        int64_t frames = 0;
        int64_t synthesisCpuNs = 0;
        int64_t callbackCpuNs = 0;
    };
    void addStreamStats(int channel, int64_t synthesisNs, int64_t callbackNs);
    StreamStats streamStats(int channel) const;
    void resetStreamStats();

    // Renders `channel` at simulation time `timeUs` into `out` (thermal
    // channels also fill the temperature matrix). Safe from any thread.
    void renderChannel(int channel, int64_t timeUs, Picture &out);

    // Back to factory state: settings, lock-outs (sessions are the fleet's).
    void reset();

    // How many times the next search answers (a misbehaving device repeats).
    int takeSearchAnswers();
    void setSearchAnswers(int answers);

private:
    const DeviceProfile profile_;
    mutable std::mutex mutex_;  // protects the state below
    bool online_ = true;
    LoginPolicy policy_;
    int failedLogins_ = 0;
    int64_t lockedUntilUs_ = -1;
    int sessions_ = 0;
    int searchAnswers_ = 1;
    std::vector<int> frameRates_;
    std::vector<StreamStats> stats_;
    TMV_NET_PTZ_AUX_STATE aux_{};
    std::vector<ChannelView> views_;  // where each channel looks and how it shows it

    std::mutex renderMutex_;  // protects renderers_ (synthesis state)
    std::vector<std::unique_ptr<ChannelRenderer>> renderers_;
};

}  // namespace sim
