#include <QtTest>

#include <QApplication>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cstring>
#include <memory>
#include <vector>

#include "playback/DownloadPage.h"
#include "app/MainWindow.h"
#include "common/MsgBox.h"
#include "playback/PlaybackText.h"
#include "playback/ProgressDelegate.h"
#include "TestSupport.h"

namespace {

using Downloads = QMap<int, TMV_NET_FILE_DOWNLOAD_INFO>;

TMV_NET_FILE_DOWNLOAD_INFO Download(const char *localPath)
{
    TMV_NET_FILE_DOWNLOAD_INFO info;
    std::memset(&info, 0, sizeof info);
    qstrncpy(info.localPath, localPath, sizeof info.localPath);
    return info;
}

QList<int> PolledIds()
{
    QList<int> ids;
    for (const QByteArray &args : SimFixture::argsOf("TMV_NET_GetDownloadProgress")) {
        int32_t id = -1;
        std::memcpy(&id, args.constData(), sizeof id);
        ids << id;
    }
    return ids;
}

// The handle the last progress poll was made with.
TMV_NET_HANDLE LastPollHandle()
{
    TMV_NET_HANDLE handle = nullptr;
    const QByteArray input = SimFixture::lastInput("TMV_NET_GetDownloadProgress");
    if (input.size() >= int(sizeof handle))
        std::memcpy(&handle, input.constData(), sizeof handle);
    return handle;
}

} // namespace

class TestDownloadPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void windowShape();
    void listsDownloadsInIdOrder();
    void failedPollShowsZero_data();
    void failedPollShowsZero();
    void failedDownloadKeepsItsPercent();
    void pollsEverySecondWhileHidden();
    void keepsRowsAfterLogout();
    void barCarriesTheCellText_data();
    void barCarriesTheCellText();
    void realDownloadGrowsToHundred();
    void rowsKeepTheirPercentAfterLogout();
    void namesReadWhole();

private:
    // Starts downloading the card file `index` of the last day into `dir`;
    // -1 when the card cannot be searched. `info` gets the record.
    int StartCardDownload(int index, const QString &dir, TMV_NET_FILE_DOWNLOAD_INFO *info) const;
    DownloadPage *page() const;
    QTableView *view() const { return m_fixture->child<QTableView>(page(), "tableView"); }
    QStringList row(int r) const;

    std::unique_ptr<PageFixture> m_fixture;
};

void TestDownloadPage::initTestCase()
{
    WarningGuard::install();
    SimFixture::reset();
}

void TestDownloadPage::init()
{
    m_fixture.reset(new PageFixture(false));
}

void TestDownloadPage::cleanup()
{
    SimFixture::clearFaults();
    m_fixture->verifyClean();
    m_fixture.reset();
}

DownloadPage *TestDownloadPage::page() const
{
    const QWidgetList topLevels = QApplication::topLevelWidgets();
    for (QWidget *widget : topLevels) {
        if (DownloadPage *found = qobject_cast<DownloadPage *>(widget))
            return found;
    }
    qFatal("no DownloadPage");
    return nullptr;
}

QStringList TestDownloadPage::row(int r) const
{
    QStringList cells;
    for (int c = 0; c < view()->model()->columnCount(); ++c)
        cells << view()->model()->index(r, c).data().toString();
    return cells;
}

void TestDownloadPage::windowShape()
{
    DownloadPage *window = page();
    QVERIFY(!window->parentWidget());
    QCOMPARE(window->windowTitle(), QString("DownloadPage"));
    QCOMPARE(window->size(), QSize(579, 643));
    QAbstractItemModel *model = view()->model();
    QCOMPARE(model->columnCount(), 3);
    QStringList headers;
    for (int c = 0; c < 3; ++c)
        headers << model->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(headers, QStringList({"Index", "Name", "Progress"}));
    QVERIFY(view()->verticalHeader()->isHidden());
    QVERIFY(view()->horizontalHeader()->stretchLastSection());
    QVERIFY(qobject_cast<ProgressDelegate *>(view()->itemDelegateForColumn(2)));

    const QList<QTimer *> timers = window->findChildren<QTimer *>(QString(), Qt::FindDirectChildrenOnly);
    QCOMPARE(timers.size(), 1);
    QCOMPARE(timers.first()->interval(), 1000);
    QVERIFY(timers.first()->isActive());
}

