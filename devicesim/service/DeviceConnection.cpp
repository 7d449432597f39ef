#include "service/DeviceConnection.h"

#include "base/SimClock.h"
#include "service/Dispatch.h"
#include "storage/FileTap.h"
#include "wire/Auth.h"
#include "wire/Events.h"
#include "wire/Functions.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace sim::service {

namespace {

using Clock = std::chrono::steady_clock;

// A limited wire sends a message in pieces of about 20 ms of its pace, so
// that the client sees bytes arrive all along, as on a slow link.
size_t pieceSize(int64_t bytesPerSecond)
{
    return std::clamp<size_t>(size_t(bytesPerSecond / 50), 4 << 10, 256 << 10);
}

// A scratch file whose writes go to the client as transfer `transfer`; the
// file goes once it is finished.
class ClientTap : public FileTap {
public:
    ClientTap(std::shared_ptr<FileOutlet> outlet, uint32_t transfer, std::string path)
        : outlet_(std::move(outlet)), transfer_(transfer), path_(std::move(path))
    {
    }
    bool wrote(int64_t offset, const uint8_t *data, size_t size) override
    {
        for (size_t done = 0; done < size;) {
            const size_t n = std::min(size - done, wire::kFileChunk);
            if (!outlet_->push(wire::fileDataEvent(transfer_, offset + int64_t(done), data + done, n)))
                return false;
            done += n;
        }
        return true;
    }
    void finished(bool kept, int64_t size) override
    {
        outlet_->push(wire::fileEndEvent(transfer_, kept, size));
        std::remove(path_.c_str());
    }

private:
    const std::shared_ptr<FileOutlet> outlet_;
    const uint32_t transfer_;
    const std::string path_;
};

}  // namespace

bool FileOutlet::push(wire::Buffer event)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return connection_ && connection_->pushFileEvent(std::move(event));
}

void FileOutlet::close()
{
    std::lock_guard<std::mutex> lock(mutex_);
    connection_ = nullptr;
}

DeviceConnection::DeviceConnection(wire::Socket socket, const DeviceProfile &device, LogLine log)
    : socket_(std::move(socket)), device_(device), log_(std::move(log)), peer_(socket_.peerName()),
      wire_(wire::wireOf(device.address)), outlet_(std::make_shared<FileOutlet>(this))
{
}

void DeviceConnection::log(const std::string &what)
{
    log_(device_.address + ":" + std::to_string(device_.port) + " " + what + " (peer " + peer_ + ")");
}

std::string DeviceConnection::scratchFolder()
{
    if (scratch_.empty()) {
        const char *tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/sdkdemo-devices-XXXXXX";
        if (::mkdtemp(pattern.data()))
            scratch_ = pattern;
    }
    return scratch_;
}

std::string DeviceConnection::liveFile(uint32_t transfer, const std::string &name, bool writable)
{
    const std::string folder = scratchFolder();
    // A folder never made: the call cannot create its file, as at home.
    if (!writable || folder.empty())
        return (folder.empty() ? std::string("/nonexistent") : folder) + "/absent/" + name;
    const std::string path = folder + "/" + std::to_string(transfer) + "-" + name;
    fileTaps::add(path, std::make_shared<ClientTap>(outlet_, transfer, path));
    return path;
}

void DeviceConnection::liveFileTaken(const std::string &path)
{
    fileTaps::remove(path);
}

bool DeviceConnection::pushFileEvent(wire::Buffer event)
{
    const size_t bytes = event.size();
    {
        std::unique_lock<std::mutex> lock(queueMutex_);
        drained_.wait(lock, [&] {
            return writerDone_ || filesClosed_ || queuedFileBytes_ + bytes <= kMaxQueuedFileBytes
                   || queuedFileBytes_ == 0;
        });
        if (writerDone_ || filesClosed_)
            return false;
        queuedFileBytes_ += bytes;
        outgoing_.push_back({wire::MessageType::Event, 0, std::move(event), 0, bytes, Clock::now()});
    }
    queued_.notify_one();
    return true;
}

void DeviceConnection::closeFiles()
{
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        filesClosed_ = true;
    }
    drained_.notify_all();
    outlet_->close();
}

void DeviceConnection::stop()
{
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        stopped_ = true;
    }
    wireChanged_.notify_all();
    socket_.shutdown();
}

