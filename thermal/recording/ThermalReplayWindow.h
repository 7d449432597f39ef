#ifndef THERMALREPLAYWINDOW_H
#define THERMALREPLAYWINDOW_H

#include <QList>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

#include "thermal/recfile/RecFile.h"
#include "thermal/recfile/RecMeasure.h"
#include "thermal/recording/ReplayPlotWindow.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QTableWidget;
class QTableWidgetItem;
class QTimer;
class QToolButton;
class VideoLabel;

// Replays a thermal recording: the picture in a chosen palette, play and
// pause, a position slider, a frame step either way, speed 0.25x to 8x; the
// temperature under the mouse; shapes drawn with the drawing tools, each
// read on the current frame with the device's measurement code; a plot of
// every shape over the whole recording and its CSV.
//
// Threading model: user-interface thread only. A pass over the whole
// recording (plot, CSV) runs on this thread and keeps the window answering
// between frames.
class ThermalReplayWindow : public QWidget
{
    Q_OBJECT

public:
    // The window of a recording, or null with the reason it cannot be one.
    static ThermalReplayWindow *Open(const QString &path, QString *error);
    ~ThermalReplayWindow() override;

    const RecReader &Reader() const { return *m_reader; }
    int CurrentFrame() const { return m_frame; }
    const std::vector<uint16_t> &Matrix() const { return m_matrix; }
    bool Playing() const;
    double Speed() const;
    VideoLabel *Picture() const { return m_label; }
    int ShapeCount() const { return int(m_shapes.size()); }
    const RecMeasure::Shape &ShapeAt(int index) const { return m_shapes[size_t(index)].shape; }
    RecMeasure::Reading ReadingAt(int index) const;
    // Adds a shape drawn on the picture (widget pixels, as the label emits
    // it); false when it covers no pixel.
    bool AddShape(int type, QList<QPoint> points);
    // The same in picture space (0..8191), as a rule's points.
    bool AddPictureShape(const RecMeasure::Shape &shape);
    // The CSV that "Export CSV" writes; empty when a frame cannot be read.
    QString CsvText();
    ReplayPlotWindow *PlotWindow() const { return m_plot; }
    QString PixelText() const;

public slots:
    void ShowFrame(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void OnPlayBtnToggled(bool playing);
    void OnStepBackBtnClicked();
    void OnStepForwardBtnClicked();
    void OnPlayTick();
    void OnPaletteChanged(int index);
    void OnToolToggled(bool checked);
    void OnAddShape(int type, QList<QPoint> points);
    void OnRemoveShapeBtnClicked();
    void OnShapeItemChanged(QTableWidgetItem *item);
    void OnPlotBtnClicked();
    void OnExportCsvBtnClicked();

private:
    struct Entry
    {
        QString name;
        RecMeasure::Shape shape;
        sim::Target target;
        float threshold;  // NaN: none
    };

    ThermalReplayWindow(std::unique_ptr<RecReader> reader, const QString &path);
    void Render();
    void ShowReadings();
    void ScheduleNext();
    // Every shape over the whole recording, once per set of shapes.
    bool MeasureWhole(QString *error);
    QString UnitText() const;

    std::unique_ptr<RecReader> m_reader;
    QString m_path;
    int m_frame = -1;
    std::vector<uint16_t> m_matrix;
    std::vector<Entry> m_shapes;
    int m_nextShape = 1;
    // Readings over the whole recording, [shape][frame]; stale once the
    // shapes change.
    std::vector<std::vector<RecMeasure::Reading>> m_whole;
    bool m_wholeValid = false;
    bool m_measuring = false;
    bool m_cancel = false;
    bool m_closeAfterPass = false;
    QPoint m_mousePixel{-1, -1};

    VideoLabel *m_label;
    QComboBox *m_paletteCombo;
    QComboBox *m_speedCombo;
    QPushButton *m_playBtn;
    QSlider *m_slider;
    QLabel *m_positionLabel;
    QLabel *m_pixelLabel;
    QLabel *m_infoLabel;
    QLabel *m_statusLabel;
    QTableWidget *m_table;
    QList<QToolButton *> m_tools;
    QTimer *m_playTimer;
    QPointer<ReplayPlotWindow> m_plot;
};

#endif // THERMALREPLAYWINDOW_H
