#include "remote/Remote.h"

#include "remote/Link.h"
#include "remote/Search.h"
#include "wire/Auth.h"
#include "wire/Events.h"
#include "wire/Frame.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace sim::remote {

namespace {

enum class Mode { Unread, Embedded, Network };
std::atomic<Mode> g_mode{Mode::Unread};

// How long a device may take to accept a connection (within the login's
// link timeout).
constexpr int kConnectMs = 2000;

using Clock = std::chrono::steady_clock;

int msUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return int(std::max<int64_t>(left, 1));
}
// Handles look like pointers, apart from the embedded fleet's, and are never
// reused.
constexpr uint64_t kFirstHandle = 0x6B000;
constexpr uint64_t kHandleStep = 0x10;

struct Logins {
    std::mutex mutex;
    bool initialised = false;
    uint64_t next = kFirstHandle;
    std::map<uint64_t, std::shared_ptr<Link>> links;
};

Logins &logins()
{
    static Logins l;
    return l;
}

uint64_t key(TMV_NET_HANDLE handle)
{
    return uint64_t(reinterpret_cast<uintptr_t>(handle));
}

bool terminated(const char *field, size_t size)
{
    return std::memchr(field, '\0', size) != nullptr;
}

// The login's challenge and response on a fresh connection, by `deadline`:
// the device's status, and the session token when it admits the user.
int32_t authenticate(wire::Socket &socket, const std::string &user, const std::string &password, uint64_t *token,
                     Clock::time_point deadline)
{
    wire::Buffer hello;
    wire::Writer(hello).text(user);
    wire::Message challenge;
    if (!socket.send(wire::MessageType::Hello, 0, hello)
        || socket.read(&challenge, msUntil(deadline), msUntil(deadline)) != wire::ReadResult::Ok
        || challenge.header.type != wire::MessageType::Challenge)
        return TMV_NET_FAILED;
    wire::Nonce nonce{};
    wire::Reader r(challenge.payload);
    r.bytes(nonce.data(), nonce.size());
    if (!r.ok() || r.left() != 0)
        return TMV_NET_FAILED;
    const wire::Proof proof = wire::makeProof(password, nonce, user);
    wire::Message welcome;
    if (!socket.send(wire::MessageType::Proof, 0, wire::Buffer(proof.begin(), proof.end()))
        || socket.read(&welcome, msUntil(deadline), msUntil(deadline)) != wire::ReadResult::Ok
        || welcome.header.type != wire::MessageType::Welcome)
        return TMV_NET_FAILED;
    wire::Reader w(welcome.payload);
    const auto status = w.value<int32_t>();
    *token = w.value<uint64_t>();
    if (!w.ok() || w.left() != 0)
        return TMV_NET_FAILED;
    return status;
}

// Logs a session out on a socket that never became a link, and waits for the
// device's answer (or the socket's end).
void endSession(wire::Socket &socket, uint64_t token)
{
    wire::Buffer call;
    wire::Writer w(call);
    w.value(uint16_t(wire::kFn_TMV_NET_Logout));
    w.value(token);
    if (!socket.send(wire::MessageType::Call, 1, call))
        return;
    wire::Message message;
    while (socket.read(&message, linkTimeoutMs(), linkTimeoutMs()) == wire::ReadResult::Ok)
        if (message.header.type == wire::MessageType::Reply)
            return;
}

}  // namespace

std::shared_ptr<Link> linkOf(TMV_NET_HANDLE handle)
{
    Logins &l = logins();
    std::lock_guard<std::mutex> lock(l.mutex);
    auto it = l.links.find(key(handle));
    return it == l.links.end() ? nullptr : it->second;
}

void settleLinks()
{
    std::vector<std::shared_ptr<Link>> all;
    {
        Logins &l = logins();
        std::lock_guard<std::mutex> lock(l.mutex);
        for (const auto &entry : l.links)
            all.push_back(entry.second);
    }
    for (const auto &link : all)
        if (!link->onCallbackThread())
            link->settle();
}

bool active()
{
    Mode mode = g_mode.load();
    if (mode == Mode::Unread) {
        const char *chosen = std::getenv("TMVNET_DEVICES");
        Mode read = chosen && std::strcmp(chosen, "network") == 0 ? Mode::Network : Mode::Embedded;
        g_mode.compare_exchange_strong(mode, read);
        mode = g_mode.load();
    }
    return mode == Mode::Network;
}

void forceEmbedded()
{
    g_mode = Mode::Embedded;
}

int32_t init()
{
    Logins &l = logins();
    std::lock_guard<std::mutex> lock(l.mutex);
    l.initialised = true;
    return TMV_NET_SUCCESS;
}

int32_t deinit()
{
    if (onSearchThread())
        return TMV_NET_FAILED;  // it would join the thread it runs on
    Logins &l = logins();
    std::map<uint64_t, std::shared_ptr<Link>> links;
    {
        std::lock_guard<std::mutex> lock(l.mutex);
        for (const auto &entry : l.links)
            if (entry.second->onCallbackThread())
                return TMV_NET_FAILED;  // it would join the thread it runs on
        l.initialised = false;
        links.swap(l.links);
    }
    // Each session ends on the device before Deinit returns, as at home (a
    // closed socket alone would end it a little later).
    for (auto &entry : links) {
        entry.second->expectEnd();
        wire::Buffer reply;
        exchange(*entry.second, wire::kFn_TMV_NET_Logout, {}, &reply);
        entry.second->close();
    }
    stopAllSearches();
    return TMV_NET_SUCCESS;
}

