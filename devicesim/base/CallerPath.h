#pragma once
// The rule for a path of the caller's machine that a call reads or writes
// where the contract says so (the logo pictures): the call touches only the
// file named, so a path that climbs ("..") or names nothing is refused (3).
// The device applies it in its model; the library in network mode applies
// the same function before it sends the call, so both modes answer alike.

#include <string>

namespace sim {

// False for an empty path or one with a ".." component.
bool callerPathAllowed(const std::string &path);

}  // namespace sim
