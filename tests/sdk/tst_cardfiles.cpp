// The SD card through the library: searching the history by channel, type,
// span and page, and downloads with their bytes, progress, stop and logout.

#include "SimFixture.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

namespace {

const char *const kTimeFormat = "yyyy-MM-dd+HH:mm:ss";

TMV_NET_FILE_QUERY makeQuery(int channel, int type, const QDateTime &from, const QDateTime &to, int page = 0)
{
    TMV_NET_FILE_QUERY q;
    std::memset(&q, 0, sizeof q);
    q.channel = channel;
    q.fileType = type;
    qstrncpy(q.startTime, from.toString(kTimeFormat).toLatin1().constData(), sizeof q.startTime);
    qstrncpy(q.endTime, to.toString(kTimeFormat).toLatin1().constData(), sizeof q.endTime);
    q.pageSize = 50;
    q.pageNo = page;
    return q;
}

// One page as the client reads it: the size, then the list.
QVector<TMV_NET_FILE_INFO> page(TMV_NET_HANDLE h, const TMV_NET_FILE_QUERY &q)
{
    int32_t count = -1;
    if (TMV_NET_QueryFileSize(h, &q, &count) != 0 || count <= 0)
        return {};
    QVector<TMV_NET_FILE_INFO> files(count);
    int32_t returned = 0;
    if (TMV_NET_QueryFile(h, &q, files.data(), count, &returned) != 0)
        return {};
    files.resize(qMin(returned, count));
    return files;
}

QDateTime parsed(const char *text)
{
    return QDateTime::fromString(QString::fromLatin1(text), kTimeFormat);
}

QString cardFolder(const char *ip = SimFixture::kPtzCamera)
{
    char folder[1024] = {};
    return TMVSim_SdCardFolder(ip, folder, sizeof folder) == 0 ? QFile::decodeName(folder) : QString();
}

QString hostPathOf(const TMV_NET_FILE_INFO &file)
{
    const QString path = QString::fromLocal8Bit(file.filePath);
    return cardFolder() + "/" + path.mid(path.lastIndexOf('/') + 1);
}

QByteArray sha256(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

TMV_NET_FILE_DOWNLOAD_INFO downloadInfo(const TMV_NET_FILE_INFO &file, const QString &target)
{
    TMV_NET_FILE_DOWNLOAD_INFO info;
    std::memset(&info, 0, sizeof info);
    info.fileInfo = file;
    qstrncpy(info.localPath, QFile::encodeName(target).constData(), sizeof info.localPath);
    return info;
}

TMV_NET_DOWNLOAD_PROGRESS progressOf(TMV_NET_HANDLE h, int id, int32_t *status = nullptr)
{
    TMV_NET_DOWNLOAD_PROGRESS p{-1, -1};
    const int32_t s = TMV_NET_GetDownloadProgress(h, id, &p);
    if (status)
        *status = s;
    return p;
}

}  // namespace

class TestPlayback : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        SimFixture::reset();
        handle_ = SimFixture::login();
        QVERIFY(handle_);
        QVERIFY(dir_.isValid());
        now_ = QDateTime::currentDateTime();
    }
    void cleanup()
    {
        SimFixture::resumeClock();
        TMV_NET_Logout(handle_);
        QDir(dir_.path()).removeRecursively();
        QDir().mkpath(dir_.path());
    }
    void cleanupTestCase() { TMV_NET_Deinit(); }

    void lastDayOnEveryChannel_data();
    void lastDayOnEveryChannel();
    void spanEndsAreInclusive();
    void pagesOfFifty();
    void listNeverPastCapacity();
    void refusedQueries_data();
    void refusedQueries();

    void downloadIsByteIdenticalAndPlayable();
    void progressGrowsToTotal();
    void downloadsShareTheLink();
    void stopLeavesNoCompleteFile();
    void sameFileTwiceGivesTwoIds();
    void refusedDownloads_data();
    void refusedDownloads();
    void logoutStopsDownloads();

private:
    QVector<TMV_NET_FILE_INFO> lastDay(int channel, int type, int pageNo = 0)
    {
        return page(handle_, makeQuery(channel, type, now_.addDays(-1), now_, pageNo));
    }

    TMV_NET_HANDLE handle_ = nullptr;
    QTemporaryDir dir_;
    QDateTime now_;
};

