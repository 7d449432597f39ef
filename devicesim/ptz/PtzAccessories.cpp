#include "ptz/PtzAccessories.h"

#include "base/DeviceProfile.h"
#include "base/Status.h"
#include "settings/NetworkConfig.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace sim {

namespace ptzaccessories {

namespace {
enum Command : int32_t {
    kFocusNear = 10,
    kFocusFar = 11,
    kIrisClose = 12,
    kIrisOpen = 13,
    kFirstSwitch = 14,
    kLastSwitch = 21,
};
}  // namespace

bool handles(int32_t command)
{
    return command >= kFocusNear && command <= kLastSwitch;
}

double lensAfter(double from, int dir, double seconds)
{
    if (dir == 0 || seconds <= 0)
        return std::clamp(from, 0.0, 1.0);
    return std::clamp(from + dir * seconds / kLensTravelSeconds, 0.0, 1.0);
}

int switchIndex(int32_t command)
{
    return command >= kFirstSwitch && command <= kLastSwitch ? int(command - kFirstSwitch) : -1;
}

bool validLinkage(const TMV_NET_GUN_BALL_TRACK_CONFIG_INFO &config)
{
    const size_t ipLength = strnlen(config.ip, sizeof config.ip);
    return ipLength < sizeof config.ip && netcfg::parseIpv4(std::string(config.ip, ipLength), nullptr) &&
           config.port >= 1 && config.port <= 65535 &&
           config.keepAlive >= kMinKeepAlive && config.keepAlive <= kMaxKeepAlive;
}

TMV_NET_ACCELERATION_DATA bearing(double panDeg, double tiltDeg, double panDegPerSec, double tiltDegPerSec)
{
    constexpr double kRad = M_PI / 180.0;
    const double t = std::clamp(tiltDeg, -90.0, 90.0) * kRad;
    TMV_NET_ACCELERATION_DATA d{};
    d.accelerationX = 0.0f;
    d.accelerationY = float(std::sin(t));
    d.accelerationZ = float(std::cos(t));
    d.angleX = 0.0f;
    // The optical axis rises with the tilt; the top axis leans away from
    // the vertical by as much.
    d.angleY = float(std::clamp(tiltDeg, -90.0, 90.0));
    d.angleZ = float(90.0 - std::fabs(std::clamp(tiltDeg, -90.0, 90.0)));
    d.angleP = float(panDeg);
    d.angleT = float(tiltDeg);
    d.angleRT = 0.0f;
    d.rotationX = float(tiltDegPerSec);
    d.rotationY = float(panDegPerSec * std::sin(t));
    d.rotationZ = float(panDegPerSec * std::cos(t));
    return d;
}

}  // namespace ptzaccessories

namespace {

using namespace ptzaccessories;

double secondsBetween(int64_t fromUs, int64_t toUs)
{
    return double(toUs - fromUs) / 1e6;
}

}  // namespace

PtzAccessories::PtzAccessories(const DeviceProfile &profile) : profile_(profile)
{
    reset();
}

void PtzAccessories::reset()
{
    std::lock_guard<std::mutex> lock(mutex_);
    lenses_.assign(profile_.channels.size(), Lens{});
    std::fill(std::begin(switches_), std::end(switches_), 0);
    switches_[switchIndex(20)] = profile_.ability.autoFocus ? 1 : 0;
    powerOff_ = TMV_NET_PTZ_POWER_OFF_CONFIG{};
    powerOff_.enable = 1;
    powerOff_.interval = 3000;
    targetTrack_.assign(profile_.channels.size(), TMV_NET_TARGET_TRACK_CONFIG{});
    gunBall_ = TMV_NET_GUN_BALL_TRACK_CONFIG_INFO{};
    std::strcpy(gunBall_.userName, "admin");
    std::strcpy(gunBall_.ip, "127.0.0.12");  // the fixed camera of the fleet
    gunBall_.port = 80;
    gunBall_.keepAlive = 10;
}

bool PtzAccessories::validChannel(int channel) const
{
    return channel >= 0 && size_t(channel) < profile_.channels.size();
}

bool PtzAccessories::turns() const
{
    return profile_.kind == DeviceKind::PtzDual;
}

bool PtzAccessories::has(int32_t command) const
{
    const TMV_NET_DEV_ABILITY &a = profile_.ability;
    // The switch flags follow the commands' order: wiper .. arrows.
    const int32_t switchFlags[8] = {a.wiper, a.light, a.defrost, a.defog, a.fan, a.heater, a.autoFocus, a.arrows};
    if (command == kFocusNear || command == kFocusFar)
        return a.focus != 0;
    if (command == kIrisClose || command == kIrisOpen)
        return a.iris != 0;
    const int index = switchIndex(command);
    return index >= 0 && switchFlags[index] != 0;
}

