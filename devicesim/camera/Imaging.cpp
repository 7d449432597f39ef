#include "camera/Imaging.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace sim {

namespace {

bool leapYear(int64_t y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int64_t y, int m)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leapYear(y) ? 29 : days[m - 1];
}

// Days since 1970-01-01 of a proleptic Gregorian date.
int64_t daysFromCivil(int64_t y, int m, int d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(int64_t z, int64_t *y, int *m, int *d)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    *d = int(doy - (153 * mp + 2) / 5 + 1);
    *m = int(mp < 10 ? mp + 3 : mp - 9);
    *y = yoe + era * 400 + (*m <= 2);
}

// `n` decimal digits at `p`.
bool digits(const char *p, int n, int *value)
{
    int v = 0;
    for (int i = 0; i < n; ++i) {
        if (p[i] < '0' || p[i] > '9')
            return false;
        v = v * 10 + (p[i] - '0');
    }
    *value = v;
    return true;
}

}  // namespace

bool validGain(int level)
{
    return level >= int(Gain::High) && level <= int(Gain::Auto);
}

GainRange gainRange(Gain gain)
{
    return gain == Gain::High ? GainRange{-20.0f, 150.0f} : GainRange{-20.0f, 650.0f};
}

bool parseDeviceTime(const char *text, int64_t *seconds)
{
    if (!text || std::strlen(text) != 19)
        return false;
    if (text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != ':' || text[16] != ':')
        return false;
    int y, mo, d, h, mi, s;
    if (!digits(text, 4, &y) || !digits(text + 5, 2, &mo) || !digits(text + 8, 2, &d) ||
        !digits(text + 11, 2, &h) || !digits(text + 14, 2, &mi) || !digits(text + 17, 2, &s))
        return false;
    if (y < 1970 || mo < 1 || mo > 12 || d < 1 || d > daysInMonth(y, mo) || h > 23 || mi > 59 || s > 59)
        return false;
    *seconds = daysFromCivil(y, mo, d) * 86400 + h * 3600 + mi * 60 + s;
    return true;
}

std::string formatDeviceTime(int64_t seconds)
{
    int64_t days = seconds / 86400, rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    int64_t y;
    int m, d;
    civilFromDays(days, &y, &m, &d);
    char text[48];
    std::snprintf(text, sizeof text, "%04lld-%02d-%02d %02d:%02d:%02d", static_cast<long long>(y), m, d,
                  int(rest / 3600), int(rest / 60 % 60), int(rest % 60));
    return text;
}

double toneCurve(double u, int brightness, int contrast)
{
    const double gain = std::pow(2.0, (contrast - 50) / 25.0);
    const double shift = (brightness - 50) / 100.0;
    return (u - 0.5) * gain + 0.5 + shift;
}

}  // namespace sim
