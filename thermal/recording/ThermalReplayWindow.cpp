#include "thermal/recording/ThermalReplayWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>

#include "liveview/PictureSpace.h"
#include "liveview/VideoLabel.h"
#include "measure/Shapes.h"
#include "thermal/recfile/RecPalette.h"
#include "thermal/recording/ReplayCsv.h"
#include "thermal/recording/ReplayPlotWindow.h"
#include "thermal/trend/TrendCsv.h"

namespace {

const double kSpeeds[] = {0.25, 0.5, 1.0, 2.0, 4.0, 8.0};
const int kNormalSpeed = 2;
const float kNoThreshold = std::numeric_limits<float>::quiet_NaN();

enum Column { kName, kType, kMax, kMin, kAvg, kThreshold, kColumns };

QString ShapeTypeName(int type)
{
    switch (type) {
    case 0: return QObject::tr("Point");
    case 1: return QObject::tr("Line");
    case 2: return QObject::tr("Rectangle");
    case 3: return QObject::tr("Circle");
    case 4: return QObject::tr("Polygon");
    default: return QString();
    }
}

QColor ShapeColour(size_t index)
{
    static const QColor colours[] = {QColor(40, 220, 60), QColor(60, 200, 255), QColor(255, 80, 200),
                                     QColor(255, 255, 255), QColor(255, 170, 0), QColor(150, 120, 255)};
    return colours[index % (sizeof colours / sizeof colours[0])];
}

QString Temp(float value)
{
    return QString::number(double(value), 'f', 2);
}

} // namespace

ThermalReplayWindow *ThermalReplayWindow::Open(const QString &path, QString *error)
{
    std::unique_ptr<RecReader> reader(new RecReader);
    std::string why;
    if (!reader->Open(QFile::encodeName(path).toStdString(), &why)) {
        if (error)
            *error = QString::fromStdString(why);
        return nullptr;
    }
    return new ThermalReplayWindow(std::move(reader), path);
}

