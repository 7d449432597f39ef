#pragma once
// The device service's listening side: one TCP socket per device of the
// fleet, bound to the device's own address and port, and one thread per
// connection.
//
// Threading model: start() and stop() from the main thread. The accept
// thread alone adds connections; finished ones are joined there too, and
// stop() joins the rest.

#include "base/DeviceProfile.h"
#include "service/DeviceConnection.h"

#include <atomic>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace sim::service {

// The one-line message of a bind that failed with `error` (an errno).
std::string bindError(const std::string &address, int port, int error);
// A TCP socket listening on `address`:`port` (0: a free port), `flags`
// added to its type (e.g. SOCK_NONBLOCK); -1 with errno kept when it cannot.
// `bound` gets the port it listens on.
int listenTcp(const std::string &address, int port, int flags, int backlog, int *bound);

class DeviceServer {
public:
    DeviceServer(std::vector<DeviceProfile> *devices, LogLine log);
    ~DeviceServer();

    // Binds every device; on failure says why in `error` and binds nothing.
    // A port of 0 takes a free one, written back into the device's profile.
    bool bind(std::string *error);
    void start();
    void stop();

private:
    struct Running {
        std::unique_ptr<DeviceConnection> connection;
        std::thread thread;
    };
    void acceptLoop();
    void reap(bool all);

    std::vector<DeviceProfile> *devices_;
    LogLine log_;
    std::vector<int> listeners_;  // one per device, same order
    std::atomic<bool> stopping_{false};
    std::thread acceptor_;
    std::mutex mutex_;  // guards running_
    std::list<Running> running_;
};

}  // namespace sim::service
