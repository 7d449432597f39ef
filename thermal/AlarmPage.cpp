#include "thermal/AlarmPage.h"
#include "ui_AlarmPage.h"

#include <QHeaderView>
#include <QStandardItemModel>

#include "thermal/AlarmText.h"

AlarmPage::AlarmPage(QWidget *parent)
    : QWidget(parent), ui(new Ui::AlarmPage), m_model(nullptr)
{
    ui->setupUi(this);
    m_model = new QStandardItemModel(ui->tableView);
    // Six columns first; the eight labels then widen the model to eight.
    m_model->setColumnCount(6);
    m_model->setHorizontalHeaderLabels(AlarmText::Headers());
    ui->tableView->setModel(m_model);
    ui->tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui->tableView->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    ui->tableView->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    ui->tableView->horizontalHeader()->setStretchLastSection(true);
    // Every header readable from the start; the rows widen the columns.
    ui->tableView->resizeColumnsToContents();
}

AlarmPage::~AlarmPage() = default;

void AlarmPage::AppendRow(const QStringList &cells)
{
    QList<QStandardItem *> items;
    items.reserve(cells.size());
    for (const QString &cell : cells)
        items << new QStandardItem(cell);
    m_model->appendRow(items);

    // Each column widens to the widest text it has held, never narrows, so
    // a width the user drags stays. Only the new row is measured: a flood of
    // alarms costs a few text widths per row.
    QHeaderView *header = ui->tableView->horizontalHeader();
    const QModelIndex first = m_model->index(m_model->rowCount() - 1, 0);
    const int grid = ui->tableView->showGrid() ? 1 : 0;
    for (int column = 0; column < m_model->columnCount(); ++column) {
        const int wanted = ui->tableView->sizeHintForIndex(first.siblingAtColumn(column)).width() + grid;
        if (wanted > header->sectionSize(column))
            header->resizeSection(column, wanted);
    }
}

#define ALARMPAGE_ADD_ROW(Record)                                                                                   \
    void AlarmPage::AddAlarmRow(int alarmType, const Record &info)                                                  \
    {                                                                                                               \
        AppendRow(AlarmText::Cells(alarmType, info));                                                               \
    }
ALARMPAGE_ADD_ROW(TMV_NET_TEMP_ALARM_INFO)
ALARMPAGE_ADD_ROW(TMV_NET_FIRE_ALARM_INFO)
ALARMPAGE_ADD_ROW(TMV_NET_REGION_INTRUSION_ALARM_INFO)
ALARMPAGE_ADD_ROW(TMV_NET_LINE_INTRUSION_ALARM_INFO)
ALARMPAGE_ADD_ROW(TMV_NET_SMOKE_DETECT_ALARM_INFO)
ALARMPAGE_ADD_ROW(TMV_NET_TEMP_DIFF_ALARM_INFO)
ALARMPAGE_ADD_ROW(TMV_NET_DYNAMIC_ALARM_INFO)
ALARMPAGE_ADD_ROW(TMV_NET_LOCAL_ALARM_INFO)
ALARMPAGE_ADD_ROW(TMV_NET_HIGH_LIGHT_ALARM_INFO)
ALARMPAGE_ADD_ROW(TMV_NET_OBJECT_PULSE_ALARM_INFO)
ALARMPAGE_ADD_ROW(TMV_NET_TRACK_STATE_ALARM_INFO)
ALARMPAGE_ADD_ROW(TMV_NET_TRACK_OBJECT_ALARM_INFO)
ALARMPAGE_ADD_ROW(TMV_NET_LOGIN_EXCEPTION_ALARM_INFO)
ALARMPAGE_ADD_ROW(TMV_NET_SD_EXCEPTION_ALARM_INFO)
#undef ALARMPAGE_ADD_ROW

void AlarmPage::ClearAlarms()
{
    m_model->removeRows(0, m_model->rowCount());
}

int AlarmPage::RowCount() const
{
    return m_model->rowCount();
}

QStringList AlarmPage::RowTexts(int row) const
{
    QStringList texts;
    for (int column = 0; column < m_model->columnCount(); ++column) {
        const QStandardItem *item = m_model->item(row, column);
        texts << (item ? item->text() : QString());
    }
    return texts;
}
