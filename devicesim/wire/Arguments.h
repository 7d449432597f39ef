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
//                           writes / reads: a scratch name for it out (and
//                           for FileIn the file's bytes); the device works on
//                           a scratch file of that name and sends a written
//                           one back, which the client writes to the
//                           caller's path
//   FileLive / DownloadInto a path (or a download record's target) that the
//                           call writes over a long time: its scratch name,
//                           whether the client could open its own file, and
//                           the transfer number the device's writes come back
//                           as (FileData and FileEnd events, wire/Events.h)
//
// Which `const char *` is a file and which way it goes is the function's own:
// Signature<Fn> says so for the functions that take files, and which rule
// the caller's paths must pass (the library checks it before sending, with
// the device's own function).
// The client side (Args) encodes a call from the caller's arguments and
// decodes the reply into them; the device side (Slots) decodes the same call
// into storage, calls the function on pointers into it, and encodes the reply.
// Every count and size from the peer is checked before it is used.

#include "base/CallerPath.h"
#include "storage/PictureFiles.h"
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
    // A scratch file, after `name`, that a call writes over a long time: what
    // is written to it goes to the peer as transfer `transfer`. When the peer
    // could not open its own file (`writable` false) a path that cannot be
    // created, so the call fails where it would at home.
    virtual std::string liveFile(uint32_t transfer, const std::string &name, bool writable) = 0;
    // The call given liveFile's path has returned: its writer has taken the
    // file's tap, or never will.
    virtual void liveFileTaken(const std::string &path) = 0;
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
// A path the call writes over a long time (a recording), and the target of
// a download: the remote layer opens the caller's file before the call and
// gives the transfer number its bytes come back as (0: no file was opened).
struct FileLive {
    const char *path;
    uint32_t transfer;
    bool writable;  // the caller's file could be opened for writing
};
struct DownloadInto {
    const TMV_NET_FILE_DOWNLOAD_INFO *info;
    uint32_t transfer;
    bool writable;
};

// The last part of a path.
std::string fileName(const char *path);
bool readWholeFile(const char *path, std::vector<uint8_t> *bytes, uint32_t limit);
bool writeWholeFile(const char *path, const uint8_t *bytes, size_t size);
// A file name that stays inside a folder: not empty, no '/', not "." or "..".
bool safeFileName(const std::string &name);
// A file's name as the caller's side sends it: a flag, then the name, which
// must be safe when not empty (the reader fails otherwise). True when present.
inline bool readFileName(Reader &r, std::string *name)
{
    if (!r.flag())
        return false;
    *name = r.text(kMaxText);
    if (!name->empty() && !safeFileName(*name))
        r.fail();
    return true;
}
// What a path's scratch file is called on the device: empty for an empty
// path (the device refuses it as it would at home), else a digest of the
// whole path with the extension of its last part. Equal paths of one call
// name one file and different ones different files, as at home; a path
// that names no file ("dir/", ".") fails on the caller's side when its file
// is written or read, as it would at home. Nothing else of it travels.
constexpr size_t kMaxExtension = 16;
std::string scratchName(const char *path);

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
    static bool sendable(FileOut, R... rest) { return Args<R...>::sendable(rest...); }
    static void callbackOf(void **fn, void **user, FileOut, R... rest) { Args<R...>::callbackOf(fn, user, rest...); }
    static void encode(Writer &w, FileOut f, R... rest)
    {
        w.flag(f.path != nullptr);
        if (f.path)
            w.text(scratchName(f.path));
        Args<R...>::encode(w, rest...);
    }
    // The file the device wrote goes to the caller's path; a path that
    // cannot be written fails the call, and takes the call's files written
    // before it along (half a pair is of no use, as at home).
    static bool decode(Reader &r, bool apply, FileOut f, R... rest)
    {
        const bool made = r.flag();
        uint32_t size = 0;
        const uint8_t *bytes = made ? r.blob(&size, kMaxFile) : nullptr;
        const bool write = made && apply && r.ok();
        if (write && (!f.path || !writeWholeFile(f.path, bytes, size)))
            r.fail();
        const bool whole = Args<R...>::decode(r, apply, rest...);
        if (write && !whole && f.path)
            removePartialFile(f.path);
        return whole;
    }
};

