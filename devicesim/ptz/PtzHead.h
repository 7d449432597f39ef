#pragma once
// The pan-tilt head and the lenses on it: where each channel looks at any
// moment of the simulation clock. Every picture of a channel is rendered
// through the view this class gives for the frame's time, so when the head
// turns, the picture turns. It also keeps the preset slots and carries out
// the positioning asked for on the picture (3D positioning, manual
// tracking, region focus), and runs the head's programs: moves to a preset
// or an accurate position, tours, patterns, area scans, line scans,
// continuous turns, and the boot and park actions (PtzHeadTasks.cpp).
//
// 3D positioning and manual tracking are instantaneous: the next frame
// already shows the new view. A held direction or zoom (TMV_NET_PtzControl)
// moves the head over the simulation clock: the motion (direction, speed,
// start) is kept and the position computed from the frame's time
// (ptz/PtzMotion.h); the position is committed only when a command changes
// the motion. A program is a plan laid out from its start
// (ptz/HeadProgram.h); while it runs the plan gives the position. Any
// direction, zoom, preset move or positioning ends a running program where
// the head stands at that moment, as a real head does.
//
// The park action is evaluated lazily: whenever the head's state is read at
// a time more than its dwell after the last command (or after the end of
// the last move), the park program is taken to have started at exactly
// that moment. It runs once per idle spell. Commands are those that reach
// the head: directions, zoom, preset moves, positioning, region focus, program
// and park settings; while a program, a held motion, manual tracking or a
// pattern recording goes on the head is not idle.
//
// A line scan n turns pan clockwise at speed step n (the head keeps no
// line-scan limits). A head that cannot turn answers kNotSupported to every
// program and lists no tour, pattern or area-scan slots, as it lists no
// presets.
//
// Running status: task 0 idle (also while a move to a preset or position
// travels), 1 tour, 2 pattern (a recorded track), 3 line scan, 4 area scan,
// 5 continuous turn (TMV_NET_PtzTrackingPosition), 6 manual tracking;
// trigger 0 manual, 3 boot action, 4 park action; the start time is when the
// task (or the idle spell) began.
//
// Threading model: every member is safe from any thread; mutex_ guards the
// head's state (position, zooms, presets, tracking, programs, slots).
// viewAt() is called once per rendered frame by the channel's frame
// producer, under the producer's render lock, and only computes a few
// numbers under mutex_ (a lazily due park action builds its plan once);
// nothing here calls out while holding mutex_.

#include "TMVNetSDK.h"
#include "camera/FrameSource.h"
#include "ptz/HeadProgram.h"
#include "ptz/PtzSlots.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace sim {

struct DeviceProfile;

class PtzHead {
public:
    // Preset slots of a head that turns; a head that cannot turn has none.
    static constexpr int kPresetSlots = 16;
    // The longest lens: 3D positioning zooms no further.
    static constexpr double kMaxZoom = 32.0;

    explicit PtzHead(const DeviceProfile &profile);

    // Back to factory state: the power-on position, no presets, no tracking.
    void reset();

    // The view of `channel` at simulation time `timeUs`; a channel that does
    // not exist gives a default view.
    View viewAt(int channel, int64_t timeUs) const;

    // The preset the head stands at (its id, 1..), or 0 when it was moved
    // away from every preset or is on its way to one. Rules and masks of
    // that preset apply.
    int currentPreset() const;

    // Pan and tilt of the head, in degrees, now on the simulation clock, or
    // at `timeUs`.
    double panDeg() const;
    double tiltDeg() const;
    double zoom(int channel) const;
    double panDegAt(int64_t timeUs) const;
    double tiltDegAt(int64_t timeUs) const;
    double zoomAt(int channel, int64_t timeUs) const;
    // A direction or zoom is held, or a program moves the head.
    bool moving() const;

    // TMV_NET_PtzControl at simulation time `nowUs`: a direction (0..7)
    // starts turning, its stop ends whatever direction was turning; zoom
    // (8, 9) likewise. The library hands focus, iris and the switches
    // (10..21) to PtzAccessories; here they are accepted and change no view.
    // Returns a status.
    int32_t control(const TMV_NET_PTZ_CONTROL &control, int64_t nowUs);
    // TMV_NET_GetCurrentPtz_V1: pan and tilt in degrees, each lens's zoom and
    // the fields of view it gives, at `nowUs`. Returns a status.
    int32_t currentInfo(TMV_NET_CURRENT_PTZ_INFO *info, int64_t nowUs) const;

