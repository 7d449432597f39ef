#include "device/Session.h"

#include "alarms/AlarmEngine.h"
#include "alarms/AlarmSubscription.h"
#include "base/Status.h"
#include "device/Device.h"
#include "settings/Settings.h"
#include "storage/Downloads.h"
#include "streams/EventThread.h"
#include "streams/PreviewStream.h"
#include "streams/RawStream.h"
#include "streams/TempStream.h"

#include <algorithm>

namespace sim {

namespace {

// A stream holds what it reads of the device by pointers that share the
// device's ownership, so the device outlives every stream of it.
template <class T>
std::shared_ptr<T> partOf(const std::shared_ptr<Device> &device, T &part)
{
    return std::shared_ptr<T>(device, &part);
}

}  // namespace

Session::Session(uint64_t id, std::shared_ptr<Device> device)
    : id_(id), device_(std::move(device)), downloads_(new DownloadSet)
{
}

Session::~Session()
{
    shutdown();
}

void Session::setExceptionCallback(TMV_NET_EXCEPTION_CALLBACK callback, void *user)
{
    std::lock_guard<std::mutex> lock(mutex_);
    exceptionCallback_ = callback;
    exceptionUser_ = user;
}

void Session::raiseException(int32_t type)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (closed_ || !exceptionCallback_)
        return;
    TMV_NET_EXCEPTION_CALLBACK callback = exceptionCallback_;
    void *user = exceptionUser_;
    TMV_NET_HANDLE handle = this->handle();
    // Queued under the lock: shutdown() either sees it and cancels it, or
    // this call sees closed_.
    EventThread::instance().post(0, id_, [callback, user, handle, type] { callback(handle, type, user); });
}

Session::Streams Session::allStreamsLocked() const
{
    Streams all = retired_;
    if (preview_)
        all.push_back(preview_);
    if (temp_)
        all.push_back(temp_);
    if (raw_)
        all.push_back(raw_);
    return all;
}

void Session::reapRetired()
{
    Streams joinable;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const auto &s : retired_)
            if (!s->onStreamThread())
                joinable.push_back(s);
    }
    Streams ended;
    for (const auto &s : joinable)
        if (s->stop())
            ended.push_back(s);
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto &s : ended)
        retired_.erase(std::remove(retired_.begin(), retired_.end(), s), retired_.end());
    // The last references go here, on this thread, after the lock.
}

template <class S, class Make>
int32_t Session::openStream(std::shared_ptr<S> &slot, Make make, OnSecondStart second)
{
    std::shared_ptr<S> replaced;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (closed_ || (slot && slot->active() && second == OnSecondStart::Refuse))
            return kFailed;
        if (slot && slot->active())
            replaced = slot;
        if (slot)
            retired_.push_back(std::move(slot));  // replaced, or stopped from its own callback earlier
        slot = make();
        slot->start();
    }
    if (replaced)
        replaced->stop();  // joins it, or from its own callback lets it end after
    reapRetired();
    return kOk;
}

template <class S>
int32_t Session::closeStream(std::shared_ptr<S> &slot)
{
    std::shared_ptr<S> stream;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!slot)
            return kFailed;
        if (slot->onStreamThread()) {
            slot->stop();  // ends after this callback; reaped on the next start or logout
            return kFailed;
        }
        stream = slot;  // stays listed until joined, so a logout waits for it too
    }
    if (!stream->stop())
        return kFailed;  // its thread waits for ours: it ends after its callback, reaped later
    bool closedHere = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (slot == stream) {
            slot.reset();
            closedHere = true;
        }
    }
    stream.reset();  // the last reference goes here, outside the lock (a preview closes its recording)
    reapRetired();
    return closedHere ? kOk : kFailed;
}

int32_t Session::startPreview(int channel, TMV_NET_PREVIEW_CALLBACK callback, void *user)
{
    return openStream(preview_, [&] {
        const ChannelProfile &c = device_->profile().channels[size_t(channel)];
        return std::make_shared<PreviewStream>(partOf(device_, device_->producer(channel)),
                                               partOf<const Settings>(device_, device_->settings()), channel, c.width,
                                               c.height, handle(), callback, user);
    });
}

int32_t Session::stopPreview()
{
    return closeStream(preview_);
}

int Session::previewChannel() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return preview_ && preview_->active() ? preview_->channel() : -1;
}

int32_t Session::startRecord(const std::string &path)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!preview_ || !preview_->active())
        return kFailed;
    return preview_->startRecord(path);
}

int32_t Session::stopRecord()
{
    std::shared_ptr<PreviewStream> stream;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stream = preview_;
    }
    return stream ? stream->stopRecord() : kFailed;
}

// ---- Temperature and raw streams -------------------------------------------