void TestPlayback::lastDayOnEveryChannel_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("thermal video") << 0 << 1 << ".mp4";
    QTest::newRow("thermal pictures") << 0 << 0 << ".jpg";
    QTest::newRow("visible video") << 1 << 1 << ".mp4";
    QTest::newRow("visible pictures") << 1 << 0 << ".jpg";
}

// The default search of the last day finds a full page of the asked
// channel and type, in time order, each record naming a real card file.
void TestPlayback::lastDayOnEveryChannel()
{
    QFETCH(int, channel);
    QFETCH(int, type);
    QFETCH(QString, suffix);
    const auto files = lastDay(channel, type);
    QCOMPARE(files.size(), 50);
    QDateTime previous;
    for (const TMV_NET_FILE_INFO &f : files) {
        QCOMPARE(f.channel, channel);
        QCOMPARE(f.fileType, type);
        const QString path = QString::fromLocal8Bit(f.filePath);
        QVERIFY2(path.startsWith("/") && path.endsWith(suffix), qPrintable(path));
        const QDateTime start = parsed(f.startTime);
        QVERIFY(start.isValid() && parsed(f.endTime) >= start);
        QVERIFY(start >= now_.addDays(-1).addSecs(-60) && start <= now_);
        QVERIFY(!previous.isValid() || start >= previous);
        previous = start;
        QVERIFY(QFileInfo(hostPathOf(f)).isFile());
        QCOMPARE(QFileInfo(hostPathOf(f)).size(), qint64(f.fileSize));
    }
}

// A span that only touches a recording at its first or last second still
// finds it; one second past either end does not.
void TestPlayback::spanEndsAreInclusive()
{
    const auto files = lastDay(0, 1);
    QVERIFY(!files.isEmpty());
    const TMV_NET_FILE_INFO f = files.at(files.size() / 2);
    const QDateTime start = parsed(f.startTime), end = parsed(f.endTime);
    QVERIFY(end > start);
    auto finds = [&](const QDateTime &from, const QDateTime &to) {
        for (const auto &g : page(handle_, makeQuery(0, 1, from, to)))
            if (qstrcmp(g.filePath, f.filePath) == 0)
                return true;
        return false;
    };
    QVERIFY(finds(end, end));
    QVERIFY(finds(start, start));
    QVERIFY(finds(start.addSecs(-60), start));
    QVERIFY(!finds(end.addSecs(1), end.addSecs(60)));
    QVERIFY(!finds(start.addSecs(-60), start.addSecs(-1)));
}

// Pages of fifty walk the whole span without gaps or repeats, and the page
// after the last one is empty.
void TestPlayback::pagesOfFifty()
{
    const QDateTime from = now_.addDays(-2), to = now_;
    QStringList seen;
    int pageNo = 0;
    for (;; ++pageNo) {
        const auto files = page(handle_, makeQuery(1, 0, from, to, pageNo));
        for (const auto &f : files)
            seen << QString::fromLocal8Bit(f.filePath);
        if (files.size() < 50)
            break;
        QVERIFY(pageNo < 20);
    }
    QVERIFY2(seen.size() > 100, qPrintable(QString::number(seen.size())));
    QCOMPARE(seen.size() % 50 == 0, page(handle_, makeQuery(1, 0, from, to, pageNo)).isEmpty());
    QStringList sorted = seen;
    sorted.removeDuplicates();
    QCOMPARE(sorted.size(), seen.size());
    int32_t count = -1;
    const auto past = makeQuery(1, 0, from, to, pageNo + 1);
    QCOMPARE(TMV_NET_QueryFileSize(handle_, &past, &count), 0);
    QCOMPARE(count, 0);
}

