// The device service's reader of a login's messages: after a real login on
// one end of a socket pair, whatever the input holds arrives as the client's
// messages, whole frames (calls carrying the session's token, pings, other
// types) or loose bytes. The service answers or drops the connection, never
// crashes, and the session ends with the connection.
#include "FuzzCheck.h"
#include "TMVNetSDK.h"
#include "TMVSimControl.h"
#include "device/Fleet.h"
#include "device/FleetProfiles.h"
#include "service/DeviceConnection.h"
#include "wire/Auth.h"
#include "wire/Frame.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <memory>
#include <sys/socket.h>
#include <thread>

namespace {

const sim::DeviceProfile &device()
{
    static const sim::DeviceProfile profile = [] {
        TMV_NET_Init();
        return sim::defaultProfiles()[0];
    }();
    return profile;
}

// The client's side of the login; the token the device gave, or 0 when it
// refused (an earlier input may have restarted it: it boots a while).
uint64_t logIn(sim::wire::Socket &client)
{
    sim::wire::Buffer hello;
    sim::wire::Writer(hello).text("admin");
    client.send(sim::wire::MessageType::Hello, 0, hello);
    sim::wire::Message challenge;
    require(client.read(&challenge, 5000, 5000) == sim::wire::ReadResult::Ok);
    sim::wire::Nonce nonce{};
    require(challenge.payload.size() == nonce.size());
    std::copy(challenge.payload.begin(), challenge.payload.end(), nonce.begin());
    const sim::wire::Proof proof = sim::wire::makeProof(device().password, nonce, "admin");
    client.send(sim::wire::MessageType::Proof, 0, sim::wire::Buffer(proof.begin(), proof.end()));
    sim::wire::Message welcome;
    require(client.read(&welcome, 5000, 5000) == sim::wire::ReadResult::Ok);
    sim::wire::Reader r(welcome.payload);
    const auto status = r.value<int32_t>();
    const auto token = r.value<uint64_t>();
    return status == TMV_NET_SUCCESS ? token : 0;
}

}  // namespace

struct Connected {
    sim::wire::Socket client;
    std::unique_ptr<sim::service::DeviceConnection> connection;
    std::thread device;
    uint64_t token = 0;
};

void connect(Connected *c)
{
    int ends[2];
    require(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) == 0);
    c->client = sim::wire::Socket(ends[0]);
    c->connection = std::make_unique<sim::service::DeviceConnection>(sim::wire::Socket(ends[1]), device(),
                                                                      [](const std::string &) {});
    c->device = std::thread([conn = c->connection.get()] { conn->run(); });
    c->token = logIn(c->client);
}

void disconnect(Connected *c)
{
    ::shutdown(c->client.fd(), SHUT_WR);
    c->device.join();
    c->client.shutdown();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const sim::DeviceProfile &profile = device();
    Connected c;
    connect(&c);
    if (c.token == 0) {
        disconnect(&c);
        TMVSim_ResetFleet();
        c = Connected();
        connect(&c);
        require(c.token != 0);
    }
    sim::wire::Socket &client = c.client;
    const uint64_t token = c.token;

    // Drains what the device says, so that it never waits on a full socket.
    std::thread drain([&] {
        sim::wire::Message m;
        while (client.read(&m, 2000, 2000) == sim::wire::ReadResult::Ok) {
        }
    });
    FuzzedDataProvider in(data, size);
    while (in.remaining_bytes() > 0) {
        const auto type = in.ConsumeIntegral<uint8_t>();
        if (type >= 200) {  // loose bytes, framed or not
            const std::string raw = in.ConsumeRandomLengthString(64);
            ::send(client.fd(), raw.data(), raw.size(), MSG_NOSIGNAL);
            continue;
        }
        sim::wire::Buffer payload;
        sim::wire::Writer w(payload);
        if (type % 8 == 4) {  // a call of any function on this session
            w.value(in.ConsumeIntegral<uint16_t>());
            w.value(in.ConsumeBool() ? token : in.ConsumeIntegral<uint64_t>());
        }
        const std::string rest = in.ConsumeRandomLengthString(512);
        w.bytes(rest.data(), rest.size());
        if (!client.send(sim::wire::MessageType(type % 8 + 1), in.ConsumeIntegral<uint32_t>(), payload))
            break;
    }
    ::shutdown(client.fd(), SHUT_WR);
    c.device.join();
    client.shutdown();
    drain.join();
    require(c.connection->finished());
    require(TMVSim_SessionCount(profile.address.c_str()) == 0);
    return 0;
}
