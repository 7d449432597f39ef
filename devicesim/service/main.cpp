// sdkdemo-devices: the simulated fleet as a network service. Each device of
// the fleet file listens on its own address and port; clients reach it with
// the device library in network mode (TMVNET_DEVICES=network).
//
//   sdkdemo-devices [--fleet FILE] [--paused-clock]
//
// Without a file it hosts the default fleet (127.0.0.11-13, port 80, admin /
// sensor852, RTSP on 554), as devicesim/service/fleet.json lists it. A device
// with an rtspPort serves its channels as rtsp://<address>:<rtspPort>/ch1
// and /ch2. --paused-clock starts the simulation clock paused, so every
// reader sees the same moment (tests comparing pictures). Ends on SIGINT or
// SIGTERM, logging every session out first.

#include "TMVNetSDK.h"
#include "base/SimClock.h"
#include "device/Fleet.h"
#include "device/FleetProfiles.h"
#include "remote/Remote.h"
#include "service/DeviceServer.h"
#include "service/FleetFile.h"
#include "service/RtspServer.h"
#include "service/SearchResponder.h"
#include "wire/Search.h"

#include <csignal>
#include <cstdio>
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

int usage()
{
    std::fprintf(stderr, "usage: sdkdemo-devices [--fleet FILE] [--paused-clock]\n"
                         "  each device with an rtspPort also serves rtsp://<address>:<rtspPort>/ch1 (and /ch2)\n");
    return 2;
}

}  // namespace

int main(int argc, char **argv)
{
    std::string fleetPath;
    bool pausedClock = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--fleet") == 0 && i + 1 < argc)
            fleetPath = argv[++i];
        else if (std::strcmp(argv[i], "--paused-clock") == 0)
            pausedClock = true;
        else
            return usage();
    }
    std::vector<sim::DeviceProfile> devices = sim::defaultProfiles();
    for (sim::DeviceProfile &d : devices)
        d.rtspPort = 554;  // as fleet.json has it
    int searchPort = sim::wire::kDefaultSearchPort;
    if (!fleetPath.empty()) {
        sim::service::FleetLoad load = sim::service::readFleetFile(fleetPath);
        if (!load.error.empty()) {
            std::fprintf(stderr, "sdkdemo-devices: %s\n", load.error.c_str());
            return 1;
        }
        devices = std::move(load.devices);
        searchPort = load.searchPort;
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
    std::string error;
    if (!server.bind(&error) || !rtsp.bind(&error) || !search.bind(searchPort, &error)) {
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
    logLine("search answers on 127.0.0.1:" + std::to_string(searchPort) + " (udp)");

    int signal = 0;
    sigwait(&ending, &signal);
    logLine("stopping");
    search.stop();
    rtsp.stop();
    server.stop();
    TMV_NET_Deinit();
    return 0;
}
