#pragma once
// What sits on the head besides the pan-tilt drive and the zoom: each
// channel's lens focus and iris, the eight switches (wiper, light, defrost,
// defog, fan, heater, auto focus, arrows), and the PTZ settings the device
// keeps for its clients: power-off memory, target tracking per channel and
// the linkage with a partner camera.
//
// A held focus or iris command moves its value over the simulation clock,
// like the head's directions: the motion (direction, start) is kept and the
// value computed from the time asked for; a command commits it. Focus and
// iris run 0..1 (0 = nearest focus / iris closed), 0.5 at power-on, and a
// held command crosses the whole range in kLensTravelSeconds. They change
// no picture.
//
// Each command and setting is answered kNotSupported unless the device's
// ability record lists the function (focus, iris, one flag per switch,
// lens init); the PTZ settings only exist on a head that turns. The linkage
// exists on every device: any camera can be the fixed half of a pair.
//
// Threading model: every member is safe from any thread; mutex_ guards all
// state below it, and nothing calls out while holding it.

#include "TMVNetSDK.h"

#include <cstdint>
#include <mutex>
#include <vector>

namespace sim {

struct DeviceProfile;

namespace ptzaccessories {

constexpr double kLensTravelSeconds = 4.0;
constexpr double kLensHome = 0.5;
constexpr int32_t kMinPowerOffIntervalMs = 1000;
constexpr int32_t kMaxPowerOffIntervalMs = 30000;
constexpr int32_t kMinKeepAlive = 5;
constexpr int32_t kMaxKeepAlive = 45;

// Commands of TMV_NET_PtzControl this family answers: focus, iris and the
// switches (10..21).
bool handles(int32_t command);

// A lens value `seconds` after a held command started at `from`; `dir` is
// -1, 0 or +1. Stays within 0..1.
double lensAfter(double from, int dir, double seconds);

// The index of a switch command (14..21) in TMV_NET_PTZ_AUX_STATE, whose
// order is the commands' order; -1 for any other command.
int switchIndex(int32_t command);

// The argument rules of the linkage record (the texts are known to end
// inside their fields): an IPv4 address, port 1..65535, keep-alive 5..45.
bool validLinkage(const TMV_NET_GUN_BALL_TRACK_CONFIG_INFO &config);

// The bearing sensor in the camera body at a head position and angular
// speed. Body axes: X to the right of the picture, Y along the optical axis,
// Z up out of the picture's top; the head only pans and tilts, so the body
// never rolls. Angles in degrees: X, Y, Z the inclination of each axis above
// the horizontal, P the pan, T the tilt, RT the roll (always 0).
// Acceleration in g: what an accelerometer at rest reads, gravity's
// reaction in body axes. Rotation rate in degrees per second about the body
// axes: X the tilt speed (+ up), Y and Z the pan speed (+ to the right)
// split between the tilted axes.
TMV_NET_ACCELERATION_DATA bearing(double panDeg, double tiltDeg, double panDegPerSec, double tiltDegPerSec);

}  // namespace ptzaccessories

class PtzAccessories {
public:
    explicit PtzAccessories(const DeviceProfile &profile);

    // Factory state: lenses at home, switches off but auto focus (on when
    // the device has it), default settings.
    void reset();

    // TMV_NET_PtzControl commands 10..21 at `nowUs`. Returns a status.
    int32_t control(const TMV_NET_PTZ_CONTROL &control, int64_t nowUs);

    TMV_NET_PTZ_AUX_STATE auxState() const;

    // Focus and iris of a channel at `timeUs` (0.5 for an unknown channel).
    double focusAt(int channel, int64_t timeUs) const;
    double irisAt(int channel, int64_t timeUs) const;

    // TMV_NET_PtzLensInit: focus and iris of the channel back home and
    // their motion ended (the zoom is the head's). Returns a status.
    int32_t lensInit(int channel, int64_t nowUs);

    int32_t powerOffConfig(TMV_NET_PTZ_POWER_OFF_CONFIG *config) const;
    int32_t setPowerOffConfig(const TMV_NET_PTZ_POWER_OFF_CONFIG &config);

    int32_t targetTrackConfig(int channel, TMV_NET_TARGET_TRACK_CONFIG *config) const;
    int32_t setTargetTrackConfig(int channel, const TMV_NET_TARGET_TRACK_CONFIG &config);

    int32_t gunBallConfig(TMV_NET_GUN_BALL_TRACK_CONFIG_INFO *config) const;
    // The caller has checked that the texts end inside their fields.
    int32_t setGunBallConfig(const TMV_NET_GUN_BALL_TRACK_CONFIG_INFO &config);

private:
    struct Lens {
        double focus = ptzaccessories::kLensHome;
        double iris = ptzaccessories::kLensHome;
        int focusDir = 0;  // +1 far, -1 near
        int irisDir = 0;   // +1 open, -1 close
        int64_t focusSinceUs = 0;
        int64_t irisSinceUs = 0;
    };

    bool validChannel(int channel) const;
    bool has(int32_t command) const;
    bool turns() const;

    const DeviceProfile &profile_;
    mutable std::mutex mutex_;  // protects the members below
    std::vector<Lens> lenses_;  // per channel
    int32_t switches_[8] = {};  // TMV_NET_PTZ_AUX_STATE order
    TMV_NET_PTZ_POWER_OFF_CONFIG powerOff_{};
    std::vector<TMV_NET_TARGET_TRACK_CONFIG> targetTrack_;  // per channel
    TMV_NET_GUN_BALL_TRACK_CONFIG_INFO gunBall_{};
};

}  // namespace sim
