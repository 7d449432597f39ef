#pragma once
// Temperatures read off a frame's matrix (deci-kelvin, camera/TempUnits.h)
// over precomputed spans: frame statistics, rule temperatures, environment
// correction and the unit the device reports in.

#include "TMVNetSDK.h"
#include "camera/TempUnits.h"
#include "measure/Shapes.h"

#include <cstdint>
#include <vector>

namespace sim {

// Raw statistics of some pixels; count 0 means nothing was read.
struct SpanReading {
    int64_t count = 0;
    uint64_t sum = 0;
    uint16_t min = 0, max = 0;
    int minX = -1, minY = -1, maxX = -1, maxY = -1;  // first in row order
};

// `spans` must be normalised for a width x height frame; spans outside it
// are skipped.
SpanReading readSpans(const uint16_t *matrix, int width, int height, const SpanList &spans);

// What a rule measures, compiled once for one frame size.
struct Target {
    SpanList spans;               // the shape's pixels, masks already taken out
    int centreX = 0, centreY = 0; // pixel of the shape's centre reading
    bool envEnable = false;
    TMV_NET_ENV_PARAM env{};
};

// The masked pixels of the masks that are on.
SpanList maskSpans(const std::vector<TMV_NET_TEMP_MASK> &masks, int width, int height);
Target compileRule(const TMV_NET_TEMP_RULE &rule, const SpanList &masked, int width, int height);
Target compileRuleG1(const TMV_NET_TEMP_RULE_G1 &rule, const SpanList &masked, int width, int height);

// Whether environment parameters can be used: emissivity in (0, 1],
// transmittance in [0, 1] (0: estimated from the distance), distance >= 0,
// all finite.
bool validEnv(const TMV_NET_ENV_PARAM &env);

// The object temperature behind an apparent (black-body) temperature, both
// in Celsius, with the environment temperatures of `env` in `unit`.
double correctForEnvironment(double apparentC, const TMV_NET_ENV_PARAM &env, TempUnit unit);

// An environment the device keeps in Celsius with its two temperatures in
// `unit`, as records and rules carry them.
TMV_NET_ENV_PARAM envInUnit(TMV_NET_ENV_PARAM celsiusEnv, TempUnit unit);

// An environment that changes nothing (emissivity and transmittance 1):
// readings skip the correction, so they stay exact.
bool neutralEnv(const TMV_NET_ENV_PARAM &env);

// Whole frame minus the masked pixels (the whole frame when masks cover it
// all); the centre is the centre pixel. Positions in picture space.
TMV_NET_TEMP_INFO measureFrame(const uint16_t *matrix, int width, int height, const SpanList &masked,
                               TempUnit unit);
// A rule's temperatures; false when masks leave nothing of it (the info is
// then zero with positions -1).
bool measureTarget(const Target &target, const uint16_t *matrix, int width, int height, TempUnit unit,
                   TMV_NET_TEMP_INFO *info);

// The device's environment (emissivity, transmittance, reflected and
// atmospheric temperature, kept in Celsius) as every reading applies it, so
// the queries and the alarm engine judge the same temperatures: the frame's
// statistics corrected, and a rule without an environment of its own taking
// the device's. A neutral environment is skipped.
TMV_NET_TEMP_INFO measureFrameInEnvironment(const uint16_t *deciKelvin, int width, int height,
                                            const SpanList &masked, TempUnit unit, const TMV_NET_ENV_PARAM &env);
Target withDeviceEnvironment(Target target, const TMV_NET_ENV_PARAM &env, TempUnit unit);
// measureTarget of withDeviceEnvironment(target, env, unit), without copying
// the target's spans: for targets compiled once and read on every frame.
bool measureTargetInEnvironment(const Target &target, const TMV_NET_ENV_PARAM &env, const uint16_t *matrix,
                                int width, int height, TempUnit unit, TMV_NET_TEMP_INFO *info);

}  // namespace sim
