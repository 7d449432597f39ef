// Live video of the simulated devices: pacing on the simulation clock, frame
// layout per device, the stop guarantees, snapshots and recordings.

#include "SimFixture.h"

#include <QImage>
#include <QImageReader>
#include <QtTest>
#include <atomic>
#include <cstring>
#include <mutex>

namespace {

// What a client keeps of the frames it receives.
struct Sink {
    std::mutex mutex;
    int frames = 0;
    int width = 0, height = 0, showWidth = -1;
    QByteArray last;  // pixels of the newest frame
    bool stopFromCallback = false;
    int stopStatus = -1;
    TMV_NET_HANDLE handle = nullptr;

    int count()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return frames;
    }
    QByteArray pixels()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return last;
    }
};

void onFrame(TMV_NET_HANDLE, int32_t, TMV_NET_PREVIEW_FRAME *frame, void *user)
{
    auto *sink = static_cast<Sink *>(user);
    bool stop;
    {
        std::lock_guard<std::mutex> lock(sink->mutex);
        ++sink->frames;
        sink->width = frame->width;
        sink->height = frame->height;
        sink->showWidth = frame->showWidth;
        sink->last = QByteArray(reinterpret_cast<const char *>(frame->data), frame->width * frame->height * 4);
        stop = sink->stopFromCallback;
    }
    if (stop) {
        int status = TMV_NET_StopPreview(sink->handle);
        std::lock_guard<std::mutex> lock(sink->mutex);
        sink->stopStatus = status;
        sink->stopFromCallback = false;
    }
}

}  // namespace

class TestPreview : public QObject {
    Q_OBJECT
    TMV_NET_HANDLE handle_ = nullptr;

private slots:
    void cleanupTestCase() { TMV_NET_Deinit(); }
    void init()
    {
        SimFixture::reset();
        TMVSim_ClockPause();
        handle_ = SimFixture::login("127.0.0.11");
        QVERIFY(handle_);
    }
    void cleanup()
    {
        TMV_NET_Logout(handle_);
        TMVSim_ClockResume();
    }

    void frameSizes_data()
    {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("ptz thermal") << "127.0.0.11" << 0 << 640 << 512;
        QTest::newRow("ptz visible") << "127.0.0.11" << 1 << 1920 << 1080;
        QTest::newRow("fixed thermal") << "127.0.0.12" << 0 << 640 << 512;
        QTest::newRow("panoramic strip") << "127.0.0.13" << 0 << 2880 << 480;
    }
    void frameSizes()
    {
        QFETCH(QString, ip);
        QFETCH(int, channel);
        QFETCH(int, width);
        QFETCH(int, height);
        TMV_NET_HANDLE handle = SimFixture::login(ip.toLatin1());
        QVERIFY(handle);
        Sink sink;
        TMV_NET_PREVIEW_INFO info{channel, 0, 2};
        QCOMPARE(TMV_NET_StartPreview_V2(handle, &info, onFrame, &sink), 0);
        TMVSim_ClockStep(0);
        QCOMPARE(sink.count(), 1);
        QCOMPARE(sink.width, width);
        QCOMPARE(sink.height, height);
        QCOMPARE(sink.showWidth, 0);
        QCOMPARE(TMV_NET_StopPreview(handle), 0);
        TMV_NET_Logout(handle);
    }

    void pacedByTheClock()
    {
        Sink sink;
        TMV_NET_PREVIEW_INFO info{0, 0, 2};
        QCOMPARE(TMV_NET_StartPreview_V2(handle_, &info, onFrame, &sink), 0);
        TMVSim_ClockStep(0);
        QCOMPARE(sink.count(), 1);  // the first frame at once
        const QByteArray first = sink.pixels();
        TMVSim_ClockStep(1000);
        QCOMPARE(sink.count(), 26);  // 25 fps
        QVERIFY(sink.pixels() != first);  // the world moves
        QCOMPARE(TMVSim_SetFrameRate("127.0.0.11", 0, 50), 0);
        TMVSim_ClockStep(1000);
        QVERIFY(qAbs(sink.count() - 76) <= 1);
        QCOMPARE(TMV_NET_StopPreview(handle_), 0);
    }

