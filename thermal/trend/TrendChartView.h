#ifndef TRENDCHARTVIEW_H
#define TRENDCHARTVIEW_H

#include <QString>
#include <QtCharts/QChartView>

#include <cstdint>
#include <deque>

// The plot of the trend window. The mouse wheel zooms the time axis around
// the pointer, a drag with the left button pans it; either asks the window
// for a new span, which pauses the live scrolling. Alarm start and end
// moments are drawn over the plot as vertical lines.
class TrendChartView : public QtCharts::QChartView
{
    Q_OBJECT

public:
    struct Mark
    {
        int64_t timeMs;
        bool start;  // start record; else end
        QString name;
    };

    explicit TrendChartView(QtCharts::QChart *chart, QWidget *parent = nullptr);

    void SetSpan(int64_t fromMs, int64_t toMs);
    // A temperature axis around [low, high] with a margin: its ends whole
    // ticks of a round step (1, 2 or 5 times a power of ten), at most about
    // seven steps.
    static void RoundRange(double low, double high, double *axisLow, double *axisHigh, int *ticks);
    int64_t From() const { return m_from; }
    int64_t To() const { return m_to; }
    void SetMarks(const std::deque<Mark> *marks) { m_marks = marks; }

signals:
    void SpanRequested(qint64 fromMs, qint64 toMs);

protected:
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void drawForeground(QPainter *painter, const QRectF &rect) override;

private:
    // Milliseconds of the span per pixel of the plot area.
    double MsPerPixel() const;

    int64_t m_from = 0;
    int64_t m_to = 1;
    bool m_dragging = false;
    int m_dragX = 0;
    int64_t m_dragFrom = 0;
    const std::deque<Mark> *m_marks = nullptr;
};

#endif // TRENDCHARTVIEW_H
