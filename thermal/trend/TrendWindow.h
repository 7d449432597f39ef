#ifndef TRENDWINDOW_H
#define TRENDWINDOW_H

#include <QColor>
#include <QList>
#include <QWidget>

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "thermal/trend/TrendChartView.h"
#include "TMVNetSDK.h"

class QCheckBox;
class QGridLayout;
class QLabel;
class QPushButton;
class TrendSampler;

namespace QtCharts {
class QChart;
class QDateTimeAxis;
class QLineSeries;
class QValueAxis;
} // namespace QtCharts

// The temperature trend of one login: the frame's maximum, minimum and
// average and each listed rule's maximum over time, with the alarm
// thresholds as dashed lines and the alarm start and end moments marked.
// The time axis follows the newest sample until paused, zoomed or panned.
//
// Threading model: user-interface thread only; alarm records reach
// OnGetTempAlarm through the temperature page's queued signal.
class TrendWindow : public QWidget
{
    Q_OBJECT

public:
    // Shown span while live, until the user zooms.
    static constexpr int64_t kDefaultSpanMs = 5 * 60 * 1000;

    TrendWindow(TMV_NET_HANDLE handle, int presetPosition, QWidget *parent = nullptr);
    ~TrendWindow() override;

    TrendSampler *Sampler() const { return m_sampler; }
    TrendChartView *View() const { return m_view; }
    // Starts sampling (see TrendSampler::Start).
    void Start();
    // Redraws the shown span from the rings.
    void Refresh();
    bool Paused() const;
    // The CSV of the shown span, as "Export CSV" writes it.
    QString CsvText() const;
    // The drawn points of series `index` (segments joined), for tests.
    QList<QPointF> DrawnPoints(int index) const;
    // The dashed threshold line of series `index`; empty when it has none or
    // it is hidden.
    QList<QPointF> ThresholdLine(int index) const;
    // Alarm start and end moments marked on the time axis, oldest first.
    const std::deque<TrendChartView::Mark> &Marks() const { return m_marks; }

public slots:
    void OnGetTempAlarm(int alarmType, TMV_NET_TEMP_ALARM_INFO alarmInfo);

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void OnSampled(qint64 timeMs);
    void OnSeriesChanged();
    void OnStatusChanged(const QString &status);
    void OnPauseBtnToggled(bool paused);
    void OnExportCsvBtnClicked();
    void OnSpanRequested(qint64 fromMs, qint64 toMs);
    void OnLegendToggled();

private:
    struct Drawn
    {
        QColor colour;
        QCheckBox *box = nullptr;
        // One line per stretch between gaps; unused ones stay empty.
        std::vector<QtCharts::QLineSeries *> lines;
        QtCharts::QLineSeries *threshold = nullptr;
    };

    // The span on screen: the paused one, or else the live one.
    void ShownSpan(int64_t *from, int64_t *to) const;
    // The span the time axis shows while it follows the samples.
    void LiveSpan(int64_t *from, int64_t *to) const;
    QtCharts::QLineSeries *NewLine(const QPen &pen);

    TrendSampler *m_sampler;
    QtCharts::QChart *m_chart;
    TrendChartView *m_view;
    QtCharts::QDateTimeAxis *m_timeAxis;
    QtCharts::QValueAxis *m_tempAxis;
    QPushButton *m_pauseBtn;
    QGridLayout *m_legend;
    QLabel *m_status;
    std::vector<Drawn> m_drawn;
    // Span while paused: the live one held, or one zoomed or panned to.
    int64_t m_pausedFrom = 0;
    int64_t m_pausedTo = 0;
    // Width of the live span; a zoom or pan sets it, so it is kept on resume.
    int64_t m_spanMs = kDefaultSpanMs;
    // The time axis's range as last set.
    int64_t m_axisFrom = 0;
    int64_t m_axisTo = 0;
    // The latest alarm moments, oldest first.
    std::deque<TrendChartView::Mark> m_marks;
};

#endif // TRENDWINDOW_H
