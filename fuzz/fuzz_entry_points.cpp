// The device library's entry points in any order with any arguments: every
// call must answer one of the contract's statuses, stay inside the records and
// arrays it was handed, and every callback must stay inside what it was
// promised and end when its stop call returns.
//
// Input: a series of steps. Each step takes its function (a byte, from the
// table below) and the length of its own chunk from the end of the input, and
// its chunk from the front; the step draws all its choices from that chunk,
// and a short chunk reads as zeros: the first choice everywhere is a sensible
// call (the PTZ camera's login, a well-formed record, a path that can be
// written), so a seed is mostly a list of functions.
//
// Every record is a heap block of exactly its size and every array holds
// exactly the records its capacity says, so AddressSanitizer sees any access
// past them. Paths stay inside ./fz (created here, emptied between inputs).
#include "FuzzCheck.h"
#include "TMVNetSDK.h"
#include "TMVSimControl.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <sanitizer/asan_interface.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ftw.h>
#include <pthread.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace {

bool documented(int32_t status)
{
    return (status >= 0 && status <= 4) || (status >= 1001 && status <= 1007) || status == 1101;
}

bool tracing();
void noteStatus(int32_t status);

void check(int32_t status)
{
    require(documented(status));
    if (tracing())
        noteStatus(status);
}

// ---- Addresses and paths -----------------------------------------------------

const char *const kDevices[] = {"127.0.0.11", "127.0.0.12", "127.0.0.13"};
const char *const kScratch = "fz";

int removeEntry(const char *path, const struct stat *, int, struct FTW *)
{
    return ::remove(path);
}

