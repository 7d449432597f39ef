// Faults on a device's wire, set through the control interface: a delay
// every call pays once and the frame rate does not; a bandwidth a download
// follows and a preview fits by dropping frames, not by lagging; a cut wire
// the library finds out within its link timeout, as a lost connection, and
// a restored one the service cleans up after and takes new logins on.
#include "DeviceService.h"
#include "TMVNetSDK.h"
#include "TMVSimControl.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {

const char *const kDevice = "127.0.0.81";
constexpr int kLinkTimeoutMs = 1500;  // this process's, set in main()

std::atomic<int> g_exceptions{0};  // bit (type - 1001) for 1001..1004
void onException(TMV_NET_HANDLE, int32_t type, void *)
{
    if (type >= 1001 && type <= 1004)
        g_exceptions |= 1 << (type - 1001);
}

struct Frames {
    std::atomic<int> count{0};
    std::atomic<qint64> bytes{0};
};
void onFrame(TMV_NET_HANDLE, int32_t, TMV_NET_PREVIEW_FRAME *frame, void *user)
{
    auto *f = static_cast<Frames *>(user);
    f->bytes += qint64(frame->width) * frame->height * 4;
    ++f->count;
}

const TMV_NET_PREVIEW_INFO kThermal{0, 0, 2};

struct Counted {
    int count = 0;
    qint64 bytes = 0;
};
// Frames a running preview delivers over `ms`, and their bytes.
Counted countFor(Frames &f, int ms)
{
    const int frames = f.count;
    const qint64 bytes = f.bytes;
    QTest::qWait(ms);
    return {f.count - frames, f.bytes - bytes};
}

// A call's round trip, in milliseconds; -1 when it failed.
qint64 roundTrip(TMV_NET_HANDLE h)
{
    QElapsedTimer t;
    t.start();
    TMV_NET_DEV_INFO info;
    return TMV_NET_GetDevInfo(h, &info) == TMV_NET_SUCCESS ? t.elapsed() : -1;
}

}  // namespace

class TestWireFaults : public QObject
{
    Q_OBJECT

    DeviceService m_service{{{"ptz-dual", kDevice}}};

    TMV_NET_HANDLE login(int32_t *status = nullptr)
    {
        TMV_NET_LOGIN_INFO info;
        std::memset(&info, 0, sizeof info);
        std::strncpy(info.ip, kDevice, sizeof info.ip - 1);
        info.port = m_service.port();
        std::strncpy(info.userName, "admin", sizeof info.userName - 1);
        std::strncpy(info.password, "sensor852", sizeof info.password - 1);
        TMV_NET_HANDLE h = nullptr;
        const int32_t s = TMV_NET_Login(&info, &h);
        if (status)
            *status = s;
        return s == TMV_NET_SUCCESS ? h : nullptr;
    }

    // A card file of random bytes: its record as the device lists it.
    bool cardFile(TMV_NET_HANDLE h, qint64 size, TMV_NET_FILE_INFO *file)
    {
        QDateTime start;
        const QString name = m_service.addCardRecording(kDevice, size, &start);
        if (name.isEmpty())
            return false;
        TMV_NET_FILE_QUERY q;
        std::memset(&q, 0, sizeof q);
        q.fileType = 1;
        qstrncpy(q.startTime, start.addSecs(-60).toString("yyyy-MM-dd+HH:mm:ss").toLatin1(), sizeof q.startTime);
        qstrncpy(q.endTime, start.addSecs(60).toString("yyyy-MM-dd+HH:mm:ss").toLatin1(), sizeof q.endTime);
        q.pageSize = 50;
        QVector<TMV_NET_FILE_INFO> files(50);
        int32_t count = 0;
        if (TMV_NET_QueryFile(h, &q, files.data(), files.size(), &count) != TMV_NET_SUCCESS)
            return false;
        for (int i = 0; i < qMin(count, files.size()); ++i)
            if (QString::fromLatin1(files[i].filePath).endsWith(name)) {
                *file = files[i];
                return true;
            }
        return false;
    }

