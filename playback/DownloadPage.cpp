#include "playback/DownloadPage.h"
#include "ui_DownloadPage.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QStyle>
#include <QTimer>

#include <algorithm>
#include <cstring>

#include "app/MainWindow.h"
#include "playback/PlaybackText.h"
#include "playback/ProgressDelegate.h"

DownloadPage::DownloadPage(MainWindow *mainWindow)
    : QWidget(nullptr),
      ui(new Ui::DownloadPage),
      m_mainWindow(mainWindow),
      m_handle(mainWindow->Handle()),
      m_model(nullptr)
{
    ui->setupUi(this);
    RegisterSdkMetaTypes();

    m_model = new QStandardItemModel(0, 3, this);
    m_model->setHorizontalHeaderLabels({tr("Index"), tr("Name"), tr("Progress")});
    ui->tableView->setModel(m_model);
    ui->tableView->setItemDelegateForColumn(2, new ProgressDelegate(ui->tableView));
    ui->tableView->verticalHeader()->hide();
    // The names tell the rows apart: they get their width, the bar the rest.
    ui->tableView->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    ui->tableView->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    ui->tableView->horizontalHeader()->setStretchLastSection(true);
    ui->tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);

    QTimer *timer = new QTimer(this);
    timer->setInterval(1000);
    connect(timer, SIGNAL(timeout()), this, SLOT(OnTimedout()));
    timer->start();

    connect(m_mainWindow, SIGNAL(ChangeHandle(TMV_NET_HANDLE)), this, SLOT(OnChangeHandle(TMV_NET_HANDLE)));
    connect(m_mainWindow, SIGNAL(SendDownload(QMap<int, TMV_NET_FILE_DOWNLOAD_INFO>)),
            this, SLOT(OnFile(QMap<int, TMV_NET_FILE_DOWNLOAD_INFO>)));
}

DownloadPage::~DownloadPage() = default;

void DownloadPage::OnChangeHandle(TMV_NET_HANDLE handle)
{
    m_handle = handle;
}

void DownloadPage::OnFile(QMap<int, TMV_NET_FILE_DOWNLOAD_INFO> filemap)
{
    // A percent belongs to its download: an id that now names another one
    // (ids may start again at a later login) starts from nothing.
    for (auto it = m_downloadMap.cbegin(); it != m_downloadMap.cend(); ++it) {
        const auto now = filemap.constFind(it.key());
        if (now == filemap.cend() || std::memcmp(&*now, &*it, sizeof *it) != 0)
            m_percents.remove(it.key());
    }
    m_downloadMap = filemap;
    Refresh();

    // Room for every name whole beside a bar of the header's default width
    // (and a scroll bar): with a larger font the window widens to give it.
    const QAbstractItemView *view = ui->tableView;
    const QHeaderView *header = ui->tableView->horizontalHeader();
    int row = header->defaultSectionSize() + 2 * ui->tableView->frameWidth()
              + ui->tableView->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (int column : {0, 1})
        row += std::max(view->sizeHintForColumn(column), header->sectionSizeHint(column));
    ui->tableView->setMinimumWidth(row);
}

void DownloadPage::OnTimedout()
{
    Refresh();
}

void DownloadPage::Refresh()
{
    m_model->removeRows(0, m_model->rowCount());
    for (auto it = m_downloadMap.cbegin(); it != m_downloadMap.cend(); ++it) {
        // A failed poll (after logout every poll fails) keeps the last
        // percent known, so a finished download still reads 100%.
        TMV_NET_DOWNLOAD_PROGRESS progress;
        std::memset(&progress, 0, sizeof progress);
        if (TMV_NET_GetDownloadProgress(m_handle, it.key(), &progress) == 0)
            m_percents[it.key()] = PlaybackText::ProgressPercent(progress.total, progress.done);
        const int percent = m_percents.value(it.key(), 0);

        const QByteArray path = PlaybackText::FieldText(it->localPath, sizeof it->localPath);
        QStandardItem *index = new QStandardItem(QString::number(it.key()));
        QStandardItem *name = new QStandardItem(PlaybackText::LastPart(QString::fromLocal8Bit(path)));
        QStandardItem *done = new QStandardItem(PlaybackText::ProgressText(percent));
        done->setData(percent, ProgressDelegate::PercentRole);
        m_model->appendRow({index, name, done});
    }
}
