// Logins against the simulated fleet: credentials, lock-out, session limit,
// search, exceptions and the end of a library that still has streams running.

#include "SimFixture.h"

#include <QtTest>
#include <atomic>
#include <cstring>
#include <mutex>

namespace {

struct Found {
    std::mutex mutex;
    QStringList addresses;

    QStringList taken()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return addresses;
    }
};

void onFound(const char *ip, void *user)
{
    auto *found = static_cast<Found *>(user);
    std::lock_guard<std::mutex> lock(found->mutex);
    found->addresses << QString::fromLatin1(ip);
}

struct Exceptions {
    std::atomic<int> last{0};
    std::atomic<int> count{0};
};

void onException(TMV_NET_HANDLE, int32_t type, void *user)
{
    auto *e = static_cast<Exceptions *>(user);
    e->last = type;
    ++e->count;
}

std::atomic<int> g_frames{0};
void countFrame(TMV_NET_HANDLE, int32_t, TMV_NET_PREVIEW_FRAME *frame, void *)
{
    if (frame && frame->data && frame->width > 0)
        ++g_frames;
}

}  // namespace

class TestSession : public QObject {
    Q_OBJECT
private slots:
    void init() { SimFixture::reset(); }
    void cleanupTestCase() { TMV_NET_Deinit(); }

    void loginResults_data()
    {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("status");
        QTest::newRow("ptz camera") << "127.0.0.11" << SimFixture::port() << "admin" << "sensor852" << 0;
        QTest::newRow("fixed camera") << "127.0.0.12" << SimFixture::port() << "admin" << "sensor852" << 0;
        QTest::newRow("panoramic camera") << "127.0.0.13" << SimFixture::port() << "admin" << "sensor852" << 0;
        QTest::newRow("wrong password") << "127.0.0.11" << SimFixture::port() << "admin" << "sensor853" << 1003;
        QTest::newRow("empty password") << "127.0.0.11" << SimFixture::port() << "admin" << "" << 1003;
        QTest::newRow("unknown user") << "127.0.0.11" << SimFixture::port() << "guest" << "sensor852" << 1002;
        QTest::newRow("user name is case sensitive") << "127.0.0.11" << SimFixture::port() << "Admin" << "sensor852" << 1002;
        QTest::newRow("nobody at that address") << "127.0.0.99" << SimFixture::port() << "admin" << "sensor852" << 1;
        QTest::newRow("wrong port") << "127.0.0.11" << 8000 << "admin" << "sensor852" << 1;
    }
    void loginResults()
    {
        QFETCH(QString, ip);
        QFETCH(int, port);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(int, status);
        TMV_NET_HANDLE handle = nullptr;
        QCOMPARE(SimFixture::tryLogin(&handle, ip.toLatin1(), user.toLatin1(), password.toLatin1(), port), status);
        QCOMPARE(handle != nullptr, status == 0);
        if (handle) {
            TMV_NET_DEV_INFO info{};
            QCOMPARE(TMV_NET_GetDevInfo(handle, &info), 0);
            QVERIFY(info.channelCount >= 1);
            QCOMPARE(TMV_NET_Logout(handle), 0);
            QCOMPARE(TMV_NET_GetDevInfo(handle, &info), 1);  // the handle is gone
        }
    }

    void repeatedWrongPasswordsLockTheAccount()
    {
        SimFixture::pauseClock();
        TMVSim_SetLockPolicy(3, 30000);
        TMV_NET_HANDLE handle = nullptr;
        for (int i = 0; i < 3; ++i)
            QCOMPARE(SimFixture::tryLogin(&handle, kPtz, kUser, "bad"), 1003);
        QCOMPARE(SimFixture::tryLogin(&handle, kPtz), 1005);
        QCOMPARE(SimFixture::tryLogin(&handle, kPtz, kUser, "bad"), 1005);
        QCOMPARE(SimFixture::tryLogin(&handle, kFixed), 0);  // other devices are not affected
        TMV_NET_Logout(handle);
        SimFixture::stepClock(29999);
        QCOMPARE(SimFixture::tryLogin(&handle, kPtz), 1005);
        SimFixture::stepClock(1);
        QCOMPARE(SimFixture::tryLogin(&handle, kPtz), 0);
        TMV_NET_Logout(handle);
    }