    static TMV_NET_FILE_DOWNLOAD_INFO downloadInfo(const TMV_NET_FILE_INFO &file, const QString &target)
    {
        TMV_NET_FILE_DOWNLOAD_INFO info;
        std::memset(&info, 0, sizeof info);
        info.fileInfo = file;
        qstrncpy(info.localPath, QFile::encodeName(target).constData(), sizeof info.localPath);
        return info;
    }

private slots:
    void initTestCase()
    {
        QCOMPARE(TMV_NET_Init(), TMV_NET_SUCCESS);
        QVERIFY2(m_service.start(), qPrintable(m_service.log()));
        m_service.pointLibraryAtIt();
    }

    void cleanupTestCase()
    {
        TMV_NET_Deinit();
        m_service.stop();
    }

    void init() { g_exceptions = 0; }
    // Clears the wire (and the rest) whatever a failed case left.
    void cleanup() { TMVSim_ResetFleet(); }

    void controlCallsCheckTheirArguments()
    {
        QCOMPARE(TMVSim_SetWireDelay("127.0.0.99", 10), 3);
        QCOMPARE(TMVSim_SetWireDelay(kDevice, -1), 3);
        QCOMPARE(TMVSim_SetWireBandwidth(kDevice, -1), 3);
        QCOMPARE(TMVSim_CutWire(nullptr, 1), 3);
        QCOMPARE(TMVSim_SetWireBandwidth(kDevice, 0), 0);
    }

    // 200 ms each way: a call's round trip grows by the device's delay once,
    // the preview keeps its rate, the link is never taken as lost, and the
    // fleet's reset clears the delay.
    void delayAddsToRoundTripsNotToFrameRate()
    {
        TMV_NET_HANDLE h = login();
        QVERIFY(h);
        QCOMPARE(TMV_NET_SetExceptionCallback(h, onException, nullptr), TMV_NET_SUCCESS);
        QCOMPARE(TMVSim_SetWireDelay(kDevice, 200), 0);
        for (int i = 0; i < 3; ++i) {
            const qint64 ms = roundTrip(h);
            QVERIFY2(ms >= 200 && ms < 330, qPrintable(QString::number(ms)));
        }
        Frames frames;
        // A check that gives up early must not leave the stream writing
        // into `frames` once it is gone: the logout ends the stream first.
        const auto ended = qScopeGuard([h] { TMV_NET_Logout(h); });
        QCOMPARE(TMV_NET_StartPreview_V2(h, &kThermal, onFrame, &frames), TMV_NET_SUCCESS);
        QTRY_VERIFY(frames.count > 0);
        const Counted got = countFor(frames, 2000);
        QVERIFY2(got.count >= 40, qPrintable(QString::number(got.count)));  // 25 fps promised
        // Quiet for twice the link timeout: keep-alives answered late still count.
        QCOMPARE(TMV_NET_StopPreview(h), TMV_NET_SUCCESS);
        QTest::qWait(2 * kLinkTimeoutMs);
        QCOMPARE(g_exceptions.load(), 0);
        QVERIFY(roundTrip(h) >= 200);

        TMV_NET_Logout(h);
        TMVSim_ResetFleet();
        TMV_NET_HANDLE again = login();
        QVERIFY(again);
        const qint64 ms = roundTrip(again);
        QVERIFY2(ms >= 0 && ms < 100, qPrintable(QString::number(ms)));
        TMV_NET_Logout(again);
    }

