#include "storage/FileTap.h"

#include <map>
#include <mutex>

namespace sim::fileTaps {

namespace {

struct Registry {
    std::mutex mutex;  // guards taps
    std::map<std::string, std::shared_ptr<FileTap>> taps;
};

Registry &registry()
{
    static Registry r;
    return r;
}

}  // namespace

void add(const std::string &path, std::shared_ptr<FileTap> tap)
{
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.taps[path] = std::move(tap);
}

void remove(const std::string &path)
{
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.taps.erase(path);
}

std::shared_ptr<FileTap> find(const std::string &path)
{
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    auto it = r.taps.find(path);
    return it == r.taps.end() ? nullptr : it->second;
}

}  // namespace sim::fileTaps
