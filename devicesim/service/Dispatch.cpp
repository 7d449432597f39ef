#include "service/Dispatch.h"

#include "service/Callbacks.h"
#include "wire/Functions.h"

#include <array>
#include <type_traits>

namespace sim::service {

namespace {

using Handler = bool (*)(wire::CallContext &, TMV_NET_HANDLE, wire::Reader &, wire::Buffer *);

template <class F>
struct TakesHandle : std::false_type {};
template <class... P>
struct TakesHandle<int32_t (*)(TMV_NET_HANDLE, P...)> : std::true_type {};

template <auto Fn>
bool serve(wire::CallContext &context, TMV_NET_HANDLE session, wire::Reader &r, wire::Buffer *reply)
{
    wire::Writer w(*reply);
    if constexpr (TakesHandle<decltype(Fn)>::value) {
        typename wire::Signature<Fn>::Device slots;
        if (!slots.decode(r))
            return false;
        const int32_t status = slots.invoke(context, Fn, session);
        w.value(status);
        slots.encode(w, status);
    } else {
        // Library life, search and login belong to the client's own library:
        // a connection never runs them on the service's fleet.
        w.value(int32_t(TMV_NET_FAILED));
    }
    return true;
}

#define SIM_SERVICE_HANDLER(name) &serve<&name>,
constexpr std::array<Handler, wire::kFunctionCount> kHandlers = {SIM_WIRE_FUNCTIONS(SIM_SERVICE_HANDLER)};
#undef SIM_SERVICE_HANDLER

}  // namespace

bool dispatch(uint16_t number, wire::CallContext &context, TMV_NET_HANDLE session, wire::Reader &arguments,
              wire::Buffer *reply)
{
    if (number >= kHandlers.size())
        return false;
    if (!wire::carried(number)) {
        wire::Writer(*reply).value(int32_t(TMV_NET_NOT_SUPPORTED));
        return true;
    }
    return kHandlers[number](context, session, arguments, reply);
}

}  // namespace sim::service
