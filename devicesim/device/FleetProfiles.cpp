#include "device/FleetProfiles.h"

namespace sim {

namespace {

TMV_NET_DEV_ABILITY allAbilities()
{
    TMV_NET_DEV_ABILITY a;
    int32_t *flag = &a.zoom;
    for (size_t i = 0; i < sizeof a / sizeof(int32_t); ++i)
        flag[i] = 1;
    return a;
}

}  // namespace

DeviceProfile profileFor(DeviceKind kind, const std::string &address)
{
    DeviceProfile p;
    p.address = address;
    p.kind = kind;
    p.thermalChannel = 0;
    p.seed = 7;  // one world: every camera watches the same scene
    switch (kind) {
    case DeviceKind::PtzDual:
        p.model = "PTZ dual-spectrum 640";
        p.channels = {{true, 640, 512}, {false, 1920, 1080}};
        p.ability = allAbilities();
        p.homePanDeg = 45;
        p.homeTiltDeg = -2;
        p.hfovDeg = {50, 60};
        break;
    case DeviceKind::FixedThermal:
        p.model = "Fixed thermal 640";
        p.channels = {{true, 640, 512}};
        p.ability.focus = 1;
        p.ability.autoFocus = 1;
        p.ability.reset = 1;
        p.homePanDeg = 232;
        p.homeTiltDeg = -2;
        p.hfovDeg = {50};
        break;
    case DeviceKind::PanoramicThermal:
        p.model = "Panoramic thermal";
        p.channels = {{true, 2880, 480}};
        p.ability.reset = 1;
        p.tieredRules = true;
        p.hfovDeg = {360};
        break;
    }
    return p;
}

std::vector<DeviceProfile> defaultProfiles()
{
    return {profileFor(DeviceKind::PtzDual, "127.0.0.11"), profileFor(DeviceKind::FixedThermal, "127.0.0.12"),
            profileFor(DeviceKind::PanoramicThermal, "127.0.0.13")};
}

const char *kindName(DeviceKind kind)
{
    switch (kind) {
    case DeviceKind::PtzDual:
        return "ptz-dual";
    case DeviceKind::FixedThermal:
        return "fixed-thermal";
    case DeviceKind::PanoramicThermal:
        return "panoramic-thermal";
    }
    return "";
}

std::optional<DeviceKind> kindNamed(const std::string &name)
{
    for (DeviceKind k : {DeviceKind::PtzDual, DeviceKind::FixedThermal, DeviceKind::PanoramicThermal})
        if (name == kindName(k))
            return k;
    return std::nullopt;
}

}  // namespace sim