    // The device's own policy, which the test leaves alone: the fifth wrong
    // password locks the account for a minute, against the right one too.
    void defaultLockOutIsFiveFailuresForAMinute()
    {
        SimFixture::pauseClock();
        TMV_NET_HANDLE handle = nullptr;
        for (int i = 1; i <= 5; ++i)
            QVERIFY2(SimFixture::tryLogin(&handle, kPtz, kUser, "bad") == 1003, qPrintable(QString::number(i)));
        QCOMPARE(SimFixture::tryLogin(&handle, kPtz), 1005);
        SimFixture::stepClock(59999);
        QCOMPARE(SimFixture::tryLogin(&handle, kPtz), 1005);
        SimFixture::stepClock(1);
        QCOMPARE(SimFixture::tryLogin(&handle, kPtz), 0);
        QCOMPARE(TMV_NET_Logout(handle), 0);
    }

    void successfulLoginClearsFailures()
    {
        TMVSim_SetLockPolicy(3, 30000);
        TMV_NET_HANDLE handle = nullptr;
        QCOMPARE(SimFixture::tryLogin(&handle, kPtz, kUser, "bad"), 1003);
        QCOMPARE(SimFixture::tryLogin(&handle, kPtz, kUser, "bad"), 1003);
        QCOMPARE(SimFixture::tryLogin(&handle, kPtz), 0);
        TMV_NET_Logout(handle);
        QCOMPARE(SimFixture::tryLogin(&handle, kPtz, kUser, "bad"), 1003);
        QCOMPARE(SimFixture::tryLogin(&handle, kPtz, kUser, "bad"), 1003);
        QCOMPARE(SimFixture::tryLogin(&handle, kPtz), 0);
        TMV_NET_Logout(handle);
    }

    // A device takes four sessions at once, not one more.
    void sessionLimit()
    {
        QVector<TMV_NET_HANDLE> handles;
        TMV_NET_HANDLE handle = nullptr;
        int status;
        while ((status = SimFixture::tryLogin(&handle, kFixed)) == 0 && handles.size() < 64)
            handles << handle;
        QCOMPARE(status, 1006);
        QCOMPARE(handles.size(), 4);
        QCOMPARE(TMVSim_SessionCount(kFixed), 4);
        QCOMPARE(SimFixture::tryLogin(&handle, kPtz), 0);  // the limit is per device
        handles << handle;
        QCOMPARE(TMV_NET_Logout(handles.takeFirst()), 0);
        QCOMPARE(SimFixture::tryLogin(&handle, kFixed), 0);  // a freed place is usable again
        handles << handle;
        QCOMPARE(SimFixture::tryLogin(&handle, kFixed), 1006);
        for (TMV_NET_HANDLE h : handles)
            TMV_NET_Logout(h);
        QCOMPARE(TMVSim_SessionCount(kFixed), 0);
        QCOMPARE(TMVSim_SessionCount(kPtz), 0);
    }

    void loginRecordWithoutTerminator()
    {
        TMV_NET_LOGIN_INFO info = SimFixture::loginInfo();
        std::memset(info.ip, '1', sizeof info.ip);
        TMV_NET_HANDLE handle = nullptr;
        QCOMPARE(TMV_NET_Login(&info, &handle), 3);
        QVERIFY(!handle);
    }

    void searchAnswersOncePerDevice()
    {
        if (SimFixture::network())
            QSKIP("a search probe reaches the service over UDP in its own time: a step of the paused clock "
                  "cannot place its answers (tst_network searches over the network)");
        SimFixture::pauseClock();
        Found found;
        QCOMPARE(TMV_NET_SearchDev(onFound, &found, 8000), 0);
        SimFixture::stepClock(8000);
        QCOMPARE(found.taken().size(), 3);
        SimFixture::stepClock(60000);  // nothing more arrives
        QStringList addresses = found.taken();
        addresses.sort();
        QCOMPARE(addresses, QStringList({"127.0.0.11", "127.0.0.12", "127.0.0.13"}));
    }

