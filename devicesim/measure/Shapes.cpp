#include "measure/Shapes.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace sim {

namespace {

int64_t floorDiv(int64_t a, int64_t b)
{
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

// Appends a span to a list sorted by row and start, merging it into the last
// one when they overlap or touch.
void appendMerged(SpanList &out, const Span &s)
{
    if (!out.empty() && out.back().y == s.y && s.x0 <= out.back().x1 + 1)
        out.back().x1 = std::max(out.back().x1, s.x1);
    else
        out.push_back(s);
}

// Continuous pixel coordinate: pixel p covers [p, p + 1).
double pictureToContinuous(int32_t value, int size)
{
    return double(value) * size / double(kPictureMax + 1);
}

// Collects spans row by row, clipped to the frame, then normalises them.
class Rows {
public:
    Rows(int width, int height) : w_(width), h_(height) {}

    void add(int y, int x0, int x1)
    {
        if (y < 0 || y >= h_)
            return;
        if (x0 > x1)
            std::swap(x0, x1);
        x0 = std::max(x0, 0);
        x1 = std::min(x1, w_ - 1);
        if (x0 <= x1)
            spans_.push_back({y, x0, x1});
    }

    void addLine(int x0, int y0, int x1, int y1)
    {
        // Bresenham; the ends come from valid points, so the walk is short.
        const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
        const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        for (;;) {
            add(y0, x0, x0);
            if (x0 == x1 && y0 == y1)
                break;
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x0 += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y0 += sy;
            }
        }
    }

    SpanList take()
    {
        // One flat list sorted once: far cheaper than a list per row.
        std::sort(spans_.begin(), spans_.end(),
                  [](const Span &a, const Span &b) { return a.y != b.y ? a.y < b.y : a.x0 < b.x0; });
        SpanList out;
        out.reserve(spans_.size());
        for (const Span &s : spans_)
            appendMerged(out, s);
        return out;
    }

    int width() const { return w_; }
    int height() const { return h_; }

private:
    int w_, h_;
    std::vector<Span> spans_;
};

void addCircle(Rows &rows, TMV_NET_POINT centre, TMV_NET_POINT edge)
{
    const double cx = pictureToContinuous(centre.x, rows.width());
    const double cy = pictureToContinuous(centre.y, rows.height());
    const double ex = pictureToContinuous(edge.x, rows.width());
    const double ey = pictureToContinuous(edge.y, rows.height());
    const double r = std::hypot(ex - cx, ey - cy);
    // Pixels whose centre lies within the radius, and the centre's own pixel.
    const int yTop = int(std::floor(cy - r - 0.5)), yBottom = int(std::ceil(cy + r - 0.5));
    for (int y = std::max(yTop, 0); y <= std::min(yBottom, rows.height() - 1); ++y) {
        const double dy = y + 0.5 - cy;
        if (std::fabs(dy) > r)
            continue;
        const double half = std::sqrt(r * r - dy * dy);
        const int x0 = int(std::ceil(cx - half - 0.5)), x1 = int(std::floor(cx + half - 0.5));
        rows.add(y, x0, x1);
    }
    rows.add(pictureToPixel(centre.y, rows.height()), pictureToPixel(centre.x, rows.width()),
             pictureToPixel(centre.x, rows.width()));
}

void addPolygon(Rows &rows, const TMV_NET_POINT *points, int count)
{
    double xs[kMaxShapePoints], ys[kMaxShapePoints];
    double top = 1e300, bottom = -1e300;
    for (int i = 0; i < count; ++i) {
        xs[i] = pictureToContinuous(points[i].x, rows.width());
        ys[i] = pictureToContinuous(points[i].y, rows.height());
        top = std::min(top, ys[i]);
        bottom = std::max(bottom, ys[i]);
    }
    // Inside: pixels whose centre lies between crossings of the row's centre
    // line, paired even-odd, so concave and self-crossing outlines work.
    double cross[kMaxShapePoints];
    const int yFirst = std::max(int(std::floor(top)), 0), yLast = std::min(int(std::ceil(bottom)), rows.height() - 1);
    for (int y = yFirst; y <= yLast; ++y) {
        const double yc = y + 0.5;
        int n = 0;
        for (int i = 0, j = count - 1; i < count; j = i++) {
            if ((ys[i] <= yc && yc < ys[j]) || (ys[j] <= yc && yc < ys[i]))
                cross[n++] = xs[i] + (yc - ys[i]) * (xs[j] - xs[i]) / (ys[j] - ys[i]);
        }
        for (int a = 1; a < n; ++a)  // at most 8: insertion sort
            for (int b = a; b > 0 && cross[b] < cross[b - 1]; --b)
                std::swap(cross[b], cross[b - 1]);
        for (int k = 0; k + 1 < n; k += 2)
            rows.add(y, int(std::ceil(cross[k] - 0.5)), int(std::floor(cross[k + 1] - 0.5)));
    }
    // Outline: the pixels the edges pass, so edges and flat polygons count.
    for (int i = 0, j = count - 1; i < count; j = i++) {
        if (count == 2 && i == 1)
            break;  // two points: one edge, not two
        rows.addLine(pictureToPixel(points[j].x, rows.width()), pictureToPixel(points[j].y, rows.height()),
                     pictureToPixel(points[i].x, rows.width()), pictureToPixel(points[i].y, rows.height()));
    }
}

}  // namespace