ThermalReplayWindow::ThermalReplayWindow(std::unique_ptr<RecReader> reader, const QString &path)
    : QWidget(nullptr, Qt::Window), m_reader(std::move(reader)), m_path(path), m_label(new VideoLabel),
      m_paletteCombo(new QComboBox), m_speedCombo(new QComboBox), m_playBtn(new QPushButton(tr("Play"))),
      m_slider(new QSlider(Qt::Horizontal)), m_positionLabel(new QLabel), m_pixelLabel(new QLabel),
      m_infoLabel(new QLabel), m_statusLabel(new QLabel), m_table(new QTableWidget(0, kColumns)),
      m_playTimer(new QTimer(this))
{
    const RecInfo &info = m_reader->Info();
    setObjectName(QStringLiteral("thermalReplayWindow"));
    setWindowTitle(tr("Thermal Replay - %1").arg(QFileInfo(path).fileName()));

    m_label->setObjectName(QStringLiteral("replayPicture"));
    // The frame's shape at a comfortable size; the picture stretches with
    // the window.
    QSize shown(info.width, info.height);
    shown.scale(QSize(800, 600), Qt::KeepAspectRatio);
    m_label->setMinimumSize(shown.boundedTo(QSize(info.width, info.height)).expandedTo(QSize(160, 64)));
    m_label->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_label->setMouseTracking(true);
    m_label->installEventFilter(this);
    connect(m_label, SIGNAL(AddRule(int,QList<QPoint>)), this, SLOT(OnAddShape(int,QList<QPoint>)));

    m_paletteCombo->setObjectName(QStringLiteral("replayPaletteCombo"));
    for (int p = 0; p < RecPalette::kCount; ++p)
        m_paletteCombo->addItem(QString::fromLatin1(RecPalette::Name(p)));
    m_paletteCombo->setCurrentIndex(info.palette);
    connect(m_paletteCombo, SIGNAL(currentIndexChanged(int)), this, SLOT(OnPaletteChanged(int)));

    // The drawing bar's five measuring shapes, with its icons.
    auto *tools = new QHBoxLayout;
    tools->addWidget(new QLabel(tr("Palette")));
    tools->addWidget(m_paletteCombo);
    tools->addSpacing(12);
    const struct {
        const char *name;
        const char *icon;
        int mode;
        const char *tip;
    } kTools[] = {{"replayPointBtn", ":/res/res/tool_icon_point_sel.png", VideoLabel::PointMode, "Point"},
                  {"replayLineBtn", ":/res/res/tool_icon_line_sel.png", VideoLabel::LineMode, "Line"},
                  {"replayRectangleBtn", ":/res/res/tool_icon_rectangle_sel.png", VideoLabel::RectangleMode,
                   "Rectangle"},
                  {"replayCircleBtn", ":/res/res/tool_icon_circle_sel.png", VideoLabel::CircleMode, "Circle"},
                  {"replayPolygonBtn", ":/res/res/tool_icon_polygon_sel.png", VideoLabel::PolygonMode,
                   "Polygon (right click ends it)"}};
    for (const auto &tool : kTools) {
        auto *button = new QToolButton;
        button->setObjectName(QLatin1String(tool.name));
        button->setIcon(QIcon(QLatin1String(tool.icon)));
        button->setIconSize(QSize(24, 24));
        button->setCheckable(true);
        button->setToolTip(tr(tool.tip));
        button->setProperty("mode", tool.mode);
        connect(button, SIGNAL(toggled(bool)), this, SLOT(OnToolToggled(bool)));
        tools->addWidget(button);
        m_tools << button;
    }
    auto *removeBtn = new QPushButton(tr("Remove shape"));
    removeBtn->setObjectName(QStringLiteral("replayRemoveShapeBtn"));
    tools->addWidget(removeBtn);
    tools->addStretch(1);

    auto *stepBackBtn = new QPushButton(tr("<"));
    stepBackBtn->setObjectName(QStringLiteral("replayStepBackBtn"));
    stepBackBtn->setToolTip(tr("One frame back"));
    auto *stepForwardBtn = new QPushButton(tr(">"));
    stepForwardBtn->setObjectName(QStringLiteral("replayStepForwardBtn"));
    stepForwardBtn->setToolTip(tr("One frame on"));
    m_playBtn->setObjectName(QStringLiteral("replayPlayBtn"));
    m_playBtn->setCheckable(true);
    m_slider->setObjectName(QStringLiteral("replaySlider"));
    m_slider->setRange(0, std::max(0, m_reader->FrameCount() - 1));
    m_speedCombo->setObjectName(QStringLiteral("replaySpeedCombo"));
    for (double speed : kSpeeds)
        m_speedCombo->addItem(QStringLiteral("%1x").arg(speed));
    m_speedCombo->setCurrentIndex(kNormalSpeed);
    m_positionLabel->setObjectName(QStringLiteral("replayPositionLabel"));
    auto *transport = new QHBoxLayout;
    transport->addWidget(stepBackBtn);
    transport->addWidget(m_playBtn);
    transport->addWidget(stepForwardBtn);
    transport->addWidget(m_slider, 1);
    transport->addWidget(m_positionLabel);
    transport->addWidget(m_speedCombo);

    m_pixelLabel->setObjectName(QStringLiteral("replayPixelLabel"));
    m_infoLabel->setObjectName(QStringLiteral("replayInfoLabel"));
    m_statusLabel->setObjectName(QStringLiteral("replayStatusLabel"));
    m_infoLabel->setWordWrap(true);
    m_statusLabel->setWordWrap(true);
    const QString unit = UnitText();
    m_infoLabel->setText(tr("%1 (%2), channel %3, started %4 UTC; emissivity %5, reflected %6 %7, "
                            "atmosphere %8 %7, distance %9, transmittance %10")
                             .arg(QString::fromStdString(info.deviceName), QString::fromStdString(info.deviceAddress))
                             .arg(info.channel + 1)
                             .arg(QDateTime::fromMSecsSinceEpoch(info.startUtcMs, Qt::UTC)
                                      .toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")))
                             .arg(double(info.env.emissivity))
                             .arg(double(info.env.refTemp))
                             .arg(unit)
                             .arg(double(info.env.atmosTemp))
                             .arg(double(info.env.distance))
                             .arg(double(info.env.atmosTrans)));
    QStringList notes;
    if (m_reader->Cut())
        notes << tr("The recording was cut before its end; it holds %1 whole frames.").arg(m_reader->FrameCount());
    if (info.droppedFrames > 0)
        notes << tr("%1 frames were dropped while recording.").arg(info.droppedFrames);
    m_statusLabel->setText(notes.join(QLatin1Char(' ')));

    m_table->setObjectName(QStringLiteral("replayShapeTable"));
    m_table->setHorizontalHeaderLabels({tr("Shape"), tr("Type"), tr("Max (%1)").arg(unit), tr("Min (%1)").arg(unit),
                                        tr("Avg (%1)").arg(unit), tr("Threshold (%1)").arg(unit)});
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setMinimumHeight(110);
    connect(m_table, SIGNAL(itemChanged(QTableWidgetItem*)), this, SLOT(OnShapeItemChanged(QTableWidgetItem*)));

    auto *plotBtn = new QPushButton(tr("Plot"));
    plotBtn->setObjectName(QStringLiteral("replayPlotBtn"));
    auto *exportBtn = new QPushButton(tr("Export CSV"));
    exportBtn->setObjectName(QStringLiteral("replayExportCsvBtn"));
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_pixelLabel, 1);
    bottom->addWidget(plotBtn);
    bottom->addWidget(exportBtn);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(tools);
    layout->addWidget(m_label, 1);
    layout->addLayout(transport);
    layout->addWidget(m_infoLabel);
    layout->addWidget(m_table);
    layout->addLayout(bottom);
    layout->addWidget(m_statusLabel);

    m_playTimer->setSingleShot(true);
    connect(m_playTimer, SIGNAL(timeout()), this, SLOT(OnPlayTick()));
    connect(m_playBtn, SIGNAL(toggled(bool)), this, SLOT(OnPlayBtnToggled(bool)));
    connect(stepBackBtn, SIGNAL(clicked()), this, SLOT(OnStepBackBtnClicked()));
    connect(stepForwardBtn, SIGNAL(clicked()), this, SLOT(OnStepForwardBtnClicked()));
    connect(m_slider, SIGNAL(valueChanged(int)), this, SLOT(ShowFrame(int)));
    connect(removeBtn, SIGNAL(clicked()), this, SLOT(OnRemoveShapeBtnClicked()));
    connect(plotBtn, SIGNAL(clicked()), this, SLOT(OnPlotBtnClicked()));
    connect(exportBtn, SIGNAL(clicked()), this, SLOT(OnExportCsvBtnClicked()));
    ShowFrame(0);
}

