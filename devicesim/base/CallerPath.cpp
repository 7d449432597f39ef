#include "base/CallerPath.h"

namespace sim {

bool callerPathAllowed(const std::string &path)
{
    if (path.empty())
        return false;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        if (end - start == 2 && path.compare(start, 2, "..") == 0)
            return false;
        start = end + 1;
    }
    return true;
}

}  // namespace sim
