#pragma once
// The electronic PTZ: a digital window inside each channel's optical
// picture. The channel's frames show only the window, enlarged to the full
// frame, so moving or zooming it moves and zooms the picture without
// touching the head. It is digital, so a fixed camera has it too; only a
// panoramic ring, whose strip is the whole turn, has none.
//
// A held command (TMV_NET_ElectronicPtzControl) moves the window over the
// simulation clock: a direction at speed s (1..8) moves it by s / 8 of its
// own width (or height) per second, the window as it was at the press;
// zoom doubles (or halves) it every 8 / s seconds, within 1..kMaxZoom. The
// window never leaves the optical picture: at zoom 1 it is the whole
// picture and cannot move. A stop of any direction ends the move, a stop
// of either zoom command ends the zoom.
//
// Threading model: every member is safe from any thread; mutex_ guards the
// windows and their motion. apply() runs once per rendered frame under the
// frame producer's render lock and only copies a few numbers under mutex_.

#include "TMVNetSDK.h"
#include "camera/FrameSource.h"

#include <cstdint>
#include <mutex>
#include <vector>

namespace sim {

struct DeviceProfile;

namespace eptz {

constexpr double kMaxZoom = 8.0;
constexpr int kMinSpeed = 1;
constexpr int kMaxSpeed = 8;

// The window: its magnification and its centre's offset from the centre of
// the optical picture, in fractions of the picture's width (x, right) and
// height (y, down).
struct Window {
    double zoom = 1.0;
    double x = 0.0;
    double y = 0.0;
};

// A held motion: direction axes as the head's (pan +1 right, tilt +1 up),
// the move rate in picture fractions per second, and a zoom direction
// (+1 in, -1 out) with its speed 1..8.
struct Motion {
    int panDir = 0;
    int tiltDir = 0;
    double moveRate = 0.0;
    int zoomDir = 0;
    int zoomSpeed = 0;
};

// Largest offset of the centre of a window of that zoom on either axis.
double maxOffset(double zoom);

// The window brought inside the picture: zoom within 1..kMaxZoom, the
// centre within +-maxOffset(zoom). Non-finite values count as the centre
// and zoom 1.
Window clampWindow(Window w);

// The move rate of speed `speed` for a window of `zoom`.
double moveRate(int speed, double zoom);

// Where a window is `seconds` after a motion started from `from`.
Window windowAfter(const Window &from, const Motion &motion, double seconds);

// The optical view narrowed to the window of a channel `width` x `height`
// pixels (pixels are square in angle). A 360-degree view is left alone.
View applyWindow(const View &optical, const Window &window, int width, int height);

}  // namespace eptz

class ElectronicPtz {
public:
    explicit ElectronicPtz(const DeviceProfile &profile);

    // Every window back to the whole picture, no motion.
    void reset();

    // TMV_NET_ElectronicPtzControl at `nowUs`. Returns a status.
    int32_t control(const TMV_NET_EPTZ_CONTROL &control, int64_t nowUs);

    // The window of a channel at `timeUs`; the whole picture for a channel
    // that does not exist.
    eptz::Window windowAt(int channel, int64_t timeUs) const;

    // The view a channel's frame at `timeUs` shows, given its optical view.
    View apply(int channel, const View &optical, int64_t timeUs) const;

private:
    struct State {
        eptz::Window window;  // where it stood at sinceUs
        eptz::Motion motion;
        int64_t sinceUs = 0;
    };

    bool validChannel(int channel) const;
    bool supported(int channel) const;

    const DeviceProfile &profile_;
    mutable std::mutex mutex_;   // protects states_
    std::vector<State> states_;  // per channel
};

}  // namespace sim
