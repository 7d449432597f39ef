// The main window's playback slots: the SD-card downloads of the login and
// the download window.
#include "MainWindow.h"
#include "ui_MainWindow.h"

#include "DownloadPage.h"
#include "MsgBox.h"

bool MainWindow::StopDownloads()
{
    // A stopped download leaves the list at once, so a logout retried after
    // a failed stop does not trip over the downloads already stopped.
    while (!m_downloadMap.isEmpty()) {
        const int id = m_downloadMap.firstKey();
        const int status = TMV_NET_StopDownloadFile(m_handle, id);
        if (status != 0) {
            MsgBox::Instance()->ShowResult(tr("StopDownloadFile"), status);
            return false;
        }
        m_downloadMap.remove(id);
    }
    return true;
}

void MainWindow::ClearPlayback()
{
    ui->tableWidget->clear();
    ui->tableWidget->setRowCount(0);
    m_fileMap.clear();
    m_downloadMap.clear();
}

void MainWindow::OnDownloadProgressButtonClicked()
{
    m_downloadPage->show();
    m_downloadPage->raise();
}
