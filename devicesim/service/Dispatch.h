#pragma once
// The device side of a call: decodes function `number`'s arguments, calls the
// entry point of this process's fleet on `session`, encodes the status and
// outputs. False when the arguments were malformed (nothing was called).

#include "TMVNetSDK.h"
#include "wire/Arguments.h"

namespace sim::service {

bool dispatch(uint16_t number, wire::CallContext &context, TMV_NET_HANDLE session, wire::Reader &arguments,
              wire::Buffer *reply);

}  // namespace sim::service
