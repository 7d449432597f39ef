// The device's reading of the names in its SD card folder and of the query
// times a search gives: anything it takes is the one canonical form it
// writes, so the folder alone stays the truth.
#include "storage/CardNames.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);

    sim::CardFileName file;
    if (sim::parseCardFileName(text, &file)
        && (sim::cardFileName(file) != text || file.end < file.start || file.channel < 0))
        std::abort();

    int64_t civil = 0;
    if (sim::parseQueryTime(text.c_str(), &civil) && sim::queryTime(civil) != text.c_str())
        std::abort();
    return 0;
}
