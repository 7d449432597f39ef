// A fleet on one device service, watched by one library process: for each
// N the program starts the service with N devices on 127.0.1.1.. (the three
// kinds in turn, as scripts/devices.sh --generate writes them, or one kind
// with --kind), and a child of this program in network mode logs in to all
// of them and previews each thermal channel at the device's 25 fps. Reported
// a row per N, over the measured seconds after one second of warm-up:
//   logins/s       the N logins one after another, before any stream
//   delivered      frames that reached the callbacks, against 25 fps x N
//   service, library CPU  per delivered frame and per delivered megapixel
//                  (the kinds' thermal pictures differ: 640x512, 2880x480),
//                  from /proc/<pid>/stat and getrusage
//   RSS            of the service idle (started, no login) and streaming,
//                  and of the library process
// Cost that grows with N shows as a growing CPU per frame; what two cores
// cannot carry shows as frames not delivered.
//
//   fleet_scale [--seconds S] [--kind KIND] [N ...]     (default 5 s; 1 8 32 64 100)
#include "ServiceProcess.h"
#include "TMVNetSDK.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr int kFps = 25;

std::string addressOf(int i)
{
    return "127.0." + std::to_string(1 + i / 254) + "." + std::to_string(1 + i % 254);
}

std::vector<bench::FleetDevice> fleetOf(int n, const std::string &kind)
{
    static const char *const kinds[] = {"ptz-dual", "fixed-thermal", "panoramic-thermal"};
    std::vector<bench::FleetDevice> devices;
    for (int i = 0; i < n; ++i)
        devices.push_back({kind.empty() ? kinds[i % 3] : kind, addressOf(i)});
    return devices;
}

double rssMb(pid_t pid)
{
    const std::string path = "/proc/" + std::to_string(pid) + "/status";
    FILE *f = std::fopen(path.c_str(), "r");
    if (!f)
        return 0;
    char line[256];
    long kb = 0;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmRSS: %ld kB", &kb) == 1)
            break;
    std::fclose(f);
    return double(kb) / 1024.0;
}

// User and system time of a process, from its stat line (after the
// command's closing parenthesis: utime and stime are fields 14 and 15).
double processCpuS(pid_t pid)
{
    const std::string path = "/proc/" + std::to_string(pid) + "/stat";
    FILE *f = std::fopen(path.c_str(), "r");
    if (!f)
        return 0;
    char text[2048] = {};
    const size_t n = std::fread(text, 1, sizeof text - 1, f);
    std::fclose(f);
    text[n] = '\0';
    const char *p = std::strrchr(text, ')');
    unsigned long utime = 0, stime = 0;
    if (!p || std::sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &utime, &stime) != 2)
        return 0;
    return double(utime + stime) / double(sysconf(_SC_CLK_TCK));
}

double selfCpuS()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double nowS()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct Counter {
    std::atomic<int64_t> frames{0};
    std::atomic<int64_t> pixels{0};
};

void onFrame(TMV_NET_HANDLE, int32_t, TMV_NET_PREVIEW_FRAME *frame, void *user)
{
    auto *c = static_cast<Counter *>(user);
    c->frames.fetch_add(1, std::memory_order_relaxed);
    c->pixels.fetch_add(int64_t(frame->width) * frame->height, std::memory_order_relaxed);
}

struct Row {
    double loginsPerS = 0;
    double delivered = 0, expected = 0;
    double megapixels = 0;
    double serviceCpuS = 0, libraryCpuS = 0;
    double serviceMb = 0, libraryMb = 0;
};

