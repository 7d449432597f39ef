// The simulator's reader of DLT664 pictures (a JPEG whose APP9 segments
// carry the temperature matrix), on any bytes: a matrix it accepts is whole.
#include "storage/PictureFiles.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    sim::ThermalMatrix matrix;
    if (!sim::decodeDlt664(data, size, matrix))
        return 0;
    if (matrix.width < 1 || matrix.height < 1 || matrix.width > sim::kMaxPictureSide
        || matrix.height > sim::kMaxPictureSide || matrix.scale == 0
        || matrix.values.size() != size_t(matrix.width) * size_t(matrix.height))
        std::abort();
    // The matrix bytes came from the input: never more than it holds.
    if (matrix.values.size() * 2 > size)
        std::abort();
    return 0;
}
