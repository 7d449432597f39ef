#include "DownloadPage.h"
#include "ui_DownloadPage.h"

#include "MainWindow.h"

DownloadPage::DownloadPage(MainWindow *mainWindow)
    : QWidget(nullptr),
      ui(new Ui::DownloadPage),
      m_mainWindow(mainWindow),
      m_handle(mainWindow->Handle())
{
    ui->setupUi(this);
    RegisterSdkMetaTypes();
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
}
