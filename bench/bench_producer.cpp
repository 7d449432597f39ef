// What one channel costs with one and with two viewers: every viewer of a
// channel shares its frames, so a second preview adds its callback and no
// synthesis. Runs on the simulated fleet with the clock stepped a frame per
// iteration, so both viewers see every frame.
// The head cases hold a one-viewer channel still or turning (a direction
// held on the PTZ head, as the client's "Right"): a moving head only changes
// the view each frame, so its synthesis should cost within 10% of the still.
// Run: build/bench/bench_producer
// Counters: synth_per_frame = frames synthesised per tick (1 whatever the
// viewers); synth_us_per_tick = synthesis CPU per tick; delivered = frames
// handed to callbacks per tick.

#include "base/SimClock.h"
#include "camera/FrameProducer.h"
#include "device/Device.h"
#include "device/Fleet.h"
#include "device/Session.h"
#include "ptz/PtzHead.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

void discardFrame(TMV_NET_HANDLE, int32_t, TMV_NET_PREVIEW_FRAME *frame, void *)
{
    benchmark::DoNotOptimize(frame->data[0]);
}

void viewers(benchmark::State &state, int channel)
{
    sim::Fleet &fleet = sim::Fleet::instance();
    fleet.init();
    sim::SimClock &clock = sim::SimClock::instance();
    clock.pause();
    const int count = int(state.range(0));
    std::vector<std::shared_ptr<sim::Session>> sessions;
    for (int i = 0; i < count; ++i) {
        TMV_NET_HANDLE handle = nullptr;
        if (fleet.login("127.0.0.11", 80, "admin", "sensor852", &handle) != 0) {
            state.SkipWithError("login failed");
            return;
        }
        sessions.push_back(fleet.session(handle));
        sessions.back()->startPreview(channel, discardFrame, nullptr);
    }
    sim::FrameProducer &producer = sessions.front()->device().producer(channel);
    clock.step(0);
    producer.resetStats();
    for (auto _ : state)
        clock.step(40000);  // one tick at 25 fps
    const sim::FrameProducer::Stats stats = producer.stats();
    const double ticks = double(state.iterations());
    state.counters["viewers"] = count;
    state.counters["synth_per_frame"] = double(stats.synthesised) / ticks;
    state.counters["synth_us_per_tick"] = double(stats.synthesisCpuNs) / 1000.0 / ticks;
    state.counters["delivered"] = double(stats.delivered) / ticks;
    for (auto &s : sessions)
        fleet.logout(s->handle());
    clock.resume();
}

void thermalViewers(benchmark::State &state) { viewers(state, 0); }
void visibleViewers(benchmark::State &state) { viewers(state, 1); }

// A fresh fleet on a stopped clock, logged in to the PTZ camera with a
// preview of `channel` open; null (and the benchmark skipped) on failure.
std::shared_ptr<sim::Session> previewOnStoppedClock(benchmark::State &state, int channel)
{
    sim::Fleet &fleet = sim::Fleet::instance();
    fleet.init();
    sim::SimClock::instance().pause();
    TMV_NET_HANDLE handle = nullptr;
    if (fleet.login("127.0.0.11", 80, "admin", "sensor852", &handle) != 0) {
        state.SkipWithError("login failed");
        return nullptr;
    }
    std::shared_ptr<sim::Session> session = fleet.session(handle);
    session->startPreview(channel, discardFrame, nullptr);
    return session;
}

// "Right" at speed 1, and the stop of every direction, on `channel`.
TMV_NET_PTZ_CONTROL turnRight(int channel)
{
    TMV_NET_PTZ_CONTROL c{};
    c.channel = channel;
    c.command = 3;
    c.speed = 1;
    return c;
}

TMV_NET_PTZ_CONTROL stopTurning(int channel)
{
    TMV_NET_PTZ_CONTROL c{};
    c.channel = channel;
    c.speed = 1;
    c.stop = 1;
    return c;
}

// Arg: 0 head still, 1 head turning right at speed 1 all along.
void head(benchmark::State &state, int channel)
{
    sim::Fleet &fleet = sim::Fleet::instance();
    sim::SimClock &clock = sim::SimClock::instance();
    std::shared_ptr<sim::Session> session = previewOnStoppedClock(state, channel);
    if (!session)
        return;
    const TMV_NET_HANDLE handle = session->handle();
    const bool moving = state.range(0) != 0;
    if (moving)
        session->device().head().control(turnRight(channel), clock.nowUs());
    sim::FrameProducer &producer = session->device().producer(channel);
    clock.step(0);
    producer.resetStats();
    for (auto _ : state)
        clock.step(40000);
    const sim::FrameProducer::Stats stats = producer.stats();
    const double ticks = double(state.iterations());
    state.counters["moving"] = moving ? 1 : 0;
    state.counters["synth_us_per_tick"] = double(stats.synthesisCpuNs) / 1000.0 / ticks;
    session->device().head().control(stopTurning(channel), clock.nowUs());
    fleet.logout(handle);
    clock.resume();
}

void thermalHead(benchmark::State &state) { head(state, 0); }
void visibleHead(benchmark::State &state) { head(state, 1); }

// Still and turning ticks interleaved one by one, so that load from other
// processes on the machine falls on both alike: synthesis CPU time per tick
// of each and their ratio.
void headInterleaved(benchmark::State &state, int channel)
{
    sim::Fleet &fleet = sim::Fleet::instance();
    sim::SimClock &clock = sim::SimClock::instance();
    std::shared_ptr<sim::Session> session = previewOnStoppedClock(state, channel);
    if (!session)
        return;
    const TMV_NET_HANDLE handle = session->handle();
    sim::PtzHead &head = session->device().head();
    sim::FrameProducer &producer = session->device().producer(channel);
    const TMV_NET_PTZ_CONTROL right = turnRight(channel);
    const TMV_NET_PTZ_CONTROL stop = stopTurning(channel);
    clock.step(0);
    int64_t stillNs = 0;
    int64_t movingNs = 0;
    for (auto _ : state) {
        head.control(stop, clock.nowUs());
        int64_t before = producer.stats().synthesisCpuNs;
        clock.step(40000);
        stillNs += producer.stats().synthesisCpuNs - before;
        head.control(right, clock.nowUs());
        before = producer.stats().synthesisCpuNs;
        clock.step(40000);
        movingNs += producer.stats().synthesisCpuNs - before;
    }
    const double ticks = double(state.iterations());
    state.counters["still_us"] = double(stillNs) / 1000.0 / ticks;
    state.counters["moving_us"] = double(movingNs) / 1000.0 / ticks;
    state.counters["moving_over_still"] = stillNs ? double(movingNs) / double(stillNs) : 0.0;
    head.control(stop, clock.nowUs());
    fleet.logout(handle);
    clock.resume();
}

void thermalHeadInterleaved(benchmark::State &state) { headInterleaved(state, 0); }
void visibleHeadInterleaved(benchmark::State &state) { headInterleaved(state, 1); }

}  // namespace

BENCHMARK(thermalViewers)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(visibleViewers)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(thermalHead)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(visibleHead)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(thermalHeadInterleaved)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(visibleHeadInterleaved)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
