// Cost of the device's measurement per frame at 640x512 on one core: the
// frame statistics alone, and 20 rules of mixed shapes (rectangles, circles,
// 8-point polygons) with 4 masks, with the shapes compiled to spans once (as
// a rule set that has not changed), compiled every frame, and taken from the
// rule set's compiled shapes as the alarm engine does.
// Run: build-*/bench/bench_measure

#include "camera/FrameSource.h"
#include "measure/Measure.h"
#include "measure/RuleSet.h"
#include "measure/Shapes.h"
#include "world/World.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 512;

// A live thermal frame of the world, as 127.0.0.11 shows it.
const std::vector<uint16_t> &frame()
{
    static const std::vector<uint16_t> matrix = [] {
        sim::FrameSource source(sim::World::shared(7));
        sim::View view;
        view.panDeg = 45;
        view.tiltDeg = -2;
        view.hfovDeg = 50;
        sim::ThermalSettings settings;
        settings.palette = 4;
        std::vector<uint16_t> temperature(size_t(kWidth) * kHeight);
        std::vector<uint8_t> rgba(size_t(kWidth) * kHeight * 4);
        source.renderThermal(view, settings, 5.0, kWidth, kHeight, temperature.data(), rgba.data());
        return temperature;
    }();
    return matrix;
}

// 20 rules spread over the picture: 7 rectangles, 7 circles, 6 octagon-ish
// 8-point polygons, each about a tenth of the picture wide.
std::vector<TMV_NET_TEMP_RULE> rules()
{
    std::vector<TMV_NET_TEMP_RULE> out;
    for (int i = 0; i < 20; ++i) {
        TMV_NET_TEMP_RULE r{};
        r.enable = 1;
        const int32_t cx = 700 + (i % 5) * 1650, cy = 900 + (i / 5) * 2000, half = 450 + (i % 3) * 150;
        if (i % 3 == 0) {
            r.ruleType = sim::kShapeArea;
            r.pointCount = 4;
            r.points[0] = {cx - half, cy - half};
            r.points[1] = {cx + half, cy - half};
            r.points[2] = {cx + half, cy + half};
            r.points[3] = {cx - half, cy + half};
        } else if (i % 3 == 1) {
            r.ruleType = sim::kShapeCircle;
            r.pointCount = 2;
            r.points[0] = {cx, cy};
            r.points[1] = {cx + half, cy};
        } else {
            r.ruleType = sim::kShapePolygon;
            r.pointCount = 8;
            for (int k = 0; k < 8; ++k) {
                const double a = k * M_PI / 4 + 0.2;
                r.points[k] = {int32_t(cx + half * std::cos(a)), int32_t(cy + half * std::sin(a) * (k % 2 ? 0.6 : 1.0))};
            }
        }
        r.envEnable = i % 2;
        r.envParam = TMV_NET_ENV_PARAM{20.0f, 25.0f, 0.9f, 20.0f, 0.98f};
        out.push_back(r);
    }
    return out;
}

std::vector<TMV_NET_TEMP_MASK> masks()
{
    std::vector<TMV_NET_TEMP_MASK> out;
    for (int i = 0; i < 4; ++i) {
        TMV_NET_TEMP_MASK m{};
        m.enable = 1;
        const int32_t x = 400 + i * 2000, y = 600 + i * 1800;
        m.points[0] = {x, y};
        m.points[1] = {x + 900, y};
        m.points[2] = {x + 900, y + 700};
        m.points[3] = {x, y + 700};
        out.push_back(m);
    }
    return out;
}

