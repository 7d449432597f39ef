#pragma once
// In network mode a control function acts on the device service, where the
// device calls run: it hands its arguments to the service's control port
// and answers what the service answered. Each control function starts with
//
//   SIM_CONTROL_FORWARD(TMVSim_SessionCount, address);

#include "remote/Control.h"
#include "remote/Remote.h"

#define SIM_CONTROL_FORWARD(function, ...)                                                            \
    do {                                                                                              \
        if (::sim::remote::active())                                                                  \
            return ::sim::remote::control<&function, ::sim::wire::kCtl_##function>(__VA_ARGS__);      \
    } while (0)
