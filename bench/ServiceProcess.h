#pragma once
// The device service (sdkdemo-devices) as a child of a benchmark: one
// device on a loopback address and a free high port, its log in a folder of
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

extern char **environ;

namespace bench {

struct ServiceProcess {
    pid_t pid = -1;
    int port = 0;
    std::string folder;
};

// Starts a device of `kind` at `address` on a free port; false when the
// service would not start.
inline bool startService(ServiceProcess *s, const char *address, const char *kind = "ptz-dual")
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
        std::fprintf(f,
                     R"({"searchPort": %d, "devices": [{"kind": "%s", "address": "%s", "port": %d, "sdcard": "%s/card"}]})",
                     s->port, kind, address, s->port, s->folder.c_str());
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
            char text[4096] = {};
            if (FILE *l = std::fopen(log.c_str(), "r")) {
                const size_t n = std::fread(text, 1, sizeof text - 1, l);
                std::fclose(l);
                text[n] = '\0';
            }
            if (std::strstr(text, "search answers"))
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
