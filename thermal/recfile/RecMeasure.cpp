#include "thermal/recfile/RecMeasure.h"

#include "camera/TempUnits.h"

#include <algorithm>

namespace RecMeasure {

TMV_NET_ENV_PARAM CelsiusEnv(const RecInfo &info)
{
    // Tags hold the environment as the device reported it, in its unit.
    TMV_NET_ENV_PARAM env = info.env;
    const sim::TempUnit unit = sim::TempUnit(info.unit);
    env.refTemp = float(sim::unitToCelsius(env.refTemp, unit));
    env.atmosTemp = float(sim::unitToCelsius(env.atmosTemp, unit));
    return env;
}

sim::Target Compile(const Shape &shape, const RecInfo &info)
{
    TMV_NET_TEMP_RULE rule{};
    rule.enable = 1;
    rule.ruleType = shape.type;
    const size_t count = std::min(shape.points.size(), sizeof rule.points / sizeof rule.points[0]);
    for (size_t i = 0; i < count; ++i)
        rule.points[i] = shape.points[i];
    rule.pointCount = int32_t(count);
    return sim::compileRule(rule, sim::SpanList(), info.width, info.height);
}

Reading Measure(const sim::Target &target, const RecInfo &info, const uint16_t *matrix)
{
    Reading reading;
    TMV_NET_TEMP_INFO temps{};
    if (target.spans.empty()
        || !sim::measureTargetInEnvironment(target, CelsiusEnv(info), matrix, info.width, info.height,
                                            sim::TempUnit(info.unit), &temps))
        return reading;
    reading.valid = true;
    reading.max = temps.maxTemp;
    reading.min = temps.minTemp;
    reading.avg = temps.avgTemp;
    return reading;
}

float PixelTemperature(uint16_t value, const RecInfo &info)
{
    double c = sim::deciKelvinToC(value);
    const TMV_NET_ENV_PARAM env = CelsiusEnv(info);
    if (!sim::neutralEnv(env))
        c = sim::correctForEnvironment(c, env, sim::TempUnit::Celsius);
    return float(sim::celsiusToUnit(c, sim::TempUnit(info.unit)));
}

bool MeasureAll(RecReader &reader, const std::vector<sim::Target> &targets,
                std::vector<std::vector<Reading>> *out, const std::function<bool(int)> &progress,
                std::string *error)
{
    const int frames = reader.FrameCount();
    out->assign(targets.size(), std::vector<Reading>(size_t(frames)));
    std::vector<uint16_t> matrix;
    for (int f = 0; f < frames; ++f) {
        if (!reader.ReadFrame(f, &matrix, error))
            return false;
        for (size_t s = 0; s < targets.size(); ++s)
            (*out)[s][size_t(f)] = Measure(targets[s], reader.Info(), matrix.data());
        if (progress && !progress(f + 1)) {
            if (error)
                *error = "stopped";
            return false;
        }
    }
    return true;
}

} // namespace RecMeasure
