#include "camera/FrameSource.h"

#include "camera/Imaging.h"
#include "camera/Palettes.h"
#include "camera/TempMatrix.h"
#include "world/Noise.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sim {

namespace {

constexpr int kGrainSize = 4096;
constexpr int kGrainMax = 4;  // largest grain step, deci-kelvin

// Per-byte blend of two packed colours, f in 0..256 (256 = all of b).
inline uint32_t lerpRgba(uint32_t a, uint32_t b, uint32_t f)
{
    const uint32_t m = 0x00FF00FFU;
    const uint32_t rb = ((((a & m) * (256 - f)) + ((b & m) * f)) >> 8) & m;
    const uint32_t ga = (((((a >> 8) & m) * (256 - f)) + (((b >> 8) & m) * f)) >> 8) & m;
    return rb | (ga << 8);
}

// o = a + (b - a) * f / 256 for background rows, widening lo/hi to the
// values written. Background temperatures stay below 32768 (see World), so
// signed 16-bit lanes are safe.
void blendThermalRows(const uint16_t *a, const uint16_t *b, int f, uint16_t *o, int n, int &lo, int &hi)
{
    int x = 0;
#if defined(__SSE2__)
    const __m128i weights = _mm_set1_epi32((f << 16) | (256 - f));
    __m128i vmin = _mm_set1_epi16(32767), vmax = _mm_setzero_si128();
    for (; x + 8 <= n; x += 8) {
        const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i *>(a + x));
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i *>(b + x));
        const __m128i low = _mm_srai_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(va, vb), weights), 8);
        const __m128i high = _mm_srai_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(va, vb), weights), 8);
        const __m128i v = _mm_packs_epi32(low, high);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(o + x), v);
        vmin = _mm_min_epi16(vmin, v);
        vmax = _mm_max_epi16(vmax, v);
    }
    alignas(16) int16_t mins[8], maxs[8];
    _mm_store_si128(reinterpret_cast<__m128i *>(mins), vmin);
    _mm_store_si128(reinterpret_cast<__m128i *>(maxs), vmax);
    for (int k = 0; k < 8; ++k) {
        if (x > 0) {
            lo = std::min(lo, int(mins[k]));
            hi = std::max(hi, int(maxs[k]));
        }
    }
#endif
    for (; x < n; ++x) {
        const int v = (a[x] * (256 - f) + b[x] * f) >> 8;
        o[x] = uint16_t(v);
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
}

// Per-byte o = (a * (256 - f) + b * f) / 256.
void blendBytes(const uint8_t *a, const uint8_t *b, int f, uint8_t *o, size_t n)
{
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i fa = _mm_set1_epi16(int16_t(256 - f)), fb = _mm_set1_epi16(int16_t(f));
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
        const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i *>(a + i));
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i *>(b + i));
        const __m128i low = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(va, zero), fa),
                                                         _mm_mullo_epi16(_mm_unpacklo_epi8(vb, zero), fb)), 8);
        const __m128i high = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(va, zero), fa),
                                                          _mm_mullo_epi16(_mm_unpackhi_epi8(vb, zero), fb)), 8);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(o + i), _mm_packus_epi16(low, high));
    }
#endif
    for (; i < n; ++i)
        o[i] = uint8_t((a[i] * (256 - f) + b[i] * f) >> 8);
}

// A frame coordinate computed in doubles, clamped into 0..size-1 before it
// becomes an int (a huge zoom puts box edges far outside).
inline int toPixel(double v, int size)
{
    return int(std::clamp(v, 0.0, double(size - 1)));
}

// Non-finite inputs would turn into undefined integer conversions.
inline double finiteOr(double v, double fallback) { return std::isfinite(v) ? v : fallback; }

