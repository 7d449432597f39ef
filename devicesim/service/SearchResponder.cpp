#include "service/SearchResponder.h"

#include "TMVNetSDK.h"
#include "wire/Search.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sim::service {

namespace {

constexpr int kPollMs = 200;
// Probes kept for their answers; older ones go (their answers came long ago).
constexpr size_t kKeptProbes = 256;

std::mutex g_responderMutex;
SearchResponder *g_responder = nullptr;  // the one of this process, while it lives

}  // namespace

void SearchResponder::answer(const char *address, void *key)
{
    std::lock_guard<std::mutex> guard(g_responderMutex);
    if (!g_responder)
        return;
    std::lock_guard<std::mutex> lock(g_responder->mutex_);
    auto it = g_responder->probes_.find(reinterpret_cast<uintptr_t>(key));
    if (it == g_responder->probes_.end())
        return;
    const wire::Buffer datagram = wire::answerDatagram(it->second.id, address);
    ::sendto(g_responder->fd_, datagram.data(), datagram.size(), 0,
             reinterpret_cast<const sockaddr *>(&it->second.from), sizeof it->second.from);
}

SearchResponder::~SearchResponder()
{
    stop();
    {
        std::lock_guard<std::mutex> guard(g_responderMutex);
        if (g_responder == this)
            g_responder = nullptr;
    }
    if (fd_ >= 0)
        ::close(fd_);
}

bool SearchResponder::bind(int port, std::string *error)
{
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(uint16_t(port));
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr *>(&at), sizeof at) != 0) {
        *error = "cannot bind the search port 127.0.0.1:" + std::to_string(port) + " (udp): " + std::strerror(errno);
        return false;
    }
    return true;
}

void SearchResponder::start()
{
    {
        std::lock_guard<std::mutex> guard(g_responderMutex);
        g_responder = this;
    }
    thread_ = std::thread([this] { receiveLoop(); });
}

void SearchResponder::stop()
{
    stopping_ = true;
    if (thread_.joinable())
        thread_.join();
}

void SearchResponder::receiveLoop()
{
    while (!stopping_) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, kPollMs) <= 0)
            continue;
        uint8_t datagram[wire::kMaxDatagram];
        sockaddr_in from{};
        socklen_t fromSize = sizeof from;
        const ssize_t n = ::recvfrom(fd_, datagram, sizeof datagram, 0, reinterpret_cast<sockaddr *>(&from), &fromSize);
        if (n <= 0)
            continue;
        const auto probe = wire::readProbe(datagram, size_t(n));
        if (!probe)
            continue;  // not ours: ignored
        uintptr_t key = 0;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            key = nextKey_++;
            probes_[key] = {from, probe->id};
            if (probes_.size() > kKeptProbes)
                probes_.erase(probes_.begin());
        }
        TMV_NET_SearchDev(answer, reinterpret_cast<void *>(key), probe->windowMs);
    }
}

}  // namespace sim::service
