#include "wire/Arguments.h"

#include <fstream>
#include <iterator>

namespace sim::wire {

std::string fileName(const char *path)
{
    const char *slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

bool safeFileName(const std::string &name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos
           && name.find('\0') == std::string::npos;
}

bool readWholeFile(const char *path, std::vector<uint8_t> *bytes, uint32_t limit)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return false;
    const std::streamoff size = in.tellg();
    if (size < 0 || uint64_t(size) > limit)
        return false;
    bytes->resize(size_t(size));
    in.seekg(0);
    return bool(in.read(reinterpret_cast<char *>(bytes->data()), size));
}

bool writeWholeFile(const char *path, const uint8_t *bytes, size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out.write(reinterpret_cast<const char *>(bytes), std::streamsize(size));
    return bool(out.flush());
}

}  // namespace sim::wire