// Palette index of each pixel of a row with detail enhancement: the value
// plus grain plus (2v - left - right) * k / 128 (k 0..127), clamped into
// the colour table's domain, minus its start. Temperatures stay below 32768
// deci-kelvin (3000 C) here, so signed 16-bit lanes hold every term.
void sharpenRow(const uint16_t *m, const int16_t *grain, int width, int k, int domainLo, int domainHi, uint16_t *out)
{
    auto scalar = [&](int x) {
        const int l = m[x > 0 ? x - 1 : x], r = m[x + 1 < width ? x + 1 : x];
        int v = m[x] + (grain ? grain[x] : 0) + (((2 * m[x] - l - r) * k) >> 7);
        out[x] = uint16_t(std::clamp(v, domainLo, domainHi) - domainLo);
    };
    int x = 0;
    if (width > 0)
        scalar(x++);
#if defined(__SSE2__)
    const __m128i factor = _mm_set1_epi16(int16_t(k << 8));
    const __m128i lo = _mm_set1_epi16(int16_t(domainLo)), hi = _mm_set1_epi16(int16_t(domainHi));
    const __m128i zero = _mm_setzero_si128();
    for (; x + 9 <= width; x += 8) {
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i *>(m + x));
        const __m128i l = _mm_loadu_si128(reinterpret_cast<const __m128i *>(m + x - 1));
        const __m128i r = _mm_loadu_si128(reinterpret_cast<const __m128i *>(m + x + 1));
        const __m128i lap = _mm_sub_epi16(_mm_add_epi16(c, c), _mm_add_epi16(l, r));
        __m128i v = _mm_add_epi16(c, _mm_slli_epi16(_mm_mulhi_epi16(lap, factor), 1));
        if (grain)
            v = _mm_adds_epi16(v, _mm_loadu_si128(reinterpret_cast<const __m128i *>(grain + x)));
        v = _mm_sub_epi16(_mm_min_epi16(_mm_max_epi16(v, lo), hi), lo);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + x), _mm_max_epi16(v, zero));
    }
#endif
    for (; x < width; ++x)
        scalar(x);
}

}  // namespace

FrameSource::FrameSource(std::shared_ptr<const World> world)
    : world_(std::move(world)), grain_(kGrainSize)
{
    // Roughly Gaussian grain of about one deci-kelvin, like a sensor's NETD.
    for (int i = 0; i < kGrainSize; ++i) {
        double sum = 0;
        for (int k = 0; k < 3; ++k)
            sum += noise::unit(noise::hash3(0x6A1Eu, i, k)) * 2.0 - 1.0;
        grain_[size_t(i)] = int16_t(std::clamp(std::lround(sum * 1.2), -long(kGrainMax), long(kGrainMax)));
    }
}

void FrameSource::prepare(const View &view, int width, int height)
{
    constexpr int rw = World::kRasterWidth, rh = World::kRasterHeight;
    constexpr double ppd = World::kPixelsPerDegree;
    const double zoom = std::clamp(finiteOr(view.zoom, 1.0), 1.0, 10000.0);
    const double hfov = view.hfovDeg > 0.0 ? std::min(view.hfovDeg, 360.0) : 50.0;
    const bool flipX = view.flip == FlipMode::Horizontal || view.flip == FlipMode::Both;
    const bool flipY = view.flip == FlipMode::Vertical || view.flip == FlipMode::Both;
    centrePan_ = std::fmod(finiteOr(view.panDeg, 0.0), 360.0);
    centreTilt_ = std::clamp(finiteOr(view.tiltDeg, 0.0), -90.0, 90.0);
    degPerPixel_ = hfov / zoom / width;
    stepX_ = flipX ? -degPerPixel_ : degPerPixel_;
    stepY_ = flipY ? -degPerPixel_ : degPerPixel_;

    col0_.resize(size_t(width));
    col1_.resize(size_t(width));
    colF_.resize(size_t(width));
    for (int x = 0; x < width; ++x) {
        const double u = (centrePan_ + (x + 0.5 - width / 2.0) * stepX_) * ppd - 0.5;
        const double fl = std::floor(u);
        int c = int(std::fmod(fl, double(rw)));
        if (c < 0)
            c += rw;
        col0_[size_t(x)] = c;
        col1_[size_t(x)] = c + 1 == rw ? 0 : c + 1;
        colF_[size_t(x)] = std::min(256, int((u - fl) * 256.0));
    }
    row0_.resize(size_t(height));
    row1_.resize(size_t(height));
    rowF_.resize(size_t(height));
    for (int y = 0; y < height; ++y) {
        const double v = (90.0 - (centreTilt_ + (height / 2.0 - y - 0.5) * stepY_)) * ppd - 0.5;
        const double fl = std::floor(v);
        if (fl < 0) {
            row0_[size_t(y)] = row1_[size_t(y)] = 0;
            rowF_[size_t(y)] = 0;
        } else if (fl >= rh - 1) {
            row0_[size_t(y)] = row1_[size_t(y)] = rh - 1;
            rowF_[size_t(y)] = 0;
        } else {
            row0_[size_t(y)] = int(fl);
            row1_[size_t(y)] = int(fl) + 1;
            rowF_[size_t(y)] = std::min(256, int((v - fl) * 256.0));
        }
    }
    cachedRow_[0] = cachedRow_[1] = -1;
}

