// The stop contract under races and re-entry, tried as a hostile caller
// would: once a stop, Logout or Deinit returns, no callback of what it ended
// runs; a call made from inside any callback returns a status and never
// aborts or deadlocks; a Login racing Deinit leaves no session behind.
//
// Rounds: TMVSIM_STRESS_ROUNDS (default a few hundred, seconds in all); run
// with many more on demand, for example TMVSIM_STRESS_ROUNDS=20000.

#include "SimFixture.h"
#include "TMVNetSDK.h"
#include "TMVSimControl.h"

#include <QtTest>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace {

const char *const kPtz = "127.0.0.11";

int rounds(int fallback)
{
    const int n = qEnvironmentVariableIntValue("TMVSIM_STRESS_ROUNDS");
    return n > 0 ? n : fallback;
}

TMV_NET_HANDLE login(const char *ip = kPtz, int *status = nullptr)
{
    TMV_NET_HANDLE handle = nullptr;
    const int result = SimFixture::tryLogin(&handle, ip);
    if (status)
        *status = result;
    return result == 0 ? handle : nullptr;
}

int startPreview(TMV_NET_HANDLE handle, TMV_NET_PREVIEW_CALLBACK callback, void *user, int channel = 0)
{
    TMV_NET_PREVIEW_INFO info{channel, 0, 2};
    return TMV_NET_StartPreview_V2(handle, &info, callback, user);
}

// Counts callbacks, and those that came after the caller declared the
// stream over.
struct LateCounter {
    std::atomic<bool> over{false};
    std::atomic<int> calls{0};
    std::atomic<int> late{0};

    void hit()
    {
        ++calls;
        if (over)
            ++late;
    }
};

void countFrame(TMV_NET_HANDLE, int32_t, TMV_NET_PREVIEW_FRAME *, void *user)
{
    static_cast<LateCounter *>(user)->hit();
}

void countException(TMV_NET_HANDLE, int32_t, void *user)
{
    static_cast<LateCounter *>(user)->hit();
}

// A frame callback held inside until the test lets it go.
struct Latch {
    std::mutex mutex;
    std::condition_variable changed;
    bool inside = false;
    bool released = false;

    void enterAndWait()
    {
        std::unique_lock<std::mutex> lock(mutex);
        inside = true;
        changed.notify_all();
        changed.wait(lock, [this] { return released; });
        inside = false;
    }
    void waitInside()
    {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [this] { return inside; });
    }
    void release()
    {
        std::lock_guard<std::mutex> lock(mutex);
        released = true;
        changed.notify_all();
    }
    bool isInside()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return inside;
    }
};

void latchedFrame(TMV_NET_HANDLE, int32_t, TMV_NET_PREVIEW_FRAME *, void *user)
{
    static_cast<Latch *>(user)->enterAndWait();
}

// What a re-entrant callback does and what the library answered. The stops
// and the start act on the probe's stream.
enum class Reentry { StopPreview, StopThenStart, Logout, Deinit, LoginAgain, Search, Unsubscribe, Resubscribe };
enum class Stream { Preview, Temp, Raw };

struct ReentryProbe {
    Reentry action = Reentry::StopPreview;
    Stream stream = Stream::Preview;
    TMV_NET_HANDLE handle = nullptr;
    std::atomic<bool> done{false};
    std::atomic<int> firstStatus{-1};
    std::atomic<int> secondStatus{-1};
    std::atomic<int> framesAfter{0};
};

void ignoreFrame(TMV_NET_HANDLE, int32_t, TMV_NET_PREVIEW_FRAME *, void *user)
{
    ++static_cast<ReentryProbe *>(user)->framesAfter;
}

void ignoreTemp(TMV_NET_HANDLE, const TMV_NET_TEMP_FRAME *, int32_t, void *user)
{
    ++static_cast<ReentryProbe *>(user)->framesAfter;
}

void ignoreRaw(TMV_NET_HANDLE, const uint16_t *, int32_t, int32_t, void *user)
{
    ++static_cast<ReentryProbe *>(user)->framesAfter;
}

void ignoreFound(const char *, void *) {}

int stopProbeStream(ReentryProbe *probe)
{
    switch (probe->stream) {
    case Stream::Temp:
        return TMV_NET_StopPullTemp(probe->handle);
    case Stream::Raw:
        return TMV_NET_StopPullNucData(probe->handle);
    case Stream::Preview:
        break;
    }
    return TMV_NET_StopPreview(probe->handle);
}

