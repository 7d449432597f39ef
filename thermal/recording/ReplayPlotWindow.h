#ifndef REPLAYPLOTWINDOW_H
#define REPLAYPLOTWINDOW_H

#include <QColor>
#include <QList>
#include <QPointF>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <vector>

#include "thermal/trend/TrendRing.h"

class QCheckBox;
class QGridLayout;
class TrendChartView;

namespace QtCharts {
class QChart;
class QDateTimeAxis;
class QLineSeries;
class QValueAxis;
} // namespace QtCharts

// The replay's shapes over a whole recording, on the trend window's chart:
// a line per shape and value, a check box each, thresholds dashed, the
// mouse wheel zooms the time axis and a drag pans it.
//
// Threading model: user-interface thread only.
class ReplayPlotWindow : public QWidget
{
    Q_OBJECT

public:
    struct Series
    {
        QString name;
        QColor colour;
        TrendRing ring;      // UTC milliseconds, temperature
        float threshold;     // NaN: none
    };

    ReplayPlotWindow(std::vector<Series> series, const QString &unit, QWidget *parent = nullptr);

    TrendChartView *View() const { return m_view; }
    // The whole recording's span.
    void ShowAll();
    // The drawn points of series `index`, and its threshold line (empty when
    // it has none or is hidden), for tests.
    QList<QPointF> DrawnPoints(int index) const;
    QList<QPointF> ThresholdLine(int index) const;

private slots:
    void OnSpanRequested(qint64 fromMs, qint64 toMs);
    void Refresh();

private:
    struct Drawn
    {
        QCheckBox *box = nullptr;
        std::vector<QtCharts::QLineSeries *> lines;
        QtCharts::QLineSeries *threshold = nullptr;
    };
    QtCharts::QLineSeries *NewLine(const QPen &pen);

    std::vector<Series> m_series;
    std::vector<Drawn> m_drawn;
    QtCharts::QChart *m_chart;
    TrendChartView *m_view;
    QtCharts::QDateTimeAxis *m_timeAxis;
    QtCharts::QValueAxis *m_tempAxis;
    int64_t m_from = 0;
    int64_t m_to = 1;
};

#endif // REPLAYPLOTWINDOW_H
