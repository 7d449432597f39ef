#pragma once
// How the head moves while a direction or a zoom is held: pure functions of
// the time since the command, so the head needs no thread and a frame at any
// simulation time sees exactly where the head is.
//
// Speed: the record's 1..8 turns pan and tilt at 7.5 degrees per second per
// step (1 = 7.5 deg/s, 8 = 60 deg/s); a value outside is clamped.
// Ramp: every start accelerates evenly from rest to that speed over
// kRampSeconds, so a move held t >= kRampSeconds covers
// speed * (t - kRampSeconds / 2): one second at speed 1 turns 6.75 degrees.
// Release stops at once. Zoom has no ramp: held, it doubles (or halves)
// every kZoomDoublingSeconds, within 1..maxZoom.
// Travel to a target (a preset, an accurate position, the legs of tours,
// patterns and scans) runs each axis at the given speed (the top speed,
// kMaxSpeed, unless a program sets its own) with the same ramp, and stops
// at once on arrival; zoom travels at the held zoom's rate. An axis that
// arrives first waits for the others.

#include <cstdint>

namespace sim::ptzmotion {

constexpr int kMinSpeed = 1;
constexpr int kMaxSpeed = 8;
constexpr double kDegPerSecPerStep = 7.5;
constexpr double kRampSeconds = 0.2;
constexpr double kZoomDoublingSeconds = 1.0;
constexpr double kMinTiltDeg = -90.0;
constexpr double kMaxTiltDeg = 90.0;
// The head's top speed: what travel to a target runs at.
constexpr double kTopDegPerSec = kDegPerSecPerStep * kMaxSpeed;

// The record's speed in degrees per second.
double degreesPerSecond(int speed);

// Degrees covered `seconds` after a start from rest at `degPerSec`.
double travelled(double degPerSec, double seconds);

// Seconds a start from rest at `degPerSec` takes to cover `deg` (>= 0):
// the inverse of travelled().
double secondsToTravel(double degPerSec, double deg);

// Pan in [0, 360).
double wrapPan(double deg);

// Where an axis is `seconds` after a start from `fromDeg`; `dir` is -1, 0 or
// +1. Pan wraps, tilt stops at its limits.
double panAfter(double fromDeg, int dir, double degPerSec, double seconds);
double tiltAfter(double fromDeg, int dir, double degPerSec, double seconds);

// The zoom `seconds` after a zoom in (+1) or out (-1) started at `from`.
double zoomAfter(double from, int dir, double seconds, double maxZoom);

// The axes a direction command 0..7 turns: pan -1 left / +1 right, tilt
// +1 up / -1 down. False for any other command.
bool directionAxes(int32_t command, int *panDir, int *tiltDir);

}  // namespace sim::ptzmotion
