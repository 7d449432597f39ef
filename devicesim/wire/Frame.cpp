#include "wire/Frame.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sim::wire {

namespace {

using Clock = std::chrono::steady_clock;

// A remainder this large is waited for in pieces of this size.
constexpr size_t kBulkBytes = 256 << 10;

int remainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? int(left) : 0;
}

}  // namespace

Socket::~Socket()
{
    if (fd_ >= 0)
        ::close(fd_);
}

Socket &Socket::operator=(Socket &&other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.fd_;
        lowWater_ = other.lowWater_;
        other.fd_ = -1;
    }
    return *this;
}

void Socket::shutdown()
{
    if (fd_ >= 0)
        ::shutdown(fd_, SHUT_RDWR);
}

Socket Socket::connectTo(const std::string &address, int port, int timeoutMs)
{
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(uint16_t(port));
    if (port <= 0 || port > 65535 || ::inet_pton(AF_INET, address.c_str(), &to.sin_addr) != 1)
        return Socket();
    Socket s(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!s.valid())
        return Socket();
    int rc = ::connect(s.fd_, reinterpret_cast<sockaddr *>(&to), sizeof to);
    if (rc != 0 && errno != EINPROGRESS)
        return Socket();
    if (rc != 0) {
        pollfd p{s.fd_, POLLOUT, 0};
        if (::poll(&p, 1, timeoutMs) != 1)
            return Socket();
        int error = 0;
        socklen_t len = sizeof error;
        if (::getsockopt(s.fd_, SOL_SOCKET, SO_ERROR, &error, &len) != 0 || error != 0)
            return Socket();
    }
    ::fcntl(s.fd_, F_SETFL, ::fcntl(s.fd_, F_GETFL) & ~O_NONBLOCK);
    int one = 1;
    ::setsockopt(s.fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return s;
}

namespace {

// A message's 16-byte header, appended to `out`.
void writeHeader(Buffer *out, MessageType type, uint32_t sequence, size_t payloadSize)
{
    Writer w(*out);
    w.value(kMagic);
    w.value(kVersion);
    w.value(uint16_t(type));
    w.value(sequence);
    w.value(uint32_t(payloadSize));
}

}  // namespace

bool Socket::send(MessageType type, uint32_t sequence, const Buffer &payload)
{
    if (payload.size() > kMaxPayload)
        return false;
    Buffer head;
    writeHeader(&head, type, sequence, payload.size());
    iovec parts[2] = {{head.data(), head.size()}, {const_cast<uint8_t *>(payload.data()), payload.size()}};
    msghdr msg{};
    msg.msg_iov = parts;
    msg.msg_iovlen = payload.empty() ? 1 : 2;
    size_t left = head.size() + payload.size();
    while (left > 0) {
        const ssize_t n = ::sendmsg(fd_, &msg, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        left -= size_t(n);
        // Skip what went out.
        size_t done = size_t(n);
        while (done > 0 && msg.msg_iovlen > 0) {
            if (done >= msg.msg_iov->iov_len) {
                done -= msg.msg_iov->iov_len;
                ++msg.msg_iov;
                --msg.msg_iovlen;
            } else {
                msg.msg_iov->iov_base = static_cast<uint8_t *>(msg.msg_iov->iov_base) + done;
                msg.msg_iov->iov_len -= done;
                done = 0;
            }
        }
    }
    return true;
}

Buffer Socket::frameOf(MessageType type, uint32_t sequence, const Buffer &payload)
{
    Buffer framed;
    framed.reserve(kHeaderSize + payload.size());
    writeHeader(&framed, type, sequence, payload.size());
    framed.insert(framed.end(), payload.begin(), payload.end());
    return framed;
}

bool Socket::sendBytes(const uint8_t *data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::send(fd_, data, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

void Socket::setSendTimeout(int ms)
{
    const timeval t{ms / 1000, (ms % 1000) * 1000};
    ::setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &t, sizeof t);
}

void Socket::setLowWater(int bytes)
{
    if (bytes != lowWater_ && ::setsockopt(fd_, SOL_SOCKET, SO_RCVLOWAT, &bytes, sizeof bytes) == 0)
        lowWater_ = bytes;
}

bool Socket::readExactly(void *out, size_t size, int timeoutMs, ReadResult *why)
{
    return readAtLeast(out, size, size, timeoutMs, why, false) == size;
}

size_t Socket::readAtLeast(void *out, size_t least, size_t most, int timeoutMs, ReadResult *why, bool waitFirst)
{
    auto *p = static_cast<uint8_t *>(out);
    const auto limit = std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    // The time runs from the last byte that came: a slow wire that keeps
    // delivering is no silent peer.
    auto deadline = Clock::now() + limit;
    // What has arrived is taken without a poll; a poll only when it would
    // block (and first, when the caller expects to wait).
    bool wait = waitFirst;
    size_t got = 0;
    while (got < least) {
        if (wait) {
            // Much still to come (a frame): woken once a good part of it is
            // there, not for every piece. The kernel wakes a sleeper only
            // when as many bytes wait as the mark says, so the mark never
            // asks for more than this read still lacks: above that, the
            // message's last bytes would sit unread until the timeout.
            setLowWater(least - got >= kBulkBytes ? int(kBulkBytes) : 1);
            pollfd pfd{fd_, POLLIN, 0};
            const int ready = ::poll(&pfd, 1, timeoutMs < 0 ? -1 : remainingMs(deadline));
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready == 0) {
                *why = ReadResult::TimedOut;
                return got;
            }
        }
        const ssize_t n = ::recv(fd_, p + got, most - got, MSG_DONTWAIT);
        if (n < 0 && errno == EINTR)
            continue;
        wait = n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
        if (wait)
            continue;
        if (n <= 0) {
            *why = ReadResult::Closed;
            return got;
        }
        got += size_t(n);
        deadline = Clock::now() + limit;
    }
    return got;
}

ReadResult Socket::read(Message *message, int idleMs, int partMs)
{
    uint8_t head[kHeaderSize];
    ReadResult why = ReadResult::Ok;
    // The first byte may take the idle time; the rest only the part time.
    // The header usually comes whole with its first byte.
    const size_t got = readAtLeast(head, 1, kHeaderSize, idleMs, &why, true);
    if (got == 0)
        return why == ReadResult::TimedOut ? ReadResult::Idle : why;
    if (!readExactly(head + got, kHeaderSize - got, partMs, &why))
        return why;
    Reader r(head, sizeof head);
    const auto magic = r.value<uint32_t>();
    message->header.version = r.value<uint16_t>();
    message->header.type = MessageType(r.value<uint16_t>());
    message->header.sequence = r.value<uint32_t>();
    message->header.length = r.value<uint32_t>();
    if (magic != kMagic || message->header.version != kVersion || message->header.length > kMaxPayload)
        return ReadResult::Bad;
    message->payload.resize(message->header.length);
    if (message->header.length > 0 && !readExactly(message->payload.data(), message->header.length, partMs, &why))
        return why;
    return ReadResult::Ok;
}

std::string Socket::peerName() const
{
    sockaddr_in from{};
    socklen_t len = sizeof from;
    if (::getpeername(fd_, reinterpret_cast<sockaddr *>(&from), &len) != 0)
        return "?";
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &from.sin_addr, text, sizeof text);
    return std::string(text) + ":" + std::to_string(ntohs(from.sin_port));
}

}  // namespace sim::wire
