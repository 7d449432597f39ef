#pragma once
// Shared front half of every C entry point: it journals the call, applies an
// injected fault, finds the session and checks the argument rules of the
// contract. The first failing rule decides the status; later checks are
// no-ops, so a call chain reads top to bottom like the argument list. The
// call then reaches the model through the login's device (api/ptz.cpp):
//
//   TMV_NET_API int32_t TMV_NET_QueryPtzPreset(TMV_NET_HANDLE handle, TMV_NET_PRESET_INFO *presets,
//                                              int32_t capacity, int32_t *count)
//   {
//       EntryPoint call(__func__, handle);
//       call.array(presets, capacity).input(&capacity, sizeof capacity).output(count);
//       if (!call.ok())
//           return call.status();
//       return call.answerList(call.device().head().presets(), presets, capacity, count);
//   }
//
// Status precedence: injected fault, then unknown/null handle (1), then the
// first argument rule that fails (3).

#include "TMVNetSDK.h"
#include "base/Status.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace sim {
class Device;
class Session;
}

namespace sim::api {

class EntryPoint {
public:
    // For calls without a handle (Init, Login, SearchDev).
    explicit EntryPoint(const char *name);
    // For calls on a login: an unknown or null handle fails with 1.
    EntryPoint(const char *name, TMV_NET_HANDLE handle);
    ~EntryPoint();  // commits the journal entry
    EntryPoint(const EntryPoint &) = delete;
    EntryPoint &operator=(const EntryPoint &) = delete;

    // An input record or scalar: journals its bytes; null gives 3.
    EntryPoint &input(const void *record, size_t size);
    // A record the call fills: null gives 3. Nothing is journalled.
    EntryPoint &output(const void *record);
    // An array of `capacity` records the call fills: a negative capacity
    // gives 3; a null array gives 3 unless the capacity is 0.
    EntryPoint &array(const void *array, int32_t capacity);
    // A fixed-size text field inside a record: no NUL within `size` bytes
    // gives 3 (the library never reads past the field).
    EntryPoint &text(const char *field, size_t size);
    // A NUL-terminated string argument such as a file path: null or empty
    // gives 3; journals the text with its NUL.
    EntryPoint &string(const char *text);
    // A callback argument: null gives 3.
    EntryPoint &callback(const void *function);
    template <typename Fn>
    EntryPoint &callbackFn(Fn *function) { return callback(reinterpret_cast<const void *>(function)); }
    // Any other argument rule of the caller's own: false gives 3.
    EntryPoint &require(bool condition);

    bool ok() const { return status_ == kOk; }
    int32_t status() const { return status_; }

    // The login this call runs on, and its device; only valid when ok() and
    // a handle was given.
    Session &session() const { return *session_; }
    std::shared_ptr<Session> sessionPtr() const { return session_; }
    Device &device() const;

    // Count to report for a list query that holds `available` records and got
    // `capacity` slots; honours an injected over-report fault.
    int32_t reportedCount(int32_t available, int32_t capacity) const;
    // The answer of a list query once its checks passed: copies at most
    // `capacity` of `items` into `array` and writes the count to report.
    template <class T>
    int32_t answerList(const std::vector<T> &items, T *array, int32_t capacity, int32_t *count) const
    {
        std::copy_n(items.begin(), std::min(items.size(), size_t(capacity)), array);
        *count = reportedCount(int32_t(items.size()), capacity);
        return kOk;
    }

    // The answer of an entry point whose behaviour has not been built yet.
    int32_t notSupported() const { return ok() ? kNotSupported : status_; }

private:
    void fail(int32_t status);

    const char *name_;
    int32_t status_ = kOk;
    std::shared_ptr<Session> session_;
    std::vector<uint8_t> journal_;
};

}  // namespace sim::api