    // The device's bandwidth: a download takes as long as its bytes need, a
    // preview sends no more than fits and drops the rest, so a call's reply
    // never waits behind a growing backlog.
    void bandwidthPacesDownloadsAndDropsFrames()
    {
        constexpr qint64 kBandwidth = 2 << 20;
        constexpr qint64 kFile = 3 << 20;
        TMV_NET_HANDLE h = login();
        QVERIFY(h);
        QCOMPARE(TMVSim_SetLinkSpeed(kDevice, 0), 0);  // the card is not what limits
        TMV_NET_FILE_INFO file;
        QVERIFY(cardFile(h, kFile, &file));
        QCOMPARE(TMVSim_SetWireBandwidth(kDevice, kBandwidth), 0);

        QTemporaryDir dir;
        const auto info = downloadInfo(file, dir.filePath("paced.mp4"));
        QElapsedTimer took;
        took.start();
        const int id = TMV_NET_StartDownloadFile(h, &info);
        QVERIFY(id >= 0);
        TMV_NET_DOWNLOAD_PROGRESS p{0, 0};
        while (p.done < kFile && took.elapsed() < 10000) {
            QCOMPARE(TMV_NET_GetDownloadProgress(h, id, &p), TMV_NET_SUCCESS);
            QTest::qWait(20);
        }
        const qint64 expected = 1000 * kFile / kBandwidth;
        QVERIFY2(took.elapsed() >= expected * 9 / 10 && took.elapsed() <= expected * 3 / 2,
                 qPrintable(QString::number(took.elapsed())));
        QTRY_VERIFY(QFile::exists(dir.filePath("paced.mp4")));
        QCOMPARE(TMV_NET_StopDownloadFile(h, id), TMV_NET_SUCCESS);

        Frames frames;
        // A check that gives up early must not leave the stream writing
        // into `frames` once it is gone: the logout ends the stream first.
        const auto ended = qScopeGuard([h] { TMV_NET_Logout(h); });
        QCOMPARE(TMV_NET_StartPreview_V2(h, &kThermal, onFrame, &frames), TMV_NET_SUCCESS);
        QTRY_VERIFY(frames.count > 0);
        const Counted got = countFor(frames, 2000);
        QVERIFY(got.count > 0);
        QVERIFY2(got.count < 45, qPrintable(QString::number(got.count)));
        QVERIFY2(got.bytes <= 2 * kBandwidth * 11 / 10, qPrintable(QString::number(got.bytes)));
        // A reply waits at most for the frame on the wire and the small
        // backlog before it, however long the preview runs.
        const qint64 frameBytes = got.bytes / got.count;
        const qint64 bound = 1000 * (frameBytes + kBandwidth / 10) / kBandwidth + 150;
        for (int i = 0; i < 5; ++i) {
            const qint64 ms = roundTrip(h);
            QVERIFY2(ms >= 0 && ms < bound, qPrintable(QString("%1 ms, bound %2").arg(ms).arg(bound)));
            QTest::qWait(200);
        }
        QCOMPARE(TMV_NET_StopPreview(h), TMV_NET_SUCCESS);
        TMV_NET_Logout(h);
    }

