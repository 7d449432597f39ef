#include "model/Session.h"

#include "model/Device.h"
#include "streams/EventThread.h"
#include "streams/PreviewStream.h"

namespace sim {

Session::Session(uint64_t id, std::shared_ptr<Device> device) : id_(id), device_(std::move(device)) {}

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
    TMV_NET_EXCEPTION_CALLBACK callback;
    void *user;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (closed_ || !exceptionCallback_)
            return;
        callback = exceptionCallback_;
        user = exceptionUser_;
    }
    TMV_NET_HANDLE handle = this->handle();
    EventThread::instance().post(0, id_, [callback, user, handle, type] { callback(handle, type, user); });
}

int32_t Session::startPreview(int channel, TMV_NET_PREVIEW_CALLBACK callback, void *user)
{
    std::shared_ptr<PreviewStream> ended;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (closed_ || (preview_ && preview_->active()))
            return 1;
        ended = std::move(preview_);  // stopped from its own callback earlier
    }
    if (ended)
        ended->stop();
    ended.reset();
    std::lock_guard<std::mutex> lock(mutex_);
    if (closed_ || preview_)
        return 1;
    preview_ = std::make_shared<PreviewStream>(device_, handle(), channel, callback, user);
    preview_->start();
    return 0;
}

int32_t Session::stopPreview()
{
    std::shared_ptr<PreviewStream> stream;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!preview_)
            return 1;
        if (preview_->onStreamThread()) {
            preview_->stop();  // ends after this callback; reaped on the next start or logout
            return 1;
        }
        stream = std::move(preview_);
    }
    stream->stop();  // joins the stream thread
    stream.reset();  // closes any recording
    return 0;
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
        return 1;
    return preview_->startRecord(path);
}

int32_t Session::stopRecord()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!preview_)
        return 1;
    return preview_->stopRecord();
}

bool Session::onOwnStreamThread() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return preview_ && preview_->onStreamThread();
}

void Session::endStreams()
{
    std::shared_ptr<PreviewStream> stream;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stream = preview_;
    }
    if (stream)
        stream->stop();
}

void Session::shutdown()
{
    std::shared_ptr<PreviewStream> stream;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closed_ = true;
        exceptionCallback_ = nullptr;
        stream = std::move(preview_);
    }
    EventThread::instance().cancel(id_);
    if (stream)
        stream->stop();
    stream.reset();
}

}  // namespace sim
