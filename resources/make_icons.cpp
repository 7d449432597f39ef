// Draws the six drawing-tool icons of the main window into a folder
// (default: res/ next to this file's working directory), and with a second
// folder renders the program's icon there from its SVG at the sizes the
// desktop installs. Run it offscreen:
//   QT_QPA_PLATFORM=offscreen make_icons resources/res resources/app
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QSvgRenderer>

#include <cstdio>
#include <functional>

namespace {

const QColor kInk(0x26, 0x4d, 0x80);
const int kSize = 24;

void Dot(QPainter &p, QPointF at)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawEllipse(at, 2.5, 2.5);
    p.restore();
}

void Point(QPainter &p)
{
    p.drawLine(QPointF(12, 3), QPointF(12, 8));
    p.drawLine(QPointF(12, 16), QPointF(12, 21));
    p.drawLine(QPointF(3, 12), QPointF(8, 12));
    p.drawLine(QPointF(16, 12), QPointF(21, 12));
    Dot(p, QPointF(12, 12));
}

void Line(QPainter &p)
{
    p.drawLine(QPointF(5, 19), QPointF(19, 5));
    Dot(p, QPointF(5, 19));
    Dot(p, QPointF(19, 5));
}

void Rectangle(QPainter &p)
{
    p.drawRect(QRectF(4, 6, 16, 12));
}

void Circle(QPainter &p)
{
    p.drawEllipse(QPointF(12, 12), 8, 8);
}

void Polygon(QPainter &p)
{
    const QPolygonF shape({QPointF(12, 3.5), QPointF(20.5, 9.5), QPointF(17, 20),
                           QPointF(7, 20), QPointF(3.5, 9.5)});
    p.drawPolygon(shape);
    for (const QPointF &corner : shape)
        Dot(p, corner);
}

void Mask(QPainter &p)
{
    const QRectF area(4, 6, 16, 12);
    QPainterPath clip;
    clip.addRect(area);
    p.save();
    p.setClipPath(clip);
    QPen hatch = p.pen();
    hatch.setWidthF(1.2);
    p.setPen(hatch);
    for (int x = -12; x < 24; x += 4)
        p.drawLine(QPointF(x, 20), QPointF(x + 14, 6));
    p.restore();
    p.drawRect(area);
}

bool Write(const QDir &dir, const char *name, const std::function<void(QPainter &)> &draw)
{
    QImage image(kSize, kSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(kInk, 2.0);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    draw(painter);
    painter.end();
    const QString path = dir.filePath(QString::fromLatin1(name));
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// The PNGs are drawn from the SVG, so the two never tell different stories.
bool RenderAppIcon(const QDir &dir)
{
    const QString id = QStringLiteral("org.sdkdemo.SDKDemo");
    QSvgRenderer svg(dir.filePath(id + QStringLiteral(".svg")));
    if (!svg.isValid()) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(dir.filePath(id + QStringLiteral(".svg"))));
        return false;
    }
    bool ok = true;
    for (int size : {48, 128}) {
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter);
        painter.end();
        const QString path = dir.filePath(QStringLiteral("%1-%2.png").arg(id).arg(size));
        if (!image.save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            ok = false;
        }
    }
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("res"));
    if (!QDir().mkpath(dir.path()))
        return 1;
    bool ok = Write(dir, "tool_icon_point_sel.png", Point);
    ok = Write(dir, "tool_icon_line_sel.png", Line) && ok;
    ok = Write(dir, "tool_icon_rectangle_sel.png", Rectangle) && ok;
    ok = Write(dir, "tool_icon_circle_sel.png", Circle) && ok;
    ok = Write(dir, "tool_icon_polygon_sel.png", Polygon) && ok;
    ok = Write(dir, "tool_icon_shielded_area.png", Mask) && ok;
    if (argc > 2)
        ok = RenderAppIcon(QDir(QString::fromLocal8Bit(argv[2]))) && ok;
    return ok ? 0 : 1;
}