    // A cut wire during a preview and a download: a call fails within the
    // link timeout, the login gets 1001 and 1002, the download fails with
    // what it wrote and leaves no .part, a new login fails as for a device
    // that does not answer. Restored: the service ends the old session and
    // a new login previews.
    void cutWireIsFoundOutAndSurvived()
    {
        const int sessions = TMVSim_SessionCount(kDevice);
        TMV_NET_HANDLE h = login();
        QVERIFY(h);
        QCOMPARE(TMV_NET_SetExceptionCallback(h, onException, nullptr), TMV_NET_SUCCESS);
        QCOMPARE(TMVSim_SetLinkSpeed(kDevice, 1 << 20), 0);  // a download that lasts
        TMV_NET_FILE_INFO file;
        QVERIFY(cardFile(h, 8 << 20, &file));
        Frames frames;
        // A check that gives up early must not leave the stream writing
        // into `frames` once it is gone: the logout ends the stream first.
        const auto ended = qScopeGuard([h] { TMV_NET_Logout(h); });
        QCOMPARE(TMV_NET_StartPreview_V2(h, &kThermal, onFrame, &frames), TMV_NET_SUCCESS);
        QTemporaryDir dir;
        const auto info = downloadInfo(file, dir.filePath("cut.mp4"));
        const int id = TMV_NET_StartDownloadFile(h, &info);
        QVERIFY(id >= 0);
        TMV_NET_DOWNLOAD_PROGRESS p{0, 0};
        QTRY_VERIFY(TMV_NET_GetDownloadProgress(h, id, &p) == TMV_NET_SUCCESS && p.done > 0);
        QCOMPARE(TMVSim_SessionCount(kDevice), sessions + 1);

        QCOMPARE(TMVSim_CutWire(kDevice, 1), 0);
        QElapsedTimer cut;
        cut.start();
        TMV_NET_DEV_INFO devInfo;
        QCOMPARE(TMV_NET_GetDevInfo(h, &devInfo), TMV_NET_FAILED);
        QVERIFY2(cut.elapsed() <= kLinkTimeoutMs + 500, qPrintable(QString::number(cut.elapsed())));
        QTRY_COMPARE_WITH_TIMEOUT(g_exceptions.load(), 0b0011, kLinkTimeoutMs + 1000);
        QVERIFY2(cut.elapsed() <= kLinkTimeoutMs + 1000, qPrintable(QString::number(cut.elapsed())));
        const int seen = frames.count;
        p = {0, 0};
        QCOMPARE(TMV_NET_GetDownloadProgress(h, id, &p), TMV_NET_FAILED);
        QVERIFY(p.done > 0 && p.done < p.total);
        QCOMPARE(p.total, qint64(8 << 20));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
        QCOMPARE(TMV_NET_StopDownloadFile(h, id), TMV_NET_SUCCESS);
        QCOMPARE(TMV_NET_StopPreview(h), TMV_NET_SUCCESS);
        QCOMPARE(frames.count.load(), seen);
        QCOMPARE(TMV_NET_Logout(h), TMV_NET_SUCCESS);

        QElapsedTimer refused;
        refused.start();
        int32_t status = 0;
        QVERIFY(!login(&status));
        QCOMPARE(status, TMV_NET_FAILED);
        QVERIFY2(refused.elapsed() <= kLinkTimeoutMs + 500, qPrintable(QString::number(refused.elapsed())));
        QCOMPARE(TMVSim_SessionCount(kDevice), sessions + 1);  // the device has not heard of it

        QCOMPARE(TMVSim_CutWire(kDevice, 0), 0);
        QTRY_COMPARE_WITH_TIMEOUT(TMVSim_SessionCount(kDevice), sessions, 5000);
        TMV_NET_HANDLE again = login();
        QVERIFY(again);
        Frames after;
        // A check that gives up early must not leave the stream writing
        // into `after` once it is gone: the logout ends the stream first.
        const auto endedAgain = qScopeGuard([again] { TMV_NET_Logout(again); });
        QCOMPARE(TMV_NET_StartPreview_V2(again, &kThermal, onFrame, &after), TMV_NET_SUCCESS);
        QTRY_VERIFY(after.count >= 5);
        QCOMPARE(TMV_NET_StopPreview(again), TMV_NET_SUCCESS);
        QCOMPARE(TMV_NET_Logout(again), TMV_NET_SUCCESS);
        QTRY_COMPARE(TMVSim_SessionCount(kDevice), sessions);
    }
};

int main(int argc, char **argv)
{
    // Only the library reads these: every call goes over TCP, and a silent
    // link is lost after a short timeout.
    setenv("TMVNET_DEVICES", "network", 1);
    setenv("TMVNET_LINK_TIMEOUT_MS", QByteArray::number(kLinkTimeoutMs).constData(), 1);
    QCoreApplication app(argc, argv);
    TestWireFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_wirefaults.moc"
