// Thermal recordings, with frames of the simulated fixed camera (640x512):
//
//  BM_CallbackFrame    what the temperature callback spends on a frame: the
//                      copy into the recorder's queue. Goal: under 0.3 ms.
//  BM_WriterFrame      the writer thread's work on a frame: the three
//                      encoders (FFV1 temperatures, MPEG-4 picture with its
//                      palette, PNG fast copy) and the file; counters: file
//                      size per minute at 25 frames a second. Goal: well
//                      inside 40 ms, so 25 fps leaves room on two cores
//                      beside the live video.
//  BM_RecordLive       ten seconds of the device's real 25 fps stream with
//                      the live video open: frames written, dropped, the
//                      queue's high-water mark.
//  BM_ShapeOverMinute  one rectangle's statistics over every frame of a
//                      one-minute recording (1,500 frames), read from the
//                      fast copy. Goal: under 1 s.
//  BM_SeekFrame        reading a frame anywhere in that recording. Goal:
//                      under 50 ms.

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "TMVNetSDK.h"
#include "thermal/recfile/RecFile.h"
#include "thermal/recfile/RecMeasure.h"
#include "thermal/recfile/RecQueue.h"
#include "thermal/recfile/RecRecorder.h"

namespace {

const char *const kDevice = "127.0.0.12";
TMV_NET_HANDLE g_handle = nullptr;
std::vector<std::vector<uint16_t>> g_frames;  // two seconds of the stream
int g_width = 0, g_height = 0;
std::mutex g_mutex;  // Protects g_frames while the stream fills it.
std::string g_minute;  // path of the one-minute recording

std::string TempPath(const char *name)
{
    return std::string("/tmp/thermalrec_bench_") + std::to_string(::getpid()) + "_" + name;
}

void Capture(TMV_NET_HANDLE, const TMV_NET_TEMP_FRAME *frame, int32_t, void *)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_frames.size() >= 50)
        return;
    g_width = frame->width;
    g_height = frame->height;
    g_frames.emplace_back(frame->data, frame->data + size_t(frame->width) * size_t(frame->height));
}

RecInfo Info()
{
    RecInfo info;
    info.deviceName = "bench";
    info.deviceAddress = kDevice;
    info.palette = 4;
    return info;
}

