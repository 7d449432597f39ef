#include "model/Session.h"

#include "model/Device.h"
#include "model/Status.h"
#include "storage/Downloads.h"
#include "streams/EventThread.h"
#include "streams/PreviewStream.h"

#include <algorithm>

namespace sim {

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

int32_t Session::startPreview(int channel, TMV_NET_PREVIEW_CALLBACK callback, void *user)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (closed_ || (preview_ && preview_->active()))
            return kFailed;
        if (preview_)
            retired_.push_back(std::move(preview_));  // stopped from its own callback earlier
        preview_ = std::make_shared<PreviewStream>(device_, handle(), channel, callback, user);
        preview_->start();
    }
    reapRetired();
    return kOk;
}

int32_t Session::stopPreview()
{
    std::shared_ptr<PreviewStream> stream;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!preview_)
            return kFailed;
        if (preview_->onStreamThread()) {
            preview_->stop();  // ends after this callback; reaped on the next start or logout
            return kFailed;
        }
        stream = preview_;  // stays listed until joined, so a logout waits for it too
    }
    if (!stream->stop())
        return kFailed;  // its thread waits for ours: it ends after its callback, reaped later
    bool closedHere = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (preview_ == stream) {
            preview_.reset();
            closedHere = true;
        }
    }
    stream.reset();  // closes any recording
    reapRetired();
    return closedHere ? kOk : kFailed;
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

bool Session::onOwnStreamThread() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto &s : allStreamsLocked())
        if (s->onStreamThread())
            return true;
    return false;
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
        retired_ = running;
    }
    streams.clear();  // the ended streams go here, on this thread
    return ended && running.empty();
}

}  // namespace sim
