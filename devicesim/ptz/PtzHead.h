#pragma once
// The pan-tilt head and the lenses on it: where each channel looks at any
// moment of the simulation clock. Every picture of a channel is rendered
// through the view this class gives for the frame's time, so when the head
// turns, the picture turns. It also keeps the preset slots and carries out
// the positioning asked for on the picture (3D positioning, manual
// tracking, region focus).
//
// Positioning moves are instantaneous: the next frame already shows the new
// view. A held direction or zoom (TMV_NET_PtzControl) moves the head over the
// simulation clock: the motion (direction, speed, start) is kept and the
// position computed from the frame's time (ptz/PtzMotion.h); the position is
// committed only when a command changes the motion.
//
// Threading model: every member is safe from any thread; mutex_ guards the
// head's state (position, zooms, presets, tracking). viewAt() is called once
// per rendered frame by the channel's frame producer, under the producer's
// render lock, and only copies a few numbers under mutex_; nothing here calls
// out while holding mutex_.

#include "TMVNetSDK.h"
#include "camera/FrameSource.h"

#include <cstdint>
#include <mutex>
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
    // away from every preset. Rules and masks of that preset apply.
    int currentPreset() const;

    // Pan and tilt of the head, in degrees, now on the simulation clock, or
    // at `timeUs`.
    double panDeg() const;
    double tiltDeg() const;
    double zoom(int channel) const;
    double panDegAt(int64_t timeUs) const;
    double tiltDegAt(int64_t timeUs) const;
    double zoomAt(int channel, int64_t timeUs) const;
    // A direction or zoom is held.
    bool moving() const;

    // TMV_NET_PtzControl at simulation time `nowUs`: a direction (0..7)
    // starts turning, its stop ends whatever direction was turning; zoom
    // (8, 9) likewise. Focus, iris and the switches are accepted and change
    // no view. Returns a status.
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
    // 1 rename, 2 move to, 3 delete, 4 delete all. The caller has checked
    // that the name ends inside its field. Returns a status.
    int32_t presetControl(int32_t action, const TMV_NET_PRESET_INFO &preset);

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

    bool validChannel(int channel) const;
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
};

}  // namespace sim