    // Only the PTZ camera's head turns; the others answer kNotSupported.
    bool turns() const;

    // Preset slots in id order from 1, empty ones included (enable 0).
    int presetCount() const;
    std::vector<TMV_NET_PRESET_INFO> presets() const;
    // The actions of TMV_NET_PtzPresetControl: 0 store the current position,
    // 1 rename, 2 move to (travels at the top speed), 3 delete, 4 delete
    // all. The caller has checked that the name ends inside its field.
    // Returns a status.
    int32_t presetControl(int32_t action, const TMV_NET_PRESET_INFO &preset);

    // ---- Programs (PtzHeadTasks.cpp); each returns a status, kNotSupported
    // on a head that cannot turn. `nowUs` is the simulation time.

    // Tour slots in id order from 1; fills min(count, capacity) records and
    // returns the slot count.
    int tourCount() const;
    int tours(bool withPoints, TMV_NET_TOUR_INFO *out, int capacity) const;
    // 0 save (into slot `id`), 1 start, 2 stop, 3 delete, 4 delete all. The
    // caller has checked the names of a save.
    int32_t tourControl(int32_t action, const TMV_NET_TOUR_INFO &tour, int64_t nowUs);

    int patternCount() const;
    std::vector<TMV_NET_PATTERN_INFO> patterns() const;
    // 0 start recording pattern `id`, 1 stop recording, 2 start playing, 3
    // stop playing, 4 delete all.
    int32_t patternControl(int32_t action, int32_t id, int64_t nowUs);

    int scanCount() const;
    std::vector<TMV_NET_REGION_SCAN_INFO> scans() const;
    int32_t setScan(const TMV_NET_REGION_SCAN_INFO &scan);
    int32_t scanControl(int32_t id, bool start, int64_t nowUs);
    int32_t deleteScan(int32_t id, int64_t nowUs);

    int32_t bootAction(TMV_NET_BOOT_ACTION_INFO *info) const;
    int32_t setBootAction(const TMV_NET_BOOT_ACTION_INFO &info);
    int32_t parkAction(TMV_NET_PARK_ACTION_INFO *info) const;
    int32_t setParkAction(const TMV_NET_PARK_ACTION_INFO &info, int64_t nowUs);

    // TMV_NET_PtzPosition: pan 0..36000 and tilt -9000..9000 in hundredths
    // of a degree, zoom 0..16384 over each lens's range (linear, 1 to
    // kMaxZoom); travels there at the top speed.
    int32_t position(const TMV_NET_PTZ_POSITION &target, int64_t nowUs);
    // TMV_NET_PtzTrackingPosition: turn at panSpeed, tiltSpeed (hundredths
    // of a degree per second, 0..65535, capped at the top speed); direction
    // 0 turns right and up, 1 left and down; both speeds 0 stop.
    int32_t trackingPosition(const TMV_NET_PTZ_TRACKING_POSITION &track, int64_t nowUs);
    // TMV_NET_ResetPtzConfig: the self-check ends every program, recording
    // and tracking and takes the head home at the top speed; presets, tours,
    // patterns, scans and actions are kept.
    int32_t selfCheck(int64_t nowUs);
    int32_t runningStatus(TMV_NET_PTZ_RUNNING_STATUS *status, int64_t nowUs) const;
    // The preset the head stands at, for TMV_NET_QueryPtzPresetId: 0 when
    // it stands at none.
    int32_t presetAt(int32_t *id) const;

    // The device restarts at `nowUs`: held motion, programs, recording and
    // tracking end where the head stands; then the boot action, if on, runs
    // (trigger 3). Nothing stored is lost.
    void restart(int64_t nowUs);

    // Turns the head onto the rectangle (0..8192 picture space of `channel`)
    // and zooms so that it fills the picture. Returns a status.
    int32_t position3D(const TMV_NET_PTZ_3D_POSITION &rect);
    // Focus only; the view stays. Returns a status.
    int32_t regionFocus(const TMV_NET_PTZ_REGION &region);
    // stop 0: centres on the rectangle and keeps tracking; stop 1: ends it.
    int32_t manualTrack(const TMV_NET_PTZ_REGION &region);
    bool tracking() const;

    // Puts a channel's lens at `zoom` (within 1..kMaxZoom) now; a held zoom
    // goes on from there.
    void setZoom(int channel, double zoom);

private:
    struct Slot {
        bool stored = false;
        std::string name;
        double panDeg = 0;
        double tiltDeg = 0;
        std::vector<double> zoom;
    };