// Calls plot.begin(object) once per object in view and plot(object,
// frameIndex, spriteIndex) for each of its opaque pixels, farthest object
// first. Boxes are tried a turn to either side so a panoramic strip shows an
// object cut by its seam at both ends.
template <typename Plot>
void FrameSource::drawObjects(double t, int width, int height, Plot &plot)
{
    for (const ObjectState &o : world_->objects(t)) {
        if (!o.present || !o.sprite || o.widthDeg <= 0.0 || o.heightDeg <= 0.0)
            continue;
        const Sprite &sp = *o.sprite;
        const double pan = wrapDegrees180(o.panDeg - centrePan_);
        const double top = o.tiltDeg + o.heightDeg / 2.0 - centreTilt_;
        const double ya = height / 2.0 - 0.5 - top / stepY_;
        const double yb = height / 2.0 - 0.5 - (top - o.heightDeg) / stepY_;
        const int y0 = toPixel(std::floor(std::min(ya, yb)), height);
        const int y1 = toPixel(std::ceil(std::max(ya, yb)), height);
        if (std::max(ya, yb) < 0.0 || std::min(ya, yb) > height - 1.0)
            continue;
        spriteRows_.resize(size_t(y1 - y0 + 1));
        for (int y = y0; y <= y1; ++y) {
            const double v = std::floor((top - (height / 2.0 - y - 0.5) * stepY_) / o.heightDeg * sp.height);
            spriteRows_[size_t(y - y0)] = v >= 0 && v < sp.height ? int(v) : -1;
        }
        bool begun = false;
        for (int turn = -1; turn <= 1; ++turn) {
            const double left = pan + turn * 360.0 - o.widthDeg / 2.0;
            const double xa = left / stepX_ + width / 2.0 - 0.5;
            const double xb = (left + o.widthDeg) / stepX_ + width / 2.0 - 0.5;
            if (std::max(xa, xb) < 0.0 || std::min(xa, xb) > width - 1.0)
                continue;
            const int x0 = toPixel(std::floor(std::min(xa, xb)), width);
            const int x1 = toPixel(std::ceil(std::max(xa, xb)), width);
            spriteCols_.resize(size_t(x1 - x0 + 1));
            for (int x = x0; x <= x1; ++x) {
                const double u = std::floor(((x + 0.5 - width / 2.0) * stepX_ - left) / o.widthDeg * sp.width);
                int c = u >= 0 && u < sp.width ? int(u) : -1;
                if (c >= 0 && o.mirrored)
                    c = sp.width - 1 - c;
                spriteCols_[size_t(x - x0)] = c;
            }
            if (!begun) {
                plot.begin(o);
                begun = true;
            }
            for (int y = y0; y <= y1; ++y) {
                const int sr = spriteRows_[size_t(y - y0)];
                if (sr < 0)
                    continue;
                const size_t spriteRow = size_t(sr) * size_t(sp.width);
                const size_t frameRow = size_t(y) * size_t(width);
                for (int x = x0; x <= x1; ++x) {
                    const int sc = spriteCols_[size_t(x - x0)];
                    if (sc >= 0 && sp.level[spriteRow + size_t(sc)])
                        plot(o, frameRow + size_t(x), spriteRow + size_t(sc));
                }
            }
        }
    }
}

