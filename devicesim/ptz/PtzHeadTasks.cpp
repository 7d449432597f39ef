// The head's programs: tours, patterns, area scans, line scans, moves to an
// accurate position, continuous turns, the self-check, the boot and park
// actions and the running status (see PtzHead.h).

#include "ptz/PtzHead.h"

#include "base/DeviceProfile.h"
#include "base/SimClock.h"
#include "base/Status.h"
#include "ptz/PtzMotion.h"
#include "ptz/PtzPrograms.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace sim {

namespace {

namespace pm = ptzmotion;

enum Task : int { kIdle = 0, kTour = 1, kPattern = 2, kLineScan = 3, kAreaScan = 4, kRotation = 5, kTracking = 6 };
enum Trigger : int { kManual = 0, kBoot = 3, kPark = 4 };
enum TourAction : int32_t { kSaveTour = 0, kStartTour = 1, kStopTour = 2, kDeleteTour = 3, kDeleteAllTours = 4 };
enum PatternAction : int32_t {
    kStartRecording = 0,
    kStopRecording = 1,
    kStartPattern = 2,
    kStopPattern = 3,
    kDeleteAllPatterns = 4
};

constexpr int64_t kUsPerSecond = 1000000;
constexpr double kPositionZoomSteps = 16384.0;
constexpr double kMaxTrackingSpeed = 65535.0;  // hundredths of a degree per second

bool inRange(float v, double lo, double hi)
{
    return v >= lo && v <= hi;  // false for NaN
}

}  // namespace

// ---- Plans -----------------------------------------------------------------

Pose PtzHead::poseOf(const Slot &slot)
{
    Pose p;
    p.panDeg = slot.panDeg;
    p.tiltDeg = slot.tiltDeg;
    for (size_t c = 0; c < slot.zoom.size() && c < kMaxLenses; ++c)
        p.zoom[c] = slot.zoom[c];
    return p;
}

Pose PtzHead::homeLocked() const
{
    Pose p;
    p.panDeg = profile_.homePanDeg;
    p.tiltDeg = profile_.homeTiltDeg;
    return p;
}

std::vector<bool> PtzHead::presetsStoredLocked() const
{
    std::vector<bool> stored(slots_.size());
    for (size_t i = 0; i < slots_.size(); ++i)
        stored[i] = slots_[i].stored;
    return stored;
}

HeadProgram PtzHead::tourPlanLocked(int id, const Pose &from, int64_t atUs) const
{
    std::vector<ptzprograms::Stop> stops;
    for (const TourStop &s : programs_.tour(id).stops) {
        // A stop whose preset was deleted since is passed over.
        if (s.presetId < 1 || size_t(s.presetId) > slots_.size() || !slots_[size_t(s.presetId - 1)].stored)
            continue;
        stops.push_back({poseOf(slots_[size_t(s.presetId - 1)]), s.presetId, double(s.residenceSec)});
    }
    return ptzprograms::tour(from, stops, atUs, kMaxZoom);
}

HeadProgram PtzHead::patternPlanLocked(int id, const Pose &from, int64_t atUs) const
{
    const Pattern &p = programs_.pattern(id);
    if (!p.recorded)
        return HeadProgram(atUs, kMaxZoom);
    return ptzprograms::pattern(from, p, atUs, kMaxZoom);
}

HeadProgram PtzHead::scanPlanLocked(int id, const Pose &from, int64_t atUs) const
{
    const AreaScan &s = programs_.scan(id);
    const auto stored = [this](int preset) {
        return preset >= 1 && size_t(preset) <= slots_.size() && slots_[size_t(preset - 1)].stored;
    };
    if (!s.stored || !stored(s.startPreset) || !stored(s.stopPreset))
        return HeadProgram(atUs, kMaxZoom);
    const ptzprograms::Stop start{poseOf(slots_[size_t(s.startPreset - 1)]), s.startPreset, 0};
    const ptzprograms::Stop stop{poseOf(slots_[size_t(s.stopPreset - 1)]), s.stopPreset, 0};
    return ptzprograms::areaScan(from, start, stop, s.direction, pm::degreesPerSecond(s.speed), atUs, kMaxZoom);
}

HeadProgram PtzHead::lineScanPlanLocked(int number, const Pose &from, int64_t atUs) const
{
    // A line scan turns pan clockwise at its number's speed step, at the
    // tilt and zoom of its start.
    return ptzprograms::rotation(from, pm::degreesPerSecond(number), 0, atUs, kMaxZoom);
}