int restartProbeStream(ReentryProbe *probe)
{
    switch (probe->stream) {
    case Stream::Temp:
        return TMV_NET_StartPullTemp_V2(probe->handle, ignoreTemp, probe);
    case Stream::Raw:
        return TMV_NET_StartPullNucData(probe->handle, ignoreRaw, probe);
    case Stream::Preview:
        break;
    }
    return startPreview(probe->handle, ignoreFrame, probe);
}

void ignoreAlarm(TMV_NET_HANDLE, int32_t, const void *, void *) {}

void reenter(ReentryProbe *probe)
{
    if (probe->done.exchange(true))
        return;
    switch (probe->action) {
    case Reentry::StopPreview:
        probe->firstStatus = stopProbeStream(probe);
        break;
    case Reentry::StopThenStart:
        probe->firstStatus = stopProbeStream(probe);
        probe->secondStatus = restartProbeStream(probe);
        break;
    case Reentry::Logout:
        probe->firstStatus = TMV_NET_Logout(probe->handle);
        break;
    case Reentry::Deinit:
        probe->firstStatus = TMV_NET_Deinit();
        break;
    case Reentry::LoginAgain: {
        int status = -1;
        TMV_NET_HANDLE other = login(kPtz, &status);
        probe->firstStatus = status;
        probe->secondStatus = other ? TMV_NET_Logout(other) : -1;
        break;
    }
    case Reentry::Search:
        probe->firstStatus = TMV_NET_SearchDev(ignoreFound, nullptr, 100);
        break;
    case Reentry::Unsubscribe:
        probe->firstStatus = TMV_NET_UnsubscribeAlarm(probe->handle);
        break;
    case Reentry::Resubscribe:
        probe->firstStatus = TMV_NET_UnsubscribeAlarm(probe->handle);
        probe->secondStatus = TMV_NET_SubscribeAlarm(probe->handle, ignoreAlarm, nullptr);
        break;
    }
}

void reenterFromFrame(TMV_NET_HANDLE, int32_t, TMV_NET_PREVIEW_FRAME *, void *user)
{
    reenter(static_cast<ReentryProbe *>(user));
}

void reenterFromException(TMV_NET_HANDLE, int32_t, void *user)
{
    reenter(static_cast<ReentryProbe *>(user));
}

void reenterFromTemp(TMV_NET_HANDLE, const TMV_NET_TEMP_FRAME *, int32_t, void *user)
{
    reenter(static_cast<ReentryProbe *>(user));
}

void reenterFromRaw(TMV_NET_HANDLE, const uint16_t *, int32_t, int32_t, void *user)
{
    reenter(static_cast<ReentryProbe *>(user));
}

void reenterFromAlarm(TMV_NET_HANDLE, int32_t, const void *, void *user)
{
    reenter(static_cast<ReentryProbe *>(user));
}

// A search answers from every device, later than the test row that started
// it may last: the answers reach the row's probe only while it exists.
std::mutex g_searchMutex;
ReentryProbe *g_searchProbe = nullptr;  // under g_searchMutex
void reenterFromSearch(const char *, void *)
{
    std::lock_guard<std::mutex> lock(g_searchMutex);
    if (g_searchProbe)
        reenter(g_searchProbe);
}

void setSearchProbe(ReentryProbe *probe)
{
    std::lock_guard<std::mutex> lock(g_searchMutex);
    g_searchProbe = probe;
}

// Two callbacks that meet, then each log out the other's login.
struct Rendezvous {
    std::atomic<int> arrived{0};

    void meet()
    {
        ++arrived;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (arrived < 2 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
    }
};

struct CrossLogout {
    Rendezvous *rendezvous = nullptr;
    TMV_NET_HANDLE other = nullptr;
    std::atomic<bool> done{false};
    std::atomic<int> status{-1};

    void run()
    {
        if (done.exchange(true))
            return;
        rendezvous->meet();
        status = TMV_NET_Logout(other);
    }
};

void crossLogoutFromFrame(TMV_NET_HANDLE, int32_t, TMV_NET_PREVIEW_FRAME *, void *user)
{
    static_cast<CrossLogout *>(user)->run();
}

void crossLogoutFromException(TMV_NET_HANDLE, int32_t, void *user)
{
    static_cast<CrossLogout *>(user)->run();
}

}  // namespace

Q_DECLARE_METATYPE(Reentry)

