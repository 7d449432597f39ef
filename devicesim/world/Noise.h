#pragma once
// Integer hashing and smooth value noise used to build the static world.
// Only used at construction time, so clarity wins over speed here.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sim {
namespace noise {

inline uint32_t hash32(uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

inline uint32_t hash3(uint32_t seed, int32_t a, int32_t b)
{
    return hash32(seed ^ hash32(uint32_t(a) * 0x9E3779B1U ^ hash32(uint32_t(b) + 0x632BE5ABU)));
}

// Uniform in [0, 1).
inline double unit(uint32_t h) { return (h >> 8) * (1.0 / 16777216.0); }

inline double smooth(double f) { return f * f * (3.0 - 2.0 * f); }

// Value noise on a lattice of `cell` raster pixels, periodic in x with
// `widthPx` pixels so the panorama has no seam at pan 0/360. Rows are
// prepared one at a time: the lattice values of a row are computed once and
// each pixel only interpolates.
class PeriodicRowNoise {
public:
    PeriodicRowNoise(uint32_t seed, int cell, int widthPx)
        : seed_(seed), cell_(cell), period_(widthPx / cell), lattice_(size_t(period_) + 1)
    {
    }

    void prepareRow(int y)
    {
        const int cy = y >= 0 ? y / cell_ : -((-y + cell_ - 1) / cell_);
        const double fy = smooth(double(y - cy * cell_) / cell_);
        for (int i = 0; i <= period_; ++i) {
            const int ix = i % period_;
            const double a = unit(hash3(seed_, ix, cy));
            const double b = unit(hash3(seed_, ix, cy + 1));
            lattice_[size_t(i)] = a + (b - a) * fy;
        }
    }

    // In [0, 1) for x in [0, widthPx).
    double at(int x) const
    {
        const int cx = x / cell_;
        const double fx = smooth(double(x - cx * cell_) / cell_);
        const double a = lattice_[size_t(cx)], b = lattice_[size_t(cx) + 1];
        return a + (b - a) * fx;
    }

private:
    uint32_t seed_;
    int cell_;
    int period_;
    std::vector<double> lattice_;
};

}  // namespace noise
}  // namespace sim
