// The main window's slots for the live picture, the drawing bar under it and
// the tools drawn on the picture: rules, masks, one-point readings and the
// PTZ page's positioning.
#include "app/MainWindow.h"
#include "ui_MainWindow.h"

#include <QAbstractButton>
#include <QButtonGroup>

#include <algorithm>
#include <cstring>

#include "common/DeviceCall.h"
#include "common/MsgBox.h"
#include "liveview/PictureSpace.h"
#include "liveview/PreviewPage.h"
#include "liveview/VideoLabel.h"
#include "thermal/TempAlarmPage.h"

void MainWindow::OnUpdateFrame()
{
    ui->videoLabel->SetPicture(m_previewPage->CurrentPicture());
}

void MainWindow::OnPreviewOpen(bool open)
{
    ui->videoLabel->setEnabled(open);
    ui->drawWidget->setEnabled(open);
}

void MainWindow::OnTabChanged(int)
{
    ui->videoLabel->SetMode(VideoLabel::NoMode);
    const QList<QAbstractButton *> drawButtons = m_drawGroup->buttons();
    for (QAbstractButton *button : drawButtons)
        button->setChecked(false);
    RefreshChannelControls();
    RefreshAbility();
    ui->videoLabel->SetMode(VideoLabel::NoMode);
    for (QAbstractButton *button : drawButtons)
        button->setEnabled(true);
}

void MainWindow::StartPointMeasure()
{
    ui->videoLabel->SetMode(VideoLabel::PointTempMode);
    const QList<QAbstractButton *> drawButtons = m_drawGroup->buttons();
    for (QAbstractButton *button : drawButtons)
        button->setEnabled(false);
}

void MainWindow::StopPointMeasure()
{
    ui->videoLabel->SetMode(VideoLabel::NoMode);
    const QList<QAbstractButton *> drawButtons = m_drawGroup->buttons();
    for (QAbstractButton *button : drawButtons)
        button->setEnabled(true);
}

// ---- The drawing bar -------------------------------------------------------

void MainWindow::DrawButtonClicked(QAbstractButton *button, int mode)
{
    if (!button->isChecked()) {
        ui->videoLabel->SetMode(VideoLabel::NoMode);
        return;
    }
    ui->videoLabel->SetMode(mode);
    const QList<QAbstractButton *> drawButtons = m_drawGroup->buttons();
    for (QAbstractButton *other : drawButtons) {
        if (other != button)
            other->setChecked(false);
    }
}

void MainWindow::OnDrawPointBtnClicked()
{
    DrawButtonClicked(ui->drawPointBtn, VideoLabel::PointMode);
}

void MainWindow::OnDrawLineBtnClicked()
{
    DrawButtonClicked(ui->drawLineBtn, VideoLabel::LineMode);
}

void MainWindow::OnDrawAreaBtnClicked()
{
    DrawButtonClicked(ui->drawAreaBtn, VideoLabel::RectangleMode);
}

void MainWindow::OnDrawCircleBtnClicked()
{
    DrawButtonClicked(ui->drawCircleBtn, VideoLabel::CircleMode);
}

void MainWindow::OnDrawPolygonBtnClicked()
{
    DrawButtonClicked(ui->drawPolygonBtn, VideoLabel::PolygonMode);
}

void MainWindow::OnShieldedAreaBtnClicked()
{
    DrawButtonClicked(ui->shieldedAreaBtn, VideoLabel::MaskMode);
}

// ---- Measurement shapes ----------------------------------------------------

void MainWindow::OnAddRule(int ruleType, QList<QPoint> points)
{
    using namespace PictureSpace;
    if (ruleType == VideoLabel::RectangleMode && points.size() >= 2)
        points = RectangleCorners(points.at(0), points.at(1));
    const QList<QPoint> picture = ToPicture(points, ui->videoLabel->size(), Use::Measure);

    TMV_NET_TEMP_RULE rule;
    std::memset(&rule, 0, sizeof rule);
    rule.enable = 1;
    rule.presetId = m_tempAlarmPage->CurrentPresetId();
    rule.ruleType = ruleType;
    // The record holds eight points; the label never draws more, but the
    // array must not be overrun whatever arrives.
    const int count = std::min(picture.size(), int(sizeof rule.points / sizeof rule.points[0]));
    for (int i = 0; i < count; ++i) {
        rule.points[i].x = picture.at(i).x();
        rule.points[i].y = picture.at(i).y();
    }
    rule.pointCount = count;

    TMV_NET_TEMP_RULE_G1 tiered;
    std::memset(&tiered, 0, sizeof tiered);
    tiered.ruleType = ruleType;
    const Ends ends = TieredEnds(ruleType, picture);
    tiered.startPoint.x = ends.start.x();
    tiered.startPoint.y = ends.start.y();
    tiered.endPoint.x = ends.end.x();
    tiered.endPoint.y = ends.end.y();

    int status = DeviceCall::run(TMV_NET_AddTempRule, m_handle, &rule);
    // A device of the tiered model knows only the G1 record.
    if (status == TMV_NET_NOT_SUPPORTED)
        status = DeviceCall::run(TMV_NET_AddTempRule_G1, m_handle, &tiered);
    if (status != TMV_NET_SUCCESS)
        MsgBox::Instance()->ShowResult(tr("AddTempRule"), status);
}

