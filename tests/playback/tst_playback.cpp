#include <QtTest>

#include <QApplication>
#include <QDateTimeEdit>
#include <QDir>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>

#include <cstring>
#include <memory>
#include <vector>

#include "app/MainWindow.h"
#include "common/MsgBox.h"
#include "playback/PlaybackText.h"
#include "TestSupport.h"

namespace {

const char *const kNoCard = "the simulated SD card answers 'not supported' on this tree";

const char *const kFileButtons[] = {"backBtn", "nextBtn", "selectAllBtn", "downloadBtn", "downProgressBtn"};

using Downloads = QMap<int, TMV_NET_FILE_DOWNLOAD_INFO>;

TMV_NET_FILE_QUERY Query(const QDateTime &start, const QDateTime &end, int page, int channel = 0, int type = 1)
{
    TMV_NET_FILE_QUERY query;
    std::memset(&query, 0, sizeof query);
    query.channel = channel;
    query.fileType = type;
    qstrncpy(query.startTime, PlaybackText::QueryTime(start).constData(), sizeof query.startTime);
    qstrncpy(query.endTime, PlaybackText::QueryTime(end).constData(), sizeof query.endTime);
    query.pageSize = PlaybackText::kPageSize;
    query.pageNo = page;
    return query;
}

// Files of one search page, straight from the library; the status of the
// size query (2 while the card is not built), -1 on a failed list query.
int FilesOnPage(TMV_NET_HANDLE handle, const TMV_NET_FILE_QUERY &query, std::vector<TMV_NET_FILE_INFO> *files)
{
    int32_t count = 0;
    const int status = TMV_NET_QueryFileSize(handle, &query, &count);
    files->clear();
    if (status != 0 || count <= 0)
        return status;
    files->resize(size_t(count));
    int32_t returned = 0;
    if (TMV_NET_QueryFile(handle, &query, files->data(), count, &returned) != 0)
        return -1;
    files->resize(size_t(PlaybackText::ClampCount(returned, count)));
    return 0;
}

} // namespace

class TestPlayback : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void timeSpan_data();
    void timeSpan();
    void queryRecord_data();
    void queryRecord();
    void failedCountEndsInNoFile();

    void tableListsThePage();
    void fullPageEnablesNextThenEmptyPage();
    void selectAllToggles();
    void overReportedCountStaysInTheArray();

    void cancelledDialogStartsNothing();
    void noSelectionStillSends();
    void selectedRowsDownloadOnceAscending_data();
    void selectedRowsDownloadOnceAscending();
    void sameFileTwiceGivesTwoDownloads();
    void failedStartIsReportedAndOthersGoOn();
    void overlongTargetIsRefused();
    void logoutStopsEveryDownloadFirst_data();
    void logoutStopsEveryDownloadFirst();

private:
    // Logs in on the PTZ camera and shows the "Playback" tab.
    void openPlayback();
    // Clicks "Search"; returns the rows shown.
    int search();
    // Skips the test unless the device answers searches; then searches the
    // default span and requires files in it.
    bool searchWithFiles();
    // Selects the rows and downloads them into `directory`.
    void download(const QList<int> &rows, const QString &directory);
    QTableWidget *table() const { return m_fixture->child<QTableWidget>("tableWidget"); }

    std::unique_ptr<PageFixture> m_fixture;
};

void TestPlayback::initTestCase()
{
    WarningGuard::install();
    SimFixture::reset();
}

void TestPlayback::init()
{
    m_fixture.reset(new PageFixture);
}

void TestPlayback::cleanup()
{
    SimFixture::clearFaults();
    m_fixture->verifyClean();
    m_fixture.reset();
}

void TestPlayback::openPlayback()
{
    QVERIFY(m_fixture->login(SimFixture::kPtzCamera));
    m_fixture->child<QTabWidget>("tabWidget_2")->setCurrentIndex(1);
    SimFixture::clearJournal();
}

int TestPlayback::search()
{
    m_fixture->click("sdCardSearchBtn");
    return table()->rowCount();
}

