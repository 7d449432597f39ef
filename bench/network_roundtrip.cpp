// Call round trips of the device library in network mode: the program starts
// the device service on a loopback address and a free high port, logs in
// over TCP and times single calls, each alone on the wire:
//   GetFrameRate      a call that reads one number (the transport's own cost)
//   QueryFrameTemp    the frame's temperatures, with the thermal preview
//                     running (so the device reads its current frame), and
//                     without (the device renders a frame for the query)
// Prints median and 99th percentile in microseconds; goal: QueryFrameTemp's
// median under 200 us.
//
//   network_roundtrip [CALLS]      (default 5000 per row)
#include "TMVNetSDK.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

const char *const kAddress = "127.0.0.41";
constexpr double kGoalMedianUs = 200;

struct Service {
    pid_t pid = -1;
    int port = 0;
    std::string folder;
};

// Starts the service on a free port; false when it would not start.
bool start(Service *s)
{
    char folder[] = "/tmp/roundtrip-XXXXXX";
    if (!mkdtemp(folder))
        return false;
    s->folder = folder;
    std::mt19937 random(std::random_device{}());
    for (int attempt = 0; attempt < 8; ++attempt) {
        s->port = std::uniform_int_distribution<int>(33000, 45000)(random);
        const std::string fleet = s->folder + "/fleet.json";
        FILE *f = std::fopen(fleet.c_str(), "w");
        if (!f)
            return false;
        std::fprintf(f, R"({"searchPort": %d, "devices": [{"kind": "ptz-dual", "address": "%s", "port": %d, "sdcard": "%s/card"}]})",
                     s->port, kAddress, s->port, s->folder.c_str());
        std::fclose(f);
        const std::string log = s->folder + "/service.log";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        const char *argv[] = {SDKDEMO_DEVICES_PROGRAM, "--fleet", fleet.c_str(), nullptr};
        const int rc = posix_spawn(&s->pid, argv[0], &actions, nullptr, const_cast<char **>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0)
            return false;
        for (int i = 0; i < 100; ++i) {  // up to 10 s for "listening"
            usleep(100000);
            char text[4096] = {};
            if (FILE *l = std::fopen(log.c_str(), "r")) {
                const size_t n = std::fread(text, 1, sizeof text - 1, l);
                std::fclose(l);
                text[n] = '\0';
            }
            if (std::strstr(text, "search answers"))
                return true;
            int status = 0;
            if (waitpid(s->pid, &status, WNOHANG) == s->pid)
                break;  // the port was taken: another
        }
        kill(s->pid, SIGKILL);
        waitpid(s->pid, nullptr, 0);
    }
    return false;
}

void stop(Service *s)
{
    if (s->pid > 0) {
        kill(s->pid, SIGTERM);
        waitpid(s->pid, nullptr, 0);
    }
    const std::string remove = "rm -rf '" + s->folder + "'";
    std::system(remove.c_str());
}

struct Figures {
    double medianUs = 0;
    double p99Us = 0;
};

Figures time(int calls, const std::function<int32_t()> &call)
{
    std::vector<double> us;
    us.reserve(size_t(calls));
    for (int i = 0; i < calls; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const int32_t status = call();
        const auto end = std::chrono::steady_clock::now();
        if (status != TMV_NET_SUCCESS) {
            std::fprintf(stderr, "call failed: %d\n", status);
            std::exit(1);
        }
        us.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    std::sort(us.begin(), us.end());
    return {us[us.size() / 2], us[std::min(us.size() - 1, us.size() * 99 / 100)]};
}

void onFrame(TMV_NET_HANDLE, int32_t, TMV_NET_PREVIEW_FRAME *, void *) {}

}  // namespace

int main(int argc, char **argv)
{
    const int calls = argc > 1 ? std::max(100, std::atoi(argv[1])) : 5000;
    setenv("TMVNET_DEVICES", "network", 1);
    Service service;
    if (!start(&service)) {
        std::fprintf(stderr, "the device service would not start\n");
        return 1;
    }
    TMV_NET_Init();
    TMV_NET_LOGIN_INFO info{};
    std::strcpy(info.ip, kAddress);
    info.port = service.port;
    std::strcpy(info.userName, "admin");
    std::strcpy(info.password, "sensor852");
    TMV_NET_HANDLE h = nullptr;
    if (TMV_NET_Login(&info, &h) != TMV_NET_SUCCESS) {
        std::fprintf(stderr, "login failed\n");
        stop(&service);
        return 1;
    }

    int32_t rate = 0;
    TMV_NET_TEMP_INFO temp{};
    const Figures small = time(calls, [&] { return TMV_NET_GetFrameRate(h, &rate); });
    const Figures rendering = time(std::max(100, calls / 10), [&] { return TMV_NET_QueryFrameTemp(h, &temp); });
    const TMV_NET_PREVIEW_INFO thermal{0, 0, 2};
    TMV_NET_StartPreview_V2(h, &thermal, onFrame, nullptr);
    usleep(200000);
    const Figures live = time(calls, [&] { return TMV_NET_QueryFrameTemp(h, &temp); });
    TMV_NET_StopPreview(h);

    std::printf("Call round trips over loopback, %d calls a row (microseconds)\n\n", calls);
    std::printf("| call | median | 99th percentile |\n|---|---|---|\n");
    std::printf("| GetFrameRate | %.0f | %.0f |\n", small.medianUs, small.p99Us);
    std::printf("| QueryFrameTemp, preview running | %.0f | %.0f |\n", live.medianUs, live.p99Us);
    std::printf("| QueryFrameTemp, no stream (the device renders a frame) | %.0f | %.0f |\n", rendering.medianUs,
                rendering.p99Us);
    std::printf("\nGoal: QueryFrameTemp median under %.0f us: %s\n", kGoalMedianUs,
                live.medianUs < kGoalMedianUs ? "met" : "missed");

    TMV_NET_Logout(h);
    TMV_NET_Deinit();
    stop(&service);
    return 0;
}
