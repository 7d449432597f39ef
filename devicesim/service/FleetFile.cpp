#include "service/FleetFile.h"

#include "device/FleetProfiles.h"

#include <arpa/inet.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>
#include <utility>

namespace sim::service {

namespace {

using nlohmann::json;

bool loopback(const std::string &address)
{
    in_addr a{};
    return inet_pton(AF_INET, address.c_str(), &a) == 1 && (ntohl(a.s_addr) >> 24) == 127;
}

// A text field of the entry: `fallback` when absent; false when not a string
// or longer than the login record holds.
bool textField(const json &entry, const char *name, const std::string &fallback, std::string *out)
{
    if (!entry.contains(name)) {
        *out = fallback;
        return true;
    }
    if (!entry[name].is_string())
        return false;
    *out = entry[name].get<std::string>();
    return out->size() < 256 && out->find('\0') == std::string::npos;
}

std::string readEntry(const json &entry, DeviceProfile *profile)
{
    if (!entry.is_object())
        return "is not an object";
    if (!entry.contains("kind") || !entry["kind"].is_string())
        return "has no \"kind\"";
    const auto kind = kindNamed(entry["kind"].get<std::string>());
    if (!kind)
        return "has an unknown kind (ptz-dual, fixed-thermal or panoramic-thermal)";
    if (!entry.contains("address") || !entry["address"].is_string())
        return "has no \"address\"";
    const std::string address = entry["address"].get<std::string>();
    if (!loopback(address))
        return "address " + address + " is not a loopback address (127.x.x.x)";
    *profile = profileFor(*kind, address);
    if (entry.contains("port")) {
        if (!entry["port"].is_number_integer() || entry["port"].get<int64_t>() < 0
            || entry["port"].get<int64_t>() > 65535)
            return "has a port outside 0..65535";
        profile->port = entry["port"].get<int>();
    }
    if (entry.contains("rtspPort")) {
        if (!entry["rtspPort"].is_number_integer() || entry["rtspPort"].get<int64_t>() < 0
            || entry["rtspPort"].get<int64_t>() > 65535)
            return "has an rtspPort outside 0..65535";
        profile->rtspPort = entry["rtspPort"].get<int>();
    }
    if (!textField(entry, "user", profile->user, &profile->user))
        return "has a bad \"user\" (a text of at most 255 bytes)";
    if (!textField(entry, "password", profile->password, &profile->password))
        return "has a bad \"password\" (a text of at most 255 bytes)";
    if (!textField(entry, "sdcard", "", &profile->sdCardFolder))
        return "has a bad \"sdcard\" folder";
    return {};
}

}  // namespace

FleetLoad readFleetText(const std::string &text)
{
    FleetLoad load;
    const json root = json::parse(text, nullptr, false);
    if (root.is_discarded())
        return {{}, "not valid JSON"};
    if (!root.is_object() || !root.contains("devices") || !root["devices"].is_array())
        return {{}, "no \"devices\" list"};
    if (root.contains("searchPort")) {
        const json &port = root["searchPort"];
        if (!port.is_number_integer() || port.get<int64_t>() < 1 || port.get<int64_t>() > 65535)
            return {{}, "a \"searchPort\" outside 1..65535"};
        load.searchPort = port.get<int>();
    }
    if (root.contains("controlAddress")) {
        const json &address = root["controlAddress"];
        if (!address.is_string() || !loopback(address.get<std::string>()))
            return {{}, "a \"controlAddress\" that is not a loopback address (127.x.x.x)"};
        load.controlAddress = address.get<std::string>();
    }
    if (root.contains("controlPort")) {
        const json &port = root["controlPort"];
        if (!port.is_number_integer() || port.get<int64_t>() < 0 || port.get<int64_t>() > 65535)
            return {{}, "a \"controlPort\" outside 0..65535"};
        load.controlPort = port.get<int>();
    }
    int index = 0;
    for (const json &entry : root["devices"]) {
        DeviceProfile profile;
        const std::string why = readEntry(entry, &profile);
        if (!why.empty())
            return {{}, "device " + std::to_string(index) + " " + why};
        for (const DeviceProfile &other : load.devices)
            if (other.address == profile.address)
                return {{}, "device " + std::to_string(index) + " repeats the address " + profile.address};
        load.devices.push_back(std::move(profile));
        ++index;
    }
    if (load.devices.empty())
        return {{}, "no devices"};
    return load;
}

FleetLoad readFleetFile(const std::string &path)
{
    std::ifstream in(path);
    if (!in)
        return {{}, "cannot read " + path};
    std::ostringstream text;
    text << in.rdbuf();
    FleetLoad load = readFleetText(text.str());
    if (!load.error.empty())
        load.error = path + ": " + load.error;
    return load;
}

}  // namespace sim::service
