#ifndef EXCEPTIONTYPES_H
#define EXCEPTIONTYPES_H

#include <cstdint>

// The types the exception callback reports: a login's device, or one of its
// streams, went offline. They share their numbers with the login status
// codes (TMV_NET_BLACK_LIST ...) but mean something else, so they get names
// of their own.
namespace ExceptionType {

constexpr int32_t DeviceOffline = 1001;
constexpr int32_t PreviewOffline = 1002;
constexpr int32_t AlarmOffline = 1003;
constexpr int32_t TempOffline = 1004;

} // namespace ExceptionType

#endif // EXCEPTIONTYPES_H
