#include "thermal/trend/TrendWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>

#include "thermal/trend/TrendCsv.h"
#include "thermal/trend/TrendSampler.h"
#include "thermal/trend/TrendThin.h"

using namespace QtCharts;

namespace {

// Marks kept for the plot: the oldest go first.
const size_t kMaxMarks = 1000;
const int kLegendColumns = 6;

QColor SeriesColour(size_t index)
{
    static const QColor colours[] = {QColor(220, 40, 40),  QColor(40, 90, 220),  QColor(90, 90, 90),
                                     QColor(230, 140, 0),  QColor(30, 150, 70),  QColor(150, 60, 190),
                                     QColor(0, 160, 170),  QColor(190, 90, 40),  QColor(200, 60, 140),
                                     QColor(110, 140, 20), QColor(60, 60, 160),  QColor(160, 130, 40)};
    return colours[index % (sizeof colours / sizeof colours[0])];
}

} // namespace

TrendWindow::TrendWindow(TMV_NET_HANDLE handle, int presetPosition, QWidget *parent)
    : QWidget(parent, Qt::Window), m_sampler(new TrendSampler(handle, presetPosition, TrendRing::kDayAtOnePerSecond, this)),
      m_chart(new QChart), m_view(new TrendChartView(m_chart)), m_timeAxis(new QDateTimeAxis),
      m_tempAxis(new QValueAxis), m_pauseBtn(new QPushButton(tr("Pause"))), m_legend(new QGridLayout),
      m_status(new QLabel)
{
    setWindowTitle(tr("Temperature Trend"));
    setObjectName(QStringLiteral("trendWindow"));
    resize(900, 560);

    m_chart->legend()->hide();
    m_chart->setMargins(QMargins(4, 4, 4, 4));
    m_timeAxis->setFormat(QStringLiteral("hh:mm:ss"));
    m_timeAxis->setTitleText(tr("Time"));
    m_timeAxis->setTickCount(7);
    m_tempAxis->setTitleText(tr("Temperature"));
    m_tempAxis->setLabelFormat(QStringLiteral("%g"));
    m_chart->addAxis(m_timeAxis, Qt::AlignBottom);
    m_chart->addAxis(m_tempAxis, Qt::AlignLeft);
    m_view->setObjectName(QStringLiteral("trendChartView"));
    m_view->SetMarks(&m_marks);

    m_pauseBtn->setObjectName(QStringLiteral("trendPauseBtn"));
    m_pauseBtn->setCheckable(true);
    auto *exportBtn = new QPushButton(tr("Export CSV"));
    exportBtn->setObjectName(QStringLiteral("trendExportCsvBtn"));
    m_status->setObjectName(QStringLiteral("trendStatusLabel"));
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *bar = new QHBoxLayout;
    bar->addWidget(m_pauseBtn);
    bar->addWidget(exportBtn);
    bar->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_view, 1);
    layout->addLayout(m_legend);
    layout->addWidget(m_status);

    connect(m_pauseBtn, SIGNAL(toggled(bool)), this, SLOT(OnPauseBtnToggled(bool)));
    connect(exportBtn, SIGNAL(clicked()), this, SLOT(OnExportCsvBtnClicked()));
    connect(m_view, SIGNAL(SpanRequested(qint64, qint64)), this, SLOT(OnSpanRequested(qint64, qint64)));
    connect(m_sampler, SIGNAL(Sampled(qint64)), this, SLOT(OnSampled(qint64)));
    connect(m_sampler, SIGNAL(SeriesChanged()), this, SLOT(OnSeriesChanged()));
    connect(m_sampler, SIGNAL(StatusChanged(QString)), this, SLOT(OnStatusChanged(QString)));
    OnSeriesChanged();
}

TrendWindow::~TrendWindow()
{
    m_sampler->Stop(QString());
}

void TrendWindow::Start()
{
    m_sampler->Start();
}

void TrendWindow::closeEvent(QCloseEvent *event)
{
    m_sampler->Stop(tr("Stopped: window closed"));
    QWidget::closeEvent(event);
}

bool TrendWindow::Paused() const
{
    return m_pauseBtn->isChecked();
}

QLineSeries *TrendWindow::NewLine(const QPen &pen)
{
    auto *line = new QLineSeries;
    line->setPen(pen);
    m_chart->addSeries(line);
    line->attachAxis(m_timeAxis);
    line->attachAxis(m_tempAxis);
    return line;
}

