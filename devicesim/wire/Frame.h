#pragma once
// The device protocol's framing: every message is a 16-byte header (magic,
// version, type, sequence, payload length; little-endian) and its payload.
// docs/device-protocol.md describes the messages.

#include "wire/Codec.h"

#include <cstdint>
#include <string>

namespace sim::wire {

constexpr uint32_t kMagic = 0x50564D54;  // "TMVP"
constexpr uint16_t kVersion = 1;
constexpr size_t kHeaderSize = 16;
// A 1920x1080 RGBA frame with its record fits; a bigger claim is a bad peer.
constexpr uint32_t kMaxPayload = 16u << 20;

enum class MessageType : uint16_t {
    Hello = 1,      // client: user name; opens a login
    Challenge = 2,  // device: 32-byte nonce
    Proof = 3,      // client: HMAC-SHA256(password, nonce | user)
    Welcome = 4,    // device: status, session token
    Call = 5,       // client: function number, token, arguments
    Reply = 6,      // device: status, outputs (same sequence as the call)
    Event = 7,      // device: a callback's data
    Ping = 8,       // either side: the link is alive
};

struct Header {
    uint16_t version = kVersion;
    MessageType type = MessageType::Ping;
    uint32_t sequence = 0;
    uint32_t length = 0;
};

struct Message {
    Header header;
    Buffer payload;
};

// Why a read ended without a message.
// Idle: no message started within the idle time; TimedOut: one started but
// its rest did not come in time.
enum class ReadResult { Ok, Idle, Closed, TimedOut, Bad };

// A connected TCP socket; closes on destruction. Reads and writes block;
// every read has a deadline so that a silent or half-sent peer cannot hold
// a thread for ever.
class Socket {
public:
    Socket() = default;
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket();
    Socket(Socket &&other) noexcept : fd_(other.fd_), lowWater_(other.lowWater_) { other.fd_ = -1; }
    Socket &operator=(Socket &&other) noexcept;
    Socket(const Socket &) = delete;
    Socket &operator=(const Socket &) = delete;

    bool valid() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    // Wakes a thread blocked reading this socket (it sees Closed).
    void shutdown();

    // Connects within `timeoutMs`; an invalid socket when nobody answers.
    static Socket connectTo(const std::string &address, int port, int timeoutMs);

    bool send(MessageType type, uint32_t sequence, const Buffer &payload);
    // Bytes of a message framed by frameOf(), sent piece by piece (a paced
    // wire); false when the peer is gone.
    bool sendBytes(const uint8_t *data, size_t size);
    static Buffer frameOf(MessageType type, uint32_t sequence, const Buffer &payload);
    // Bounds every send: a peer that takes nothing for `ms` fails it.
    void setSendTimeout(int ms);
    // Waits up to `idleMs` for a message to start (-1: for ever), then for
    // the rest of it as long as no `partMs` pass without a byte.
    ReadResult read(Message *message, int idleMs, int partMs);

    // "address:port" of the far end, for log lines.
    std::string peerName() const;

private:
    bool readExactly(void *out, size_t size, int timeoutMs, ReadResult *why);
    // Reads `least` to `most` bytes: how many came (fewer than `least` when
    // the time ran out or the peer closed, with `why` set). `waitFirst`
    // polls before the first read, for a reader that expects to wait.
    size_t readAtLeast(void *out, size_t least, size_t most, int timeoutMs, ReadResult *why, bool waitFirst);

    // How many bytes must wait before a poll says the socket is readable.
    void setLowWater(int bytes);

    int fd_ = -1;
    int lowWater_ = 1;  // SO_RCVLOWAT as last set
};

}  // namespace sim::wire
