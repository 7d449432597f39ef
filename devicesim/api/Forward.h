#pragma once
// In network mode an entry point hands its arguments to the device over the
// connection of its login and answers what the device answered; the journal,
// faults and argument rules then run on the device's side, in the same
// entry point there. Each entry point starts with
//
//   SIM_FORWARD(TMV_NET_GetDevInfo, handle, info);

#include "remote/Remote.h"
#include "wire/Functions.h"

#define SIM_FORWARD(function, ...)                                                                  \
    do {                                                                                            \
        if (::sim::remote::active())                                                                \
            return ::sim::remote::call<&function>(::sim::wire::kFn_##function, __VA_ARGS__);       \
    } while (0)
