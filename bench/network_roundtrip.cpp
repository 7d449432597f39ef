// Call round trips of the device library in network mode: the program starts
// the device service on a loopback address and a free high port, logs in
// over TCP and times single calls, each alone on the wire:
//   GetFrameRate      a call that reads one number (the transport's own cost)
//   QueryFrameTemp    the frame's temperatures, with the thermal preview
//                     running (so the device reads its current frame), and
//                     without (the device renders a frame for the query)
// and GetFrameRate again while an SD-card download runs (at the device's
// link speed), whose chunks share the connection. The same calls are timed
// on the embedded fleet by a child of this program (--embedded), so the
// difference is the wire's. Prints median and 99th percentile in
// microseconds; goal: QueryFrameTemp's median under 200 us.
//
//   network_roundtrip [CALLS]      (default 5000 per row)
#include "ServiceProcess.h"
#include "TMVNetSDK.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const char *const kAddress = "127.0.0.41";
const char *const kEmbeddedAddress = "127.0.0.11";  // the embedded fleet's PTZ camera
constexpr double kGoalMedianUs = 200;

struct Figures {
    double medianUs = 0;
    double p99Us = 0;
};

Figures timeCalls(int calls, const std::function<int32_t()> &call)
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

TMV_NET_HANDLE login(const char *address, int port)
{
    TMV_NET_Init();
    TMV_NET_LOGIN_INFO info{};
    std::strcpy(info.ip, address);
    info.port = port;
    std::strcpy(info.userName, "admin");
    std::strcpy(info.password, "sensor852");
    TMV_NET_HANDLE h = nullptr;
    return TMV_NET_Login(&info, &h) == TMV_NET_SUCCESS ? h : nullptr;
}

// The three calls alone: GetFrameRate, QueryFrameTemp with the thermal
// preview running, QueryFrameTemp with no stream.
struct Rows {
    Figures small, live, rendering;
};

Rows measure(TMV_NET_HANDLE h, int calls)
{
    int32_t rate = 0;
    TMV_NET_TEMP_INFO temp{};
    Rows rows;
    rows.small = timeCalls(calls, [&] { return TMV_NET_GetFrameRate(h, &rate); });
    rows.rendering = timeCalls(std::max(100, calls / 10), [&] { return TMV_NET_QueryFrameTemp(h, &temp); });
    const TMV_NET_PREVIEW_INFO thermal{0, 0, 2};
    TMV_NET_StartPreview_V2(h, &thermal, onFrame, nullptr);
    usleep(200000);
    rows.live = timeCalls(calls, [&] { return TMV_NET_QueryFrameTemp(h, &temp); });
    TMV_NET_StopPreview(h);
    return rows;
}

// The same calls on the embedded fleet, in a child of this program.
bool measureEmbedded(int calls, Rows *rows)
{
    char self[4096] = {};
    if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0)
        return false;
    const std::string command = "'" + std::string(self) + "' --embedded " + std::to_string(calls);
    FILE *child = popen(command.c_str(), "r");
    if (!child)
        return false;
    Rows r;
    const int n = std::fscanf(child, "%lf %lf %lf %lf %lf %lf", &r.small.medianUs, &r.small.p99Us,
                              &r.live.medianUs, &r.live.p99Us, &r.rendering.medianUs, &r.rendering.p99Us);
    const bool ok = pclose(child) == 0 && n == 6;
    if (ok)
        *rows = r;
    return ok;
}

// A card file of 32 MiB in the service's card folder; its record, found as
// a client finds it.
bool bigCardFile(TMV_NET_HANDLE h, const std::string &cardFolder, TMV_NET_FILE_INFO *record)
{
    const time_t start = std::time(nullptr) - 3 * 3600 + 7;
    char name[96], from[32], to[32];
    tm local{};
    localtime_r(&start, &local);
    std::strftime(from, sizeof from, "%Y%m%d-%H%M%S", &local);
    const time_t end = start + 90;
    tm localEnd{};
    localtime_r(&end, &localEnd);
    std::strftime(to, sizeof to, "%Y%m%d-%H%M%S", &localEnd);
    std::snprintf(name, sizeof name, "ch0_video_%s_%s.mp4", from, to);
    ::mkdir(cardFolder.c_str(), 0700);  // the card makes it on first use
    FILE *f = std::fopen((cardFolder + "/" + name).c_str(), "wb");
    if (!f)
        return false;
    std::vector<char> chunk(1 << 20, 'x');
    for (int i = 0; i < 32; ++i)
        std::fwrite(chunk.data(), 1, chunk.size(), f);
    std::fclose(f);
    TMV_NET_FILE_QUERY q{};
    q.channel = 0;
    q.fileType = 1;
    const time_t qFrom = start - 60, qTo = start + 60;
    tm a{}, b{};
    localtime_r(&qFrom, &a);
    localtime_r(&qTo, &b);
    std::strftime(q.startTime, sizeof q.startTime, "%Y-%m-%d+%H:%M:%S", &a);
    std::strftime(q.endTime, sizeof q.endTime, "%Y-%m-%d+%H:%M:%S", &b);
    q.pageSize = 50;
    TMV_NET_FILE_INFO files[50];
    int32_t count = 0;
    if (TMV_NET_QueryFile(h, &q, files, 50, &count) != TMV_NET_SUCCESS)
        return false;
    for (int i = 0; i < std::min(count, 50); ++i)
        if (std::strstr(files[i].filePath, name)) {
            *record = files[i];
            return true;
        }
    return false;
}

}  // namespace