void freshScratch()
{
    ::nftw(kScratch, removeEntry, 16, FTW_DEPTH | FTW_PHYS);
    ::mkdir(kScratch, 0700);
    ::mkdir("fz/sub", 0700);
    ::mkdir("fz/sub/deeper", 0700);
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

template <size_t N>
size_t pick(FuzzedDataProvider &p, const char *const (&)[N])
{
    return p.ConsumeIntegralInRange<size_t>(0, N - 1);
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

const int32_t kInts[] = {INT32_MIN, INT32_MAX, INT32_MIN + 1, INT32_MAX - 1, 100, 101, 255, 256,
                         1000, 1001, 1024, 4095, 4096, 8191, 8192, 8193, 16384, 36000, 36001, -9000,
                         -9001, 9000, 9001, 65535, 65536, 0x7FFF, -0x8000, 1 << 30, 59, 60, 61, 120};
const float kFloats[] = {NAN, INFINITY, -INFINITY, FLT_MAX, -FLT_MAX, FLT_MIN, 1e-40f, 0.5f,
                         -0.5f, 1e6f, -1e6f, 1e9f, 36000.0f, 36000.5f, -9000.0f, 9000.0f,
                         16384.0f, 8192.0f, 0.95f, 1.0f, 1.0001f, 0.0f, -0.0f, 273.15f,
                         -273.15f, -273.16f, 1000.0f, 2000.0f, 500.5f, 100.0f, 0.01f, 40.0f};

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

struct TextField {
    size_t offset;
    size_t size;
};

template <class T>
std::vector<TextField> textFields()
{
    return {};
}
#define TEXT(T, field) TextField{offsetof(T, field), sizeof(T::field)}
template <>
std::vector<TextField> textFields<TMV_NET_LOGIN_INFO>()
{
    return {TEXT(TMV_NET_LOGIN_INFO, ip), TEXT(TMV_NET_LOGIN_INFO, userName), TEXT(TMV_NET_LOGIN_INFO, password)};
}
template <>
std::vector<TextField> textFields<TMV_NET_TEMP_RULE>()
{
    return {TEXT(TMV_NET_TEMP_RULE, name)};
}
template <>
std::vector<TextField> textFields<TMV_NET_TEMP_MASK>()
{
    return {TEXT(TMV_NET_TEMP_MASK, name)};
}
template <>
std::vector<TextField> textFields<TMV_NET_PRESET_INFO>()
{
    return {TEXT(TMV_NET_PRESET_INFO, name)};
}
template <>
std::vector<TextField> textFields<TMV_NET_TOUR_INFO>()
{
    const size_t stop = offsetof(TMV_NET_TOUR_INFO, points) + offsetof(TMV_NET_TOUR_POINT, preset)
                        + offsetof(TMV_NET_PRESET_INFO, name);
    return {TEXT(TMV_NET_TOUR_INFO, name), {stop, 256}, {stop + sizeof(TMV_NET_TOUR_POINT), 256},
            {stop + 255 * sizeof(TMV_NET_TOUR_POINT), 256}};
}
template <>
std::vector<TextField> textFields<TMV_NET_GUN_BALL_TRACK_CONFIG_INFO>()
{
    return {TEXT(TMV_NET_GUN_BALL_TRACK_CONFIG_INFO, userName), TEXT(TMV_NET_GUN_BALL_TRACK_CONFIG_INFO, password),
            TEXT(TMV_NET_GUN_BALL_TRACK_CONFIG_INFO, ip)};
}
template <>
std::vector<TextField> textFields<TMV_NET_OSD_CHANNEL_TITLE_INFO>()
{
    return {TEXT(TMV_NET_OSD_CHANNEL_TITLE_INFO, title)};
}
template <>
std::vector<TextField> textFields<TMV_NET_IP_CONFIG>()
{
    return {TEXT(TMV_NET_IP_CONFIG, name),       TEXT(TMV_NET_IP_CONFIG, mac),
            TEXT(TMV_NET_IP_CONFIG, ip),         TEXT(TMV_NET_IP_CONFIG, subnetMask),
            TEXT(TMV_NET_IP_CONFIG, gateway),    TEXT(TMV_NET_IP_CONFIG, defaultDns),
            TEXT(TMV_NET_IP_CONFIG, standbyDns)};
}
template <>
std::vector<TextField> textFields<TMV_NET_FILE_QUERY>()
{
    return {TEXT(TMV_NET_FILE_QUERY, startTime), TEXT(TMV_NET_FILE_QUERY, endTime)};
}
template <>
std::vector<TextField> textFields<TMV_NET_FILE_DOWNLOAD_INFO>()
{
    return {{offsetof(TMV_NET_FILE_DOWNLOAD_INFO, fileInfo) + offsetof(TMV_NET_FILE_INFO, startTime), 32},
            {offsetof(TMV_NET_FILE_DOWNLOAD_INFO, fileInfo) + offsetof(TMV_NET_FILE_INFO, endTime), 32}};
}
#undef TEXT

const char *const kTexts[] = {
    "", "a", "127.0.0.11", "127.0.0.12", "127.0.0.13", "admin", "sensor852", "2000-01-01+00:00:00",
    "2099-12-31+23:59:59", "2024-02-29+12:00:00", "2024-02-30+00:00:00", "00:11:22:33:44:55",
    "255.255.255.0", "127.0.0.1", "\xe6\xb8\xa9\xe5\xba\xa6", "\xff\xfe\xc3", "%s%n", "Frame", "..", "/",
};

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

// ---- Records -----------------------------------------------------------------

// A sensible record of each type, the first choice when nothing better was
// read from the library in this input.
template <class T>
void defaults(T *)
{
}
void defaults(TMV_NET_LOGIN_INFO *r)
{
    putText(reinterpret_cast<uint8_t *>(r->ip), sizeof r->ip, "127.0.0.11");
    r->port = 80;
    putText(reinterpret_cast<uint8_t *>(r->userName), sizeof r->userName, "admin");
    putText(reinterpret_cast<uint8_t *>(r->password), sizeof r->password, "sensor852");
}
void defaults(TMV_NET_TEMP_RULE_KEY *r)
{
    r->ruleType = -1;
    r->ruleId = -1;
}
void defaults(TMV_NET_TEMP_MASK_KEY *r)
{
    r->maskId = -1;
}
void defaults(TMV_NET_PREVIEW_INFO *r)
{
    r->linkMode = 2;
}
void defaults(TMV_NET_POINT *r)
{
    r->x = 4095;
    r->y = 4095;
}
void defaults(TMV_NET_TEMP_RULE *r)
{
    r->enable = 1;
    putText(reinterpret_cast<uint8_t *>(r->name), sizeof r->name, "R1");
    r->ruleType = 2;
    r->points[0] = {1000, 1000};
    r->points[1] = {3000, 1000};
    r->points[2] = {3000, 3000};
    r->points[3] = {1000, 3000};
    r->pointCount = 4;
    r->envParam = {20.0f, 10.0f, 0.95f, 20.0f, 1.0f};
    r->condition = {3, 1, 40.0f, 1.0f};
    r->snapLinkage.enable = 1;
    r->snapLinkage.channels[0] = 1;
}
void defaults(TMV_NET_TEMP_MASK *r)
{
    r->enable = 1;
    putText(reinterpret_cast<uint8_t *>(r->name), sizeof r->name, "M1");
    r->points[0] = {100, 100};
    r->points[1] = {900, 100};
    r->points[2] = {900, 900};
    r->points[3] = {100, 900};
}
void defaults(TMV_NET_TEMP_RULE_G1 *r)
{
    r->ruleType = 1;
    r->startPoint = {1000, 1000};
    r->endPoint = {5000, 5000};
    r->alarm.alarmSwitch = 1;
    r->alarm.highEnable = 1;
    r->alarm.highTemp = 40.0f;
    r->alarm.highLevels[0] = 45.0f;
    r->alarm.highLevels[1] = 50.0f;
    r->alarm.highLevels[2] = 55.0f;
}
void defaults(TMV_NET_FRAME_TEMP_ALARM_CONFIG *r)
{
    r->enable = 1;
    r->conditions[0] = {3, 1, 30.0f, 1.0f};
    r->conditions[1] = {6, 1, 0.0f, 1.0f};
}
void defaults(TMV_NET_PTZ_CONTROL *r)
{
    r->speed = 4;
}
void defaults(TMV_NET_PRESET_INFO *r)
{
    r->enable = 1;
    r->id = 1;
    putText(reinterpret_cast<uint8_t *>(r->name), sizeof r->name, "P1");
}
void defaults(TMV_NET_TOUR_INFO *r)
{
    r->enable = 1;
    r->id = 1;
    putText(reinterpret_cast<uint8_t *>(r->name), sizeof r->name, "T1");
    for (int i = 0; i < 2; ++i) {
        r->points[i].preset.enable = 1;
        r->points[i].preset.id = i + 1;
        r->points[i].residenceTime = 1;
    }
    r->count = 2;
}
void defaults(TMV_NET_REGION_SCAN_INFO *r)
{
    r->id = 1;
    r->enable = 1;
    r->direction = 1;
    r->speed = 4;
}
void defaults(TMV_NET_PTZ_POSITION *r)
{
    r->pan = 9000.0f;
    r->zoom = 1.0f;
}
void defaults(TMV_NET_PTZ_3D_POSITION *r)
{
    *r = {0, 3000, 3000, 5000, 5000};
}
void defaults(TMV_NET_PTZ_REGION *r)
{
    *r = {0, 3000, 3000, 5000, 5000, 0};
}
void defaults(TMV_NET_ENV_PARAM *r)
{
    *r = {20.0f, 10.0f, 0.95f, 20.0f, 1.0f};
}
void defaults(TMV_NET_GUN_BALL_TRACK_CONFIG_INFO *r)
{
    putText(reinterpret_cast<uint8_t *>(r->userName), sizeof r->userName, "admin");
    putText(reinterpret_cast<uint8_t *>(r->password), sizeof r->password, "sensor852");
    putText(reinterpret_cast<uint8_t *>(r->ip), sizeof r->ip, "127.0.0.12");
    r->port = 80;
    r->keepAlive = 10;
}
void defaults(TMV_NET_FILE_QUERY *r)
{
    r->fileType = 1;
    putText(reinterpret_cast<uint8_t *>(r->startTime), sizeof r->startTime, "2000-01-01+00:00:00");
    putText(reinterpret_cast<uint8_t *>(r->endTime), sizeof r->endTime, "2099-12-31+23:59:59");
    r->pageSize = 50;
}

template <class T>
struct Tag {
    static const char id;
};
template <class T>
const char Tag<T>::id = 0;

// Records the library handed out in this input, to be sent back changed.
std::unordered_map<const void *, std::vector<uint8_t>> g_stash;

template <class T>
void remember(const T *record)
{
    const auto *b = reinterpret_cast<const uint8_t *>(record);
    g_stash[&Tag<T>::id].assign(b, b + sizeof(T));
}

template <class T>
void templateOf(T *r)
{
    auto it = g_stash.find(&Tag<T>::id);
    if (it != g_stash.end()) {
        std::memcpy(r, it->second.data(), sizeof(T));
        return;
    }
    std::memset(r, 0, sizeof(T));
    defaults(r);
}

// ---- Per-input memory ----------------------------------------------------------

std::vector<void *> g_blocks;

void *block(size_t size)
{
    void *b = std::malloc(size);
    require(b || size == 0);
    g_blocks.push_back(b);
    return b;
}

void freeBlocks()
{
    for (void *b : g_blocks)
        std::free(b);
    g_blocks.clear();
}

// Null now and then.
bool nullNow(FuzzedDataProvider &p)
{
    return p.ConsumeIntegralInRange<int>(0, 15) == 15;
}

// A record the call reads: the template as it is, changed in a few places,
// the input's bytes, or a pattern without any NUL.
template <class T>
const T *inRecord(FuzzedDataProvider &p)
{
    if (nullNow(p))
        return nullptr;
    T *r = static_cast<T *>(block(sizeof(T)));
    auto *bytes = reinterpret_cast<uint8_t *>(r);
    switch (p.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
        templateOf(r);
        break;
    case 1: {
        templateOf(r);
        const int changes = p.ConsumeIntegralInRange<int>(1, 4);
        const std::vector<TextField> texts = textFields<T>();
        for (int i = 0; i < changes; ++i) {
            const int what = p.ConsumeIntegralInRange<int>(0, 3);
            if (what == 3 && !texts.empty()) {
                mutateText(p, bytes, texts[p.ConsumeIntegralInRange<size_t>(0, texts.size() - 1)]);
                continue;
            }
            size_t at = p.ConsumeIntegralInRange<size_t>(0, sizeof(T) - 1);
            if (what == 2 || sizeof(T) < 4) {
                bytes[at] = p.ConsumeIntegral<uint8_t>();
                continue;
            }
            at = std::min(at & ~size_t(3), sizeof(T) - 4);
            if (what == 0) {
                const int32_t v = anyInt(p);
                std::memcpy(bytes + at, &v, 4);
            } else {
                const float v = anyFloat(p);
                std::memcpy(bytes + at, &v, 4);
            }
        }
        break;
    }
    case 2: {
        const std::vector<uint8_t> raw = p.ConsumeBytes<uint8_t>(sizeof(T));
        std::memset(r, 0, sizeof(T));
        if (!raw.empty())
            std::memcpy(r, raw.data(), raw.size());
        break;
    }
    default:
        std::memset(r, 0xA5, sizeof(T));
        break;
    }
    return r;
}

// A record the call fills, with leftovers in it.
template <class T>
T *outRecord(FuzzedDataProvider &p)
{
    if (nullNow(p))
        return nullptr;
    T *r = static_cast<T *>(block(sizeof(T)));
    std::memset(r, 0xCD, sizeof(T));
    return r;
}

// The leftovers in every output: 0xCD in each byte.
constexpr int32_t kUntouched = int32_t(0xCDCDCDCDu);

int32_t *outInt(FuzzedDataProvider &p)
{
    if (nullNow(p))
        return nullptr;
    auto *v = static_cast<int32_t *>(block(sizeof(int32_t)));
    *v = kUntouched;
    return v;
}

// ---- Logins and callbacks ------------------------------------------------------

// One place of the handle pool. Callbacks read it from library threads.
struct Slot {
    std::atomic<uintptr_t> handle{0};
    bool ours = false;  // a login of this input: logged out at its end
    std::atomic<bool> preview{false}, temp{false}, raw{false}, alarm{false}, exception{false};

    void quiet()
    {
        preview = temp = raw = alarm = exception = false;
    }
};

constexpr int kSlots = 12;
Slot g_slots[kSlots];
std::atomic<int> g_slotCount{0};
pthread_t g_caller;
std::atomic<bool> g_searchOpen{false};
bool g_searched = false;
std::vector<int32_t> g_downloads;

struct CallbackUser {
    int tag = 0x5eed;
} g_user;

TMV_NET_HANDLE handleAt(int i)
{
    return reinterpret_cast<TMV_NET_HANDLE>(g_slots[i].handle.load());
}

void addSlot(TMV_NET_HANDLE handle, bool ours)
{
    const int n = g_slotCount.load();
    require(n < kSlots);
    g_slots[n].handle = reinterpret_cast<uintptr_t>(handle);
    g_slots[n].ours = ours;
    g_slots[n].quiet();
    g_slotCount = n + 1;
}

// The slot a callback's handle belongs to; the library hands back the
// login's own handle, never another.
Slot &slotOf(TMV_NET_HANDLE handle)
{
    const uintptr_t h = reinterpret_cast<uintptr_t>(handle);
    for (Slot &s : g_slots)
        if (h != 0 && s.handle.load() == h)
            return s;
    std::abort();
}

void forHandle(TMV_NET_HANDLE handle, void (*fn)(Slot &))
{
    const uintptr_t h = reinterpret_cast<uintptr_t>(handle);
    for (int i = 0; i < g_slotCount.load(); ++i)
        if (h != 0 && g_slots[i].handle.load() == h)
            fn(g_slots[i]);
}

void onLibraryThread(void *user)
{
    require(user == &g_user);
    require(!pthread_equal(pthread_self(), g_caller));
}

// A call the next callback makes into the library, armed by a step: from
// inside any callback every function answers a status and never deadlocks,
// and a Deinit answers 1. What it stops is not unflagged here: a flag that
// stays up only allows callbacks.
std::atomic<int> g_armed{-1};
constexpr int kCallbackActions = 12;

void fromCallback(TMV_NET_HANDLE own)
{
    const int action = g_armed.exchange(-1);
    if (action < 0)
        return;
    const TMV_NET_HANDLE first = reinterpret_cast<TMV_NET_HANDLE>(g_slots[0].handle.load());
    int32_t status = 0;
    switch (action) {
    case 0:
        status = TMV_NET_StopPreview(own);
        break;
    case 1:
        status = TMV_NET_StopPullTemp(own);
        break;
    case 2:
        status = TMV_NET_StopPullNucData(own);
        break;
    case 3:
        status = TMV_NET_UnsubscribeAlarm(own);
        break;
    case 4:
        status = TMV_NET_Logout(own);
        break;
    case 5:
        status = TMV_NET_Deinit();
        require(status == 1);
        break;
    case 6: {
        TMV_NET_DEV_INFO info;
        status = TMV_NET_GetDevInfo(own, &info);
        break;
    }
    case 7: {
        TMV_NET_TEMP_INFO info;
        status = TMV_NET_QueryFrameTemp(own, &info);
        break;
    }
    case 8:
        status = TMV_NET_Logout(first);
        break;
    case 9:
        status = TMV_NET_StopPreview(first);
        break;
    case 10:
        status = TMV_NET_SystemRestart(own);
        break;
    default:
        status = TMV_NET_StopDownloadFile(own, 0);
        break;
    }
    require(documented(status));
}

// Reads the bytes a callback was promised, all of them as far as
// AddressSanitizer is concerned, a sample of them for real.
void touch(const void *data, size_t size)
{
    if (size == 0)
        return;
    require(data != nullptr);
    require(__asan_region_is_poisoned(const_cast<void *>(data), size) == nullptr);
    const auto *b = static_cast<const volatile uint8_t *>(data);
    uint8_t sum = b[0] ^ b[size - 1];
    for (size_t i = 0; i < size; i += 4096)
        sum ^= b[i];
    (void)sum;
}

void touchFrame(const void *data, int32_t width, int32_t height, size_t pixelSize)
{
    require(width > 0 && height > 0 && width <= 16384 && height <= 16384);
    touch(data, size_t(width) * size_t(height) * pixelSize);
}

void previewCallback(TMV_NET_HANDLE handle, int32_t channel, TMV_NET_PREVIEW_FRAME *frame, void *user)
{
    onLibraryThread(user);
    require(slotOf(handle).preview.load());
    require(channel == 0 || channel == 1);
    require(frame != nullptr);
    touchFrame(frame->data, frame->width, frame->height, 4);
    require(frame->showWidth >= 0 && frame->showWidth <= frame->width);
    require(frame->showHeight >= 0 && frame->showHeight <= frame->height);
    fromCallback(handle);
}

void tempCallback(TMV_NET_HANDLE handle, const TMV_NET_TEMP_FRAME *frame, int32_t channel, void *user)
{
    onLibraryThread(user);
    require(slotOf(handle).temp.load());
    require(channel == 0);
    require(frame != nullptr);
    touchFrame(frame->data, frame->width, frame->height, 2);
    fromCallback(handle);
}

void rawCallback(TMV_NET_HANDLE handle, const uint16_t *data, int32_t width, int32_t height, void *user)
{
    onLibraryThread(user);
    require(slotOf(handle).raw.load());
    touchFrame(data, width, height, 2);
    fromCallback(handle);
}

template <class T>
void touchAlarm(const void *info, bool named)
{
    touch(info, sizeof(T));
    if (named)
        require(std::memchr(info, 0, 256) != nullptr);
}

template <class T>
void touchPictures(const void *info)
{
    const T *record = static_cast<const T *>(info);
    for (const TMV_NET_ALARM_PICTURE &picture : record->pictures) {
        require(picture.size >= 0);
        touch(picture.data, size_t(picture.size));
    }
}

void alarmCallback(TMV_NET_HANDLE handle, int32_t type, const void *info, void *user)
{
    onLibraryThread(user);
    require(slotOf(handle).alarm.load());
    require(info != nullptr);
    switch (type) {
    case TMV_NET_ALARM_TEMP:
    case TMV_NET_ALARM_TEMP_RISE:
        touchAlarm<TMV_NET_TEMP_ALARM_INFO>(info, true);
        touchPictures<TMV_NET_TEMP_ALARM_INFO>(info);
        break;
    case TMV_NET_ALARM_FIRE:
    case TMV_NET_ALARM_FIRE_PULSE:
        touchAlarm<TMV_NET_FIRE_ALARM_INFO>(info, true);
        touchPictures<TMV_NET_FIRE_ALARM_INFO>(info);
        break;
    case TMV_NET_ALARM_REGION_INTRUSION:
        touchAlarm<TMV_NET_REGION_INTRUSION_ALARM_INFO>(info, true);
        touchPictures<TMV_NET_REGION_INTRUSION_ALARM_INFO>(info);
        break;
    case TMV_NET_ALARM_LINE_INTRUSION:
        touchAlarm<TMV_NET_LINE_INTRUSION_ALARM_INFO>(info, true);
        touchPictures<TMV_NET_LINE_INTRUSION_ALARM_INFO>(info);
        break;
    case TMV_NET_ALARM_TEMP_DIFF:
        touchAlarm<TMV_NET_TEMP_DIFF_ALARM_INFO>(info, true);
        touchPictures<TMV_NET_TEMP_DIFF_ALARM_INFO>(info);
        break;
    case TMV_NET_ALARM_SMOKE_DETECT:
        touchAlarm<TMV_NET_SMOKE_DETECT_ALARM_INFO>(info, true);
        touchPictures<TMV_NET_SMOKE_DETECT_ALARM_INFO>(info);
        break;
    case TMV_NET_ALARM_DYNAMIC:
        touchAlarm<TMV_NET_DYNAMIC_ALARM_INFO>(info, false);
        touchPictures<TMV_NET_DYNAMIC_ALARM_INFO>(info);
        break;
    case TMV_NET_ALARM_LOCAL:
        touchAlarm<TMV_NET_LOCAL_ALARM_INFO>(info, false);
        touchPictures<TMV_NET_LOCAL_ALARM_INFO>(info);
        break;
    case TMV_NET_ALARM_LOGIN_EXCEPTION:
        touchAlarm<TMV_NET_LOGIN_EXCEPTION_ALARM_INFO>(info, false);
        touchPictures<TMV_NET_LOGIN_EXCEPTION_ALARM_INFO>(info);
        break;
    case TMV_NET_ALARM_HIGH_LIGHT:
        touchAlarm<TMV_NET_HIGH_LIGHT_ALARM_INFO>(info, false);
        touchPictures<TMV_NET_HIGH_LIGHT_ALARM_INFO>(info);
        break;
    case TMV_NET_ALARM_OBJECT_PULSE: {
        touchAlarm<TMV_NET_OBJECT_PULSE_ALARM_INFO>(info, false);
        touchPictures<TMV_NET_OBJECT_PULSE_ALARM_INFO>(info);
        const auto *r = static_cast<const TMV_NET_OBJECT_PULSE_ALARM_INFO *>(info);
        require(r->objectCount >= 0 && r->objectCount <= 128);
        break;
    }
    case TMV_NET_ALARM_TRACK_STATE:
        touchAlarm<TMV_NET_TRACK_STATE_ALARM_INFO>(info, false);
        touchPictures<TMV_NET_TRACK_STATE_ALARM_INFO>(info);
        break;
    case TMV_NET_ALARM_TRACK_OBJECT:
        touchAlarm<TMV_NET_TRACK_OBJECT_ALARM_INFO>(info, false);
        touchPictures<TMV_NET_TRACK_OBJECT_ALARM_INFO>(info);
        break;
    case TMV_NET_ALARM_SD_EXCEPTION:
        touchAlarm<TMV_NET_SD_EXCEPTION_ALARM_INFO>(info, false);
        break;
    default:
        std::abort();  // only the documented codes are raised here
    }
    fromCallback(handle);
}

void exceptionCallback(TMV_NET_HANDLE handle, int32_t type, void *user)
{
    onLibraryThread(user);
    require(slotOf(handle).exception.load());
    require(type >= 1001 && type <= 1004);
    fromCallback(handle);
}

void searchCallback(const char *ip, void *user)
{
    onLibraryThread(user);
    require(g_searchOpen.load());
    require(ip != nullptr && std::memchr(ip, 0, 16) != nullptr);
    require(std::strncmp(ip, "127.0.0.", 8) == 0);
    fromCallback(reinterpret_cast<TMV_NET_HANDLE>(g_slots[0].handle.load()));
}

// ---- One step ------------------------------------------------------------------

struct Step {
    FuzzedDataProvider &p;

    // A handle of the pool: the first three are the fleet's logins, then a
    // null one, one that never was a handle, one logged out, and the logins
    // made by this input.
    TMV_NET_HANDLE handle() { return handleAt(p.ConsumeIntegralInRange<int>(0, g_slotCount.load() - 1)); }
    std::string pathText(bool *isNull) { return makePath(p, isNull); }
    template <class T>
    const T *in() { return inRecord<T>(p); }
    template <class T>
    T *out() { return outRecord<T>(p); }
    int32_t *outCount() { return outInt(p); }
    int32_t any() { return anyInt(p); }
    float anyF() { return anyFloat(p); }
    int32_t channel() { return channelArg(p); }
    int32_t small(int32_t max) { return smallArg(p, max); }
    template <class Fn>
    bool maybeCallback(Fn *fn, Fn **out)
    {
        *out = nullNow(p) ? nullptr : fn;
        return *out != nullptr;
    }
};

// A path argument, kept alive for the call; null when the step says so.
struct PathArg {
    std::string text;
    bool isNull = false;
    explicit PathArg(Step &s) { text = s.pathText(&isNull); }
    const char *get() const { return isNull ? nullptr : text.c_str(); }
};

// An output record: a failed call leaves it as it was; what a successful
// one hands out is sent back changed by later steps.
template <class T>
void afterGet(int32_t status, const T *record)
{
    check(status);
    if (!record)
        return;
    if (status == 0) {
        remember(record);
        return;
    }
    const auto *b = reinterpret_cast<const uint8_t *>(record);
    for (size_t i = 0; i < sizeof(T); ++i)
        require(b[i] == 0xCD);
}

// A list query: an array of exactly `capacity` records (none when the
// capacity is 0 or negative, or a single one), and *count within the
// capacity after a success, untouched after a failure.
const int32_t kCapacities[] = {4, 0, 1, 2, 3, 8, 16, 64, -1, INT32_MIN, -1000, 255};

template <class T, class Call>
void listQuery(Step &s, Call call)
{
    int32_t capacity = kCapacities[s.p.ConsumeIntegralInRange<size_t>(0, 11)];
    const size_t maxRecords = std::max<size_t>(1, (1u << 20) / sizeof(T));
    if (capacity > 0 && size_t(capacity) > maxRecords)
        capacity = int32_t(maxRecords);
    T *array = nullptr;
    const bool withArray = !nullNow(s.p);
    if (capacity > 0 && withArray) {
        array = static_cast<T *>(block(sizeof(T) * size_t(capacity)));
        std::memset(array, 0xCD, sizeof(T) * size_t(capacity));
    } else if (capacity == 0 && withArray) {
        array = static_cast<T *>(block(0));
    } else if (capacity < 0 && withArray) {
        array = static_cast<T *>(block(sizeof(T)));
    }
    int32_t *count = s.outCount();
    const int32_t status = call(array, capacity, count);
    check(status);
    if (!count)
        return;
    if (status != 0) {
        require(*count == kUntouched);
        return;
    }
    require(*count >= 0 && *count <= capacity);
    if (*count > 0 && array)
        remember(&array[s.p.ConsumeIntegralInRange<int32_t>(0, *count - 1)]);
}

void sizeQueryResult(int32_t status, const int32_t *count)
{
    check(status);
    if (count && status == 0)
        require(*count >= 0);
}

// Flags of the stream a start call opens: set before the call, as the first
// callback may come before the call has returned to us, and put back when
// the start fails (a second start leaves the first stream running).
template <class Start>
int32_t startStream(TMV_NET_HANDLE handle, std::atomic<bool> Slot::*flag, bool callbackGiven, Start start)
{
    std::vector<std::pair<Slot *, bool>> before;
    const uintptr_t h = reinterpret_cast<uintptr_t>(handle);
    for (int i = 0; i < g_slotCount.load(); ++i)
        if (h != 0 && g_slots[i].handle.load() == h) {
            before.emplace_back(&g_slots[i], (g_slots[i].*flag).load());
            if (callbackGiven)
                g_slots[i].*flag = true;
        }
    const int32_t status = start();
    check(status);
    if (status != 0)
        for (auto &b : before)
            (b.first->*flag) = b.second;
    return status;
}

void stopped(int32_t status, TMV_NET_HANDLE handle, std::atomic<bool> Slot::*flag)
{
    check(status);
    if (status != 0)
        return;
    const uintptr_t h = reinterpret_cast<uintptr_t>(handle);
    for (int i = 0; i < g_slotCount.load(); ++i)
        if (h != 0 && g_slots[i].handle.load() == h)
            g_slots[i].*flag = false;
}

void loggedOut(TMV_NET_HANDLE handle)
{
    forHandle(handle, [](Slot &s) { s.quiet(); });
}

// Download ids seen in this input, and any other number.
int32_t downloadId(Step &s)
{
    if (!g_downloads.empty() && s.p.ConsumeIntegralInRange<int>(0, 3) != 3)
        return g_downloads[s.p.ConsumeIntegralInRange<size_t>(0, g_downloads.size() - 1)];
    return s.any();
}

void fileDownloadRecord(Step &s, TMV_NET_FILE_DOWNLOAD_INFO *info)
{
    // The card file: one the library listed, a made-up name on the card, or
    // an unterminated field; never a path of this machine.
    char *source = info->fileInfo.filePath;
    auto it = g_stash.find(&Tag<TMV_NET_FILE_INFO>::id);
    switch (s.p.ConsumeIntegralInRange<int>(0, 4)) {
    case 0:
        if (it != g_stash.end()) {
            std::memcpy(&info->fileInfo, it->second.data(), sizeof info->fileInfo);
            break;
        }
        putText(reinterpret_cast<uint8_t *>(source), sizeof info->fileInfo.filePath,
                "/mnt/sdcard/ch0_video_20240101-000000_20240101-000100.mp4");
        break;
    case 1:
        putText(reinterpret_cast<uint8_t *>(source), sizeof info->fileInfo.filePath,
                std::string("/mnt/sdcard/") + s.p.ConsumeRandomLengthString(64));
        break;
    case 2:
        putText(reinterpret_cast<uint8_t *>(source), sizeof info->fileInfo.filePath,
                "/mnt/sdcard/../sdcard/ch0_video_20240101-000000_20240101-000100.mp4");
        break;
    case 3:
        putText(reinterpret_cast<uint8_t *>(source), sizeof info->fileInfo.filePath, "");
        break;
    default:
        std::memset(source, 'x', sizeof info->fileInfo.filePath);
        break;
    }
    // The target: a path of the scratch folder, cut unterminated when longer
    // than the field.
    PathArg target(s);
    if (target.text.size() < sizeof info->localPath)
        putText(reinterpret_cast<uint8_t *>(info->localPath), sizeof info->localPath, target.text);
    else
        std::memcpy(info->localPath, target.text.data(), sizeof info->localPath);
}

using StepFn = void (*)(Step &);

struct Entry {
    const char *name;
    StepFn run;
};

#define H s.handle()

const Entry kTable[] = {
    // ---- Session
    {"Init", [](Step &) { check(TMV_NET_Init()); }},
    {"Deinit",
     [](Step &) {
         const int32_t status = TMV_NET_Deinit();
         check(status);
         if (status == 0)
             for (int i = 0; i < g_slotCount.load(); ++i)
                 g_slots[i].quiet();
     }},
    {"SearchDev",
     [](Step &s) {
         TMV_NET_SEARCH_CALLBACK cb;
         s.maybeCallback(searchCallback, &cb);
         const int32_t wait = s.p.ConsumeBool() ? s.any() : 500;
         const int32_t status = TMV_NET_SearchDev(cb, &g_user, wait);
         check(status);
         g_searched = g_searched || status == 0;
     }},
    {"Login",
     [](Step &s) {
         const TMV_NET_LOGIN_INFO *info;
         TMV_NET_LOGIN_INFO *made = nullptr;
         if (s.p.ConsumeBool()) {
             info = s.in<TMV_NET_LOGIN_INFO>();
         } else {
             // Most logins are near the fleet's credentials.
             static const char *const kIps[] = {"127.0.0.11", "127.0.0.12", "127.0.0.13", "127.0.0.14",
                                                "127.0.0.1"};
             static const char *const kUsers[] = {"admin", "", "Admin", "root"};
             static const char *const kPasswords[] = {"sensor852", "", "sensor85", "sensor8522"};
             static const int32_t kPorts[] = {80, 0, 81, 8080, -1};
             made = static_cast<TMV_NET_LOGIN_INFO *>(block(sizeof *made));
             std::memset(made, 0, sizeof *made);
             putText(reinterpret_cast<uint8_t *>(made->ip), sizeof made->ip, kIps[pick(s.p, kIps)]);
             putText(reinterpret_cast<uint8_t *>(made->userName), sizeof made->userName,
                     kUsers[pick(s.p, kUsers)]);
             putText(reinterpret_cast<uint8_t *>(made->password), sizeof made->password,
                     kPasswords[pick(s.p, kPasswords)]);
             made->port = kPorts[s.p.ConsumeIntegralInRange<size_t>(0, 4)];
             info = made;
         }
         auto *handle = s.out<TMV_NET_HANDLE>();
         const int32_t status = TMV_NET_Login(info, handle);
         check(status);
         if (status != 0)
             return;
         require(handle && *handle);
         if (g_slotCount.load() < kSlots)
             addSlot(*handle, true);
         else
             require(TMV_NET_Logout(*handle) == 0);
     }},
    {"Logout",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t status = TMV_NET_Logout(h);
         check(status);
         if (status == 0)
             loggedOut(h);
     }},
    {"SetExceptionCallback",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         TMV_NET_EXCEPTION_CALLBACK cb;
         const bool given = s.maybeCallback(exceptionCallback, &cb);
         startStream(h, &Slot::exception, given, [&] { return TMV_NET_SetExceptionCallback(h, cb, &g_user); });
     }},
    {"GetDevInfo",
     [](Step &s) {
         auto *r = s.out<TMV_NET_DEV_INFO>();
         afterGet(TMV_NET_GetDevInfo(H, r), r);
     }},
    {"GetDevAbility",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t channel = s.channel(), reserved = s.p.ConsumeBool() ? 0 : s.any();
         auto *r = s.out<TMV_NET_DEV_ABILITY>();
         afterGet(TMV_NET_GetDevAbility(h, channel, reserved, r), r);
     }},
    {"GetPtzAuxState",
     [](Step &s) {
         auto *r = s.out<TMV_NET_PTZ_AUX_STATE>();
         afterGet(TMV_NET_GetPtzAuxState(H, r), r);
     }},
    // ---- Preview
    {"StartPreview_V2",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const auto *info = s.in<TMV_NET_PREVIEW_INFO>();
         TMV_NET_PREVIEW_CALLBACK cb;
         const bool given = s.maybeCallback(previewCallback, &cb);
         startStream(h, &Slot::preview, given, [&] { return TMV_NET_StartPreview_V2(h, info, cb, &g_user); });
     }},
    {"StopPreview",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         stopped(TMV_NET_StopPreview(h), h, &Slot::preview);
     }},
    {"PreviewSnapshot",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         PathArg path(s);
         check(TMV_NET_PreviewSnapshot(h, path.get()));
     }},
    {"GetIRGImage",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         PathArg irg(s), jpg(s);
         check(TMV_NET_GetIRGImage(h, irg.get(), jpg.get()));
     }},
    {"GetDLT664Image",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         PathArg path(s);
         check(TMV_NET_GetDLT664Image(h, path.get()));
     }},
    {"StartPreviewRecord",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         PathArg path(s);
         check(TMV_NET_StartPreviewRecord(h, path.get()));
     }},
    {"StopPreviewRecord", [](Step &s) { check(TMV_NET_StopPreviewRecord(H)); }},
    // ---- Temperature: frame, switch, point
    {"QueryFrameTemp",
     [](Step &s) {
         auto *r = s.out<TMV_NET_TEMP_INFO>();
         afterGet(TMV_NET_QueryFrameTemp(H, r), r);
     }},
    {"QueryFrameTempAlarmConfig",
     [](Step &s) {
         auto *r = s.out<TMV_NET_FRAME_TEMP_ALARM_CONFIG>();
         afterGet(TMV_NET_QueryFrameTempAlarmConfig(H, r), r);
     }},
    {"UpdateFrameTempAlarmConfig",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_UpdateFrameTempAlarmConfig(h, s.in<TMV_NET_FRAME_TEMP_ALARM_CONFIG>()));
     }},
    {"GetTempEnable",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *v = s.outCount();
         afterGet(TMV_NET_GetTempEnable(h, v), v);
     }},
    {"SetTempEnable",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetTempEnable(h, s.small(1)));
     }},
    {"QueryRandomTemp",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const auto *point = s.in<TMV_NET_POINT>();
         float *v = s.out<float>();
         afterGet(TMV_NET_QueryRandomTemp(h, point, v), v);
     }},
    // ---- Temperature: streams
    {"SetPullTempExecParam",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetPullTempExecParam(h, s.small(1)));
     }},
    {"StartPullTemp_V2",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         TMV_NET_TEMP_CALLBACK cb;
         const bool given = s.maybeCallback(tempCallback, &cb);
         startStream(h, &Slot::temp, given, [&] { return TMV_NET_StartPullTemp_V2(h, cb, &g_user); });
     }},
    {"StopPullTemp",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         stopped(TMV_NET_StopPullTemp(h), h, &Slot::temp);
     }},
    {"StartPullNucData",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         TMV_NET_NUC_DATA_CALLBACK cb;
         const bool given = s.maybeCallback(rawCallback, &cb);
         startStream(h, &Slot::raw, given, [&] { return TMV_NET_StartPullNucData(h, cb, &g_user); });
     }},
    {"StopPullNucData",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         stopped(TMV_NET_StopPullNucData(h), h, &Slot::raw);
     }},
    // ---- Temperature: rules and masks
    {"QueryTempRuleSize",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const auto *key = s.in<TMV_NET_TEMP_RULE_KEY>();
         int32_t *count = s.outCount();
         sizeQueryResult(TMV_NET_QueryTempRuleSize(h, key, count), count);
     }},
    {"QueryTempRule",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const auto *key = s.in<TMV_NET_TEMP_RULE_KEY>();
         listQuery<TMV_NET_TEMP_RULE>(
             s, [&](TMV_NET_TEMP_RULE *a, int32_t c, int32_t *n) { return TMV_NET_QueryTempRule(h, key, a, c, n); });
     }},
    {"QueryRuleTemp",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const auto *key = s.in<TMV_NET_TEMP_RULE_KEY>();
         listQuery<TMV_NET_RULE_TEMP>(
             s, [&](TMV_NET_RULE_TEMP *a, int32_t c, int32_t *n) { return TMV_NET_QueryRuleTemp(h, key, a, c, n); });
     }},
    {"DeleteAllTempRule",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_DeleteAllTempRule(h, s.small(3)));
     }},
    {"DeleteTempRule",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_DeleteTempRule(h, s.in<TMV_NET_TEMP_RULE_KEY>()));
     }},
    {"AddTempRule",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_AddTempRule(h, s.in<TMV_NET_TEMP_RULE>()));
     }},
    {"UpdateTempRule",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_UpdateTempRule(h, s.in<TMV_NET_TEMP_RULE>()));
     }},
    {"QueryTempMaskSize",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const auto *key = s.in<TMV_NET_TEMP_MASK_KEY>();
         int32_t *count = s.outCount();
         sizeQueryResult(TMV_NET_QueryTempMaskSize(h, key, count), count);
     }},
    {"QueryTempMask",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const auto *key = s.in<TMV_NET_TEMP_MASK_KEY>();
         listQuery<TMV_NET_TEMP_MASK>(
             s, [&](TMV_NET_TEMP_MASK *a, int32_t c, int32_t *n) { return TMV_NET_QueryTempMask(h, key, a, c, n); });
     }},
    {"DeleteAllTempMask",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_DeleteAllTempMask(h, s.small(3)));
     }},
    {"DeleteTempMask",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_DeleteTempMask(h, s.in<TMV_NET_TEMP_MASK_KEY>()));
     }},
    {"AddTempMask",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_AddTempMask(h, s.in<TMV_NET_TEMP_MASK>()));
     }},
    // ---- Temperature: tiered rules
    {"QueryTempRule_G1",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const auto *key = s.in<TMV_NET_TEMP_RULE_KEY>();
         listQuery<TMV_NET_TEMP_RULE_G1>(s, [&](TMV_NET_TEMP_RULE_G1 *a, int32_t c, int32_t *n) {
             return TMV_NET_QueryTempRule_G1(h, key, a, c, n);
         });
     }},
    {"AddTempRule_G1",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_AddTempRule_G1(h, s.in<TMV_NET_TEMP_RULE_G1>()));
     }},
    {"UpdateTempRule_G1",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_UpdateTempRule_G1(h, s.in<TMV_NET_TEMP_RULE_G1>()));
     }},
    {"QueryFrameTempAlarmConfig_G1",
     [](Step &s) {
         auto *r = s.out<TMV_NET_TEMP_ALARM_G1>();
         afterGet(TMV_NET_QueryFrameTempAlarmConfig_G1(H, r), r);
     }},
    {"UpdateFrameTempAlarmConfig_G1",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_UpdateFrameTempAlarmConfig_G1(h, s.in<TMV_NET_TEMP_ALARM_G1>()));
     }},
    // ---- Alarms
    {"SubscribeAlarm_V2",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const uint8_t snapshot = s.p.ConsumeBool() ? 1 : s.p.ConsumeIntegral<uint8_t>();
         TMV_NET_ALARM_CALLBACK cb;
         const bool given = s.maybeCallback(alarmCallback, &cb);
         startStream(h, &Slot::alarm, given, [&] { return TMV_NET_SubscribeAlarm_V2(h, snapshot, cb, &g_user); });
     }},
    {"SubscribeAlarm",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         TMV_NET_ALARM_CALLBACK cb;
         const bool given = s.maybeCallback(alarmCallback, &cb);
         startStream(h, &Slot::alarm, given, [&] { return TMV_NET_SubscribeAlarm(h, cb, &g_user); });
     }},
    {"UnsubscribeAlarm",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         stopped(TMV_NET_UnsubscribeAlarm(h), h, &Slot::alarm);
     }},
    // ---- PTZ: motion
    {"PtzControl",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_PtzControl(h, s.in<TMV_NET_PTZ_CONTROL>()));
     }},
    // ---- PTZ: presets, tours, patterns
    {"QueryPtzPresetSize",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *count = s.outCount();
         sizeQueryResult(TMV_NET_QueryPtzPresetSize(h, count), count);
     }},
    {"QueryPtzPreset",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         listQuery<TMV_NET_PRESET_INFO>(
             s, [&](TMV_NET_PRESET_INFO *a, int32_t c, int32_t *n) { return TMV_NET_QueryPtzPreset(h, a, c, n); });
     }},
    {"PtzPresetControl",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t action = s.small(4);
         check(TMV_NET_PtzPresetControl(h, action, s.in<TMV_NET_PRESET_INFO>()));
     }},
    {"QueryPtzPresetId",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *v = s.outCount();
         afterGet(TMV_NET_QueryPtzPresetId(h, v), v);
     }},
    {"QueryPtzTourSize",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *count = s.outCount();
         sizeQueryResult(TMV_NET_QueryPtzTourSize(h, count), count);
     }},
    {"QueryPtzTour",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t withPoints = s.p.ConsumeBool() ? 1 : s.small(1);
         listQuery<TMV_NET_TOUR_INFO>(s, [&](TMV_NET_TOUR_INFO *a, int32_t c, int32_t *n) {
             return TMV_NET_QueryPtzTour(h, withPoints, a, c, n);
         });
     }},
    {"PtzTourControl",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t action = s.small(4);
         check(TMV_NET_PtzTourControl(h, action, s.in<TMV_NET_TOUR_INFO>()));
     }},
    {"QueryPtzPatternSize",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *count = s.outCount();
         sizeQueryResult(TMV_NET_QueryPtzPatternSize(h, count), count);
     }},
    {"QueryPtzPattern",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         listQuery<TMV_NET_PATTERN_INFO>(
             s, [&](TMV_NET_PATTERN_INFO *a, int32_t c, int32_t *n) { return TMV_NET_QueryPtzPattern(h, a, c, n); });
     }},
    {"PtzPatternControl",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t action = s.small(4);
         check(TMV_NET_PtzPatternControl(h, action, s.small(8)));
     }},
    // ---- PTZ: area scans, boot and park actions
    {"QueryPtzRegionScanInfoSize",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *count = s.outCount();
         sizeQueryResult(TMV_NET_QueryPtzRegionScanInfoSize(h, count), count);
     }},
    {"QueryPtzRegionScanInfo",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         listQuery<TMV_NET_REGION_SCAN_INFO>(s, [&](TMV_NET_REGION_SCAN_INFO *a, int32_t c, int32_t *n) {
             return TMV_NET_QueryPtzRegionScanInfo(h, a, c, n);
         });
     }},
    {"SetPtzRegionScanInfo",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetPtzRegionScanInfo(h, s.in<TMV_NET_REGION_SCAN_INFO>()));
     }},
    {"PtzRegionScanControl",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t id = s.small(8);
         check(TMV_NET_PtzRegionScanControl(h, id, s.p.ConsumeBool()));
     }},
    {"DeletePtzRegionScanInfo",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_DeletePtzRegionScanInfo(h, s.small(8)));
     }},
    {"QueryPtzBootActionInfo",
     [](Step &s) {
         auto *r = s.out<TMV_NET_BOOT_ACTION_INFO>();
         afterGet(TMV_NET_QueryPtzBootActionInfo(H, r), r);
     }},
    {"SetPtzBootActionInfo",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetPtzBootActionInfo(h, s.in<TMV_NET_BOOT_ACTION_INFO>()));
     }},
    {"QueryPtzParkActionInfo",
     [](Step &s) {
         auto *r = s.out<TMV_NET_PARK_ACTION_INFO>();
         afterGet(TMV_NET_QueryPtzParkActionInfo(H, r), r);
     }},
    {"SetPtzParkActionInfo",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetPtzParkActionInfo(h, s.in<TMV_NET_PARK_ACTION_INFO>()));
     }},
    // ---- PTZ: positioning, tracking, status
    {"ResetPtzConfig", [](Step &s) { check(TMV_NET_ResetPtzConfig(H)); }},
    {"PtzLensInit",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_PtzLensInit(h, s.channel()));
     }},
    {"GetLaserDistance",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *v = s.outCount();
         afterGet(TMV_NET_GetLaserDistance(h, v), v);
     }},
    {"PtzPosition",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_PtzPosition(h, s.in<TMV_NET_PTZ_POSITION>()));
     }},
    {"PtzTrackingPosition",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_PtzTrackingPosition(h, s.in<TMV_NET_PTZ_TRACKING_POSITION>()));
     }},
    {"GetCurrentPtz_V1",
     [](Step &s) {
         auto *r = s.out<TMV_NET_CURRENT_PTZ_INFO>();
         afterGet(TMV_NET_GetCurrentPtz_V1(H, r), r);
     }},
    {"GetPtzZoomMultiplier",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t channel = s.channel();
         float *v = s.out<float>();
         afterGet(TMV_NET_GetPtzZoomMultiplier(h, channel, v), v);
     }},
    {"SetPtzZoomMultiplier",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t channel = s.channel();
         check(TMV_NET_SetPtzZoomMultiplier(h, channel, s.anyF()));
     }},
    {"GetTargetTrackConfig",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t channel = s.channel();
         auto *r = s.out<TMV_NET_TARGET_TRACK_CONFIG>();
         afterGet(TMV_NET_GetTargetTrackConfig(h, channel, r), r);
     }},
    {"SetTargetTrackConfig",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t channel = s.channel();
         check(TMV_NET_SetTargetTrackConfig(h, channel, s.in<TMV_NET_TARGET_TRACK_CONFIG>()));
     }},
    {"GetAccelerationData",
     [](Step &s) {
         auto *r = s.out<TMV_NET_ACCELERATION_DATA>();
         afterGet(TMV_NET_GetAccelerationData(H, r), r);
     }},
    {"GetPtzPowerOffConfig",
     [](Step &s) {
         auto *r = s.out<TMV_NET_PTZ_POWER_OFF_CONFIG>();
         afterGet(TMV_NET_GetPtzPowerOffConfig(H, r), r);
     }},
    {"SetPtzPowerOffConfig",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetPtzPowerOffConfig(h, s.in<TMV_NET_PTZ_POWER_OFF_CONFIG>()));
     }},
    {"GetPtzRunningStatus",
     [](Step &s) {
         auto *r = s.out<TMV_NET_PTZ_RUNNING_STATUS>();
         afterGet(TMV_NET_GetPtzRunningStatus(H, r), r);
     }},
    {"Ptz3DPosition",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_Ptz3DPosition(h, s.in<TMV_NET_PTZ_3D_POSITION>()));
     }},
    {"PtzRegionFocus",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_PtzRegionFocus(h, s.in<TMV_NET_PTZ_REGION>()));
     }},
    {"PtzManualTrack",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_PtzManualTrack(h, s.in<TMV_NET_PTZ_REGION>()));
     }},
    // ---- PTZ: electronic PTZ and linkage
    {"ElectronicPtzControl",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_ElectronicPtzControl(h, s.in<TMV_NET_EPTZ_CONTROL>()));
     }},
    {"GetGunBallTrackConfigInfo",
     [](Step &s) {
         auto *r = s.out<TMV_NET_GUN_BALL_TRACK_CONFIG_INFO>();
         afterGet(TMV_NET_GetGunBallTrackConfigInfo(H, r), r);
     }},
    {"SetGunBallTrackConfigInfo",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetGunBallTrackConfigInfo(h, s.in<TMV_NET_GUN_BALL_TRACK_CONFIG_INFO>()));
     }},
    // ---- Configuration: imaging and thermal
    {"GetFrameRate",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *v = s.outCount();
         afterGet(TMV_NET_GetFrameRate(h, v), v);
     }},
    {"SetFrameRate",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetFrameRate(h, s.p.ConsumeBool() ? 25 : s.any()));
     }},
    {"SyncSystemTime",
     [](Step &s) {
         static const char *const kTimes[] = {"2024-01-01 12:00:00", "1970-01-01 00:00:00", "2038-01-19 03:14:08",
                                              "9999-12-31 23:59:59", "2024-02-30 00:00:00", "2024-01-01+12:00:00"};
         const TMV_NET_HANDLE h = H;
         const int which = s.p.ConsumeIntegralInRange<int>(0, 7);
         std::string text;
         if (which < 6)
             text = kTimes[which];
         else
             text = s.p.ConsumeRandomLengthString(40);
         check(TMV_NET_SyncSystemTime(h, which == 7 && text.empty() ? nullptr : text.c_str()));
     }},
    {"CorrectShutter", [](Step &s) { check(TMV_NET_CorrectShutter(H)); }},
    {"GetEnvParam",
     [](Step &s) {
         auto *r = s.out<TMV_NET_ENV_PARAM>();
         afterGet(TMV_NET_GetEnvParam(H, r), r);
     }},
    {"SetEnvParam",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetEnvParam(h, s.in<TMV_NET_ENV_PARAM>()));
     }},
    {"GetOSDState",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *v = s.outCount();
         afterGet(TMV_NET_GetOSDState(h, v), v);
     }},
    {"SetOSDState",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetOSDState(h, s.small(1)));
     }},
    {"GetTempBarState",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *v = s.outCount();
         afterGet(TMV_NET_GetTempBarState(h, v), v);
     }},
    {"SetTempBarState",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetTempBarState(h, s.small(1)));
     }},
    {"GetPalleteType",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *v = s.outCount();
         afterGet(TMV_NET_GetPalleteType(h, v), v);
     }},
    {"SetPalleteType",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetPalleteType(h, s.small(20)));
     }},
    {"GetTempLevel",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *v = s.outCount();
         afterGet(TMV_NET_GetTempLevel(h, v), v);
     }},
    {"SetTempLevel",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetTempLevel(h, s.small(3)));
     }},
    {"GetTempUnit",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *v = s.outCount();
         afterGet(TMV_NET_GetTempUnit(h, v), v);
     }},
    {"SetTempUnit",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetTempUnit(h, s.small(3)));
     }},
    {"GetTempSpanInfo",
     [](Step &s) {
         auto *r = s.out<TMV_NET_TEMP_SPAN_INFO>();
         afterGet(TMV_NET_GetTempSpanInfo(H, r), r);
     }},
    {"SetTempSpanInfo",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetTempSpanInfo(h, s.in<TMV_NET_TEMP_SPAN_INFO>()));
     }},
    {"GetThermalImageLuminance",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *v = s.outCount();
         afterGet(TMV_NET_GetThermalImageLuminance(h, v), v);
     }},
    {"SetThermalImageLuminance",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetThermalImageLuminance(h, s.any()));
     }},
    {"GetThermalImageContrast",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *v = s.outCount();
         afterGet(TMV_NET_GetThermalImageContrast(h, v), v);
     }},
    {"SetThermalImageContrast",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetThermalImageContrast(h, s.any()));
     }},
    {"GetThermalImageFlipMode",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *v = s.outCount();
         afterGet(TMV_NET_GetThermalImageFlipMode(h, v), v);
     }},
    {"SetThermalImageFlipMode",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetThermalImageFlipMode(h, s.small(3)));
     }},
    {"GetThermalImageEnhanceInfo",
     [](Step &s) {
         auto *r = s.out<TMV_NET_THERMAL_IMAGE_ENHANCE_INFO>();
         afterGet(TMV_NET_GetThermalImageEnhanceInfo(H, r), r);
     }},
    {"SetThermalImageEnhanceInfo",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetThermalImageEnhanceInfo(h, s.in<TMV_NET_THERMAL_IMAGE_ENHANCE_INFO>()));
     }},
    // ---- Configuration: OSD, network, maintenance
    {"GetOSDTimeTitleInfo",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t channel = s.channel();
         auto *r = s.out<TMV_NET_OSD_TIME_TITLE_INFO>();
         afterGet(TMV_NET_GetOSDTimeTitleInfo(h, channel, r), r);
     }},
    {"SetOSDTimeTitleInfo",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t channel = s.channel();
         check(TMV_NET_SetOSDTimeTitleInfo(h, channel, s.in<TMV_NET_OSD_TIME_TITLE_INFO>()));
     }},
    {"GetOSDChannelTitleInfo",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t channel = s.channel();
         auto *r = s.out<TMV_NET_OSD_CHANNEL_TITLE_INFO>();
         afterGet(TMV_NET_GetOSDChannelTitleInfo(h, channel, r), r);
     }},
    {"SetOSDChannelTitleInfo",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t channel = s.channel();
         check(TMV_NET_SetOSDChannelTitleInfo(h, channel, s.in<TMV_NET_OSD_CHANNEL_TITLE_INFO>()));
     }},
    {"GetLaserDistanceOsdParam",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t channel = s.channel();
         auto *r = s.out<TMV_NET_LASER_DISTANCE_OSD_PARAM>();
         afterGet(TMV_NET_GetLaserDistanceOsdParam(h, channel, r), r);
     }},
    {"SetLaserDistanceOsdParam",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t channel = s.channel();
         check(TMV_NET_SetLaserDistanceOsdParam(h, channel, s.in<TMV_NET_LASER_DISTANCE_OSD_PARAM>()));
     }},
    {"GetIpConfig",
     [](Step &s) {
         auto *r = s.out<TMV_NET_IP_CONFIG>();
         afterGet(TMV_NET_GetIpConfig(H, r), r);
     }},
    {"SetIpConfig",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetIpConfig(h, s.in<TMV_NET_IP_CONFIG>()));
     }},
    {"SetTransparentState",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetTransparentState(h, s.p.ConsumeBool() ? 1 : s.small(1)));
     }},
    {"TransparentData",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         // `size` bytes to send (none for a size below one) and a reply
         // buffer of exactly its capacity.
         const int32_t size = s.p.ConsumeBool() ? s.p.ConsumeIntegralInRange<int32_t>(1, 64) : s.small(8);
         uint8_t *data = nullptr;
         if (size > 0 && !nullNow(s.p)) {
             data = static_cast<uint8_t *>(block(size_t(size)));
             const std::vector<uint8_t> bytes = s.p.ConsumeBytes<uint8_t>(size_t(size));
             std::memset(data, 0, size_t(size));
             if (!bytes.empty())
                 std::memcpy(data, bytes.data(), bytes.size());
         }
         const int32_t capacity = s.p.ConsumeBool() ? 64 : kCapacities[s.p.ConsumeIntegralInRange<size_t>(0, 11)];
         uint8_t *reply = nullptr;
         if (capacity >= 0 && !nullNow(s.p))
             reply = static_cast<uint8_t *>(block(size_t(capacity)));
         int32_t *length = s.outCount();
         const int32_t timeout = s.p.ConsumeBool() ? 100 : s.any();
         const int32_t status = TMV_NET_TransparentData(h, data, size, reply, capacity, length, timeout);
         check(status);
         if (status == 0 && length)
             require(*length >= 0 && *length <= capacity);
         else if (length)
             require(*length == kUntouched);
     }},
    {"SystemReboot", [](Step &s) { check(TMV_NET_SystemReboot(H)); }},
    {"SystemRestart", [](Step &s) { check(TMV_NET_SystemRestart(H)); }},
    {"RestoreFactoryDefaults", [](Step &s) { check(TMV_NET_RestoreFactoryDefaults(H)); }},
    // ---- Configuration: peripherals
    {"GetWiperConfigInfo",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         int32_t *v = s.outCount();
         afterGet(TMV_NET_GetWiperConfigInfo(h, v), v);
     }},
    {"SetWiperConfigInfo",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetWiperConfigInfo(h, s.small(1)));
     }},
    {"GetFillLightConfigInfo",
     [](Step &s) {
         auto *r = s.out<TMV_NET_FILL_LIGHT_CONFIG_INFO>();
         afterGet(TMV_NET_GetFillLightConfigInfo(H, r), r);
     }},
    {"SetFillLightConfigInfo",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetFillLightConfigInfo(h, s.in<TMV_NET_FILL_LIGHT_CONFIG_INFO>()));
     }},
    {"GetDayNightModeParam",
     [](Step &s) {
         auto *r = s.out<TMV_NET_DAY_NIGHT_MODE_PARAM>();
         afterGet(TMV_NET_GetDayNightModeParam(H, r), r);
     }},
    {"SetDayNightModeParam",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_SetDayNightModeParam(h, s.in<TMV_NET_DAY_NIGHT_MODE_PARAM>()));
     }},
    {"GetLogoPicture",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t type = s.small(1);
         PathArg path(s);
         check(TMV_NET_GetLogoPicture(h, type, path.get()));
     }},
    {"SetLogoPicture",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t type = s.small(1);
         PathArg path(s);
         check(TMV_NET_SetLogoPicture(h, type, path.get()));
     }},
    // ---- Configuration: target recognition
    {"GetTargetRecognitionConfig",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t channel = s.channel();
         auto *r = s.out<TMV_NET_TARGET_RECOGNITION_CONFIG>();
         afterGet(TMV_NET_GetTargetRecognitionConfig(h, channel, r), r);
     }},
    {"SetTargetRecognitionConfig",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t channel = s.channel();
         check(TMV_NET_SetTargetRecognitionConfig(h, channel, s.in<TMV_NET_TARGET_RECOGNITION_CONFIG>()));
     }},
    // ---- Playback
    {"QueryFileSize",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const auto *query = s.in<TMV_NET_FILE_QUERY>();
         int32_t *count = s.outCount();
         sizeQueryResult(TMV_NET_QueryFileSize(h, query, count), count);
     }},
    {"QueryFile",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const auto *query = s.in<TMV_NET_FILE_QUERY>();
         listQuery<TMV_NET_FILE_INFO>(
             s, [&](TMV_NET_FILE_INFO *a, int32_t c, int32_t *n) { return TMV_NET_QueryFile(h, query, a, c, n); });
     }},
    {"StartDownloadFile",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const TMV_NET_FILE_DOWNLOAD_INFO *info = nullptr;
         if (!nullNow(s.p)) {
             auto *made = const_cast<TMV_NET_FILE_DOWNLOAD_INFO *>(s.in<TMV_NET_FILE_DOWNLOAD_INFO>());
             if (!made) {
                 made = static_cast<TMV_NET_FILE_DOWNLOAD_INFO *>(block(sizeof *made));
                 std::memset(made, 0, sizeof *made);
             }
             fileDownloadRecord(s, made);
             info = made;
         }
         // An id, or a documented status negated.
         const int32_t id = TMV_NET_StartDownloadFile(h, info);
         if (tracing())
             noteStatus(id);
         if (id >= 0)
             g_downloads.push_back(id);
         else
             require(id != INT32_MIN && documented(-id));
     }},
    {"StopDownloadFile",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_StopDownloadFile(h, downloadId(s)));
     }},
    {"GetDownloadProgress",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t id = downloadId(s);
         auto *progress = s.out<TMV_NET_DOWNLOAD_PROGRESS>();
         const int32_t status = TMV_NET_GetDownloadProgress(h, id, progress);
         check(status);
         if (status == 0 && progress)
             require(progress->total >= 0 && progress->done >= 0 && progress->done <= progress->total);
     }},
    // ---- The world around the calls (not entry points): time, alarms,
    // devices that go away.
    {"~ClockStep",
     [](Step &s) {
         static const int64_t kSteps[] = {40, 0, 1, 10, 80, 160, 400, 8000};
         TMVSim_ClockStep(kSteps[s.p.ConsumeIntegralInRange<size_t>(0, 7)]);
     }},
    {"~InjectAlarm",
     [](Step &s) {
         static const int32_t kTypes[] = {
             TMV_NET_ALARM_TEMP,          TMV_NET_ALARM_FIRE,         TMV_NET_ALARM_TEMP_RISE,
             TMV_NET_ALARM_TEMP_DIFF,     TMV_NET_ALARM_FIRE_PULSE,   TMV_NET_ALARM_HIGH_LIGHT,
             TMV_NET_ALARM_REGION_INTRUSION, TMV_NET_ALARM_LINE_INTRUSION, TMV_NET_ALARM_OBJECT_PULSE,
             TMV_NET_ALARM_DYNAMIC,       TMV_NET_ALARM_SMOKE_DETECT, TMV_NET_ALARM_LOCAL,
             TMV_NET_ALARM_TRACK_STATE,   TMV_NET_ALARM_TRACK_OBJECT, TMV_NET_ALARM_LOGIN_EXCEPTION,
             TMV_NET_ALARM_SD_EXCEPTION};
         const char *device = kDevices[pick(s.p, kDevices)];
         require(TMVSim_InjectAlarm(device, kTypes[s.p.ConsumeIntegralInRange<size_t>(0, 15)]) == 0);
     }},
    {"~SetOnline",
     [](Step &s) {
         const char *device = kDevices[pick(s.p, kDevices)];
         require(TMVSim_SetOnline(device, s.p.ConsumeBool() ? 0 : 1) == 0);
     }},
    {"~RestartDevice",
     [](Step &s) { require(TMVSim_RestartDevice(kDevices[pick(s.p, kDevices)]) == 0); }},
    {"~RaiseException",
     [](Step &s) {
         const char *device = kDevices[pick(s.p, kDevices)];
         require(TMVSim_RaiseException(device, 1001 + s.p.ConsumeIntegralInRange<int32_t>(0, 3)) == 0);
     }},
    {"~FromCallback", [](Step &s) { g_armed = s.p.ConsumeIntegralInRange<int>(0, kCallbackActions - 1); }},
};