// Rows follow the ids upwards, whatever order they arrived in, each showing
// its target's last part (a path without "/" whole).
void TestDownloadPage::listsDownloadsInIdOrder()
{
    QVERIFY(m_fixture->login());
    SimFixture::clearJournal();
    Downloads downloads;
    downloads.insert(5, Download("/home/op/clips/090500.mp4"));
    downloads.insert(2, Download("snap.jpg"));
    emit m_fixture->window()->SendDownload(downloads);

    QCOMPARE(view()->model()->rowCount(), 2);
    QCOMPARE(row(0), QStringList({"2", "snap.jpg", "0%"}));
    QCOMPARE(row(1), QStringList({"5", "090500.mp4", "0%"}));
    QCOMPARE(PolledIds(), QList<int>({2, 5}));
    QCOMPARE(LastPollHandle(), m_fixture->window()->Handle());

    // The next list replaces the rows, it does not add to them.
    downloads.remove(5);
    emit m_fixture->window()->SendDownload(downloads);
    QCOMPARE(view()->model()->rowCount(), 1);
    QCOMPARE(row(0).first(), QString("2"));
    m_fixture->click("loginBtn");
}

void TestDownloadPage::failedPollShowsZero_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("failed");
    // Failed, with the login standing: the device gave the download up.
    QTest::newRow("failed") << 1 << "0% failed" << true;
    QTest::newRow("wrong parameter") << 3 << "0%" << false;
}

// A row whose every poll failed has no percent to keep: it shows 0%, and
// says so when the device answered that the download failed.
void TestDownloadPage::failedPollShowsZero()
{
    QFETCH(int, status);
    QFETCH(QString, text);
    QFETCH(bool, failed);
    QVERIFY(m_fixture->login());
    SimFixture::fail("TMV_NET_GetDownloadProgress", status, TMVSIM_ALWAYS);
    Downloads downloads;
    downloads.insert(0, Download("/tmp/x/a.mp4"));
    emit m_fixture->window()->SendDownload(downloads);
    QCOMPARE(row(0), QStringList({"0", "a.mp4", text}));
    QCOMPARE(view()->model()->index(0, 2).data(ProgressDelegate::PercentRole).toInt(), 0);
    QCOMPARE(view()->model()->index(0, 2).data(ProgressDelegate::FailedRole).toBool(), failed);
    m_fixture->click("loginBtn");
}

// A download that fails on its way shows the percent it reached and that
// it failed, in the error colour, until a poll answers again; a finished
// one never reads failed; the logout leaves a failed row as it was.
void TestDownloadPage::failedDownloadKeepsItsPercent()
{
    QVERIFY(m_fixture->login());
    const TMV_NET_HANDLE handle = m_fixture->window()->Handle();
    SimFixture::pauseClock();
    TMVSim_SetLinkSpeed(SimFixture::kPtzCamera, 8 * 1024);
    QTemporaryDir dir;
    TMV_NET_FILE_DOWNLOAD_INFO info;
    const int id = StartCardDownload(1, dir.path(), &info);
    QVERIFY(id >= 0);
    for (int i = 0; i < 200; ++i) {
        TMV_NET_DOWNLOAD_PROGRESS progress{};
        TMV_NET_GetDownloadProgress(handle, id, &progress);
        if (PlaybackText::ProgressPercent(progress.total, progress.done) >= 10)
            break;
        SimFixture::stepClock(50);
        QThread::msleep(5);
    }
    Downloads downloads;
    downloads.insert(id, info);
    emit m_fixture->window()->SendDownload(downloads);
    const int reached = view()->model()->index(0, 2).data(ProgressDelegate::PercentRole).toInt();
    QVERIFY2(reached >= 10 && reached < 100, qPrintable(QString::number(reached)));
    QCOMPARE(row(0).last(), PlaybackText::ProgressText(reached));

    SimFixture::fail("TMV_NET_GetDownloadProgress", 1, TMVSIM_ALWAYS);
    QMetaObject::invokeMethod(page(), "OnTimedout");
    const QModelIndex cell = view()->model()->index(0, 2);
    QCOMPARE(cell.data().toString(), QString("%1% failed").arg(reached));
    QCOMPARE(cell.data(ProgressDelegate::PercentRole).toInt(), reached);
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 120, 20);
    option.palette = view()->palette();
    const QStyleOptionProgressBar bar = ProgressDelegate::BarOption(option, cell);
    QVERIFY(bar.palette.color(QPalette::Highlight) != view()->palette().color(QPalette::Highlight));
    QCOMPARE(bar.text, cell.data().toString());

    // One that had finished before its polls failed stays finished.
    SimFixture::clearFaults();
    for (int i = 0; i < 400 && row(0).last() != QLatin1String("100%"); ++i) {
        SimFixture::stepClock(50);
        QThread::msleep(5);
        QMetaObject::invokeMethod(page(), "OnTimedout");
    }
    QCOMPARE(row(0).last(), QString("100%"));
    SimFixture::fail("TMV_NET_GetDownloadProgress", 1, TMVSIM_ALWAYS);
    QMetaObject::invokeMethod(page(), "OnTimedout");
    QCOMPARE(row(0).last(), QString("100%"));
    QVERIFY(!view()->model()->index(0, 2).data(ProgressDelegate::FailedRole).toBool());
    SimFixture::clearFaults();

    // A failed row stays failed after the logout.
    SimFixture::fail("TMV_NET_GetDownloadProgress", 1, TMVSIM_ALWAYS);
    emit m_fixture->window()->SendDownload(Downloads());
    emit m_fixture->window()->SendDownload(downloads);
    QCOMPARE(row(0).last(), QString("0% failed"));
    SimFixture::resumeClock();
    m_fixture->click("loginBtn");
    QVERIFY(!m_fixture->loggedIn());
    SimFixture::clearFaults();
    QMetaObject::invokeMethod(page(), "OnTimedout");
    QCOMPARE(row(0).last(), QString("0% failed"));
}