    void invalidRequests_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<bool>("withCallback");
        QTest::addColumn<int>("status");
        QTest::newRow("no such channel") << 2 << true << 3;
        QTest::newRow("negative channel") << -1 << true << 3;
        QTest::newRow("no callback") << 0 << false << 3;
    }
    void invalidRequests()
    {
        QFETCH(int, channel);
        QFETCH(bool, withCallback);
        QFETCH(int, status);
        TMV_NET_PREVIEW_INFO info{channel, 0, 2};
        QCOMPARE(TMV_NET_StartPreview_V2(handle_, &info, withCallback ? onFrame : nullptr, nullptr), status);
        QCOMPARE(TMV_NET_StopPreview(handle_), 1);  // nothing was started
    }

    void secondStartIsRefused()
    {
        Sink sink;
        TMV_NET_PREVIEW_INFO info{0, 0, 2};
        QCOMPARE(TMV_NET_StartPreview_V2(handle_, &info, onFrame, &sink), 0);
        QCOMPARE(TMV_NET_StartPreview_V2(handle_, &info, onFrame, &sink), 1);
        QCOMPARE(TMV_NET_StopPreview(handle_), 0);
        QCOMPARE(TMV_NET_StopPreview(handle_), 1);
    }

    void noFrameAfterStop()
    {
        Sink sink;
        TMV_NET_PREVIEW_INFO info{0, 0, 2};
        QCOMPARE(TMV_NET_StartPreview_V2(handle_, &info, onFrame, &sink), 0);
        TMVSim_ClockStep(0);
        TMVSim_ClockStep(80);
        QVERIFY(sink.count() >= 3);
        QCOMPARE(TMV_NET_StopPreview(handle_), 0);
        const int frames = sink.count();
        TMVSim_ClockStep(1000);
        QCOMPARE(sink.count(), frames);
    }

    void stopFromOwnCallbackDoesNotDeadlock()
    {
        Sink sink;
        sink.handle = handle_;
        sink.stopFromCallback = true;
        TMV_NET_PREVIEW_INFO info{0, 0, 2};
        QCOMPARE(TMV_NET_StartPreview_V2(handle_, &info, onFrame, &sink), 0);
        TMVSim_ClockStep(0);
        TMVSim_ClockStep(400);
        QCOMPARE(sink.stopStatus, 1);
        QCOMPARE(sink.count(), 1);  // the stream ended after that callback
        QCOMPARE(TMV_NET_StartPreview_V2(handle_, &info, onFrame, &sink), 0);  // and can start again
        TMVSim_ClockStep(40);
        QVERIFY(sink.count() >= 2);
        QCOMPARE(TMV_NET_StopPreview(handle_), 0);
    }

    void logoutEndsTheStream()
    {
        Sink sink;
        TMV_NET_PREVIEW_INFO info{1, 0, 2};
        QCOMPARE(TMV_NET_StartPreview_V2(handle_, &info, onFrame, &sink), 0);
        TMVSim_ClockStep(80);
        QCOMPARE(TMV_NET_Logout(handle_), 0);
        const int frames = sink.count();
        TMVSim_ClockStep(400);
        QCOMPARE(sink.count(), frames);
        handle_ = SimFixture::login("127.0.0.11");
    }

    void snapshotIsAJpegOfTheLivePicture_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<QSize>("size");
        QTest::newRow("thermal") << 0 << QSize(640, 512);
        QTest::newRow("visible") << 1 << QSize(1920, 1080);
    }
    void snapshotIsAJpegOfTheLivePicture()
    {
        QFETCH(int, channel);
        QFETCH(QSize, size);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("snap.jpg"));
        QCOMPARE(TMV_NET_PreviewSnapshot(handle_, path.toUtf8()), 1);  // no live picture yet
        Sink sink;
        TMV_NET_PREVIEW_INFO info{channel, 0, 2};
        QCOMPARE(TMV_NET_StartPreview_V2(handle_, &info, onFrame, &sink), 0);
        QCOMPARE(TMV_NET_PreviewSnapshot(handle_, path.toUtf8()), 0);
        QImageReader reader(path);
        QCOMPARE(reader.format(), QByteArray("jpeg"));
        QCOMPARE(reader.read().size(), size);
        QCOMPARE(TMV_NET_StopPreview(handle_), 0);
    }

    void radiometricPictures()
    {
        QTemporaryDir dir;
        const QByteArray irg = dir.filePath(QStringLiteral("pair.irg")).toUtf8();
        const QByteArray jpg = dir.filePath(QStringLiteral("pair.jpg")).toUtf8();
        const QByteArray dlt = dir.filePath(QStringLiteral("dlt.jpg")).toUtf8();
        // No live preview is needed: the device takes its thermal channel.
        QCOMPARE(TMV_NET_GetIRGImage(handle_, irg, jpg), 0);
        QCOMPARE(TMV_NET_GetDLT664Image(handle_, dlt), 0);
        QFile irgFile(QString::fromUtf8(irg));
        QVERIFY(irgFile.open(QIODevice::ReadOnly));
        QCOMPARE(irgFile.read(4), QByteArray("IRG1"));
        QVERIFY(irgFile.size() > 640 * 512 * 2);
        QCOMPARE(QImage(QString::fromUtf8(jpg)).size(), QSize(640, 512));
        QCOMPARE(QImage(QString::fromUtf8(dlt)).size(), QSize(640, 512));
        QCOMPARE(TMV_NET_GetIRGImage(handle_, irg, nullptr), 3);
        QCOMPARE(TMV_NET_GetDLT664Image(handle_, "/nonexistent-dir/x.jpg"), 1);
    }

    void recordingIsAPlayableFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("format");
        QTest::newRow("mp4") << "rec.mp4" << "mov,mp4,m4a,3gp,3g2,mj2";
        QTest::newRow("native stream") << "rec.pav" << "mpegts";
    }
    void recordingIsAPlayableFile()
    {
        SIM_REQUIRE_RECORDINGS();
        QFETCH(QString, name);
        QFETCH(QString, format);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        Sink sink;
        TMV_NET_PREVIEW_INFO info{0, 0, 2};
        QCOMPARE(TMV_NET_StartPreview_V2(handle_, &info, onFrame, &sink), 0);
        TMVSim_ClockStep(0);
        QCOMPARE(TMV_NET_StartPreviewRecord(handle_, path.toLocal8Bit()), 0);
        QCOMPARE(TMV_NET_StartPreviewRecord(handle_, path.toLocal8Bit()), 1);  // already recording
        for (int i = 0; i < 30; ++i)
            TMVSim_ClockStep(100);  // three seconds of simulated time
        QCOMPARE(TMV_NET_StopPreviewRecord(handle_), 0);
        QCOMPARE(TMV_NET_StopPreview(handle_), 0);

        QProcess probe;
        probe.start(QStringLiteral("ffprobe"),
                    {"-v", "error", "-show_entries", "stream=width,height:format=duration,format_name", "-of",
                     "default=nw=1", path});
        QVERIFY(probe.waitForFinished(20000));
        const QString out = QString::fromLatin1(probe.readAllStandardOutput());
        QVERIFY2(out.contains(QLatin1String("width=640")) && out.contains(QLatin1String("height=512")), qPrintable(out));
        QVERIFY2(out.contains(QLatin1String("format_name=") + format), qPrintable(out));
        const QRegularExpression durationLine(QStringLiteral("duration=([0-9.]+)"));
        const double seconds = durationLine.match(out).captured(1).toDouble();
        QVERIFY2(seconds > 2.7 && seconds < 3.3, qPrintable(out));
    }

    void stoppingThePreviewFinishesTheRecording()
    {
        SIM_REQUIRE_RECORDINGS();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("cut.mp4"));
        Sink sink;
        TMV_NET_PREVIEW_INFO info{0, 0, 2};
        QCOMPARE(TMV_NET_StartPreview_V2(handle_, &info, onFrame, &sink), 0);
        QCOMPARE(TMV_NET_StartPreviewRecord(handle_, path.toLocal8Bit()), 0);
        TMVSim_ClockStep(1000);
        QCOMPARE(TMV_NET_StopPreview(handle_), 0);
        QCOMPARE(TMV_NET_StopPreviewRecord(handle_), 1);  // nothing left to stop
        QProcess probe;
        probe.start(QStringLiteral("ffprobe"), {"-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0", path});
        QVERIFY(probe.waitForFinished(20000));
        QVERIFY(probe.readAllStandardOutput().toDouble() > 0.8);
    }

    // A recording whose writes fail (the file is a full device) reports the
    // failure at its stop and is over: the next stop confirms it with 0, so
    // a client that keeps "Stop" after a failure can still end it.
    void aFailedStopEndsTheRecording()
    {
        SIM_REQUIRE_RECORDINGS();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("full.pav"));
        QVERIFY(QFile::link(QStringLiteral("/dev/full"), path));
        Sink sink;
        TMV_NET_PREVIEW_INFO info{0, 0, 2};
        QCOMPARE(TMV_NET_StartPreview_V2(handle_, &info, onFrame, &sink), 0);
        QCOMPARE(TMV_NET_StartPreviewRecord(handle_, path.toLocal8Bit()), 0);
        TMVSim_ClockStep(1000);
        QCOMPARE(TMV_NET_StopPreviewRecord(handle_), 1);
        QCOMPARE(TMV_NET_StopPreviewRecord(handle_), 0);  // it is over
        QCOMPARE(TMV_NET_StopPreviewRecord(handle_), 1);  // and nothing records
        QVERIFY(QFileInfo(QStringLiteral("/dev/full")).exists());
        QCOMPARE(TMV_NET_StopPreview(handle_), 0);
    }

    void recordingNeedsAnOpenPreview()
    {
        SIM_REQUIRE_RECORDINGS();
        const QString path = QDir::temp().filePath("tst_preview_norecord.mp4");
        QCOMPARE(TMV_NET_StartPreviewRecord(handle_, path.toLocal8Bit()), 1);
        QCOMPARE(TMV_NET_StopPreviewRecord(handle_), 1);
        QCOMPARE(TMV_NET_PreviewSnapshot(handle_, nullptr), 3);
        QCOMPARE(TMV_NET_PreviewSnapshot(handle_, ""), 3);
    }
};

QTEST_GUILESS_MAIN(TestPreview)
#include "tst_preview.moc"
