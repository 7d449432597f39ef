#include "storage/PictureFiles.h"

#include <sys/stat.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace sim {

namespace {

bool validPicture(const void *pixels, int width, int height)
{
    return pixels && width > 0 && height > 0 && width <= kMaxPictureSide
           && height <= kMaxPictureSide;
}

// Files are little-endian whatever the host is.
void put16(uint8_t *p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
void put32(uint8_t *p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}
void put64(uint8_t *p, uint64_t v)
{
    for (int i = 0; i < 8; ++i)
        p[i] = uint8_t(v >> (8 * i));
}
void putFloat(uint8_t *p, float f)
{
    uint32_t v;
    std::memcpy(&v, &f, sizeof v);
    put32(p, v);
}
uint16_t get16(const uint8_t *p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t get32(const uint8_t *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint64_t get64(const uint8_t *p) { return get32(p) | uint64_t(get32(p + 4)) << 32; }
float getFloat(const uint8_t *p)
{
    const uint32_t v = get32(p);
    float f;
    std::memcpy(&f, &v, sizeof f);
    return f;
}

// The 28-byte measurement block shared by the IRG header and DLT664 segments.
constexpr size_t kMetaSize = 28;
static_assert(20 + kMetaSize <= kIrgHeaderSize && 36 + kMetaSize == kDlt664HeaderSize);
void putMeta(uint8_t *p, const ThermalMeta &m)
{
    putFloat(p, m.emissivity);
    putFloat(p + 4, m.distance);
    putFloat(p + 8, m.reflectedTemp);
    putFloat(p + 12, m.atmosphericTemp);
    putFloat(p + 16, m.transmittance);
    put64(p + 20, uint64_t(m.timestampMs));
}
ThermalMeta getMeta(const uint8_t *p)
{
    ThermalMeta m;
    m.emissivity = getFloat(p);
    m.distance = getFloat(p + 4);
    m.reflectedTemp = getFloat(p + 8);
    m.atmosphericTemp = getFloat(p + 12);
    m.transmittance = getFloat(p + 16);
    m.timestampMs = int64_t(get64(p + 20));
    return m;
}

void putValues(uint8_t *p, const uint16_t *values, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        put16(p + 2 * i, values[i]);
}
void getValues(const uint8_t *p, uint16_t *values, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        values[i] = get16(p + 2 * i);
}

bool readFileBytes(const std::string &path, std::vector<uint8_t> &out)
{
    if (path.empty())
        return false;
    std::unique_ptr<FILE, int (*)(FILE *)> f(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!f)
        return false;
    out.clear();
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0)
        out.insert(out.end(), buf, buf + n);
    return !std::ferror(f.get());
}

}  // namespace

bool encodeJpeg(const uint8_t *rgba, int width, int height, int quality,
                std::vector<uint8_t> &out)
{
    if (!validPicture(rgba, width, height))
        return false;
    tjhandle tj = tjInitCompress();
    if (!tj)
        return false;
    unsigned char *jpeg = nullptr;
    unsigned long jpegSize = 0;
    const int rc = tjCompress2(tj, rgba, width, width * 4, height, TJPF_RGBA, &jpeg,
                               &jpegSize, TJSAMP_420, std::clamp(quality, 1, 100), 0);
    if (rc == 0)
        out.assign(jpeg, jpeg + jpegSize);
    tjFree(jpeg);
    tjDestroy(tj);
    return rc == 0;
}

bool writeFileBytes(const std::string &path, const std::vector<uint8_t> &bytes)
{
    if (path.empty())
        return false;
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fclose(f) == 0) && ok;
    if (!ok)
        removePartialFile(path);
    return ok;
}

void removePartialFile(const std::string &path)
{
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        std::remove(path.c_str());
}

bool writeJpegSnapshot(const std::string &path, const uint8_t *rgba, int width,
                       int height, int quality)
{
    std::vector<uint8_t> jpeg;
    return encodeJpeg(rgba, width, height, quality, jpeg) && writeFileBytes(path, jpeg);
}

// ---- IRG --------------------------------------------------------------------

std::vector<uint8_t> encodeIrg(const uint16_t *temps, int width, int height,
                               const ThermalMeta &meta)
{
    if (!validPicture(temps, width, height))
        return {};
    const size_t count = size_t(width) * size_t(height);
    std::vector<uint8_t> out(kIrgHeaderSize + 2 * count, 0);
    uint8_t *h = out.data();
    std::memcpy(h, kIrgMagic, 4);
    put16(h + 4, kIrgHeaderSize);
    put16(h + 6, 1);  // version
    put32(h + 8, uint32_t(width));
    put32(h + 12, uint32_t(height));
    put16(h + 16, 16);  // bits per value
    put16(h + 18, kTempScale);
    putMeta(h + 20, meta);
    putValues(h + kIrgHeaderSize, temps, count);
    return out;
}

bool decodeIrg(const uint8_t *data, size_t size, ThermalMatrix &out)
{
    if (!data || size < kIrgHeaderSize || std::memcmp(data, kIrgMagic, 4) != 0)
        return false;
    const uint16_t headerSize = get16(data + 4);
    const uint32_t width = get32(data + 8);
    const uint32_t height = get32(data + 12);
    if (headerSize < kIrgHeaderSize || get16(data + 6) != 1 || get16(data + 16) != 16
        || get16(data + 18) == 0 || width == 0 || height == 0
        || width > uint32_t(kMaxPictureSide) || height > uint32_t(kMaxPictureSide))
        return false;
    const size_t count = size_t(width) * height;
    if (size < headerSize || size - headerSize < 2 * count)
        return false;
    out.width = int(width);
    out.height = int(height);
    out.scale = get16(data + 18);
    out.meta = getMeta(data + 20);
    out.values.resize(count);
    getValues(data + headerSize, out.values.data(), count);
    return true;
}

bool readIrgFile(const std::string &path, ThermalMatrix &out)
{
    std::vector<uint8_t> bytes;
    return readFileBytes(path, bytes) && decodeIrg(bytes.data(), bytes.size(), out);
}

bool writeIrgPair(const std::string &irgPath, const std::string &jpgPath,
                  const uint8_t *rgba, const uint16_t *temps, int width, int height,
                  const ThermalMeta &meta, int quality)
{
    if (irgPath.empty() || jpgPath.empty() || irgPath == jpgPath)
        return false;
    std::vector<uint8_t> jpeg;
    const std::vector<uint8_t> irg = encodeIrg(temps, width, height, meta);
    if (irg.empty() || !encodeJpeg(rgba, width, height, quality, jpeg))
        return false;
    if (!writeFileBytes(irgPath, irg))
        return false;
    if (!writeFileBytes(jpgPath, jpeg)) {
        removePartialFile(irgPath);  // half a pair is of no use to a reader
        return false;
    }
    return true;
}

// ---- DLT664 -----------------------------------------------------------------

bool encodeDlt664(const uint8_t *rgba, const uint16_t *temps, int width, int height,
                  const ThermalMeta &meta, int quality, std::vector<uint8_t> &out)
{
    if (!validPicture(temps, width, height))
        return false;
    std::vector<uint8_t> jpeg;
    if (!encodeJpeg(rgba, width, height, quality, jpeg) || jpeg.size() < 4
        || jpeg[0] != 0xFF || jpeg[1] != 0xD8)
        return false;

    // JFIF wants its APP0 right after SOI, so the segments go after it.
    size_t insertAt = 2;
    if (jpeg[2] == 0xFF && jpeg[3] == 0xE0 && jpeg.size() >= 6)
        insertAt = 4 + ((size_t(jpeg[4]) << 8) | jpeg[5]);
    if (insertAt > jpeg.size())
        return false;

    const size_t matrixBytes = size_t(width) * size_t(height) * 2;
    const size_t total = (matrixBytes + kDlt664ChunkMax - 1) / kDlt664ChunkMax;
    std::vector<uint8_t> segments;
    segments.reserve(matrixBytes + total * (4 + kDlt664HeaderSize));
    for (size_t seq = 0; seq < total; ++seq) {
        const size_t offset = seq * kDlt664ChunkMax;
        const size_t count = std::min(kDlt664ChunkMax, matrixBytes - offset);
        const size_t start = segments.size();
        segments.resize(start + 4 + kDlt664HeaderSize + count, 0);
        uint8_t *s = segments.data() + start;
        s[0] = 0xFF;
        s[1] = kDlt664Marker;
        const size_t length = 2 + kDlt664HeaderSize + count;
        s[2] = uint8_t(length >> 8);
        s[3] = uint8_t(length);
        uint8_t *h = s + 4;
        std::memcpy(h, kDlt664Magic, 8);
        put16(h + 8, kDlt664HeaderSize);
        put16(h + 10, 1);  // version
        put16(h + 12, uint16_t(seq));
        put16(h + 14, uint16_t(total));
        put32(h + 16, uint32_t(width));
        put32(h + 20, uint32_t(height));
        put16(h + 24, kTempScale);
        put32(h + 28, uint32_t(offset));
        put32(h + 32, uint32_t(count));
        putMeta(h + 36, meta);
        putValues(h + kDlt664HeaderSize, temps + offset / 2, count / 2);
    }
    out.clear();
    out.reserve(jpeg.size() + segments.size());
    out.insert(out.end(), jpeg.begin(), jpeg.begin() + insertAt);
    out.insert(out.end(), segments.begin(), segments.end());
    out.insert(out.end(), jpeg.begin() + insertAt, jpeg.end());
    return true;
}

bool writeDlt664(const std::string &path, const uint8_t *rgba, const uint16_t *temps,
                 int width, int height, const ThermalMeta &meta, int quality)
{
    std::vector<uint8_t> bytes;
    return encodeDlt664(rgba, temps, width, height, meta, quality, bytes)
           && writeFileBytes(path, bytes);
}

bool decodeDlt664(const uint8_t *data, size_t size, ThermalMatrix &out)
{
    if (!data || size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return false;

    struct Segment {
        uint16_t seq;
        uint32_t offset;
        uint32_t count;
        const uint8_t *bytes;
    };
    std::vector<Segment> found;
    uint32_t width = 0, height = 0;
    uint16_t total = 0, scale = 0;
    ThermalMeta meta;

    size_t pos = 2;
    while (pos < size) {
        if (data[pos] != 0xFF)
            return false;
        while (pos < size && data[pos] == 0xFF)  // fill bytes
            ++pos;
        if (pos >= size)
            return false;
        const uint8_t marker = data[pos++];
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;  // no length field
        if (marker == 0xDA || marker == 0xD9)
            break;  // application segments all come before the scan
        if (size - pos < 2)
            return false;
        const size_t length = (size_t(data[pos]) << 8) | data[pos + 1];
        if (length < 2 || size - pos < length)
            return false;
        const uint8_t *payload = data + pos + 2;
        const size_t payloadSize = length - 2;
        pos += length;
        if (marker != kDlt664Marker || payloadSize < kDlt664HeaderSize
            || std::memcmp(payload, kDlt664Magic, 8) != 0)
            continue;  // someone else's segment

        const uint16_t headerSize = get16(payload + 8);
        const Segment seg{get16(payload + 12), get32(payload + 28), get32(payload + 32),
                          payload + headerSize};
        const uint32_t w = get32(payload + 16), h = get32(payload + 20);
        const uint16_t t = get16(payload + 14), sc = get16(payload + 24);
        if (headerSize < kDlt664HeaderSize || headerSize > payloadSize
            || get16(payload + 10) != 1 || seg.count != payloadSize - headerSize)
            return false;
        if (found.empty()) {
            if (w == 0 || h == 0 || w > uint32_t(kMaxPictureSide)
                || h > uint32_t(kMaxPictureSide) || t == 0 || sc == 0)
                return false;
            width = w;
            height = h;
            total = t;
            scale = sc;
        } else if (w != width || h != height || t != total || sc != scale) {
            return false;
        }
        if (seg.seq >= total)
            return false;
        if (seg.seq == 0)
            meta = getMeta(payload + 36);
        found.push_back(seg);
    }
    if (found.empty() || found.size() != total)
        return false;

    // Chunks must tile the matrix in sequence order, without gap or overlap.
    std::sort(found.begin(), found.end(),
              [](const Segment &a, const Segment &b) { return a.seq < b.seq; });
    const size_t matrixBytes = size_t(width) * height * 2;
    size_t expected = 0;
    for (size_t i = 0; i < found.size(); ++i) {
        const Segment &s = found[i];
        if (s.seq != i || s.offset != expected || s.count % 2 != 0
            || s.count > matrixBytes - expected)
            return false;
        expected += s.count;
    }
    if (expected != matrixBytes)
        return false;

    out.width = int(width);
    out.height = int(height);
    out.scale = scale;
    out.meta = meta;
    out.values.resize(matrixBytes / 2);
    for (const Segment &s : found)
        getValues(s.bytes, out.values.data() + s.offset / 2, s.count / 2);
    return true;
}

bool readDlt664File(const std::string &path, ThermalMatrix &out)
{
    std::vector<uint8_t> bytes;
    return readFileBytes(path, bytes) && decodeDlt664(bytes.data(), bytes.size(), out);
}

}  // namespace sim
