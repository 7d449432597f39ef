#ifndef VIDEOLABEL_H
#define VIDEOLABEL_H

#include <QImage>
#include <QList>
#include <QPoint>
#include <QWidget>

#include <memory>

#include "liveview/LiveView.h"

class DirectPresenter;

// Shows the newest preview picture and collects the shape the user draws on
// it. Knows nothing of the device: a finished shape leaves as a signal with
// its points in widget pixels.
//
// The pictures arrive already cut and scaled to the widget by the frame
// callback (LiveView.h), so painting is a 1:1 copy; the widget's size and the
// pans of a panoramic window go to the callback through View().
//
// Threading model: user-interface thread only; View() is shared with the
// thread that makes the pictures.
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
    ~VideoLabel() override;

    void SetMode(int mode);
    int Mode() const;
    // Shows a picture made by View()->Picture().
    void SetPicture(const LivePicture &picture);
    // Shows a whole frame, cut and scaled here (still pictures, tests).
    void SetFrame(const QImage &frame);
    void Reset();

    std::shared_ptr<LiveView> View() const { return m_view; }
    const QImage &Picture() const { return m_picture.image; }
    QSize FrameSize() const { return m_picture.frameSize; }
    bool IsWide() const { return m_view->IsWide(); }
    // True while the pictures go straight to the window (DirectPresenter.h).
    bool ShowsDirectly() const;
    int WindowLeft() const { return m_view->WindowLeft(); }
    int WindowWidth() const { return m_view->WindowWidth(); }
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
    void resizeEvent(QResizeEvent *event) override;

private:
    void Restart(const QPoint &pos);
    void RubberBand(const QPoint &pos);
    void FinishLeft();
    // Puts the picture straight into the window when it can be; false when
    // the toolkit must paint it (shapes being drawn, no picture, a picture
    // of the label's former size, no presenter).
    bool ShowDirectly();

    int m_mode;
    const std::shared_ptr<LiveView> m_view;
    LivePicture m_picture;
    QPoint m_dragPoint;
    QList<QPoint> m_points;
    std::unique_ptr<DirectPresenter> m_presenter;
    int m_presenterTries = 0;
};

#endif // VIDEOLABEL_H
