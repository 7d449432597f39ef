#include "wire/Auth.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>

#include <random>
#include <vector>

namespace sim::wire {

namespace {

void randomFill(uint8_t *out, size_t size)
{
    if (RAND_bytes(out, int(size)) == 1)
        return;
    std::random_device system;  // the kernel's generator, should OpenSSL's fail
    for (size_t i = 0; i < size; ++i)
        out[i] = uint8_t(system());
}

}  // namespace

Nonce makeNonce()
{
    Nonce n;
    randomFill(n.data(), n.size());
    return n;
}

uint64_t makeToken()
{
    uint64_t t = 0;
    while (t == 0)
        randomFill(reinterpret_cast<uint8_t *>(&t), sizeof t);
    return t;
}

Proof makeProof(const std::string &password, const Nonce &nonce, const std::string &user)
{
    std::vector<uint8_t> message(nonce.begin(), nonce.end());
    message.insert(message.end(), user.begin(), user.end());
    Proof out{};
    unsigned int size = 0;
    HMAC(EVP_sha256(), password.data(), int(password.size()), message.data(), message.size(), out.data(), &size);
    return out;
}

bool sameProof(const Proof &a, const Proof &b)
{
    return CRYPTO_memcmp(a.data(), b.data(), a.size()) == 0;
}

}  // namespace sim::wire
