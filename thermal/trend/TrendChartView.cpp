#include "thermal/trend/TrendChartView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

using namespace QtCharts;

namespace {

// The narrowest and widest spans zooming reaches.
const int64_t kMinSpanMs = 10 * 1000;
const int64_t kMaxSpanMs = 2 * 24 * 3600 * 1000LL;

} // namespace

TrendChartView::TrendChartView(QChart *chart, QWidget *parent) : QChartView(chart, parent)
{
    setRenderHint(QPainter::Antialiasing, false);
    setMouseTracking(false);
}

void TrendChartView::SetSpan(int64_t fromMs, int64_t toMs)
{
    m_from = fromMs;
    m_to = std::max(toMs, fromMs + 1);
    viewport()->update();
}

void TrendChartView::RoundRange(double low, double high, double *axisLow, double *axisHigh, int *ticks)
{
    const double margin = std::max(1.0, (high - low) * 0.05);
    const double wanted = high - low + 2.0 * margin;
    double step = 1.0;
    for (double scale = 1.0; wanted / step > 7.0; scale *= 10.0)
        for (double unit : {1.0, 2.0, 5.0})
            if (wanted / step > 7.0)
                step = unit * scale;
    *axisLow = std::floor((low - margin) / step) * step;
    *axisHigh = std::ceil((high + margin) / step) * step;
    *ticks = int(std::lround((*axisHigh - *axisLow) / step)) + 1;
}

double TrendChartView::MsPerPixel() const
{
    const double width = std::max(1.0, chart()->plotArea().width());
    return double(m_to - m_from) / width;
}

void TrendChartView::wheelEvent(QWheelEvent *event)
{
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0.0)
        return;
    const QRectF area = chart()->plotArea();
    const double x = std::clamp(event->position().x() - area.left(), 0.0, area.width());
    const double pivot = double(m_from) + x * MsPerPixel();
    const double factor = std::pow(0.8, steps);
    const double span = std::clamp(double(m_to - m_from) * factor, double(kMinSpanMs), double(kMaxSpanMs));
    const double ratio = area.width() > 0 ? x / area.width() : 1.0;
    const int64_t from = int64_t(std::llround(pivot - span * ratio));
    emit SpanRequested(from, from + int64_t(span));
    event->accept();
}

void TrendChartView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QChartView::mousePressEvent(event);
        return;
    }
    m_dragging = true;
    m_dragX = event->pos().x();
    m_dragFrom = m_from;
    event->accept();
}

void TrendChartView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging) {
        QChartView::mouseMoveEvent(event);
        return;
    }
    const int64_t span = m_to - m_from;
    const int64_t from = m_dragFrom - int64_t(std::llround((event->pos().x() - m_dragX) * MsPerPixel()));
    emit SpanRequested(from, from + span);
    event->accept();
}

void TrendChartView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_dragging) {
        m_dragging = false;
        event->accept();
        return;
    }
    QChartView::mouseReleaseEvent(event);
}

void TrendChartView::drawForeground(QPainter *painter, const QRectF &rect)
{
    QChartView::drawForeground(painter, rect);
    if (!m_marks || m_marks->empty())
        return;
    const QRectF area = chart()->plotArea();
    const double perMs = area.width() / double(m_to - m_from);
    painter->save();
    painter->setClipRect(area.adjusted(0, -14, 0, 0));
    for (const Mark &mark : *m_marks) {
        if (mark.timeMs < m_from || mark.timeMs > m_to)
            continue;
        const double x = area.left() + double(mark.timeMs - m_from) * perMs;
        const QColor colour = mark.start ? QColor(200, 30, 30) : QColor(30, 140, 60);
        painter->setPen(QPen(colour, 1));
        painter->drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        painter->drawText(QPointF(x + 2, area.top() + 12), mark.name);
    }
    painter->restore();
}