int pictureToPixel(int32_t value, int size)
{
    return int(floorDiv(int64_t(value) * size, kPictureMax + 1));
}

int32_t pixelToPicture(int pixel, int size)
{
    if (size <= 0)
        return 0;
    return int32_t(floorDiv((2 * int64_t(pixel) + 1) * (kPictureMax + 1), 2 * int64_t(size)));
}

bool validShape(int32_t type, const TMV_NET_POINT *points, int32_t count)
{
    int needed = 0;
    switch (type) {
    case kShapePoint:
        needed = 1;
        break;
    case kShapeLine:
    case kShapeArea:
    case kShapeCircle:
    case kShapePolygon:
        needed = 2;
        break;
    default:
        return false;
    }
    if (!points || count < needed || count > kMaxShapePoints)
        return false;
    for (int i = 0; i < count; ++i) {
        if (points[i].x < 0 || points[i].x > kPictureMax || points[i].y < 0 || points[i].y > kPictureMax)
            return false;
    }
    return true;
}

SpanList shapeSpans(int32_t type, const TMV_NET_POINT *points, int32_t count, int width, int height)
{
    if (width <= 0 || height <= 0 || !validShape(type, points, count))
        return {};
    Rows rows(width, height);
    auto px = [&](int i) { return pictureToPixel(points[i].x, width); };
    auto py = [&](int i) { return pictureToPixel(points[i].y, height); };
    switch (type) {
    case kShapePoint:
        rows.add(py(0), px(0), px(0));
        break;
    case kShapeLine:
        rows.addLine(px(0), py(0), px(1), py(1));
        break;
    case kShapeArea: {
        int x0 = px(0), x1 = px(0), y0 = py(0), y1 = py(0);
        for (int i = 1; i < count; ++i) {
            x0 = std::min(x0, px(i));
            x1 = std::max(x1, px(i));
            y0 = std::min(y0, py(i));
            y1 = std::max(y1, py(i));
        }
        for (int y = y0; y <= y1; ++y)
            rows.add(y, x0, x1);
        break;
    }
    case kShapeCircle:
        addCircle(rows, points[0], points[1]);
        break;
    case kShapePolygon:
        addPolygon(rows, points, count);
        break;
    }
    return rows.take();
}

SpanList boxSpans(TMV_NET_POINT a, TMV_NET_POINT b, int width, int height)
{
    if (width <= 0 || height <= 0)
        return {};
    int x0 = pictureToPixel(a.x, width), x1 = pictureToPixel(b.x, width);
    int y0 = pictureToPixel(a.y, height), y1 = pictureToPixel(b.y, height);
    if (x0 > x1)
        std::swap(x0, x1);
    if (y0 > y1)
        std::swap(y0, y1);
    x0 = std::max(x0, 0);
    x1 = std::min(x1, width - 1);
    SpanList out;
    if (x0 > x1)
        return out;
    for (int y = std::max(y0, 0); y <= std::min(y1, height - 1); ++y)
        out.push_back({y, x0, x1});
    return out;
}

SpanList subtractSpans(const SpanList &spans, const SpanList &cut)
{
    SpanList out;
    out.reserve(spans.size());
    size_t c = 0;
    for (const Span &s : spans) {
        while (c < cut.size() && (cut[c].y < s.y || (cut[c].y == s.y && cut[c].x1 < s.x0)))
            ++c;
        int x = s.x0;
        for (size_t k = c; k < cut.size() && cut[k].y == s.y && cut[k].x0 <= s.x1; ++k) {
            if (cut[k].x0 > x)
                out.push_back({s.y, x, cut[k].x0 - 1});
            x = std::max(x, cut[k].x1 + 1);
        }
        if (x <= s.x1)
            out.push_back({s.y, x, s.x1});
    }
    return out;
}

SpanList uniteSpans(const SpanList &a, const SpanList &b)
{
    SpanList all;
    all.reserve(a.size() + b.size());
    std::merge(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(all),
               [](const Span &l, const Span &r) { return l.y != r.y ? l.y < r.y : l.x0 < r.x0; });
    SpanList out;
    for (const Span &s : all)
        appendMerged(out, s);
    return out;
}

int64_t spanPixels(const SpanList &spans)
{
    int64_t n = 0;
    for (const Span &s : spans)
        n += s.x1 - s.x0 + 1;
    return n;
}

}  // namespace sim