    void searchDropsAnswersAfterTheWindow()
    {
        if (SimFixture::network())
            QSKIP("a search probe reaches the service over UDP in its own time: a step of the paused clock "
                  "cannot place its answers (tst_network searches over the network)");
        SimFixture::pauseClock();
        Found found;
        QCOMPARE(TMV_NET_SearchDev(onFound, &found, 0), 0);
        SimFixture::stepClock(2000);
        QCOMPARE(found.taken().size(), 0);
        QCOMPARE(TMV_NET_SearchDev(onFound, &found, 8000), 0);
        SimFixture::stepClock(8000);
        QCOMPARE(found.taken().size(), 3);
    }

    void exceptionsReachTheCallback()
    {
        SimFixture::pauseClock();
        TMV_NET_HANDLE handle = SimFixture::login(kPtz);
        QVERIFY(handle);
        Exceptions e;
        QCOMPARE(TMV_NET_SetExceptionCallback(handle, onException, &e), 0);
        QCOMPARE(TMVSim_RaiseException(kPtz, 1003), 0);
        SimFixture::stepClock(1);
        QCOMPARE(e.count.load(), 1);
        QCOMPARE(e.last.load(), 1003);
        QCOMPARE(TMV_NET_Logout(handle), 0);
        TMVSim_RaiseException(kPtz, 1002);
        SimFixture::stepClock(1000);
        QCOMPARE(e.count.load(), 1);  // nothing after logout
    }

    void offlineDeviceEndsItsStreams()
    {
        SimFixture::pauseClock();
        TMV_NET_HANDLE handle = SimFixture::login(kFixed);
        QVERIFY(handle);
        Exceptions e;
        TMV_NET_SetExceptionCallback(handle, onException, &e);
        TMV_NET_PREVIEW_INFO preview{0, 0, 2};
        g_frames = 0;
        QCOMPARE(TMV_NET_StartPreview_V2(handle, &preview, countFrame, nullptr), 0);
        SimFixture::stepClock(0);  // the stream's first frame
        SimFixture::stepClock(120);
        QVERIFY(g_frames > 2);
        QCOMPARE(TMVSim_SetOnline(kFixed, 0), 0);
        SimFixture::stepClock(1);
        QCOMPARE(e.last.load(), 1001);
        const int frames = g_frames;
        SimFixture::stepClock(1000);
        QCOMPARE(g_frames.load(), frames);
        TMV_NET_HANDLE other = nullptr;
        QCOMPARE(SimFixture::tryLogin(&other, kFixed), 1);
        QCOMPARE(TMV_NET_StopPreview(handle), 0);
        QCOMPARE(TMV_NET_Logout(handle), 0);
    }

    void deinitStopsRunningStreams()
    {
        SimFixture::pauseClock();
        TMV_NET_HANDLE handle = SimFixture::login(kPtz);
        QVERIFY(handle);
        TMV_NET_PREVIEW_INFO preview{1, 0, 2};
        g_frames = 0;
        QCOMPARE(TMV_NET_StartPreview_V2(handle, &preview, countFrame, nullptr), 0);
        SimFixture::stepClock(0);
        SimFixture::stepClock(40);
        QVERIFY(g_frames > 0);
        QCOMPARE(TMV_NET_Deinit(), 0);
        const int frames = g_frames;
        SimFixture::stepClock(1000);
        QCOMPARE(g_frames.load(), frames);
        QCOMPARE(TMV_NET_Logout(handle), 1);  // everything ended with the library
        QCOMPARE(TMVSim_SessionCount(kPtz), 0);
        TMV_NET_HANDLE again = nullptr;
        QCOMPARE(SimFixture::tryLogin(&again, kPtz), 1);  // not initialised
    }

private:
    const char *const kPtz = SimFixture::kPtzCamera;
    const char *const kFixed = SimFixture::kFixedCamera;
    const char *const kUser = SimFixture::kUser;
};

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