void TestDownloadPage::pollsEverySecondWhileHidden()
{
    QVERIFY(m_fixture->login());
    Downloads downloads;
    downloads.insert(1, Download("/tmp/x/a.mp4"));
    emit m_fixture->window()->SendDownload(downloads);
    QVERIFY(!page()->isVisible());
    SimFixture::clearJournal();
    QTRY_VERIFY_WITH_TIMEOUT(SimFixture::countOf("TMV_NET_GetDownloadProgress") >= 1, 2500);
    QCOMPARE(view()->model()->rowCount(), 1);
    m_fixture->click("loginBtn");
}

// After a logout the page keeps its rows and polls them without a login.
void TestDownloadPage::keepsRowsAfterLogout()
{
    QVERIFY(m_fixture->login());
    Downloads downloads;
    downloads.insert(3, Download("/tmp/x/a.mp4"));
    emit m_fixture->window()->SendDownload(downloads);
    m_fixture->click("loginBtn");
    QVERIFY(!m_fixture->loggedIn());
    SimFixture::clearJournal();

    QMetaObject::invokeMethod(page(), "OnTimedout");

    QCOMPARE(row(0), QStringList({"3", "a.mp4", "0%"}));
    QCOMPARE(SimFixture::countOf("TMV_NET_GetDownloadProgress"), 1);
    QVERIFY(!LastPollHandle());
}

void TestDownloadPage::barCarriesTheCellText_data()
{
    QTest::addColumn<int>("percent");
    QTest::newRow("none") << 0;
    QTest::newRow("a quarter") << 25;
    QTest::newRow("done") << 100;
}

// The bar shows the cell's own text and fills to its percent.
void TestDownloadPage::barCarriesTheCellText()
{
    QFETCH(int, percent);
    QStandardItemModel model(1, 1);
    model.setData(model.index(0, 0), PlaybackText::ProgressText(percent));
    model.setData(model.index(0, 0), percent, ProgressDelegate::PercentRole);
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 120, 20);

    const QStyleOptionProgressBar bar = ProgressDelegate::BarOption(option, model.index(0, 0));
    QCOMPARE(bar.minimum, 0);
    QCOMPARE(bar.maximum, 100);
    QCOMPARE(bar.progress, percent);
    QCOMPARE(bar.text, QString::number(percent) + "%");
    QVERIFY(bar.textVisible);
    QVERIFY(option.rect.contains(bar.rect));

    // And the view paints it without complaint.
    QTableView table;
    ProgressDelegate delegate;
    table.setModel(&model);
    table.setItemDelegateForColumn(0, &delegate);
    QVERIFY(!table.grab().isNull());
}

int TestDownloadPage::StartCardDownload(int index, const QString &dir, TMV_NET_FILE_DOWNLOAD_INFO *info) const
{
    const TMV_NET_HANDLE handle = m_fixture->window()->Handle();
    const QDateTime now = QDateTime::currentDateTime();
    TMV_NET_FILE_QUERY query;
    std::memset(&query, 0, sizeof query);
    query.fileType = 0;
    qstrncpy(query.startTime, PlaybackText::QueryTime(now.addDays(-1)).constData(), sizeof query.startTime);
    qstrncpy(query.endTime, PlaybackText::QueryTime(now).constData(), sizeof query.endTime);
    query.pageSize = 50;
    int32_t count = 0;
    if (TMV_NET_QueryFileSize(handle, &query, &count) != 0 || count <= index)
        return -1;
    std::vector<TMV_NET_FILE_INFO> files(static_cast<size_t>(count));
    int32_t returned = 0;
    if (TMV_NET_QueryFile(handle, &query, files.data(), count, &returned) != 0 || returned <= index)
        return -1;
    std::memset(info, 0, sizeof *info);
    info->fileInfo = files[size_t(index)];
    const PlaybackText::DownloadTarget target =
        PlaybackText::TargetOf(dir, QByteArray(info->fileInfo.filePath), sizeof info->localPath);
    qstrncpy(info->localPath, target.path.constData(), sizeof info->localPath);
    return TMV_NET_StartDownloadFile(handle, info);
}