bool TestPlayback::searchWithFiles()
{
    openPlayback();
    const TMV_NET_FILE_QUERY query =
        Query(m_fixture->child<QDateTimeEdit>("startDateTimeEdit")->dateTime(),
              m_fixture->child<QDateTimeEdit>("endDateTimeEdit")->dateTime(), 0);
    int32_t count = 0;
    const int status = TMV_NET_QueryFileSize(m_fixture->window()->Handle(), &query, &count);
    if (status == 2)
        return false;
    SimFixture::clearJournal();
    // The card keeps a history, so the last day always holds files.
    const int rows = search();
    return rows > 0 && m_fixture->boxes().count() == 0;
}

void TestPlayback::download(const QList<int> &rows, const QString &directory)
{
    table()->clearSelection();
    for (const int row : rows) {
        // Both cells of the row, as a click on it selects them.
        table()->setRangeSelected(QTableWidgetSelectionRange(row, 0, row, 1), true);
    }
    FileDialogAnswerer answer(directory);
    m_fixture->click("downloadBtn");
    QVERIFY(answer.answered());
    QCOMPARE(answer.caption(), QString("Choose directory"));
}

// Equal times are a valid span; a start one second after the end is refused
// before the device is asked, and the file buttons go dark.
void TestPlayback::timeSpan_data()
{
    QTest::addColumn<int>("startAfterEnd");
    QTest::addColumn<bool>("refused");
    QTest::newRow("start equal to end") << 0 << false;
    QTest::newRow("start one second later") << 1 << true;
}

void TestPlayback::timeSpan()
{
    QFETCH(int, startAfterEnd);
    QFETCH(bool, refused);
    openPlayback();
    const QDateTime end(QDate(2024, 3, 7), QTime(9, 5, 0));
    m_fixture->child<QDateTimeEdit>("endDateTimeEdit")->setDateTime(end);
    m_fixture->child<QDateTimeEdit>("startDateTimeEdit")->setDateTime(end.addSecs(startAfterEnd));
    for (const char *name : kFileButtons)
        m_fixture->child<QPushButton>(name)->setEnabled(true);

    search();

    if (refused) {
        QCOMPARE(SimFixture::countOf("TMV_NET_QueryFileSize"), 0);
        QCOMPARE(m_fixture->boxes().count(), 1);
        const ModalCatcher::Box box = m_fixture->boxes().last();
        QCOMPARE(box.title, QString("Error"));
        QCOMPARE(box.text, QString("StartTime is grater endTime!"));
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(box.parent, static_cast<QWidget *>(m_fixture->window()));
        for (const char *name : kFileButtons)
            QVERIFY2(!m_fixture->child<QPushButton>(name)->isEnabled(), name);
    } else {
        QCOMPARE(SimFixture::countOf("TMV_NET_QueryFileSize"), 1);
        const auto query = SimFixture::lastRecord<TMV_NET_FILE_QUERY>("TMV_NET_QueryFileSize");
        QCOMPARE(QByteArray(query.startTime), QByteArray("2024-03-07+09:05:00"));
        QCOMPARE(QByteArray(query.endTime), QByteArray("2024-03-07+09:05:00"));
        for (const ModalCatcher::Box &box : m_fixture->boxes().boxes())
            QVERIFY(box.text != "StartTime is grater endTime!");
    }
}

void TestPlayback::queryRecord_data()
{
    QTest::addColumn<QString>("channelButton");
    QTest::addColumn<QString>("typeButton");
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("fileType");

    QTest::newRow("channel1 video") << "playbackChannel0RadioBtn" << "videoRadioBtn" << 0 << 1;
    QTest::newRow("channel2 image") << "playbackChannel1RadioBtn" << "imageRadioBtn" << 1 << 0;
    QTest::newRow("channel2 image then video") << "playbackChannel1RadioBtn" << "imageRadioBtn,videoRadioBtn" << 1
                                               << 1;
}

