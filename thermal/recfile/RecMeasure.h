#ifndef RECMEASURE_H
#define RECMEASURE_H

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "measure/Measure.h"
#include "thermal/recfile/RecFile.h"

// Measurements on a recording with the device's own measurement code: a
// shape is compiled to pixels and read as the device reads a rule of the
// same points, corrected for the environment the recording was made in and
// reported in its unit. So a shape on the replay reads what the rule read
// live.
namespace RecMeasure {

// A shape as a rule holds it: type 0 point, 1 line, 2 rectangle (4
// corners), 3 circle, 4 polygon; points in the 0..8191 picture space.
struct Shape
{
    int type = 0;
    std::vector<TMV_NET_POINT> points;
};

struct Reading
{
    bool valid = false;
    float max = 0.0f;
    float min = 0.0f;
    float avg = 0.0f;
};

// The recording's environment as the device keeps it (Celsius).
TMV_NET_ENV_PARAM CelsiusEnv(const RecInfo &info);

// The shape's pixels on the recording's frames; empty spans for a shape
// the device would refuse.
sim::Target Compile(const Shape &shape, const RecInfo &info);

Reading Measure(const sim::Target &target, const RecInfo &info, const uint16_t *matrix);

// One pixel's temperature in the recording's unit, as the device's point
// reading gives it.
float PixelTemperature(uint16_t value, const RecInfo &info);

// Every shape on every frame of the recording, one pass: out[shape][frame].
// `progress` (may be empty) hears the frames done and may stop the pass by
// returning false. False, with the reason, when a frame cannot be read or
// the pass was stopped.
bool MeasureAll(RecReader &reader, const std::vector<sim::Target> &targets,
                std::vector<std::vector<Reading>> *out, const std::function<bool(int)> &progress,
                std::string *error);

} // namespace RecMeasure

#endif // RECMEASURE_H