ThermalReplayWindow::~ThermalReplayWindow()
{
    m_cancel = true;
    delete m_plot;
}

QString ThermalReplayWindow::UnitText() const
{
    return TrendCsv::UnitText(m_reader->Info().unit);
}

bool ThermalReplayWindow::Playing() const
{
    return m_playBtn->isChecked();
}

double ThermalReplayWindow::Speed() const
{
    return kSpeeds[std::clamp(m_speedCombo->currentIndex(), 0, int(std::size(kSpeeds)) - 1)];
}

void ThermalReplayWindow::closeEvent(QCloseEvent *event)
{
    // A pass over the recording is on this window's stack: it stops, and
    // the window closes after it.
    if (m_measuring) {
        m_cancel = true;
        m_closeAfterPass = true;
        event->ignore();
        return;
    }
    m_playTimer->stop();
    QWidget::closeEvent(event);
}

void ThermalReplayWindow::ShowFrame(int index)
{
    index = std::clamp(index, 0, m_reader->FrameCount() - 1);
    if (index == m_frame && !m_matrix.empty())
        return;
    std::string error;
    std::vector<uint16_t> matrix;
    if (!m_reader->ReadFrame(index, &matrix, &error)) {
        m_statusLabel->setText(tr("Frame %1 cannot be read: %2").arg(index + 1).arg(QString::fromStdString(error)));
        m_playBtn->setChecked(false);
        return;
    }
    m_matrix.swap(matrix);
    m_frame = index;
    {
        const QSignalBlocker blocker(m_slider);
        m_slider->setValue(index);
    }
    const int64_t ms = m_reader->TimeMs(index);
    m_positionLabel->setText(tr("%1 / %2  %3.%4 s")
                                 .arg(index + 1)
                                 .arg(m_reader->FrameCount())
                                 .arg(ms / 1000)
                                 .arg(ms % 1000, 3, 10, QLatin1Char('0')));
    Render();
    ShowReadings();
}