// The query carries the chosen channel and type, both times in the device's
// format, a page of 50 and the first page.
void TestPlayback::queryRecord()
{
    QFETCH(QString, channelButton);
    QFETCH(QString, typeButton);
    QFETCH(int, channel);
    QFETCH(int, fileType);
    openPlayback();
    m_fixture->click(qPrintable(channelButton));
    for (const QString &name : typeButton.split(','))
        m_fixture->click(qPrintable(name));
    const QDateTime start = m_fixture->child<QDateTimeEdit>("startDateTimeEdit")->dateTime();
    const QDateTime end = m_fixture->child<QDateTimeEdit>("endDateTimeEdit")->dateTime();

    search();

    const auto query = SimFixture::lastRecord<TMV_NET_FILE_QUERY>("TMV_NET_QueryFileSize");
    const TMV_NET_FILE_QUERY expected = Query(start, end, 0, channel, fileType);
    QCOMPARE(query.channel, channel);
    QCOMPARE(query.fileType, fileType);
    QCOMPARE(query.reserved, 0);
    QCOMPARE(QByteArray(query.startTime), QByteArray(expected.startTime));
    QCOMPARE(QByteArray(query.endTime), QByteArray(expected.endTime));
    QCOMPARE(query.pageSize, 50);
    QCOMPARE(query.pageNo, 0);
    // No stale bytes after the texts.
    QCOMPARE(SimFixture::bytesOf(query), SimFixture::bytesOf(expected));
}

// A failed size query is reported, then the search goes on with no files.
void TestPlayback::failedCountEndsInNoFile()
{
    openPlayback();
    SimFixture::fail("TMV_NET_QueryFileSize", 1);
    QCOMPARE(search(), 0);

    QCOMPARE(m_fixture->boxes().count(), 2);
    QCOMPARE(m_fixture->boxes().boxes().at(0).text, QString("QueryFileSize Failed!"));
    QCOMPARE(m_fixture->boxes().boxes().at(1).title, QString("Error"));
    QCOMPARE(m_fixture->boxes().boxes().at(1).text, QString("No SD file!"));
    QCOMPARE(m_fixture->boxes().boxes().at(1).parent, static_cast<QWidget *>(m_fixture->window()));
    QCOMPARE(SimFixture::countOf("TMV_NET_QueryFile"), 0);
    for (const char *name : kFileButtons)
        QVERIFY2(!m_fixture->child<QPushButton>(name)->isEnabled(), name);
    QCOMPARE(table()->columnCount(), 2);
    QCOMPARE(table()->horizontalHeaderItem(0)->text(), QString("Index"));
    QCOMPARE(table()->horizontalHeaderItem(1)->text(), QString("Name"));
}

// Each row shows its number from 1 and the last part of the device's path.
void TestPlayback::tableListsThePage()
{
    if (!searchWithFiles())
        QSKIP(kNoCard);
    const auto query = SimFixture::lastRecord<TMV_NET_FILE_QUERY>("TMV_NET_QueryFileSize");
    std::vector<TMV_NET_FILE_INFO> files;
    QCOMPARE(FilesOnPage(m_fixture->window()->Handle(), query, &files), 0);
    QCOMPARE(table()->rowCount(), int(files.size()));
    for (int row = 0; row < table()->rowCount(); ++row) {
        QCOMPARE(table()->item(row, 0)->text(), QString::number(row + 1));
        QCOMPARE(table()->item(row, 1)->text(),
                 PlaybackText::LastPart(QString::fromLocal8Bit(files[size_t(row)].filePath)));
    }
    QCOMPARE(table()->horizontalHeaderItem(1)->text(), QString("Name"));
    QCOMPARE(table()->horizontalHeader()->sectionResizeMode(0), QHeaderView::Stretch);
    for (const char *name : {"selectAllBtn", "downloadBtn", "downProgressBtn"})
        QVERIFY2(m_fixture->child<QPushButton>(name)->isEnabled(), name);
    QVERIFY(!m_fixture->child<QPushButton>("backBtn")->isEnabled());
}

