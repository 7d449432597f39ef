#pragma once
// The login's challenge and response: the device sends a random nonce, the
// client answers HMAC-SHA256(password, nonce | user), so the password never
// travels. Session tokens are random too: another process cannot guess one.

#include <array>
#include <cstdint>
#include <string>

namespace sim::wire {

using Nonce = std::array<uint8_t, 32>;
using Proof = std::array<uint8_t, 32>;

Nonce makeNonce();
uint64_t makeToken();
Proof makeProof(const std::string &password, const Nonce &nonce, const std::string &user);
// Compares in constant time.
bool sameProof(const Proof &a, const Proof &b);

}  // namespace sim::wire