bool DeviceConnection::send(wire::MessageType type, uint32_t sequence, const wire::Buffer &payload)
{
    // The login's few bytes only wait for the wire's delay.
    if (!wire_->clean())
        std::this_thread::sleep_for(std::chrono::milliseconds(wire_->settings().delayMs));
    return socket_.send(type, sequence, payload);
}

void DeviceConnection::pushEvent(wire::Buffer event)
{
    queue(wire::MessageType::Event, 0, std::move(event));
}

bool DeviceConnection::frameWaiting(wire::EventKind kind)
{
    std::lock_guard<std::mutex> lock(queueMutex_);
    for (const Outgoing &waiting : outgoing_)
        if (waiting.droppableKind == int(kind))
            return true;
    return false;
}

void DeviceConnection::queue(wire::MessageType type, uint32_t sequence, wire::Buffer payload)
{
    int kind = 0;
    if (type == wire::MessageType::Event) {
        wire::Reader r(payload);
        const auto k = wire::EventKind(r.value<uint32_t>());
        if (wire::droppable(k))
            kind = int(k);
    }
    // On a paused clock a stepping test wants every frame: the device's
    // thread waits for the one before to go out (the step waits for it).
    if (kind != 0 && SimClock::instance().paused())
        waitForQueue([&] {
            for (const Outgoing &waiting : outgoing_)
                if (waiting.droppableKind == kind)
                    return false;
            return true;
        });
    {
        std::unique_lock<std::mutex> lock(queueMutex_);
        if (writerDone_)
            return;
        // What the connection's own thread says (replies, pings) goes out
        // at once when nothing waits before it: no hop through the writer.
        if (type != wire::MessageType::Event && outgoing_.empty() && !sending_ && line_.empty() && wire_->clean()) {
            sending_ = true;
            lock.unlock();
            const bool sent = socket_.send(type, sequence, payload);
            lock.lock();
            sending_ = false;
            if (!sent)
                writerFailedLocked();
            lock.unlock();
            queued_.notify_one();
            return;
        }
        for (Outgoing &waiting : outgoing_)
            if (kind != 0 && waiting.droppableKind == kind) {
                waiting.payload.swap(payload);
                return;
            }
        // A reply goes ahead of the stream frames still waiting (they may be
        // dropped anyway), never ahead of an alarm or a file's bytes.
        auto at = outgoing_.end();
        if (type != wire::MessageType::Event)
            while (at != outgoing_.begin() && std::prev(at)->droppableKind != 0)
                --at;
        outgoing_.insert(at, {type, sequence, std::move(payload), kind, 0, Clock::now()});
    }
    queued_.notify_one();
}

void DeviceConnection::writerFailedLocked()
{
    // The client is gone: the reader sees it too and ends the session.
    outgoing_.clear();
    line_.clear();
    lineBytes_ = 0;
    headFrame_.clear();
    headSent_ = 0;
    pieceBytes_ = 0;
    queuedFileBytes_ = 0;
    writerDone_ = true;
    drained_.notify_all();
    socket_.shutdown();
}

void DeviceConnection::writeLoop()
{
    std::unique_lock<std::mutex> lock(queueMutex_);
    for (;;) {
        if (!line_.empty() || !wire_->clean()) {
            if (!writeFaulted(lock))
                return;
            continue;
        }
        queued_.wait(lock, [&] { return !sending_ && (writerDone_ || !outgoing_.empty() || !wire_->clean()); });
        if (!wire_->clean())
            continue;
        if (outgoing_.empty())
            return;  // done, and everything went out
        Outgoing next = std::move(outgoing_.front());
        outgoing_.pop_front();
        sending_ = true;
        lock.unlock();
        const bool sent = socket_.send(next.type, next.sequence, next.payload);
        lock.lock();
        sending_ = false;
        if (next.fileBytes > 0) {
            queuedFileBytes_ -= next.fileBytes;
            drained_.notify_all();
        }
        if (!sent) {
            writerFailedLocked();
            return;
        }
    }
}

void DeviceConnection::intake(const wire::WireFaults::Settings &wire)
{
    // A cut wire takes in no frames: they would only pile up.
    const size_t room = wire.cut ? 0
                        : wire.bytesPerSecond > 0 ? size_t(wire.bytesPerSecond * kBacklogMs / 1000)
                                                  : SIZE_MAX;
    for (auto it = outgoing_.begin(); it != outgoing_.end();) {
        if (it->droppableKind != 0 && lineBytes_ > 0 && lineBytes_ >= room) {
            ++it;
            continue;
        }
        lineBytes_ += it->payload.size();
        line_.push_back(std::move(*it));
        it = outgoing_.erase(it);
    }
}

