#pragma once
// The control interface in network mode: every TMVSim_* call goes to the
// device service's control port (TMVNET_CONTROL, loopback only), so the
// clock, faults, journal and injections act where the device calls run.
//
// Threading model: one connection for the process, opened on first use and
// again when the service went away; mutex_ in Control.cpp lets one call use
// it at a time. A clock step also waits, once the service answered, until
// every event its devices sent before the answer has reached its callback.

#include "base/Status.h"
#include "wire/Control.h"

#include <cstdint>
#include <type_traits>

namespace sim::remote {

// What an int or int64_t control function answers when the service cannot be
// reached or answers nonsense.
constexpr int32_t kControlUnanswered = -1;

// Sends control function `number` with its encoded arguments and waits for
// the reply; false when the service cannot be reached.
bool controlExchange(uint16_t number, const wire::Buffer &arguments, wire::Buffer *reply);
// What follows a control call the service answered: the clock's mode is
// noted, a step settles every link.
void controlDone(uint16_t number);
// True while this process has paused the service's clock: a stepping test
// wants every frame, so the links keep them all.
bool clockHeld();

// A control function, its number and its arguments.
template <auto Fn, uint16_t number, class... A>
typename wire::ControlSignature<decltype(Fn)>::Result control(A... args)
{
    using Signature = wire::ControlSignature<decltype(Fn)>;
    using Result = typename Signature::Result;
    using Client = typename Signature::Client;
    using Held = std::conditional_t<std::is_void_v<Result>, int32_t, Result>;
    [[maybe_unused]] Held result = kWrongParam;
    if (Client::sendable(args...)) {
        result = kControlUnanswered;
        wire::Buffer arguments;
        wire::Writer w(arguments);
        Client::encode(w, args...);
        wire::Buffer reply;
        if (controlExchange(number, arguments, &reply)) {
            // Shape first, then the outputs: a malformed reply writes nothing.
            wire::Reader check(reply);
            if constexpr (!std::is_void_v<Result>)
                check.value<Result>();
            if (Client::decode(check, false, args...)) {
                wire::Reader r(reply);
                Held got = 0;
                if constexpr (!std::is_void_v<Result>)
                    got = r.value<Result>();
                if (Client::decode(r, true, args...))
                    result = got;
                controlDone(number);
            }
        }
    }
    if constexpr (!std::is_void_v<Result>)
        return result;
}

}  // namespace sim::remote
