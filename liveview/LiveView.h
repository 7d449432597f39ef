#ifndef LIVEVIEW_H
#define LIVEVIEW_H

#include <QImage>
#include <QMutex>
#include <QRect>
#include <QSize>

#include <functional>

// A frame as the video label shows it: the part shown, scaled to the label's
// size, ready to paint 1:1.
struct LivePicture
{
    QImage image;     // RGB32
    QSize frameSize;  // of the frame it was cut from (its shown part when
                      // the library names one; a whole panoramic strip)
};

// The `source` part of an RGBA8888 frame (rows `bytesPerLine` apart) scaled
// to `target` by nearest pixel, exactly as QImage::scaled with
// Qt::FastTransformation, into RGB32 pixels at `out` (rows `outBytesPerLine`
// apart). Reads the frame once; allocates nothing for targets up to 2048
// wide.
void ScaleToRgb32(const uchar *rgba, int bytesPerLine, const QRect &source, uchar *out, int outBytesPerLine,
                  const QSize &target);

// What the video label shows of each frame, shared by the label and the
// preview's frame callback. The label hands over its size and pans the
// window of a panoramic strip; the callback cuts each frame by it and scales
// the part to the label's size in the one copy it makes, so the label only
// paints. A resize or a pan therefore shows from the next frame on. Nothing
// here holds a frame: whoever needs one asks the device (snapshots,
// temperatures), and the drawn shapes map from the label's pixels alone
// (PictureSpace.h).
//
// A frame more than five times as wide as high (whole multiples) is a
// panoramic strip, shown through a window 1.25 times as wide as the strip is
// high, which a drag pans; the mode stays from the first such frame until
// Reset().
//
// Threading model: every member may be called from any thread; m_mutex
// guards the state. The callback holds the lock only to read where to cut,
// never while it scales.
//
// The pictures are written into a few kept buffers: one that nobody else
// holds any more (the label and the page have moved on to newer pictures) is
// written over, so a picture once handed out never changes and a stream
// allocates nothing per frame.
class LiveView
{
public:
    struct Placement
    {
        QRect source;  // the part of the frame shown
        QSize target;  // the size it is scaled to
    };

    // An empty size (a label never laid out) shows frames at their own size.
    void SetLabelSize(const QSize &size);
    // Moves the window of a panoramic strip by `dx` frame columns (positive:
    // further right), kept inside the newest frame placed.
    void Pan(int dx);
    // No frame seen: not wide, the window at the left.
    void Reset();

    // Where a frame of `frameSize` is cut and the size it is scaled to.
    Placement Place(const QSize &frameSize);
    // The picture of one RGBA8888 frame (rows `bytesPerLine` apart), cut and
    // scaled by Place() in a single pass.
    LivePicture Picture(const uchar *rgba, int bytesPerLine, const QSize &frameSize);

    // Where new picture buffers come from (shared memory a display reads
    // them from); empty, or when it gives a null image: the heap.
    void SetAllocator(std::function<QImage(const QSize &)> allocator);

    bool IsWide() const;
    int WindowLeft() const;
    int WindowWidth() const;

private:
    void ClampWindow();
    // A kept RGB32 buffer of `size` that only this holds, or a new one;
    // `bits` gets its pixels, writable without a copy.
    QImage TakeBuffer(const QSize &size, uchar **bits);

    // The label's picture, the page's newest and the one being made.
    static constexpr int kBuffers = 3;

    mutable QMutex m_mutex;  // protects the members below
    QSize m_labelSize;
    bool m_wide = false;
    int m_windowLeft = 0;
    int m_windowWidth = 0;
    int m_frameWidth = 0;  // of the newest frame placed: where a pan stops
    std::function<QImage(const QSize &)> m_allocator;
    QImage m_buffers[kBuffers];
    int m_nextBuffer = 0;  // replaced next when every buffer is held
};

#endif // LIVEVIEW_H
