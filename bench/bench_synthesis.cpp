// Cost of synthesising one frame of each channel kind on one core.
// Run: build-*/bench/bench_synthesis [--benchmark_filter=Thermal]

#include "camera/FrameSource.h"
#include "world/World.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

std::shared_ptr<const sim::World> world()
{
    return sim::World::shared(1);
}

// The view pans slowly and time advances a frame each iteration, so the
// row cache and the colour table see what a live stream gives them.
void thermal(benchmark::State &state, int width, int height, sim::View view)
{
    sim::FrameSource source(world());
    sim::ThermalSettings settings;
    settings.palette = 4;
    std::vector<uint16_t> temperature(size_t(width) * height);
    std::vector<uint8_t> rgba(size_t(width) * height * 4);
    double t = 5.0;
    for (auto _ : state) {
        source.renderThermal(view, settings, t, width, height, temperature.data(), rgba.data());
        benchmark::DoNotOptimize(rgba.data());
        t += 0.04;
        view.panDeg += 0.05;
    }
    state.SetItemsProcessed(state.iterations() * width * height);
}

void visible(benchmark::State &state, int width, int height, sim::View view)
{
    sim::FrameSource source(world());
    std::vector<uint8_t> rgba(size_t(width) * height * 4);
    double t = 5.0;
    for (auto _ : state) {
        source.renderVisible(view, t, width, height, rgba.data());
        benchmark::DoNotOptimize(rgba.data());
        t += 0.04;
        view.panDeg += 0.05;
    }
    state.SetItemsProcessed(state.iterations() * width * height);
}

sim::View frontView(double zoom = 1.0)
{
    sim::View v;
    v.panDeg = 10.0;
    v.tiltDeg = -5.0;
    v.zoom = zoom;
    return v;
}

void BM_Thermal640x512(benchmark::State &state) { thermal(state, 640, 512, frontView()); }
void BM_Thermal640x512Zoom8(benchmark::State &state) { thermal(state, 640, 512, frontView(8.0)); }
void BM_Thermal1920x1080(benchmark::State &state) { thermal(state, 1920, 1080, frontView()); }
void BM_Visible1920x1080(benchmark::State &state) { visible(state, 1920, 1080, frontView()); }
void BM_PanoramicThermal2880x480(benchmark::State &state)
{
    thermal(state, 2880, 480, sim::View::panoramic());
}

void BM_WorldConstruction(benchmark::State &state)
{
    for (auto _ : state) {
        sim::World w(7);
        benchmark::DoNotOptimize(w.temperatureRow(0));
    }
}

}  // namespace

BENCHMARK(BM_Thermal640x512)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Thermal640x512Zoom8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Thermal1920x1080)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Visible1920x1080)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PanoramicThermal2880x480)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WorldConstruction)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
