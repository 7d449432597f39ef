#pragma once
// Answers the library's search probes (UDP on 127.0.0.1) with the fleet's own
// search: every device answers after its short random delay, as often as it
// was told to, to the probe's sender.
//
// Threading model: one thread reads probes; the fleet's event thread sends
// the answers. The fleet holds a probe's number, not its address: an answer
// looks its probe up under mutex_ and is dropped when the probe is gone (the
// newest probes are kept).

#include "wire/Codec.h"

#include <atomic>
#include <map>
#include <mutex>
#include <netinet/in.h>
#include <string>
#include <thread>

namespace sim::service {

class SearchResponder {
public:
    ~SearchResponder();
    // False with the reason when the port cannot be bound.
    bool bind(int port, std::string *error);
    void start();
    void stop();

private:
    struct Probe {
        sockaddr_in from;
        uint64_t id;  // the prober's own number for it
    };
    static void answer(const char *address, void *key);
    void receiveLoop();

    int fd_ = -1;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
    std::mutex mutex_;  // guards probes_ and nextKey_
    std::map<uintptr_t, Probe> probes_;
    uintptr_t nextKey_ = 1;
};

}  // namespace sim::service
