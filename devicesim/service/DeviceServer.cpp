#include "service/DeviceServer.h"

#include "streams/PreviewStream.h"
#include "wire/Faults.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <malloc.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sim::service {

namespace {

// How often the accept loop looks at the stop flag.
constexpr int kAcceptPollMs = 200;

}  // namespace

std::string bindError(const std::string &address, int port, int error)
{
    const std::string where = address + ":" + std::to_string(port);
    if (error == EACCES && port < 1024)
        return "cannot bind " + where + ": ports below 1024 need root or the cap_net_bind_service capability "
               "(sudo setcap cap_net_bind_service=+ep on this program), or give the fleet file ports above 1023";
    return "cannot bind " + where + ": " + std::strerror(error);
}

int listenTcp(const std::string &address, int port, int flags, int backlog, int *bound)
{
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(uint16_t(port));
    ::inet_pton(AF_INET, address.c_str(), &at.sin_addr);
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | flags, 0);
    if (fd < 0)
        return -1;
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (::bind(fd, reinterpret_cast<sockaddr *>(&at), sizeof at) != 0 || ::listen(fd, backlog) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    socklen_t len = sizeof at;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&at), &len);
    if (bound)
        *bound = ntohs(at.sin_port);
    return fd;
}

DeviceServer::DeviceServer(std::vector<DeviceProfile> *devices, LogLine log) : devices_(devices), log_(std::move(log))
{
}

DeviceServer::~DeviceServer()
{
    stop();
    for (int fd : listeners_)
        ::close(fd);
}

bool DeviceServer::bind(std::string *error)
{
    for (DeviceProfile &d : *devices_) {
        const int fd = listenTcp(d.address, d.port, 0, 64, &d.port);
        if (fd < 0) {
            *error = bindError(d.address, d.port, errno);
            for (int open : listeners_)
                ::close(open);
            listeners_.clear();
            return false;
        }
        listeners_.push_back(fd);
    }
    return true;
}

void DeviceServer::start()
{
    // Every frame is a few MB, allocated and freed on different threads: by
    // default malloc maps such blocks afresh and hands freed heap back to the
    // system, so each frame paid its pages' faults again, more so the more
    // devices streamed. Kept, the frames reuse the same memory.
    ::mallopt(M_MMAP_THRESHOLD, 32 << 20);
    ::mallopt(M_TRIM_THRESHOLD, 1 << 30);
    // A login's preview renders no frame while its last one still waits for
    // the client: what the machine cannot carry is dropped before it costs.
    PreviewStream::setReadyGate([](void *user) {
        return !static_cast<DeviceConnection *>(user)->frameWaiting(wire::EventKind::Preview);
    });
    wire::setWiresServed();
    for (const DeviceProfile &d : *devices_)
        log_("listening " + d.address + ":" + std::to_string(d.port) + " " + d.model);
    acceptor_ = std::thread([this] { acceptLoop(); });
}

void DeviceServer::stop()
{
    stopping_ = true;
    if (acceptor_.joinable())
        acceptor_.join();
    reap(true);
}

void DeviceServer::acceptLoop()
{
    std::vector<std::shared_ptr<wire::WireFaults>> wires;
    for (const DeviceProfile &d : *devices_)
        wires.push_back(wire::wireOf(d.address));
    std::vector<pollfd> polls(listeners_.size());
    while (!stopping_) {
        reap(false);
        // A cut device answers no new connection: it waits in the backlog.
        for (size_t i = 0; i < polls.size(); ++i)
            polls[i] = {wires[i]->cut() ? -1 : listeners_[i], POLLIN, 0};
        if (::poll(polls.data(), polls.size(), kAcceptPollMs) <= 0)
            continue;
        for (size_t i = 0; i < polls.size(); ++i) {
            if (!(polls[i].revents & POLLIN))
                continue;
            const int fd = ::accept4(polls[i].fd, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0)
                continue;
            int one = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            std::lock_guard<std::mutex> lock(mutex_);
            running_.push_back({std::make_unique<DeviceConnection>(wire::Socket(fd), (*devices_)[i], log_), {}});
            DeviceConnection *c = running_.back().connection.get();
            running_.back().thread = std::thread([c] { c->run(); });
        }
    }
}

void DeviceServer::reap(bool all)
{
    std::list<Running> done;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto it = running_.begin(); it != running_.end();) {
            if (all)
                it->connection->stop();
            if (all || it->connection->finished())
                done.splice(done.end(), running_, it++);
            else
                ++it;
        }
    }
    for (Running &r : done)
        r.thread.join();
}

}  // namespace sim::service
