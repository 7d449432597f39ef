#include "camera/TempMatrix.h"

#include <algorithm>

namespace sim {

void TempAccumulator::addSpan(int y, int x0, int x1)
{
    if (!m_ || y < 0 || y >= h_)
        return;
    if (x0 > x1)
        std::swap(x0, x1);
    x0 = std::max(x0, 0);
    x1 = std::min(x1, w_ - 1);
    if (x0 > x1)
        return;
    const uint16_t *row = m_ + size_t(y) * size_t(w_);
    uint64_t sum = 0;
    for (int x = x0; x <= x1; ++x) {
        const uint16_t v = row[x];
        sum += v;
        if (v < min_ || minX_ < 0) {
            min_ = v;
            minX_ = x;
            minY_ = y;
        }
        if (v > max_ || maxX_ < 0) {
            max_ = v;
            maxX_ = x;
            maxY_ = y;
        }
    }
    sum_ += sum;
    count_ += x1 - x0 + 1;
}

TempStats TempAccumulator::result() const
{
    TempStats s;
    s.count = count_;
    if (count_ == 0)
        return s;
    s.minC = deciKelvinToC(min_);
    s.maxC = deciKelvinToC(max_);
    s.avgC = float(double(sum_) / count_ / kTempScale - 273.15);
    s.minX = minX_;
    s.minY = minY_;
    s.maxX = maxX_;
    s.maxY = maxY_;
    return s;
}

bool temperatureAt(const uint16_t *matrix, int width, int height, int x, int y, float *celsius)
{
    if (!matrix || x < 0 || y < 0 || x >= width || y >= height)
        return false;
    if (celsius)
        *celsius = deciKelvinToC(matrix[size_t(y) * size_t(width) + size_t(x)]);
    return true;
}

TempStats regionStats(const uint16_t *matrix, int width, int height, int x0, int y0, int x1, int y1)
{
    TempAccumulator acc(matrix, width, height);
    if (y0 > y1)
        std::swap(y0, y1);
    for (int y = std::max(y0, 0); y <= std::min(y1, height - 1); ++y)
        acc.addSpan(y, x0, x1);
    return acc.result();
}

}  // namespace sim
