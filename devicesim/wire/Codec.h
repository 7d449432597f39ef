#pragma once
// Byte order and bounds of the device protocol's payloads. A Writer appends
// little-endian values to a buffer; a Reader takes them back and refuses to
// read past what arrived: after the first short read every later read fails
// too, so a decoder checks ok() once at the end.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace sim::wire {

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "records travel as the header lays them out");

// Growing a buffer leaves its new bytes as they are: a received message is
// read straight over them, so a frame of 8 MiB is not zero-filled first.
template <class T>
struct UninitialisedAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = UninitialisedAllocator<U>;
    };
    UninitialisedAllocator() = default;
    template <class U>
    UninitialisedAllocator(const UninitialisedAllocator<U> &) noexcept
    {
    }
    template <class U>
    void construct(U *p) noexcept(std::is_nothrow_default_constructible_v<U>)
    {
        ::new (static_cast<void *>(p)) U;
    }
    template <class U, class... A>
    void construct(U *p, A &&...args)
    {
        ::new (static_cast<void *>(p)) U(std::forward<A>(args)...);
    }
};

using Buffer = std::vector<uint8_t, UninitialisedAllocator<uint8_t>>;

class Writer {
public:
    explicit Writer(Buffer &out) : out_(out) {}

    void bytes(const void *data, size_t size)
    {
        if (size == 0)
            return;
        const size_t at = out_.size();
        out_.resize(at + size);
        std::memcpy(out_.data() + at, data, size);
    }
    template <class T>
    void value(T v)
    {
        static_assert(std::is_trivially_copyable_v<T>);
        bytes(&v, sizeof v);
    }
    void flag(bool on) { value<uint8_t>(on ? 1 : 0); }
    // A length-prefixed run of bytes (texts, files, pictures).
    void blob(const void *data, uint32_t size)
    {
        value(size);
        if (size > 0)
            bytes(data, size);
    }
    void text(const std::string &s) { blob(s.data(), uint32_t(s.size())); }

private:
    Buffer &out_;
};

class Reader {
public:
    Reader(const uint8_t *data, size_t size) : p_(data), left_(size) {}
    explicit Reader(const Buffer &b) : Reader(b.data(), b.size()) {}

    bool ok() const { return ok_; }
    size_t left() const { return left_; }
    // Fails the reader: used by decoders for values out of their range.
    void fail() { ok_ = false; }

    // Points at the next `size` bytes and skips them; null when fewer arrived.
    const uint8_t *take(size_t size)
    {
        if (!ok_ || size > left_) {
            ok_ = false;
            return nullptr;
        }
        const uint8_t *at = p_;
        p_ += size;
        left_ -= size;
        return at;
    }
    bool bytes(void *out, size_t size)
    {
        const uint8_t *at = take(size);
        if (at && size > 0)
            std::memcpy(out, at, size);
        return at != nullptr;
    }
    template <class T>
    T value()
    {
        static_assert(std::is_trivially_copyable_v<T>);
        T v{};
        bytes(&v, sizeof v);
        return v;
    }
    bool flag()
    {
        const auto v = value<uint8_t>();
        if (v > 1)
            fail();
        return v == 1;
    }
    // A length-prefixed run of at most `limit` bytes; null (and failed) when
    // it claims more than the limit or than what arrived.
    const uint8_t *blob(uint32_t *size, uint32_t limit)
    {
        *size = value<uint32_t>();
        if (!ok_ || *size > limit) {
            ok_ = false;
            *size = 0;
            return nullptr;
        }
        return take(*size);
    }
    std::string text(uint32_t limit)
    {
        uint32_t size = 0;
        const uint8_t *at = blob(&size, limit);
        return at ? std::string(reinterpret_cast<const char *>(at), size) : std::string();
    }

private:
    const uint8_t *p_;
    size_t left_;
    bool ok_ = true;
};

}  // namespace sim::wire
