#pragma once
// Shapes of the picture turned into pixels: the 0..8191 picture space of the
// records mapped onto a width x height temperature matrix, and every shape a
// rule or mask can have turned into row spans once, so a measurement only
// walks spans and never asks per pixel whether it is inside.

#include "TMVNetSDK.h"

#include <cstdint>
#include <vector>

namespace sim {

// Both axes of the picture space run 0..kPictureMax.
constexpr int32_t kPictureMax = 8191;

// Rule shapes as the records number them.
enum RuleShape : int32_t { kShapePoint = 0, kShapeLine = 1, kShapeArea = 2, kShapeCircle = 3, kShapePolygon = 4 };
constexpr int kMaxShapePoints = 8;

// Pixels x0..x1 (inclusive) of row y.
struct Span {
    int y;
    int x0;
    int x1;
    bool operator==(const Span &o) const { return y == o.y && x0 == o.x0 && x1 == o.x1; }
};
// Always normalised: inside the frame, rows ascending, spans of a row
// ascending and neither overlapping nor touching.
using SpanList = std::vector<Span>;

// The pixel column (or row) a picture coordinate falls in; outside 0..size-1
// for coordinates outside the picture space.
int pictureToPixel(int32_t value, int size);
// The picture coordinate of a pixel's centre; maps back to the same pixel.
int32_t pixelToPicture(int pixel, int size);

// Whether a rule shape can be measured: a known type, enough points for it
// (point 1, line, area and circle 2, polygon 2..8), every point inside the
// picture space.
bool validShape(int32_t type, const TMV_NET_POINT *points, int32_t count);

// The pixels a valid shape covers; empty for an invalid one.
//  point: the pixel under it; line: the pixels between its two ends;
//  area: the box the points span; circle: centre and a point on the edge;
//  polygon: its inside (even-odd) and its outline, so a flat one still
//  covers the pixels it passes.
SpanList shapeSpans(int32_t type, const TMV_NET_POINT *points, int32_t count, int width, int height);

// The box two corners span, in picture coordinates that may lie outside the
// picture space (masks are drawn unclamped); clipped to the frame.
SpanList boxSpans(TMV_NET_POINT a, TMV_NET_POINT b, int width, int height);

// The pixels of `spans` that are not in `cut`.
SpanList subtractSpans(const SpanList &spans, const SpanList &cut);
// The pixels of either list.
SpanList uniteSpans(const SpanList &a, const SpanList &b);

int64_t spanPixels(const SpanList &spans);

}  // namespace sim
