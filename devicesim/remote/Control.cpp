#include "remote/Control.h"

#include "remote/Remote.h"
#include "wire/Events.h"
#include "wire/Frame.h"

#include <arpa/inet.h>
#include <poll.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

namespace sim::remote {

namespace {

constexpr int kConnectMs = 2000;

struct ControlLink {
    std::mutex mutex;  // guards everything below: one call at a time
    wire::Socket socket;
    std::string address;
    int port = 0;
    uint32_t nextSequence = 1;
    bool warned = false;
};

ControlLink &controlLink()
{
    static ControlLink link;
    return link;
}

std::atomic<bool> g_clockHeld{false};

// TMVNET_CONTROL as "address:port" on loopback; false for anything else.
bool controlPlace(std::string *address, int *port)
{
    const char *text = std::getenv("TMVNET_CONTROL");
    if (!text || !*text) {
        *address = wire::kDefaultControlAddress;
        *port = wire::kDefaultControlPort;
        return true;
    }
    const std::string place = text;
    const size_t colon = place.rfind(':');
    if (colon == std::string::npos)
        return false;
    *address = place.substr(0, colon);
    char *end = nullptr;
    const long number = std::strtol(place.c_str() + colon + 1, &end, 10);
    in_addr a{};
    if (*end != '\0' || number <= 0 || number > 65535 || ::inet_pton(AF_INET, address->c_str(), &a) != 1
        || (ntohl(a.s_addr) >> 24) != 127)
        return false;
    *port = int(number);
    return true;
}

// A connection the service closed (or that holds a stray byte) is no use.
bool stale(const wire::Socket &socket)
{
    pollfd p{socket.fd(), POLLIN, 0};
    return ::poll(&p, 1, 0) != 0;
}

}  // namespace

bool controlExchange(uint16_t number, const wire::Buffer &arguments, wire::Buffer *reply)
{
    ControlLink &link = controlLink();
    std::lock_guard<std::mutex> lock(link.mutex);
    std::string address;
    int port = 0;
    const bool placed = controlPlace(&address, &port);
    // A test may start the service again elsewhere and say so in the
    // environment: the next call follows it.
    if (link.socket.valid() && (stale(link.socket) || address != link.address || port != link.port))
        link.socket = wire::Socket();
    if (!link.socket.valid() && placed) {
        link.socket = wire::Socket::connectTo(address, port, kConnectMs);
        link.address = address;
        link.port = port;
    }
    if (!link.socket.valid()) {
        if (!link.warned)
            std::fprintf(stderr, "TMVSim: no device service control port at %s (TMVNET_CONTROL)\n",
                         placed ? (address + ":" + std::to_string(port)).c_str() : std::getenv("TMVNET_CONTROL"));
        link.warned = true;
        return false;
    }
    wire::Buffer call;
    wire::Writer w(call);
    w.value(number);
    w.bytes(arguments.data(), arguments.size());
    const uint32_t sequence = link.nextSequence++;
    wire::Message answer;
    // No time limit on the answer: a long clock step takes as long as it takes.
    if (!link.socket.send(wire::MessageType::Call, sequence, call)
        || link.socket.read(&answer, -1, wire::kPartMs) != wire::ReadResult::Ok
        || answer.header.type != wire::MessageType::Reply || answer.header.sequence != sequence) {
        link.socket = wire::Socket();
        return false;
    }
    reply->swap(answer.payload);
    return true;
}

void controlDone(uint16_t number)
{
    switch (number) {
    case wire::kCtl_TMVSim_ClockPause:
        g_clockHeld = true;
        break;
    case wire::kCtl_TMVSim_ClockResume:
        g_clockHeld = false;
        break;
    case wire::kCtl_TMVSim_ClockStep:
        settleLinks();
        break;
    default:
        break;
    }
}

bool clockHeld()
{
    return g_clockHeld;
}

}  // namespace sim::remote
