#include "measure/Measure.h"

#include "camera/TempUnits.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {

double deciKelvinToCelsius(double value)
{
    return value / kTempScale - 273.15;
}

float reported(double celsius, TempUnit unit)
{
    return float(celsiusToUnit(celsius, unit));
}

void fillInfo(const SpanReading &r, int width, int height, TMV_NET_TEMP_INFO *info)
{
    info->maxTemp = float(deciKelvinToCelsius(r.max));
    info->minTemp = float(deciKelvinToCelsius(r.min));
    info->avgTemp = float(deciKelvinToCelsius(double(r.sum) / double(r.count)));
    info->maxX = pixelToPicture(r.maxX, width);
    info->maxY = pixelToPicture(r.maxY, height);
    info->minX = pixelToPicture(r.minX, width);
    info->minY = pixelToPicture(r.minY, height);
}

uint16_t pixel(const uint16_t *matrix, int width, int height, int x, int y)
{
    x = std::clamp(x, 0, width - 1);
    y = std::clamp(y, 0, height - 1);
    return matrix[size_t(y) * size_t(width) + size_t(x)];
}

}  // namespace

SpanReading readSpans(const uint16_t *matrix, int width, int height, const SpanList &spans)
{
    SpanReading r;
    if (!matrix)
        return r;
    for (const Span &s : spans) {
        if (s.y < 0 || s.y >= height || s.x0 < 0 || s.x1 >= width || s.x0 > s.x1)
            continue;
        const uint16_t *row = matrix + size_t(s.y) * size_t(width);
        // A branch-free pass the compiler can vectorise; positions are looked
        // up only when the span holds a new extreme.
        uint32_t sum = 0;
        uint16_t lo = 0xFFFF, hi = 0;
        for (int x = s.x0; x <= s.x1; ++x) {
            const uint16_t v = row[x];
            sum += v;
            lo = v < lo ? v : lo;
            hi = v > hi ? v : hi;
        }
        if (r.count == 0 || hi > r.max) {
            r.max = hi;
            r.maxY = s.y;
            r.maxX = int(std::find(row + s.x0, row + s.x1 + 1, hi) - row);
        }
        if (r.count == 0 || lo < r.min) {
            r.min = lo;
            r.minY = s.y;
            r.minX = int(std::find(row + s.x0, row + s.x1 + 1, lo) - row);
        }
        r.sum += sum;
        r.count += s.x1 - s.x0 + 1;
    }
    return r;
}

SpanList maskSpans(const std::vector<TMV_NET_TEMP_MASK> &masks, int width, int height)
{
    SpanList out;
    for (const TMV_NET_TEMP_MASK &m : masks) {
        if (!m.enable)
            continue;
        // The box of all four corners: drawn in any order, even unordered.
        TMV_NET_POINT lo = m.points[0], hi = m.points[0];
        for (const TMV_NET_POINT &p : m.points) {
            lo.x = std::min(lo.x, p.x);
            lo.y = std::min(lo.y, p.y);
            hi.x = std::max(hi.x, p.x);
            hi.y = std::max(hi.y, p.y);
        }
        out = uniteSpans(out, boxSpans(lo, hi, width, height));
    }
    return out;
}

namespace {

Target compileShape(int32_t type, const TMV_NET_POINT *points, int32_t count, const SpanList &masked, int width,
                    int height)
{
    Target t;
    t.spans = subtractSpans(shapeSpans(type, points, count, width, height), masked);
    if (!validShape(type, points, count))
        return t;
    if (type == kShapeCircle) {
        t.centreX = pictureToPixel(points[0].x, width);
        t.centreY = pictureToPixel(points[0].y, height);
        return t;
    }
    // The middle of the box the points span.
    int32_t x0 = points[0].x, x1 = x0, y0 = points[0].y, y1 = y0;
    for (int i = 1; i < count; ++i) {
        x0 = std::min(x0, points[i].x);
        x1 = std::max(x1, points[i].x);
        y0 = std::min(y0, points[i].y);
        y1 = std::max(y1, points[i].y);
    }
    t.centreX = pictureToPixel((x0 + x1) / 2, width);
    t.centreY = pictureToPixel((y0 + y1) / 2, height);
    return t;
}

}  // namespace

Target compileRule(const TMV_NET_TEMP_RULE &rule, const SpanList &masked, int width, int height)
{
    Target t = compileShape(rule.ruleType, rule.points, rule.pointCount, masked, width, height);
    t.envEnable = rule.envEnable != 0 && validEnv(rule.envParam);
    t.env = rule.envParam;
    return t;
}

Target compileRuleG1(const TMV_NET_TEMP_RULE_G1 &rule, const SpanList &masked, int width, int height)
{
    const TMV_NET_POINT points[2] = {rule.startPoint, rule.endPoint};
    return compileShape(rule.ruleType, points, rule.ruleType == kShapePoint ? 1 : 2, masked, width, height);
}

bool validEnv(const TMV_NET_ENV_PARAM &env)
{
    const float all[] = {env.atmosTemp, env.distance, env.emissivity, env.refTemp, env.atmosTrans};
    for (float v : all) {
        if (!std::isfinite(v))
            return false;
    }
    return env.emissivity > 0.0f && env.emissivity <= 1.0f && env.atmosTrans >= 0.0f && env.atmosTrans <= 1.0f &&
           env.distance >= 0.0f;
}

