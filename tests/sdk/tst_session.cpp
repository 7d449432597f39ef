// Logins against the simulated fleet: credentials, lock-out, session limit,
// search, exceptions and the end of a library that still has streams running.

#include "TMVNetSDK.h"
#include "TMVSimControl.h"

#include <QtTest>
#include <atomic>
#include <cstring>
#include <mutex>

namespace {

TMV_NET_LOGIN_INFO loginInfo(const char *ip, int port, const char *user, const char *password)
{
    TMV_NET_LOGIN_INFO info;
    std::memset(&info, 0, sizeof info);
    std::strncpy(info.ip, ip, sizeof info.ip - 1);
    info.port = port;
    std::strncpy(info.userName, user, sizeof info.userName - 1);
    std::strncpy(info.password, password, sizeof info.password - 1);
    return info;
}

int login(const char *ip, const char *user, const char *password, TMV_NET_HANDLE *handle, int port = 80)
{
    TMV_NET_LOGIN_INFO info = loginInfo(ip, port, user, password);
    return TMV_NET_Login(&info, handle);
}

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
    void init()
    {
        TMV_NET_Init();
        TMVSim_ResetFleet();
        TMVSim_ClockResume();
    }
    void cleanupTestCase() { TMV_NET_Deinit(); }

    void loginResults_data()
    {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("status");
        QTest::newRow("ptz camera") << "127.0.0.11" << 80 << "admin" << "sensor852" << 0;
        QTest::newRow("fixed camera") << "127.0.0.12" << 80 << "admin" << "sensor852" << 0;
        QTest::newRow("panoramic camera") << "127.0.0.13" << 80 << "admin" << "sensor852" << 0;
        QTest::newRow("wrong password") << "127.0.0.11" << 80 << "admin" << "sensor853" << 1003;
        QTest::newRow("empty password") << "127.0.0.11" << 80 << "admin" << "" << 1003;
        QTest::newRow("unknown user") << "127.0.0.11" << 80 << "guest" << "sensor852" << 1002;
        QTest::newRow("user name is case sensitive") << "127.0.0.11" << 80 << "Admin" << "sensor852" << 1002;
        QTest::newRow("nobody at that address") << "127.0.0.99" << 80 << "admin" << "sensor852" << 1;
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
        QCOMPARE(login(ip.toLatin1(), user.toLatin1(), password.toLatin1(), &handle, port), status);
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
        TMVSim_ClockPause();
        TMVSim_SetLockPolicy(3, 30000);
        TMV_NET_HANDLE handle = nullptr;
        for (int i = 0; i < 3; ++i)
            QCOMPARE(login("127.0.0.11", "admin", "bad", &handle), 1003);
        QCOMPARE(login("127.0.0.11", "admin", "sensor852", &handle), 1005);
        QCOMPARE(login("127.0.0.11", "admin", "bad", &handle), 1005);
        QCOMPARE(login("127.0.0.12", "admin", "sensor852", &handle), 0);  // other devices are not affected
        TMV_NET_Logout(handle);
        TMVSim_ClockStep(29999);
        QCOMPARE(login("127.0.0.11", "admin", "sensor852", &handle), 1005);
        TMVSim_ClockStep(1);
        QCOMPARE(login("127.0.0.11", "admin", "sensor852", &handle), 0);
        TMV_NET_Logout(handle);
    }

    void successfulLoginClearsFailures()
    {
        TMVSim_SetLockPolicy(3, 30000);
        TMV_NET_HANDLE handle = nullptr;
        QCOMPARE(login("127.0.0.11", "admin", "bad", &handle), 1003);
        QCOMPARE(login("127.0.0.11", "admin", "bad", &handle), 1003);
        QCOMPARE(login("127.0.0.11", "admin", "sensor852", &handle), 0);
        TMV_NET_Logout(handle);
        QCOMPARE(login("127.0.0.11", "admin", "bad", &handle), 1003);
        QCOMPARE(login("127.0.0.11", "admin", "bad", &handle), 1003);
        QCOMPARE(login("127.0.0.11", "admin", "sensor852", &handle), 0);
        TMV_NET_Logout(handle);
    }

    void sessionLimit()
    {
        QVector<TMV_NET_HANDLE> handles;
        TMV_NET_HANDLE handle = nullptr;
        int status;
        while ((status = login("127.0.0.12", "admin", "sensor852", &handle)) == 0 && handles.size() < 64)
            handles << handle;
        QCOMPARE(status, 1006);
        QVERIFY(handles.size() >= 2);
        QCOMPARE(TMVSim_SessionCount("127.0.0.12"), handles.size());
        QCOMPARE(TMV_NET_Logout(handles.takeLast()), 0);
        QCOMPARE(login("127.0.0.12", "admin", "sensor852", &handle), 0);  // a freed place is usable again
        handles << handle;
        for (TMV_NET_HANDLE h : handles)
            TMV_NET_Logout(h);
        QCOMPARE(TMVSim_SessionCount("127.0.0.12"), 0);
    }

