#pragma once
// One login's connection to a device over the network: calls go out and wait
// for their reply; the device's events come back on the same socket.
//
// Threading model: call() may run on any thread, several at once (each waits
// for its own sequence number). A reader thread takes every message off the
// socket: replies wake their caller, events queue for the callback thread,
// which alone runs the caller's callbacks, so a callback may call the library
// (its replies still arrive). A stream's frames wait at most one deep (a
// newer one replaces it) unless this process holds the clock paused, when a
// stepping test wants each one; alarms and exceptions all wait their turn.
// mutex_ guards the pending replies, the queue, the callbacks and which one
// runs; writeMutex_ keeps messages whole on the socket. stopCallbacks()
// returns once that stream's callback is not running and will not run again;
// close() joins both threads. The reader writes the bytes of the login's
// files (recordings, downloads) itself, through transfers(), so they are on
// disk before any reply that came after them is handed over.
//
// A link that carries nothing is found out: a device pings a quiet link every
// second, so the reader takes the link as lost, as a closed one, when nothing
// at all came for linkTimeoutMs(), which ends every call still waiting; a
// send waits that long at most.

#include "TMVNetSDK.h"
#include "remote/Transfers.h"
#include "wire/Events.h"
#include "wire/Frame.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

namespace sim::remote {

// How long a link may carry nothing before it counts as lost, and a call or
// a login may wait: TMVNET_LINK_TIMEOUT_MS, else 5 s.
int linkTimeoutMs();

// The callbacks a login can hold, one of each.
enum class Stream { Exception, Preview, Temp, Raw, Alarm, Count };

struct Callback {
    void *function = nullptr;
    void *user = nullptr;
};

class Link {
public:
    // Takes a socket that finished its login; `handle` is what the caller's
    // callbacks receive.
    Link(wire::Socket socket, uint64_t token, TMV_NET_HANDLE handle);
    ~Link();
    Link(const Link &) = delete;
    Link &operator=(const Link &) = delete;

    uint64_t token() const { return token_; }
    // Sends a call and waits for its reply; false when the link is lost
    // before the reply came.
    bool call(const wire::Buffer &request, wire::Buffer *reply);

    // Sets a stream's callback and hands back the one it replaces.
    Callback setCallback(Stream stream, Callback callback);
    // Sets it only when the stream has none; false when it has one.
    bool claimCallback(Stream stream, Callback callback);
    // Clears a stream's callback and waits while it runs; false (without
    // waiting) when called from that very callback: it runs to its end.
    bool stopCallbacks(Stream stream);

    // Returns once every event the device sent before it answers a probe
    // now has been handed to its callback (or dropped); false when the link
    // is lost first. Not from this link's callback thread.
    bool settle();

    bool lost() const;
    // The caller is logging out: the device closing the link afterwards is
    // no loss to report.
    void expectEnd();
    // True on this link's callback thread.
    bool onCallbackThread() const;
    // Ends the link; not from its own callback thread.
    void close();

    // The files the device writes on this machine for this login.
    Transfers &transfers() { return transfers_; }

private:
    struct Pending {
        bool answered = false;
        wire::Buffer reply;
        uint64_t queuedBefore = 0;  // a settle probe: events queued when it came back
    };
    // Sends a message the device answers by its sequence and waits for the
    // answer; false when none comes (the link lost or closing).
    bool roundTrip(wire::MessageType type, const wire::Buffer &payload, Pending *answer);
    void readLoop();
    void callbackLoop();
    void queueEvent(wire::Buffer event);
    void dispatch(const wire::Event &event, Callback callback);
    void markLost();

    wire::Socket socket_;
    const uint64_t token_;
    const TMV_NET_HANDLE handle_;
    std::mutex writeMutex_;

    mutable std::mutex mutex_;  // guards everything below
    std::condition_variable changed_;
    uint32_t nextSequence_ = 1;
    std::map<uint32_t, Pending> pending_;
    std::deque<wire::Buffer> events_;
    uint64_t queued_ = 0;  // events put on events_, and taken off it
    uint64_t taken_ = 0;
    Callback callbacks_[int(Stream::Count)];
    int running_ = -1;  // the stream whose callback runs now
    bool lost_ = false;
    bool closing_ = false;
    bool ending_ = false;

    Transfers transfers_;
    std::mutex closeMutex_;  // one close() joins, a second waits for it
    std::thread reader_;
    std::thread callbackThread_;
};

}  // namespace sim::remote
