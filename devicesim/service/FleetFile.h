#pragma once
// The device service's fleet file (JSON): the devices it hosts, each with its
// kind, address, port, user, password and SD card folder.
//
//   {"searchPort": 37020, "controlAddress": "127.0.0.1", "controlPort": 37021,
//    "devices": [{"kind": "ptz-dual", "address": "127.0.0.11", "port": 80,
//                 "user": "admin", "password": "sensor852", "sdcard": ""}]}
//
// "rtspPort" (optional) serves the device's channels as RTSP on that port of
// its address; 0 or absent: no RTSP.
//
// Only loopback addresses (127.0.0.0/8) are accepted. The search port (UDP,
// on 127.0.0.1) answers the library's device search; the control port (TCP)
// answers the control interface of tests and tools (0: a free one; a file
// without one opens none).

#include "base/DeviceProfile.h"
#include "wire/Control.h"
#include "wire/Search.h"

#include <string>
#include <vector>

namespace sim::service {

struct FleetLoad {
    std::vector<DeviceProfile> devices;
    std::string error;  // empty when the file was good
    int searchPort = wire::kDefaultSearchPort;
    std::string controlAddress = wire::kDefaultControlAddress;
    int controlPort = -1;  // none
};

FleetLoad readFleetText(const std::string &text);
FleetLoad readFleetFile(const std::string &path);

}  // namespace sim::service