void FrameSource::sampleThermal(int width, int height, uint16_t *out, int &lo, int &hi)
{
    for (auto &r : thermalRows_)
        r.resize(size_t(width));
    auto across = [&](int row, int keep) -> const uint16_t * {
        for (int s = 0; s < 2; ++s)
            if (cachedRow_[s] == row)
                return thermalRows_[s].data();
        const int s = cachedRow_[0] == keep ? 1 : 0;
        cachedRow_[s] = row;
        const uint16_t *src = world_->temperatureRow(row);
        uint16_t *dst = thermalRows_[s].data();
        const int *c0 = col0_.data(), *c1 = col1_.data(), *f = colF_.data();
        for (int x = 0; x < width; ++x) {
            const int a = src[c0[x]], b = src[c1[x]];
            dst[x] = uint16_t(a + (((b - a) * f[x]) >> 8));
        }
        return dst;
    };
    for (int y = 0; y < height; ++y) {
        const int r0 = row0_[size_t(y)], r1 = row1_[size_t(y)], f = rowF_[size_t(y)];
        const uint16_t *a = across(r0, r1);
        const uint16_t *b = f == 0 || r1 == r0 ? a : across(r1, r0);
        blendThermalRows(a, b, f, out + size_t(y) * size_t(width), width, lo, hi);
    }
}

void FrameSource::sampleVisible(int width, int height, uint8_t *out)
{
    for (auto &r : visibleRows_)
        r.resize(size_t(width));
    const uint32_t *colours = world_->materialColours();
    auto across = [&](int row, int keep) -> const uint32_t * {
        for (int s = 0; s < 2; ++s)
            if (cachedRow_[s] == row)
                return visibleRows_[s].data();
        const int s = cachedRow_[0] == keep ? 1 : 0;
        cachedRow_[s] = row;
        const uint8_t *src = world_->materialRow(row);
        uint32_t *dst = visibleRows_[s].data();
        const int *c0 = col0_.data(), *c1 = col1_.data(), *f = colF_.data();
        for (int x = 0; x < width; ++x)
            dst[x] = lerpRgba(colours[src[c0[x]]], colours[src[c1[x]]], uint32_t(f[x]));
        return dst;
    };
    const size_t rowBytes = size_t(width) * 4;
    for (int y = 0; y < height; ++y) {
        const int r0 = row0_[size_t(y)], r1 = row1_[size_t(y)], f = rowF_[size_t(y)];
        const uint8_t *a = reinterpret_cast<const uint8_t *>(across(r0, r1));
        uint8_t *o = out + size_t(y) * rowBytes;
        if (f == 0 || r1 == r0) {
            std::memcpy(o, a, rowBytes);
            continue;
        }
        const uint8_t *b = reinterpret_cast<const uint8_t *>(across(r1, r0));
        blendBytes(a, b, f, o, rowBytes);
    }
}

void FrameSource::buildLut(const ThermalSettings &settings, int spanLo, int spanHi, int domainLo, int domainHi)
{
    const int palette = settings.palette >= 0 && settings.palette < kPaletteCount ? settings.palette : 0;
    const int brightness = std::clamp(settings.brightness, 0, 100);
    const int contrast = std::clamp(settings.contrast, 0, 100);
    const int key[7] = {spanLo, spanHi, domainLo, domainHi, palette, brightness, contrast};
    if (std::equal(key, key + 7, lutKey_))
        return;
    std::copy(key, key + 7, lutKey_);
    const uint32_t *colours = paletteColours(palette);
    const double span = std::max(1, spanHi - spanLo);
    lut_.resize(size_t(domainHi - domainLo + 1));
    for (int v = domainLo; v <= domainHi; ++v) {
        const double u = std::clamp((v - spanLo) / span, 0.0, 1.0);
        const double w = toneCurve(u, brightness, contrast);
        lut_[size_t(v - domainLo)] = colours[std::clamp(int(w * 255.0 + 0.5), 0, 255)];
    }
}