#undef H

constexpr size_t kEntryPoints = 141;
constexpr size_t kSteps = sizeof kTable / sizeof kTable[0];
static_assert(kSteps == kEntryPoints + 6, "one step per entry point, then the world's");

constexpr int kMaxSteps = 48;

TMV_NET_HANDLE fleetLogin(const char *address)
{
    TMV_NET_LOGIN_INFO info;
    std::memset(&info, 0, sizeof info);
    std::strcpy(info.ip, address);
    info.port = 80;
    std::strcpy(info.userName, "admin");
    std::strcpy(info.password, "sensor852");
    TMV_NET_HANDLE handle = nullptr;
    require(TMV_NET_Login(&info, &handle) == 0 && handle);
    return handle;
}

char g_neverAHandle;

void beginInput()
{
    require(TMV_NET_Init() == 0);
    TMVSim_ResetFleet();
    g_stash.clear();
    g_downloads.clear();
    g_searched = false;
    g_searchOpen = true;
    g_slotCount = 0;
    for (const char *device : kDevices)
        addSlot(fleetLogin(device), true);
    addSlot(nullptr, false);
    addSlot(&g_neverAHandle, false);
    const TMV_NET_HANDLE gone = fleetLogin(kDevices[1]);
    require(TMV_NET_Logout(gone) == 0);
    addSlot(gone, false);
}

