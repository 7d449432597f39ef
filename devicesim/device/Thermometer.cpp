#include "device/Thermometer.h"

#include "base/Status.h"
#include "camera/FrameProducer.h"
#include "camera/TempUnits.h"
#include "device/Device.h"
#include "measure/Measure.h"
#include "measure/RuleSet.h"
#include "ptz/PtzHead.h"
#include "settings/Settings.h"

namespace sim {

namespace {

// The thermal frame of now, or null when the device cannot measure.
FramePtr measurableFrame(const Device &device)
{
    if (!device.settings().measuring() || !device.validChannel(device.profile().thermalChannel))
        return nullptr;
    FramePtr frame = device.producer(device.profile().thermalChannel).frameNow();
    if (!frame || !frame->thermal())
        return nullptr;
    return frame;
}

TMV_NET_RULE_TEMP reading(int32_t preset, int32_t id, int32_t type, const Target &target, const Picture &frame,
                          TempUnit unit)
{
    TMV_NET_RULE_TEMP r{};
    r.presetId = preset;
    r.ruleId = id;
    r.ruleType = type;
    r.unit = int32_t(unit);
    measureTarget(target, frame.temperature.data(), frame.width, frame.height, unit, &r.temp);
    return r;
}

}  // namespace

int32_t frameReading(const Device &device, TMV_NET_TEMP_INFO *info)
{
    FramePtr frame = measurableFrame(device);
    if (!frame)
        return kFailed;
    const int32_t preset = device.rules().tiered() ? 0 : device.head().currentPreset();
    const SpanList masked = maskSpans(device.rules().activeMasks(preset), frame->width, frame->height);
    *info = measureFrameInEnvironment(frame->temperature.data(), frame->width, frame->height, masked,
                                      device.settings().tempUnit(), device.settings().env());
    return kOk;
}

int32_t pointReading(const Device &device, const TMV_NET_POINT &point, float *temp)
{
    if (!validShape(kShapePoint, &point, 1))
        return kWrongParam;
    FramePtr frame = measurableFrame(device);
    if (!frame)
        return kFailed;
    const int x = pictureToPixel(point.x, frame->width), y = pictureToPixel(point.y, frame->height);
    double c = deciKelvinToC(frame->temperature[size_t(y) * size_t(frame->width) + size_t(x)]);
    const TMV_NET_ENV_PARAM env = device.settings().env();
    if (!neutralEnv(env))
        c = correctForEnvironment(c, env, TempUnit::Celsius);
    *temp = float(celsiusToUnit(c, device.settings().tempUnit()));
    return kOk;
}

int32_t ruleReadings(const Device &device, const TMV_NET_TEMP_RULE_KEY &key, std::vector<TMV_NET_RULE_TEMP> *out)
{
    out->clear();
    const RuleSet &rules = device.rules();
    // Which rules exist is answered before whether they can be measured.
    if (key.ruleId != -1 && rules.ruleCount(key) == 0)
        return kWrongParam;
    FramePtr frame = measurableFrame(device);
    if (!frame)
        return kFailed;
    const TempUnit unit = device.settings().tempUnit();
    const TMV_NET_ENV_PARAM env = device.settings().env();
    const int w = frame->width, h = frame->height;

    if (rules.tiered()) {
        std::vector<TMV_NET_TEMP_RULE_G1> selected;
        rules.queryRulesG1(key, &selected);
        const SpanList masked = maskSpans(rules.activeMasks(0), w, h);
        for (const TMV_NET_TEMP_RULE_G1 &r : selected)
            out->push_back(reading(0, r.ruleId, r.ruleType,
                                   withDeviceEnvironment(compileRuleG1(r, masked, w, h), env, unit), *frame, unit));
        return kOk;
    }

    const int32_t preset = device.head().currentPreset();
    std::vector<TMV_NET_TEMP_RULE> selected;
    rules.queryRules(key, &selected);
    const SpanList masked = maskSpans(rules.activeMasks(preset), w, h);
    for (const TMV_NET_TEMP_RULE &r : selected) {
        if (r.presetId != 0 && r.presetId != preset)
            continue;
        out->push_back(reading(r.presetId, r.ruleId, r.ruleType,
                               withDeviceEnvironment(compileRule(r, masked, w, h), env, unit), *frame, unit));
    }
    if (key.ruleId != -1 && out->empty())
        return kFailed;
    return kOk;
}

}  // namespace sim