// The child: logs in to the N devices, previews them, measures.
int client(int port, pid_t service, int n, double seconds)
{
    setenv("TMVNET_DEVICES", "network", 1);
    TMV_NET_Init();
    std::vector<TMV_NET_HANDLE> logins(size_t(n), nullptr);
    std::vector<Counter> counters(static_cast<size_t>(n));
    const double loginStart = nowS();
    for (int i = 0; i < n; ++i) {
        TMV_NET_LOGIN_INFO info{};
        std::strcpy(info.ip, addressOf(i).c_str());
        info.port = port;
        std::strcpy(info.userName, "admin");
        std::strcpy(info.password, "sensor852");
        if (TMV_NET_Login(&info, &logins[size_t(i)]) != TMV_NET_SUCCESS) {
            std::fprintf(stderr, "login to %s failed\n", info.ip);
            return 1;
        }
    }
    Row row;
    row.loginsPerS = n / (nowS() - loginStart);
    for (int i = 0; i < n; ++i) {
        const TMV_NET_PREVIEW_INFO thermal{0, 0, 2};
        if (TMV_NET_StartPreview_V2(logins[size_t(i)], &thermal, onFrame, &counters[size_t(i)]) != TMV_NET_SUCCESS) {
            std::fprintf(stderr, "preview of %s failed\n", addressOf(i).c_str());
            return 1;
        }
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));

    auto frames = [&] {
        int64_t f = 0, p = 0;
        for (const Counter &c : counters) {
            f += c.frames.load();
            p += c.pixels.load();
        }
        return std::make_pair(f, p);
    };
    const auto before = frames();
    const double start = nowS(), serviceStart = processCpuS(service), selfStart = selfCpuS();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const auto after = frames();
    const double elapsed = nowS() - start;
    row.serviceCpuS = processCpuS(service) - serviceStart;
    row.libraryCpuS = selfCpuS() - selfStart;
    row.delivered = double(after.first - before.first);
    row.megapixels = double(after.second - before.second) / 1e6;
    row.expected = kFps * n * elapsed;
    row.serviceMb = rssMb(service);
    row.libraryMb = rssMb(getpid());

    for (TMV_NET_HANDLE h : logins) {
        TMV_NET_StopPreview(h);
        TMV_NET_Logout(h);
    }
    TMV_NET_Deinit();
    std::printf("%f %f %f %f %f %f %f %f\n", row.loginsPerS, row.delivered, row.expected, row.megapixels,
                row.serviceCpuS, row.libraryCpuS, row.serviceMb, row.libraryMb);
    return 0;
}

bool runClient(const bench::ServiceProcess &service, int n, double seconds, Row *row)
{
    char self[4096] = {};
    if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0)
        return false;
    const std::string command = "'" + std::string(self) + "' --client " + std::to_string(service.port) + " "
                                + std::to_string(service.pid) + " " + std::to_string(n) + " "
                                + std::to_string(seconds);
    FILE *child = popen(command.c_str(), "r");
    if (!child)
        return false;
    Row r;
    const int got = std::fscanf(child, "%lf %lf %lf %lf %lf %lf %lf %lf", &r.loginsPerS, &r.delivered, &r.expected,
                                &r.megapixels, &r.serviceCpuS, &r.libraryCpuS, &r.serviceMb, &r.libraryMb);
    const bool ok = pclose(child) == 0 && got == 8;
    if (ok)
        *row = r;
    return ok;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc == 6 && std::strcmp(argv[1], "--client") == 0)
        return client(std::atoi(argv[2]), pid_t(std::atoi(argv[3])), std::atoi(argv[4]), std::atof(argv[5]));

    double seconds = 5;
    std::string kind;
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc)
            seconds = std::atof(argv[++i]);
        else if (std::strcmp(argv[i], "--kind") == 0 && i + 1 < argc)
            kind = argv[++i];
        else if (std::atoi(argv[i]) > 0)
            counts.push_back(std::atoi(argv[i]));
        else {
            std::fprintf(stderr, "usage: fleet_scale [--seconds S] [--kind KIND] [N ...]\n");
            return 2;
        }
    }
    if (counts.empty())
        counts = {1, 8, 32, 64, 100};

    std::printf("thermal preview of every device at %d fps, %.0f s a row, %s\n", kFps, seconds,
                kind.empty() ? "the three kinds in turn" : kind.c_str());
    std::printf("%5s %9s %8s %9s %8s | %12s %12s | %12s %12s | %10s %10s %10s\n", "N", "start ms", "logins/s",
                "delivered", "dropped", "svc ms/frame", "lib ms/frame", "svc ms/Mpx", "lib ms/Mpx", "svc idle MB",
                "svc MB", "lib MB");
    for (int n : counts) {
        bench::ServiceProcess service;
        const double start = nowS();
        if (!bench::startFleet(&service, fleetOf(n, kind))) {
            std::fprintf(stderr, "the device service would not start with %d devices\n", n);
            return 1;
        }
        // Ready is seen on a 100 ms poll: an upper bound.
        const double startMs = (nowS() - start) * 1000;
        const double idleMb = rssMb(service.pid);
        Row r;
        const bool ok = runClient(service, n, seconds, &r);
        bench::stopService(&service);
        if (!ok) {
            std::fprintf(stderr, "the client of %d devices failed\n", n);
            return 1;
        }
        const double frames = std::max(1.0, r.delivered), mpx = std::max(1e-9, r.megapixels);
        std::printf("%5d %9.0f %8.0f %9.0f %7.1f%% | %12.3f %12.3f | %12.3f %12.3f | %10.1f %10.1f %10.1f\n", n,
                    startMs, r.loginsPerS, r.delivered, 100.0 * std::max(0.0, r.expected - r.delivered) / r.expected,
                    r.serviceCpuS * 1000 / frames, r.libraryCpuS * 1000 / frames, r.serviceCpuS * 1000 / mpx,
                    r.libraryCpuS * 1000 / mpx, idleMb, r.serviceMb, r.libraryMb);
        std::fflush(stdout);
    }
    return 0;
}
