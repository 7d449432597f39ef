#include "wire/Search.h"

#include "wire/Frame.h"

namespace sim::wire {

namespace {

constexpr uint32_t kProbe = 1;
constexpr uint32_t kAnswer = 2;
// An IPv4 address in text.
constexpr uint32_t kMaxAddress = 15;

}  // namespace

Buffer probeDatagram(const SearchProbe &probe)
{
    Buffer b;
    Writer w(b);
    w.value(kMagic);
    w.value(kProbe);
    w.value(probe.id);
    w.value(probe.windowMs);
    return b;
}

std::optional<SearchProbe> readProbe(const uint8_t *data, size_t size)
{
    Reader r(data, size);
    SearchProbe probe;
    const bool shaped = r.value<uint32_t>() == kMagic && r.value<uint32_t>() == kProbe;
    probe.id = r.value<uint64_t>();
    probe.windowMs = r.value<int32_t>();
    if (!shaped || !r.ok() || r.left() != 0 || probe.windowMs < 0)
        return std::nullopt;
    return probe;
}

Buffer answerDatagram(uint64_t probeId, const std::string &address)
{
    Buffer b;
    Writer w(b);
    w.value(kMagic);
    w.value(kAnswer);
    w.value(probeId);
    w.text(address);
    return b;
}

std::optional<std::string> readAnswer(const uint8_t *data, size_t size, uint64_t probeId)
{
    Reader r(data, size);
    const bool shaped = r.value<uint32_t>() == kMagic && r.value<uint32_t>() == kAnswer;
    const bool ours = r.value<uint64_t>() == probeId;
    std::string address = r.text(kMaxAddress);
    if (!shaped || !ours || !r.ok() || r.left() != 0 || address.empty()
        || address.find('\0') != std::string::npos)
        return std::nullopt;
    return address;
}

}  // namespace sim::wire