// Automatic span the way a camera's gain control does it: the range between
// the 0.5th and 99.8th percentile of a quarter of the rows, so one small hot spot
// (a fire) saturates instead of leaving the whole scene dark.
void FrameSource::autoSpan(const uint16_t *matrix, int width, int height, int lo, int hi, int &spanLo,
                           int &spanHi)
{
    spanLo = lo;
    spanHi = hi;
    if (hi <= lo)
        return;
    histogram_.assign(size_t(hi - lo + 1), 0);
    // Every fourth row, chosen symmetrically from both ends, so a flipped
    // picture gets exactly the same span.
    size_t count = 0;
    int *bins = histogram_.data() - lo;
    for (int y = 0; y < height; ++y) {
        if (std::min(y, height - 1 - y) % 4)
            continue;
        const uint16_t *row = matrix + size_t(y) * size_t(width);
        for (int x = 0; x < width; ++x)
            ++bins[row[x]];
        count += size_t(width);
    }
    const int coldTail = int(count / 200), hotTail = int(count / 500);
    int seen = 0, v = 0;
    while (v < hi - lo && seen + histogram_[size_t(v)] <= coldTail)
        seen += histogram_[size_t(v++)];
    spanLo = lo + v;
    seen = 0;
    v = hi - lo;
    while (v > spanLo - lo && seen + histogram_[size_t(v)] <= hotTail)
        seen += histogram_[size_t(v--)];
    spanHi = lo + v;
}

// The gain's measurable range: what lies outside reads as its end, as a
// saturated detector does. Most scenes lie inside, and then nothing is
// touched.
void FrameSource::clampToRange(const ThermalSettings &settings, int width, int height, uint16_t *matrix, int &lo,
                               int &hi)
{
    const int rangeLo = celsiusToDeciKelvin(std::min(settings.rangeMinC, settings.rangeMaxC));
    const int rangeHi = celsiusToDeciKelvin(std::max(settings.rangeMinC, settings.rangeMaxC));
    if (lo >= rangeLo && hi <= rangeHi)
        return;
    const size_t n = size_t(width) * size_t(height);
    size_t i = 0;
#if defined(__SSE2__)
    // Unsigned 16-bit clamp from saturating differences.
    const __m128i vlo = _mm_set1_epi16(int16_t(uint16_t(rangeLo))), vhi = _mm_set1_epi16(int16_t(uint16_t(rangeHi)));
    for (; i + 8 <= n; i += 8) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(matrix + i));
        v = _mm_sub_epi16(v, _mm_subs_epu16(v, vhi));
        v = _mm_add_epi16(v, _mm_subs_epu16(vlo, v));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(matrix + i), v);
    }
#endif
    for (; i < n; ++i)
        matrix[i] = uint16_t(std::clamp(int(matrix[i]), rangeLo, rangeHi));
    lo = std::clamp(lo, rangeLo, rangeHi);
    hi = std::clamp(hi, rangeLo, rangeHi);
}