HeadProgram PtzHead::actionPlanLocked(const HeadAction &a, const Pose &from, int64_t atUs, int *task,
                                      int *taskId) const
{
    *task = kIdle;
    *taskId = 0;
    switch (a.type) {
    case 0:
        return ptzprograms::move(from, homeLocked(), 0, atUs, kMaxZoom);
    case 1:
        if (a.preset < 1 || size_t(a.preset) > slots_.size() || !slots_[size_t(a.preset - 1)].stored)
            break;
        return ptzprograms::move(from, poseOf(slots_[size_t(a.preset - 1)]), a.preset, atUs, kMaxZoom);
    case 2:
        *task = kTour;
        *taskId = a.tour;
        return tourPlanLocked(a.tour, from, atUs);
    case 3:
        *task = kPattern;
        *taskId = a.pattern;
        return patternPlanLocked(a.pattern, from, atUs);
    case 4:
        *task = kLineScan;
        *taskId = a.lineScan;
        return lineScanPlanLocked(a.lineScan, from, atUs);
    case 5:
        *task = kAreaScan;
        *taskId = a.areaScan;
        return scanPlanLocked(a.areaScan, from, atUs);
    default:
        break;
    }
    return HeadProgram(atUs, kMaxZoom);
}

void PtzHead::runLocked(HeadProgram plan, int task, int taskId, int trigger) const
{
    running_ = Running{std::move(plan), task, taskId, trigger};
}

int32_t PtzHead::startLocked(HeadProgram plan, int task, int taskId, int64_t nowUs)
{
    if (plan.empty())
        return kFailed;  // nothing stored to run
    haltLocked(nowUs);
    tracking_ = false;
    currentPreset_ = 0;
    runLocked(std::move(plan), task, taskId, kManual);
    return kOk;
}

void PtzHead::stopTaskLocked(int task, int taskId, int64_t nowUs)
{
    if (running_ && running_->task == task && (taskId == 0 || running_->taskId == taskId))
        takeOverLocked(nowUs);  // the head stays where the program left it
}

void PtzHead::settleLocked(int64_t timeUs) const
{
    const HeadAction &park = programs_.park();
    if (!park.enabled || parked_ || tracking_ || recordingId_ != 0 || panDir_ != 0 || tiltDir_ != 0 ||
        zoomDir_ != 0)
        return;
    int64_t idleSinceUs = lastCommandUs_;
    if (running_) {
        if (running_->task != kIdle)
            return;  // a program runs: the head is busy
        idleSinceUs = std::max(idleSinceUs, running_->plan.endUs());
    }
    const int64_t dueUs = idleSinceUs + int64_t(park.dwellSec) * kUsPerSecond;
    if (timeUs < dueUs)
        return;
    parked_ = true;
    Pose from;
    if (running_) {
        from = running_->plan.poseAt(dueUs);
    } else {
        from.panDeg = panDeg_;
        from.tiltDeg = tiltDeg_;
        for (size_t c = 0; c < zoom_.size() && c < kMaxLenses; ++c)
            from.zoom[c] = zoom_[c];
    }
    int task = kIdle, taskId = 0;
    HeadProgram plan = actionPlanLocked(park, from, dueUs, &task, &taskId);
    if (!plan.empty())
        runLocked(std::move(plan), task, taskId, kPark);
}

void PtzHead::recordLocked(const TMV_NET_PTZ_CONTROL &c, int64_t nowUs)
{
    if (recordingId_ == 0 || recording_.commands.size() >= PtzSlots::kPatternCommands)
        return;
    recording_.commands.push_back({double(nowUs - recordingSinceUs_) / 1e6, c.command, c.stop == 0, c.speed});
}

// ---- Tours -----------------------------------------------------------------

int PtzHead::tourCount() const
{
    return turns() ? PtzSlots::kTourSlots : 0;
}

int PtzHead::tours(bool withPoints, TMV_NET_TOUR_INFO *out, int capacity) const
{
    const int count = tourCount();
    std::lock_guard<std::mutex> lock(mutex_);
    const std::vector<bool> stored = presetsStoredLocked();
    for (int i = 0; i < std::min(count, capacity); ++i)
        programs_.tourRecord(i + 1, withPoints, stored, &out[i]);
    return count;
}

int32_t PtzHead::tourControl(int32_t action, const TMV_NET_TOUR_INFO &tour, int64_t nowUs)
{
    if (!turns())
        return kNotSupported;
    std::lock_guard<std::mutex> lock(mutex_);
    if (action == kSaveTour)
        return programs_.saveTour(tour);
    if (action == kDeleteAllTours) {
        stopTaskLocked(kTour, 0, nowUs);
        programs_.deleteAllTours();
        return kOk;
    }
    if (action < kStartTour || action > kDeleteTour || !PtzSlots::validTour(tour.id))
        return kWrongParam;
    switch (action) {
    case kStartTour:
        return startLocked(tourPlanLocked(tour.id, poseLocked(nowUs), nowUs), kTour, tour.id, nowUs);
    case kStopTour:
        stopTaskLocked(kTour, tour.id, nowUs);
        return kOk;
    default:  // kDeleteTour
        stopTaskLocked(kTour, tour.id, nowUs);
        programs_.deleteTour(tour.id);
        return kOk;
    }
}

