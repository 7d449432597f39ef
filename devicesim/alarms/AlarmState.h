#pragma once
// Pure state machines of the alarm engine: one threshold watched over a
// series of readings, with hysteresis and debounce.
//
// Hysteresis: a "greater than" alarm starts above the threshold and ends only
// once the value fell below threshold - tolerance ("less than": below the
// threshold, ends above threshold + tolerance), so a reading hovering at the
// threshold does not chatter. A negative tolerance counts as 0.
//
// Debounce is simulated time, in seconds (the value the client sends): the
// start condition must hold on every reading for that long before the alarm
// starts, and the end condition as long before it ends; one reading that
// breaks the run starts it over. 0 reacts on the first reading. Time keeps
// the behaviour the same at any frame rate.
//
// Threading model: plain values, no sharing; the engine keeps one per watched
// threshold on its watcher thread.

#include <algorithm>
#include <cstdint>

namespace sim {

enum class AlarmEdge { None, Start, End };

struct AlarmThreshold {
    bool greater = true;  // alarm above the threshold (false: below)
    double threshold = 0;
    double tolerance = 0;
    int64_t debounceUs = 0;

    // Debounce as the client sends it: seconds, clamped to 0..1 h.
    static int64_t debounceFromSeconds(int32_t seconds)
    {
        return int64_t(std::clamp<int32_t>(seconds, 0, 3600)) * 1000000;
    }
};

class ThresholdState {
public:
    bool active() const { return active_; }

    // One reading at simulation time `timeUs` (non-decreasing).
    AlarmEdge step(const AlarmThreshold &limit, double value, int64_t timeUs)
    {
        const double tolerance = std::max(0.0, limit.tolerance);
        const bool wantChange = active_ ? ended(limit, value, tolerance) : started(limit, value);
        if (!wantChange) {
            pendingSinceUs_ = -1;
            return AlarmEdge::None;
        }
        if (pendingSinceUs_ < 0)
            pendingSinceUs_ = timeUs;
        if (timeUs - pendingSinceUs_ < std::max<int64_t>(0, limit.debounceUs))
            return AlarmEdge::None;
        pendingSinceUs_ = -1;
        active_ = !active_;
        return active_ ? AlarmEdge::Start : AlarmEdge::End;
    }

    // The watched threshold was switched off: an active alarm ends now.
    AlarmEdge off()
    {
        pendingSinceUs_ = -1;
        if (!active_)
            return AlarmEdge::None;
        active_ = false;
        return AlarmEdge::End;
    }

private:
    static bool started(const AlarmThreshold &s, double v) { return s.greater ? v > s.threshold : v < s.threshold; }
    static bool ended(const AlarmThreshold &s, double v, double tol)
    {
        return s.greater ? v < s.threshold - tol : v > s.threshold + tol;
    }

    bool active_ = false;
    int64_t pendingSinceUs_ = -1;
};

// Which temperature an alarm rule (1..6) compares and in which direction:
// 1/2 average, 3/4 maximum, 5/6 minimum; odd rules alarm above, even below.
// False for 0 (off) and unknown rules.
enum class TempPick { Avg, Max, Min };
inline bool alarmRuleMeaning(int32_t rule, TempPick *pick, bool *greater)
{
    if (rule < 1 || rule > 6)
        return false;
    *pick = rule <= 2 ? TempPick::Avg : (rule <= 4 ? TempPick::Max : TempPick::Min);
    *greater = rule % 2 == 1;
    return true;
}

}  // namespace sim
