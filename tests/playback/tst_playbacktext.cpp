#include <QtTest>

#include <QTextCodec>

#include <cstring>

#include <limits>

#include "playback/PlaybackText.h"
#include "TMVNetSDK.h"

using PlaybackText::TargetFault;

Q_DECLARE_METATYPE(PlaybackText::TargetFault)

class TestPlaybackText : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void queryTime();
    void lastPart_data();
    void lastPart();
    void fieldTextStaysInsideTheField();
    void clampCount_data();
    void clampCount();
    void progress_data();
    void progress();
    void target_data();
    void target();
    void refusalNamesTheFile_data();
    void refusalNamesTheFile();
};

void TestPlaybackText::initTestCase()
{
    // Byte lengths below assume the usual UTF-8 locale, whatever the runner's.
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
}

void TestPlaybackText::queryTime()
{
    const QDateTime time(QDate(2024, 3, 7), QTime(9, 5, 0));
    QCOMPARE(PlaybackText::QueryTime(time), QByteArray("2024-03-07+09:05:00"));
    // Fits the query's fields with room to spare.
    QVERIFY(size_t(PlaybackText::QueryTime(time).size()) < sizeof(TMV_NET_FILE_QUERY::startTime));
}

void TestPlaybackText::lastPart_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("shown");

    QTest::newRow("device path") << "/mnt/sd/ch1/20240307/090500.mp4" << "090500.mp4";
    QTest::newRow("no slash: whole") << "090500.mp4" << "090500.mp4";
    QTest::newRow("trailing slash: empty") << "/mnt/sd/" << "";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("backslash is not a separator") << "a\\b.jpg" << "a\\b.jpg";
    QTest::newRow("non-ASCII name") << QString::fromUtf8("/sd/Halle_\xc3\xa4.jpg") << QString::fromUtf8("Halle_\xc3\xa4.jpg");
}

void TestPlaybackText::lastPart()
{
    QFETCH(QString, path);
    QFETCH(QString, shown);
    QCOMPARE(PlaybackText::LastPart(path), shown);
    QCOMPARE(PlaybackText::LastPart(path.toUtf8()), shown.toUtf8());
}

// A device that leaves no NUL in the path must not make the client read on
// into the next field.
void TestPlaybackText::fieldTextStaysInsideTheField()
{
    TMV_NET_FILE_DOWNLOAD_INFO info;
    std::memset(&info, 0, sizeof info);
    std::memset(info.fileInfo.filePath, 'a', sizeof info.fileInfo.filePath);
    std::strcpy(info.localPath, "beyond");
    const QByteArray text = PlaybackText::FieldText(info.fileInfo.filePath, sizeof info.fileInfo.filePath);
    QCOMPARE(text, QByteArray(256, 'a'));
    QCOMPARE(PlaybackText::FieldText("ab\0cd", 5), QByteArray("ab"));
}

void TestPlaybackText::clampCount_data()
{
    QTest::addColumn<int>("returned");
    QTest::addColumn<int>("capacity");
    QTest::addColumn<int>("used");

    QTest::newRow("fewer") << 3 << 50 << 3;
    QTest::newRow("exact") << 50 << 50 << 50;
    QTest::newRow("over-reported") << 60 << 50 << 50;
    QTest::newRow("negative") << -1 << 50 << 0;
    QTest::newRow("no array") << 5 << 0 << 0;
}

void TestPlaybackText::clampCount()
{
    QFETCH(int, returned);
    QFETCH(int, capacity);
    QFETCH(int, used);
    QCOMPARE(PlaybackText::ClampCount(returned, capacity), used);
}

void TestPlaybackText::progress_data()
{
    QTest::addColumn<qint64>("total");
    QTest::addColumn<qint64>("done");
    QTest::addColumn<QString>("text");

    QTest::newRow("512 of 2048") << qint64(2048) << qint64(512) << "25%";
    QTest::newRow("no total") << qint64(0) << qint64(0) << "0%";
    QTest::newRow("no total, bytes done") << qint64(0) << qint64(100) << "0%";
    QTest::newRow("truncated, not rounded") << qint64(3) << qint64(2) << "66%";
    QTest::newRow("just short of done") << qint64(1000) << qint64(999) << "99%";
    QTest::newRow("done") << qint64(2048) << qint64(2048) << "100%";
    QTest::newRow("past the total") << qint64(100) << qint64(250) << "100%";
    QTest::newRow("negative total") << qint64(-5) << qint64(1) << "0%";
    QTest::newRow("large file") << qint64(8) * 1024 * 1024 * 1024 << qint64(2) * 1024 * 1024 * 1024 << "25%";
    QTest::newRow("beyond int range") << qint64(1) << std::numeric_limits<qint64>::max() << "100%";
}

void TestPlaybackText::progress()
{
    QFETCH(qint64, total);
    QFETCH(qint64, done);
    QFETCH(QString, text);
    QCOMPARE(PlaybackText::ProgressText(PlaybackText::ProgressPercent(total, done)), text);
}