// A span holding exactly 50 files: "Next" lights up, and its page is empty.
void TestPlayback::fullPageEnablesNextThenEmptyPage()
{
    if (!searchWithFiles())
        QSKIP(kNoCard);
    const TMV_NET_HANDLE handle = m_fixture->window()->Handle();
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime start = now.addDays(-7);
    std::vector<TMV_NET_FILE_INFO> files;
    // The earliest end whose span spills onto a second page: a second less
    // holds exactly one page.
    qint64 low = 0, high = start.secsTo(now);
    QCOMPARE(FilesOnPage(handle, Query(start, now, 1), &files), 0);
    if (files.empty())
        QSKIP("fewer than 51 files in the last week");
    while (low + 1 < high) {
        const qint64 mid = (low + high) / 2;
        FilesOnPage(handle, Query(start, start.addSecs(mid), 1), &files);
        (files.empty() ? low : high) = mid;
    }
    const QDateTime end = start.addSecs(low);
    FilesOnPage(handle, Query(start, end, 0), &files);
    if (files.size() != 50)
        QSKIP("several files share the second at the page boundary");

    m_fixture->child<QDateTimeEdit>("startDateTimeEdit")->setDateTime(start);
    m_fixture->child<QDateTimeEdit>("endDateTimeEdit")->setDateTime(end);
    SimFixture::clearJournal();
    QCOMPARE(search(), 50);
    QVERIFY(m_fixture->child<QPushButton>("nextBtn")->isEnabled());
    QVERIFY(!m_fixture->child<QPushButton>("backBtn")->isEnabled());

    m_fixture->click("nextBtn");
    QCOMPARE(SimFixture::lastRecord<TMV_NET_FILE_QUERY>("TMV_NET_QueryFileSize").pageNo, 1);
    QCOMPARE(table()->rowCount(), 0);
    QCOMPARE(m_fixture->boxes().count(), 1);
    QCOMPARE(m_fixture->boxes().last().text, QString("No SD file!"));
    QVERIFY(!m_fixture->child<QPushButton>("nextBtn")->isEnabled());
    QVERIFY(!m_fixture->child<QPushButton>("backBtn")->isEnabled());
}

void TestPlayback::selectAllToggles()
{
    if (!searchWithFiles())
        QSKIP(kNoCard);
    QPushButton *button = m_fixture->child<QPushButton>("selectAllBtn");
    m_fixture->click("selectAllBtn");
    QCOMPARE(button->text(), QString("Deselect All"));
    QCOMPARE(table()->selectedItems().size(), table()->rowCount() * 2);
    m_fixture->click("selectAllBtn");
    QCOMPARE(button->text(), QString("Select All"));
    QVERIFY(table()->selectedItems().isEmpty());

    // Only a new search puts the text back.
    m_fixture->click("selectAllBtn");
    search();
    QCOMPARE(button->text(), QString("Select All"));
}

// A device claiming more files than the array holds is read no further.
void TestPlayback::overReportedCountStaysInTheArray()
{
    if (!searchWithFiles())
        QSKIP(kNoCard);
    const int rows = table()->rowCount();
    TMVSim_OverReportCount("TMV_NET_QueryFile", 1000);
    QCOMPARE(search(), rows);
    QCOMPARE(m_fixture->boxes().count(), 0);
}

void TestPlayback::cancelledDialogStartsNothing()
{
    openPlayback();
    search();
    if (table()->rowCount() > 0)
        m_fixture->click("selectAllBtn");
    m_fixture->boxes().clear();
    QSignalSpy sent(m_fixture->window(), SIGNAL(SendDownload(QMap<int, TMV_NET_FILE_DOWNLOAD_INFO>)));
    FileDialogAnswerer answer{QString()};

    QMetaObject::invokeMethod(m_fixture->window(), "OnDownloadButtonClicked");

    QVERIFY(answer.answered());
    QCOMPARE(answer.caption(), QString("Choose directory"));
    QCOMPARE(SimFixture::countOf("TMV_NET_StartDownloadFile"), 0);
    QCOMPARE(sent.count(), 0);
    QCOMPARE(m_fixture->boxes().count(), 0);
}

