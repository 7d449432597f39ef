#include "playback/ProgressDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

ProgressDelegate::ProgressDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

QStyleOptionProgressBar ProgressDelegate::BarOption(const QStyleOptionViewItem &option, const QModelIndex &index)
{
    QStyleOptionProgressBar bar;
    bar.state = option.state | QStyle::State_Horizontal;
    bar.direction = option.direction;
    bar.rect = option.rect.adjusted(1, 1, -1, -1);
    bar.fontMetrics = option.fontMetrics;
    bar.palette = option.palette;
    bar.minimum = 0;
    bar.maximum = 100;
    bar.progress = qBound(0, index.data(PercentRole).toInt(), 100);
    bar.text = index.data(Qt::DisplayRole).toString();
    bar.textVisible = true;
    bar.textAlignment = Qt::AlignCenter;
    if (index.data(FailedRole).toBool()) {
        // Red stays red in every style and colour scheme.
        const QColor red(0xc0, 0x1c, 0x28);
        bar.palette.setColor(QPalette::Highlight, red);
        bar.palette.setColor(QPalette::HighlightedText, Qt::white);
        bar.palette.setColor(QPalette::Text, red);
        bar.palette.setColor(QPalette::WindowText, red);
    }
    return bar;
}

void ProgressDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    // The row's selection and background first, without the cell's text.
    cell.text.clear();
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);

    const QStyleOptionProgressBar bar = BarOption(option, index);
    style->drawControl(QStyle::CE_ProgressBar, &bar, painter, widget);
}
