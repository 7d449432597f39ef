#ifndef PROGRESSDELEGATE_H
#define PROGRESSDELEGATE_H

#include <QStyleOptionProgressBar>
#include <QStyledItemDelegate>

// Paints the download window's progress cell as a bar carrying the cell's
// own "N%" text: a bar reads at a glance, the text stays for the exact value.
// The percent comes from the cell's PercentRole; a download that failed
// (FailedRole true) gets a bar in the error colour.
class ProgressDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static const int PercentRole = Qt::UserRole + 1;
    static const int FailedRole = Qt::UserRole + 2;

    explicit ProgressDelegate(QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // The bar drawn for a cell, in the cell's rectangle.
    static QStyleOptionProgressBar BarOption(const QStyleOptionViewItem &option, const QModelIndex &index);
};

#endif // PROGRESSDELEGATE_H