template <class... R>
struct Args<FileIn, R...> {  // a file the call reads
    static bool sendable(FileIn, R... rest) { return Args<R...>::sendable(rest...); }
    static void callbackOf(void **fn, void **user, FileIn, R... rest) { Args<R...>::callbackOf(fn, user, rest...); }
    // A file that cannot be read goes as missing: the device's call then
    // finds no file, as it would at home.
    static void encode(Writer &w, FileIn f, R... rest)
    {
        w.flag(f.path != nullptr);
        if (f.path) {
            w.text(scratchName(f.path));
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

template <class... R>
struct Args<FileLive, R...> {  // a file the call writes over a long time
    static bool sendable(FileLive, R... rest) { return Args<R...>::sendable(rest...); }
    static void callbackOf(void **fn, void **user, FileLive, R... rest) { Args<R...>::callbackOf(fn, user, rest...); }
    static void encode(Writer &w, FileLive f, R... rest)
    {
        w.flag(f.path != nullptr);
        if (f.path)
            w.text(scratchName(f.path));
        w.flag(f.writable);
        w.value(f.transfer);
        Args<R...>::encode(w, rest...);
    }
    static bool decode(Reader &r, bool apply, FileLive, R... rest) { return Args<R...>::decode(r, apply, rest...); }
};

template <class... R>
struct Args<DownloadInto, R...> {  // a download record and its target
    static bool sendable(DownloadInto, R... rest) { return Args<R...>::sendable(rest...); }
    static void callbackOf(void **fn, void **user, DownloadInto, R... rest) { Args<R...>::callbackOf(fn, user, rest...); }
    // The record as given, but for a target the device may take: its
    // scratch name only (an unterminated or empty one goes as it is, for the
    // device to refuse).
    static void encode(Writer &w, DownloadInto d, R... rest)
    {
        w.flag(d.info != nullptr);
        if (d.info) {
            TMV_NET_FILE_DOWNLOAD_INFO record = *d.info;
            if (std::memchr(record.localPath, '\0', sizeof record.localPath) && record.localPath[0]) {
                const std::string name = scratchName(record.localPath);
                std::memset(record.localPath, 0, sizeof record.localPath);
                std::memcpy(record.localPath, name.data(), std::min(name.size(), sizeof record.localPath - 1));
            }
            w.bytes(&record, sizeof record);
        }
        w.flag(d.writable);
        w.value(d.transfer);
        Args<R...>::encode(w, rest...);
    }
    static bool decode(Reader &r, bool apply, DownloadInto, R... rest) { return Args<R...>::decode(r, apply, rest...); }
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
        present = readFileName(r, &name);
        return rest.decode(r);
    }
    template <class F, class... Done>
    int32_t invoke(CallContext &c, F f, Done... done)
    {
        // An empty name, or no scratch folder: an empty path, which the
        // call refuses.
        const std::string folder = present && !name.empty() ? c.scratchFolder() : std::string();
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
        present = readFileName(r, &name);
        if (present) {
            given = r.flag();
            if (given)
                bytes = r.blob(&size, kMaxFile);
        }
        return rest.decode(r);
    }
    template <class F, class... Done>
    int32_t invoke(CallContext &c, F f, Done... done)
    {
        const std::string folder = present && !name.empty() ? c.scratchFolder() : std::string();
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

template <class... R>
struct Slots<FileLive, R...> {
    bool present = false;
    bool writable = false;
    uint32_t transfer = 0;
    std::string name;
    std::string live;  // the device's file, once invoked
    Slots<R...> rest;
    bool decode(Reader &r)
    {
        present = readFileName(r, &name);
        writable = r.flag();
        transfer = r.value<uint32_t>();
        return rest.decode(r);
    }
    template <class F, class... Done>
    int32_t invoke(CallContext &c, F f, Done... done)
    {
        if (present && !name.empty())
            live = c.liveFile(transfer, name, writable);
        const int32_t status = rest.invoke(c, f, done..., present ? live.c_str() : nullptr);
        if (!live.empty())
            c.liveFileTaken(live);
        return status;
    }
    void encode(Writer &w, int32_t status) const { rest.encode(w, status); }
};

template <class... R>
struct Slots<DownloadInto, R...> {
    bool present = false;
    bool writable = false;
    uint32_t transfer = 0;
    TMV_NET_FILE_DOWNLOAD_INFO info{};
    std::string live;
    Slots<R...> rest;
    bool decode(Reader &r)
    {
        present = r.flag();
        if (present)
            r.bytes(&info, sizeof info);
        writable = r.flag();
        transfer = r.value<uint32_t>();
        return rest.decode(r);
    }
    // A target the call would take becomes the device's own file; one it
    // refuses (unterminated, empty) stays for it to refuse.
    template <class F, class... Done>
    int32_t invoke(CallContext &c, F f, Done... done)
    {
        if (present && std::memchr(info.localPath, '\0', sizeof info.localPath) && info.localPath[0]) {
            live = c.liveFile(transfer, "download", writable);
            if (live.size() >= sizeof info.localPath) {
                c.liveFileTaken(live);
                return -TMV_NET_FAILED;  // no file of the device's can take it
            }
            std::memset(info.localPath, 0, sizeof info.localPath);
            std::memcpy(info.localPath, live.data(), live.size());
        }
        const int32_t status = rest.invoke(c, f, done..., present ? &info : nullptr);
        if (!live.empty())
            c.liveFileTaken(live);
        return status;
    }
    void encode(Writer &w, int32_t status) const { rest.encode(w, status); }
};

// The parameters after the handle of a function of the contract.
template <class F>
struct AfterHandle;
template <class... P>
struct AfterHandle<int32_t (*)(void *, P...)> {
    using Client = Args<P...>;
    using Device = Slots<P...>;
};

// The rule a function's implementation applies to the caller's paths before
// it touches them; the library applies the same before sending (3 when a
// path fails it), as only a scratch name of the path travels.
struct AnyPath {
    template <class... A>
    static bool pathsAllowed(A...)
    {
        return true;
    }
};
struct NoClimbingPath {  // callerPathAllowed; null and empty are the device's to refuse
    static bool allowed(const char *path) { return !path || !*path || callerPathAllowed(path); }
    template <class T>
    static bool allowed(T)
    {
        return true;
    }
    template <class... A>
    static bool pathsAllowed(A... args)
    {
        return (allowed(args) && ...);
    }
};

// The rules of a function's parameters: as their types say, but for the
// paths of the functions that take files.
template <auto Fn>
struct Signature : AfterHandle<decltype(Fn)>, AnyPath {};
#define SIM_WIRE_FILE_SIGNATURE(function, pathRule, ...) \
    template <>                                          \
    struct Signature<&function> : pathRule {             \
        using Client = Args<__VA_ARGS__>;                \
        using Device = Slots<__VA_ARGS__>;               \
    };
SIM_WIRE_FILE_SIGNATURE(TMV_NET_PreviewSnapshot, AnyPath, FileOut)
SIM_WIRE_FILE_SIGNATURE(TMV_NET_GetIRGImage, AnyPath, FileOut, FileOut)
SIM_WIRE_FILE_SIGNATURE(TMV_NET_GetDLT664Image, AnyPath, FileOut)
SIM_WIRE_FILE_SIGNATURE(TMV_NET_StartPreviewRecord, AnyPath, FileLive)
SIM_WIRE_FILE_SIGNATURE(TMV_NET_GetLogoPicture, NoClimbingPath, int32_t, FileOut)
SIM_WIRE_FILE_SIGNATURE(TMV_NET_SetLogoPicture, NoClimbingPath, int32_t, FileIn)
SIM_WIRE_FILE_SIGNATURE(TMV_NET_StartDownloadFile, AnyPath, DownloadInto)
#undef SIM_WIRE_FILE_SIGNATURE

}  // namespace sim::wire