void ThermalReplayWindow::Render()
{
    const RecInfo &info = m_reader->Info();
    QImage image(info.width, info.height, QImage::Format_RGB32);
    RecPalette::ToRgb32(m_matrix.data(), info.width, info.height, m_paletteCombo->currentIndex(),
                        reinterpret_cast<uint32_t *>(image.bits()), image.bytesPerLine() / 4);
    // The shapes in frame pixels, where the measurement sees them.
    QPainter painter(&image);
    const auto pixel = [&](const TMV_NET_POINT &p) {
        return QPoint(sim::pictureToPixel(p.x, info.width), sim::pictureToPixel(p.y, info.height));
    };
    for (size_t i = 0; i < m_shapes.size(); ++i) {
        const Entry &entry = m_shapes[i];
        painter.setPen(QPen(ShapeColour(i), 1));
        QPolygon points;
        for (const TMV_NET_POINT &p : entry.shape.points)
            points << pixel(p);
        if (points.isEmpty())
            continue;
        switch (entry.shape.type) {
        case 0:
            painter.drawLine(points[0] - QPoint(3, 0), points[0] + QPoint(3, 0));
            painter.drawLine(points[0] - QPoint(0, 3), points[0] + QPoint(0, 3));
            break;
        case 1:
            painter.drawPolyline(points);
            break;
        case 3:
            if (points.size() >= 2) {
                const QPoint d = points[1] - points[0];
                const int r = int(std::lround(std::hypot(d.x(), d.y())));
                painter.drawEllipse(points[0], r, r);
            }
            break;
        default:
            painter.drawPolygon(points);
            break;
        }
        painter.drawText(points[0] + QPoint(3, -3), entry.name);
    }
    painter.end();
    m_label->SetFrame(image);
}

RecMeasure::Reading ThermalReplayWindow::ReadingAt(int index) const
{
    if (index < 0 || size_t(index) >= m_shapes.size() || m_matrix.empty())
        return RecMeasure::Reading();
    return RecMeasure::Measure(m_shapes[size_t(index)].target, m_reader->Info(), m_matrix.data());
}

void ThermalReplayWindow::ShowReadings()
{
    const QSignalBlocker blocker(m_table);
    for (int row = 0; row < int(m_shapes.size()) && row < m_table->rowCount(); ++row) {
        const RecMeasure::Reading r = ReadingAt(row);
        m_table->item(row, kMax)->setText(r.valid ? Temp(r.max) : QString());
        m_table->item(row, kMin)->setText(r.valid ? Temp(r.min) : QString());
        m_table->item(row, kAvg)->setText(r.valid ? Temp(r.avg) : QString());
    }
    if (m_mousePixel.x() >= 0 && !m_matrix.empty()) {
        const RecInfo &info = m_reader->Info();
        const uint16_t value = m_matrix[size_t(m_mousePixel.y()) * size_t(info.width) + size_t(m_mousePixel.x())];
        m_pixelLabel->setText(tr("(%1, %2): %3 %4")
                                  .arg(m_mousePixel.x())
                                  .arg(m_mousePixel.y())
                                  .arg(value ? Temp(RecMeasure::PixelTemperature(value, info)) : tr("no reading"))
                                  .arg(value ? UnitText() : QString()));
    }
}

QString ThermalReplayWindow::PixelText() const
{
    return m_pixelLabel->text();
}

bool ThermalReplayWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_label && event->type() == QEvent::MouseMove) {
        // The pixel under the mouse as the point tool would measure it.
        const RecInfo &info = m_reader->Info();
        const QPoint picture = PictureSpace::ToPicture(static_cast<QMouseEvent *>(event)->pos(), m_label->size(),
                                                       PictureSpace::Use::Measure);
        m_mousePixel = QPoint(std::clamp(sim::pictureToPixel(picture.x(), info.width), 0, info.width - 1),
                              std::clamp(sim::pictureToPixel(picture.y(), info.height), 0, info.height - 1));
        ShowReadings();
    } else if (watched == m_label && event->type() == QEvent::Leave) {
        m_mousePixel = QPoint(-1, -1);
        m_pixelLabel->clear();
    }
    return QWidget::eventFilter(watched, event);
}

void ThermalReplayWindow::OnPlayBtnToggled(bool playing)
{
    m_playBtn->setText(playing ? tr("Pause") : tr("Play"));
    if (!playing) {
        m_playTimer->stop();
        return;
    }
    // Played to the end: from the start again.
    if (m_frame >= m_reader->FrameCount() - 1)
        ShowFrame(0);
    ScheduleNext();
}