void TestPlaybackText::target_data()
{
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QByteArray>("devicePath");
    QTest::addColumn<TargetFault>("fault");
    QTest::addColumn<QByteArray>("path");

    const QString dir = "/home/op/clips";
    QTest::newRow("device path") << dir << QByteArray("/mnt/sd/ch1/090500.mp4") << TargetFault::None
                                 << QByteArray("/home/op/clips/090500.mp4");
    QTest::newRow("no slash") << dir << QByteArray("090500.jpg") << TargetFault::None
                              << QByteArray("/home/op/clips/090500.jpg");
    QTest::newRow("dots inside a name") << dir << QByteArray("/sd/a..b.mp4") << TargetFault::None
                                        << QByteArray("/home/op/clips/a..b.mp4");
    QTest::newRow("non-ASCII name") << dir << QByteArray("/sd/\xc3\xa4.jpg") << TargetFault::None
                                    << QByteArray("/home/op/clips/\xc3\xa4.jpg");

    QTest::newRow("../x") << dir << QByteArray("../x") << TargetFault::UnsafeName << QByteArray();
    QTest::newRow("climbs mid-path") << dir << QByteArray("/sd/../../etc/x") << TargetFault::UnsafeName
                                     << QByteArray();
    QTest::newRow("climbs with backslashes") << dir << QByteArray("..\\..\\x") << TargetFault::UnsafeName
                                             << QByteArray();
    QTest::newRow("name is ..") << dir << QByteArray("/sd/..") << TargetFault::UnsafeName << QByteArray();
    QTest::newRow("name is .") << dir << QByteArray("/sd/.") << TargetFault::UnsafeName << QByteArray();
    QTest::newRow("empty path") << dir << QByteArray() << TargetFault::UnsafeName << QByteArray();
    QTest::newRow("trailing slash: no name") << dir << QByteArray("/sd/ch1/") << TargetFault::UnsafeName
                                             << QByteArray();
    QTest::newRow("backslash in the name") << dir << QByteArray("/sd/a\\b.mp4") << TargetFault::UnsafeName
                                           << QByteArray();
    QTest::newRow("newline") << dir << QByteArray("/sd/a\nb.mp4") << TargetFault::UnsafeName << QByteArray();
    QTest::newRow("escape") << dir << QByteArray("/sd/\x1b[2Jx.mp4") << TargetFault::UnsafeName << QByteArray();
    QTest::newRow("delete") << dir << QByteArray("/sd/a\x7f.mp4") << TargetFault::UnsafeName << QByteArray();

    // 255 bytes and the NUL fill the 256-byte field exactly.
    const QString longDir = "/" + QString(248, 'd');
    QTest::newRow("255 bytes fit") << longDir << QByteArray("/sd/x.mp4") << TargetFault::None
                                   << (longDir.toLatin1() + "/x.mp4");
    QTest::newRow("256 bytes refused") << longDir << QByteArray("/sd/xy.mp4") << TargetFault::TooLong << QByteArray();
    QTest::newRow("multibyte directory counts in bytes")
        << "/" + QString(124, QChar(0xe4)) << QByteArray("/sd/ab.mp4") << TargetFault::TooLong << QByteArray();
}

void TestPlaybackText::target()
{
    QFETCH(QString, directory);
    QFETCH(QByteArray, devicePath);
    QFETCH(TargetFault, fault);
    QFETCH(QByteArray, path);

    const PlaybackText::DownloadTarget target =
        PlaybackText::TargetOf(directory, devicePath, sizeof(TMV_NET_FILE_DOWNLOAD_INFO::localPath));
    QCOMPARE(int(target.fault), int(fault));
    QCOMPARE(target.path, path);
    QVERIFY(target.path.size() < 256);
}

void TestPlaybackText::refusalNamesTheFile_data()
{
    QTest::addColumn<TargetFault>("fault");
    QTest::addColumn<QByteArray>("devicePath");
    QTest::addColumn<QString>("text");

    QTest::newRow("unsafe name") << TargetFault::UnsafeName << QByteArray("../x")
                                 << "../x was not downloaded: its name is not a plain file name inside the "
                                    "chosen directory.";
    QTest::newRow("too long") << TargetFault::TooLong << QByteArray("/sd/090500.mp4")
                              << "/sd/090500.mp4 was not downloaded: its target path is longer than 255 bytes.";
    QTest::newRow("control character shown harmless")
        << TargetFault::UnsafeName << QByteArray("a\nb")
        << QString::fromUtf8("a\xef\xbf\xbd" "b was not downloaded: its name is not a plain file name inside "
                             "the chosen directory.");
}

void TestPlaybackText::refusalNamesTheFile()
{
    QFETCH(TargetFault, fault);
    QFETCH(QByteArray, devicePath);
    QFETCH(QString, text);
    QCOMPARE(PlaybackText::RefusalText(fault, devicePath), text);
}

QTEST_APPLESS_MAIN(TestPlaybackText)
#include "tst_playbacktext.moc"
