// The main window's slots for the live picture and the drawing bar under it.
#include "MainWindow.h"
#include "ui_MainWindow.h"

#include <QAbstractButton>
#include <QButtonGroup>

#include "PreviewPage.h"
#include "VideoLabel.h"

void MainWindow::OnUpdateFrame()
{
    ui->videoLabel->SetFrame(m_previewPage->CurrentFrame());
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