    // The program running now and what it is.
    struct Running {
        HeadProgram plan;
        int task = 0;
        int taskId = 0;
        int trigger = 0;
    };

    bool validChannel(int channel) const;
    // Where the head is at `timeUs`: the running plan's pose, or the held
    // motion's; mutex_ held. Applies a due park action first.
    Pose poseLocked(int64_t timeUs) const;
    bool movingLocked(int64_t timeUs) const;
    // Starts the park action if it is due by `timeUs`; mutex_ held.
    void settleLocked(int64_t timeUs) const;
    // A command at `nowUs` ends any program (its pose becomes the head's)
    // and counts as activity for the park action; mutex_ held.
    void takeOverLocked(int64_t nowUs);
    // Makes `plan` the running program; mutex_ held.
    void runLocked(HeadProgram plan, int task, int taskId, int trigger) const;
    // A program started by a command: ends everything that moves the head,
    // then runs `plan` (kFailed for an empty plan: nothing stored to run);
    // mutex_ held.
    int32_t startLocked(HeadProgram plan, int task, int taskId, int64_t nowUs);
    // Ends the running program if it is that task (any id for 0); mutex_ held.
    void stopTaskLocked(int task, int taskId, int64_t nowUs);
    // The plan an action (boot or park) runs from `from` at `atUs`; an empty
    // plan when its slot is empty. mutex_ held.
    HeadProgram actionPlanLocked(const HeadAction &action, const Pose &from, int64_t atUs, int *task,
                                 int *taskId) const;
    // Plans of the stored programs; empty when there is nothing to run.
    HeadProgram tourPlanLocked(int id, const Pose &from, int64_t atUs) const;
    HeadProgram patternPlanLocked(int id, const Pose &from, int64_t atUs) const;
    HeadProgram scanPlanLocked(int id, const Pose &from, int64_t atUs) const;
    HeadProgram lineScanPlanLocked(int number, const Pose &from, int64_t atUs) const;
    Pose homeLocked() const;
    static Pose poseOf(const Slot &slot);
    // Keeps a direction or zoom command for the pattern being recorded.
    void recordLocked(const TMV_NET_PTZ_CONTROL &control, int64_t nowUs);
    std::vector<bool> presetsStoredLocked() const;
    // Where the head is at `timeUs` given the motion; mutex_ held.
    double panLocked(int64_t timeUs) const;
    double tiltLocked(int64_t timeUs) const;
    double zoomLocked(size_t channel, int64_t timeUs) const;
    // Fold the motion up to `nowUs` into the position; mutex_ held.
    void commitTurnLocked(int64_t nowUs);
    void commitZoomLocked(int64_t nowUs);
    // Commit and end every motion (a positioning takes over); mutex_ held.
    void haltLocked(int64_t nowUs);
    // Pan/tilt of the centre of the rectangle, and the zoom that makes it
    // fill the picture; mutex_ held.
    void aimLocked(int channel, int32_t x0, int32_t y0, int32_t x1, int32_t y1, bool zoomIn);

    const DeviceProfile &profile_;
    mutable std::mutex mutex_;  // protects the members below
    double panDeg_ = 0;
    double tiltDeg_ = 0;
    int currentPreset_ = 0;
    bool tracking_ = false;
    std::vector<double> zoom_;  // per channel, 1 = widest
    std::vector<Slot> slots_;   // slot i holds preset id i + 1
    // Held motion: the position above is where it stood at its start.
    int panDir_ = 0;   // -1 left, +1 right
    int tiltDir_ = 0;  // +1 up, -1 down
    double degPerSec_ = 0;
    int64_t turnSinceUs_ = 0;
    int zoomDir_ = 0;  // +1 in, -1 out
    int64_t zoomSinceUs_ = 0;
    int64_t trackSinceUs_ = 0;
    // Tours, patterns, scans, boot and park actions.
    PtzSlots programs_;
    // The running program. Mutable: a due park action starts on a read.
    mutable std::optional<Running> running_;
    // Last command: the start of the idle spell the park action waits on.
    int64_t lastCommandUs_ = 0;
    mutable bool parked_ = false;  // the park action ran in this idle spell
    // Pattern being recorded (0 for none), since when, and what it holds.
    int recordingId_ = 0;
    int64_t recordingSinceUs_ = 0;
    Pattern recording_;
};

}  // namespace sim
