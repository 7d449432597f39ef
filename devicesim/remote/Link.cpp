#include "remote/Link.h"
#include "remote/Control.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <pthread.h>
#include <utility>

namespace sim::remote {

namespace {

// The exceptions a lost connection raises: the device's, then one for each
// stream the login had running.
constexpr int32_t kDeviceOffline = 1001;
constexpr int32_t kPreviewOffline = 1002;
constexpr int32_t kAlarmOffline = 1003;
constexpr int32_t kTempOffline = 1004;

Stream streamOf(wire::EventKind kind)
{
    switch (kind) {
    case wire::EventKind::Exception:
        return Stream::Exception;
    case wire::EventKind::Preview:
        return Stream::Preview;
    case wire::EventKind::Temp:
        return Stream::Temp;
    case wire::EventKind::Raw:
        return Stream::Raw;
    case wire::EventKind::Alarm:
        return Stream::Alarm;
    case wire::EventKind::FileData:
    case wire::EventKind::FileEnd:
        break;  // no callback's
    }
    return Stream::Count;
}

wire::EventKind kindOf(const wire::Buffer &event)
{
    wire::Reader r(event);
    return wire::EventKind(r.value<uint32_t>());
}

using Clock = std::chrono::steady_clock;

int elapsedMs(Clock::time_point since)
{
    return int(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

}  // namespace

int linkTimeoutMs()
{
    static const int ms = [] {
        const char *given = std::getenv("TMVNET_LINK_TIMEOUT_MS");
        const int read = given ? std::atoi(given) : 0;
        // Longer than the device's ping period, or a quiet link would count
        // as lost.
        return read > 0 ? std::max(read, 3 * wire::kPingEveryMs / 2) : 5000;
    }();
    return ms;
}

Link::Link(wire::Socket socket, uint64_t token, TMV_NET_HANDLE handle)
    : socket_(std::move(socket)), token_(token), handle_(handle)
{
    // A device that takes nothing (a cut wire) fails a send, not hangs it.
    socket_.setSendTimeout(linkTimeoutMs());
    reader_ = std::thread([this] { readLoop(); });
    callbackThread_ = std::thread([this] { callbackLoop(); });
    // Named, so a profile (and the pipeline benchmark) can tell them apart.
    ::pthread_setname_np(reader_.native_handle(), "tmvnet-read");
    ::pthread_setname_np(callbackThread_.native_handle(), "tmvnet-callback");
}

Link::~Link()
{
    close();
}

bool Link::call(const wire::Buffer &request, wire::Buffer *reply)
{
    Pending answer;
    if (!roundTrip(wire::MessageType::Call, request, &answer))
        return false;
    reply->swap(answer.reply);
    return true;
}

bool Link::settle()
{
    // The device answers a ping of ours after everything it queued before.
    Pending answer;
    if (!roundTrip(wire::MessageType::Ping, {}, &answer))
        return false;
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return taken_ >= answer.queuedBefore || lost_ || closing_; });
    return taken_ >= answer.queuedBefore;
}

bool Link::roundTrip(wire::MessageType type, const wire::Buffer &payload, Pending *answer)
{
    uint32_t sequence = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (lost_ || closing_)
            return false;
        sequence = nextSequence_++;
        pending_[sequence];
    }
    bool sent = false;
    {
        std::lock_guard<std::mutex> lock(writeMutex_);
        sent = socket_.send(type, sequence, payload);
    }
    // Half a message may have gone: nothing more can follow it.
    if (!sent)
        markLost();
    std::unique_lock<std::mutex> lock(mutex_);
    Pending &p = pending_[sequence];
    // The answer or the link's end: a silent link ends after the link
    // timeout (readLoop), while a device that keeps talking (frames, pings)
    // may take longer over a call, as a stepping test's frames make it.
    if (sent)
        changed_.wait(lock, [&] { return p.answered || lost_ || closing_; });
    const bool answered = p.answered;
    if (answered)
        *answer = std::move(p);
    pending_.erase(sequence);
    return answered;
}

Callback Link::setCallback(Stream stream, Callback callback)
{
    std::lock_guard<std::mutex> lock(mutex_);
    Callback before = callbacks_[int(stream)];
    callbacks_[int(stream)] = callback;
    return before;
}

bool Link::claimCallback(Stream stream, Callback callback)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (callbacks_[int(stream)].function)
        return false;
    callbacks_[int(stream)] = callback;
    return true;
}

bool Link::stopCallbacks(Stream stream)
{
    std::unique_lock<std::mutex> lock(mutex_);
    callbacks_[int(stream)] = {};
    if (onCallbackThread())
        return running_ != int(stream);
    changed_.wait(lock, [&] { return running_ != int(stream); });
    return true;
}

bool Link::lost() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return lost_;
}

void Link::expectEnd()
{
    std::lock_guard<std::mutex> lock(mutex_);
    ending_ = true;
}

bool Link::onCallbackThread() const
{
    return std::this_thread::get_id() == callbackThread_.get_id();
}

void Link::close()
{
    std::lock_guard<std::mutex> closing(closeMutex_);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    socket_.shutdown();
    if (reader_.joinable())
        reader_.join();
    if (callbackThread_.joinable())
        callbackThread_.join();
    transfers_.closeAll();
}