// With a directory but no selection the window still tells the download
// list (it then holds what it held).
void TestPlayback::noSelectionStillSends()
{
    QTemporaryDir dir;
    openPlayback();
    QSignalSpy sent(m_fixture->window(), SIGNAL(SendDownload(QMap<int, TMV_NET_FILE_DOWNLOAD_INFO>)));
    FileDialogAnswerer answer(dir.path());

    QMetaObject::invokeMethod(m_fixture->window(), "OnDownloadButtonClicked");

    QVERIFY(answer.answered());
    QCOMPARE(SimFixture::countOf("TMV_NET_StartDownloadFile"), 0);
    QCOMPARE(sent.count(), 1);
    QVERIFY(sent.at(0).at(0).value<Downloads>().isEmpty());
}

void TestPlayback::selectedRowsDownloadOnceAscending_data()
{
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QList<int>>("started");
    QTest::newRow("both cells of one row") << QList<int>{0} << QList<int>{0};
    QTest::newRow("rows picked out of order") << QList<int>{2, 0} << QList<int>{0, 2};
}

void TestPlayback::selectedRowsDownloadOnceAscending()
{
    QFETCH(QList<int>, selected);
    QFETCH(QList<int>, started);
    if (!searchWithFiles())
        QSKIP(kNoCard);
    if (table()->rowCount() < 3)
        QSKIP("fewer than three files in the span");
    const auto query = SimFixture::lastRecord<TMV_NET_FILE_QUERY>("TMV_NET_QueryFileSize");
    std::vector<TMV_NET_FILE_INFO> files;
    QCOMPARE(FilesOnPage(m_fixture->window()->Handle(), query, &files), 0);
    QTemporaryDir dir;
    QSignalSpy sent(m_fixture->window(), SIGNAL(SendDownload(QMap<int, TMV_NET_FILE_DOWNLOAD_INFO>)));
    SimFixture::clearJournal();

    download(selected, dir.path());

    const QList<QByteArray> starts = SimFixture::argsOf("TMV_NET_StartDownloadFile");
    QCOMPARE(starts.size(), started.size());
    for (int i = 0; i < started.size(); ++i) {
        const TMV_NET_FILE_INFO &file = files[size_t(started.at(i))];
        TMV_NET_FILE_DOWNLOAD_INFO expected;
        std::memset(&expected, 0, sizeof expected);
        expected.fileInfo = file;
        qstrncpy(expected.localPath,
                 (dir.path().toLocal8Bit() + '/' + PlaybackText::LastPart(QByteArray(file.filePath))).constData(),
                 sizeof expected.localPath);
        QCOMPARE(starts.at(i), SimFixture::bytesOf(expected));
    }
    QCOMPARE(sent.count(), 1);
    QCOMPARE(sent.at(0).at(0).value<Downloads>().size(), started.size());
    QCOMPARE(m_fixture->boxes().count(), 0);
    m_fixture->click("loginBtn");
}

void TestPlayback::sameFileTwiceGivesTwoDownloads()
{
    if (!searchWithFiles())
        QSKIP(kNoCard);
    QTemporaryDir first, second;
    QSignalSpy sent(m_fixture->window(), SIGNAL(SendDownload(QMap<int, TMV_NET_FILE_DOWNLOAD_INFO>)));
    download({0}, first.path());
    download({0}, second.path());

    QCOMPARE(SimFixture::countOf("TMV_NET_StartDownloadFile"), 2);
    QCOMPARE(sent.count(), 2);
    const Downloads downloads = sent.last().at(0).value<Downloads>();
    QCOMPARE(downloads.size(), 2);
    QVERIFY(downloads.firstKey() != downloads.lastKey());
    m_fixture->click("loginBtn");
}

// A start the device refuses is reported as the status it negated; the
// next row still starts.
void TestPlayback::failedStartIsReportedAndOthersGoOn()
{
    if (!searchWithFiles())
        QSKIP(kNoCard);
    if (table()->rowCount() < 2)
        QSKIP("fewer than two files in the span");
    QTemporaryDir dir;
    QSignalSpy sent(m_fixture->window(), SIGNAL(SendDownload(QMap<int, TMV_NET_FILE_DOWNLOAD_INFO>)));
    SimFixture::fail("TMV_NET_StartDownloadFile", 1);
    download({0, 1}, dir.path());

    QCOMPARE(SimFixture::countOf("TMV_NET_StartDownloadFile"), 2);
    QCOMPARE(m_fixture->boxes().count(), 1);
    QCOMPARE(m_fixture->boxes().last().text, QString("StartDownloadFile Failed!"));
    QCOMPARE(sent.last().at(0).value<Downloads>().size(), 1);
    m_fixture->click("loginBtn");
}

