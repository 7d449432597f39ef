// Values, paths and texts a step draws from its chunk of the input.
#include "Values.h"

#include "FuzzCheck.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ftw.h>
#include <sys/stat.h>

namespace entryfuzz {

namespace {

int removeEntry(const char *path, const struct stat *, int, struct FTW *)
{
    return ::remove(path);
}

// Every folder resolves inside fz, by the file system or by the letter.
const char *const kFolders[] = {
    "fz/",      "fz/sub/",     "fz/sub/deeper/",       "fz/nosuch/", "fz/sub/../",
    "fz/sub/deeper/../../",    "fz/./",                "fz//",       "fz/nosuch/../",
    "fz/sub/deeper/../",       "./fz/",                "fz/sub/deeper/../../sub/",
};
const char *const kBases[] = {"snap", "irg", "dlt", "rec", "logo", "dl", "a"};
const char *const kExtensions[] = {".jpg", ".png", ".irg", ".mp4", ".avi", ".dat", "", ".part", ".jpg.part"};
const char kSuffixChars[] = "ab1-._";

const int32_t kInts[] = {INT32_MIN, INT32_MAX, INT32_MIN + 1, INT32_MAX - 1, 100, 101, 255, 256,
                         1000, 1001, 1024, 4095, 4096, 8191, 8192, 8193, 16384, 36000, 36001, -9000,
                         -9001, 9000, 9001, 65535, 65536, 0x7FFF, -0x8000, 1 << 30, 59, 60, 61, 120};
const float kFloats[] = {NAN, INFINITY, -INFINITY, FLT_MAX, -FLT_MAX, FLT_MIN, 1e-40f, 0.5f,
                         -0.5f, 1e6f, -1e6f, 1e9f, 36000.0f, 36000.5f, -9000.0f, 9000.0f,
                         16384.0f, 8192.0f, 0.95f, 1.0f, 1.0001f, 0.0f, -0.0f, 273.15f,
                         -273.15f, -273.16f, 1000.0f, 2000.0f, 500.5f, 100.0f, 0.01f, 40.0f};

const char *const kTexts[] = {
    "", "a", "127.0.0.11", "127.0.0.12", "127.0.0.13", "admin", "sensor852", "2000-01-01+00:00:00",
    "2099-12-31+23:59:59", "2024-02-29+12:00:00", "2024-02-30+00:00:00", "00:11:22:33:44:55",
    "255.255.255.0", "127.0.0.1", "\xe6\xb8\xa9\xe5\xba\xa6", "\xff\xfe\xc3", "%s%n", "Frame", "..", "/",
};

}  // namespace

// ---- Addresses and paths -----------------------------------------------------

void freshScratch()
{
    ::nftw(kScratch, removeEntry, 16, FTW_DEPTH | FTW_PHYS);
    ::mkdir(kScratch, 0700);
    ::mkdir("fz/sub", 0700);
    ::mkdir("fz/sub/deeper", 0700);
}

// A path the library may write or read; `*isNull` for a null pointer.
std::string makePath(FuzzedDataProvider &p, bool *isNull)
{
    *isNull = false;
    switch (p.ConsumeIntegralInRange<int>(0, 15)) {
    case 12:
        return "";
    case 13:
        *isNull = true;
        return "";
    case 14:  // a name longer than any path field and than a file name may be
        return std::string("fz/") + std::string(300, 'n') + ".jpg";
    case 15:  // a folder, not a file
        return p.ConsumeBool() ? "fz/.." : "fz/sub/..";
    default:
        break;
    }
    std::string path = kFolders[pick(p, kFolders)];
    path += kBases[pick(p, kBases)];
    const int suffix = p.ConsumeIntegralInRange<int>(0, 2);
    for (int i = 0; i < suffix; ++i)
        path += kSuffixChars[p.ConsumeIntegralInRange<size_t>(0, sizeof kSuffixChars - 2)];
    path += kExtensions[pick(p, kExtensions)];
    return path;
}

// ---- Values ------------------------------------------------------------------

int32_t anyInt(FuzzedDataProvider &p)
{
    const uint8_t sel = p.ConsumeIntegral<uint8_t>();
    if (sel < 64)
        return sel;
    if (sel < 96)
        return 63 - int32_t(sel);
    if (sel < 128)
        return kInts[sel - 96];
    return p.ConsumeIntegral<int32_t>();
}

float anyFloat(FuzzedDataProvider &p)
{
    const uint8_t sel = p.ConsumeIntegral<uint8_t>();
    if (sel < 64)
        return float(sel);
    if (sel < 96)
        return float(63 - int32_t(sel));
    if (sel < 128)
        return kFloats[sel - 96];
    const uint32_t bits = p.ConsumeIntegral<uint32_t>();
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

int32_t channelArg(FuzzedDataProvider &p)
{
    static const int32_t kChannels[] = {0, 1, 2, -1, INT32_MIN, INT32_MAX, 3};
    const size_t i = p.ConsumeIntegralInRange<size_t>(0, 7);
    return i < 7 ? kChannels[i] : anyInt(p);
}

// A small value first (actions, modes, types), anything else now and then.
int32_t smallArg(FuzzedDataProvider &p, int32_t max)
{
    const int32_t v = p.ConsumeIntegralInRange<int32_t>(0, max + 2);
    if (v <= max)
        return v;
    return v == max + 1 ? -1 : anyInt(p);
}

// ---- Text fields of the records ------------------------------------------------

void putText(uint8_t *field, size_t size, const std::string &text)
{
    const size_t n = std::min(text.size(), size - 1);
    std::memcpy(field, text.data(), n);
    std::memset(field + n, 0, size - n);
}

void mutateText(FuzzedDataProvider &p, uint8_t *record, const TextField &f)
{
    uint8_t *field = record + f.offset;
    switch (p.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
        putText(field, f.size, kTexts[pick(p, kTexts)]);
        break;
    case 1:  // no NUL anywhere in the field
        std::memset(field, 'x', f.size);
        break;
    case 2:  // as long as the field allows
        std::memset(field, 'y', f.size - 1);
        field[f.size - 1] = 0;
        break;
    default:
        putText(field, f.size, p.ConsumeRandomLengthString(f.size + 8));
        break;
    }
}

}  // namespace entryfuzz
