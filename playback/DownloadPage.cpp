#include "playback/DownloadPage.h"
#include "ui_DownloadPage.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QStyle>
#include <QTimer>

#include <algorithm>
#include <cstring>

#include "app/MainWindow.h"
#include "common/DeviceCall.h"
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
        if (now == filemap.cend() || std::memcmp(&*now, &*it, sizeof *it) != 0) {
            m_percents.remove(it.key());
            m_failed.remove(it.key());
        }
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
    // A tick that comes while another call waits is skipped, not nested
    // inside it: the next one polls.
    if (DeviceCall::Waiting())
        return;
    Refresh();
}

void DownloadPage::Refresh()
{
    // Every poll first, then the rows at once: the window paints while a
    // poll waits, and must not show a half-built list.
    const TMV_NET_HANDLE handle = m_handle;
    const QMap<int, TMV_NET_FILE_DOWNLOAD_INFO> downloads = m_downloadMap;
    for (auto it = downloads.cbegin(); it != downloads.cend(); ++it) {
        TMV_NET_DOWNLOAD_PROGRESS progress;
        std::memset(&progress, 0, sizeof progress);
        const int status = DeviceCall::run(TMV_NET_GetDownloadProgress, handle, it.key(), &progress);
        if (status == 0) {
            m_percents[it.key()] = PlaybackText::ProgressPercent(progress.total, progress.done);
            m_failed.remove(it.key());
        } else if (status == TMV_NET_FAILED && handle) {
            // The login stands and the download was given up (a link lost on
            // the way, say): the row says so, at the percent reached. One
            // that had finished stays finished: its file is whole.
            const int percent = progress.total > 0 ? PlaybackText::ProgressPercent(progress.total, progress.done)
                                                   : m_percents.value(it.key(), 0);
            if (m_percents.value(it.key(), 0) < 100 && percent < 100) {
                m_percents[it.key()] = percent;
                m_failed.insert(it.key());
            }
        }
        // Any other failed poll (after logout every poll fails) keeps the
        // last state known, so a finished download still reads 100%.
    }
    // What the polls' waits let change meanwhile wins.
    if (downloads.keys() != m_downloadMap.keys())
        return;

    m_model->removeRows(0, m_model->rowCount());
    for (auto it = m_downloadMap.cbegin(); it != m_downloadMap.cend(); ++it) {
        const int percent = m_percents.value(it.key(), 0);
        const bool failed = m_failed.contains(it.key());
        const QByteArray path = PlaybackText::FieldText(it->localPath, sizeof it->localPath);
        QStandardItem *index = new QStandardItem(QString::number(it.key()));
        QStandardItem *name = new QStandardItem(PlaybackText::LastPart(QString::fromLocal8Bit(path)));
        QStandardItem *done = new QStandardItem(failed ? tr("%1 failed").arg(PlaybackText::ProgressText(percent))
                                                       : PlaybackText::ProgressText(percent));
        done->setData(percent, ProgressDelegate::PercentRole);
        done->setData(failed, ProgressDelegate::FailedRole);
        m_model->appendRow({index, name, done});
    }
}
