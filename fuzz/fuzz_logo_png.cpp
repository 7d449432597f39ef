// The device's check of a logo picture sent to it, on any bytes: only a
// complete PNG within the device's limits is taken.
#include "settings/Peripherals.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::vector<uint8_t> png(data, data + size);
    int width = 0, height = 0;
    if (!sim::logo::acceptable(png, &width, &height))
        return 0;
    if (size > sim::logo::kMaxBytes || width < 1 || height < 1 || width > sim::logo::kMaxSide
        || height > sim::logo::kMaxSide)
        std::abort();
    return 0;
}
