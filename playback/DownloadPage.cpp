#include "playback/DownloadPage.h"
#include "ui_DownloadPage.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTimer>

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
    m_downloadMap = filemap;
    Refresh();
}

void DownloadPage::OnTimedout()
{
    Refresh();
}

void DownloadPage::Refresh()
{
    m_model->removeRows(0, m_model->rowCount());
    for (auto it = m_downloadMap.cbegin(); it != m_downloadMap.cend(); ++it) {
        // Zeroed each time: a failed poll shows 0%, not what the last one left.
        TMV_NET_DOWNLOAD_PROGRESS progress;
        std::memset(&progress, 0, sizeof progress);
        TMV_NET_GetDownloadProgress(m_handle, it.key(), &progress);
        const int percent = PlaybackText::ProgressPercent(progress.total, progress.done);

        const QByteArray path = PlaybackText::FieldText(it->localPath, sizeof it->localPath);
        QStandardItem *index = new QStandardItem(QString::number(it.key()));
        QStandardItem *name = new QStandardItem(PlaybackText::LastPart(QString::fromLocal8Bit(path)));
        QStandardItem *done = new QStandardItem(PlaybackText::ProgressText(percent));
        done->setData(percent, ProgressDelegate::PercentRole);
        m_model->appendRow({index, name, done});
    }
}