void ThermalReplayWindow::ScheduleNext()
{
    if (m_frame + 1 >= m_reader->FrameCount()) {
        m_playBtn->setChecked(false);
        return;
    }
    // The recorded interval, at the chosen speed.
    const int64_t gap = m_reader->TimeMs(m_frame + 1) - m_reader->TimeMs(m_frame);
    m_playTimer->start(int(std::clamp<double>(double(gap) / Speed(), 1.0, 10000.0)));
}

void ThermalReplayWindow::OnPlayTick()
{
    if (!Playing())
        return;
    ShowFrame(m_frame + 1);
    if (Playing())
        ScheduleNext();
}

void ThermalReplayWindow::OnStepBackBtnClicked()
{
    m_playBtn->setChecked(false);
    ShowFrame(m_frame - 1);
}

void ThermalReplayWindow::OnStepForwardBtnClicked()
{
    m_playBtn->setChecked(false);
    ShowFrame(m_frame + 1);
}

void ThermalReplayWindow::OnPaletteChanged(int)
{
    Render();
}

void ThermalReplayWindow::OnToolToggled(bool checked)
{
    auto *button = qobject_cast<QToolButton *>(sender());
    if (!button)
        return;
    if (!checked) {
        m_label->SetMode(VideoLabel::NoMode);
        return;
    }
    for (QToolButton *other : m_tools)
        if (other != button) {
            const QSignalBlocker blocker(other);
            other->setChecked(false);
        }
    m_label->SetMode(button->property("mode").toInt());
}

void ThermalReplayWindow::OnAddShape(int type, QList<QPoint> points)
{
    if (!AddShape(type, points))
        m_statusLabel->setText(tr("The shape covers no pixel of the picture."));
}

bool ThermalReplayWindow::AddShape(int type, QList<QPoint> points)
{
    // Points to the picture space exactly as the live tools send a rule.
    using namespace PictureSpace;
    if (type == VideoLabel::RectangleMode && points.size() >= 2)
        points = RectangleCorners(points.at(0), points.at(1));
    const QList<QPoint> picture = ToPicture(points, m_label->size(), Use::Measure);
    RecMeasure::Shape shape;
    shape.type = type;
    for (const QPoint &p : picture)
        shape.points.push_back(TMV_NET_POINT{p.x(), p.y()});
    return AddPictureShape(shape);
}

bool ThermalReplayWindow::AddPictureShape(const RecMeasure::Shape &shape)
{
    Entry entry;
    entry.shape = shape;
    entry.target = RecMeasure::Compile(entry.shape, m_reader->Info());
    if (entry.target.spans.empty())
        return false;
    entry.name = QStringLiteral("S%1").arg(m_nextShape++);
    entry.threshold = kNoThreshold;
    m_shapes.push_back(entry);
    m_wholeValid = false;

    const QSignalBlocker blocker(m_table);
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    for (int column = 0; column < kColumns; ++column) {
        auto *item = new QTableWidgetItem;
        if (column != kThreshold)
            item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        m_table->setItem(row, column, item);
    }
    m_table->item(row, kName)->setText(entry.name);
    m_table->item(row, kName)->setForeground(ShapeColour(size_t(row)));
    m_table->item(row, kType)->setText(ShapeTypeName(shape.type));
    Render();
    ShowReadings();
    return true;
}

void ThermalReplayWindow::OnRemoveShapeBtnClicked()
{
    const int row = m_table->currentRow();
    if (row < 0 || size_t(row) >= m_shapes.size())
        return;
    m_shapes.erase(m_shapes.begin() + row);
    m_table->removeRow(row);
    m_wholeValid = false;
    Render();
}

void ThermalReplayWindow::OnShapeItemChanged(QTableWidgetItem *item)
{
    if (!item || item->column() != kThreshold || size_t(item->row()) >= m_shapes.size())
        return;
    // A number as typed here or in the user's locale ("81,5"); anything
    // else clears the threshold.
    const QString text = item->text().trimmed();
    bool ok = false;
    float value = text.toFloat(&ok);
    if (!ok)
        value = QLocale().toFloat(text, &ok);
    m_shapes[size_t(item->row())].threshold = ok ? value : kNoThreshold;
}

