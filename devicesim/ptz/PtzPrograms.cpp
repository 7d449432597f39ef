#include "ptz/PtzPrograms.h"

#include "ptz/PtzMotion.h"

#include <algorithm>
#include <cmath>

namespace sim::ptzprograms {

namespace pm = ptzmotion;
using headplan::hold;
using headplan::travel;

HeadProgram move(const Pose &from, const Pose &to, int presetId, int64_t startUs, double maxZoom)
{
    HeadProgram plan(startUs, maxZoom);
    plan.add(travel(from, to, pm::kTopDegPerSec, 0, presetId));
    return plan;
}

HeadProgram tour(const Pose &from, const std::vector<Stop> &stops, int64_t startUs, double maxZoom)
{
    HeadProgram plan(startUs, maxZoom);
    if (stops.empty())
        return plan;
    plan.add(travel(from, stops.front().pose, pm::kTopDegPerSec, 0, stops.front().presetId));
    plan.loopFromHere();
    for (size_t i = 0; i < stops.size(); ++i) {
        const Stop &here = stops[i];
        const Stop &next = stops[(i + 1) % stops.size()];
        plan.add(hold(here.pose, here.residenceSec, here.presetId));
        plan.add(travel(here.pose, next.pose, pm::kTopDegPerSec, 0, next.presetId));
    }
    return plan;
}

HeadProgram areaScan(const Pose &from, const Stop &start, const Stop &stop, int direction, double degPerSec,
                     int64_t startUs, double maxZoom)
{
    HeadProgram plan(startUs, maxZoom);
    plan.add(travel(from, start.pose, pm::kTopDegPerSec, 0, start.presetId));
    plan.loopFromHere();
    plan.add(travel(start.pose, stop.pose, degPerSec, direction, stop.presetId));
    plan.add(travel(stop.pose, start.pose, degPerSec, -direction, start.presetId));
    return plan;
}

namespace {

// The head's held motion while a pattern replays, advanced command by
// command as PtzHead::control advances it live.
struct Replay {
    Pose turnFrom;  // pan and tilt where the turn started
    double turnAt = 0;
    double panRate = 0;
    double tiltRate = 0;
    Pose zoomFrom;  // zooms where the zoom started
    double zoomAt = 0;
    int zoomDir = 0;
    double maxZoom = 1;

    Segment until(double fromSec, double toSec) const
    {
        Segment g;
        g.kind = Segment::Kind::Turn;
        g.seconds = std::max(0.0, toSec - fromSec);
        g.from = turnFrom;
        g.from.zoom = zoomFrom.zoom;
        g.panRate = panRate;
        g.tiltRate = tiltRate;
        g.turnAgeSec = fromSec - turnAt;
        g.zoomDir = zoomDir;
        g.zoomAgeSec = fromSec - zoomAt;
        return g;
    }

    Pose at(double t) const
    {
        Pose p = turnFrom;
        p.panDeg = pm::wrapPan(turnFrom.panDeg + pm::travelled(panRate, t - turnAt));
        p.tiltDeg = std::clamp(turnFrom.tiltDeg + pm::travelled(tiltRate, t - turnAt), pm::kMinTiltDeg,
                               pm::kMaxTiltDeg);
        for (size_t c = 0; c < kMaxLenses; ++c)
            p.zoom[c] = pm::zoomAfter(zoomFrom.zoom[c], zoomDir, t - zoomAt, maxZoom);
        return p;
    }

    void apply(const PatternCommand &c)
    {
        const Pose now = at(c.offsetSec);
        int panDir = 0, tiltDir = 0;
        if (pm::directionAxes(c.command, &panDir, &tiltDir)) {
            turnFrom.panDeg = now.panDeg;
            turnFrom.tiltDeg = now.tiltDeg;
            turnAt = c.offsetSec;
            const double rate = c.start ? pm::degreesPerSecond(c.speed) : 0.0;
            panRate = c.start ? panDir * rate : 0.0;
            tiltRate = c.start ? tiltDir * rate : 0.0;
        } else {
            zoomFrom.zoom = now.zoom;
            zoomAt = c.offsetSec;
            zoomDir = c.start ? (c.command == 9 ? 1 : -1) : 0;
        }
    }
};

}  // namespace

HeadProgram pattern(const Pose &from, const Pattern &p, int64_t startUs, double maxZoom)
{
    HeadProgram plan(startUs, maxZoom);
    plan.add(travel(from, p.start, pm::kTopDegPerSec, 0));
    plan.loopFromHere();
    Replay replay;
    replay.turnFrom = p.start;
    replay.zoomFrom = p.start;
    replay.maxZoom = maxZoom;
    double at = 0;
    for (const PatternCommand &c : p.commands) {
        const double t = std::clamp(c.offsetSec, at, p.seconds);
        if (t > at)
            plan.add(replay.until(at, t));
        at = t;
        PatternCommand command = c;
        command.offsetSec = t;
        replay.apply(command);
    }
    if (p.seconds > at)
        plan.add(replay.until(at, p.seconds));
    plan.add(travel(replay.at(p.seconds), p.start, pm::kTopDegPerSec, 0));
    return plan;
}

HeadProgram rotation(const Pose &from, double panRate, double tiltRate, int64_t startUs, double maxZoom)
{
    HeadProgram plan(startUs, maxZoom);
    Segment g;
    g.kind = Segment::Kind::Turn;
    g.seconds = HUGE_VAL;
    g.from = from;
    g.panRate = panRate;
    g.tiltRate = tiltRate;
    plan.add(g);
    return plan;
}

}  // namespace sim::ptzprograms
