#include "wire/Arguments.h"

#include <cstdio>
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

std::string scratchName(const char *path)
{
    if (!*path)
        return {};
    // FNV-1a: equal paths give equal names, different ones different names.
    uint64_t hash = 0xcbf29ce484222325ull;
    for (const char *p = path; *p; ++p)
        hash = (hash ^ uint8_t(*p)) * 0x100000001b3ull;
    char digits[17];
    std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(hash));
    // The extension says what some calls write (a recording's container).
    const std::string last = fileName(path);
    const size_t dot = last.rfind('.');
    const bool extension = safeFileName(last) && dot != std::string::npos && last.size() - dot <= kMaxExtension;
    return digits + (extension ? last.substr(dot) : std::string());
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