void Link::readLoop()
{
    const int timeout = linkTimeoutMs();
    Clock::time_point heard = Clock::now();
    for (;;) {
        wire::Message message;
        // The device pings a quiet link every second: silence for the link
        // timeout means it is gone (or its wire cut).
        const int quiet = elapsedMs(heard);
        if (quiet >= timeout) {
            markLost();
            return;
        }
        const wire::ReadResult result = socket_.read(&message, timeout - quiet, timeout);
        if (result == wire::ReadResult::Idle)
            continue;
        if (result != wire::ReadResult::Ok) {
            markLost();
            return;
        }
        heard = Clock::now();
        // Our own ping comes back after every event sent before it.
        if (message.header.type == wire::MessageType::Ping && message.header.sequence != 0) {
            std::lock_guard<std::mutex> lock(mutex_);
            auto it = pending_.find(message.header.sequence);
            if (it != pending_.end()) {
                it->second.queuedBefore = queued_;
                it->second.answered = true;
            }
            changed_.notify_all();
            continue;
        }
        switch (message.header.type) {
        case wire::MessageType::Reply: {
            std::lock_guard<std::mutex> lock(mutex_);
            auto it = pending_.find(message.header.sequence);
            if (it != pending_.end()) {
                it->second.reply.swap(message.payload);
                it->second.answered = true;
            }
            break;
        }
        case wire::MessageType::Event: {
            // A file's bytes go to their file here, before the replies after them.
            wire::FileEvent file;
            if (wire::readFileEvent(message.payload, &file))
                transfers_.apply(file);
            else
                queueEvent(std::move(message.payload));
            break;
        }
        case wire::MessageType::Ping:
            continue;
        default:
            markLost();  // not a message a device sends now
            return;
        }
        changed_.notify_all();
    }
}

void Link::queueEvent(wire::Buffer event)
{
    const wire::EventKind kind = kindOf(event);
    std::lock_guard<std::mutex> lock(mutex_);
    if (wire::droppable(kind) && !clockHeld()) {
        // A frame still waiting gives its place to the newer one.
        for (wire::Buffer &waiting : events_)
            if (kindOf(waiting) == kind) {
                waiting.swap(event);
                return;
            }
    }
    events_.push_back(std::move(event));
    ++queued_;
}

void Link::markLost()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (lost_)
            return;
        lost_ = true;
        if (!closing_ && !ending_) {  // not our own logout closing it
            events_.push_back(wire::exceptionEvent(kDeviceOffline));
            const std::pair<Stream, int32_t> streams[] = {
                {Stream::Preview, kPreviewOffline}, {Stream::Alarm, kAlarmOffline}, {Stream::Temp, kTempOffline}};
            for (const auto &[stream, type] : streams)
                if (callbacks_[int(stream)].function)
                    events_.push_back(wire::exceptionEvent(type));
            // The streams are over: no frame still waiting reaches a callback.
            for (Stream stream : {Stream::Preview, Stream::Temp, Stream::Raw, Stream::Alarm})
                callbacks_[int(stream)] = {};
        }
    }
    // The device finds the connection closed when its wire carries again.
    socket_.shutdown();
    transfers_.linkLost();
    changed_.notify_all();
}

void Link::callbackLoop()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return closing_ || !events_.empty(); });
        if (closing_)
            return;
        wire::Buffer payload = std::move(events_.front());
        events_.pop_front();
        lock.unlock();
        wire::Event event;
        const bool good = wire::readEvent(payload, &event);
        lock.lock();
        // A malformed event is dropped, the link stays.
        const Stream stream = good ? streamOf(event.kind) : Stream::Count;
        const Callback callback = good ? callbacks_[int(stream)] : Callback{};
        if (callback.function) {
            running_ = int(stream);
            lock.unlock();
            dispatch(event, callback);
            lock.lock();
            running_ = -1;
        }
        ++taken_;
        changed_.notify_all();
    }
}

void Link::dispatch(const wire::Event &e, Callback c)
{
    // The pixels live in this event's own buffer, writable as the record says.
    auto *pixels = const_cast<uint8_t *>(e.pixels);
    switch (e.kind) {
    case wire::EventKind::Exception:
        reinterpret_cast<TMV_NET_EXCEPTION_CALLBACK>(c.function)(handle_, e.code, c.user);
        break;
    case wire::EventKind::Preview: {
        TMV_NET_PREVIEW_FRAME frame{pixels, e.width, e.height, e.showWidth, e.showHeight};
        reinterpret_cast<TMV_NET_PREVIEW_CALLBACK>(c.function)(handle_, e.code, &frame, c.user);
        break;
    }
    case wire::EventKind::Temp: {
        TMV_NET_TEMP_FRAME frame{reinterpret_cast<uint16_t *>(pixels), e.width, e.height};
        reinterpret_cast<TMV_NET_TEMP_CALLBACK>(c.function)(handle_, &frame, e.code, c.user);
        break;
    }
    case wire::EventKind::Raw:
        reinterpret_cast<TMV_NET_NUC_DATA_CALLBACK>(c.function)(handle_, reinterpret_cast<const uint16_t *>(pixels),
                                                                 e.width, e.height, c.user);
        break;
    case wire::EventKind::Alarm:
        reinterpret_cast<TMV_NET_ALARM_CALLBACK>(c.function)(handle_, e.code, e.record.data(), c.user);
        break;
    case wire::EventKind::FileData:
    case wire::EventKind::FileEnd:
        break;  // written by the reader
    }
}

}  // namespace sim::remote
