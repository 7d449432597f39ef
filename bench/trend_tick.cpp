// One sample tick of the temperature trend window on the user-interface
// thread: the frame query, one query for every rule's temperatures, and the
// plot update (thinning the shown span into the chart's lines), with the
// window shown on the offscreen platform. The device's clock is paused and
// stepped a second between ticks outside the timing. Goal: under 2 ms a tick.
//
// Two cases: the live video open (`/video`), as the operator has it, where
// the device answers from the frame it already made; and no video, where the
// simulated device makes a frame inside each query, in this process, which a
// real camera does on its own processor.
//
// The simulated device keeps at most 16 rules a preset, so the tick samples
// 16 rules and the frame's three series (19 lines); `BM_TrendThinDay` is the
// thinning of a full day of one series onto 800 columns.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QtCharts/QChartView>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "thermal/trend/TrendSampler.h"
#include "thermal/trend/TrendThin.h"
#include "thermal/trend/TrendWindow.h"
#include "TMVNetSDK.h"
#include "TMVSimControl.h"

namespace {

TMV_NET_HANDLE g_handle = nullptr;

int AddRules(TMV_NET_HANDLE handle, int count)
{
    int added = 0;
    for (int i = 0; i < count; ++i) {
        TMV_NET_TEMP_RULE rule;
        std::memset(&rule, 0, sizeof rule);
        rule.enable = 1;
        rule.ruleType = 2;
        rule.pointCount = 4;
        const int x = 400 + (i % 4) * 1900, y = 400 + (i / 4) * 1900;
        rule.points[0] = {x, y};
        rule.points[1] = {x + 1500, y};
        rule.points[2] = {x + 1500, y + 1500};
        rule.points[3] = {x, y + 1500};
        rule.condition.alarmRule = i % 3 == 0 ? 3 : 0;
        rule.condition.threshold = 60.0f;
        if (TMV_NET_AddTempRule(handle, &rule) == 0)
            ++added;
    }
    return added;
}

void NoFrame(TMV_NET_HANDLE, int32_t, TMV_NET_PREVIEW_FRAME *, void *) {}

// The thermal channel's live video at one frame a second, or none.
void SetVideo(bool on)
{
    static bool running = false;
    if (on == running)
        return;
    if (on) {
        TMVSim_SetFrameRate("127.0.0.11", 0, 1);
        const TMV_NET_PREVIEW_INFO info{0, 0, 2};
        running = TMV_NET_StartPreview_V2(g_handle, &info, NoFrame, nullptr) == 0;
    } else {
        TMV_NET_StopPreview(g_handle);
        running = false;
    }
}

void TrendTick(benchmark::State &state, bool paint)
{
    SetVideo(state.range(0) != 0);
    QElapsedTimer clock;
    int64_t sampleNs = 0, plotNs = 0, paintNs = 0;
    TrendWindow window(g_handle, 0);
    window.show();
    QApplication::processEvents();
    window.Start();
    TrendSampler *sampler = window.Sampler();
    sampler->SetClock([] { return TMVSim_ClockNowMs(); });
    // A few minutes of history first, as a window open for a while has.
    for (int i = 0; i < 300; ++i) {
        TMVSim_ClockStep(1000);
        sampler->SampleNow();
    }
    // The parts of a tick apart: the sampler (device queries, rings) and the
    // plot update, which the window otherwise runs on the Sampled signal.
    QObject::disconnect(sampler, SIGNAL(Sampled(qint64)), &window, nullptr);
    for (auto _ : state) {
        state.PauseTiming();
        TMVSim_ClockStep(1000);
        state.ResumeTiming();
        clock.start();
        sampler->SampleNow();
        sampleNs += clock.nsecsElapsed();
        clock.start();
        window.Refresh();
        plotNs += clock.nsecsElapsed();
        if (paint) {
            clock.start();
            window.View()->grab();
            paintNs += clock.nsecsElapsed();
        }
    }
    const double n = double(std::max<int64_t>(1, state.iterations())) * 1e3;
    state.counters["sample_us"] = double(sampleNs) / n;
    state.counters["plot_us"] = double(plotNs) / n;
    if (paint)
        state.counters["paint_us"] = double(paintNs) / n;
    state.counters["series"] = double(sampler->AllSeries().size());
    state.counters["failed"] = sampler->Status().isEmpty() ? 0 : 1;
}

void BM_TrendTick(benchmark::State &state)
{
    TrendTick(state, false);
}
BENCHMARK(BM_TrendTick)->ArgName("video")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

// The same with the chart painted at once, as the next frame of the screen.
void BM_TrendTickPainted(benchmark::State &state)
{
    TrendTick(state, true);
}
BENCHMARK(BM_TrendTickPainted)->ArgName("video")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

// The two parts of a tick apart: the device's answers, and the plot update.
void BM_TrendQueries(benchmark::State &state)
{
    SetVideo(state.range(0) != 0);
    std::vector<TMV_NET_RULE_TEMP> temps(32);
    const TMV_NET_TEMP_RULE_KEY key{0, 0, -1, -1};
    for (auto _ : state) {
        state.PauseTiming();
        TMVSim_ClockStep(1000);
        state.ResumeTiming();
        TMV_NET_TEMP_INFO frame;
        int32_t returned = 0;
        benchmark::DoNotOptimize(TMV_NET_QueryFrameTemp(g_handle, &frame));
        benchmark::DoNotOptimize(TMV_NET_QueryRuleTemp(g_handle, &key, temps.data(), 32, &returned));
    }
}
BENCHMARK(BM_TrendQueries)->ArgName("video")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_TrendPlotUpdate(benchmark::State &state)
{
    TrendWindow window(g_handle, 0);
    window.show();
    window.Start();
    TrendSampler *sampler = window.Sampler();
    sampler->SetClock([] { return TMVSim_ClockNowMs(); });
    for (int i = 0; i < 300; ++i) {
        TMVSim_ClockStep(1000);
        sampler->SampleNow();
    }
    for (auto _ : state)
        window.Refresh();
}
BENCHMARK(BM_TrendPlotUpdate)->Unit(benchmark::kMicrosecond);

void BM_TrendThinDay(benchmark::State &state)
{
    TrendRing ring;
    for (int i = 0; i < 86400; ++i)
        ring.Push(int64_t(i) * 1000, float(50 + (i % 600) / 10.0));
    for (auto _ : state)
        benchmark::DoNotOptimize(ThinForColumns(ring, 0, 86400 * 1000LL, 800));
}
BENCHMARK(BM_TrendThinDay)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (TMV_NET_Init() != 0)
        return 1;
    TMV_NET_LOGIN_INFO login;
    std::memset(&login, 0, sizeof login);
    std::strcpy(login.ip, "127.0.0.11");
    login.port = 80;
    std::strcpy(login.userName, "admin");
    std::strcpy(login.password, "sensor852");
    if (TMV_NET_Login(&login, &g_handle) != 0 || !g_handle)
        return 1;
    TMVSim_ClockPause();
    const int rules = AddRules(g_handle, 20);
    std::fprintf(stderr, "rules on the device: %d\n", rules);
    benchmark::RunSpecifiedBenchmarks();
    SetVideo(false);
    TMVSim_ClockResume();
    TMV_NET_Logout(g_handle);
    TMV_NET_Deinit();
    return 0;
}