bool DeviceConnection::writeFaulted(std::unique_lock<std::mutex> &lock)
{
    const wire::WireFaults::Settings wire = wire_->settings();
    intake(wire);
    // The wire's changes and new messages wake these waits (no polling).
    if (line_.empty()) {
        if (writerDone_ && outgoing_.empty())
            return false;
        if (!wire_->clean())
            queued_.wait(lock);
        return true;
    }
    if (wire.cut) {
        if (writerDone_) {
            writerFailedLocked();  // ending on a cut wire: nothing more goes
            return false;
        }
        queued_.wait(lock);
        return true;
    }
    if (sending_) {  // the connection's own thread sends a reply
        queued_.wait(lock);
        return true;
    }
    const Outgoing &head = line_.front();
    const auto due = head.queuedAt + std::chrono::milliseconds(wire.delayMs);
    if (Clock::now() < due) {
        queued_.wait_until(lock, due);
        return true;
    }
    if (headFrame_.empty()) {
        headFrame_ = wire::Socket::frameOf(head.type, head.sequence, head.payload);
        headSent_ = 0;
    }
    size_t piece = headFrame_.size() - headSent_;
    if (wire.bytesPerSecond > 0) {
        if (pieceBytes_ == 0) {
            pieceBytes_ = std::min(piece, pieceSize(wire.bytesPerSecond));
            pieceAt_ = wire_->book(pieceBytes_);
        }
        if (Clock::now() < pieceAt_) {
            queued_.wait_until(lock, pieceAt_);
            return true;
        }
        piece = std::min(piece, pieceBytes_);
    }
    sending_ = true;
    lock.unlock();
    const bool sent = socket_.sendBytes(headFrame_.data() + headSent_, piece);
    lock.lock();
    sending_ = false;
    pieceBytes_ = 0;
    if (!sent) {
        writerFailedLocked();
        return false;
    }
    headSent_ += piece;
    if (headSent_ == headFrame_.size()) {
        const Outgoing &done = line_.front();
        lineBytes_ -= done.payload.size();
        if (done.fileBytes > 0) {
            queuedFileBytes_ -= done.fileBytes;
            drained_.notify_all();
        }
        line_.pop_front();
        headFrame_.clear();
        headSent_ = 0;
    }
    return true;
}

bool DeviceConnection::waitForWire()
{
    std::unique_lock<std::mutex> lock(queueMutex_);
    wireChanged_.wait(lock, [&] { return stopped_ || !wire_->cut(); });
    return !stopped_;
}

void DeviceConnection::finishWriting()
{
    {
        std::lock_guard<std::mutex> lock(queueMutex_);
        writerDone_ = true;
    }
    queued_.notify_one();
    drained_.notify_all();
    if (writer_.joinable())
        writer_.join();
}

void DeviceConnection::run()
{
    const int listener = wire_->listen([this] {
        {
            std::lock_guard<std::mutex> lock(queueMutex_);
        }
        queued_.notify_all();
        wireChanged_.notify_all();
    });
    if (admit()) {
        writer_ = std::thread([this] { writeLoop(); });
        serve();
    }
    // Whatever the session's files still write has nowhere to go.
    closeFiles();
    if (session_ && !loggedOut_) {
        TMV_NET_Logout(session_);
        log("lost connection of " + user_);
    }
    finishWriting();
    wire_->unlisten(listener);
    socket_.shutdown();
    if (!scratch_.empty())
        ::rmdir(scratch_.c_str());  // each call removed its own files
    finished_ = true;
}

