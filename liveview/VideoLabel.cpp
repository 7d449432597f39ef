#include "liveview/VideoLabel.h"

#include "liveview/DirectPresenter.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QPolygon>
#include <QResizeEvent>

#include <cmath>

namespace {

const int kMaxPolygonPoints = 8;
// The window the toolkit makes for the label may reach the server only after
// the first few pictures; after this many tries the toolkit paints.
const int kPresenterTries = 25;

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
    , m_view(std::make_shared<LiveView>())
{
}

VideoLabel::~VideoLabel()
{
    // Pictures made from now on come from the heap.
    m_view->SetAllocator({});
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

void VideoLabel::SetPicture(const LivePicture &picture)
{
    // A label resized while hidden gets no resize event: its size reaches
    // the callback here, for the next frame.
    if (!picture.image.isNull() && picture.image.size() != size())
        m_view->SetLabelSize(size());
    m_picture = picture;
    // A picture covers the label: what lies under it need not be painted.
    setAttribute(Qt::WA_OpaquePaintEvent, !m_picture.image.isNull());
    if (!ShowDirectly())
        update();
}

bool VideoLabel::ShowsDirectly() const
{
    return m_presenter && m_presenter->IsShown();
}

bool VideoLabel::ShowDirectly()
{
    if (m_picture.image.isNull() || m_picture.image.size() != size() || !m_points.isEmpty() || !isVisible()) {
        if (m_presenter)
            m_presenter->Hide();
        return false;
    }
    if (!m_presenter && m_presenterTries < kPresenterTries) {
        ++m_presenterTries;
        m_presenter = DirectPresenter::Create(this);
        if (m_presenter)
            m_view->SetAllocator(m_presenter->Allocator());
    }
    if (m_presenter && !m_presenter->Usable()) {
        m_view->SetAllocator({});
        m_presenter.reset();
    }
    if (!m_presenter)
        return false;
    m_presenter->Show(m_picture.image);
    return true;
}

void VideoLabel::SetFrame(const QImage &frame)
{
    if (frame.isNull())
        return;
    m_view->SetLabelSize(size());
    const QImage rgba = frame.convertToFormat(QImage::Format_RGBA8888);
    SetPicture(m_view->Picture(rgba.constBits(), rgba.bytesPerLine(), rgba.size()));
}

void VideoLabel::Reset()
{
    m_view->Reset();
    m_picture = LivePicture();
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    if (m_presenter)
        m_presenter->Hide();
    update();
}

void VideoLabel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_view->SetLabelSize(event->size());
    if (m_presenter)
        m_presenter->Resize(event->size());
}

void VideoLabel::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    const QImage &image = m_picture.image;
    if (image.isNull())
        return;

    QPainter painter(this);
    if (image.size() == size()) {
        painter.drawImage(0, 0, image);
    } else {
        // Made before a resize: stretched (cheaply) until the next frame.
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(rect(), image);
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
        m_dragPoint = event->pos();
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
        // Pans a wide frame (nothing else); the next frame shows it.
        m_view->Pan(m_dragPoint.x() - event->pos().x());
        m_dragPoint = event->pos();
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
