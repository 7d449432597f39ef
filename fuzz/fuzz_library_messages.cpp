// The device library's readers of what a device sends: events of every
// kind (a file's bytes and end too), replies decoded into the caller's
// records and arrays (never more than the caller's capacity), search
// answers, and frames off a socket.
#include "FuzzCheck.h"
#include "TMVNetSDK.h"
#include "wire/Arguments.h"
#include "wire/Events.h"
#include "wire/Frame.h"
#include "wire/Search.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A reply decoded as the calls of a few shapes would decode it; the caller's
// buffers are exactly as large as promised, so ASan sees any overrun.
void decodeReplies(const sim::wire::Buffer &reply, int32_t capacity)
{
    using namespace sim::wire;
    {
        TMV_NET_DEV_INFO info;
        Reader r(reply);
        Args<TMV_NET_DEV_INFO *>::decode(r, true, &info);
    }
    {
        std::vector<TMV_NET_PRESET_INFO> presets(static_cast<size_t>(capacity));
        int32_t count = -1;
        Reader r(reply);
        const bool whole = Args<TMV_NET_PRESET_INFO *, int32_t, int32_t *>::decode(r, true, presets.data(),
                                                                                   capacity, &count);
        require(!whole || r.left() == 0);
    }
    {
        uint8_t answer[16];
        int32_t length = 0;
        Reader r(reply);
        Args<const uint8_t *, int32_t, uint8_t *, int32_t, int32_t *, int32_t>::decode(
            r, true, nullptr, 0, answer, int32_t(sizeof answer), &length, 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace sim::wire;
    FuzzedDataProvider in(data, size);
    const int32_t capacity = in.ConsumeIntegralInRange<int32_t>(0, 8);
    const std::vector<uint8_t> bytes = in.ConsumeRemainingBytes<uint8_t>();
    const Buffer payload(bytes.begin(), bytes.end());

    Event event;
    if (readEvent(payload, &event)) {
        // Whatever was accepted holds what its dimensions promise.
        if (event.kind == EventKind::Preview || event.kind == EventKind::Temp || event.kind == EventKind::Raw) {
            const size_t perPixel = event.kind == EventKind::Preview ? 4 : 2;
            const size_t n = size_t(event.width) * size_t(event.height) * perPixel;
            require(event.pixels && event.pixels + n <= payload.data() + payload.size());
        }
    }
    FileEvent file;
    if (readFileEvent(payload, &file) && !file.end)
        require(file.size <= kFileChunk
                && (file.size == 0 || (file.data >= payload.data() && file.data + file.size <= payload.data() + payload.size())));
    decodeReplies(payload, capacity);
    readAnswer(payload.data(), payload.size(), 1);
    readProbe(payload.data(), payload.size());

    // The same bytes as a device's stream on a socket.
    int ends[2];
    require(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) == 0);
    Socket reader(ends[0]);
    if (!payload.empty())
        ::send(ends[1], payload.data(), payload.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    ::close(ends[1]);
    Message m;
    while (reader.read(&m, 0, 0) == ReadResult::Ok)
        require(m.payload.size() == m.header.length && m.header.length <= kMaxPayload);
    return 0;
}
