#pragma once
// What a simulated camera is, fixed for its life: its kind, its channels,
// where its head points at power-on, its abilities, and who may log in how
// often. Every family of the device is built from its profile.

#include "TMVNetSDK.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

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
    // The device service's RTSP port for the channels' video; 0: none.
    int rtspPort = 0;
    std::string user = "admin";
    std::string password = "sensor852";
    // The SD card's folder; empty: <card root>/<address>.
    std::string sdCardFolder;
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

}  // namespace sim