void FrameStatistics(benchmark::State &state)
{
    const std::vector<uint16_t> &matrix = frame();
    for (auto _ : state) {
        TMV_NET_TEMP_INFO info = sim::measureFrame(matrix.data(), kWidth, kHeight, {}, sim::TempUnit::Celsius);
        benchmark::DoNotOptimize(info);
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(FrameStatistics)->Unit(benchmark::kMicrosecond);

// Frame statistics plus every rule, masks out: what one frame of the alarm
// engine costs once the shapes are spans.
void Rules20Masks4(benchmark::State &state)
{
    const std::vector<uint16_t> &matrix = frame();
    const sim::SpanList masked = sim::maskSpans(masks(), kWidth, kHeight);
    std::vector<sim::Target> targets;
    int64_t pixels = 0;
    for (const TMV_NET_TEMP_RULE &r : rules()) {
        targets.push_back(sim::compileRule(r, masked, kWidth, kHeight));
        pixels += sim::spanPixels(targets.back().spans);
    }
    for (auto _ : state) {
        TMV_NET_TEMP_INFO info = sim::measureFrame(matrix.data(), kWidth, kHeight, masked, sim::TempUnit::Celsius);
        benchmark::DoNotOptimize(info);
        for (const sim::Target &t : targets) {
            sim::measureTarget(t, matrix.data(), kWidth, kHeight, sim::TempUnit::Celsius, &info);
            benchmark::DoNotOptimize(info);
        }
    }
    state.counters["rulePixels"] = double(pixels);
}
BENCHMARK(Rules20Masks4)->Unit(benchmark::kMicrosecond);

// The same with the shapes compiled every frame, as a query does today.
void Rules20Masks4Compiled(benchmark::State &state)
{
    const std::vector<uint16_t> &matrix = frame();
    const std::vector<TMV_NET_TEMP_RULE> ruleList = rules();
    const std::vector<TMV_NET_TEMP_MASK> maskList = masks();
    for (auto _ : state) {
        const sim::SpanList masked = sim::maskSpans(maskList, kWidth, kHeight);
        TMV_NET_TEMP_INFO info = sim::measureFrame(matrix.data(), kWidth, kHeight, masked, sim::TempUnit::Celsius);
        benchmark::DoNotOptimize(info);
        for (const TMV_NET_TEMP_RULE &r : ruleList) {
            sim::measureTarget(sim::compileRule(r, masked, kWidth, kHeight), matrix.data(), kWidth, kHeight,
                               sim::TempUnit::Celsius, &info);
            benchmark::DoNotOptimize(info);
        }
    }
}
BENCHMARK(Rules20Masks4Compiled)->Unit(benchmark::kMicrosecond);

// The alarm engine's frame: the shapes from the rule set (unchanged, so
// compiled once), measured in a neutral device environment. A preset holds
// 16 rules, so the 20 are split between the whole frame and preset 1.
void Rules20Masks4RuleSet(benchmark::State &state)
{
    const std::vector<uint16_t> &matrix = frame();
    sim::RuleSet set;
    std::vector<TMV_NET_TEMP_RULE> list = rules();
    for (size_t i = 0; i < list.size(); ++i) {
        list[i].presetId = int32_t(i % 2);
        set.addRule(list[i]);
    }
    for (const TMV_NET_TEMP_MASK &m : masks())
        set.addMask(m);
    const TMV_NET_ENV_PARAM neutral{20.0f, 0.0f, 1.0f, 20.0f, 1.0f};
    for (auto _ : state) {
        const std::shared_ptr<const sim::CompiledRules> shapes = set.compiled(1, kWidth, kHeight);
        TMV_NET_TEMP_INFO info =
            sim::measureFrame(matrix.data(), kWidth, kHeight, shapes->masked, sim::TempUnit::Celsius);
        benchmark::DoNotOptimize(info);
        for (const sim::CompiledRule &c : shapes->rules) {
            sim::measureTargetInEnvironment(c.target, neutral, matrix.data(), kWidth, kHeight, sim::TempUnit::Celsius,
                                            &info);
            benchmark::DoNotOptimize(info);
        }
    }
    // 19: the set refuses the one shape above that leaves the picture (the
    // other benchmarks compile it to no pixels).
    state.counters["rules"] = double(set.compiled(1, kWidth, kHeight)->rules.size());
}
BENCHMARK(Rules20Masks4RuleSet)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
