#pragma once
// The device service's fleet file (JSON): the devices it hosts, each with its
// kind, address, port, user, password and SD card folder.
//
//   {"searchPort": 37020,
//    "devices": [{"kind": "ptz-dual", "address": "127.0.0.11", "port": 80,
//                 "user": "admin", "password": "sensor852", "sdcard": ""}]}
//
// "rtspPort" (optional) serves the device's channels as RTSP on that port of
// its address; 0 or absent: no RTSP.
//
// Only loopback addresses (127.0.0.0/8) are accepted. The search port (UDP,
// on 127.0.0.1) answers the library's device search.

#include "base/DeviceProfile.h"

#include <string>
#include <vector>

namespace sim::service {

struct FleetLoad {
    std::vector<DeviceProfile> devices;
    std::string error;  // empty when the file was good
    int searchPort = 37020;
};

FleetLoad readFleetText(const std::string &text);
FleetLoad readFleetFile(const std::string &path);

}  // namespace sim::service
