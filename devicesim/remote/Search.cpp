#include "remote/Search.h"

#include "wire/Search.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

namespace sim::remote {

namespace {

using Clock = std::chrono::steady_clock;

// Answers can be on their way when the window closes.
constexpr int kGraceMs = 50;

struct Running {
    std::thread thread;
    std::atomic<bool> stop{false};
    std::atomic<bool> done{false};
};

struct Searches {
    std::mutex mutex;
    std::list<std::shared_ptr<Running>> running;
    std::atomic<uint64_t> nextId{1};
};

Searches &searches()
{
    static Searches s;
    return s;
}

thread_local bool t_onSearchThread = false;

int searchPort()
{
    const char *text = std::getenv("TMVNET_SEARCH_PORT");
    const int port = text ? std::atoi(text) : 0;
    return port > 0 && port < 65536 ? port : wire::kDefaultSearchPort;
}

void listen(int fd, uint64_t id, int windowMs, TMV_NET_SEARCH_CALLBACK callback, void *user, Running &self)
{
    t_onSearchThread = true;
    const auto deadline = Clock::now() + std::chrono::milliseconds(windowMs + kGraceMs);
    while (!self.stop) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            break;
        pollfd p{fd, POLLIN, 0};
        // Short waits, so that a stop is seen soon.
        if (::poll(&p, 1, int(std::min<int64_t>(left, 50))) <= 0)
            continue;
        uint8_t datagram[wire::kMaxDatagram];
        const ssize_t n = ::recv(fd, datagram, sizeof datagram, 0);
        if (n <= 0)
            continue;
        if (auto address = wire::readAnswer(datagram, size_t(n), id); address && !self.stop)
            callback(address->c_str(), user);
    }
    ::close(fd);
    self.done = true;
}

void reapFinished(Searches &s)
{
    std::list<std::shared_ptr<Running>> finished;
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        for (auto it = s.running.begin(); it != s.running.end();)
            if ((*it)->done)
                finished.splice(finished.end(), s.running, it++);
            else
                ++it;
    }
    for (auto &r : finished)
        r->thread.join();
}

}  // namespace

int32_t search(TMV_NET_SEARCH_CALLBACK callback, void *user, int32_t windowMs)
{
    Searches &s = searches();
    if (!t_onSearchThread)
        reapFinished(s);
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return TMV_NET_FAILED;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(uint16_t(searchPort()));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    wire::SearchProbe probe{s.nextId++, windowMs};
    const wire::Buffer datagram = wire::probeDatagram(probe);
    // Nobody listening is an empty answer, not a failure: no device is there.
    ::sendto(fd, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr *>(&to), sizeof to);
    auto running = std::make_shared<Running>();
    std::lock_guard<std::mutex> lock(s.mutex);
    running->thread = std::thread(listen, fd, probe.id, windowMs, callback, user, std::ref(*running));
    s.running.push_back(std::move(running));
    return TMV_NET_SUCCESS;
}

bool onSearchThread()
{
    return t_onSearchThread;
}

void stopAllSearches()
{
    Searches &s = searches();
    std::list<std::shared_ptr<Running>> all;
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        all.swap(s.running);
    }
    for (auto &r : all)
        r->stop = true;
    for (auto &r : all)
        r->thread.join();
}

}  // namespace sim::remote
