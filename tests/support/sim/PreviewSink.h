#ifndef PREVIEWSINK_H
#define PREVIEWSINK_H

#include <QByteArray>

#include <mutex>

#include "TMVNetSDK.h"

// Keeps the newest preview frame a library thread delivered, for tests that
// look at the picture after stepping the clock.
struct PreviewSink {
    std::mutex mutex;
    QByteArray last;  // RGBA pixels
    int width = 0;
    int height = 0;

    QByteArray pixels()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return last;
    }

    // The preview callback; `user` is the sink.
    static void onFrame(TMV_NET_HANDLE, int32_t, TMV_NET_PREVIEW_FRAME *frame, void *user);
};

// Comparisons of two RGBA frames of one size on their green channel, which
// every palette and the visible picture carry.
namespace PictureDiff {

// Mean absolute difference of the same pixels; HUGE_VAL when the sizes
// differ or the frames are empty.
double mean(const QByteArray &a, const QByteArray &b);

// Mean absolute difference when `b` is `a` moved left by `dx` columns (the
// head or the window turned right by as much).
double shifted(const QByteArray &a, const QByteArray &b, int width, int height, int dx);

// The `dx` in [0, maxDx) at which `shifted` is smallest.
int bestShift(const QByteArray &a, const QByteArray &b, int width, int height, int maxDx);

}  // namespace PictureDiff

#endif // PREVIEWSINK_H
