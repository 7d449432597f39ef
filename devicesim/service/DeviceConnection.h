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
// replies, alarms and exceptions all wait their turn (a reply goes ahead of
// the stream frames that wait, though). A reply or ping finds the queue
// empty and nothing being sent most of the time: the connection's own
// thread then sends it itself, which saves a call the writer's wake-up.
// queueMutex_ guards the queue and who is sending. The session is logged
// out before run() returns, so no callback of it can reach this object
// afterwards.
//
// The files a call of the login writes over a long time (a recording, a
// download) are scratch files of the connection's, tapped: every write goes
// into the same queue as FileData events of at most wire::kFileChunk bytes,
// so replies and alarms wait behind at most kMaxQueuedFileBytes of them; a
// writer with more to send waits until the queue has room (the writer thread
// on the socket, so at the client's pace). The taps reach the connection
// through a FileOutlet, which run() closes before it logs a lost session out,
// so a writer never waits for a client that has gone, and a tap that outlives
// the connection is told no.

#include "TMVNetSDK.h"
#include "base/DeviceProfile.h"
#include "wire/Arguments.h"
#include "wire/Events.h"
#include "wire/Faults.h"
#include "wire/Frame.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace sim::service {

class DeviceConnection;

// Where the taps of a connection's files send their events; closed when the
// connection ends.
class FileOutlet {
public:
    explicit FileOutlet(DeviceConnection *connection) : connection_(connection) {}
    // False once closed (the bytes have nowhere to go).
    bool push(wire::Buffer event);
    void close();

private:
    std::mutex mutex_;  // held while a push runs, so close() waits for it
    DeviceConnection *connection_;
};

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
    std::string liveFile(uint32_t transfer, const std::string &name, bool writable) override;
    void liveFileTaken(const std::string &path) override;
    void pushEvent(wire::Buffer event);
    // A frame of stream `kind` still waits to go out (a new one would only
    // replace it).
    bool frameWaiting(wire::EventKind kind);
    // A file event: waits while the queue holds kMaxQueuedFileBytes of them;
    // false once the connection ends.
    bool pushFileEvent(wire::Buffer event);
    // Ends the waits of pushFileEvent(): the client is gone.
    void closeFiles();

    static constexpr size_t kMaxQueuedFileBytes = 4 * wire::kFileChunk;
    // A limited wire's line takes in no more frames beyond this much of its pace.
    static constexpr int kBacklogMs = 100;

private:
    bool admit();
    void serve();
    // Answers one call; false when the message was malformed.
    bool answer(const wire::Message &call);
    // Before the writer runs (the login's steps).
    bool send(wire::MessageType type, uint32_t sequence, const wire::Buffer &payload);
    void queue(wire::MessageType type, uint32_t sequence, wire::Buffer payload);
    void writeLoop();
    // One step of the writer on a faulted wire; false when the writer ends.
    bool writeFaulted(std::unique_lock<std::mutex> &lock);
    // Moves what the line may take from the queue.
    void intake(const wire::WireFaults::Settings &wire);
    // The reader, while the wire is cut; false once the connection stops.
    bool waitForWire();
    // The client is gone: nothing more is sent.
    void writerFailedLocked();
    // Sends what is queued, then ends the writer.
    void finishWriting();
    void log(const std::string &what);

    struct Outgoing {
        wire::MessageType type;
        uint32_t sequence;
        wire::Buffer payload;
        int droppableKind;  // the event kind a newer frame may replace, or 0
        size_t fileBytes = 0;  // of a file event
        std::chrono::steady_clock::time_point queuedAt{};
    };

    wire::Socket socket_;
    const DeviceProfile &device_;
    LogLine log_;
    const std::string peer_;
    std::mutex queueMutex_;  // guards the queue, the line and the flags below
    std::condition_variable queued_;
    std::condition_variable drained_;  // file bytes went out, or no more will
    std::condition_variable wireChanged_;  // for the reader on a cut wire
    std::deque<Outgoing> outgoing_;
    bool sending_ = false;  // a message is on its way out (the writer's, or inline)
    bool writerDone_ = false;
    size_t queuedFileBytes_ = 0;
    bool filesClosed_ = false;
    bool stopped_ = false;
    // The faulted wire's line: its messages' payload bytes, the head framed
    // and how much of it went, and the piece booked on the link.
    std::deque<Outgoing> line_;
    size_t lineBytes_ = 0;
    wire::Buffer headFrame_;
    size_t headSent_ = 0;
    size_t pieceBytes_ = 0;
    std::chrono::steady_clock::time_point pieceAt_{};
    const std::shared_ptr<wire::WireFaults> wire_;
    const std::shared_ptr<FileOutlet> outlet_;
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