class TestConcurrency : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TMV_NET_Init(); }
    void cleanupTestCase() { TMV_NET_Deinit(); }
    void init() { SimFixture::reset(); }

    // A stop waits for the callback that is running when it is called.
    void stopWaitsForARunningCallback()
    {
        TMV_NET_HANDLE handle = login();
        QVERIFY(handle);
        Latch latch;
        QCOMPARE(startPreview(handle, latchedFrame, &latch), 0);
        latch.waitInside();
        std::atomic<bool> stillInside{false};
        std::atomic<int> status{-1};
        std::thread stopper([&] {
            status = TMV_NET_StopPreview(handle);
            stillInside = latch.isInside();
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));  // let the stop reach its join
        latch.release();
        stopper.join();
        QCOMPARE(status.load(), 0);
        QVERIFY(!stillInside);
        QCOMPARE(TMV_NET_Logout(handle), 0);
    }

    // A logout waits for a stream whose StopPreview, on another thread, is
    // still waiting for the callback.
    void logoutWaitsForAStopInProgress()
    {
        TMV_NET_HANDLE handle = login();
        QVERIFY(handle);
        Latch latch;
        QCOMPARE(startPreview(handle, latchedFrame, &latch), 0);
        latch.waitInside();
        std::thread stopper([&] { TMV_NET_StopPreview(handle); });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the stop is joining now
        std::atomic<bool> stillInside{true};
        std::atomic<int> status{-1};
        std::thread logout([&] {
            status = TMV_NET_Logout(handle);
            stillInside = latch.isInside();
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        latch.release();
        logout.join();
        stopper.join();
        QCOMPARE(status.load(), 0);
        QVERIFY(!stillInside);
        QCOMPARE(TMVSim_SessionCount(kPtz), 0);
    }

    // Several threads stop, restart and log out one login at once; after
    // the logout returns no frame arrives.
    void startStopLogoutBarrier()
    {
        const int n = rounds(150);
        int lateTotal = 0;
        for (int round = 0; round < n; ++round) {
            TMV_NET_HANDLE handle = login();
            QVERIFY(handle);
            LateCounter counter;
            QCOMPARE(startPreview(handle, countFrame, &counter), 0);
            std::atomic<int> ready{0};
            auto barrier = [&] {
                ++ready;
                while (ready < 4)
                    std::this_thread::yield();
            };
            std::thread stopper([&] { barrier(); TMV_NET_StopPreview(handle); });
            std::thread restarter([&] { barrier(); startPreview(handle, countFrame, &counter, round % 2); });
            std::thread recorder([&] { barrier(); TMV_NET_StopPreviewRecord(handle); });
            barrier();
            QCOMPARE(TMV_NET_Logout(handle), 0);
            counter.over = true;
            stopper.join();
            restarter.join();
            recorder.join();
            lateTotal += counter.late;
        }
        QCOMPARE(lateTotal, 0);
        QCOMPARE(TMVSim_SessionCount(kPtz), 0);
    }

    // An exception raised while the login ends is either delivered before
    // Logout returns or never. A third thread keeps the clock's lock busy,
    // which is where a raise that checked the login too early would stall.
    void noExceptionAfterLogout()
    {
        TMVSim_ClockPause();  // step(0) then proves the event thread is idle
        std::atomic<bool> stop{false};
        std::thread raiser([&] {
            while (!stop)
                TMVSim_RaiseException(kPtz, 1001);
        });
        std::thread clockReader([&] {
            while (!stop)
                TMVSim_ClockNowMs();
        });
        const int n = rounds(600);
        int lateTotal = 0;
        for (int round = 0; round < n; ++round) {
            TMV_NET_HANDLE handle = login();
            QVERIFY(handle);
            LateCounter counter;
            QCOMPARE(TMV_NET_SetExceptionCallback(handle, countException, &counter), 0);
            std::this_thread::yield();
            QCOMPARE(TMV_NET_Logout(handle), 0);
            counter.over = true;
            TMVSim_ClockStep(0);
            lateTotal += counter.late;
        }
        stop = true;
        raiser.join();
        clockReader.join();
        TMVSim_ClockResume();
        QCOMPARE(lateTotal, 0);
    }

    // Every call from inside every callback type returns a status; none
    // aborts or deadlocks.
    void reentryFromCallbacks_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<Reentry>("action");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        // Stopping one's own stream from its callback answers 1 and ends it
        // after the callback; the rest of these work as from any thread.
        QTest::newRow("frame: stop") << "frame" << Reentry::StopPreview << 1 << -1;
        QTest::newRow("frame: stop then start") << "frame" << Reentry::StopThenStart << 1 << 0;
        QTest::newRow("frame: logout") << "frame" << Reentry::Logout << 1 << -1;
        QTest::newRow("frame: deinit") << "frame" << Reentry::Deinit << 1 << -1;
        QTest::newRow("frame: login") << "frame" << Reentry::LoginAgain << 0 << 0;
        QTest::newRow("frame: search") << "frame" << Reentry::Search << 0 << -1;
        QTest::newRow("exception: stop") << "exception" << Reentry::StopPreview << 0 << -1;
        QTest::newRow("exception: stop then start") << "exception" << Reentry::StopThenStart << 0 << 0;
        QTest::newRow("exception: logout") << "exception" << Reentry::Logout << 0 << -1;
        QTest::newRow("exception: deinit") << "exception" << Reentry::Deinit << 1 << -1;
        QTest::newRow("exception: login") << "exception" << Reentry::LoginAgain << 0 << 0;
        QTest::newRow("search: stop") << "search" << Reentry::StopPreview << 0 << -1;
        QTest::newRow("search: stop then start") << "search" << Reentry::StopThenStart << 0 << 0;
        QTest::newRow("search: logout") << "search" << Reentry::Logout << 0 << -1;
        QTest::newRow("search: deinit") << "search" << Reentry::Deinit << 1 << -1;
        QTest::newRow("search: search") << "search" << Reentry::Search << 0 << -1;
        // From the temperature and raw streams' callbacks, "stop" is their own.
        QTest::newRow("temperature: stop") << "temperature" << Reentry::StopPreview << 1 << -1;
        QTest::newRow("temperature: stop then start") << "temperature" << Reentry::StopThenStart << 1 << 0;
        QTest::newRow("temperature: logout") << "temperature" << Reentry::Logout << 1 << -1;
        QTest::newRow("temperature: deinit") << "temperature" << Reentry::Deinit << 1 << -1;
        QTest::newRow("raw: stop") << "raw" << Reentry::StopPreview << 1 << -1;
        QTest::newRow("raw: stop then start") << "raw" << Reentry::StopThenStart << 1 << 0;
        QTest::newRow("raw: logout") << "raw" << Reentry::Logout << 1 << -1;
        QTest::newRow("raw: deinit") << "raw" << Reentry::Deinit << 1 << -1;
        // The alarm callback: its own subscription and login answer 1 and
        // end after it; a new subscription from inside is taken.
        QTest::newRow("alarm: unsubscribe") << "alarm" << Reentry::Unsubscribe << 1 << -1;
        QTest::newRow("alarm: unsubscribe then subscribe") << "alarm" << Reentry::Resubscribe << 1 << 0;
        QTest::newRow("alarm: stop preview") << "alarm" << Reentry::StopPreview << 0 << -1;
        QTest::newRow("alarm: stop then start") << "alarm" << Reentry::StopThenStart << 0 << 0;
        QTest::newRow("alarm: logout") << "alarm" << Reentry::Logout << 1 << -1;
        QTest::newRow("alarm: deinit") << "alarm" << Reentry::Deinit << 1 << -1;
        QTest::newRow("alarm: login") << "alarm" << Reentry::LoginAgain << 0 << 0;
        QTest::newRow("alarm: search") << "alarm" << Reentry::Search << 0 << -1;
        QTest::newRow("frame: unsubscribe") << "frame" << Reentry::Unsubscribe << 0 << -1;
        QTest::newRow("exception: unsubscribe") << "exception" << Reentry::Unsubscribe << 0 << -1;
    }
    void reentryFromCallbacks()
    {
        QFETCH(QString, from);
        QFETCH(Reentry, action);
        QFETCH(int, first);
        QFETCH(int, second);
        if (SimFixture::network() && from == "exception" && action == Reentry::Logout)
            QSKIP("over the network a login's callbacks share one thread, which a logout from any of them "
                  "cannot join: it answers 1");
        TMV_NET_HANDLE handle = login();
        QVERIFY(handle);
        ReentryProbe probe;
        probe.action = action;
        probe.handle = handle;
        if (action == Reentry::Unsubscribe || action == Reentry::Resubscribe)
            QCOMPARE(TMV_NET_SubscribeAlarm(handle, from == "alarm" ? reenterFromAlarm : ignoreAlarm, &probe), 0);
        if (from == "frame") {
            QCOMPARE(startPreview(handle, reenterFromFrame, &probe), 0);
        } else if (from == "temperature") {
            probe.stream = Stream::Temp;
            QCOMPARE(TMV_NET_StartPullTemp_V2(handle, reenterFromTemp, &probe), 0);
        } else if (from == "raw") {
            probe.stream = Stream::Raw;
            QCOMPARE(TMV_NET_StartPullNucData(handle, reenterFromRaw, &probe), 0);
        } else if (from == "alarm") {
            QCOMPARE(startPreview(handle, ignoreFrame, &probe), 0);
            if (action != Reentry::Unsubscribe && action != Reentry::Resubscribe)
                QCOMPARE(TMV_NET_SubscribeAlarm(handle, reenterFromAlarm, &probe), 0);
            QCOMPARE(TMVSim_InjectAlarm(kPtz, 40001), 0);
        } else {
            QCOMPARE(startPreview(handle, ignoreFrame, &probe), 0);
            if (from == "exception") {
                QCOMPARE(TMV_NET_SetExceptionCallback(handle, reenterFromException, &probe), 0);
                QCOMPARE(TMVSim_RaiseException(kPtz, 1001), 0);
            } else {
                setSearchProbe(&probe);
                QCOMPARE(TMV_NET_SearchDev(reenterFromSearch, nullptr, 8000), 0);
            }
        }
        QTRY_VERIFY(probe.done);
        QTRY_COMPARE(probe.firstStatus.load(), first);
        QTRY_COMPARE(probe.secondStatus.load(), second);
        if (action == Reentry::StopThenStart && second == 0) {
            const int before = probe.framesAfter;
            QTRY_VERIFY(probe.framesAfter > before);  // the new stream runs
        }
        setSearchProbe(nullptr);
        TMV_NET_Logout(handle);  // may already be gone
        QCOMPARE(TMVSim_SessionCount(kPtz), 0);
    }

    // Two callbacks log out each other's login at the same moment: one waits
    // for the other, which answers 1 without waiting; nothing hangs, and
    // both logins end.
    void crossLogoutFromCallbacks_data()
    {
        QTest::addColumn<bool>("firstFromException");
        QTest::newRow("frame and frame") << false;
        QTest::newRow("exception and frame") << true;
    }
    void crossLogoutFromCallbacks()
    {
        QFETCH(bool, firstFromException);
        if (SimFixture::network())
            QSKIP("over the network a logout from a callback does not see that the other login's callback "
                  "waits for it (no wait graph across connections)");
        const char *const fixed = "127.0.0.12";
        TMV_NET_HANDLE first = login(kPtz);
        TMV_NET_HANDLE second = login(fixed);
        QVERIFY(first && second);
        Rendezvous rendezvous;
        CrossLogout a, b;
        a.rendezvous = b.rendezvous = &rendezvous;
        a.other = second;
        b.other = first;
        if (firstFromException) {
            QCOMPARE(TMV_NET_SetExceptionCallback(first, crossLogoutFromException, &a), 0);
            QCOMPARE(TMVSim_RaiseException(kPtz, 1001), 0);
        } else {
            QCOMPARE(startPreview(first, crossLogoutFromFrame, &a), 0);
        }
        QCOMPARE(startPreview(second, crossLogoutFromFrame, &b), 0);
        QTRY_VERIFY(a.status >= 0 && b.status >= 0);
        QCOMPARE(a.status + b.status, 1);  // one 0, one 1
        QCOMPARE(TMV_NET_Logout(first), 1);  // both are gone
        QCOMPARE(TMV_NET_Logout(second), 1);
        QCOMPARE(TMVSim_SessionCount(kPtz), 0);
        QCOMPARE(TMVSim_SessionCount(fixed), 0);
    }

    // A Login racing Deinit either fails or its session ends with Deinit.
    // Logins run back to back while Deinit runs; a reader of the session
    // count keeps the device's lock busy, where a login that checked the
    // library too early would stall.
    void loginAgainstDeinit()
    {
        const int n = rounds(150);
        int survivors = 0;
        for (int round = 0; round < n; ++round) {
            QCOMPARE(TMV_NET_Init(), 0);
            std::atomic<bool> deinitStarted{false};
            std::atomic<bool> deinitDone{false};
            std::atomic<int> started{0};
            auto loginLoop = [&] {
                ++started;
                while (!deinitDone) {
                    // Logged out only before Deinit, so a session it missed stays.
                    if (TMV_NET_HANDLE h = login(); h && !deinitStarted)
                        TMV_NET_Logout(h);
                }
                for (int i = 0; i < 3; ++i)  // and a few right after
                    login();
            };
            std::vector<std::thread> threads;
            for (int i = 0; i < 3; ++i)
                threads.emplace_back(loginLoop);
            threads.emplace_back([&] {
                ++started;
                while (!deinitDone)
                    TMVSim_SessionCount(kPtz);
            });
            while (started < 4)
                std::this_thread::yield();
            deinitStarted = true;
            TMV_NET_Deinit();
            deinitDone = true;
            for (auto &t : threads)
                t.join();
            survivors += TMVSim_SessionCount(kPtz);
            TMVSim_ResetFleet();
        }
        TMV_NET_Init();
        QCOMPARE(survivors, 0);
    }
};

QTEST_GUILESS_MAIN(TestConcurrency)
#include "tst_concurrency.moc"
