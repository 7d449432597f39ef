#pragma once
// The device search on the network: the library sends one UDP probe to the
// device service's search port on 127.0.0.1; every device of the service
// answers as the embedded fleet's search does (after a short random delay,
// some more than once), one datagram per answer, to the probe's sender.
//
//   probe   magic, uint32 kind 1, uint64 probe id, int32 window (ms)
//   answer  magic, uint32 kind 2, uint64 probe id, the device's address (text)

#include "wire/Codec.h"

#include <cstdint>
#include <optional>
#include <string>

namespace sim::wire {

constexpr int kDefaultSearchPort = 37020;
constexpr size_t kMaxDatagram = 512;

struct SearchProbe {
    uint64_t id = 0;
    int32_t windowMs = 0;
};

Buffer probeDatagram(const SearchProbe &probe);
std::optional<SearchProbe> readProbe(const uint8_t *data, size_t size);
Buffer answerDatagram(uint64_t probeId, const std::string &address);
// The address an answer to probe `probeId` names; nothing for anything else.
std::optional<std::string> readAnswer(const uint8_t *data, size_t size, uint64_t probeId);

}  // namespace sim::wire
