// DeviceCall: a call of the user-interface thread runs on a worker while the
// event loop turns, and gives its result back as a direct call would; what
// the turning loop may do meanwhile (timers calling the library themselves,
// a window's close, a deleteLater, an exception's box) waits for the call or
// nests inside it safely.
#include <QtTest>

#include <QApplication>
#include <QCursor>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include "app/MainWindow.h"
#include "common/DeviceCall.h"
#include "StallMeter.h"
#include "TestSupport.h"

namespace {

// A library call's shape: arguments in, a record out, a status back.
int32_t slowCall(int ms, int32_t *out, Qt::HANDLE *thread)
{
    QThread::msleep(ulong(ms));
    *thread = QThread::currentThreadId();
    *out = 42;
    return 7;
}

// A window whose slot makes a call into its own member, as a page does.
class Caller : public QWidget
{
public:
    int32_t member = 0;
    int32_t afterCall = 0;
    void Work(int ms)
    {
        Qt::HANDLE thread = nullptr;
        DeviceCall::run(slowCall, ms, &member, &thread);
        afterCall = member;
    }
};

} // namespace

class TestDeviceCall : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { WarningGuard::install(); }

    void resultComesBackWhileTheLoopTurns();
    void callFromATimerNestsInside_data();
    void callFromATimerNestsInside();
    void runsDirectlyOffTheLoop();
    void callerOutlivesItsCall();
    void closeWaitsForTheCall();
    void exceptionBoxDuringAWait();
};

void TestDeviceCall::resultComesBackWhileTheLoopTurns()
{
    StallMeter meter;
    bool busyCursor = false;
    QTimer::singleShot(200, this, [&busyCursor] {
        busyCursor = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::BusyCursor;
    });
    meter.restart();
    int32_t out = 0;
    Qt::HANDLE thread = nullptr;
    QCOMPARE(DeviceCall::run(slowCall, 300, &out, &thread), 7);
    QCOMPARE(out, 42);
    QVERIFY(thread != QThread::currentThreadId());
    QVERIFY2(meter.longestMs() < 100, qPrintable(QString::number(meter.longestMs())));
    QVERIFY(meter.ticks() > 10);
    QVERIFY(busyCursor);
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(!DeviceCall::Waiting());

    // A quick call shows no busy cursor; the lambda form returns nothing.
    QTimer::singleShot(0, this, [&busyCursor] { busyCursor = QApplication::overrideCursor(); });
    bool ran = false;
    DeviceCall::run([&ran] { QThread::msleep(50); ran = true; });
    QVERIFY(ran);
    QVERIFY(!busyCursor);
}

void TestDeviceCall::callFromATimerNestsInside_data()
{
    QTest::addColumn<int>("outerMs");
    QTest::addColumn<int>("innerMs");
    QTest::newRow("inner ends first") << 300 << 100;
    QTest::newRow("outer ends first") << 100 << 300;
}

// A slot that runs during a wait and calls the library gets its own result;
// the first call returns after it, with its own.
void TestDeviceCall::callFromATimerNestsInside()
{
    QFETCH(int, outerMs);
    QFETCH(int, innerMs);
    QStringList order;
    int32_t innerOut = 0;
    QTimer::singleShot(30, this, [&] {
        QVERIFY(DeviceCall::Waiting());
        Qt::HANDLE thread = nullptr;
        order << "inner";
        QCOMPARE(DeviceCall::run(slowCall, innerMs, &innerOut, &thread), 7);
        order << "inner back";
    });
    StallMeter meter;
    int32_t out = 0;
    Qt::HANDLE thread = nullptr;
    QCOMPARE(DeviceCall::run(slowCall, outerMs, &out, &thread), 7);
    order << "outer back";
    QCOMPARE(order, QStringList({"inner", "inner back", "outer back"}));
    QCOMPARE(out, 42);
    QCOMPARE(innerOut, 42);
    QVERIFY2(meter.longestMs() < 100, qPrintable(QString::number(meter.longestMs())));
    QVERIFY(!DeviceCall::Waiting());
}

// Another thread's call, and one in a Direct scope (teardown), run where
// they are made, with no loop turning.
void TestDeviceCall::runsDirectlyOffTheLoop()
{
    Qt::HANDLE caller = nullptr;
    Qt::HANDLE ranOn = nullptr;
    int32_t out = 0;
    std::unique_ptr<QThread> other(QThread::create([&] {
        caller = QThread::currentThreadId();
        DeviceCall::run(slowCall, 10, &out, &ranOn);
    }));
    other->start();
    QVERIFY(other->wait(5000));
    QCOMPARE(ranOn, caller);
    QCOMPARE(out, 42);

    StallMeter meter;
    {
        DeviceCall::Direct direct;
        QCOMPARE(DeviceCall::run(slowCall, 150, &out, &ranOn), 7);
    }
    QCOMPARE(ranOn, QThread::currentThreadId());
    QCOMPARE(meter.ticks(), 0);
    // Out of the scope, calls wait on the loop again.
    DeviceCall::run(slowCall, 10, &out, &ranOn);
    QVERIFY(ranOn != QThread::currentThreadId());
}

// A window closed (deleted on close) while its own call waits stays alive
// until the code after the call has run, then goes.
void TestDeviceCall::callerOutlivesItsCall()
{
    QPointer<Caller> caller = new Caller;
    caller->setAttribute(Qt::WA_DeleteOnClose);
    caller->show();
    QVERIFY(QTest::qWaitForWindowExposed(caller));
    QTimer::singleShot(30, caller, [&caller] { caller->close(); });
    caller->Work(200);
    QVERIFY(caller);
    QVERIFY(!caller->isVisible());
    QCOMPARE(caller->afterCall, 42);
    QTRY_VERIFY(!caller);
}

// A close request while a call waits (the window manager's is no user
// input) is put off until the call has returned, then carried out.
void TestDeviceCall::closeWaitsForTheCall()
{
    PageFixture fixture;
    MainWindow *window = fixture.window();
    QVERIFY(window->isVisible());
    bool closedDuringCall = false;
    QTimer::singleShot(50, window, [window, &closedDuringCall] {
        window->close();
        closedDuringCall = !window->isVisible();
    });
    DeviceCall::run([] { QThread::msleep(300); });
    QVERIFY(!closedDuringCall);
    QVERIFY(window->isVisible());
    QTRY_VERIFY(!window->isVisible());
    fixture.verifyClean();
}

// A device's exception arriving during a wait opens its box on top of the
// wait; the call still returns its result once the box is answered.
void TestDeviceCall::exceptionBoxDuringAWait()
{
    PageFixture fixture;
    QTimer::singleShot(30, fixture.window(), [&fixture] { emit fixture.window()->Exception(1001); });
    int32_t out = 0;
    Qt::HANDLE thread = nullptr;
    QCOMPARE(DeviceCall::run(slowCall, 200, &out, &thread), 7);
    QCOMPARE(out, 42);
    QCOMPARE(fixture.boxes().count(), 1);
    QCOMPARE(fixture.boxes().last().text, QStringLiteral("1001:dev offline."));
    fixture.verifyClean();
}

QTEST_MAIN(TestDeviceCall)
#include "tst_devicecall.moc"