void TrendWindow::OnSeriesChanged()
{
    // Rebuilt from the sampler's list: the lines, the thresholds, the legend.
    for (Drawn &drawn : m_drawn)
        delete drawn.box;
    m_chart->removeAllSeries();
    m_drawn.clear();
    const std::vector<TrendSampler::Series> &all = m_sampler->AllSeries();
    for (size_t i = 0; i < all.size(); ++i) {
        Drawn drawn;
        drawn.colour = SeriesColour(i);
        drawn.box = new QCheckBox(all[i].name);
        drawn.box->setObjectName(QStringLiteral("trendSeriesCheck_") + all[i].name);
        drawn.box->setChecked(true);
        drawn.box->setStyleSheet(QStringLiteral("QCheckBox{color:%1}").arg(drawn.colour.name()));
        connect(drawn.box, SIGNAL(toggled(bool)), this, SLOT(OnLegendToggled()));
        m_legend->addWidget(drawn.box, int(i) / kLegendColumns, int(i) % kLegendColumns);
        if (!std::isnan(all[i].threshold)) {
            QPen pen(drawn.colour, 1.5, Qt::DashLine);
            drawn.threshold = NewLine(pen);
        }
        m_drawn.push_back(drawn);
    }
    const QString unit = TrendCsv::UnitText(m_sampler->Unit());
    m_tempAxis->setTitleText(unit.isEmpty() ? tr("Temperature") : tr("Temperature (%1)").arg(unit));
    Refresh();
}

void TrendWindow::OnStatusChanged(const QString &status)
{
    m_status->setText(status);
}

void TrendWindow::OnSampled(qint64 timeMs)
{
    // Paused, the span holds still, but a sample inside it is drawn: the
    // lines always show what an export would write.
    const bool shown = !Paused() || (timeMs >= m_pausedFrom && timeMs <= m_pausedTo);
    if (shown && isVisible())
        Refresh();
}

void TrendWindow::OnLegendToggled()
{
    Refresh();
}

void TrendWindow::OnPauseBtnToggled(bool paused)
{
    // The button is already checked here, so the span on screen is the live
    // one: pausing holds it. Resuming scrolls on with the width in force.
    if (paused)
        LiveSpan(&m_pausedFrom, &m_pausedTo);
    Refresh();
}

void TrendWindow::OnSpanRequested(qint64 fromMs, qint64 toMs)
{
    m_pausedFrom = fromMs;
    m_pausedTo = toMs;
    m_spanMs = std::max<int64_t>(toMs - fromMs, 1000);
    if (!Paused()) {
        const QSignalBlocker blocker(m_pauseBtn);
        m_pauseBtn->setChecked(true);
    }
    Refresh();
}

void TrendWindow::ShownSpan(int64_t *from, int64_t *to) const
{
    if (Paused()) {
        *from = m_pausedFrom;
        *to = m_pausedTo;
        return;
    }
    LiveSpan(from, to);
}

void TrendWindow::LiveSpan(int64_t *from, int64_t *to) const
{
    // The newest sample near the right edge; while less than a span
    // has been sampled, the first sample at the left one (a minute at least).
    // The axis moves in steps of a sixtieth of the span (a second at least):
    // every move lays out its labels and redraws every line.
    const TrendRing &ring = m_sampler->AllSeries().front().ring;
    const int64_t newest = ring.Empty() ? QDateTime::currentMSecsSinceEpoch() : ring.TimeAt(ring.Size() - 1);
    const int64_t oldest = ring.Empty() ? newest : ring.TimeAt(0);
    const int64_t step = std::max<int64_t>(1000, m_spanMs / 60);
    *to = (newest >= 0 ? (newest + step - 1) / step : newest / step) * step;
    *from = std::min(std::max(oldest, *to - m_spanMs), *to - 60 * 1000);
}

