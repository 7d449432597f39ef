#pragma once
// A planned trajectory of the head: a list of segments (hold a pose, travel
// to a pose, turn at set rates) laid out from a start time, optionally
// looping over its tail. Where the head is, whether it moves and which
// preset it stands at are pure functions of the simulation time, so a frame
// at any moment sees the head where the plan puts it, with no thread
// driving it. Tours, patterns, scans, moves to a preset or to an accurate
// position and continuous turns are all such plans (ptz/PtzPrograms.h
// builds them).
//
// Looking up a moment is a binary search over the segments' start offsets
// and a few arithmetic operations; nothing allocates after the plan is
// built.
//
// Threading model: a plain value. Building mutates it and is not
// thread-safe; a built plan is read-only and its const members may be
// called from any thread. PtzHead keeps its running plan under its own
// mutex.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace sim {

// Lenses a head carries at most; the PTZ camera has two.
constexpr size_t kMaxLenses = 4;

struct Pose {
    double panDeg = 0;   // [0, 360)
    double tiltDeg = 0;  // [-90, 90]
    std::array<double, kMaxLenses> zoom{{1, 1, 1, 1}};
};

struct Segment {
    enum class Kind { Hold, Travel, Turn };
    Kind kind = Kind::Hold;
    // Length in seconds; HUGE_VAL for one that never ends.
    double seconds = 0;
    // Hold: the pose held. Travel: the start. Turn: pan and tilt where the
    // turn started (turnAgeSec before this segment), each zoom where the zoom
    // started (zoomAgeSec before).
    Pose from;
    // Travel: the target, reached after panDeg of pan (signed, any size: a
    // scan may go the long way round) and tiltDeg of tilt at degPerSec.
    Pose to;
    double panDeg = 0;
    double tiltDeg = 0;
    double degPerSec = 0;
    double zoomSec = 0;  // how long its zoom takes
    // Turn: signed rates in degrees per second (ramped as PtzMotion.h), and
    // a zoom held in (+1) or out (-1).
    double panRate = 0;
    double tiltRate = 0;
    double turnAgeSec = 0;
    int zoomDir = 0;
    double zoomAgeSec = 0;
    // Hold: the preset the head stands at during it; Travel: the preset it
    // reaches at its end. 0 for none.
    int presetId = 0;
};

class HeadProgram {
public:
    // A plan starting at `startUs`; `maxZoom` bounds a held zoom.
    HeadProgram(int64_t startUs, double maxZoom);

    // Appends a segment (building only).
    void add(const Segment &segment);
    // The segments added from now on repeat for ever once reached (building
    // only). A loop of zero length holds its end.
    void loopFromHere();

    int64_t startUs() const { return startUs_; }
    bool empty() const { return segments_.empty(); }
    // When a plan without a loop ends: the head then holds the last pose.
    // INT64_MAX for a plan that loops or never ends.
    int64_t endUs() const;

    Pose poseAt(int64_t timeUs) const;
    bool movingAt(int64_t timeUs) const;
    // The preset the head stands at, 0 while it travels or turns.
    int presetAt(int64_t timeUs) const;

private:
    // Segment index and the seconds into it at `timeUs`.
    size_t locate(int64_t timeUs, double *seconds) const;
    Pose poseIn(const Segment &s, double seconds) const;

    int64_t startUs_;
    double maxZoom_;
    std::vector<Segment> segments_;
    std::vector<double> offsets_;  // start of each segment, seconds from startUs_
    double totalSec_ = 0;          // sum of every segment's length
    size_t loopFrom_ = SIZE_MAX;   // first looping segment, SIZE_MAX for none
};

// Pure pieces of a plan.
namespace headplan {

// Shortest signed pan from `fromDeg` to `toDeg`, in (-180, 180].
double shortestPan(double fromDeg, double toDeg);
// A travel from `from` to `to` at `degPerSec`: pan the short way round when
// `panDir` is 0, else in that direction (+1 increasing pan), a full turn
// when the pans are equal. Every lens's zoom travels too.
Segment travel(const Pose &from, const Pose &to, double degPerSec, int panDir, int presetId = 0);
// Holding `pose` for `seconds`.
Segment hold(const Pose &pose, double seconds, int presetId = 0);

}  // namespace headplan

}  // namespace sim
