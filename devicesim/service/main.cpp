// sdkdemo-devices: the simulated fleet as a network service. Each device of
// the fleet file listens on its own address and port; clients reach it with
// the device library in network mode (TMVNET_DEVICES=network).
//
//   sdkdemo-devices [--fleet FILE] [--control ADDRESS:PORT] [--paused-clock]
//
// Without a file it hosts the default fleet (127.0.0.11-13, port 80, admin /
// sensor852, RTSP on 554, control port 127.0.0.1:37021), as
// devicesim/service/fleet.json lists it. A device with an rtspPort serves its
// channels as rtsp://<address>:<rtspPort>/ch1 and /ch2. --paused-clock starts
// the simulation clock paused, so every reader sees the same moment (tests
// comparing pictures). Ends on SIGINT or SIGTERM, logging every session out
// first.

#include "TMVNetSDK.h"
#include "base/SimClock.h"
#include "device/Fleet.h"
#include "device/FleetProfiles.h"
#include "remote/Remote.h"
#include "service/ControlServer.h"
#include "service/DeviceServer.h"
#include "service/FleetFile.h"
#include "service/RtspServer.h"
#include "service/SearchResponder.h"
#include "wire/Control.h"
#include "wire/Search.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>
#include <sys/time.h>

namespace {

void logLine(const std::string &text)
{
    static std::mutex mutex;
    timeval now{};
    gettimeofday(&now, nullptr);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%H:%M:%S", &local);
    std::lock_guard<std::mutex> lock(mutex);
    std::printf("%s.%03d %s\n", stamp, int(now.tv_usec / 1000), text.c_str());
    std::fflush(stdout);
}

const char kUsage[] = "usage: sdkdemo-devices [--fleet FILE] [--control ADDRESS:PORT] [--paused-clock]\n";

int usage()
{
    std::fprintf(stderr, "%s", kUsage);
    return 2;
}

int help()
{
    std::printf("%s\n"
                "The simulated cameras as a network service: each device of the fleet listens on its\n"
                "own loopback address and port for the device library in network mode\n"
                "(TMVNET_DEVICES=network).\n"
                "\n"
                "  --fleet FILE             the devices (JSON; default: 127.0.0.11-13, port 80,\n"
                "                           as devicesim/service/fleet.json lists them)\n"
                "  --control ADDRESS:PORT   the control port of the control interface (TMVSim_*,\n"
                "                           tests and tools only) on a loopback address; port 0\n"
                "                           takes a free one. Default: the file's controlAddress and\n"
                "                           controlPort, 127.0.0.1:37021 without a file; a file\n"
                "                           without controlPort opens none. The library finds it in\n"
                "                           TMVNET_CONTROL=ADDRESS:PORT (default 127.0.0.1:37021).\n"
                "  --paused-clock           start the simulation clock paused (tests comparing\n"
                "                           pictures)\n"
                "  --help                   this text\n"
                "\n"
                "The search answers on UDP 127.0.0.1, the file's searchPort (default 37020; the\n"
                "library reads TMVNET_SEARCH_PORT). Each device with an rtspPort also serves\n"
                "rtsp://<address>:<rtspPort>/ch1 (and /ch2). The protocol is in\n"
                "docs/device-protocol.md.\n",
                kUsage);
    return 0;
}

// "address:port" with a port of 0..65535.
bool readPlace(const std::string &text, std::string *address, int *port)
{
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == text.size())
        return false;
    char *end = nullptr;
    const long number = std::strtol(text.c_str() + colon + 1, &end, 10);
    if (*end != '\0' || number < 0 || number > 65535)
        return false;
    *address = text.substr(0, colon);
    *port = int(number);
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    std::string fleetPath;
    std::string control;
    bool pausedClock = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--fleet") == 0 && i + 1 < argc)
            fleetPath = argv[++i];
        else if (std::strcmp(argv[i], "--control") == 0 && i + 1 < argc)
            control = argv[++i];
        else if (std::strcmp(argv[i], "--paused-clock") == 0)
            pausedClock = true;
        else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            return help();
        else
            return usage();
    }
    std::vector<sim::DeviceProfile> devices = sim::defaultProfiles();
    for (sim::DeviceProfile &d : devices)
        d.rtspPort = 554;  // as fleet.json has it
    int searchPort = sim::wire::kDefaultSearchPort;
    std::string controlAddress = sim::wire::kDefaultControlAddress;
    int controlPort = sim::wire::kDefaultControlPort;
    if (!fleetPath.empty()) {
        sim::service::FleetLoad load = sim::service::readFleetFile(fleetPath);
        if (!load.error.empty()) {
            std::fprintf(stderr, "sdkdemo-devices: %s\n", load.error.c_str());
            return 1;
        }
        devices = std::move(load.devices);
        searchPort = load.searchPort;
        controlAddress = load.controlAddress;
        controlPort = load.controlPort;
    }
    if (!control.empty() && !readPlace(control, &controlAddress, &controlPort)) {
        std::fprintf(stderr, "sdkdemo-devices: --control wants ADDRESS:PORT, not %s\n", control.c_str());
        return usage();
    }

    // Every thread started from here on leaves these to the main thread.
    sigset_t ending;
    sigemptyset(&ending);
    sigaddset(&ending, SIGINT);
    sigaddset(&ending, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &ending, nullptr);

    // Destroyed last: the fleet's search answers may come until Deinit.
    sim::service::SearchResponder search;
    sim::service::DeviceServer server(&devices, logLine);
    sim::service::RtspServer rtsp(devices, logLine);
    sim::service::ControlServer controlServer(logLine);
    std::string error;
    if (!server.bind(&error) || !rtsp.bind(&error) || !search.bind(searchPort, &error)
        || (controlPort >= 0 && !controlServer.bind(controlAddress, controlPort, &error))) {
        std::fprintf(stderr, "sdkdemo-devices: %s\n", error.c_str());
        return 1;
    }
    // The fleet learns the ports the system gave to port 0.
    sim::remote::forceEmbedded();
    sim::Fleet::useProfiles(devices);
    if (pausedClock)
        sim::SimClock::instance().pause();
    TMV_NET_Init();
    server.start();
    rtsp.start();
    search.start();
    if (controlPort >= 0)
        controlServer.start();
    logLine("search answers on 127.0.0.1:" + std::to_string(searchPort) + " (udp)");

    int signal = 0;
    sigwait(&ending, &signal);
    logLine("stopping");
    controlServer.stop();
    search.stop();
    rtsp.stop();
    server.stop();
    TMV_NET_Deinit();
    return 0;
}
