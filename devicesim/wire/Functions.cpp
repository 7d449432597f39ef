#include "wire/Functions.h"

namespace sim::wire {

const char *functionName(uint16_t number)
{
#define SIM_WIRE_NAME(name) #name,
    static const char *const kNames[] = {SIM_WIRE_FUNCTIONS(SIM_WIRE_NAME)};
#undef SIM_WIRE_NAME
    return number < kFunctionCount ? kNames[number] : nullptr;
}

bool carried(uint16_t number)
{
    return number < kFunctionCount;
}

}  // namespace sim::wire
