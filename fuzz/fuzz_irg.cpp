// The simulator's reader of IRG temperature files, on any bytes: a matrix it
// accepts has the size its header gives and writes back to the same file.
#include "storage/PictureFiles.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    sim::ThermalMatrix matrix;
    if (!sim::decodeIrg(data, size, matrix))
        return 0;
    if (matrix.width < 1 || matrix.height < 1 || matrix.width > sim::kMaxPictureSide
        || matrix.height > sim::kMaxPictureSide
        || matrix.values.size() != size_t(matrix.width) * size_t(matrix.height))
        std::abort();
    // Written again and read back: the same values (the writer keeps its own
    // scale, so only the values and the size are compared).
    const std::vector<uint8_t> again =
        sim::encodeIrg(matrix.values.data(), matrix.width, matrix.height, matrix.meta);
    sim::ThermalMatrix back;
    if (!sim::decodeIrg(again.data(), again.size(), back) || back.values != matrix.values
        || back.width != matrix.width || back.height != matrix.height)
        std::abort();
    return 0;
}
