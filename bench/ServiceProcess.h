#pragma once
// The device service (sdkdemo-devices) as a child of a benchmark: devices
// on loopback addresses and one free high port, its log in a folder of
// its own, stopped (and the folder removed) at the end.

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace bench {

struct ServiceProcess {
    pid_t pid = -1;
    int port = 0;
    std::string folder;
};

struct FleetDevice {
    std::string kind;
    std::string address;
};

// Starts the devices, all on one free port; false when the service would
// not start.
inline bool startFleet(ServiceProcess *s, const std::vector<FleetDevice> &devices)
{
    char folder[] = "/tmp/bench-devices-XXXXXX";
    if (!mkdtemp(folder))
        return false;
    s->folder = folder;
    std::mt19937 random(std::random_device{}());
    for (int attempt = 0; attempt < 8; ++attempt) {
        s->port = std::uniform_int_distribution<int>(33000, 45000)(random);
        const std::string fleet = s->folder + "/fleet.json";
        FILE *f = std::fopen(fleet.c_str(), "w");
        if (!f)
            return false;
        std::fprintf(f, R"({"searchPort": %d, "devices": [)", s->port);
        for (size_t i = 0; i < devices.size(); ++i)
            std::fprintf(f, R"(%s{"kind": "%s", "address": "%s", "port": %d, "sdcard": "%s/card%s"})", i ? ", " : "",
                         devices[i].kind.c_str(), devices[i].address.c_str(), s->port, s->folder.c_str(),
                         i ? ("-" + devices[i].address).c_str() : "");
        std::fprintf(f, "]}");
        std::fclose(f);
        const std::string log = s->folder + "/service.log";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        const char *argv[] = {SDKDEMO_DEVICES_PROGRAM, "--fleet", fleet.c_str(), nullptr};
        const int rc = posix_spawn(&s->pid, argv[0], &actions, nullptr, const_cast<char **>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0)
            return false;
        for (int i = 0; i < 100; ++i) {  // up to 10 s for its last line of start
            usleep(100000);
            // A line per device comes first: the whole log is read.
            std::string text;
            if (FILE *l = std::fopen(log.c_str(), "r")) {
                char chunk[4096];
                for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, l)) > 0;)
                    text.append(chunk, n);
                std::fclose(l);
            }
            if (text.find("search answers") != std::string::npos)
                return true;
            int status = 0;
            if (waitpid(s->pid, &status, WNOHANG) == s->pid)
                break;  // the port was taken: another
        }
        kill(s->pid, SIGKILL);
        waitpid(s->pid, nullptr, 0);
    }
    return false;
}

// Starts a device of `kind` at `address` on a free port; false when the
// service would not start.
inline bool startService(ServiceProcess *s, const char *address, const char *kind = "ptz-dual")
{
    return startFleet(s, {{kind, address}});
}

inline void stopService(ServiceProcess *s)
{
    if (s->pid > 0) {
        kill(s->pid, SIGTERM);
        waitpid(s->pid, nullptr, 0);
        s->pid = -1;
    }
    if (!s->folder.empty()) {
        const std::string remove = "rm -rf '" + s->folder + "'";
        if (std::system(remove.c_str()) != 0)
            std::fprintf(stderr, "could not remove %s\n", s->folder.c_str());
        s->folder.clear();
    }
}

}  // namespace bench
