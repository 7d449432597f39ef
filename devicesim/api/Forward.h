#pragma once
// In network mode an entry point hands its arguments to the device over the
// connection of its login and answers what the device answered; the journal,
// faults and argument rules then run on the device's side, in the same
// entry point there. Each entry point starts with
//
//   SIM_FORWARD(TMV_NET_GetDevInfo, handle, info);

#include "remote/Remote.h"
#include "remote/Transfers.h"
#include "wire/Functions.h"

#define SIM_FORWARD(function, ...)                                                                  \
    do {                                                                                            \
        if (::sim::remote::active())                                                                \
            return ::sim::remote::call<&function>(::sim::wire::kFn_##function, __VA_ARGS__);       \
    } while (0)

// For an entry point whose network mode keeps files of the caller's on this
// machine (recordings, downloads): `call` answers it.
//
//   SIM_FORWARD_TO(::sim::remote::startRecord(handle, path));
#define SIM_FORWARD_TO(call)              \
    do {                                  \
        if (::sim::remote::active())      \
            return call;                  \
    } while (0)
