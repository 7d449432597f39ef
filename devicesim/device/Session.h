#pragma once
// One login: its handle, its device, its exception callback and its streams.
//
// Threading model: API calls may come from any thread; mutex_ guards the
// callback, the streams, the alarm subscription and closed_. A stream stays listed here until its
// thread has been joined, so shutdown() always waits for every stream of the
// login, including one that a concurrent StopPreview is still joining, and
// one that was stopped from inside its own callback and replaced there.
// Joins happen outside mutex_, so a callback that calls back into the library
// cannot deadlock. An exception is queued under mutex_, so once shutdown()
// has set closed_ and cancelled the login's queued events, none is left.

#include "TMVNetSDK.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace sim {

class ChannelStream;
class AlarmSubscription;
class Device;
class DownloadSet;
class PreviewStream;
class RawStream;
class TempStream;

class Session {
public:
    Session(uint64_t id, std::shared_ptr<Device> device);
    ~Session();

    uint64_t id() const { return id_; }
    TMV_NET_HANDLE handle() const { return reinterpret_cast<TMV_NET_HANDLE>(uintptr_t(id_)); }
    Device &device() const { return *device_; }
    std::shared_ptr<Device> devicePtr() const { return device_; }

    void setExceptionCallback(TMV_NET_EXCEPTION_CALLBACK callback, void *user);
    // Delivers `type` to the exception callback on the event thread.
    void raiseException(int32_t type);

    int32_t startPreview(int channel, TMV_NET_PREVIEW_CALLBACK callback, void *user);
    int32_t stopPreview();
    // The open preview's channel, or -1.
    int previewChannel() const;
    int32_t startRecord(const std::string &path);
    int32_t stopRecord();

    // ---- Temperature and raw streams: one of each, stopped as the preview.
    int32_t startTempStream(TMV_NET_TEMP_CALLBACK callback, void *user);
    int32_t stopTempStream();
    int32_t startRawStream(TMV_NET_NUC_DATA_CALLBACK callback, void *user);
    int32_t stopRawStream();
    // ---- end of temperature and raw streams
    // ---- Alarm subscription -------------------------------------------
    // One subscription per login: subscribing again replaces it (the new
    // callback, user and snapshot flag). Without the snapshot flag the
    // records carry no pictures.
    int32_t subscribeAlarm(bool snapshots, TMV_NET_ALARM_CALLBACK callback, void *user);
    // kFailed when not subscribed, and from inside the alarm callback (or a
    // thread it waits for): the subscription then ends after that callback.
    int32_t unsubscribeAlarm();
    // ---- end of alarm subscription ------------------------------------
    // ---- SD-card downloads: the login's own; shutdown() stops them all.
    DownloadSet &downloads() const { return *downloads_; }
    // ----

    // True on a thread that runs one of this login's stream callbacks.
    bool onOwnStreamThread() const;
    // Ends the streams, the alarm subscription and the downloads (the device
    // went away); a later stop of a stream still succeeds.
    void endStreams();
    // Stops everything this login started; when it returns true no
    // callback of it runs any more. False when a callback could not be
    // waited for from this thread (it waits for this thread itself): that
    // callback ends on its own, and a later shutdown() from another thread
    // completes the job. Never called on one of the login's own stream
    // threads.
    bool shutdown();

private:
    using Streams = std::vector<std::shared_ptr<ChannelStream>>;
    // Joins the retired streams that are not the calling thread's.
    void reapRetired();
    // Start and stop of the stream in `slot`, whichever kind: at most one
    // open; one stopped from its own callback is retired by the next start.
    // A second start while one runs is refused (the preview, the raw stream)
    // or replaces it (the temperature stream, which the client opens from
    // two tabs).
    enum class OnSecondStart { Refuse, Replace };
    template <class S, class Make>
    int32_t openStream(std::shared_ptr<S> &slot, Make make, OnSecondStart second = OnSecondStart::Refuse);
    template <class S>
    int32_t closeStream(std::shared_ptr<S> &slot);
    Streams allStreamsLocked() const;

    // ---- Alarm subscription -------------------------------------------
    using Alarms = std::vector<std::shared_ptr<AlarmSubscription>>;
    // Ends every subscription of the login (shutdown); false when one
    // could not be joined from here (it stays listed).
    bool endAlarms();
    void reapRetiredAlarms();
    bool onOwnAlarmThreadLocked() const;
    // ---- end of alarm subscription ------------------------------------

    const uint64_t id_;
    const std::shared_ptr<Device> device_;
    const std::unique_ptr<DownloadSet> downloads_;  // its own lock; never called under mutex_
    mutable std::mutex mutex_;  // protects the members below
    TMV_NET_EXCEPTION_CALLBACK exceptionCallback_ = nullptr;
    void *exceptionUser_ = nullptr;
    std::shared_ptr<PreviewStream> preview_;  // the open (or self-stopped) preview
    std::shared_ptr<TempStream> temp_;        // the same for the temperature stream
    std::shared_ptr<RawStream> raw_;          // and for the raw stream
    Streams retired_;                         // replaced before their thread was joined
    bool closed_ = false;
    // Alarm subscription, under mutex_: the open one (or one that was
    // unsubscribed from its own callback), and those replaced before their
    // thread was joined.
    std::shared_ptr<AlarmSubscription> alarm_;
    Alarms retiredAlarms_;
};

}  // namespace sim
