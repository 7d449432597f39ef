#pragma once
// The device's network settings as it stores and reports them. The device
// keeps answering on its loopback address whatever is stored: the settings
// are what a read returns, not what the library listens on.
//
// A write is checked as a device checks it before applying it:
// - DHCP on: the static fields (address, mask, gateway, DNS) are ignored and
//   the stored ones kept;
// - DHCP off: the address, mask and gateway must be dotted quads that fit
//   together: a contiguous mask of /1 to /30, an address that is neither
//   the subnet's network nor its broadcast address, a gateway inside the
//   subnet that is a host of it and not the address itself; addresses of
//   0.0.0.0/8, multicast and above are refused. DNS servers are empty or a
//   dotted quad that is not 0.0.0.0/8, multicast or above.
// - The MAC text is stored and returned as sent (no format is imposed); the
//   name is the interface's. An empty MAC or name keeps the stored one (a
//   client that leaves them blank must not wipe them).
// A refused write changes nothing and answers 3.
//
// Threading model: safe from any thread; mutex_ guards the stored record.

#include "TMVNetSDK.h"

#include <cstdint>
#include <mutex>
#include <string>

namespace sim {

namespace netcfg {

// A dotted quad of four decimal numbers 0..255 (up to three digits each,
// leading zeros allowed), nothing else around it.
bool parseIpv4(const std::string &text, uint32_t *address);
// The prefix length of a contiguous mask, -1 when it is not one.
int prefixLength(uint32_t mask);
// Status of a write of the static settings (kOk or kWrongParam).
int32_t checkStatic(const std::string &ip, const std::string &mask, const std::string &gateway);
int32_t checkDns(const std::string &dns);

}  // namespace netcfg

class NetworkConfig {
public:
    // The factory settings show the device's own (loopback) address.
    explicit NetworkConfig(const std::string &address);

    void reset();

    TMV_NET_IP_CONFIG get() const;
    // The texts of `config` are NUL-terminated within their fields (checked
    // by the caller).
    int32_t set(const TMV_NET_IP_CONFIG &config);

private:
    TMV_NET_IP_CONFIG factory() const;

    const std::string address_;
    mutable std::mutex mutex_;  // protects config_
    TMV_NET_IP_CONFIG config_{};
};

}  // namespace sim