bool ThermalReplayWindow::MeasureWhole(QString *error)
{
    if (m_wholeValid)
        return true;
    if (m_measuring) {
        *error = tr("A pass over the recording is running.");
        return false;
    }
    std::vector<sim::Target> targets;
    for (const Entry &entry : m_shapes)
        targets.push_back(entry.target);
    m_playBtn->setChecked(false);
    m_measuring = true;
    m_cancel = false;
    const int frames = m_reader->FrameCount();
    std::string why;
    const bool ok = RecMeasure::MeasureAll(
        *m_reader, targets, &m_whole,
        [this, frames](int done) {
            if (done % 25 == 0) {
                m_statusLabel->setText(tr("Measuring: %1 of %2 frames").arg(done).arg(frames));
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            }
            return !m_cancel;
        },
        &why);
    m_measuring = false;
    // The pass reads with readers of its own; the shown frame is read anew
    // all the same, as the pass may end with the window closing.
    const int shown = m_frame;
    m_frame = -1;
    ShowFrame(shown);
    if (m_closeAfterPass)
        QTimer::singleShot(0, this, SLOT(close()));
    if (!ok) {
        *error = QString::fromStdString(why);
        m_statusLabel->setText(tr("Measuring stopped: %1").arg(*error));
        return false;
    }
    m_statusLabel->clear();
    m_wholeValid = true;
    return true;
}

QString ThermalReplayWindow::CsvText()
{
    QString error;
    if (!MeasureWhole(&error))
        return QString();
    QStringList names;
    for (const Entry &entry : m_shapes)
        names << entry.name;
    std::vector<int64_t> times;
    for (int f = 0; f < m_reader->FrameCount(); ++f)
        times.push_back(m_reader->TimeMs(f));
    return ReplayCsv::Write(names, UnitText(), m_reader->Info().startUtcMs, times, m_whole);
}

void ThermalReplayWindow::OnPlotBtnClicked()
{
    if (m_shapes.empty()) {
        QMessageBox::information(this, tr("Plot"), tr("Draw a shape on the picture first."));
        return;
    }
    QString error;
    if (!MeasureWhole(&error)) {
        QMessageBox::critical(this, tr("Error"), tr("Cannot measure %1: %2").arg(QDir::toNativeSeparators(m_path), error));
        return;
    }
    const int frames = m_reader->FrameCount();
    const int64_t start = m_reader->Info().startUtcMs;
    std::vector<ReplayPlotWindow::Series> series;
    for (size_t s = 0; s < m_shapes.size(); ++s) {
        static const char *const kinds[] = {" max", " min", " avg"};
        for (int k = 0; k < 3; ++k) {
            ReplayPlotWindow::Series line{m_shapes[s].name + QLatin1String(kinds[k]),
                                          ShapeColour(s).darker(100 + 40 * k), TrendRing(size_t(std::max(frames, 1))),
                                          k == 0 ? m_shapes[s].threshold : kNoThreshold};
            for (int f = 0; f < frames; ++f) {
                const RecMeasure::Reading &r = m_whole[s][size_t(f)];
                const float value = k == 0 ? r.max : k == 1 ? r.min : r.avg;
                line.ring.Push(start + m_reader->TimeMs(f), r.valid ? value : std::nanf(""));
            }
            series.push_back(std::move(line));
        }
    }
    delete m_plot;
    m_plot = new ReplayPlotWindow(std::move(series), UnitText(), this);
    m_plot->show();
}

void ThermalReplayWindow::OnExportCsvBtnClicked()
{
    const QString fileName =
        QFileDialog::getSaveFileName(this, tr("Export CSV"), QString(), tr("CSV files (*.csv)"));
    if (fileName.isEmpty())
        return;
    const QString text = CsvText();
    if (text.isEmpty()) {
        QMessageBox::critical(this, tr("Error"), tr("Cannot read %1").arg(QDir::toNativeSeparators(m_path)));
        return;
    }
    QFile file(fileName);
    // A byte-order mark, so spreadsheets read the degree sign as UTF-8.
    const QByteArray bytes = QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() || !file.flush())
        QMessageBox::critical(this, tr("Error"), tr("Cannot write %1").arg(QDir::toNativeSeparators(fileName)));
}
