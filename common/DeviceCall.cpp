#include "common/DeviceCall.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPointer>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <QVector>
#include <QWidget>

#include <condition_variable>
#include <memory>
#include <mutex>

namespace {

// How long a wait goes on before the cursor shows it.
const int kBusyCursorMs = 100;

// One call in flight. The worker may still hold it for a moment after the
// waiting thread has returned.
struct Pending
{
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;  // Under mutex.
    // User-interface thread only.
    QEventLoop *loop = nullptr;
    bool busyCursor = false;
};

// User-interface thread only.
int waits = 0;
// The waits in progress, innermost last.
QVector<Pending *> active;
QVector<QPair<QPointer<QObject>, std::function<void()>>> afterWaits;
// Per thread: only the user-interface thread's count matters, but a Direct
// scope on another thread must not race with it.
thread_local int directScopes = 0;

// Owned by the application object of the moment, so its threads end with
// it while the toolkit and the libraries are whole, not in the static
// destruction after main() returns.
QThreadPool &workers()
{
    static QPointer<QThreadPool> pool;
    if (!pool) {
        pool = new QThreadPool(QCoreApplication::instance());
        // A call made by a slot during another call's wait runs beside it.
        pool->setMaxThreadCount(4);
    }
    return *pool;
}

void restoreCursor(Pending &pending)
{
    if (pending.busyCursor) {
        pending.busyCursor = false;
        QGuiApplication::restoreOverrideCursor();
    }
}

// Holds back every deleteLater() that comes due while a call waits, and
// hands them back once the outermost wait has returned: an object whose call
// waits (its members often the call's arguments) stays alive until the code
// after the call has run.
class DeleteHold : public QObject
{
public:
    // One for the application object of the moment (it goes with it).
    static DeleteHold &instance()
    {
        static QPointer<DeleteHold> hold;
        if (!hold) {
            hold = new DeleteHold;
            QCoreApplication::instance()->installEventFilter(hold);
        }
        return *hold;
    }

    void release()
    {
        const QVector<QPointer<QObject>> held = std::exchange(m_held, {});
        for (const QPointer<QObject> &object : held)
            if (object)
                object->deleteLater();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (waits == 0 || watched == this)
            return false;
        // A dialog that opens during a wait (a device exception's box) is
        // for the user to answer: no busy cursor over it.
        if (event->type() == QEvent::Show && watched->isWidgetType()
            && static_cast<QWidget *>(watched)->isModal()) {
            for (Pending *pending : active)
                restoreCursor(*pending);
            return false;
        }
        if (event->type() != QEvent::DeferredDelete)
            return false;
        m_held.append(watched);
        return true;
    }

private:
    DeleteHold()
        : QObject(QCoreApplication::instance())
    {
    }

    QVector<QPointer<QObject>> m_held;
};

void runAfterWaits()
{
    const auto pending = std::exchange(afterWaits, {});
    for (const auto &entry : pending)
        if (entry.first)
            QTimer::singleShot(0, entry.first, entry.second);
}

} // namespace

bool DeviceCall::Deferrable()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return app && directScopes == 0 && QThread::currentThread() == app->thread()
           && !QCoreApplication::closingDown();
}

bool DeviceCall::Waiting()
{
    return waits > 0;
}

void DeviceCall::AfterWaits(QObject *context, std::function<void()> then)
{
    afterWaits.append({QPointer<QObject>(context), std::move(then)});
    if (waits == 0)
        runAfterWaits();
}

DeviceCall::Direct::Direct()
{
    ++directScopes;
}

DeviceCall::Direct::~Direct()
{
    --directScopes;
}

void DeviceCall::Wait(const std::function<void()> &call)
{
    DeleteHold::instance();
    auto pending = std::make_shared<Pending>();
    ++waits;
    workers().start([pending, &call] {
        call();
        // Posted before `done`: once done, the waiting side may return and
        // the application may go.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [pending] {
                restoreCursor(*pending);
                if (pending->loop)
                    pending->loop->quit();
            },
            Qt::QueuedConnection);
        std::lock_guard<std::mutex> lock(pending->mutex);
        pending->done = true;
        pending->finished.notify_all();
    });

    const auto isDone = [&pending] {
        std::lock_guard<std::mutex> lock(pending->mutex);
        return pending->done;
    };
    if (!isDone()) {
        QEventLoop loop;
        if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
            QTimer::singleShot(kBusyCursorMs, &loop, [&pending, &isDone] {
                if (isDone() || QGuiApplication::modalWindow())
                    return;
                pending->busyCursor = true;
                QGuiApplication::setOverrideCursor(Qt::BusyCursor);
            });
        }
        pending->loop = &loop;
        active.append(pending.get());
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        active.removeOne(pending.get());
        pending->loop = nullptr;
    }
    // The application's exit ends every loop of the thread, this one too:
    // what remains of the call is waited for without one.
    {
        std::unique_lock<std::mutex> lock(pending->mutex);
        pending->finished.wait(lock, [&pending] { return pending->done; });
    }
    restoreCursor(*pending);
    if (--waits == 0) {
        DeleteHold::instance().release();
        runAfterWaits();
    }
}
