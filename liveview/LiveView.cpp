#include "liveview/LiveView.h"

#include <QMutexLocker>
#include <QtEndian>
#include <QVarLengthArray>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <atomic>
#include <cmath>
#include <cstring>

namespace {

// A frame this many times wider than high (whole multiples) is a panoramic
// strip, shown through a window instead of squeezed into the label.
const int kWideRatio = 5;

bool IsWideFrame(const QSize &frame)
{
    return frame.height() > 0 && frame.width() / frame.height() > kWideRatio;
}

// RGBA8888 pixels (R, G, B, A in memory order) to RGB32 (0xffRRGGBB), in
// place. Four at a time where the CPU has SSE2: a frame's rows convert in
// under half the time a pixel-by-pixel loop takes.
void RgbaToRgb32InPlace(quint32 *pixels, int count)
{
    int x = 0;
#ifdef __SSE2__
    const __m128i greenAlpha = _mm_set1_epi32(int(0xff00ff00u));
    const __m128i lowByte = _mm_set1_epi32(0xff);
    const __m128i opaque = _mm_set1_epi32(int(0xff000000u));
    for (; x + 4 <= count; x += 4) {
        __m128i *at = reinterpret_cast<__m128i *>(pixels + x);
        const __m128i v = _mm_loadu_si128(at);
        const __m128i red = _mm_slli_epi32(_mm_and_si128(v, lowByte), 16);
        const __m128i blue = _mm_and_si128(_mm_srli_epi32(v, 16), lowByte);
        const __m128i green = _mm_or_si128(_mm_and_si128(v, greenAlpha), opaque);
        _mm_storeu_si128(at, _mm_or_si128(green, _mm_or_si128(red, blue)));
    }
#endif
    for (; x < count; ++x) {
        const quint32 v = qFromLittleEndian(pixels[x]);
        pixels[x] = 0xff000000u | (v & 0xff) << 16 | (v & 0xff00) | (v >> 16 & 0xff);
    }
}

} // namespace

// Nearest-pixel sampling at the positions QImage::scaled(Qt::FastTransformation)
// picks (16.16 fixed point, the first sample half a step in), so the picture
// is the one the label used to stretch frames to: an area-averaging scale
// costs about what a plain viewer spends on a whole frame (README,
// Benchmarks), and on these frames it changes a pixel by under a level on
// average. One pass over the frame reads each sampled source pixel once;
// each row is picked, then turned into RGB32's lane order while it is still
// in cache. Nothing is allocated for small targets.
void ScaleToRgb32(const uchar *rgba, int bytesPerLine, const QRect &source, uchar *out, int outBytesPerLine,
                  const QSize &target)
{
    const int width = target.width();
    const int height = target.height();
    if (source.isEmpty() || width <= 0 || height <= 0)
        return;
    const double sx = double(source.width()) / width;
    const double sy = double(source.height()) / height;
    const quint32 stepX = quint32(65536 * sx);
    const quint32 stepY = quint32(65536 * sy);
    const quint32 firstX = quint32(std::ceil(0.5 * sx * 65536) - 1);
    const quint32 firstY = quint32(std::ceil(0.5 * sy * 65536) - 1);

    // Byte offset of each target column's source pixel within a row.
    QVarLengthArray<int, 2048> columns(width);
    for (int x = 0; x < width; ++x)
        columns[x] = qMin(int((firstX + quint32(x) * stepX) >> 16), source.width() - 1) * 4;

    const uchar *topLeft = rgba + size_t(source.top()) * size_t(bytesPerLine) + size_t(source.left()) * 4;
    int previousRow = -1;
    for (int y = 0; y < height; ++y) {
        uchar *line = out + size_t(y) * size_t(outBytesPerLine);
        const int row = qMin(int((firstY + quint32(y) * stepY) >> 16), source.height() - 1);
        if (row == previousRow) {  // enlarging: the line above again
            std::memcpy(line, line - outBytesPerLine, size_t(width) * 4);
            continue;
        }
        previousRow = row;
        const uchar *src = topLeft + size_t(row) * size_t(bytesPerLine);
        // Pick, then convert the row: the two simple loops run about twice
        // as fast as one that does both per pixel.
        quint32 *dst = reinterpret_cast<quint32 *>(line);
        for (int x = 0; x < width; ++x)
            std::memcpy(dst + x, src + columns[x], 4);
        RgbaToRgb32InPlace(dst, width);
    }
}

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
    uchar *bits = nullptr;
    QImage image = TakeBuffer(place.target, &bits);
    if (image.isNull())  // out of memory
        return {QImage(), frameSize};
    ScaleToRgb32(rgba, bytesPerLine, place.source, bits, image.bytesPerLine(), place.target);
    return {image, frameSize};
}

QImage LiveView::TakeBuffer(const QSize &size, uchar **bits)
{
    QMutexLocker locker(&m_mutex);
    // A buffer only this holds is no longer shown or stored anywhere: the
    // last holder's reads of it come before the writes of the next frame.
    for (QImage &buffer : m_buffers) {
        if (buffer.size() == size && buffer.isDetached()) {
            std::atomic_thread_fence(std::memory_order_acquire);
            *bits = buffer.bits();
            return buffer;
        }
    }
    // All held (or another size): a new one, in place of a free one if any.
    QImage *slot = &m_buffers[m_nextBuffer];
    for (QImage &buffer : m_buffers) {
        if (buffer.isNull() || buffer.isDetached()) {
            slot = &buffer;
            break;
        }
    }
    if (slot == &m_buffers[m_nextBuffer])
        m_nextBuffer = (m_nextBuffer + 1) % kBuffers;
    *slot = m_allocator ? m_allocator(size) : QImage();
    if (slot->isNull())
        *slot = QImage(size, QImage::Format_RGB32);
    *bits = slot->bits();
    return *slot;
}

void LiveView::SetAllocator(std::function<QImage(const QSize &)> allocator)
{
    QMutexLocker locker(&m_mutex);
    m_allocator = std::move(allocator);
    // Pictures already out stay as they are; new ones come from here.
    for (QImage &buffer : m_buffers)
        buffer = QImage();
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