// A real download, polled by the page, only grows and ends at 100%.
void TestDownloadPage::realDownloadGrowsToHundred()
{
    QVERIFY(m_fixture->login());
    const TMV_NET_HANDLE handle = m_fixture->window()->Handle();
    QTemporaryDir dir;
    TMV_NET_FILE_DOWNLOAD_INFO info;
    const int id = StartCardDownload(0, dir.path(), &info);
    QVERIFY(id >= 0);
    Downloads downloads;
    downloads.insert(id, info);
    emit m_fixture->window()->SendDownload(downloads);

    int last = 0;
    QElapsedTimer clock;
    clock.start();
    while (last < 100 && clock.elapsed() < 30000) {
        QTest::qWait(200);
        const int percent = view()->model()->index(0, 2).data(ProgressDelegate::PercentRole).toInt();
        QVERIFY(percent >= last);
        QCOMPARE(view()->model()->index(0, 2).data().toString(), PlaybackText::ProgressText(percent));
        last = percent;
    }
    QCOMPARE(last, 100);
    TMV_NET_StopDownloadFile(handle, id); // finished: nothing left to stop
    m_fixture->click("loginBtn");
}

// After a logout every poll fails (handle 0): a finished download still
// reads 100%, one on its way keeps the percent the logout's last look saw.
void TestDownloadPage::rowsKeepTheirPercentAfterLogout()
{
    QVERIFY(m_fixture->login());
    const TMV_NET_HANDLE handle = m_fixture->window()->Handle();
    SimFixture::pauseClock();
    QTemporaryDir dir;
    TMV_NET_FILE_DOWNLOAD_INFO finished, running;
    const int finishedId = StartCardDownload(0, dir.path(), &finished);
    QVERIFY(finishedId >= 0);
    // The library's own count, read without the event loop: the page's
    // timer must not poll in between.
    const auto percentOf = [handle](int id) {
        TMV_NET_DOWNLOAD_PROGRESS progress{};
        TMV_NET_GetDownloadProgress(handle, id, &progress);
        return PlaybackText::ProgressPercent(progress.total, progress.done);
    };
    const auto stepUntil = [&](int id, int percent) {
        for (int i = 0; i < 200 && percentOf(id) < percent; ++i) {
            SimFixture::stepClock(50);
            QThread::msleep(5);
        }
        return percentOf(id);
    };
    QCOMPARE(stepUntil(finishedId, 100), 100);
    TMVSim_SetLinkSpeed(SimFixture::kPtzCamera, 8 * 1024);
    const int runningId = StartCardDownload(1, dir.path(), &running);
    QVERIFY(runningId >= 0);
    const int polled = stepUntil(runningId, 10);
    Downloads downloads;
    downloads.insert(finishedId, finished);
    downloads.insert(runningId, running);
    emit m_fixture->window()->SendDownload(downloads);
    QCOMPARE(view()->model()->index(1, 2).data(ProgressDelegate::PercentRole).toInt(), polled);
    // On since the page's last poll.
    const int atLogout = stepUntil(runningId, polled + 10);
    QVERIFY2(atLogout > polled && atLogout < 100, qPrintable(QString("%1 -> %2").arg(polled).arg(atLogout)));

    m_fixture->click("loginBtn");
    QVERIFY(!m_fixture->loggedIn());
    SimFixture::clearJournal();
    QMetaObject::invokeMethod(page(), "OnTimedout");

    QCOMPARE(SimFixture::countOf("TMV_NET_GetDownloadProgress"), 2);
    QVERIFY(!LastPollHandle());
    QCOMPARE(row(0).last(), QString("100%"));
    QCOMPARE(row(1).last(), PlaybackText::ProgressText(atLogout));
    QCOMPARE(view()->model()->index(1, 2).data(ProgressDelegate::PercentRole).toInt(), atLogout);
    SimFixture::resumeClock();
}

// Each name is read whole in its column, and the bar with its percent takes
// the rest of the row, all of it in view.
void TestDownloadPage::namesReadWhole()
{
    Downloads downloads;
    downloads.insert(0, Download("/tmp/x/ch0_video_20261209-074500_20261209-074503.mp4"));
    downloads.insert(1, Download("/tmp/x/ch0_video_20261209-080000_20261209-080003.mp4"));
    emit m_fixture->window()->SendDownload(downloads);
    page()->show();
    QVERIFY(QTest::qWaitForWindowExposed(page()));
    for (int r = 0; r < 2; ++r) {
        for (int column : {1, 2}) {
            const QModelIndex cell = view()->model()->index(r, column);
            QVERIFY(view()->visualRect(cell).width() >= view()->sizeHintForIndex(cell).width());
            QVERIFY(view()->viewport()->rect().contains(view()->visualRect(cell)));
        }
    }
    page()->close();
}

QTEST_MAIN(TestDownloadPage)
#include "tst_downloadpage.moc"
