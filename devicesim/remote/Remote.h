#pragma once
// The library's network mode: with TMVNET_DEVICES=network every entry point
// reaches its device over TCP instead of the fleet in this process. A login
// opens one connection to the device at its address and port; the handle
// the caller gets stands for that connection.
//
// Threading model: every function may be called from any thread. The table
// of logins is guarded by one mutex; each login's calls and callbacks are
// its Link's.

#include "TMVNetSDK.h"
#include "remote/Link.h"
#include "wire/Arguments.h"
#include "wire/Functions.h"

#include <cstdint>
#include <memory>

namespace sim::remote {

// True when this process's library talks to its devices over the network
// (read once from TMVNET_DEVICES: "network", else the embedded fleet).
bool active();
// The device service hosts the fleet itself, whatever its environment says.
void forceEmbedded();

int32_t init();
int32_t deinit();
int32_t login(const TMV_NET_LOGIN_INFO *info, TMV_NET_HANDLE *handle);
int32_t logout(TMV_NET_HANDLE handle);
int32_t setExceptionCallback(TMV_NET_HANDLE handle, TMV_NET_EXCEPTION_CALLBACK callback, void *user);
int32_t searchDevices(TMV_NET_SEARCH_CALLBACK callback, void *user, int32_t windowMs);

// The stream a function starts or stops, or Stream::Count.
Stream startedBy(uint16_t number);
Stream stoppedBy(uint16_t number);

std::shared_ptr<Link> linkOf(TMV_NET_HANDLE handle);
// Settles every login's link (Link::settle) but one whose callback is the
// caller.
void settleLinks();

// Sends function `number` with its encoded arguments on the login's link
// and waits for the reply; 1 (with no reply) when the link is lost.
int32_t exchange(Link &link, uint16_t number, const wire::Buffer &arguments, wire::Buffer *reply);

// Any other function of the contract, by its number and arguments. A call
// that starts a stream sets the caller's callback first when the stream has
// none (so no event finds it missing) and takes it back if the device
// refuses; a call that
// stops one waits, once the device has stopped it, until its callback has
// finished, as the embedded fleet does.
template <auto Fn, class... A>
int32_t call(uint16_t number, TMV_NET_HANDLE handle, A... args)
{
    using Client = typename wire::Signature<Fn>::Client;
    if (!wire::carried(number))
        return TMV_NET_NOT_SUPPORTED;
    std::shared_ptr<Link> link = linkOf(handle);
    if (!link)
        return TMV_NET_FAILED;
    // After the handle, as the device checks: a path its rule refuses never
    // travels (only a scratch name of it would, which the rule cannot judge).
    if (!Client::sendable(args...) || !wire::Signature<Fn>::pathsAllowed(args...))
        return TMV_NET_PARAM_WRONG;
    const Stream starts = startedBy(number);
    Callback given;
    bool claimed = false;
    if (starts != Stream::Count) {
        Client::callbackOf(&given.function, &given.user, args...);
        claimed = link->claimCallback(starts, given);
    }
    wire::Buffer arguments;
    wire::Writer w(arguments);
    Client::encode(w, args...);
    wire::Buffer reply;
    int32_t status = exchange(*link, number, arguments, &reply);
    // Shape first, then the outputs: a malformed reply writes nothing.
    if (!reply.empty()) {
        wire::Reader check(reply);
        check.value<int32_t>();
        if (Client::decode(check, false, args...)) {
            wire::Reader r(reply);
            status = r.value<int32_t>();
            // A file of the reply that cannot be written fails the call.
            if (!Client::decode(r, true, args...))
                status = TMV_NET_FAILED;
        } else {
            status = TMV_NET_FAILED;
        }
    }
    // A stream that already ran keeps its callback unless the device took
    // the new one.
    if (starts != Stream::Count && claimed && status != TMV_NET_SUCCESS)
        link->setCallback(starts, {});
    if (starts != Stream::Count && !claimed && status == TMV_NET_SUCCESS)
        link->setCallback(starts, given);
    const Stream stops = stoppedBy(number);
    if (stops != Stream::Count) {
        // A device that has gone away has nothing left to stop.
        if (reply.empty() && link->lost())
            status = TMV_NET_SUCCESS;
        // From its own callback: the stream ends after it, and the call says 1.
        if (!link->stopCallbacks(stops))
            status = TMV_NET_FAILED;
        if (stops == Stream::Preview)
            link->transfers().previewEnded();
    }
    return status;
}

}  // namespace sim::remote