// ---- Patterns --------------------------------------------------------------

int PtzHead::patternCount() const
{
    return turns() ? PtzSlots::kPatternSlots : 0;
}

std::vector<TMV_NET_PATTERN_INFO> PtzHead::patterns() const
{
    std::vector<TMV_NET_PATTERN_INFO> list;
    std::lock_guard<std::mutex> lock(mutex_);
    for (int id = 1; id <= patternCount(); ++id)
        list.push_back(programs_.patternRecord(id));
    return list;
}

int32_t PtzHead::patternControl(int32_t action, int32_t id, int64_t nowUs)
{
    if (!turns())
        return kNotSupported;
    std::lock_guard<std::mutex> lock(mutex_);
    if (action == kDeleteAllPatterns) {
        stopTaskLocked(kPattern, 0, nowUs);
        programs_.deleteAllPatterns();
        recordingId_ = 0;
        return kOk;
    }
    if (action < kStartRecording || action > kStopPattern || !PtzSlots::validPattern(id))
        return kWrongParam;
    switch (action) {
    case kStartRecording:
        // The pattern starts from rest where the head stands.
        haltLocked(nowUs);
        tracking_ = false;
        recordingId_ = id;
        recordingSinceUs_ = nowUs;
        recording_ = Pattern{};
        recording_.start = poseLocked(nowUs);
        return kOk;
    case kStopRecording:
        if (recordingId_ == 0)
            return kFailed;  // nothing being recorded
        recording_.recorded = true;
        recording_.seconds = double(nowUs - recordingSinceUs_) / 1e6;
        programs_.storePattern(recordingId_, std::move(recording_));
        recording_ = Pattern{};
        recordingId_ = 0;
        lastCommandUs_ = std::max(lastCommandUs_, nowUs);
        parked_ = false;
        return kOk;
    case kStartPattern:
        if (recordingId_ == id)
            return kFailed;  // still being recorded
        return startLocked(patternPlanLocked(id, poseLocked(nowUs), nowUs), kPattern, id, nowUs);
    default:  // kStopPattern
        stopTaskLocked(kPattern, id, nowUs);
        return kOk;
    }
}

// ---- Area scans ------------------------------------------------------------

int PtzHead::scanCount() const
{
    return turns() ? PtzSlots::kScanSlots : 0;
}

std::vector<TMV_NET_REGION_SCAN_INFO> PtzHead::scans() const
{
    std::vector<TMV_NET_REGION_SCAN_INFO> list;
    std::lock_guard<std::mutex> lock(mutex_);
    for (int id = 1; id <= scanCount(); ++id)
        list.push_back(programs_.scanRecord(id));
    return list;
}

int32_t PtzHead::setScan(const TMV_NET_REGION_SCAN_INFO &scan)
{
    if (!turns())
        return kNotSupported;
    std::lock_guard<std::mutex> lock(mutex_);
    return programs_.setScan(scan, presetsStoredLocked());
}

int32_t PtzHead::scanControl(int32_t id, bool start, int64_t nowUs)
{
    if (!turns())
        return kNotSupported;
    if (!PtzSlots::validScan(id))
        return kWrongParam;
    std::lock_guard<std::mutex> lock(mutex_);
    if (start)
        return startLocked(scanPlanLocked(id, poseLocked(nowUs), nowUs), kAreaScan, id, nowUs);
    stopTaskLocked(kAreaScan, id, nowUs);
    return kOk;
}

int32_t PtzHead::deleteScan(int32_t id, int64_t nowUs)
{
    if (!turns())
        return kNotSupported;
    if (!PtzSlots::validScan(id))
        return kWrongParam;
    std::lock_guard<std::mutex> lock(mutex_);
    stopTaskLocked(kAreaScan, id, nowUs);
    programs_.deleteScan(id);
    return kOk;
}

// ---- Boot and park actions -------------------------------------------------

int32_t PtzHead::bootAction(TMV_NET_BOOT_ACTION_INFO *info) const
{
    if (!turns())
        return kNotSupported;
    std::lock_guard<std::mutex> lock(mutex_);
    *info = programs_.bootRecord();
    return kOk;
}

int32_t PtzHead::setBootAction(const TMV_NET_BOOT_ACTION_INFO &info)
{
    if (!turns())
        return kNotSupported;
    std::lock_guard<std::mutex> lock(mutex_);
    return programs_.setBoot(info);
}

int32_t PtzHead::parkAction(TMV_NET_PARK_ACTION_INFO *info) const
{
    if (!turns())
        return kNotSupported;
    std::lock_guard<std::mutex> lock(mutex_);
    *info = programs_.parkRecord();
    return kOk;
}