void TrendWindow::Refresh()
{
    int64_t from = 0, to = 0;
    ShownSpan(&from, &to);
    // A column of two pixels: each line costs the chart a stroke per point,
    // and two points (low, high) per two pixels still draw every peak.
    const int columns = std::max(100, int(m_chart->plotArea().width()) / 2);
    const std::vector<TrendSampler::Series> &all = m_sampler->AllSeries();

    // First the thinned lines and the temperatures they need.
    std::vector<std::vector<QVector<QPointF>>> lines(std::min(all.size(), m_drawn.size()));
    double low = HUGE_VAL, high = -HUGE_VAL;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!m_drawn[i].box->isChecked())
            continue;
        for (const TrendSegment &segment : ThinForColumns(all[i].ring, from, to, columns)) {
            QVector<QPointF> points;
            points.reserve(int(segment.size()));
            for (const TrendPoint &p : segment) {
                points.append(QPointF(double(p.timeMs), double(p.value)));
                low = std::min(low, double(p.value));
                high = std::max(high, double(p.value));
            }
            lines[i].push_back(std::move(points));
        }
        if (m_drawn[i].threshold) {
            low = std::min(low, double(all[i].threshold));
            high = std::max(high, double(all[i].threshold));
        }
    }

    // The temperature axis changes only when the lines leave it or fill
    // less than a third of it, so it rarely moves; its ends are whole ticks
    // of a round step.
    double axisLow = m_tempAxis->min(), axisHigh = m_tempAxis->max();
    int ticks = m_tempAxis->tickCount();
    if (low <= high) {
        const double margin = std::max(1.0, (high - low) * 0.05);
        const bool outside = low - margin < axisLow || high + margin > axisHigh;
        const bool loose = (axisHigh - axisLow) > 3.0 * (high - low + 2.0 * margin);
        if (outside || loose)
            TrendChartView::RoundRange(low, high, &axisLow, &axisHigh, &ticks);
    }
    // (Times compared as numbers: a QDateTime reads the time zone file.)
    const bool rangeChanges = axisLow != m_tempAxis->min() || axisHigh != m_tempAxis->max() || from != m_axisFrom
                              || to != m_axisTo;

    // Each line recomputes its whole geometry on a change of its points and
    // again on a change of the axes. When the axes change anyway, the points
    // are swapped in silently and the axes' change draws them once. (Not an
    // emptied line: the chart skips empty lines on an axis change.)
    for (size_t i = 0; i < lines.size(); ++i) {
        Drawn &drawn = m_drawn[i];
        while (drawn.lines.size() < lines[i].size())
            drawn.lines.push_back(NewLine(QPen(drawn.colour, 1.5)));
        for (size_t k = 0; k < drawn.lines.size(); ++k) {
            QLineSeries *line = drawn.lines[k];
            if (k >= lines[i].size()) {
                if (line->count() > 0)
                    line->clear();
                continue;
            }
            const QSignalBlocker blocker(rangeChanges ? line : nullptr);
            line->replace(lines[i][k]);
        }
        if (drawn.threshold) {
            const bool shown = drawn.box->isChecked();
            drawn.threshold->setVisible(shown);
            const double limit = double(all[i].threshold);
            const QSignalBlocker blocker(rangeChanges ? drawn.threshold : nullptr);
            drawn.threshold->replace(QVector<QPointF>{{double(from), limit}, {double(to), limit}});
        }
    }
    if (rangeChanges) {
        m_tempAxis->setRange(axisLow, axisHigh);
        m_tempAxis->setTickCount(ticks);
        m_timeAxis->setRange(QDateTime::fromMSecsSinceEpoch(from, Qt::UTC), QDateTime::fromMSecsSinceEpoch(to, Qt::UTC));
        m_axisFrom = from;
        m_axisTo = to;
    }
    m_view->SetSpan(from, to);
}

QList<QPointF> TrendWindow::DrawnPoints(int index) const
{
    QList<QPointF> out;
    if (index < 0 || size_t(index) >= m_drawn.size())
        return out;
    for (const QLineSeries *line : m_drawn[size_t(index)].lines)
        out += line->points();
    return out;
}

QList<QPointF> TrendWindow::ThresholdLine(int index) const
{
    if (index < 0 || size_t(index) >= m_drawn.size() || !m_drawn[size_t(index)].threshold
        || !m_drawn[size_t(index)].threshold->isVisible())
        return QList<QPointF>();
    return m_drawn[size_t(index)].threshold->points();
}

QString TrendWindow::CsvText() const
{
    int64_t from = 0, to = 0;
    ShownSpan(&from, &to);
    QStringList names;
    std::vector<const TrendRing *> rings;
    for (const TrendSampler::Series &series : m_sampler->AllSeries()) {
        names << series.name;
        rings.push_back(&series.ring);
    }
    return TrendCsv::Write(names, TrendCsv::UnitText(m_sampler->Unit()), rings, from, to);
}

void TrendWindow::OnExportCsvBtnClicked()
{
    const QString fileName =
        QFileDialog::getSaveFileName(this, tr("Export CSV"), QString(), tr("CSV files (*.csv)"));
    if (fileName.isEmpty())
        return;
    QFile file(fileName);
    // A byte-order mark, so spreadsheets read the degree sign as UTF-8.
    const QByteArray bytes = QByteArray("\xEF\xBB\xBF") + CsvText().toUtf8();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() || !file.flush()) {
        QMessageBox::critical(this, tr("Error"), tr("Cannot write %1").arg(fileName));
        return;
    }
}

void TrendWindow::OnGetTempAlarm(int alarmType, TMV_NET_TEMP_ALARM_INFO alarmInfo)
{
    Q_UNUSED(alarmType);
    if (alarmInfo.state != 1 && alarmInfo.state != 2)
        return;
    const QByteArray name(alarmInfo.name, int(qstrnlen(alarmInfo.name, sizeof alarmInfo.name)));
    m_marks.push_back({int64_t(alarmInfo.time) * 1000, alarmInfo.state == 1, QString::fromUtf8(name)});
    while (m_marks.size() > kMaxMarks)
        m_marks.pop_front();
    m_view->viewport()->update();
}
