#pragma once
// Who waits for whom among the threads inside the library. A call made from
// inside a callback may have to wait for another library thread (a Logout
// from a frame callback joins the other login's stream); two callbacks doing
// that to each other would wait forever. Before a thread waits for another,
// it registers the edge here; when the other thread already waits, directly
// or through others, for the caller, the wait is refused and the caller
// answers without waiting (the contract's status 1: it ends later).
//
// Threading model: a process-wide graph under one mutex; each thread waits
// for at most one other at a time, so the graph is a set of chains and a
// check walks one of them.

#include <thread>

namespace sim {

class WaitFor {
public:
    // Registers that the calling thread is about to wait for `target`,
    // unless that would close a cycle.
    explicit WaitFor(std::thread::id target);
    ~WaitFor();
    WaitFor(const WaitFor &) = delete;
    WaitFor &operator=(const WaitFor &) = delete;

    // False: waiting would deadlock; do not wait.
    bool allowed() const { return allowed_; }

private:
    bool allowed_ = false;
    bool registered_ = false;
};

}  // namespace sim
