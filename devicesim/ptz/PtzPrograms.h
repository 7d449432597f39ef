#pragma once
// The head's programs as plans (ptz/HeadProgram.h): pure functions from
// where the head stands, what the slots hold and the start time to the
// trajectory the head follows.
//
// - Move: one travel to the target at the top speed.
// - Tour: travel to the first stop; then, looping, wait its residence time
//   and travel on to the next stop, the last one back to the first. Travel
//   runs at the top speed, the short way round.
// - Area scan: travel to the start preset at the top speed; then, looping,
//   sweep to the stop preset in the scan's direction at the scan's speed and
//   back the opposite way. Equal pans at both ends sweep a full turn.
// - Pattern: travel to where recording started; then, looping, replay the
//   recorded commands at their offsets (each as the head runs it live,
//   ramp included) for the recorded length, and travel back to the start.
// - Rotation: turn at set rates until stopped (accurate tracking; a line
//   scan turns pan at its number's speed step).
//
// Threading model: free functions over values; safe from any thread.

#include "ptz/HeadProgram.h"
#include "ptz/PtzSlots.h"

#include <cstdint>
#include <vector>

namespace sim::ptzprograms {

struct Stop {
    Pose pose;
    int presetId = 0;
    double residenceSec = 0;
};

HeadProgram move(const Pose &from, const Pose &to, int presetId, int64_t startUs, double maxZoom);
// An empty `stops` gives an empty plan.
HeadProgram tour(const Pose &from, const std::vector<Stop> &stops, int64_t startUs, double maxZoom);
HeadProgram areaScan(const Pose &from, const Stop &start, const Stop &stop, int direction, double degPerSec,
                     int64_t startUs, double maxZoom);
HeadProgram pattern(const Pose &from, const Pattern &pattern, int64_t startUs, double maxZoom);
HeadProgram rotation(const Pose &from, double panRate, double tiltRate, int64_t startUs, double maxZoom);

}  // namespace sim::ptzprograms
