#include "ptz/PtzMotion.h"

#include <algorithm>
#include <cmath>

namespace sim::ptzmotion {

double degreesPerSecond(int speed)
{
    return kDegPerSecPerStep * std::clamp(speed, kMinSpeed, kMaxSpeed);
}

double travelled(double degPerSec, double seconds)
{
    if (seconds <= 0)
        return 0;
    if (seconds < kRampSeconds)
        return degPerSec * seconds * seconds / (2 * kRampSeconds);
    return degPerSec * (seconds - kRampSeconds / 2);
}

double secondsToTravel(double degPerSec, double deg)
{
    if (deg <= 0 || degPerSec <= 0)
        return 0;
    const double rampDeg = degPerSec * kRampSeconds / 2;  // covered while ramping up
    if (deg < rampDeg)
        return std::sqrt(2 * deg * kRampSeconds / degPerSec);
    return deg / degPerSec + kRampSeconds / 2;
}

double wrapPan(double deg)
{
    deg = std::fmod(deg, 360.0);
    if (deg < 0)
        deg += 360.0;
    return deg >= 360.0 ? 0.0 : deg;  // -tiny + 360 rounds to 360
}

double panAfter(double fromDeg, int dir, double degPerSec, double seconds)
{
    return wrapPan(fromDeg + dir * travelled(degPerSec, seconds));
}

double tiltAfter(double fromDeg, int dir, double degPerSec, double seconds)
{
    return std::clamp(fromDeg + dir * travelled(degPerSec, seconds), kMinTiltDeg, kMaxTiltDeg);
}

double zoomAfter(double from, int dir, double seconds, double maxZoom)
{
    if (dir == 0 || seconds <= 0)
        return from;
    return std::clamp(from * std::exp2(dir * seconds / kZoomDoublingSeconds), 1.0, maxZoom);
}

bool directionAxes(int32_t command, int *panDir, int *tiltDir)
{
    // Indexed by command: up, down, left, right, up-left, up-right,
    // down-left, down-right.
    static constexpr int kPan[] = {0, 0, -1, 1, -1, 1, -1, 1};
    static constexpr int kTilt[] = {1, -1, 0, 0, 1, 1, -1, -1};
    if (command < 0 || command > 7)
        return false;
    *panDir = kPan[command];
    *tiltDir = kTilt[command];
    return true;
}

}  // namespace sim::ptzmotion