double CpuSeconds(int who)
{
    struct rusage usage;
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void BM_CallbackFrame(benchmark::State &state)
{
    RecQueue queue(RecRecorder::kQueueFrames);
    RecFrame out;
    size_t n = 0;
    for (auto _ : state) {
        const std::vector<uint16_t> &frame = g_frames[n++ % g_frames.size()];
        queue.Push(frame.data(), g_width, g_height, int64_t(n));
        state.PauseTiming();
        queue.Pop(&out);  // the writer's part
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CallbackFrame)->Unit(benchmark::kMicrosecond);

void BM_WriterFrame(benchmark::State &state)
{
    const std::string path = TempPath("writer.mkv");
    RecWriter writer;
    std::string error;
    if (!writer.Open(path, Info(), &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    int64_t n = 0;
    for (auto _ : state) {
        const std::vector<uint16_t> &frame = g_frames[size_t(n) % g_frames.size()];
        if (!writer.Write(frame.data(), g_width, g_height, n * 40000, &error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        ++n;
    }
    writer.Finish(0, 0, &error);
    state.counters["MB_per_minute"] = double(writer.Bytes()) / double(std::max<int64_t>(n, 1)) * 1500.0 / 1e6;
    std::remove(path.c_str());
}
BENCHMARK(BM_WriterFrame)->Unit(benchmark::kMillisecond);

void NoFrame(TMV_NET_HANDLE, int32_t, TMV_NET_PREVIEW_FRAME *, void *) {}

struct Timed
{
    RecRecorder *recorder;
    double callbackCpu = 0;   // the callback thread's own time
    double callbackWall = 0;  // with waits and preemption
    int64_t calls = 0;
    long faults = 0;  // minor page faults inside the callback
};

double ThreadCpuSeconds()
{
    struct timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

void Record(TMV_NET_HANDLE, const TMV_NET_TEMP_FRAME *frame, int32_t, void *user)
{
    auto *timed = static_cast<Timed *>(user);
    const auto start = std::chrono::steady_clock::now();
    const double cpu = ThreadCpuSeconds();
    struct rusage before, after;
    getrusage(RUSAGE_THREAD, &before);
    timed->recorder->OnFrame(frame->data, frame->width, frame->height);
    getrusage(RUSAGE_THREAD, &after);
    timed->faults += after.ru_minflt - before.ru_minflt;
    timed->callbackCpu += ThreadCpuSeconds() - cpu;
    timed->callbackWall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ++timed->calls;
}

void BM_RecordLive(benchmark::State &state)
{
    const std::string path = TempPath("live.mkv");
    const TMV_NET_PREVIEW_INFO preview{0, 0, 2};
    const bool video = TMV_NET_StartPreview_V2(g_handle, &preview, NoFrame, nullptr) == 0;
    for (auto _ : state) {
        RecRecorder recorder;
        std::string error;
        Timed timed{&recorder};
        if (!recorder.Start(path, Info(), &error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        const double cpuBefore = CpuSeconds(RUSAGE_SELF);
        TMV_NET_StartPullTemp_V2(g_handle, Record, &timed);
        std::this_thread::sleep_for(std::chrono::seconds(10));
        TMV_NET_StopPullTemp(g_handle);
        recorder.Stop(&error);
        state.counters["frames"] = double(recorder.FramesWritten());
        state.counters["faults_per_frame"] = timed.calls ? double(timed.faults) / double(timed.calls) : 0.0;
        state.counters["dropped"] = double(recorder.Dropped());
        state.counters["high_water"] = double(recorder.HighWater());
        state.counters["callback_cpu_ms"] = timed.calls ? timed.callbackCpu / double(timed.calls) * 1e3 : 0.0;
        state.counters["callback_wall_ms"] = timed.calls ? timed.callbackWall / double(timed.calls) * 1e3 : 0.0;
        state.counters["process_cpu_pct"] = (CpuSeconds(RUSAGE_SELF) - cpuBefore) / 10.0 * 100.0;
        state.counters["MB_per_minute"] = double(recorder.BytesWritten()) / 10.0 * 60.0 / 1e6;
    }
    if (video)
        TMV_NET_StopPreview(g_handle);
    std::remove(path.c_str());
}
BENCHMARK(BM_RecordLive)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

bool MakeMinute()
{
    g_minute = TempPath("minute.mkv");
    RecWriter writer;
    std::string error;
    if (!writer.Open(g_minute, Info(), &error))
        return false;
    for (int n = 0; n < 1500; ++n) {
        const std::vector<uint16_t> &frame = g_frames[size_t(n) % g_frames.size()];
        if (!writer.Write(frame.data(), g_width, g_height, int64_t(n) * 40000, &error))
            return false;
    }
    return writer.Finish(0, 0, &error);
}

void BM_ShapeOverMinute(benchmark::State &state)
{
    RecReader reader;
    std::string error;
    if (!reader.Open(g_minute, &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    const RecMeasure::Shape box{2, {{2000, 2000}, {6000, 2000}, {6000, 6000}, {2000, 6000}}};
    const std::vector<sim::Target> targets{RecMeasure::Compile(box, reader.Info())};
    std::vector<std::vector<RecMeasure::Reading>> out;
    // The process's CPU, every thread's: on a busy machine the wall time says
    // little, the CPU over the cores says what an idle machine would take.
    const double cpuBefore = CpuSeconds(RUSAGE_SELF);
    for (auto _ : state) {
        if (!RecMeasure::MeasureAll(reader, targets, &out, nullptr, &error))
            state.SkipWithError(error.c_str());
    }
    state.counters["frames"] = double(reader.FrameCount());
    state.counters["fast_copy"] = reader.ReadsFastCopy() ? 1.0 : 0.0;
    state.counters["process_cpu_s"] = (CpuSeconds(RUSAGE_SELF) - cpuBefore) / double(state.iterations());
}
BENCHMARK(BM_ShapeOverMinute)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_OpenMinute(benchmark::State &state)
{
    for (auto _ : state) {
        RecReader reader;
        std::string error;
        if (!reader.Open(g_minute, &error))
            state.SkipWithError(error.c_str());
    }
}
BENCHMARK(BM_OpenMinute)->Unit(benchmark::kMillisecond);

void BM_SeekFrame(benchmark::State &state)
{
    RecReader reader;
    std::string error;
    if (!reader.Open(g_minute, &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pick(0, reader.FrameCount() - 1);
    std::vector<uint16_t> values;
    for (auto _ : state) {
        if (!reader.ReadFrame(pick(random), &values, &error))
            state.SkipWithError(error.c_str());
    }
}
BENCHMARK(BM_SeekFrame)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (TMV_NET_Init() != 0)
        return 1;
    TMV_NET_LOGIN_INFO login;
    std::memset(&login, 0, sizeof login);
    std::strcpy(login.ip, kDevice);
    login.port = 80;
    std::strcpy(login.userName, "admin");
    std::strcpy(login.password, "sensor852");
    if (TMV_NET_Login(&login, &g_handle) != 0 || !g_handle)
        return 1;
    TMV_NET_StartPullTemp_V2(g_handle, Capture, nullptr);
    for (int i = 0; i < 100; ++i) {
        {
            std::lock_guard<std::mutex> lock(g_mutex);
            if (g_frames.size() >= 50)
                break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    TMV_NET_StopPullTemp(g_handle);
    if (g_frames.empty() || !MakeMinute()) {
        std::fprintf(stderr, "no frames from %s\n", kDevice);
        return 1;
    }
    std::fprintf(stderr, "frames of %dx%d, a minute's recording: %s\n", g_width, g_height, g_minute.c_str());
    benchmark::RunSpecifiedBenchmarks();
    std::remove(g_minute.c_str());
    TMV_NET_Logout(g_handle);
    TMV_NET_Deinit();
    return 0;
}