    void loginRecordWithoutTerminator()
    {
        TMV_NET_LOGIN_INFO info = loginInfo("127.0.0.11", 80, "admin", "sensor852");
        std::memset(info.ip, '1', sizeof info.ip);
        TMV_NET_HANDLE handle = nullptr;
        QCOMPARE(TMV_NET_Login(&info, &handle), 3);
        QVERIFY(!handle);
    }

    void searchAnswersOncePerDevice()
    {
        Found found;
        QCOMPARE(TMV_NET_SearchDev(onFound, &found, 8000), 0);
        QTRY_COMPARE_WITH_TIMEOUT(found.taken().size(), 3, 3000);
        QTest::qWait(500);  // nothing more arrives
        QStringList addresses = found.taken();
        addresses.sort();
        QCOMPARE(addresses, QStringList({"127.0.0.11", "127.0.0.12", "127.0.0.13"}));
    }

    void searchDropsAnswersAfterTheWindow()
    {
        TMVSim_ClockPause();
        Found found;
        QCOMPARE(TMV_NET_SearchDev(onFound, &found, 0), 0);
        TMVSim_ClockStep(2000);
        QCOMPARE(found.taken().size(), 0);
        QCOMPARE(TMV_NET_SearchDev(onFound, &found, 8000), 0);
        TMVSim_ClockStep(8000);
        QCOMPARE(found.taken().size(), 3);
    }

    void exceptionsReachTheCallback()
    {
        TMV_NET_HANDLE handle = nullptr;
        QCOMPARE(login("127.0.0.11", "admin", "sensor852", &handle), 0);
        Exceptions e;
        QCOMPARE(TMV_NET_SetExceptionCallback(handle, onException, &e), 0);
        QCOMPARE(TMVSim_RaiseException("127.0.0.11", 1003), 0);
        QTRY_COMPARE(e.count.load(), 1);
        QCOMPARE(e.last.load(), 1003);
        QCOMPARE(TMV_NET_Logout(handle), 0);
        TMVSim_RaiseException("127.0.0.11", 1002);
        QTest::qWait(100);
        QCOMPARE(e.count.load(), 1);  // nothing after logout
    }

    void offlineDeviceEndsItsStreams()
    {
        TMV_NET_HANDLE handle = nullptr;
        QCOMPARE(login("127.0.0.12", "admin", "sensor852", &handle), 0);
        Exceptions e;
        TMV_NET_SetExceptionCallback(handle, onException, &e);
        TMV_NET_PREVIEW_INFO preview{0, 0, 2};
        g_frames = 0;
        QCOMPARE(TMV_NET_StartPreview_V2(handle, &preview, countFrame, nullptr), 0);
        QTRY_VERIFY(g_frames > 2);
        QCOMPARE(TMVSim_SetOnline("127.0.0.12", 0), 0);
        QTRY_COMPARE(e.last.load(), 1001);
        const int frames = g_frames;
        QTest::qWait(120);
        QCOMPARE(g_frames.load(), frames);
        TMV_NET_HANDLE other = nullptr;
        QCOMPARE(login("127.0.0.12", "admin", "sensor852", &other), 1);
        QCOMPARE(TMV_NET_StopPreview(handle), 0);
        QCOMPARE(TMV_NET_Logout(handle), 0);
    }

    void deinitStopsRunningStreams()
    {
        TMV_NET_HANDLE handle = nullptr;
        QCOMPARE(login("127.0.0.11", "admin", "sensor852", &handle), 0);
        TMV_NET_PREVIEW_INFO preview{1, 0, 2};
        g_frames = 0;
        QCOMPARE(TMV_NET_StartPreview_V2(handle, &preview, countFrame, nullptr), 0);
        QTRY_VERIFY(g_frames > 0);
        QCOMPARE(TMV_NET_Deinit(), 0);
        const int frames = g_frames;
        QTest::qWait(100);
        QCOMPARE(g_frames.load(), frames);
        QCOMPARE(TMV_NET_Logout(handle), 1);  // everything ended with the library
        QCOMPARE(TMVSim_SessionCount("127.0.0.11"), 0);
        TMV_NET_HANDLE again = nullptr;
        QCOMPARE(login("127.0.0.11", "admin", "sensor852", &again), 1);  // not initialised
    }
};

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
