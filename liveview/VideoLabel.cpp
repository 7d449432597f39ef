#include "liveview/VideoLabel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QPolygon>

#include <cmath>

namespace {

const int kMaxPolygonPoints = 8;

// A frame this many times wider than high is a panoramic strip, shown
// through a window instead of squeezed into the label.
const int kWideRatio = 5;

bool IsTwoPointMode(int mode)
{
    switch (mode) {
    case VideoLabel::LineMode:
    case VideoLabel::RectangleMode:
    case VideoLabel::CircleMode:
    case VideoLabel::PositionMode:
    case VideoLabel::MaskMode:
    case VideoLabel::RegionFocusMode:
    case VideoLabel::ManualTrackMode:
        return true;
    default:
        return false;
    }
}

} // namespace

VideoLabel::VideoLabel(QWidget *parent)
    : QWidget(parent)
    , m_mode(NoMode)
    , m_wide(false)
    , m_windowLeft(0)
    , m_windowWidth(0)
{
}

void VideoLabel::SetMode(int mode)
{
    m_points.clear();
    m_mode = mode;
}

int VideoLabel::Mode() const
{
    return m_mode;
}

void VideoLabel::SetFrame(const QImage &frame)
{
    if (!m_wide && !frame.isNull() && frame.width() / frame.height() > kWideRatio) {
        m_wide = true;
        m_windowWidth = static_cast<int>(frame.height() * 1.25);
    }
    m_frame = frame;
    update();
}

void VideoLabel::Reset()
{
    m_wide = false;
    m_windowLeft = 0;
    m_windowWidth = 0;
    m_frame = QImage();
}

void VideoLabel::ClampWindow()
{
    if (m_windowLeft < 0)
        m_windowLeft = 0;
    else if (m_windowLeft > m_frame.width() - m_windowWidth - 1)
        m_windowLeft = qMax(0, m_frame.width() - m_windowWidth - 1);
}

void VideoLabel::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    if (m_frame.isNull())
        return;

    QPainter painter(this);
    // Stretching without smoothing keeps a full-rate stream cheap to draw.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (m_wide) {
        ClampWindow();
        const QRect window(m_windowLeft, 0, m_windowWidth, m_frame.height());
        painter.drawImage(rect(), m_frame, window);
    } else {
        painter.drawImage(rect(), m_frame);
    }

    painter.setPen(QPen(Qt::green, 1, Qt::SolidLine));
    const int count = m_points.size();
    switch (m_mode) {
    case LineMode:
        if (count == 2)
            painter.drawLine(m_points.at(0), m_points.at(1));
        break;
    case RectangleMode:
    case PositionMode:
    case MaskMode:
    case RegionFocusMode:
    case ManualTrackMode:
        if (count == 2)
            painter.drawRect(QRect(m_points.at(0), m_points.at(1)));
        break;
    case CircleMode:
        if (count == 2) {
            const QPoint d = m_points.at(1) - m_points.at(0);
            const int radius = static_cast<int>(std::sqrt(double(d.x()) * d.x() + double(d.y()) * d.y()));
            painter.drawEllipse(m_points.at(0), radius, radius);
        }
        break;
    case PolygonMode:
        if (count >= 2)
            painter.drawPolyline(QPolygon(m_points.toVector()));
        break;
    default:
        break;
    }
}

void VideoLabel::Restart(const QPoint &pos)
{
    m_points.clear();
    m_points.append(pos);
}

void VideoLabel::RubberBand(const QPoint &pos)
{
    if (m_points.size() == 1)
        m_points.append(pos);
    else if (m_points.size() == 2)
        m_points[1] = pos;
}

void VideoLabel::mousePressEvent(QMouseEvent *event)
{
    QWidget::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;

    if (m_mode == NoMode) {
        if (m_wide) {
            m_dragPoint = event->pos();
            update();
        }
    } else if (m_mode == PolygonMode) {
        if (m_points.size() < kMaxPolygonPoints)
            m_points.append(event->pos());
    } else if (m_mode >= PointMode && m_mode <= ManualTrackMode) {
        Restart(event->pos());
    }
}

void VideoLabel::mouseMoveEvent(QMouseEvent *event)
{
    QWidget::mouseMoveEvent(event);
    // Only a left drag continues what a left press started.
    if (!(event->buttons() & Qt::LeftButton))
        return;

    if (m_mode == NoMode) {
        if (m_wide) {
            m_windowLeft += m_dragPoint.x() - event->pos().x();
            m_dragPoint = event->pos();
            update();
        }
    } else if (IsTwoPointMode(m_mode)) {
        // No repaint here: the overlay follows with the next frame.
        RubberBand(event->pos());
    }
}

void VideoLabel::FinishLeft()
{
    const QList<QPoint> shape = m_points;
    switch (m_mode) {
    case PointMode:
        if (shape.size() != 1)
            return;
        emit AddRule(m_mode, shape);
        break;
    case PointTempMode:
        if (shape.size() != 1)
            return;
        emit GetOncePointTemp(shape.first());
        break;
    case LineMode:
    case RectangleMode:
    case CircleMode:
        if (shape.size() != 2)
            return;
        emit AddRule(m_mode, shape);
        break;
    case PositionMode:
        if (shape.size() != 2)
            return;
        emit Postion(m_mode, shape);
        break;
    case MaskMode:
        if (shape.size() != 2)
            return;
        emit AddShielded(m_mode, shape);
        break;
    case RegionFocusMode:
        if (shape.size() != 2)
            return;
        emit RegionFocus(shape);
        break;
    case ManualTrackMode:
        if (shape.size() != 2)
            return;
        emit ManualTrack(shape);
        break;
    default:
        return;
    }
    m_points.clear();
}

void VideoLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) {
        FinishLeft();
    } else if (event->button() == Qt::RightButton && m_mode == PolygonMode && m_points.size() >= 2) {
        const QList<QPoint> shape = m_points;
        emit AddRule(m_mode, shape);
        m_points.clear();
    }
}