int main(int argc, char **argv)
{
    const bool embedded = argc > 1 && std::strcmp(argv[1], "--embedded") == 0;
    const char *callsArg = embedded ? (argc > 2 ? argv[2] : nullptr) : (argc > 1 ? argv[1] : nullptr);
    const int calls = callsArg ? std::max(100, std::atoi(callsArg)) : 5000;
    if (embedded) {
        setenv("TMVNET_DEVICES", "embedded", 1);
        TMV_NET_HANDLE h = login(kEmbeddedAddress, 80);
        if (!h)
            return 1;
        const Rows rows = measure(h, calls);
        std::printf("%f %f %f %f %f %f\n", rows.small.medianUs, rows.small.p99Us, rows.live.medianUs, rows.live.p99Us,
                    rows.rendering.medianUs, rows.rendering.p99Us);
        TMV_NET_Logout(h);
        TMV_NET_Deinit();
        return 0;
    }
    setenv("TMVNET_DEVICES", "network", 1);
    bench::ServiceProcess service;
    if (!bench::startService(&service, kAddress)) {
        std::fprintf(stderr, "the device service would not start\n");
        return 1;
    }
    TMV_NET_HANDLE h = login(kAddress, service.port);
    if (!h) {
        std::fprintf(stderr, "login failed\n");
        bench::stopService(&service);
        return 1;
    }
    const Rows network = measure(h, calls);

    // The same small call while a download's chunks share the connection.
    Figures downloading;
    TMV_NET_FILE_INFO card{};
    const bool haveFile = bigCardFile(h, service.folder + "/card", &card);
    if (haveFile) {
        TMV_NET_FILE_DOWNLOAD_INFO info{};
        info.fileInfo = card;
        const std::string target = service.folder + "/copy.mp4";
        std::strcpy(info.localPath, target.c_str());
        const int id = TMV_NET_StartDownloadFile(h, &info);
        int32_t rate = 0;
        if (id >= 0)
            downloading = timeCalls(calls, [&] { return TMV_NET_GetFrameRate(h, &rate); });
        TMV_NET_DOWNLOAD_PROGRESS p{};
        TMV_NET_GetDownloadProgress(h, id, &p);
        std::printf("(the download moved %.1f MiB meanwhile)\n", double(p.done) / (1 << 20));
        TMV_NET_StopDownloadFile(h, id);
    }
    TMV_NET_Logout(h);
    TMV_NET_Deinit();
    bench::stopService(&service);

    Rows local;
    const bool haveLocal = measureEmbedded(calls, &local);
    std::printf("Call round trips, %d calls a row (microseconds): over loopback to the device service, and\n"
                "the same calls on the embedded fleet (the device's own work, no wire)\n\n",
                calls);
    std::printf("| call | network median | network p99 | embedded median | embedded p99 |\n|---|---|---|---|---|\n");
    const auto row = [&](const char *name, const Figures &n, const Figures &e) {
        if (haveLocal)
            std::printf("| %s | %.0f | %.0f | %.0f | %.0f |\n", name, n.medianUs, n.p99Us, e.medianUs, e.p99Us);
        else
            std::printf("| %s | %.0f | %.0f | - | - |\n", name, n.medianUs, n.p99Us);
    };
    row("GetFrameRate", network.small, local.small);
    row("QueryFrameTemp, preview running", network.live, local.live);
    row("QueryFrameTemp, no stream (the device renders a frame)", network.rendering, local.rendering);
    if (haveFile)
        std::printf("| GetFrameRate, a download running | %.0f | %.0f | - | - |\n", downloading.medianUs,
                    downloading.p99Us);
    std::printf("\nGoal: QueryFrameTemp median under %.0f us: %s\n", kGoalMedianUs,
                network.live.medianUs < kGoalMedianUs ? "met" : "missed");
    return 0;
}
