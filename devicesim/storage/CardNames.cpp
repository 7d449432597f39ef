#include "storage/CardNames.h"

#include <cstdio>
#include <ctime>

namespace sim {

namespace {

constexpr int64_t kDay = 86400;

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + int64_t(doe) - 719468;
}

void civilFromDays(int64_t z, int64_t &y, unsigned &m, unsigned &d)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = int64_t(yoe) + era * 400 + (m <= 2);
}

int64_t floorDiv(int64_t a, int64_t b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// Reads exactly `n` digits.
bool digits(const char *&p, int n, int &value)
{
    value = 0;
    for (int i = 0; i < n; ++i, ++p) {
        if (*p < '0' || *p > '9')
            return false;
        value = value * 10 + (*p - '0');
    }
    return true;
}

bool literal(const char *&p, char c)
{
    if (*p != c)
        return false;
    ++p;
    return true;
}

bool makeCivil(int y, int mo, int d, int h, int mi, int s, int64_t *civil)
{
    if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 59)
        return false;
    const int64_t days = daysFromCivil(y, unsigned(mo), unsigned(d));
    int64_t yy;
    unsigned mm, dd;
    civilFromDays(days, yy, mm, dd);
    if (mm != unsigned(mo) || dd != unsigned(d))
        return false;  // 31 April and the like
    *civil = days * kDay + h * 3600 + mi * 60 + s;
    return true;
}

struct Fields {
    int64_t y;
    unsigned mo, d;
    int h, mi, s;
};

Fields split(int64_t civil)
{
    Fields f;
    const int64_t days = floorDiv(civil, kDay);
    int64_t rest = civil - days * kDay;
    civilFromDays(days, f.y, f.mo, f.d);
    f.h = int(rest / 3600);
    f.mi = int(rest / 60 % 60);
    f.s = int(rest % 60);
    return f;
}

// "YYYYMMDD-HHMMSS"
bool parseStamp(const char *&p, int64_t *civil)
{
    int y, mo, d, h, mi, s;
    return digits(p, 4, y) && digits(p, 2, mo) && digits(p, 2, d) && literal(p, '-') && digits(p, 2, h)
           && digits(p, 2, mi) && digits(p, 2, s) && makeCivil(y, mo, d, h, mi, s, civil);
}

std::string stamp(int64_t civil)
{
    const Fields f = split(civil);
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02u%02u-%02d%02d%02d", int(f.y), f.mo, f.d, f.h, f.mi, f.s);
    return text;
}

}  // namespace

int64_t civilFromEpoch(int64_t epochSeconds)
{
    const time_t t = time_t(epochSeconds);
    struct tm local;
    if (!localtime_r(&t, &local))
        return epochSeconds;
    return daysFromCivil(local.tm_year + 1900, unsigned(local.tm_mon + 1), unsigned(local.tm_mday)) * kDay
           + local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
}

int64_t civilNow()
{
    return civilFromEpoch(int64_t(std::time(nullptr)));
}

bool parseQueryTime(const char *text, int64_t *civil)
{
    if (!text)
        return false;
    const char *p = text;
    int y, mo, d, h, mi, s;
    return digits(p, 4, y) && literal(p, '-') && digits(p, 2, mo) && literal(p, '-') && digits(p, 2, d)
           && literal(p, '+') && digits(p, 2, h) && literal(p, ':') && digits(p, 2, mi) && literal(p, ':')
           && digits(p, 2, s) && *p == '\0' && makeCivil(y, mo, d, h, mi, s, civil);
}

std::string queryTime(int64_t civil)
{
    const Fields f = split(civil);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u+%02d:%02d:%02d", int(f.y), f.mo, f.d, f.h, f.mi, f.s);
    return text;
}

std::string cardFileName(const CardFileName &file)
{
    const bool video = file.type == CardFileType::Video;
    return "ch" + std::to_string(file.channel) + (video ? "_video_" : "_image_") + stamp(file.start) + "_"
           + stamp(file.end) + (video ? ".mp4" : ".jpg");
}

bool parseCardFileName(const std::string &name, CardFileName *file)
{
    // Read as C text below: a NUL inside would hide whatever follows it.
    if (name.find('\0') != std::string::npos)
        return false;
    const char *p = name.c_str();
    int channel;
    if (!literal(p, 'c') || !literal(p, 'h') || !digits(p, 1, channel) || !literal(p, '_'))
        return false;
    const std::string rest(p);
    CardFileType type;
    if (rest.compare(0, 6, "video_") == 0)
        type = CardFileType::Video;
    else if (rest.compare(0, 6, "image_") == 0)
        type = CardFileType::Image;
    else
        return false;
    p += 6;
    int64_t start, end;
    if (!parseStamp(p, &start) || !literal(p, '_') || !parseStamp(p, &end) || end < start)
        return false;
    const char *ext = type == CardFileType::Video ? ".mp4" : ".jpg";
    if (std::string(p) != ext)
        return false;
    file->channel = channel;
    file->type = type;
    file->start = start;
    file->end = end;
    return true;
}

}  // namespace sim