// Stops everything the input started: after the logouts no callback of
// theirs runs, and the search answers still due are drained.
void endInput()
{
    g_armed = -1;
    require(TMV_NET_Init() == 0);
    for (int i = 0; i < g_slotCount.load(); ++i) {
        Slot &s = g_slots[i];
        if (!s.ours)
            continue;
        const int32_t status = TMV_NET_Logout(handleAt(i));
        require(status == 0 || status == 1);
    }
    for (int i = 0; i < g_slotCount.load(); ++i)
        g_slots[i].quiet();
    for (const char *device : kDevices)
        require(TMVSim_SessionCount(device) == 0);
    if (g_searched)
        TMVSim_ClockStep(450);
    g_searchOpen = false;
    freeBlocks();
}

// ENTRY_FUZZ_TRACE=1 lists the steps of each input with their time and
// the statuses their calls answered.
bool tracing()
{
    static const bool on = std::getenv("ENTRY_FUZZ_TRACE") != nullptr;
    return on;
}

std::string g_statuses;

void noteStatus(int32_t status)
{
    g_statuses += ' ' + std::to_string(status);
}

void trace(const char *name, std::chrono::steady_clock::time_point since)
{
    if (tracing())
        std::fprintf(stderr, "step %-32s %8lld us:%s\n", name,
                     static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(
                                                std::chrono::steady_clock::now() - since)
                                                .count()),
                     g_statuses.c_str());
    g_statuses.clear();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    g_caller = pthread_self();
    // Cards of this run live in the working folder, whatever started it.
    const char *root = std::getenv("TMVSIM_SDCARD_ROOT");
    char cwd[4096];
    require(::getcwd(cwd, sizeof cwd) != nullptr);
    const std::string cards = root && *root ? std::string(root) : std::string(cwd) + "/sdcard";
    TMVSim_SetSdCardRoot(cards.c_str());
    freshScratch();
    TMVSim_ClockPause();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    require(pthread_equal(pthread_self(), g_caller));
    FuzzedDataProvider input(data, size);
    auto t = std::chrono::steady_clock::now();
    beginInput();
    trace("(begin)", t);
    for (int n = 0; n < kMaxSteps && input.remaining_bytes() > 0; ++n) {
        const Entry &entry = kTable[input.ConsumeIntegral<uint8_t>() % kSteps];
        const std::vector<uint8_t> chunk = input.ConsumeBytes<uint8_t>(input.ConsumeIntegral<uint8_t>());
        FuzzedDataProvider p(chunk.data(), chunk.size());
        Step step{p};
        t = std::chrono::steady_clock::now();
        entry.run(step);
        trace(entry.name, t);
    }
    t = std::chrono::steady_clock::now();
    endInput();
    freshScratch();
    trace("(end)", t);
    return 0;
}