int32_t Session::startTempStream(TMV_NET_TEMP_CALLBACK callback, void *user)
{
    // The client opens it from two tabs; the newest callback takes over.
    return openStream(
        temp_,
        [&] {
            const int channel = device_->profile().thermalChannel;
            return std::make_shared<TempStream>(partOf(device_, device_->producer(channel)),
                                                partOf<const Settings>(device_, device_->settings()), channel,
                                                handle(), callback, user);
        },
        OnSecondStart::Replace);
}

int32_t Session::stopTempStream()
{
    return closeStream(temp_);
}

int32_t Session::startRawStream(TMV_NET_NUC_DATA_CALLBACK callback, void *user)
{
    return openStream(raw_, [&] {
        return std::make_shared<RawStream>(partOf(device_, device_->producer(device_->profile().thermalChannel)),
                                           partOf<const Settings>(device_, device_->settings()), device_->profile(),
                                           handle(), callback, user);
    });
}

int32_t Session::stopRawStream()
{
    return closeStream(raw_);
}

// ---- end of temperature and raw streams ------------------------------------

bool Session::onOwnStreamThread() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto &s : allStreamsLocked())
        if (s->onStreamThread())
            return true;
    return onOwnAlarmThreadLocked();
}

void Session::endStreams()
{
    Streams streams;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        streams = allStreamsLocked();
    }
    for (const auto &s : streams)
        s->stop();
    // A device that went away pushes no alarms and serves no files either.
    endAlarms();
    downloads_->stopAll();
}

bool Session::shutdown()
{
    Streams streams;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closed_ = true;
        exceptionCallback_ = nullptr;
        streams = allStreamsLocked();
    }
    downloads_->stopAll();  // their threads call nothing back, so joining here is safe
    bool ended = EventThread::instance().cancel(id_);
    Streams running;
    for (const auto &s : streams)
        if (!s->stop())
            running.push_back(s);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        // What could not be joined from here stays listed for the next try.
        preview_.reset();
        temp_.reset();
        raw_.reset();
        retired_ = running;
    }
    streams.clear();  // the ended streams go here, on this thread
    const bool alarmsEnded = endAlarms();
    return ended && running.empty() && alarmsEnded;
}

// ---- Alarm subscription ---------------------------------------------------

int32_t Session::subscribeAlarm(bool snapshots, TMV_NET_ALARM_CALLBACK callback, void *user)
{
    std::shared_ptr<AlarmSubscription> replaced;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (closed_)
            return kFailed;
        if (alarm_) {
            // One subscription per login: subscribing again replaces it, so
            // either of the client's two alarm rows can end what the other
            // started.
            device_->alarms().unsubscribe(alarm_);
            replaced = alarm_;
            retiredAlarms_.push_back(std::move(alarm_));
        }
        alarm_ = std::make_shared<AlarmSubscription>(handle(), snapshots, callback, user);
        alarm_->start();
        // Under the lock, so a shutdown either sees it listed or ran before.
        device_->alarms().subscribe(alarm_);
    }
    if (replaced)
        replaced->stop();  // joins it, or from its own callback lets it end after
    reapRetiredAlarms();
    return kOk;
}

int32_t Session::unsubscribeAlarm()
{
    std::shared_ptr<AlarmSubscription> sub;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!alarm_)
            return kFailed;
        sub = alarm_;
    }
    const bool wasActive = sub->active();
    device_->alarms().unsubscribe(sub);  // no new alarms reach it
    if (!sub->stop())
        return kFailed;  // inside its callback, or that callback waits for us: it ends after it
    bool closedHere = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (alarm_ == sub) {
            alarm_.reset();
            closedHere = true;
        }
    }
    sub.reset();
    reapRetiredAlarms();
    return wasActive && closedHere ? kOk : kFailed;
}

bool Session::onOwnAlarmThreadLocked() const
{
    if (alarm_ && alarm_->onOwnThread())
        return true;
    for (const auto &a : retiredAlarms_)
        if (a->onOwnThread())
            return true;
    return false;
}

void Session::reapRetiredAlarms()
{
    Alarms joinable;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const auto &a : retiredAlarms_)
            if (!a->onOwnThread())
                joinable.push_back(a);
    }
    Alarms ended;
    for (const auto &a : joinable)
        if (a->stop())
            ended.push_back(a);
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto &a : ended)
        retiredAlarms_.erase(std::remove(retiredAlarms_.begin(), retiredAlarms_.end(), a), retiredAlarms_.end());
}

bool Session::endAlarms()
{
    Alarms all;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        all = retiredAlarms_;
        if (alarm_)
            all.push_back(alarm_);
    }
    Alarms running;
    for (const auto &a : all) {
        device_->alarms().unsubscribe(a);
        if (!a->stop())
            running.push_back(a);
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        alarm_.reset();
        retiredAlarms_ = running;  // joined by a later shutdown from outside
    }
    return running.empty();
}

}  // namespace sim
