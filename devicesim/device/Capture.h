#pragma once
// Pictures a login asks for: snapshots of the live channel and radiometric
// pictures of the thermal channel. Statuses of the library.

#include <cstdint>
#include <string>

namespace sim {

class Session;

int32_t captureSnapshot(Session &session, const std::string &path);
int32_t captureIrg(Session &session, const std::string &irgPath, const std::string &jpgPath);
int32_t captureDlt664(Session &session, const std::string &path);

}  // namespace sim
