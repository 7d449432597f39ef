#include "camera/Osd.h"

#include "camera/Imaging.h"
#include "camera/Picture.h"
#include "camera/TempUnits.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <mutex>

namespace sim {

namespace {

constexpr size_t kCachedTexts = 24;
constexpr int kTitlePixels = 20;

// The first installed of the fonts the device may carry.
const char *const kFontFiles[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf",
};

class Font {
public:
    // Never destroyed: a stream thread may still draw while the process
    // exits.
    static Font &instance()
    {
        static Font *font = new Font;
        return *font;
    }

    AlphaMask render(const std::u32string &text, int pixelSize)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        AlphaMask out;
        if (!face_ || text.empty() || pixelSize < 1)
            return out;
        if (FT_Set_Pixel_Sizes(face_, 0, FT_UInt(pixelSize)))
            return out;
        const int ascender = int(face_->size->metrics.ascender >> 6);
        const int descender = int(face_->size->metrics.descender >> 6);
        int width = 0;
        for (char32_t c : text) {
            if (FT_Load_Char(face_, c, FT_LOAD_DEFAULT) == 0)
                width += int(face_->glyph->advance.x >> 6);
        }
        out.width = width + 1;
        out.height = ascender - descender + 1;
        out.alpha.assign(size_t(out.width) * size_t(out.height), 0);
        int pen = 0;
        for (char32_t c : text) {
            if (FT_Load_Char(face_, c, FT_LOAD_RENDER))
                continue;
            const FT_GlyphSlot g = face_->glyph;
            const FT_Bitmap &bm = g->bitmap;
            const int x0 = pen + g->bitmap_left, y0 = ascender - g->bitmap_top;
            for (int r = 0; r < int(bm.rows); ++r) {
                const int y = y0 + r;
                if (y < 0 || y >= out.height)
                    continue;
                const uint8_t *src = bm.buffer + r * bm.pitch;
                for (int k = 0; k < int(bm.width); ++k) {
                    const int x = x0 + k;
                    if (x < 0 || x >= out.width)
                        continue;
                    uint8_t &a = out.alpha[size_t(y) * size_t(out.width) + size_t(x)];
                    a = std::max(a, src[k]);
                }
            }
            pen += int(g->advance.x >> 6);
        }
        return out;
    }

private:
    Font()
    {
        if (FT_Init_FreeType(&library_))
            return;
        for (const char *file : kFontFiles) {
            if (FT_New_Face(library_, file, 0, &face_) == 0)
                return;
            face_ = nullptr;
        }
        std::fprintf(stderr, "devicesim: no font found, the OSD shows no text\n");
    }
    std::mutex mutex_;  // FreeType faces are not thread-safe
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

// Malformed sequences become U+FFFD rather than being skipped silently.
std::u32string decodeUtf8(const std::string &s)
{
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        const uint8_t c = uint8_t(s[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        char32_t cp = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
        bool ok = extra >= 0 && i + size_t(extra) < s.size() + (extra == 0 ? 1 : 0);
        for (int k = 1; ok && k <= extra; ++k) {
            const uint8_t n = uint8_t(s[i + size_t(k)]);
            ok = (n & 0xC0) == 0x80;
            cp = (cp << 6) | (n & 0x3F);
        }
        if (!ok) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        out.push_back(cp);
        i += size_t(extra) + 1;
    }
    return out;
}

// Lightens towards white by `a` (0..255) in place: R, G, B of one pixel.
inline void lighten(uint8_t *p, int a)
{
    for (int k = 0; k < 3; ++k)
        p[k] = uint8_t(p[k] + (((255 - p[k]) * a + 127) / 255));
}

inline void darken(uint8_t *p, int a)
{
    for (int k = 0; k < 3; ++k)
        p[k] = uint8_t(p[k] - ((p[k] * a + 127) / 255));
}

std::string temperatureLabel(float celsius, int unit)
{
    static const char *const suffix[] = {"\xC2\xB0""C", "\xC2\xB0""F", "K"};
    const int u = unit >= 0 && unit <= 2 ? unit : 0;
    char text[32];
    std::snprintf(text, sizeof text, "%.0f%s", celsiusToUnit(celsius, TempUnit(u)), suffix[u]);
    return text;
}

}  // namespace

AlphaMask rasteriseText(const std::string &utf8, int pixelSize)
{
    return Font::instance().render(decodeUtf8(utf8), pixelSize);
}

int laserFontPixels(int fontSize)
{
    return fontSize <= 0 ? 16 : fontSize == 1 ? 24 : 32;
}

const AlphaMask &OsdPainter::mask(const std::string &text, int pixelSize)
{
    ++uses_;
    for (Entry &e : cache_) {
        if (e.pixelSize == pixelSize && e.text == text) {
            e.used = uses_;
            return e.mask;
        }
    }
    if (cache_.size() >= kCachedTexts) {
        auto oldest = std::min_element(cache_.begin(), cache_.end(),
                                       [](const Entry &a, const Entry &b) { return a.used < b.used; });
        cache_.erase(oldest);
    }
    cache_.push_back(Entry{text, pixelSize, uses_, rasteriseText(text, pixelSize)});
    return cache_.back().mask;
}

void OsdPainter::text(const std::string &s, int pixelSize, int x, int y, Picture &picture)
{
    const AlphaMask &m = mask(s, pixelSize);
    const int w = picture.width, h = picture.height;
    uint8_t *rgba = picture.rgba.data();
    // Shadow one pixel down and right, then the text itself.
    for (int pass = 0; pass < 2; ++pass) {
        const int dx = pass == 0 ? x + 1 : x, dy = pass == 0 ? y + 1 : y;
        for (int r = 0; r < m.height; ++r) {
            const int py = dy + r;
            if (py < 0 || py >= h)
                continue;
            const uint8_t *a = m.alpha.data() + size_t(r) * size_t(m.width);
            const int c0 = std::max(0, -dx), c1 = std::min(m.width, w - dx);
            for (int c = c0; c < c1; ++c) {
                if (!a[c])
                    continue;
                uint8_t *p = rgba + (size_t(py) * size_t(w) + size_t(dx + c)) * 4;
                if (pass == 0)
                    darken(p, a[c] * 3 / 4);
                else
                    lighten(p, a[c]);
            }
        }
    }
}

void OsdPainter::draw(const OsdSettings &osd, int64_t timeUs, double rangeM, const Bar *bar, Picture &picture)
{
    if (!osd.shown || picture.width < 1 || picture.height < 1)
        return;
    if (osd.timeTitle) {
        const int64_t us = timeUs + osd.clockOffsetUs;
        const int64_t seconds = us >= 0 ? us / 1000000 : -((-us + 999999) / 1000000);
        text(formatDeviceTime(seconds), kTitlePixels, osd.timeBox.left, osd.timeBox.top, picture);
    }
    if (osd.channelTitle && !osd.title.empty())
        text(osd.title, kTitlePixels, osd.titleBox.left, osd.titleBox.top, picture);
    if (osd.laser) {
        char reading[32];
        if (rangeM <= 0.0)
            std::snprintf(reading, sizeof reading, "---");
        else if (osd.laserUnit == 1)
            std::snprintf(reading, sizeof reading, "%.0f ft", rangeM / 0.3048);
        else
            std::snprintf(reading, sizeof reading, "%.1f m", rangeM);
        const int px = laserFontPixels(osd.laserFontSize);
        int x = osd.laserBox.left;
        if (osd.laserAlignment == 1 && osd.laserBox.right > osd.laserBox.left)
            x = osd.laserBox.right - mask(reading, px).width;
        text(reading, px, x, osd.laserBox.top, picture);
    }
    if (osd.colourBar && bar && bar->colours) {
        // A vertical bar at the right edge, hottest at the top, with the
        // span's ends written beside it.
        const int w = picture.width, h = picture.height;
        const int barW = std::max(4, w / 64), x0 = w - barW - 8;
        const int y0 = h / 8, y1 = h - h / 8;
        if (x0 > 0 && y1 - y0 > 2) {
            uint8_t *rgba = picture.rgba.data();
            for (int y = y0; y < y1; ++y) {
                const uint32_t c = bar->colours[255 - (y - y0) * 255 / (y1 - y0 - 1)];
                uint32_t *row = reinterpret_cast<uint32_t *>(rgba + (size_t(y) * size_t(w) + size_t(x0)) * 4);
                std::fill(row, row + barW, c);
            }
            const std::string hot = temperatureLabel(bar->maxC, osd.unit);
            const std::string cold = temperatureLabel(bar->minC, osd.unit);
            const int px = 14;
            text(hot, px, std::max(0, w - 4 - mask(hot, px).width), std::max(0, y0 - px - 6), picture);
            text(cold, px, std::max(0, w - 4 - mask(cold, px).width), y1 + 2, picture);
        }
    }
}

}  // namespace sim
