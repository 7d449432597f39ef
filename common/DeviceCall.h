#ifndef DEVICECALL_H
#define DEVICECALL_H

#include <functional>
#include <type_traits>
#include <utility>

class QObject;

// A library call made on the user-interface thread runs on a worker thread
// while this thread's event loop goes on: painting, the live picture, timers
// and queued signals carry on over a slow link. User input waits until the
// call returns (it is kept, not dropped), and a wait longer than ~100 ms shows
// the busy cursor. The caller gets the call's result as if it had made the
// call itself, so a page reads as before:
//
//     const int status = DeviceCall::run(TMV_NET_GetTempUnit, m_handle, &unit);
//
// Threading model: a call from any other thread (the library's callback
// threads, the recorder's) runs directly, as does one made inside a Direct
// scope (teardown) or once the application is closing down. A wait returns
// only once its call has returned, whatever the event loops do meanwhile, so
// the call's arguments (often the caller's members) stay valid throughout.
//
// Re-entrancy during a wait:
// - a timer or queued slot may run and call the library itself: its call
//   waits in a loop nested inside the first one. Periodic polls skip their
//   tick instead (Waiting()), so a poll never runs in the middle of another
//   operation;
// - a deleteLater() that comes due is held back until the outermost wait has
//   returned, so the object that made a call cannot go away under it (a
//   window closed with Qt::WA_DeleteOnClose, say);
// - a modal dialog opened by a slot (a device exception's box) runs its own
//   loop with user input, on top of the wait; the wait returns after it.
class DeviceCall
{
public:
    template <class Function, class... Args>
    static auto run(Function &&function, Args &&...args) -> decltype(function(std::forward<Args>(args)...))
    {
        using Result = decltype(function(std::forward<Args>(args)...));
        if (!Deferrable())
            return function(std::forward<Args>(args)...);
        if constexpr (std::is_void_v<Result>) {
            Wait([&] { function(std::forward<Args>(args)...); });
        } else {
            Result result{};
            Wait([&] { result = function(std::forward<Args>(args)...); });
            return result;
        }
    }

    // Whether a call of the user-interface thread is waiting (on that thread).
    static bool Waiting();

    // Runs `then` on `context`'s thread once no call waits any more (at once,
    // queued, when none does). A window's close waits so for a call in flight.
    static void AfterWaits(QObject *context, std::function<void()> then);

    // Calls made on this thread while one lives run directly: teardown
    // (logout, destructors) must not turn the event loop while objects go.
    class Direct
    {
    public:
        Direct();
        ~Direct();
        Direct(const Direct &) = delete;
        Direct &operator=(const Direct &) = delete;
    };

private:
    static bool Deferrable();
    static void Wait(const std::function<void()> &call);
};

#endif // DEVICECALL_H
