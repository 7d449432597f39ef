#pragma once
// One client's connection to one device of the service: the login's
// challenge and response, then the login's calls, each answered in turn,
// and the events of its callbacks pushed between them.
//
// Threading model: run() owns the socket's reading on the connection's own
// thread. Everything the device says after the login (replies, pings, and
// events from the device's threads through pushEvent()) goes through one
// queue to a writer thread, so a slow client never holds a device thread: a
// stream's frame still waiting gives its place to a newer one, while
// replies, alarms and exceptions all wait their turn. queueMutex_ guards the
// queue. The session is logged out before run() returns, so no callback of
// it can reach this object afterwards.

#include "TMVNetSDK.h"
#include "base/DeviceProfile.h"
#include "wire/Arguments.h"
#include "wire/Frame.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace sim::service {

using LogLine = std::function<void(const std::string &)>;

class DeviceConnection : public wire::CallContext {
public:
    DeviceConnection(wire::Socket socket, const DeviceProfile &device, LogLine log);

    void run();
    // Wakes run() from another thread; the connection then ends as lost.
    void stop();
    bool finished() const { return finished_; }

    void *callbackUser() override { return this; }
    // Made on first use, removed with the connection.
    std::string scratchFolder() override;
    void pushEvent(wire::Buffer event);

private:
    bool admit();
    void serve();
    // Answers one call; false when the message was malformed.
    bool answer(const wire::Message &call);
    // Before the writer runs (the login's steps).
    bool send(wire::MessageType type, uint32_t sequence, const wire::Buffer &payload);
    void queue(wire::MessageType type, uint32_t sequence, wire::Buffer payload);
    void writeLoop();
    // Sends what is queued, then ends the writer.
    void finishWriting();
    void log(const std::string &what);

    struct Outgoing {
        wire::MessageType type;
        uint32_t sequence;
        wire::Buffer payload;
        int droppableKind;  // the event kind a newer frame may replace, or 0
    };

    wire::Socket socket_;
    const DeviceProfile &device_;
    LogLine log_;
    const std::string peer_;
    std::mutex queueMutex_;  // guards the three below
    std::condition_variable queued_;
    std::deque<Outgoing> outgoing_;
    bool writerDone_ = false;
    std::thread writer_;
    std::string user_;
    std::string scratch_;
    TMV_NET_HANDLE session_ = nullptr;
    uint64_t token_ = 0;
    bool loggedOut_ = false;
    std::atomic<bool> finished_{false};

    // Waits, for kPartMs at most, until `done` holds of the queue (called
    // under queueMutex_) or the writer has ended. While the simulation clock
    // is paused a frame waits so for the one before it to go out, so that a
    // step delivers every frame; a client's probe waits for everything
    // queued before it.
    void waitForQueue(const std::function<bool()> &done);
};

}  // namespace sim::service