int32_t PtzAccessories::control(const TMV_NET_PTZ_CONTROL &c, int64_t nowUs)
{
    if (!handles(c.command))
        return kWrongParam;
    if (!has(c.command))
        return kNotSupported;
    if (!validChannel(c.channel) || (c.stop != 0 && c.stop != 1))
        return kWrongParam;
    const bool start = c.stop == 0;
    std::lock_guard<std::mutex> lock(mutex_);
    const int index = switchIndex(c.command);
    if (index >= 0) {
        switches_[index] = start ? 1 : 0;
        return kOk;
    }
    Lens &lens = lenses_[size_t(c.channel)];
    const bool focus = c.command == kFocusNear || c.command == kFocusFar;
    double &value = focus ? lens.focus : lens.iris;
    int &dir = focus ? lens.focusDir : lens.irisDir;
    int64_t &since = focus ? lens.focusSinceUs : lens.irisSinceUs;
    value = lensAfter(value, dir, secondsBetween(since, nowUs));  // commit the motion so far
    since = nowUs;
    if (!start)  // either button's release ends the motion
        dir = 0;
    else
        dir = (c.command == kFocusFar || c.command == kIrisOpen) ? 1 : -1;
    return kOk;
}

TMV_NET_PTZ_AUX_STATE PtzAccessories::auxState() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    TMV_NET_PTZ_AUX_STATE s{};
    s.wiper = switches_[0];
    s.light = switches_[1];
    s.defrost = switches_[2];
    s.defog = switches_[3];
    s.fan = switches_[4];
    s.heater = switches_[5];
    s.autoFocus = switches_[6];
    s.arrows = switches_[7];
    return s;
}

double PtzAccessories::focusAt(int channel, int64_t timeUs) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!validChannel(channel))
        return kLensHome;
    const Lens &lens = lenses_[size_t(channel)];
    return lensAfter(lens.focus, lens.focusDir, secondsBetween(lens.focusSinceUs, timeUs));
}

double PtzAccessories::irisAt(int channel, int64_t timeUs) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!validChannel(channel))
        return kLensHome;
    const Lens &lens = lenses_[size_t(channel)];
    return lensAfter(lens.iris, lens.irisDir, secondsBetween(lens.irisSinceUs, timeUs));
}

int32_t PtzAccessories::lensInit(int channel, int64_t nowUs)
{
    if (!profile_.ability.lensInit)
        return kNotSupported;
    if (!validChannel(channel))
        return kWrongParam;
    std::lock_guard<std::mutex> lock(mutex_);
    Lens &lens = lenses_[size_t(channel)];
    lens = Lens{};
    lens.focusSinceUs = lens.irisSinceUs = nowUs;
    return kOk;
}

int32_t PtzAccessories::powerOffConfig(TMV_NET_PTZ_POWER_OFF_CONFIG *config) const
{
    if (!turns())
        return kNotSupported;
    std::lock_guard<std::mutex> lock(mutex_);
    *config = powerOff_;
    return kOk;
}

int32_t PtzAccessories::setPowerOffConfig(const TMV_NET_PTZ_POWER_OFF_CONFIG &config)
{
    if (!turns())
        return kNotSupported;
    if (config.interval < kMinPowerOffIntervalMs || config.interval > kMaxPowerOffIntervalMs)
        return kWrongParam;
    std::lock_guard<std::mutex> lock(mutex_);
    powerOff_ = TMV_NET_PTZ_POWER_OFF_CONFIG{};  // reserved bytes stay zero
    powerOff_.enable = config.enable ? 1 : 0;
    powerOff_.interval = config.interval;
    return kOk;
}

int32_t PtzAccessories::targetTrackConfig(int channel, TMV_NET_TARGET_TRACK_CONFIG *config) const
{
    if (!turns())
        return kNotSupported;
    if (!validChannel(channel))
        return kWrongParam;
    std::lock_guard<std::mutex> lock(mutex_);
    *config = targetTrack_[size_t(channel)];
    return kOk;
}

int32_t PtzAccessories::setTargetTrackConfig(int channel, const TMV_NET_TARGET_TRACK_CONFIG &config)
{
    if (!turns())
        return kNotSupported;
    if (!validChannel(channel))
        return kWrongParam;
    std::lock_guard<std::mutex> lock(mutex_);
    targetTrack_[size_t(channel)] = config;
    return kOk;
}

int32_t PtzAccessories::gunBallConfig(TMV_NET_GUN_BALL_TRACK_CONFIG_INFO *config) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    *config = gunBall_;
    return kOk;
}

int32_t PtzAccessories::setGunBallConfig(const TMV_NET_GUN_BALL_TRACK_CONFIG_INFO &config)
{
    if (!validLinkage(config))
        return kWrongParam;
    std::lock_guard<std::mutex> lock(mutex_);
    gunBall_ = config;
    return kOk;
}

}  // namespace sim
