#pragma once
// One marshalling path for every function of the contract. A function's
// parameters after its handle are read left to right and each run of them
// matches one rule; the rules are the whole protocol of a call:
//
//   const T *               an input record: present flag, sizeof(T) bytes
//   T *                     a record the call fills: present flag, its bytes
//                           both ways (a failed call hands back what it got)
//   T *, int32_t, int32_t * an array with its capacity and count: present
//                           flags, the capacity and the count out; the count
//                           (as the call left it) and at most
//                           min(count, capacity) records back
//   const uint8_t *, int32_t  bytes and their size
//   const char *            a NUL-terminated text (paths are texts too)
//   Fn, void *              a callback and its user pointer: present flag out;
//                           the device's calls of it come back as events
//   scalars                 their bytes
//   FileOut / FileIn        a path of the caller's machine that the call
//                           writes / reads: its file name out (and for FileIn
//                           the file's bytes); the device works on a scratch
//                           file of that name and sends a written one back,
//                           which the client writes to the caller's path
//
// Which `const char *` is a file and which way it goes is the function's own:
// Signature<Fn> says so for the functions that take files.
// The client side (Args) encodes a call from the caller's arguments and
// decodes the reply into them; the device side (Slots) decodes the same call
// into storage, calls the function on pointers into it, and encodes the reply.
// Every count and size from the peer is checked before it is used.

#include "wire/Codec.h"

#include "TMVNetSDK.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

