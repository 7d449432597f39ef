#include "service/ControlServer.h"

#include "service/DeviceServer.h"

#include "wire/Control.h"
#include "wire/Events.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <type_traits>

namespace sim::service {

namespace {

// How often the accept loop looks at the stop flag.
constexpr int kAcceptPollMs = 200;

// Control calls take no callbacks and no files: whatever a call could ask
// of its connection is answered with nothing. (Not marked override, so that
// a file question the device calls add later is answered here too.)
struct NoContext : wire::CallContext {
    void *callbackUser() { return nullptr; }
    std::string scratchFolder() { return {}; }
    std::string liveFile(uint32_t, const std::string &, bool) { return {}; }
    void liveFileTaken(const std::string &) {}
};

using Handler = bool (*)(wire::Reader &, wire::Buffer *);

template <auto Fn>
bool serve(wire::Reader &r, wire::Buffer *reply)
{
    using Signature = wire::ControlSignature<decltype(Fn)>;
    using Result = typename Signature::Result;
    typename Signature::Device slots;
    if (!slots.decode(r))
        return false;
    NoContext context;
    wire::Writer w(*reply);
    if constexpr (std::is_void_v<Result>) {
        slots.invoke(context, [](auto... a) {
            Fn(a...);
            return int32_t(0);
        });
        slots.encode(w, 0);
    } else {
        Result result{};
        // An int result is also the status that decides the outputs.
        const int32_t status = slots.invoke(context, [&result](auto... a) {
            result = Fn(a...);
            return std::is_same_v<Result, int> ? int32_t(result) : 0;
        });
        wire::writeResult(w, result);
        slots.encode(w, status);
    }
    return true;
}

#define SIM_SERVICE_CONTROL(name) &serve<&name>,
constexpr std::array<Handler, wire::kControlCount> kHandlers = {SIM_WIRE_CONTROLS(SIM_SERVICE_CONTROL)};
#undef SIM_SERVICE_CONTROL

bool loopback(const in_addr &a)
{
    return (ntohl(a.s_addr) >> 24) == 127;
}

}  // namespace

bool dispatchControl(uint16_t number, wire::Reader &arguments, wire::Buffer *reply)
{
    return number < kHandlers.size() && kHandlers[number](arguments, reply);
}

ControlServer::ControlServer(LogLine log) : log_(std::move(log)) {}

ControlServer::~ControlServer()
{
    stop();
    if (listener_ >= 0)
        ::close(listener_);
}

bool ControlServer::bind(const std::string &address, int port, std::string *error)
{
    in_addr ip{};
    if (port < 0 || port > 65535 || ::inet_pton(AF_INET, address.c_str(), &ip) != 1 || !loopback(ip)) {
        *error = "the control port must be on a loopback address (127.x.x.x:port), not " + address + ":"
                 + std::to_string(port);
        return false;
    }
    const int fd = listenTcp(address, port, 0, 16, &port_);
    if (fd < 0) {
        *error = "cannot bind the control port " + address + ":" + std::to_string(port) + ": " + std::strerror(errno);
        return false;
    }
    listener_ = fd;
    address_ = address;
    return true;
}

void ControlServer::start()
{
    log_("control on " + address_ + ":" + std::to_string(port_) + " (tcp)");
    acceptor_ = std::thread([this] { acceptLoop(); });
}

void ControlServer::stop()
{
    stopping_ = true;
    if (acceptor_.joinable())
        acceptor_.join();
    reap(true);
}

void ControlServer::acceptLoop()
{
    pollfd p{listener_, POLLIN, 0};
    while (!stopping_) {
        reap(false);
        if (::poll(&p, 1, kAcceptPollMs) <= 0)
            continue;
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        std::lock_guard<std::mutex> lock(mutex_);
        running_.emplace_back();
        Running &c = running_.back();
        c.socket = wire::Socket(fd);
        c.thread = std::thread([this, &c] { serve(c); });
    }
}

void ControlServer::serve(Running &connection)
{
    wire::Socket &socket = connection.socket;
    const std::string peer = socket.peerName();
    for (;;) {
        // A tool may hold its connection quietly for a whole run; half a
        // message still costs it the connection.
        wire::Message call;
        const wire::ReadResult result = socket.read(&call, -1, wire::kPartMs);
        if (result == wire::ReadResult::Closed)
            break;
        if (result == wire::ReadResult::Ok && call.header.type == wire::MessageType::Ping)
            continue;
        wire::Reader r(call.payload);
        const auto number = r.value<uint16_t>();
        wire::Buffer reply;
        if (result != wire::ReadResult::Ok || call.header.type != wire::MessageType::Call || !r.ok()
            || !dispatchControl(number, r, &reply)) {
            log_("control: bad message from " + peer + ", connection closed");
            break;
        }
        if (!socket.send(wire::MessageType::Reply, call.header.sequence, reply))
            break;
    }
    socket.shutdown();
    connection.finished = true;
}

void ControlServer::reap(bool all)
{
    std::list<Running> done;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto it = running_.begin(); it != running_.end();) {
            if (all)
                it->socket.shutdown();
            if (all || it->finished)
                done.splice(done.end(), running_, it++);
            else
                ++it;
        }
    }
    for (Running &r : done)
        r.thread.join();
}

}  // namespace sim::service
