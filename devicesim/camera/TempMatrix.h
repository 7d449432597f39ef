#pragma once
// Reading temperatures off a thermal frame's matrix.
//
// A temperature matrix is width * height values, row-major, in the units of
// camera/TempUnits.h.

#include "camera/TempUnits.h"

#include <cstdint>

namespace sim {

// Statistics of a set of pixels: minimum, maximum (first found, in row
// order) with their positions, and the mean.
struct TempStats {
    int count = 0;  // 0: nothing measured, the other fields are meaningless
    float minC = 0, maxC = 0, avgC = 0;
    int minX = -1, minY = -1, maxX = -1, maxY = -1;
};

// Collects pixels shape by shape: rules feed the row spans of any outline.
class TempAccumulator {
public:
    TempAccumulator(const uint16_t *matrix, int width, int height)
        : m_(matrix), w_(width), h_(height)
    {
    }

    // Pixels x0..x1 (inclusive) of row y; clipped to the frame.
    void addSpan(int y, int x0, int x1);
    void addPixel(int x, int y) { addSpan(y, x, x); }
    TempStats result() const;

private:
    const uint16_t *m_;
    int w_, h_;
    uint64_t sum_ = 0;
    int count_ = 0;
    uint16_t min_ = 0xFFFF, max_ = 0;
    int minX_ = -1, minY_ = -1, maxX_ = -1, maxY_ = -1;
};

// Temperature of one pixel in C; false when (x, y) is outside the frame.
bool temperatureAt(const uint16_t *matrix, int width, int height, int x, int y, float *celsius);

// Rectangle with corners (x0, y0) and (x1, y1), inclusive, in any order,
// clipped to the frame. count is 0 when nothing of it lies inside.
TempStats regionStats(const uint16_t *matrix, int width, int height, int x0, int y0, int x1, int y1);

}  // namespace sim
