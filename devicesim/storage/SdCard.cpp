#include "storage/SdCard.h"

#include <cstdlib>
#include <sys/stat.h>

namespace sim {

std::string SdCard::folder()
{
    std::lock_guard<std::mutex> lock(mutex_);
    const char *tmp = std::getenv("TMPDIR");
    std::string root = std::string(tmp && *tmp ? tmp : "/tmp") + "/tmvsim-sdcard";
    ::mkdir(root.c_str(), 0700);
    std::string path = root + "/" + address_;
    ::mkdir(path.c_str(), 0700);
    return path;
}

}  // namespace sim
