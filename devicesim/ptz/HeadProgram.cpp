#include "ptz/HeadProgram.h"

#include "ptz/PtzMotion.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace pm = ptzmotion;

namespace {

// Seconds the zoom of a travel takes: the lens that changes most, at the
// held zoom's rate.
double zoomSeconds(const Pose &from, const Pose &to)
{
    double most = 0;
    for (size_t c = 0; c < kMaxLenses; ++c)
        most = std::max(most, std::fabs(std::log2(to.zoom[c] / from.zoom[c])));
    return most * pm::kZoomDoublingSeconds;
}

// Covered of `total` degrees (signed) `seconds` after a start at `degPerSec`.
double along(double total, double degPerSec, double seconds)
{
    const double covered = std::min(std::fabs(total), pm::travelled(degPerSec, seconds));
    return total < 0 ? -covered : covered;
}

}  // namespace

HeadProgram::HeadProgram(int64_t startUs, double maxZoom) : startUs_(startUs), maxZoom_(maxZoom) {}

void HeadProgram::add(const Segment &segment)
{
    segments_.push_back(segment);
    offsets_.push_back(totalSec_);
    totalSec_ += segment.seconds;
}

void HeadProgram::loopFromHere()
{
    loopFrom_ = segments_.size();
}

int64_t HeadProgram::endUs() const
{
    if (loopFrom_ < segments_.size() || !std::isfinite(totalSec_))
        return INT64_MAX;
    return startUs_ + int64_t(std::llround(totalSec_ * 1e6));
}

size_t HeadProgram::locate(int64_t timeUs, double *seconds) const
{
    double s = std::max(0.0, double(timeUs - startUs_) / 1e6);
    const size_t last = segments_.size() - 1;
    if (s >= totalSec_) {
        const double onceSec = loopFrom_ <= last ? offsets_[loopFrom_] : totalSec_;
        const double loopSec = totalSec_ - onceSec;
        if (loopFrom_ > last || !(loopSec > 0)) {
            *seconds = segments_[last].seconds;  // the plan is over: its last pose stays
            return last;
        }
        s = onceSec + std::fmod(s - onceSec, loopSec);
    }
    // The last segment starting at or before s.
    const size_t i = size_t(std::upper_bound(offsets_.begin(), offsets_.end(), s) - offsets_.begin()) - 1;
    *seconds = s - offsets_[i];
    return i;
}

Pose HeadProgram::poseIn(const Segment &g, double s) const
{
    switch (g.kind) {
    case Segment::Kind::Hold:
        return g.from;
    case Segment::Kind::Travel: {
        if (s >= g.seconds)
            return g.to;
        Pose p = g.from;
        p.panDeg = pm::wrapPan(g.from.panDeg + along(g.panDeg, g.degPerSec, s));
        p.tiltDeg = g.from.tiltDeg + along(g.tiltDeg, g.degPerSec, s);
        const double part = g.zoomSec > 0 ? std::min(1.0, s / g.zoomSec) : 1.0;
        for (size_t c = 0; c < kMaxLenses; ++c)
            if (g.to.zoom[c] != g.from.zoom[c])
                p.zoom[c] = g.from.zoom[c] * std::pow(g.to.zoom[c] / g.from.zoom[c], part);
        return p;
    }
    case Segment::Kind::Turn: {
        Pose p = g.from;
        const double t = s + g.turnAgeSec;
        p.panDeg = pm::wrapPan(g.from.panDeg + pm::travelled(g.panRate, t));
        p.tiltDeg = std::clamp(g.from.tiltDeg + pm::travelled(g.tiltRate, t), pm::kMinTiltDeg, pm::kMaxTiltDeg);
        for (size_t c = 0; c < kMaxLenses; ++c)
            p.zoom[c] = pm::zoomAfter(g.from.zoom[c], g.zoomDir, s + g.zoomAgeSec, maxZoom_);
        return p;
    }
    }
    return g.from;
}

Pose HeadProgram::poseAt(int64_t timeUs) const
{
    if (segments_.empty())
        return Pose{};
    double s = 0;
    const size_t i = locate(timeUs, &s);
    return poseIn(segments_[i], s);
}

bool HeadProgram::movingAt(int64_t timeUs) const
{
    if (segments_.empty() || timeUs < startUs_)
        return false;
    double s = 0;
    const Segment &g = segments_[locate(timeUs, &s)];
    switch (g.kind) {
    case Segment::Kind::Hold:
        return false;
    case Segment::Kind::Travel:
        return s < g.seconds;
    case Segment::Kind::Turn:
        return s < g.seconds && (g.panRate != 0 || g.tiltRate != 0 || g.zoomDir != 0);
    }
    return false;
}

int HeadProgram::presetAt(int64_t timeUs) const
{
    if (segments_.empty())
        return 0;
    double s = 0;
    const Segment &g = segments_[locate(timeUs, &s)];
    if (g.kind == Segment::Kind::Hold || (g.kind == Segment::Kind::Travel && s >= g.seconds))
        return g.presetId;
    return 0;
}

namespace headplan {

double shortestPan(double fromDeg, double toDeg)
{
    double d = std::fmod(toDeg - fromDeg, 360.0);
    if (d > 180.0)
        d -= 360.0;
    else if (d <= -180.0)
        d += 360.0;
    return d;
}

Segment travel(const Pose &from, const Pose &to, double degPerSec, int panDir, int presetId)
{
    Segment g;
    g.kind = Segment::Kind::Travel;
    g.from = from;
    g.to = to;
    g.degPerSec = degPerSec;
    g.presetId = presetId;
    if (panDir == 0) {
        g.panDeg = shortestPan(from.panDeg, to.panDeg);
    } else {
        double d = pm::wrapPan((to.panDeg - from.panDeg) * panDir);
        if (d == 0)
            d = 360.0;  // the same pan both ends: once round
        g.panDeg = d * panDir;
    }
    g.tiltDeg = to.tiltDeg - from.tiltDeg;
    g.zoomSec = zoomSeconds(from, to);
    g.seconds = std::max({pm::secondsToTravel(degPerSec, std::fabs(g.panDeg)),
                          pm::secondsToTravel(degPerSec, std::fabs(g.tiltDeg)), g.zoomSec});
    return g;
}

Segment hold(const Pose &pose, double seconds, int presetId)
{
    Segment g;
    g.kind = Segment::Kind::Hold;
    g.from = pose;
    g.seconds = seconds;
    g.presetId = presetId;
    return g;
}

}  // namespace headplan

}  // namespace sim