int32_t searchDevices(TMV_NET_SEARCH_CALLBACK callback, void *user, int32_t windowMs)
{
    if (!callback || windowMs < 0)
        return TMV_NET_PARAM_WRONG;
    {
        Logins &l = logins();
        std::lock_guard<std::mutex> lock(l.mutex);
        if (!l.initialised)
            return TMV_NET_FAILED;
    }
    return search(callback, user, windowMs);
}

int32_t login(const TMV_NET_LOGIN_INFO *info, TMV_NET_HANDLE *handle)
{
    if (!info || !handle || !terminated(info->ip, sizeof info->ip)
        || !terminated(info->userName, sizeof info->userName) || !terminated(info->password, sizeof info->password))
        return TMV_NET_PARAM_WRONG;
    {
        Logins &l = logins();
        std::lock_guard<std::mutex> lock(l.mutex);
        if (!l.initialised)
            return TMV_NET_FAILED;
    }
    // A device that answers nothing (a cut wire) fails the login as one
    // nobody answers for, within the link timeout.
    const auto deadline = Clock::now() + std::chrono::milliseconds(linkTimeoutMs());
    wire::Socket socket = wire::Socket::connectTo(info->ip, info->port, std::min(kConnectMs, linkTimeoutMs()));
    if (!socket.valid())
        return TMV_NET_FAILED;  // nobody answers there
    socket.setSendTimeout(linkTimeoutMs());
    uint64_t token = 0;
    const int32_t status = authenticate(socket, info->userName, info->password, &token, deadline);
    if (status != TMV_NET_SUCCESS)
        return status;
    {
        Logins &l = logins();
        std::lock_guard<std::mutex> lock(l.mutex);
        if (l.initialised) {
            const uint64_t id = l.next;
            l.next += kHandleStep;
            auto *h = reinterpret_cast<TMV_NET_HANDLE>(uintptr_t(id));
            l.links[id] = std::make_shared<Link>(std::move(socket), token, h);
            *handle = h;
            return TMV_NET_SUCCESS;
        }
    }
    // Deinit ran meanwhile: the session it did not see ends before this
    // login answers.
    endSession(socket, token);
    return TMV_NET_FAILED;
}

int32_t logout(TMV_NET_HANDLE handle)
{
    std::shared_ptr<Link> link = linkOf(handle);
    if (!link || link->onCallbackThread())
        return TMV_NET_FAILED;
    // The device ends the session on the call, or on the closed socket when
    // the link is already gone.
    link->expectEnd();
    wire::Buffer reply;
    exchange(*link, wire::kFn_TMV_NET_Logout, {}, &reply);
    {
        Logins &l = logins();
        std::lock_guard<std::mutex> lock(l.mutex);
        l.links.erase(key(handle));
    }
    link->close();
    return TMV_NET_SUCCESS;
}

int32_t setExceptionCallback(TMV_NET_HANDLE handle, TMV_NET_EXCEPTION_CALLBACK callback, void *user)
{
    std::shared_ptr<Link> link = linkOf(handle);
    if (!link || link->lost())
        return TMV_NET_FAILED;
    if (!callback)
        return TMV_NET_PARAM_WRONG;
    // Set here before the device hears of it, so no exception of the device
    // finds it missing.
    const Callback before = link->setCallback(Stream::Exception, {reinterpret_cast<void *>(callback), user});
    wire::Buffer arguments;
    wire::Writer(arguments).flag(true);
    wire::Buffer reply;
    const int32_t status = exchange(*link, wire::kFn_TMV_NET_SetExceptionCallback, arguments, &reply);
    if (status != TMV_NET_SUCCESS)
        link->setCallback(Stream::Exception, before);
    return status;
}

Stream startedBy(uint16_t number)
{
    using namespace wire;
    switch (number) {
    case kFn_TMV_NET_StartPreview_V2:
        return Stream::Preview;
    case kFn_TMV_NET_StartPullTemp_V2:
        return Stream::Temp;
    case kFn_TMV_NET_StartPullNucData:
        return Stream::Raw;
    case kFn_TMV_NET_SubscribeAlarm_V2:
    case kFn_TMV_NET_SubscribeAlarm:
        return Stream::Alarm;
    default:
        return Stream::Count;
    }
}

Stream stoppedBy(uint16_t number)
{
    using namespace wire;
    switch (number) {
    case kFn_TMV_NET_StopPreview:
        return Stream::Preview;
    case kFn_TMV_NET_StopPullTemp:
        return Stream::Temp;
    case kFn_TMV_NET_StopPullNucData:
        return Stream::Raw;
    case kFn_TMV_NET_UnsubscribeAlarm:
        return Stream::Alarm;
    default:
        return Stream::Count;
    }
}

int32_t exchange(Link &link, uint16_t number, const wire::Buffer &arguments, wire::Buffer *reply)
{
    reply->clear();
    wire::Buffer request;
    wire::Writer w(request);
    w.value(number);
    w.value(link.token());
    w.bytes(arguments.data(), arguments.size());
    if (!link.call(request, reply)) {
        reply->clear();
        return TMV_NET_FAILED;  // as for a device that logged us out
    }
    wire::Reader r(*reply);
    const auto status = r.value<int32_t>();
    if (!r.ok()) {
        reply->clear();
        return TMV_NET_FAILED;
    }
    return status;
}

}  // namespace sim::remote