void MainWindow::OnAddShielded(int ruleType, QList<QPoint> points)
{
    emit Shielded(ruleType, PictureSpace::ToPicture(points, ui->videoLabel->size(), PictureSpace::Use::Mask));
}

void MainWindow::OnGetOncePointTemp(QPoint point)
{
    const QPoint picture = PictureSpace::ToPicture(point, ui->videoLabel->size(), PictureSpace::Use::Measure);
    TMV_NET_POINT devicePoint;
    devicePoint.x = picture.x();
    devicePoint.y = picture.y();
    float temp = 0.0f;
    const int status = DeviceCall::run(TMV_NET_QueryRandomTemp, m_handle, &devicePoint, &temp);
    if (status != TMV_NET_SUCCESS) {
        // The mode stays armed, so the user may click again.
        MsgBox::Instance()->ShowResult(tr("AddTempRule"), status);
        return;
    }
    m_tempAlarmPage->ShowOncePointTemp(temp);
    StopPointMeasure();
}

// ---- PTZ tools -------------------------------------------------------------

void MainWindow::OnPosition3D(bool state)
{
    ui->videoLabel->SetMode(state ? VideoLabel::PositionMode : VideoLabel::NoMode);
}

void MainWindow::OnPositionRegionFocus(bool state)
{
    ui->videoLabel->SetMode(state ? VideoLabel::RegionFocusMode : VideoLabel::NoMode);
}

void MainWindow::OnPositionManualTrack(bool state)
{
    if (state) {
        ui->videoLabel->SetMode(VideoLabel::ManualTrackMode);
        return;
    }
    const TMV_NET_PTZ_REGION region = PtzRegion(QList<QPoint>(), 1);
    const int status = DeviceCall::run(TMV_NET_PtzManualTrack, m_handle, &region);
    if (status != TMV_NET_SUCCESS) {
        MsgBox::Instance()->ShowResult(tr("PtzManualTrack"), status);
        return;
    }
    ui->videoLabel->SetMode(VideoLabel::NoMode);
}

TMV_NET_PTZ_REGION MainWindow::PtzRegion(const QList<QPoint> &points, int stop) const
{
    TMV_NET_PTZ_REGION region;
    region.channel = m_channel;
    region.x0 = region.y0 = region.x1 = region.y1 = 0;
    if (points.size() >= 2) {
        const QPoint p0 = PictureSpace::ToPicture(points.at(0), ui->videoLabel->size(), PictureSpace::Use::Ptz);
        const QPoint p1 = PictureSpace::ToPicture(points.at(1), ui->videoLabel->size(), PictureSpace::Use::Ptz);
        region.x0 = p0.x();
        region.y0 = p0.y();
        region.x1 = p1.x();
        region.y1 = p1.y();
    }
    region.stop = stop;
    return region;
}

void MainWindow::OnPostion(int, QList<QPoint> points)
{
    if (points.size() < 2)
        return;  // the label emits only whole rectangles
    const TMV_NET_PTZ_REGION rect = PtzRegion(points, 0);
    TMV_NET_PTZ_3D_POSITION position;
    position.channel = rect.channel;
    position.x0 = rect.x0;
    position.y0 = rect.y0;
    position.x1 = rect.x1;
    position.y1 = rect.y1;
    // The mode stays armed for the next rectangle.
    const int status = DeviceCall::run(TMV_NET_Ptz3DPosition, m_handle, &position);
    if (status != TMV_NET_SUCCESS)
        MsgBox::Instance()->ShowResult(tr("Ptz3DPosition"), status);
}

void MainWindow::OnRegionFocus(QList<QPoint> points)
{
    if (points.size() < 2)
        return;
    const TMV_NET_PTZ_REGION region = PtzRegion(points, 0);
    const int status = DeviceCall::run(TMV_NET_PtzRegionFocus, m_handle, &region);
    if (status != TMV_NET_SUCCESS) {
        MsgBox::Instance()->ShowResult(tr("PtzRegionFocus"), status);
        return;
    }
    ui->videoLabel->SetMode(VideoLabel::NoMode);
}

void MainWindow::OnManualTrack(QList<QPoint> points)
{
    if (points.size() < 2)
        return;
    const TMV_NET_PTZ_REGION region = PtzRegion(points, 0);
    // The mode stays armed: a new rectangle retargets the tracking.
    const int status = DeviceCall::run(TMV_NET_PtzManualTrack, m_handle, &region);
    if (status != TMV_NET_SUCCESS)
        MsgBox::Instance()->ShowResult(tr("PtzManualTrack"), status);
}
