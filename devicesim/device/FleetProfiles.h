#pragma once
// The three kinds of simulated camera as profiles, and the default fleet.

#include "base/DeviceProfile.h"

#include <optional>
#include <string>
#include <vector>

namespace sim {

// A camera of `kind` at `address`, port 80, admin / sensor852.
DeviceProfile profileFor(DeviceKind kind, const std::string &address);
// 127.0.0.11 a two-channel PTZ camera, .12 a fixed thermal one, .13 a
// panoramic one.
std::vector<DeviceProfile> defaultProfiles();

// "ptz-dual", "fixed-thermal", "panoramic-thermal".
const char *kindName(DeviceKind kind);
std::optional<DeviceKind> kindNamed(const std::string &name);

}  // namespace sim
