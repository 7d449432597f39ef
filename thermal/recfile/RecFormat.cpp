#include "thermal/recfile/RecFormat.h"
#include "thermal/recfile/RecFile.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>

#include <unistd.h>

namespace RecTags {
const char *const kFormat = "THERMAL_RECORDING";
const char *const kFormatVersion = "1";
const char *const kScale = "deci-kelvin";

const char *UnitName(int unit)
{
    switch (unit) {
    case 0: return "Celsius";
    case 1: return "Fahrenheit";
    case 2: return "Kelvin";
    default: return "";
    }
}

int UnitCode(const std::string &name)
{
    for (int unit = 0; unit <= 2; ++unit)
        if (name == UnitName(unit))
            return unit;
    return -1;
}
} // namespace RecTags

namespace RecFormat {

std::string AvError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

void CloseFileIo(AVIOContext **io, int *fd)
{
    if (*io) {
        av_freep(&(*io)->buffer);
        avio_context_free(io);
    }
    if (*fd >= 0)
        ::close(*fd);
    *fd = -1;
}

std::string FloatText(float value)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

bool ParseFloat(const char *text, float *value)
{
    if (!text)
        return false;
    const char *end = text + std::strlen(text);
    const auto result = std::from_chars(text, end, *value);
    return result.ec == std::errc() && result.ptr == end;
}

bool ParseInt(const char *text, int64_t *value)
{
    if (!text)
        return false;
    // The end tags are NUL-padded in place: the text ends at the first NUL.
    const char *end = text + std::strlen(text);
    const auto result = std::from_chars(text, end, *value);
    return result.ec == std::errc() && result.ptr == end && result.ptr != text;
}

std::string UtcText(int64_t ms)
{
    const time_t seconds = time_t(ms / 1000);
    struct tm parts;
    gmtime_r(&seconds, &parts);
    char text[40];
    const size_t n = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &parts);
    std::snprintf(text + n, sizeof text - n, ".%03dZ", int(ms % 1000));
    return text;
}

int64_t ParseUtc(const char *text)
{
    struct tm parts = {};
    int millis = 0;
    if (!text || std::sscanf(text, "%d-%d-%dT%d:%d:%d.%dZ", &parts.tm_year, &parts.tm_mon, &parts.tm_mday,
                             &parts.tm_hour, &parts.tm_min, &parts.tm_sec, &millis) != 7)
        return 0;
    parts.tm_year -= 1900;
    parts.tm_mon -= 1;
    return int64_t(timegm(&parts)) * 1000 + millis;
}

} // namespace RecFormat
