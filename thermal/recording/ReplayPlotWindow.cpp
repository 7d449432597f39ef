#include "thermal/recording/ReplayPlotWindow.h"

#include <QCheckBox>
#include <QDateTime>
#include <QGridLayout>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>

#include "thermal/trend/TrendChartView.h"
#include "thermal/trend/TrendThin.h"

using namespace QtCharts;

namespace {
const int kLegendColumns = 6;
}

ReplayPlotWindow::ReplayPlotWindow(std::vector<Series> series, const QString &unit, QWidget *parent)
    : QWidget(parent, Qt::Window), m_series(std::move(series)), m_chart(new QChart), m_view(new TrendChartView(m_chart)),
      m_timeAxis(new QDateTimeAxis), m_tempAxis(new QValueAxis)
{
    setWindowTitle(tr("Recording Plot"));
    setObjectName(QStringLiteral("replayPlotWindow"));
    resize(900, 520);
    m_chart->legend()->hide();
    m_chart->setMargins(QMargins(4, 4, 4, 4));
    m_timeAxis->setFormat(QStringLiteral("hh:mm:ss"));
    m_timeAxis->setTitleText(tr("Time"));
    m_timeAxis->setTickCount(7);
    m_tempAxis->setTitleText(unit.isEmpty() ? tr("Temperature") : tr("Temperature (%1)").arg(unit));
    m_tempAxis->setLabelFormat(QStringLiteral("%g"));
    m_chart->addAxis(m_timeAxis, Qt::AlignBottom);
    m_chart->addAxis(m_tempAxis, Qt::AlignLeft);
    m_view->setObjectName(QStringLiteral("replayPlotChartView"));

    auto *legend = new QGridLayout;
    for (size_t i = 0; i < m_series.size(); ++i) {
        Drawn drawn;
        drawn.box = new QCheckBox(m_series[i].name);
        drawn.box->setObjectName(QStringLiteral("replayPlotCheck_") + m_series[i].name);
        drawn.box->setChecked(true);
        drawn.box->setStyleSheet(QStringLiteral("QCheckBox{color:%1}").arg(m_series[i].colour.name()));
        connect(drawn.box, SIGNAL(toggled(bool)), this, SLOT(Refresh()));
        legend->addWidget(drawn.box, int(i) / kLegendColumns, int(i) % kLegendColumns);
        if (!std::isnan(m_series[i].threshold))
            drawn.threshold = NewLine(QPen(m_series[i].colour, 1.5, Qt::DashLine));
        m_drawn.push_back(drawn);
    }
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_view, 1);
    layout->addLayout(legend);
    connect(m_view, SIGNAL(SpanRequested(qint64, qint64)), this, SLOT(OnSpanRequested(qint64, qint64)));
    ShowAll();
}

QLineSeries *ReplayPlotWindow::NewLine(const QPen &pen)
{
    auto *line = new QLineSeries;
    line->setPen(pen);
    m_chart->addSeries(line);
    line->attachAxis(m_timeAxis);
    line->attachAxis(m_tempAxis);
    return line;
}

void ReplayPlotWindow::ShowAll()
{
    int64_t from = INT64_MAX, to = INT64_MIN;
    for (const Series &s : m_series) {
        if (s.ring.Empty())
            continue;
        from = std::min(from, s.ring.TimeAt(0));
        to = std::max(to, s.ring.TimeAt(s.ring.Size() - 1));
    }
    if (from > to)
        from = to = 0;
    OnSpanRequested(from, std::max(to, from + 1000));
}

void ReplayPlotWindow::OnSpanRequested(qint64 fromMs, qint64 toMs)
{
    m_from = fromMs;
    m_to = std::max(toMs, fromMs + 1);
    Refresh();
}

void ReplayPlotWindow::Refresh()
{
    const int columns = std::max(100, int(m_chart->plotArea().width()) / 2);
    double low = HUGE_VAL, high = -HUGE_VAL;
    for (size_t i = 0; i < m_series.size(); ++i) {
        Drawn &drawn = m_drawn[i];
        const bool shown = drawn.box->isChecked();
        std::vector<TrendSegment> segments;
        if (shown)
            segments = ThinForColumns(m_series[i].ring, m_from, m_to, columns);
        while (drawn.lines.size() < segments.size())
            drawn.lines.push_back(NewLine(QPen(m_series[i].colour, 1.5)));
        for (size_t k = 0; k < drawn.lines.size(); ++k) {
            QVector<QPointF> points;
            if (k < segments.size()) {
                for (const TrendPoint &p : segments[k]) {
                    points.append(QPointF(double(p.timeMs), double(p.value)));
                    low = std::min(low, double(p.value));
                    high = std::max(high, double(p.value));
                }
            }
            drawn.lines[k]->replace(points);
        }
        if (drawn.threshold) {
            drawn.threshold->setVisible(shown);
            const double limit = double(m_series[i].threshold);
            drawn.threshold->replace(QVector<QPointF>{{double(m_from), limit}, {double(m_to), limit}});
            if (shown) {
                low = std::min(low, limit);
                high = std::max(high, limit);
            }
        }
    }
    if (low <= high) {
        double axisLow = 0, axisHigh = 0;
        int ticks = 0;
        TrendChartView::RoundRange(low, high, &axisLow, &axisHigh, &ticks);
        m_tempAxis->setRange(axisLow, axisHigh);
        m_tempAxis->setTickCount(ticks);
    }
    m_timeAxis->setRange(QDateTime::fromMSecsSinceEpoch(m_from, Qt::UTC), QDateTime::fromMSecsSinceEpoch(m_to, Qt::UTC));
    m_view->SetSpan(m_from, m_to);
}

QList<QPointF> ReplayPlotWindow::DrawnPoints(int index) const
{
    QList<QPointF> out;
    if (index < 0 || size_t(index) >= m_drawn.size())
        return out;
    for (const QLineSeries *line : m_drawn[size_t(index)].lines)
        out += line->points();
    return out;
}

QList<QPointF> ReplayPlotWindow::ThresholdLine(int index) const
{
    if (index < 0 || size_t(index) >= m_drawn.size() || !m_drawn[size_t(index)].threshold
        || !m_drawn[size_t(index)].threshold->isVisible())
        return QList<QPointF>();
    return m_drawn[size_t(index)].threshold->points();
}
