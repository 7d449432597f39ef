// The main window's playback slots: the SD-card search of the "Playback" tab,
// the downloads of the login and the download window.
#include "app/MainWindow.h"
#include "ui_MainWindow.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QStringList>
#include <QTableWidgetItem>
#include <QTableWidgetSelectionRange>

#include <cstring>
#include <set>
#include <vector>

#include "common/CopyField.h"
#include "common/DeviceCall.h"
#include "common/MsgBox.h"
#include "playback/DownloadPage.h"
#include "playback/PlaybackText.h"

namespace {

void SetFileTableHeader(QTableWidget *table)
{
    // Labels only go to columns that exist.
    table->setColumnCount(2);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->setHorizontalHeaderLabels({MainWindow::tr("Index"), MainWindow::tr("Name")});
}

QTableWidgetItem *FileItem(const QString &text)
{
    // Read-only: the names are the device's, not the user's to edit.
    QTableWidgetItem *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

} // namespace

void MainWindow::OnFileTypeButtonClicked()
{
    if (ui->videoRadioBtn->isChecked())
        m_fileType = 1;
    else if (ui->imageRadioBtn->isChecked())
        m_fileType = 0;
}

void MainWindow::OnSDcardSearchButtonClicked()
{
    m_pageNumber = 0;
    SearchFiles();
    ui->selectAllBtn->setText("Select All");
}

void MainWindow::OnBackButtonClicked()
{
    --m_pageNumber;
    SearchFiles();
}

void MainWindow::OnNextButtonClicked()
{
    ++m_pageNumber;
    SearchFiles();
}

void MainWindow::OnSellectAllButtonClicked()
{
    QTableWidget *table = ui->tableWidget;
    const bool select = ui->selectAllBtn->text() == QLatin1String("Select All");
    if (table->rowCount() > 0 && table->columnCount() > 0)
        table->setRangeSelected(QTableWidgetSelectionRange(0, 0, table->rowCount() - 1, table->columnCount() - 1),
                                select);
    ui->selectAllBtn->setText(select ? "Deselect All" : "Select All");
}

void MainWindow::DisableFileButtons()
{
    ui->backBtn->setEnabled(false);
    ui->nextBtn->setEnabled(false);
    ui->selectAllBtn->setEnabled(false);
    ui->downloadBtn->setEnabled(false);
    // Running downloads stay within reach whatever a later search found.
    ui->downProgressBtn->setEnabled(!m_downloadMap.isEmpty());
}

void MainWindow::SearchFiles()
{
    QTableWidget *table = ui->tableWidget;
    table->clear();
    table->setRowCount(0);
    m_fileMap.clear();
    SetFileTableHeader(table);

    TMV_NET_FILE_QUERY query;
    std::memset(&query, 0, sizeof query);
    query.channel = m_playbackChannel;
    query.fileType = m_fileType;
    query.reserved = 0;
    // The format has a fixed length far below the field.
    CopyField(query.startTime, PlaybackText::QueryTime(ui->startDateTimeEdit->dateTime()));
    CopyField(query.endTime, PlaybackText::QueryTime(ui->endDateTimeEdit->dateTime()));
    query.pageSize = PlaybackText::kPageSize;
    query.pageNo = m_pageNumber;

    if (ui->startDateTimeEdit->dateTime() > ui->endDateTimeEdit->dateTime()) {
        DisableFileButtons();
        QMessageBox::critical(this, tr("Error"), tr("StartTime is grater endTime!"), QMessageBox::Ok);
        return;
    }

    int32_t count = 0;
    int status = DeviceCall::run(TMV_NET_QueryFileSize, m_handle, &query, &count);
    if (status != 0)
        MsgBox::Instance()->ShowResult(tr("QueryFileSize"), status);
    if (count <= 0) {
        QMessageBox::critical(this, tr("Error"), tr("No SD file!"), QMessageBox::Ok);
        DisableFileButtons();
        return;
    }

    ui->selectAllBtn->setEnabled(true);
    ui->downloadBtn->setEnabled(true);
    ui->downProgressBtn->setEnabled(true);

    std::vector<TMV_NET_FILE_INFO> files(static_cast<size_t>(count));
    std::memset(files.data(), 0, files.size() * sizeof(TMV_NET_FILE_INFO));
    int32_t returned = 0;
    status = DeviceCall::run(TMV_NET_QueryFile, m_handle, &query, files.data(), count, &returned);
    if (status != 0) {
        MsgBox::Instance()->ShowResult(tr("QueryFileSize"), status);
        return;
    }
    returned = PlaybackText::ClampCount(returned, count);

    table->setRowCount(returned);
    for (int i = 0; i < returned; ++i) {
        const TMV_NET_FILE_INFO &file = files[size_t(i)];
        const QString path =
            QString::fromLocal8Bit(PlaybackText::FieldText(file.filePath, sizeof file.filePath));
        table->setItem(i, 0, FileItem(QString::number(i + 1)));
        table->setItem(i, 1, FileItem(PlaybackText::LastPart(path)));
        m_fileMap.insert(i, file);
    }

    SetFileTableHeader(table);
    ui->nextBtn->setEnabled(returned >= PlaybackText::kPageSize);
    ui->backBtn->setEnabled(m_pageNumber != 0);
}

void MainWindow::OnDownloadButtonClicked()
{
    const QString directory =
        QFileDialog::getExistingDirectory(this, "Choose directory", "./", QFileDialog::ShowDirsOnly);
    if (directory.isEmpty())
        return;

    // Both cells of a row are selected items; each row downloads once.
    std::set<int> rows;
    const QList<QTableWidgetItem *> selected = ui->tableWidget->selectedItems();
    for (const QTableWidgetItem *item : selected)
        rows.insert(item->row());

    QStringList refused;
    for (const int row : rows) {
        if (!m_fileMap.contains(row))
            continue;
        TMV_NET_FILE_DOWNLOAD_INFO info;
        std::memset(&info, 0, sizeof info);
        info.fileInfo = m_fileMap.value(row);

        const QByteArray devicePath =
            PlaybackText::FieldText(info.fileInfo.filePath, sizeof info.fileInfo.filePath);
        const PlaybackText::DownloadTarget target =
            PlaybackText::TargetOf(directory, devicePath, sizeof info.localPath);
        if (target.fault != PlaybackText::TargetFault::None) {
            refused << PlaybackText::RefusalText(target.fault, devicePath);
            continue;
        }
        CopyField(info.localPath, target.path);

        const int id = DeviceCall::run(TMV_NET_StartDownloadFile, m_handle, &info);
        if (id < 0) {
            // The library negates a failure so it cannot read as an id.
            MsgBox::Instance()->ShowResult(tr("StartDownloadFile"), -id);
            continue;
        }
        m_downloadMap.insert(id, info);
    }

    if (!refused.isEmpty())
        QMessageBox::critical(this, tr("Error"), refused.join(QLatin1Char('\n')), QMessageBox::Ok);

    emit SendDownload(m_downloadMap);
}

bool MainWindow::StopDownloads()
{
    // A stopped download leaves the list at once, so a logout retried after
    // a failed stop does not trip over the downloads already stopped.
    while (!m_downloadMap.isEmpty()) {
        const int id = m_downloadMap.firstKey();
        const int status = DeviceCall::run(TMV_NET_StopDownloadFile, m_handle, id);
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