bool DeviceConnection::admit()
{
    // A client that connects and says nothing, or half of something, is
    // dropped after kPartMs.
    wire::Message hello;
    if (socket_.read(&hello, wire::kPartMs, wire::kPartMs) != wire::ReadResult::Ok
        || hello.header.type != wire::MessageType::Hello)
        return false;
    wire::Reader h(hello.payload);
    user_ = h.text(255);
    if (!h.ok() || h.left() != 0 || user_.find('\0') != std::string::npos)
        return false;
    const wire::Nonce nonce = wire::makeNonce();
    wire::Message proof;
    if (!send(wire::MessageType::Challenge, 0, wire::Buffer(nonce.begin(), nonce.end()))
        || socket_.read(&proof, wire::kPartMs, wire::kPartMs) != wire::ReadResult::Ok
        || proof.header.type != wire::MessageType::Proof || proof.payload.size() != sizeof(wire::Proof))
        return false;
    wire::Proof given;
    std::memcpy(given.data(), proof.payload.data(), given.size());
    const bool knows = wire::sameProof(given, wire::makeProof(device_.password, nonce, user_));

    // The device's own login decides (user, lock-out, session limit): it is
    // told the password when the proof shows the client knows it, and a
    // wrong one otherwise.
    TMV_NET_LOGIN_INFO info{};
    std::strncpy(info.ip, device_.address.c_str(), sizeof info.ip - 1);
    info.port = device_.port;
    std::strncpy(info.userName, user_.c_str(), sizeof info.userName - 1);
    const std::string password = knows ? device_.password : device_.password == "-" ? "+" : "-";
    std::strncpy(info.password, password.c_str(), sizeof info.password - 1);
    const int32_t status = TMV_NET_Login(&info, &session_);
    if (status == TMV_NET_SUCCESS)
        token_ = wire::makeToken();
    else
        session_ = nullptr;

    wire::Buffer welcome;
    wire::Writer w(welcome);
    w.value(status);
    w.value(token_);
    if (!send(wire::MessageType::Welcome, 0, welcome)) {
        if (session_)
            TMV_NET_Logout(session_);
        session_ = nullptr;
        return false;
    }
    if (status != TMV_NET_SUCCESS) {
        log("refused login of " + user_ + ": status " + std::to_string(status));
        return false;
    }
    log("login of " + user_);
    return true;
}

void DeviceConnection::serve()
{
    while (!loggedOut_) {
        if (!wire_->clean()) {
            // A cut wire: what the client sends stays in the kernel.
            if (!waitForWire())
                return;
            pollfd ready{socket_.fd(), POLLIN, 0};
            const int n = ::poll(&ready, 1, wire::kPingEveryMs);
            if (wire_->cut() || (n < 0 && errno == EINTR))
                continue;
            if (n == 0) {
                queue(wire::MessageType::Ping, 0, {});
                continue;
            }
        }
        wire::Message message;
        const wire::ReadResult result = socket_.read(&message, wire::kPingEveryMs, wire::kPartMs);
        if (result == wire::ReadResult::Idle) {
            queue(wire::MessageType::Ping, 0, {});
            continue;
        }
        if (result != wire::ReadResult::Ok)
            return;
        if (message.header.type == wire::MessageType::Ping) {
            // A client's probe: answered once everything queued before it
            // went out (for a while at most).
            if (message.header.sequence != 0) {
                waitForQueue([&] { return outgoing_.empty(); });
                queue(wire::MessageType::Ping, message.header.sequence, {});
            }
            continue;
        }
        if (message.header.type != wire::MessageType::Call || !answer(message)) {
            log("bad message from " + user_ + ", connection closed");
            return;
        }
    }
}

bool DeviceConnection::answer(const wire::Message &call)
{
    wire::Reader r(call.payload);
    const auto number = r.value<uint16_t>();
    const auto token = r.value<uint64_t>();
    if (!r.ok() || number >= wire::kFunctionCount)
        return false;
    wire::Buffer reply;
    if (token != token_) {
        // Not this connection's session: as for an unknown handle.
        wire::Writer(reply).value(int32_t(TMV_NET_FAILED));
    } else if (!dispatch(number, *this, session_, r, &reply)) {
        return false;
    }
    if (number == wire::kFn_TMV_NET_Logout && wire::Reader(reply).value<int32_t>() == TMV_NET_SUCCESS) {
        loggedOut_ = true;
        log("logout of " + user_);
    }
    queue(wire::MessageType::Reply, call.header.sequence, std::move(reply));
    return true;
}

void DeviceConnection::waitForQueue(const std::function<bool()> &done)
{
    // Looked at every millisecond: the writer tells no one what went out.
    std::unique_lock<std::mutex> lock(queueMutex_);
    for (int waited = 0; !writerDone_ && !done() && waited < wire::kPartMs; ++waited) {
        lock.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        lock.lock();
    }
}

}  // namespace sim::service
