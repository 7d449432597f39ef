// What the imaging settings add to one 640x512 thermal frame: the frame as
// the channel renders it (ChannelRenderer) with every effect off, then with
// every effect on (flip, high gain clamp, manual span, brightness and
// contrast, 2D/3D noise reduction, detail enhancement, date/time and channel
// titles, laser reading, colour bar). The clock's text changes once a second,
// as on the device.
// Run: build/bench/bench_imaging

#include "camera/ChannelRenderer.h"
#include "camera/Palettes.h"

#include <benchmark/benchmark.h>

namespace {

sim::ChannelView baseView()
{
    sim::ChannelView v;
    v.view.panDeg = 240.0;  // the fire and the car in view
    v.view.tiltDeg = -2.0;
    v.thermal.palette = 4;
    return v;
}

sim::ChannelView everythingOn()
{
    sim::ChannelView v = baseView();
    sim::ThermalSettings &t = v.thermal;
    t.flip = sim::FlipMode::Both;
    t.rangeMinC = -20.0f;
    t.rangeMaxC = 150.0f;
    t.manualSpan = true;
    t.spanMinC = 0.0f;
    t.spanMaxC = 60.0f;
    t.brightness = 60;
    t.contrast = 70;
    t.denoise2D = 60;
    t.denoise3D = 60;
    t.detail = 70;
    sim::OsdSettings &osd = t.osd;
    osd.timeTitle = true;
    osd.timeBox.top = 16;
    osd.timeBox.left = 16;
    osd.channelTitle = true;
    osd.title = "Gate 3 North";
    osd.titleBox.top = 48;
    osd.titleBox.left = 16;
    osd.laser = true;
    osd.laserFontSize = 2;
    osd.laserBox.top = 80;
    osd.laserBox.left = 16;
    osd.colourBar = true;
    return v;
}

void render(benchmark::State &state, const sim::ChannelView &view)
{
    sim::ChannelRenderer renderer(true, 640, 512, 7);
    sim::Picture picture;
    int64_t timeUs = 5000000;
    for (auto _ : state) {
        renderer.render(view, timeUs, picture);
        benchmark::DoNotOptimize(picture.rgba.data());
        timeUs += 40000;
    }
    state.SetItemsProcessed(state.iterations() * 640 * 512);
}

void BM_Thermal640x512EffectsOff(benchmark::State &state) { render(state, baseView()); }
void BM_Thermal640x512EffectsOn(benchmark::State &state) { render(state, everythingOn()); }

// One group on at a time: 0 picture (flip, gain, span, tone, noise
// reduction), 1 detail enhancement, 2 OSD.
void BM_Thermal640x512OneGroup(benchmark::State &state)
{
    const sim::ChannelView on = everythingOn();
    sim::ChannelView v = baseView();
    switch (state.range(0)) {
    case 0:
        v.thermal = on.thermal;
        v.thermal.detail = 0;
        v.thermal.osd = sim::OsdSettings{};
        break;
    case 1:
        v.thermal.detail = on.thermal.detail;
        break;
    default:
        v.thermal.osd = on.thermal.osd;
        break;
    }
    render(state, v);
}

// While the shutter is closed the frame is a copy of the held one.
void BM_Thermal640x512ShutterClosed(benchmark::State &state)
{
    sim::ChannelView v = baseView();
    v.thermal.shutterFromUs = 0;
    sim::ChannelRenderer renderer(true, 640, 512, 7);
    sim::Picture picture;
    int64_t timeUs = 0;
    for (auto _ : state) {
        renderer.render(v, timeUs, picture);
        benchmark::DoNotOptimize(picture.rgba.data());
        timeUs = (timeUs + 40000) % sim::kShutterUs;
    }
}

}  // namespace

BENCHMARK(BM_Thermal640x512EffectsOff)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Thermal640x512EffectsOn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Thermal640x512OneGroup)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Thermal640x512ShutterClosed)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
