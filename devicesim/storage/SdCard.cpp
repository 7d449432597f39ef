#include "storage/SdCard.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace sim {

namespace {

std::mutex rootMutex;
std::string rootOverride;  // guarded by rootMutex

std::string environment(const char *name)
{
    const char *value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string absolute(const std::string &path)
{
    std::error_code error;
    const auto full = std::filesystem::absolute(path, error);
    std::string text = error ? path : full.lexically_normal().string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

std::string homeFolder()
{
    std::string home = environment("HOME");
    if (!home.empty())
        return home;
    passwd entry;
    passwd *found = nullptr;
    char buffer[4096];
    if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found
        && found->pw_dir && *found->pw_dir)
        return found->pw_dir;
    return {};
}

std::string defaultRoot()
{
    // The base directory specification ignores a relative XDG_CACHE_HOME.
    std::string cache = environment("XDG_CACHE_HOME");
    if (cache.empty() || cache[0] != '/') {
        const std::string home = homeFolder();
        if (home.empty()) {
            const std::string tmp = environment("TMPDIR");
            cache = tmp.empty() ? "/tmp" : tmp;
        } else {
            cache = home + "/.cache";
        }
    }
    return cache + "/sdkdemo/sdcard";
}

bool isFolder(const std::string &path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// mkdir -p, with 0700 for every folder it has to create: a card may hold
// pictures of someone's premises.
bool makeFolders(const std::string &path)
{
    if (isFolder(path))
        return true;
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (!part.empty() && ::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            break;
    }
    return isFolder(path);
}

}  // namespace

SdCard::SdCard(std::string address) : address_(std::move(address)) {}

std::string SdCard::folder()
{
    // The address becomes one file name: nothing that could climb out of
    // the root or hide.
    if (address_.empty() || address_ == "." || address_ == ".."
        || address_.find('/') != std::string::npos || address_.find('\0') != std::string::npos)
        return {};
    const std::string path = root() + "/" + address_;
    std::lock_guard<std::mutex> lock(mutex_);
    return makeFolders(path) ? path : std::string();
}

void SdCard::setRoot(const std::string &folder)
{
    const std::string full = folder.empty() ? std::string() : absolute(folder);
    std::lock_guard<std::mutex> lock(rootMutex);
    rootOverride = full;
}

std::string SdCard::root()
{
    {
        std::lock_guard<std::mutex> lock(rootMutex);
        if (!rootOverride.empty())
            return rootOverride;
    }
    const std::string fromEnvironment = environment(kRootVariable);
    return absolute(fromEnvironment.empty() ? defaultRoot() : fromEnvironment);
}

}  // namespace sim
