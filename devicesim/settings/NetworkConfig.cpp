#include "settings/NetworkConfig.h"

#include "base/Status.h"

#include <cstdio>
#include <cstring>

namespace sim {

namespace netcfg {

bool parseIpv4(const std::string &text, uint32_t *address)
{
    uint32_t value = 0;
    size_t i = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (i >= text.size() || text[i] != '.')
                return false;
            ++i;
        }
        int digits = 0;
        uint32_t number = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 3) {
            number = number * 10 + uint32_t(text[i] - '0');
            ++i;
            ++digits;
        }
        if (digits == 0 || number > 255)
            return false;
        value = (value << 8) | number;
    }
    if (i != text.size())
        return false;
    if (address)
        *address = value;
    return true;
}

int prefixLength(uint32_t mask)
{
    const uint32_t inverted = ~mask;
    // Contiguous: the host part is a run of ones from bit 0.
    if ((inverted & (inverted + 1)) != 0)
        return -1;
    int length = 0;
    for (uint32_t m = mask; m & 0x80000000u; m <<= 1)
        ++length;
    return length;
}

namespace {

// 0.0.0.0/8 ("this network"), multicast and the reserved block above.
bool unusable(uint32_t address)
{
    return (address >> 24) == 0 || (address >> 28) >= 0xE;
}

}  // namespace

int32_t checkStatic(const std::string &ip, const std::string &mask, const std::string &gateway)
{
    uint32_t a = 0, m = 0, g = 0;
    if (!parseIpv4(ip, &a) || !parseIpv4(mask, &m) || !parseIpv4(gateway, &g))
        return kWrongParam;
    const int prefix = prefixLength(m);
    if (prefix < 1 || prefix > 30)
        return kWrongParam;
    if (unusable(a) || unusable(g))
        return kWrongParam;
    const uint32_t network = a & m;
    const uint32_t broadcast = network | ~m;
    if (a == network || a == broadcast)
        return kWrongParam;
    if ((g & m) != network || g == network || g == broadcast || g == a)
        return kWrongParam;
    return kOk;
}

int32_t checkDns(const std::string &dns)
{
    if (dns.empty())
        return kOk;
    uint32_t d = 0;
    return parseIpv4(dns, &d) && !unusable(d) ? kOk : kWrongParam;
}

}  // namespace netcfg

namespace {

template <size_t N>
void put(char (&field)[N], const std::string &text)
{
    std::memset(field, 0, N);
    std::memcpy(field, text.data(), text.size() < N - 1 ? text.size() : N - 1);
}

template <size_t N>
std::string take(const char (&field)[N])
{
    return std::string(field, strnlen(field, N));
}

}  // namespace

NetworkConfig::NetworkConfig(const std::string &address) : address_(address)
{
    reset();
}

TMV_NET_IP_CONFIG NetworkConfig::factory() const
{
    TMV_NET_IP_CONFIG c{};
    put(c.name, "eth0");
    c.dhcpEnable = 0;
    // A locally administered MAC made from the last octet of the address.
    uint32_t a = 0;
    netcfg::parseIpv4(address_, &a);
    char mac[18];
    std::snprintf(mac, sizeof mac, "02:54:4D:56:00:%02X", unsigned(a & 0xFF));
    put(c.mac, mac);
    put(c.ip, address_);
    put(c.subnetMask, "255.0.0.0");
    put(c.gateway, "127.0.0.1");
    put(c.defaultDns, "127.0.0.1");
    put(c.standbyDns, "");
    return c;
}

void NetworkConfig::reset()
{
    const TMV_NET_IP_CONFIG c = factory();
    std::lock_guard<std::mutex> lock(mutex_);
    config_ = c;
}

TMV_NET_IP_CONFIG NetworkConfig::get() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return config_;
}

int32_t NetworkConfig::set(const TMV_NET_IP_CONFIG &in)
{
    if (in.dhcpEnable > 1)
        return kWrongParam;
    const bool dhcp = in.dhcpEnable != 0;
    if (!dhcp) {
        if (netcfg::checkStatic(take(in.ip), take(in.subnetMask), take(in.gateway)) != kOk ||
            netcfg::checkDns(take(in.defaultDns)) != kOk || netcfg::checkDns(take(in.standbyDns)) != kOk)
            return kWrongParam;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    TMV_NET_IP_CONFIG next = config_;
    next.dhcpEnable = in.dhcpEnable;
    if (!take(in.name).empty())
        put(next.name, take(in.name));
    if (!take(in.mac).empty())
        put(next.mac, take(in.mac));
    if (!dhcp) {
        put(next.ip, take(in.ip));
        put(next.subnetMask, take(in.subnetMask));
        put(next.gateway, take(in.gateway));
        put(next.defaultDns, take(in.defaultDns));
        put(next.standbyDns, take(in.standbyDns));
    }
    config_ = next;
    return kOk;
}

}  // namespace sim
