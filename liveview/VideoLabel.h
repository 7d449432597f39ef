#ifndef VIDEOLABEL_H
#define VIDEOLABEL_H

#include <QImage>
#include <QList>
#include <QPoint>
#include <QWidget>

// Shows the newest preview frame stretched over the widget and collects the
// shape the user draws on it. Knows nothing of the device: a finished shape
// leaves as a signal with its points in widget pixels.
//
// Threading model: user-interface thread only.
class VideoLabel : public QWidget
{
    Q_OBJECT

public:
    // Drawing modes. The numbers are part of the interface: a rule's type is
    // the mode it was drawn in, and SetMode/Mode keep taking an int.
    enum Mode {
        NoMode = -1,          // pans a wide frame
        PointMode = 0,
        LineMode = 1,
        RectangleMode = 2,
        CircleMode = 3,
        PolygonMode = 4,
        PositionMode = 5,     // 3D position
        MaskMode = 6,
        PointTempMode = 7,
        RegionFocusMode = 8,
        ManualTrackMode = 9,
    };

    VideoLabel(QWidget *parent = nullptr);

    void SetMode(int mode);
    int Mode() const;
    void SetFrame(const QImage &frame);
    void Reset();

    const QImage &Frame() const { return m_frame; }
    bool IsWide() const { return m_wide; }
    int WindowLeft() const { return m_windowLeft; }
    int WindowWidth() const { return m_windowWidth; }
    const QList<QPoint> &Points() const { return m_points; }

signals:
    void AddRule(int ruleType, QList<QPoint> points);
    void GetOncePointTemp(QPoint point);
    void Postion(int ruleType, QList<QPoint> points);
    void RegionFocus(QList<QPoint> points);
    void ManualTrack(QList<QPoint> points);
    void AddShielded(int ruleType, QList<QPoint> points);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void Restart(const QPoint &pos);
    void RubberBand(const QPoint &pos);
    void FinishLeft();
    void ClampWindow();

    int m_mode;
    QImage m_frame;
    bool m_wide;
    int m_windowLeft;
    int m_windowWidth;
    QPoint m_dragPoint;
    QList<QPoint> m_points;
};

#endif // VIDEOLABEL_H
