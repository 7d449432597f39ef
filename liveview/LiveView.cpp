#include "liveview/LiveView.h"

#include <QMutexLocker>

namespace {

// A frame this many times wider than high (whole multiples) is a panoramic
// strip, shown through a window instead of squeezed into the label.
const int kWideRatio = 5;

bool IsWideFrame(const QSize &frame)
{
    return frame.height() > 0 && frame.width() / frame.height() > kWideRatio;
}

// The `source` part of an RGBA8888 frame scaled to `target` and converted to
// RGB32, reading the frame once. Nearest-pixel sampling, as the label used
// to stretch frames: an area-averaging scale costs about what a plain viewer
// spends on a whole frame (README, Benchmarks), and on these frames it
// changes a pixel by under a level on average.
QImage ScaleToRgb32(const uchar *rgba, int bytesPerLine, const QRect &source, const QSize &target)
{
    const uchar *topLeft = rgba + size_t(source.top()) * size_t(bytesPerLine) + size_t(source.left()) * 4;
    // Scaling does not care which lane is which: the alpha lane is ignored
    // and the lanes are put in RGB32's order afterwards, on the small picture.
    const QImage part(topLeft, source.width(), source.height(), bytesPerLine, QImage::Format_RGBX8888);
    QImage picture = part.scaled(target, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    // Always a new buffer: the frame's pixels are the library's.
    picture.convertTo(QImage::Format_RGB32);
    return picture;
}

} // namespace

void LiveView::SetLabelSize(const QSize &size)
{
    QMutexLocker locker(&m_mutex);
    m_labelSize = size;
}

void LiveView::Pan(int dx)
{
    QMutexLocker locker(&m_mutex);
    if (!m_wide)
        return;
    m_windowLeft += dx;
    ClampWindow();
}

void LiveView::Reset()
{
    QMutexLocker locker(&m_mutex);
    m_wide = false;
    m_windowLeft = 0;
    m_windowWidth = 0;
    m_frameWidth = 0;
}

// The last column stays out of the window, as it always has.
void LiveView::ClampWindow()
{
    if (m_windowLeft < 0)
        m_windowLeft = 0;
    else if (m_windowLeft > m_frameWidth - m_windowWidth - 1)
        m_windowLeft = qMax(0, m_frameWidth - m_windowWidth - 1);
}

LiveView::Placement LiveView::Place(const QSize &frameSize)
{
    QMutexLocker locker(&m_mutex);
    if (!m_wide && IsWideFrame(frameSize)) {
        m_wide = true;
        m_windowWidth = static_cast<int>(frameSize.height() * 1.25);
    }
    m_frameWidth = frameSize.width();

    const QRect whole(QPoint(0, 0), frameSize);
    QRect source = whole;
    if (m_wide) {
        ClampWindow();
        const QRect window = QRect(m_windowLeft, 0, m_windowWidth, frameSize.height()) & whole;
        if (!window.isEmpty())
            source = window;
    }
    const QSize target = m_labelSize.isEmpty() ? source.size() : m_labelSize;
    return {source, target};
}

LivePicture LiveView::Picture(const uchar *rgba, int bytesPerLine, const QSize &frameSize)
{
    const Placement place = Place(frameSize);
    if (!rgba || place.source.isEmpty() || place.target.isEmpty())
        return {QImage(), frameSize};
    return {ScaleToRgb32(rgba, bytesPerLine, place.source, place.target), frameSize};
}

bool LiveView::IsWide() const
{
    QMutexLocker locker(&m_mutex);
    return m_wide;
}

int LiveView::WindowLeft() const
{
    QMutexLocker locker(&m_mutex);
    return m_windowLeft;
}

int LiveView::WindowWidth() const
{
    QMutexLocker locker(&m_mutex);
    return m_windowWidth;
}