namespace sim::wire {

// Bounds of what one call may carry.
constexpr uint32_t kMaxText = 4096;
constexpr int32_t kMaxBytes = 1 << 20;
constexpr uint32_t kMaxArrayBytes = 8u << 20;

// The device side's own function for a callback type, and the user pointer it
// gets: specialised by the device service for every callback it carries.
template <class Fn>
struct DeviceCallback;

// What the device side hands its callbacks: the connection they report to.
struct CallContext {
    virtual ~CallContext() = default;
    virtual void *callbackUser() = 0;
    // A folder of the device's own for the files of this connection's calls.
    virtual std::string scratchFolder() = 0;
};

constexpr uint32_t kMaxFile = 8u << 20;

// A path of the caller's machine that the call writes, and one it reads.
struct FileOut {
    FileOut(const char *p) : path(p) {}
    const char *path;
};
struct FileIn {
    FileIn(const char *p) : path(p) {}
    const char *path;
};

// The last part of a path: what the device's scratch file is named.
std::string fileName(const char *path);
bool readWholeFile(const char *path, std::vector<uint8_t> *bytes, uint32_t limit);
bool writeWholeFile(const char *path, const uint8_t *bytes, size_t size);
// A file name that stays inside a folder: not empty, no '/', not "." or "..".
bool safeFileName(const std::string &name);
// Whether a path's file name (null: none) fits the text rule.
inline bool nameFits(const char *path)
{
    return !path || fileName(path).size() + 1 <= kMaxText;
}

// ---- Client side -------------------------------------------------------------

template <class... P>
struct Args;

template <>
struct Args<> {
    // False when an argument is too big for one call (the caller gets 3).
    static bool sendable() { return true; }
    // The callback and user pointer among the arguments, if any.
    static void callbackOf(void **, void **) {}
    static void encode(Writer &) {}
    // `apply` false checks the reply's shape only; true also writes it into
    // the caller's outputs, so a malformed reply writes nothing.
    static bool decode(Reader &r, bool) { return r.ok() && r.left() == 0; }
};

template <class T, class... R>
struct Args<T, R...> {  // a scalar
    static void callbackOf(void **fn, void **user, T, R... rest) { Args<R...>::callbackOf(fn, user, rest...); }
    static bool sendable(T, R... rest) { return Args<R...>::sendable(rest...); }
    static_assert(std::is_arithmetic_v<T> || std::is_enum_v<T>, "no rule for this parameter");
    static void encode(Writer &w, T v, R... rest)
    {
        w.value(v);
        Args<R...>::encode(w, rest...);
    }
    static bool decode(Reader &r, bool apply, T, R... rest) { return Args<R...>::decode(r, apply, rest...); }
};

template <class T, class... R>
struct Args<const T *, R...> {  // an input record
    static void callbackOf(void **fn, void **user, const T *, R... rest) { Args<R...>::callbackOf(fn, user, rest...); }
    static bool sendable(const T *, R... rest) { return Args<R...>::sendable(rest...); }
    static void encode(Writer &w, const T *v, R... rest)
    {
        w.flag(v != nullptr);
        if (v)
            w.bytes(v, sizeof(T));
        Args<R...>::encode(w, rest...);
    }
    static bool decode(Reader &r, bool apply, const T *, R... rest) { return Args<R...>::decode(r, apply, rest...); }
};

template <class T, class... R>
struct Args<T *, R...> {  // a record the call fills
    static void callbackOf(void **fn, void **user, T *, R... rest) { Args<R...>::callbackOf(fn, user, rest...); }
    static bool sendable(T *, R... rest) { return Args<R...>::sendable(rest...); }
    static_assert(std::is_trivially_copyable_v<T> && !std::is_function_v<T>);
    static void encode(Writer &w, T *v, R... rest)
    {
        w.flag(v != nullptr);
        if (v)
            w.bytes(v, sizeof(T));
        Args<R...>::encode(w, rest...);
    }
    static bool decode(Reader &r, bool apply, T *v, R... rest)
    {
        T got;
        if (v && r.bytes(&got, sizeof got) && apply)
            std::memcpy(static_cast<void *>(v), &got, sizeof got);
        return Args<R...>::decode(r, apply, rest...);
    }
};

template <class T, class... R>
struct Args<T *, int32_t, int32_t *, R...> {  // an array, its capacity and count
    static void callbackOf(void **fn, void **user, T *, int32_t, int32_t *, R... rest) { Args<R...>::callbackOf(fn, user, rest...); }
    static bool sendable(T *, int32_t, int32_t *, R... rest) { return Args<R...>::sendable(rest...); }
    static void encode(Writer &w, T *array, int32_t capacity, int32_t *count, R... rest)
    {
        w.flag(array != nullptr);
        w.value(capacity);
        w.flag(count != nullptr);
        // What the caller's count holds: a failed call leaves it so.
        if (count)
            w.value(*count);
        Args<R...>::encode(w, rest...);
    }
    static bool decode(Reader &r, bool apply, T *array, int32_t capacity, int32_t *count, R... rest)
    {
        if (count) {
            const auto n = r.value<int32_t>();
            if (r.ok() && apply)
                *count = n;
        }
        const auto records = r.value<uint32_t>();
        // Never more than the caller's array holds.
        if (records > 0 && (!array || capacity < 0 || records > uint32_t(capacity)))
            r.fail();
        const uint8_t *at = r.take(size_t(records) * sizeof(T));
        if (at && apply && records > 0)
            std::memcpy(static_cast<void *>(array), at, size_t(records) * sizeof(T));
        return Args<R...>::decode(r, apply, rest...);
    }
};

template <class... R>
struct Args<const uint8_t *, int32_t, R...> {  // bytes and their size
    static void callbackOf(void **fn, void **user, const uint8_t *, int32_t, R... rest) { Args<R...>::callbackOf(fn, user, rest...); }
    static bool sendable(const uint8_t *data, int32_t size, R... rest)
    {
        return !(data && size > kMaxBytes) && Args<R...>::sendable(rest...);
    }
    static void encode(Writer &w, const uint8_t *data, int32_t size, R... rest)
    {
        w.flag(data != nullptr);
        w.value(size);
        if (data && size > 0)
            w.bytes(data, size_t(size));
        Args<R...>::encode(w, rest...);
    }
    static bool decode(Reader &r, bool apply, const uint8_t *, int32_t, R... rest)
    {
        return Args<R...>::decode(r, apply, rest...);
    }
};

template <class... R>
struct Args<const char *, R...> {  // a text
    static void callbackOf(void **fn, void **user, const char *, R... rest) { Args<R...>::callbackOf(fn, user, rest...); }
    static bool sendable(const char *text, R... rest)
    {
        return !(text && std::strlen(text) + 1 > kMaxText) && Args<R...>::sendable(rest...);
    }
    static void encode(Writer &w, const char *text, R... rest)
    {
        w.flag(text != nullptr);
        if (text)
            w.blob(text, uint32_t(std::strlen(text) + 1));
        Args<R...>::encode(w, rest...);
    }
    static bool decode(Reader &r, bool apply, const char *, R... rest) { return Args<R...>::decode(r, apply, rest...); }
};

template <class Ret, class... A, class... R>
struct Args<Ret (*)(A...), void *, R...> {  // a callback and its user pointer
    static void callbackOf(void **fn, void **user, Ret (*f)(A...), void *u, R...)
    {
        *fn = reinterpret_cast<void *>(f);
        *user = u;
    }
    static bool sendable(Ret (*)(A...), void *, R... rest) { return Args<R...>::sendable(rest...); }
    static void encode(Writer &w, Ret (*fn)(A...), void *, R... rest)
    {
        w.flag(fn != nullptr);
        Args<R...>::encode(w, rest...);
    }
    static bool decode(Reader &r, bool apply, Ret (*)(A...), void *, R... rest)
    {
        return Args<R...>::decode(r, apply, rest...);
    }
};

template <class... R>
struct Args<FileOut, R...> {  // a file the call writes
    static bool sendable(FileOut f, R... rest) { return nameFits(f.path) && Args<R...>::sendable(rest...); }
    static void callbackOf(void **fn, void **user, FileOut, R... rest) { Args<R...>::callbackOf(fn, user, rest...); }
    static void encode(Writer &w, FileOut f, R... rest)
    {
        w.flag(f.path != nullptr);
        if (f.path)
            w.text(fileName(f.path));
        Args<R...>::encode(w, rest...);
    }
    // The file the device wrote goes to the caller's path; a path that
    // cannot be written fails the call.
    static bool decode(Reader &r, bool apply, FileOut f, R... rest)
    {
        const bool made = r.flag();
        uint32_t size = 0;
        const uint8_t *bytes = made ? r.blob(&size, kMaxFile) : nullptr;
        if (made && apply && r.ok() && (!f.path || !writeWholeFile(f.path, bytes, size)))
            r.fail();
        return Args<R...>::decode(r, apply, rest...);
    }
};

template <class... R>
struct Args<FileIn, R...> {  // a file the call reads
    static bool sendable(FileIn f, R... rest) { return nameFits(f.path) && Args<R...>::sendable(rest...); }
    static void callbackOf(void **fn, void **user, FileIn, R... rest) { Args<R...>::callbackOf(fn, user, rest...); }
    // A file that cannot be read goes as missing: the device's call then
    // finds no file, as it would at home.
    static void encode(Writer &w, FileIn f, R... rest)
    {
        w.flag(f.path != nullptr);
        if (f.path) {
            w.text(fileName(f.path));
            std::vector<uint8_t> bytes;
            const bool read = readWholeFile(f.path, &bytes, kMaxFile);
            w.flag(read);
            if (read)
                w.blob(bytes.data(), uint32_t(bytes.size()));
        }
        Args<R...>::encode(w, rest...);
    }
    static bool decode(Reader &r, bool apply, FileIn, R... rest) { return Args<R...>::decode(r, apply, rest...); }
};

// ---- Device side ---------------------------------------------------------------

template <class... P>
struct Slots;

template <>
struct Slots<> {
    bool decode(Reader &r) { return r.ok() && r.left() == 0; }
    template <class F, class... Done>
    int32_t invoke(CallContext &, F f, Done... done)
    {
        return f(done...);
    }
    void encode(Writer &, int32_t) const {}
};

template <class T, class... R>
struct Slots<T, R...> {
    T value{};
    Slots<R...> rest;
    bool decode(Reader &r)
    {
        // A bool is a flag: any byte but 0 or 1 is no bool.
        if constexpr (std::is_same_v<T, bool>)
            value = r.flag();
        else
            value = r.value<T>();
        return rest.decode(r);
    }
    template <class F, class... Done>
    int32_t invoke(CallContext &c, F f, Done... done)
    {
        return rest.invoke(c, f, done..., value);
    }
    void encode(Writer &w, int32_t status) const { rest.encode(w, status); }
};

// A record passed by pointer, present or null; the call may fill it.
template <class T, class... R>
struct RecordSlot {
    bool present = false;
    T value{};
    Slots<R...> rest;
    bool decode(Reader &r)
    {
        present = r.flag();
        if (present)
            r.bytes(&value, sizeof(T));
        return rest.decode(r);
    }
    template <class F, class... Done>
    int32_t invoke(CallContext &c, F f, Done... done)
    {
        return rest.invoke(c, f, done..., present ? &value : nullptr);
    }
};

template <class T, class... R>
struct Slots<const T *, R...> : RecordSlot<T, R...> {
    void encode(Writer &w, int32_t status) const { this->rest.encode(w, status); }
};

template <class T, class... R>
struct Slots<T *, R...> : RecordSlot<T, R...> {
    void encode(Writer &w, int32_t status) const
    {
        if (this->present)
            w.bytes(&this->value, sizeof(T));
        this->rest.encode(w, status);
    }
};

template <class T, class... R>
struct Slots<T *, int32_t, int32_t *, R...> {
    bool present = false;
    bool countPresent = false;
    int32_t capacity = 0;
    int32_t count = 0;
    std::vector<T> items;
    T none{};  // a non-null place for an empty array
    Slots<R...> rest;
    bool decode(Reader &r)
    {
        present = r.flag();
        capacity = r.value<int32_t>();
        countPresent = r.flag();
        if (countPresent)
            count = r.value<int32_t>();
        // The device fills at most what one reply can carry.
        const int32_t most = int32_t(kMaxArrayBytes / sizeof(T));
        if (present && capacity > 0)
            items.resize(size_t(std::min(capacity, most)));
        return rest.decode(r);
    }
    template <class F, class... Done>
    int32_t invoke(CallContext &c, F f, Done... done)
    {
        T *array = present ? (items.empty() ? &none : items.data()) : nullptr;
        const int32_t given = capacity > 0 ? int32_t(items.size()) : capacity;
        return rest.invoke(c, f, done..., array, present ? given : capacity, countPresent ? &count : nullptr);
    }
    void encode(Writer &w, int32_t status) const
    {
        if (countPresent)
            w.value(count);
        uint32_t records = 0;
        if (status == 0 && countPresent && count > 0)
            records = uint32_t(std::min<size_t>(size_t(count), items.size()));
        w.value(records);
        if (records > 0)
            w.bytes(items.data(), records * sizeof(T));
        rest.encode(w, status);
    }
};

template <class... R>
struct Slots<const uint8_t *, int32_t, R...> {
    bool present = false;
    int32_t size = 0;
    const uint8_t *data = nullptr;
    uint8_t none = 0;
    Slots<R...> rest;
    bool decode(Reader &r)
    {
        present = r.flag();
        size = r.value<int32_t>();
        if (present && size > kMaxBytes)
            r.fail();
        if (present && size > 0)
            data = r.take(size_t(size));
        return rest.decode(r);
    }
    template <class F, class... Done>
    int32_t invoke(CallContext &c, F f, Done... done)
    {
        return rest.invoke(c, f, done..., present ? (data ? data : &none) : nullptr, size);
    }
    void encode(Writer &w, int32_t status) const { rest.encode(w, status); }
};

template <class... R>
struct Slots<const char *, R...> {
    bool present = false;
    std::string text;
    Slots<R...> rest;
    bool decode(Reader &r)
    {
        present = r.flag();
        if (present) {
            text = r.text(kMaxText);
            // One NUL, at the end: the text is what the caller passed.
            if (text.empty() || text.back() != '\0' || text.find('\0') != text.size() - 1)
                r.fail();
        }
        return rest.decode(r);
    }
    template <class F, class... Done>
    int32_t invoke(CallContext &c, F f, Done... done)
    {
        return rest.invoke(c, f, done..., present ? text.c_str() : nullptr);
    }
    void encode(Writer &w, int32_t status) const { rest.encode(w, status); }
};

template <class Ret, class... A, class... R>
struct Slots<Ret (*)(A...), void *, R...> {
    bool present = false;
    Slots<R...> rest;
    bool decode(Reader &r)
    {
        present = r.flag();
        return rest.decode(r);
    }
    template <class F, class... Done>
    int32_t invoke(CallContext &c, F f, Done... done)
    {
        using Fn = Ret (*)(A...);
        const Fn device = present ? DeviceCallback<Fn>::function() : nullptr;
        return rest.invoke(c, f, done..., device, present ? c.callbackUser() : nullptr);
    }
    void encode(Writer &w, int32_t status) const { rest.encode(w, status); }
};

template <class... R>
struct Slots<FileOut, R...> {
    bool present = false;
    std::string name;
    std::string scratch;  // the device's file, once invoked
    Slots<R...> rest;
    bool decode(Reader &r)
    {
        present = r.flag();
        if (present) {
            name = r.text(kMaxText);
            if (!safeFileName(name))
                r.fail();
        }
        return rest.decode(r);
    }
    template <class F, class... Done>
    int32_t invoke(CallContext &c, F f, Done... done)
    {
        // No scratch folder: an empty path, which the call refuses.
        const std::string folder = present ? c.scratchFolder() : std::string();
        if (!folder.empty())
            scratch = folder + "/" + name;
        return rest.invoke(c, f, done..., present ? scratch.c_str() : nullptr);
    }
    void encode(Writer &w, int32_t status) const
    {
        std::vector<uint8_t> bytes;
        const bool made = status == 0 && present && readWholeFile(scratch.c_str(), &bytes, kMaxFile);
        w.flag(made);
        if (made)
            w.blob(bytes.data(), uint32_t(bytes.size()));
        if (!scratch.empty())
            std::remove(scratch.c_str());
        rest.encode(w, status);
    }
};

template <class... R>
struct Slots<FileIn, R...> {
    bool present = false;
    bool given = false;
    std::string name;
    const uint8_t *bytes = nullptr;
    uint32_t size = 0;
    std::string scratch;
    Slots<R...> rest;
    bool decode(Reader &r)
    {
        present = r.flag();
        if (present) {
            name = r.text(kMaxText);
            if (!safeFileName(name))
                r.fail();
            given = r.flag();
            if (given)
                bytes = r.blob(&size, kMaxFile);
        }
        return rest.decode(r);
    }
    template <class F, class... Done>
    int32_t invoke(CallContext &c, F f, Done... done)
    {
        const std::string folder = present ? c.scratchFolder() : std::string();
        if (!folder.empty()) {
            scratch = folder + "/" + name;
            std::remove(scratch.c_str());
            if (given)
                writeWholeFile(scratch.c_str(), bytes, size);
        }
        return rest.invoke(c, f, done..., present ? scratch.c_str() : nullptr);
    }
    void encode(Writer &w, int32_t status) const
    {
        if (!scratch.empty())
            std::remove(scratch.c_str());
        rest.encode(w, status);
    }
};

// The parameters after the handle of a function of the contract.
template <class F>
struct AfterHandle;
template <class... P>
struct AfterHandle<int32_t (*)(void *, P...)> {
    using Client = Args<P...>;
    using Device = Slots<P...>;
};

// The rules of a function's parameters: as their types say, but for the
// paths of the functions that take files.
template <auto Fn>
struct Signature : AfterHandle<decltype(Fn)> {};
#define SIM_WIRE_FILE_SIGNATURE(function, ...)       \
    template <>                                      \
    struct Signature<&function> {                    \
        using Client = Args<__VA_ARGS__>;            \
        using Device = Slots<__VA_ARGS__>;           \
    };
SIM_WIRE_FILE_SIGNATURE(TMV_NET_PreviewSnapshot, FileOut)
SIM_WIRE_FILE_SIGNATURE(TMV_NET_GetIRGImage, FileOut, FileOut)
SIM_WIRE_FILE_SIGNATURE(TMV_NET_GetDLT664Image, FileOut)
SIM_WIRE_FILE_SIGNATURE(TMV_NET_GetLogoPicture, int32_t, FileOut)
SIM_WIRE_FILE_SIGNATURE(TMV_NET_SetLogoPicture, int32_t, FileIn)
#undef SIM_WIRE_FILE_SIGNATURE

}  // namespace sim::wire
