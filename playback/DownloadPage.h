#ifndef DOWNLOADPAGE_H
#define DOWNLOADPAGE_H

#include <QMap>
#include <QSet>
#include <QWidget>

#include <memory>

#include "common/SdkMetaTypes.h"
#include "TMVNetSDK.h"

class MainWindow;
class QStandardItemModel;

namespace Ui {
class DownloadPage;
}

// The download window: a top-level list of the login's downloads with their
// progress, polled once a second, also while hidden. The main window creates
// and deletes it.
//
// Threading model: user-interface thread only; the polling is a timer in the
// event loop, one library call per download per second.
class DownloadPage : public QWidget
{
    Q_OBJECT

public:
    // No parent: the window stands on its own next to the main window.
    explicit DownloadPage(MainWindow *mainWindow);
    ~DownloadPage() override;

public slots:
    void OnChangeHandle(TMV_NET_HANDLE handle);
    void OnFile(QMap<int, TMV_NET_FILE_DOWNLOAD_INFO> filemap);
    void OnTimedout();

private:
    // Rebuilds the rows from the list, asking the library for each progress.
    void Refresh();

    std::unique_ptr<Ui::DownloadPage> ui;
    MainWindow *m_mainWindow;
    TMV_NET_HANDLE m_handle;
    QMap<int, TMV_NET_FILE_DOWNLOAD_INFO> m_downloadMap;
    // The last percent each download's poll gave.
    QMap<int, int> m_percents;
    // Downloads the device answered as failed while the login stood.
    QSet<int> m_failed;
    QStandardItemModel *m_model;
};

#endif // DOWNLOADPAGE_H
