#ifndef PICTURESPACE_H
#define PICTURESPACE_H

#include <QList>
#include <QPoint>
#include <QSize>

#include <algorithm>

// Widget pixels on the video label to the device's picture space, and the
// shapes the on-video tools send. Pure functions, so they are tested as
// tables without a window.
namespace PictureSpace {

// Measurement (rules, point readings) uses 0..8191 and keeps points inside
// the picture; masks use the same scale unclamped; the PTZ tools use 0..8192
// unclamped.
enum class Use { Measure, Mask, Ptz };

// Integer multiply first, then division truncating toward zero. 64-bit, so a
// point dragged far outside the label cannot overflow; an empty label gives 0.
inline int Scale(int v, int extent, Use use)
{
    if (extent <= 0)
        return 0;
    if (use == Use::Measure)
        v = std::clamp(v, 0, extent);
    const qint64 scale = use == Use::Ptz ? 8192 : 8191;
    return int(qint64(v) * scale / extent);
}

inline QPoint ToPicture(const QPoint &p, const QSize &label, Use use)
{
    return QPoint(Scale(p.x(), label.width(), use), Scale(p.y(), label.height(), use));
}

inline QList<QPoint> ToPicture(const QList<QPoint> &points, const QSize &label, Use use)
{
    QList<QPoint> out;
    out.reserve(points.size());
    for (const QPoint &p : points)
        out.append(ToPicture(p, label, use));
    return out;
}

// The four corners of the rectangle drawn from p0 to p1, in drawing order:
// (p0.x, p0.y), (p1.x, p0.y), (p1.x, p1.y), (p0.x, p1.y). Not normalised, so
// a rectangle drawn up and to the left keeps p0 first.
inline QList<QPoint> RectangleCorners(const QPoint &p0, const QPoint &p1)
{
    return {p0, QPoint(p1.x(), p0.y()), p1, QPoint(p0.x(), p1.y())};
}

// Start and end point of the tiered rule record for a shape whose points are
// already converted (a rectangle expanded to its corners). Circles and
// polygons have none.
struct Ends
{
    QPoint start;
    QPoint end;
};

inline Ends TieredEnds(int ruleType, const QList<QPoint> &points)
{
    int endIndex = -1;
    switch (ruleType) {
    case 0: endIndex = 0; break;  // point
    case 1: endIndex = 1; break;  // line
    case 2: endIndex = 2; break;  // rectangle: bottom-right after expansion
    default: return {};
    }
    if (points.size() <= endIndex)
        return {};
    return {points.at(0), points.at(endIndex)};
}

} // namespace PictureSpace

#endif // PICTURESPACE_H
