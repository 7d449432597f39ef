#include "wire/Control.h"

namespace sim::wire {

const char *controlName(uint16_t number)
{
#define SIM_WIRE_CONTROL_NAME(name) #name,
    static const char *const kNames[] = {SIM_WIRE_CONTROLS(SIM_WIRE_CONTROL_NAME)};
#undef SIM_WIRE_CONTROL_NAME
    return number < kControlCount ? kNames[number] : nullptr;
}

}  // namespace sim::wire