// The correction is a grey-body radiance balance with total (T^4) radiance:
// the camera sees W_app = tau * (e * W(T_obj) + (1 - e) * W(T_refl))
// + (1 - tau) * W(T_atm), W(T) = T^4 in kelvin, so
// T_obj = ((W_app - tau (1 - e) W_refl - (1 - tau) W_atm) / (tau e))^(1/4);
// tau is the given transmittance, or exp(-distance / 5 km) when it is 0. For a
// target warmer than its surroundings, a lower emissivity means more of what
// the camera sees is the target's own, weaker emission: it reads hotter.
TMV_NET_ENV_PARAM envInUnit(TMV_NET_ENV_PARAM celsiusEnv, TempUnit unit)
{
    celsiusEnv.atmosTemp = float(celsiusToUnit(celsiusEnv.atmosTemp, unit));
    celsiusEnv.refTemp = float(celsiusToUnit(celsiusEnv.refTemp, unit));
    return celsiusEnv;
}

double correctForEnvironment(double apparentC, const TMV_NET_ENV_PARAM &env, TempUnit unit)
{
    if (!validEnv(env))
        return apparentC;
    auto radiance = [](double celsius) {
        const double k = std::max(celsius + 273.15, 0.0);
        return k * k * k * k;
    };
    const double e = env.emissivity;
    const double tau = env.atmosTrans > 0.0f ? double(env.atmosTrans) : std::exp(-double(env.distance) / 5000.0);
    const double wApp = radiance(apparentC);
    const double wRefl = radiance(unitToCelsius(env.refTemp, unit));
    const double wAtm = radiance(unitToCelsius(env.atmosTemp, unit));
    const double wObj = (wApp - tau * (1.0 - e) * wRefl - (1.0 - tau) * wAtm) / (tau * e);
    return std::pow(std::max(wObj, 0.0), 0.25) - 273.15;
}

TMV_NET_TEMP_INFO measureFrame(const uint16_t *matrix, int width, int height, const SpanList &masked,
                               TempUnit unit)
{
    TMV_NET_TEMP_INFO info{};
    if (!matrix || width <= 0 || height <= 0)
        return info;
    SpanList frame;
    frame.reserve(size_t(height));
    for (int y = 0; y < height; ++y)
        frame.push_back({y, 0, width - 1});
    SpanReading r = readSpans(matrix, width, height, masked.empty() ? frame : subtractSpans(frame, masked));
    if (r.count == 0)
        r = readSpans(matrix, width, height, frame);
    fillInfo(r, width, height, &info);
    info.centerTemp = float(deciKelvinToCelsius(pixel(matrix, width, height, width / 2, height / 2)));
    info.maxTemp = reported(info.maxTemp, unit);
    info.minTemp = reported(info.minTemp, unit);
    info.avgTemp = reported(info.avgTemp, unit);
    info.centerTemp = reported(info.centerTemp, unit);
    return info;
}

namespace {

// A target's temperatures, corrected for `env` unless it is null.
bool measureIn(const Target &target, const TMV_NET_ENV_PARAM *env, const uint16_t *matrix, int width, int height,
               TempUnit unit, TMV_NET_TEMP_INFO *info)
{
    *info = TMV_NET_TEMP_INFO{};
    info->maxX = info->maxY = info->minX = info->minY = -1;
    if (!matrix || width <= 0 || height <= 0)
        return false;
    const SpanReading r = readSpans(matrix, width, height, target.spans);
    if (r.count == 0)
        return false;
    fillInfo(r, width, height, info);
    info->centerTemp = float(deciKelvinToCelsius(pixel(matrix, width, height, target.centreX, target.centreY)));
    float *temps[] = {&info->maxTemp, &info->minTemp, &info->avgTemp, &info->centerTemp};
    for (float *t : temps) {
        const double c = env ? correctForEnvironment(*t, *env, unit) : double(*t);
        *t = reported(c, unit);
    }
    return true;
}

}  // namespace

bool measureTarget(const Target &target, const uint16_t *matrix, int width, int height, TempUnit unit,
                   TMV_NET_TEMP_INFO *info)
{
    return measureIn(target, target.envEnable ? &target.env : nullptr, matrix, width, height, unit, info);
}

bool neutralEnv(const TMV_NET_ENV_PARAM &env)
{
    return env.emissivity == 1.0f && env.atmosTrans == 1.0f;
}

TMV_NET_TEMP_INFO measureFrameInEnvironment(const uint16_t *deciKelvin, int width, int height,
                                            const SpanList &masked, TempUnit unit, const TMV_NET_ENV_PARAM &env)
{
    if (neutralEnv(env))
        return measureFrame(deciKelvin, width, height, masked, unit);
    TMV_NET_TEMP_INFO info = measureFrame(deciKelvin, width, height, masked, TempUnit::Celsius);
    for (float *t : {&info.maxTemp, &info.minTemp, &info.avgTemp, &info.centerTemp})
        *t = float(celsiusToUnit(correctForEnvironment(*t, env, TempUnit::Celsius), unit));
    return info;
}

Target withDeviceEnvironment(Target target, const TMV_NET_ENV_PARAM &env, TempUnit unit)
{
    if (target.envEnable || neutralEnv(env))
        return target;
    // Kept in Celsius by the device; the rule measures in `unit`.
    target.envEnable = true;
    target.env = envInUnit(env, unit);
    return target;
}

bool measureTargetInEnvironment(const Target &target, const TMV_NET_ENV_PARAM &env, const uint16_t *matrix,
                                int width, int height, TempUnit unit, TMV_NET_TEMP_INFO *info)
{
    if (target.envEnable || neutralEnv(env))
        return measureTarget(target, matrix, width, height, unit, info);
    const TMV_NET_ENV_PARAM inUnit = envInUnit(env, unit);
    return measureIn(target, &inUnit, matrix, width, height, unit, info);
}

}  // namespace sim
