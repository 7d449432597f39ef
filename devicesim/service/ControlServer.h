#pragma once
// The device service's control port: the control interface (TMVSimControl.h)
// of the library's network mode, answered on this process's fleet. One TCP
// listener on a loopback address; each connection sends Calls of a control
// function's number and arguments and gets a Reply of its result and
// outputs, one at a time. docs/device-protocol.md describes it.
//
// Threading model: start() and stop() from the main thread. The accept
// thread alone adds connections, each served on its own thread; finished
// ones are joined there, and stop() wakes and joins the rest. mutex_
// guards running_.

#include "service/DeviceConnection.h"
#include "wire/Frame.h"

#include <atomic>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace sim::service {

// Answers one control call: decodes function `number`'s arguments, calls it
// on this process's fleet, encodes the result and outputs. False when the
// call was malformed (nothing was called).
bool dispatchControl(uint16_t number, wire::Reader &arguments, wire::Buffer *reply);

class ControlServer {
public:
    explicit ControlServer(LogLine log);
    ~ControlServer();

    // Binds a loopback address; a port of 0 takes a free one. On failure
    // says why in `error`.
    bool bind(const std::string &address, int port, std::string *error);
    int port() const { return port_; }
    void start();
    void stop();

private:
    struct Running {
        wire::Socket socket;
        std::thread thread;
        std::atomic<bool> finished{false};
    };
    void acceptLoop();
    void serve(Running &connection);
    void reap(bool all);

    LogLine log_;
    int listener_ = -1;
    std::string address_;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread acceptor_;
    std::mutex mutex_;
    std::list<Running> running_;
};

}  // namespace sim::service