// A directory so deep that no target fits the record: every file is refused,
// by name, and the device is asked for none.
void TestPlayback::overlongTargetIsRefused()
{
    if (!searchWithFiles())
        QSKIP(kNoCard);
    QTemporaryDir base;
    QString deep = base.path();
    while (deep.toLocal8Bit().size() < 250)
        deep += '/' + QString(60, 'd');
    QVERIFY(QDir().mkpath(deep));
    const QString first = table()->item(0, 1)->text();
    QSignalSpy sent(m_fixture->window(), SIGNAL(SendDownload(QMap<int, TMV_NET_FILE_DOWNLOAD_INFO>)));

    download({0, 1}, deep);

    QCOMPARE(SimFixture::countOf("TMV_NET_StartDownloadFile"), 0);
    QCOMPARE(m_fixture->boxes().count(), 1);
    QCOMPARE(m_fixture->boxes().last().title, QString("Error"));
    QVERIFY2(m_fixture->boxes().last().text.contains(first), qPrintable(m_fixture->boxes().last().text));
    QVERIFY(m_fixture->boxes().last().text.contains("longer than 255 bytes"));
    QCOMPARE(sent.count(), 1);
    QVERIFY(sent.at(0).at(0).value<Downloads>().isEmpty());
}

void TestPlayback::logoutStopsEveryDownloadFirst_data()
{
    QTest::addColumn<bool>("stopFails");
    QTest::newRow("every stop succeeds") << false;
    QTest::newRow("the first stop fails") << true;
}

// Every download of the login is stopped, in id order, before the logout; a
// failed stop keeps the login and stops nothing after it.
void TestPlayback::logoutStopsEveryDownloadFirst()
{
    QFETCH(bool, stopFails);
    if (!searchWithFiles())
        QSKIP(kNoCard);
    QTemporaryDir dir;
    QSignalSpy sent(m_fixture->window(), SIGNAL(SendDownload(QMap<int, TMV_NET_FILE_DOWNLOAD_INFO>)));
    for (const char *sub : {"a", "b", "c"}) {
        QVERIFY(QDir(dir.path()).mkdir(QString::fromLatin1(sub)));
        download({0}, dir.filePath(QString::fromLatin1(sub)));
    }
    const QList<int> ids = sent.last().at(0).value<Downloads>().keys();
    QCOMPARE(ids.size(), 3);
    SimFixture::clearJournal();
    if (stopFails)
        SimFixture::fail("TMV_NET_StopDownloadFile", 1);

    m_fixture->click("loginBtn");

    const QStringList order = SimFixture::callsAmong({"TMV_NET_StopDownloadFile", "TMV_NET_Logout"});
    QList<int> stopped;
    for (const QByteArray &args : SimFixture::argsOf("TMV_NET_StopDownloadFile")) {
        int32_t id = -1;
        std::memcpy(&id, args.constData(), sizeof id);
        stopped << id;
    }
    if (stopFails) {
        QCOMPARE(order, QStringList({"TMV_NET_StopDownloadFile"}));
        QCOMPARE(stopped, ids.mid(0, 1));
        QVERIFY(m_fixture->loggedIn());
        QCOMPARE(m_fixture->boxes().last().text, QString("StopDownloadFile Failed!"));
        m_fixture->click("loginBtn");
    } else {
        QCOMPARE(order, QStringList({"TMV_NET_StopDownloadFile", "TMV_NET_StopDownloadFile",
                                     "TMV_NET_StopDownloadFile", "TMV_NET_Logout"}));
        QCOMPARE(stopped, ids);
    }
    QVERIFY(!m_fixture->loggedIn());
    QCOMPARE(table()->rowCount(), 0);
}

QTEST_MAIN(TestPlayback)
#include "tst_playback.moc"
