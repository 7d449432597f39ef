#include "PreviewSink.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

void PreviewSink::onFrame(TMV_NET_HANDLE, int32_t, TMV_NET_PREVIEW_FRAME *frame, void *user)
{
    auto *sink = static_cast<PreviewSink *>(user);
    std::lock_guard<std::mutex> lock(sink->mutex);
    sink->width = frame->width;
    sink->height = frame->height;
    sink->last = QByteArray(reinterpret_cast<const char *>(frame->data), frame->width * frame->height * 4);
}

namespace PictureDiff {

namespace {
int green(const QByteArray &frame, int pixel)
{
    return int(uint8_t(frame[pixel * 4 + 1]));
}
}  // namespace

double mean(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size() || a.isEmpty())
        return HUGE_VAL;
    double sum = 0;
    int64_t n = 0;
    for (int pixel = 0; pixel < a.size() / 4; pixel += 7) {
        sum += std::abs(green(a, pixel) - green(b, pixel));
        ++n;
    }
    return sum / double(n);
}

double shifted(const QByteArray &a, const QByteArray &b, int width, int height, int dx)
{
    double sum = 0;
    int64_t n = 0;
    for (int y = 0; y < height; y += 2)
        for (int x = 0; x + dx < width; x += 2) {
            sum += std::abs(green(a, y * width + x + dx) - green(b, y * width + x));
            ++n;
        }
    return n ? sum / double(n) : 0;
}

int bestShift(const QByteArray &a, const QByteArray &b, int width, int height, int maxDx)
{
    int best = 0;
    double bestDiff = HUGE_VAL;
    for (int dx = 0; dx < maxDx; ++dx) {
        const double d = shifted(a, b, width, height, dx);
        if (d < bestDiff) {
            bestDiff = d;
            best = dx;
        }
    }
    return best;
}

}  // namespace PictureDiff