// The list call writes at most its capacity, even when told to over-report.
void TestPlayback::listNeverPastCapacity()
{
    const auto q = makeQuery(0, 1, now_.addDays(-1), now_);
    for (int extra : {0, 7}) {
        TMVSim_OverReportCount("TMV_NET_QueryFile", extra);
        QVector<TMV_NET_FILE_INFO> files(12);
        std::memset(files.data(), 0xAB, size_t(files.size()) * sizeof(TMV_NET_FILE_INFO));
        int32_t count = -1;
        QCOMPARE(TMV_NET_QueryFile(handle_, &q, files.data(), 10, &count), 0);
        QCOMPARE(count, 10 + extra);
        QVERIFY(files[9].filePath[0] == '/');
        for (int i = 10; i < 12; ++i)
            QCOMPARE(uchar(files[i].channel & 0xFF), uchar(0xAB));
    }
    int32_t count = -1;
    TMVSim_ClearFaults();
    QCOMPARE(TMV_NET_QueryFile(handle_, &q, nullptr, 0, &count), 0);
    QCOMPARE(count, 0);
}

void TestPlayback::refusedQueries_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<int>("pageSize");
    QTest::addColumn<int>("pageNo");
    QTest::addColumn<bool>("noNul");
    const QByteArray good = "2024-05-01+10:00:00";
    QTest::newRow("channel 2") << 2 << 1 << good << 50 << 0 << false;
    QTest::newRow("channel -1") << -1 << 1 << good << 50 << 0 << false;
    QTest::newRow("type 2") << 0 << 2 << good << 50 << 0 << false;
    QTest::newRow("space for plus") << 0 << 1 << QByteArray("2024-05-01 10:00:00") << 50 << 0 << false;
    QTest::newRow("31 April") << 0 << 1 << QByteArray("2024-04-31+10:00:00") << 50 << 0 << false;
    QTest::newRow("trailing text") << 0 << 1 << QByteArray("2024-05-01+10:00:00x") << 50 << 0 << false;
    QTest::newRow("empty") << 0 << 1 << QByteArray() << 50 << 0 << false;
    QTest::newRow("page size 0") << 0 << 1 << good << 0 << 0 << false;
    QTest::newRow("page -1") << 0 << 1 << good << 50 << -1 << false;
    QTest::newRow("no NUL") << 0 << 1 << good << 50 << 0 << true;
}

void TestPlayback::refusedQueries()
{
    QFETCH(int, channel);
    QFETCH(int, type);
    QFETCH(QByteArray, start);
    QFETCH(int, pageSize);
    QFETCH(int, pageNo);
    QFETCH(bool, noNul);
    TMV_NET_FILE_QUERY q = makeQuery(channel, type, now_, now_, pageNo);
    std::memset(q.startTime, 0, sizeof q.startTime);
    qstrncpy(q.startTime, start.constData(), sizeof q.startTime);
    if (noNul)
        std::memset(q.endTime, '1', sizeof q.endTime);
    q.pageSize = pageSize;
    int32_t count = 77;
    TMV_NET_FILE_INFO files[2];
    QCOMPARE(TMV_NET_QueryFileSize(handle_, &q, &count), 3);
    QCOMPARE(TMV_NET_QueryFile(handle_, &q, files, 2, &count), 3);
    QCOMPARE(count, 77);
}

// The copy has the card file's bytes, and a player accepts it.
void TestPlayback::downloadIsByteIdenticalAndPlayable()
{
    SIM_REQUIRE_DOWNLOADS();
    TMVSim_SetLinkSpeed(SimFixture::kPtzCamera, 0);
    const auto files = lastDay(1, 1);
    QVERIFY(!files.isEmpty());
    const QString target = dir_.filePath("clip.mp4");
    const auto info = downloadInfo(files.first(), target);
    const int id = TMV_NET_StartDownloadFile(handle_, &info);
    QVERIFY2(id >= 0, qPrintable(QString::number(id)));
    QTRY_VERIFY(QFileInfo::exists(target));
    const auto p = progressOf(handle_, id);
    QCOMPARE(p.done, p.total);
    QCOMPARE(p.total, QFileInfo(target).size());
    QCOMPARE(sha256(target), sha256(hostPathOf(files.first())));
    QCOMPARE(QDir(dir_.path()).entryList(QDir::Files), QStringList{"clip.mp4"});

    QProcess probe;
    probe.start("ffprobe", {"-v", "error", "-show_entries", "format=format_name,duration", "-of",
                            "default=noprint_wrappers=1", target});
    QVERIFY(probe.waitForFinished(30000));
    const QString out = QString::fromLocal8Bit(probe.readAllStandardOutput());
    QCOMPARE(probe.exitCode(), 0);
    QVERIFY2(out.contains("mp4") && out.contains("duration="), qPrintable(out));
}