int32_t PtzHead::setParkAction(const TMV_NET_PARK_ACTION_INFO &info, int64_t nowUs)
{
    if (!turns())
        return kNotSupported;
    std::lock_guard<std::mutex> lock(mutex_);
    settleLocked(nowUs);  // a park due under the old setting has started
    const int32_t status = programs_.setPark(info);
    if (status == kOk) {
        // The dwell counts from now.
        lastCommandUs_ = std::max(lastCommandUs_, nowUs);
        parked_ = false;
    }
    return status;
}

void PtzHead::restart(int64_t nowUs)
{
    if (!turns())
        return;
    std::lock_guard<std::mutex> lock(mutex_);
    haltLocked(nowUs);
    tracking_ = false;
    recordingId_ = 0;
    recording_ = Pattern{};
    const HeadAction &boot = programs_.boot();
    if (!boot.enabled)
        return;
    int task = kIdle, taskId = 0;
    HeadProgram plan = actionPlanLocked(boot, poseLocked(nowUs), nowUs, &task, &taskId);
    if (plan.empty())
        return;
    currentPreset_ = 0;
    runLocked(std::move(plan), task, taskId, kBoot);
}

// ---- Positioning, tracking, status -----------------------------------------

int32_t PtzHead::position(const TMV_NET_PTZ_POSITION &t, int64_t nowUs)
{
    if (!turns())
        return kNotSupported;
    if (!inRange(t.pan, 0, 36000) || !inRange(t.tilt, -9000, 9000) || !inRange(t.zoom, 0, kPositionZoomSteps))
        return kWrongParam;
    Pose to;
    to.panDeg = pm::wrapPan(t.pan / 100.0);
    to.tiltDeg = t.tilt / 100.0;
    const double zoom = 1.0 + (kMaxZoom - 1.0) * t.zoom / kPositionZoomSteps;
    std::lock_guard<std::mutex> lock(mutex_);
    for (size_t c = 0; c < zoom_.size() && c < kMaxLenses; ++c)
        to.zoom[c] = zoom;
    return startLocked(ptzprograms::move(poseLocked(nowUs), to, 0, nowUs, kMaxZoom), kIdle, 0, nowUs);
}

int32_t PtzHead::trackingPosition(const TMV_NET_PTZ_TRACKING_POSITION &t, int64_t nowUs)
{
    if (!turns())
        return kNotSupported;
    if (!inRange(t.panSpeed, 0, kMaxTrackingSpeed) || !inRange(t.tiltSpeed, 0, kMaxTrackingSpeed) ||
        (t.direction != 0 && t.direction != 1))
        return kWrongParam;
    std::lock_guard<std::mutex> lock(mutex_);
    if (t.panSpeed == 0 && t.tiltSpeed == 0) {
        haltLocked(nowUs);  // a stop
        tracking_ = false;
        return kOk;
    }
    const double sign = t.direction == 0 ? 1.0 : -1.0;
    const double pan = sign * std::min(t.panSpeed / 100.0, pm::kTopDegPerSec);
    const double tilt = sign * std::min(t.tiltSpeed / 100.0, pm::kTopDegPerSec);
    return startLocked(ptzprograms::rotation(poseLocked(nowUs), pan, tilt, nowUs, kMaxZoom), kRotation, 0, nowUs);
}

int32_t PtzHead::selfCheck(int64_t nowUs)
{
    if (!turns())
        return kNotSupported;
    std::lock_guard<std::mutex> lock(mutex_);
    recordingId_ = 0;
    recording_ = Pattern{};
    return startLocked(ptzprograms::move(poseLocked(nowUs), homeLocked(), 0, nowUs, kMaxZoom), kIdle, 0, nowUs);
}

int32_t PtzHead::runningStatus(TMV_NET_PTZ_RUNNING_STATUS *status, int64_t nowUs) const
{
    if (!turns())
        return kNotSupported;
    std::lock_guard<std::mutex> lock(mutex_);
    std::memset(status, 0, sizeof *status);
    status->moving = movingLocked(nowUs) ? 1 : 0;  // applies a due park action first
    int64_t sinceUs = lastCommandUs_;
    if (running_ && (running_->task != kIdle || running_->plan.movingAt(nowUs))) {
        status->task = running_->task;
        status->taskId = running_->taskId;
        status->trigger = running_->trigger;
        sinceUs = running_->plan.startUs();
    } else if (tracking_) {
        status->task = kTracking;
        sinceUs = trackSinceUs_;
    } else if (running_) {
        sinceUs = std::max(sinceUs, running_->plan.endUs());  // idle since the move arrived
    }
    status->startTime = deviceTimeMs(sinceUs);
    return kOk;
}

int32_t PtzHead::presetAt(int32_t *id) const
{
    if (!turns())
        return kNotSupported;
    *id = currentPreset();
    return kOk;
}

}  // namespace sim