ThermalInfo FrameSource::renderThermal(const View &view, const ThermalSettings &settings, double t, int width,
                                       int height, uint16_t *temperature, uint8_t *rgba)
{
    ThermalInfo info;
    if (width < 1 || height < 1 || (!temperature && !rgba))
        return info;
    uint16_t *matrix = temperature;
    if (!matrix) {
        scratchMatrix_.resize(size_t(width) * size_t(height));
        matrix = scratchMatrix_.data();
    }
    prepare(view, width, height);
    int lo = 65535, hi = 0;
    sampleThermal(width, height, matrix, lo, hi);

    struct Heat {
        uint16_t *matrix;
        int lo, hi;
        uint16_t lut[256];
        void begin(const ObjectState &o)
        {
            for (int l = 1; l < 256; ++l)
                lut[l] = celsiusToDeciKelvin(o.lowC + (o.highC - o.lowC) * (l - 1) / 254.0);
        }
        void operator()(const ObjectState &o, size_t frameIndex, size_t spriteIndex)
        {
            const uint16_t v = lut[o.sprite->level[spriteIndex]];
            matrix[frameIndex] = v;
            lo = std::min(lo, int(v));
            hi = std::max(hi, int(v));
        }
    } heat{matrix, lo, hi, {}};
    drawObjects(t, width, height, heat);
    lo = heat.lo;
    hi = heat.hi;
    clampToRange(settings, width, height, matrix, lo, hi);

    info.frameMinC = deciKelvinToC(uint16_t(lo));
    info.frameMaxC = deciKelvinToC(uint16_t(hi));

    int spanLo = lo, spanHi = hi;
    if (!settings.manualSpan)
        autoSpan(matrix, width, height, lo, hi, spanLo, spanHi);
    else {
        spanLo = celsiusToDeciKelvin(std::min(settings.spanMinC, settings.spanMaxC));
        spanHi = celsiusToDeciKelvin(std::max(settings.spanMinC, settings.spanMaxC));
    }
    // A flat scene (a wall, the sky) would otherwise blow the grain up to
    // full contrast.
    const int minSpan = 20;
    if (spanHi - spanLo < minSpan) {
        const int mid = (spanLo + spanHi) / 2;
        spanLo = std::max(0, mid - minSpan / 2);
        spanHi = spanLo + minSpan;
    }
    info.spanMinC = deciKelvinToC(uint16_t(spanLo));
    info.spanMaxC = deciKelvinToC(uint16_t(spanHi));
    if (!rgba)
        return info;

    const int domainLo = std::min(lo, spanLo) - kGrainMax;
    const int domainHi = std::max(hi, spanHi) + kGrainMax;
    buildLut(settings, spanLo, spanHi, domainLo, domainHi);
    const uint32_t *lut = lut_.data();
    if (grain_.size() < size_t(kGrainSize + width)) {
        const size_t old = grain_.size();
        grain_.resize(size_t(kGrainSize + width));
        for (size_t i = old; i < grain_.size(); ++i)
            grain_[i] = grain_[i % kGrainSize];
    }
    // 3D noise reduction averages over frames: the grain holds for several
    // frames and shrinks with the square root of how many.
    const int hold = 1 + std::clamp(settings.denoise3D, 0, 100) / 20;
    int64_t frameNo = int64_t(std::floor(World::saneTime(t) * 30.0));
    frameNo = frameNo >= 0 ? frameNo / hold : -((-frameNo + hold - 1) / hold);
    const double quiet = (1.0 - 0.8 * std::clamp(settings.denoise2D, 0, 100) / 100.0) / std::sqrt(double(hold));
    const int16_t *grainTable = grain_.data();
    if (settings.sensorNoise && quiet < 1.0) {
        const int key = int(quiet * 1000.0);
        if (quietKey_ != key || quietGrain_.size() != grain_.size()) {
            quietKey_ = key;
            quietGrain_.resize(grain_.size());
            for (size_t i = 0; i < grain_.size(); ++i)
                quietGrain_[i] = int16_t(std::lround(grain_[i] * quiet));
        }
        grainTable = quietGrain_.data();
    }
    // Detail enhancement adds the row's second difference: edges overshoot
    // as an unsharp mask makes them.
    const int detail = std::clamp(settings.detail, 0, 100) * 127 / 100;
    if (detail > 0)
        index_.resize(size_t(width));
    for (int y = 0; y < height; ++y) {
        const uint16_t *m = matrix + size_t(y) * size_t(width);
        uint8_t *o = rgba + size_t(y) * size_t(width) * 4;
        const int16_t *grain = grainTable + noise::hash3(uint32_t(frameNo), int(frameNo >> 32), y) % kGrainSize;
        if (detail > 0) {
            sharpenRow(m, settings.sensorNoise ? grain : nullptr, width, detail, domainLo, domainHi, index_.data());
            const uint16_t *index = index_.data();
            for (int x = 0; x < width; ++x)
                std::memcpy(o + 4 * x, &lut[index[x]], 4);
        } else if (settings.sensorNoise) {
            for (int x = 0; x < width; ++x)
                std::memcpy(o + 4 * x, &lut[m[x] + grain[x] - domainLo], 4);
        } else {
            for (int x = 0; x < width; ++x)
                std::memcpy(o + 4 * x, &lut[m[x] - domainLo], 4);
        }
    }
    return info;
}

void FrameSource::renderVisible(const View &view, double t, int width, int height, uint8_t *rgba)
{
    if (width < 1 || height < 1 || !rgba)
        return;
    prepare(view, width, height);
    sampleVisible(width, height, rgba);
    struct Paint {
        uint8_t *rgba;
        void begin(const ObjectState &) {}
        void operator()(const ObjectState &o, size_t frameIndex, size_t spriteIndex)
        {
            const uint32_t c = (*o.colours)[o.sprite->colour[spriteIndex] & 15];
            std::memcpy(rgba + frameIndex * 4, &c, 4);
        }
    } paint{rgba};
    drawObjects(t, width, height, paint);
}

}  // namespace sim