// On a stepped clock the done count only grows, no chunk jumps past the
// link's speed, and it ends at the total with the file in place.
void TestPlayback::progressGrowsToTotal()
{
    SIM_REQUIRE_DOWNLOADS();
    const auto files = lastDay(0, 1);
    QVERIFY(!files.isEmpty());
    const int64_t speed = 1 << 20;
    QCOMPARE(TMVSim_SetLinkSpeed(SimFixture::kPtzCamera, speed), 0);
    SimFixture::pauseClock();
    const QString target = dir_.filePath("a.mp4");
    const auto info = downloadInfo(files.first(), target);
    const int id = TMV_NET_StartDownloadFile(handle_, &info);
    QVERIFY(id >= 0);
    int64_t last = 0, total = 0;
    for (int step = 0; step < 2000; ++step) {
        SimFixture::stepClock(20);
        const auto p = progressOf(handle_, id);
        total = p.total;
        QVERIFY(p.done >= last);
        QVERIFY2(p.done <= (step + 1) * 20 * speed / 1000, qPrintable(QString::number(p.done)));
        last = p.done;
        if (p.done == p.total)
            break;
    }
    QVERIFY(total > 0);
    QCOMPARE(last, total);
    QTRY_VERIFY(QFileInfo::exists(target));
    QCOMPARE(QFileInfo(target).size(), total);
}

// Two downloads together move no more than the link carries.
void TestPlayback::downloadsShareTheLink()
{
    SIM_REQUIRE_DOWNLOADS();
    const auto files = lastDay(1, 0);
    QVERIFY(files.size() >= 2);
    const int64_t speed = 256 << 10;
    TMVSim_SetLinkSpeed(SimFixture::kPtzCamera, speed);
    SimFixture::pauseClock();
    const auto a = downloadInfo(files[0], dir_.filePath("a.jpg"));
    const auto b = downloadInfo(files[1], dir_.filePath("b.jpg"));
    const int ida = TMV_NET_StartDownloadFile(handle_, &a);
    const int idb = TMV_NET_StartDownloadFile(handle_, &b);
    QVERIFY(ida >= 0 && idb >= 0);
    for (int i = 0; i < 10; ++i)
        SimFixture::stepClock(20);
    const int64_t da = progressOf(handle_, ida).done, db = progressOf(handle_, idb).done;
    QVERIFY2(da > 0 && db > 0, "both move");
    QVERIFY2(da + db <= speed / 5, qPrintable(QStringLiteral("%1 + %2").arg(da).arg(db)));
}

// Stopped midway: when the stop returns nothing more is written and no
// file that looks complete is left.
void TestPlayback::stopLeavesNoCompleteFile()
{
    SIM_REQUIRE_DOWNLOADS();
    const auto files = lastDay(0, 1);
    QVERIFY(!files.isEmpty());
    TMVSim_SetLinkSpeed(SimFixture::kPtzCamera, 64 << 10);
    SimFixture::pauseClock();
    const QString target = dir_.filePath("half.mp4");
    const auto info = downloadInfo(files.first(), target);
    const int id = TMV_NET_StartDownloadFile(handle_, &info);
    QVERIFY(id >= 0);
    SimFixture::stepClock(500);
    const auto p = progressOf(handle_, id);
    QVERIFY2(p.done > 0 && p.done < p.total, qPrintable(QStringLiteral("%1 of %2").arg(p.done).arg(p.total)));
    QCOMPARE(TMV_NET_StopDownloadFile(handle_, id), 0);
    QCOMPARE(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    SimFixture::stepClock(5000);
    SimFixture::resumeClock();
    QTest::qWait(50);
    QCOMPARE(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    int32_t status = 0;
    progressOf(handle_, id, &status);
    QCOMPARE(status, 3);
    QCOMPARE(TMV_NET_StopDownloadFile(handle_, id), 0);
    QCOMPARE(TMV_NET_StopDownloadFile(handle_, -1), 3);
}

void TestPlayback::sameFileTwiceGivesTwoIds()
{
    SIM_REQUIRE_DOWNLOADS();
    TMVSim_SetLinkSpeed(SimFixture::kPtzCamera, 0);
    const auto files = lastDay(0, 0);
    QVERIFY(!files.isEmpty());
    const auto a = downloadInfo(files.first(), dir_.filePath("one.jpg"));
    const auto b = downloadInfo(files.first(), dir_.filePath("two.jpg"));
    const int ida = TMV_NET_StartDownloadFile(handle_, &a);
    const int idb = TMV_NET_StartDownloadFile(handle_, &b);
    QVERIFY(ida >= 0 && idb >= 0);
    QVERIFY(ida != idb);
    QTRY_VERIFY(QFileInfo::exists(dir_.filePath("one.jpg")) && QFileInfo::exists(dir_.filePath("two.jpg")));
    QCOMPARE(sha256(dir_.filePath("one.jpg")), sha256(dir_.filePath("two.jpg")));
    // Ids are not reused once stopped.
    QCOMPARE(TMV_NET_StopDownloadFile(handle_, ida), 0);
    const int idc = TMV_NET_StartDownloadFile(handle_, &a);
    QVERIFY(idc >= 0 && idc != ida && idc != idb);
}

void TestPlayback::refusedDownloads_data()
{
    QTest::addColumn<QString>("devicePath");
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("result");
    QTest::newRow("host file") << "/etc/passwd" << "x" << -3;
    QTest::newRow("climbs out of the card") << "/mnt/sdcard/../../etc/passwd" << "x" << -3;
    QTest::newRow("host path of a card file") << "@host" << "x" << -3;
    QTest::newRow("card name, no such file") << "/mnt/sdcard/ch0_video_20000101-000000_20000101-000003.mp4"
                                             << "x" << -3;
    QTest::newRow("empty target") << "@card" << "" << -3;
    QTest::newRow("target without NUL") << "@card" << "@nonul" << -3;
    QTest::newRow("target folder missing") << "@card" << "missing/x.mp4" << -1;
}

// Only files of the card are read, and only into a target the caller
// spelled out; nothing is left behind by a refusal.
void TestPlayback::refusedDownloads()
{
    SIM_REQUIRE_DOWNLOADS();
    QFETCH(QString, devicePath);
    QFETCH(QString, target);
    QFETCH(int, result);
    const auto files = lastDay(0, 1);
    QVERIFY(!files.isEmpty());
    TMV_NET_FILE_DOWNLOAD_INFO info = downloadInfo(files.first(), dir_.filePath(target));
    if (devicePath == "@host")
        devicePath = hostPathOf(files.first());
    if (devicePath != "@card") {
        std::memset(info.fileInfo.filePath, 0, sizeof info.fileInfo.filePath);
        qstrncpy(info.fileInfo.filePath, QFile::encodeName(devicePath).constData(), sizeof info.fileInfo.filePath);
    }
    if (target.isEmpty())
        std::memset(info.localPath, 0, sizeof info.localPath);
    if (target == "@nonul")
        std::memset(info.localPath, 'a', sizeof info.localPath);
    QCOMPARE(TMV_NET_StartDownloadFile(handle_, &info), result);
    QCOMPARE(QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
}

// Logging out ends every download of the login: nothing complete-looking
// appears, not even after the clock runs on.
void TestPlayback::logoutStopsDownloads()
{
    SIM_REQUIRE_DOWNLOADS();
    const auto files = lastDay(0, 1);
    QVERIFY(files.size() >= 3);
    TMVSim_SetLinkSpeed(SimFixture::kPtzCamera, 32 << 10);
    SimFixture::pauseClock();
    for (int i = 0; i < 3; ++i) {
        const auto info = downloadInfo(files[i], dir_.filePath(QString("f%1.mp4").arg(i)));
        QVERIFY(TMV_NET_StartDownloadFile(handle_, &info) >= 0);
    }
    SimFixture::stepClock(300);
    QVERIFY(progressOf(handle_, 0).done + progressOf(handle_, 1).done + progressOf(handle_, 2).done > 0);
    QCOMPARE(TMV_NET_Logout(handle_), 0);
    QCOMPARE(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    SimFixture::resumeClock();
    QTest::qWait(100);
    QCOMPARE(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    int32_t status = 0;
    progressOf(handle_, 0, &status);
    QCOMPARE(status, 1);
}

QTEST_GUILESS_MAIN(TestPlayback)
#include "tst_cardfiles.moc"
