#pragma once
// Reads the recordings' fast copy of the temperatures (RecFile.h).

#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace RecPng {

inline uint32_t BigEndian32(const uint8_t *p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

// The fast copy's frames (16-bit grey PNGs) read row by row, straight into
// a little-endian matrix, and only down to the last row a reader needs: a
// pass over shapes in the upper part of the picture inflates that part
// alone. The stream is inflated raw (the chunk checksums guard it), which
// spares the second checksum over every decoded byte.
class PngRows
{
public:
    PngRows() = default;
    ~PngRows()
    {
        if (m_open)
            inflateEnd(&m_zip);
    }
    PngRows(const PngRows &) = delete;
    PngRows &operator=(const PngRows &) = delete;

    // Rows 0..lastRow of `out` (width * height values); false for a picture
    // that is not a whole 16-bit grey PNG of that size.
    bool Decode(const uint8_t *data, size_t size, int width, int height, int lastRow, uint16_t *out)
    {
        static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
        if (size < 8 || std::memcmp(data, kSignature, 8) != 0)
            return false;
        m_data = data;
        m_size = size;
        m_at = 8;
        m_idat = 0;
        m_idatLeft = 0;
        const uint8_t *header = nullptr;
        uint32_t length = 0;
        if (!NextChunk("IHDR", &header, &length) || length != 13)
            return false;
        if (BigEndian32(header) != uint32_t(width) || BigEndian32(header + 4) != uint32_t(height)
            || header[8] != 16 || header[9] != 0 || header[10] != 0 || header[11] != 0 || header[12] != 0)
            return false;
        if (!Start())
            return false;
        const size_t rowBytes = size_t(width) * 2;
        m_rows[0].assign(rowBytes + 1, 0);
        m_rows[1].assign(rowBytes + 1, 0);
        for (int y = 0; y <= std::min(lastRow, height - 1); ++y) {
            std::vector<uint8_t> &row = m_rows[y & 1];
            const std::vector<uint8_t> &above = m_rows[(y & 1) ^ 1];
            if (!Inflate(row.data(), row.size()) || !Unfilter(row.data(), above.data() + 1, rowBytes))
                return false;
            const uint8_t *bytes = row.data() + 1;
            uint16_t *to = out + size_t(y) * size_t(width);
            for (int x = 0; x < width; ++x)
                to[x] = uint16_t(bytes[2 * x] << 8 | bytes[2 * x + 1]);
        }
        return true;
    }

private:
    // The next chunk's data, which must be of `type`; its checksum checked.
    bool NextChunk(const char *type, const uint8_t **data, uint32_t *length)
    {
        if (m_size - m_at < 12)
            return false;
        const uint8_t *chunk = m_data + m_at;
        *length = BigEndian32(chunk);
        if (*length > m_size - m_at - 12 || std::memcmp(chunk + 4, type, 4) != 0)
            return false;
        const uLong crc = crc32(crc32(0, nullptr, 0), chunk + 4, uInt(*length + 4));
        if (crc != BigEndian32(chunk + 8 + *length))
            return false;
        *data = chunk + 8;
        m_at += size_t(*length) + 12;
        return true;
    }

    // Past the ancillary chunks to the first IDAT, past the zlib header.
    bool Start()
    {
        while (m_size - m_at >= 12 && std::memcmp(m_data + m_at + 4, "IDAT", 4) != 0) {
            const uint32_t length = BigEndian32(m_data + m_at);
            // Only ancillary chunks (lower-case first letter) may come first.
            if (length > m_size - m_at - 12 || !(m_data[m_at + 4] & 0x20))
                return false;
            m_at += size_t(length) + 12;
        }
        if (!NextIdat() || m_idatLeft < 2)
            return false;
        const uint8_t method = m_idat[0];
        const uint8_t flags = m_idat[1];
        if ((method & 0x0f) != 8 || (method >> 4) > 7 || (flags & 0x20) || (method * 256 + flags) % 31 != 0)
            return false;
        m_idat += 2;
        m_idatLeft -= 2;
        m_zip.avail_in = 0;
        if (m_open && inflateReset(&m_zip) == Z_OK)
            return true;
        if (m_open)
            inflateEnd(&m_zip);
        m_zip = z_stream{};
        m_open = inflateInit2(&m_zip, -15) == Z_OK;
        return m_open;
    }

    bool NextIdat()
    {
        uint32_t length = 0;
        if (!NextChunk("IDAT", &m_idat, &length))
            return false;
        m_idatLeft = length;
        return true;
    }

    bool Inflate(uint8_t *to, size_t bytes)
    {
        m_zip.next_out = to;
        m_zip.avail_out = uInt(bytes);
        while (m_zip.avail_out > 0) {
            if (m_zip.avail_in == 0) {
                while (m_idatLeft == 0)
                    if (!NextIdat())
                        return false;
                m_zip.next_in = const_cast<Bytef *>(m_idat);
                m_zip.avail_in = uInt(m_idatLeft);
                m_idat += m_idatLeft;
                m_idatLeft = 0;
            }
            const int status = inflate(&m_zip, Z_NO_FLUSH);
            if (status == Z_STREAM_END && m_zip.avail_out > 0)
                return false;
            if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
                return false;
        }
        return true;
    }

    // Undoes the row's filter; `above` is the row before, unfiltered (zero
    // for the first).
    static bool Unfilter(uint8_t *row, const uint8_t *above, size_t bytes)
    {
        uint8_t *x = row + 1;
        constexpr size_t kPixel = 2;
        switch (row[0]) {
        case 0: break;
        case 1:
            for (size_t i = kPixel; i < bytes; ++i)
                x[i] = uint8_t(x[i] + x[i - kPixel]);
            break;
        case 2:
            for (size_t i = 0; i < bytes; ++i)
                x[i] = uint8_t(x[i] + above[i]);
            break;
        case 3:
            for (size_t i = 0; i < bytes; ++i)
                x[i] = uint8_t(x[i] + ((i >= kPixel ? x[i - kPixel] : 0) + above[i]) / 2);
            break;
        case 4:
            for (size_t i = 0; i < bytes; ++i) {
                const int a = i >= kPixel ? x[i - kPixel] : 0;
                const int b = above[i];
                const int c = i >= kPixel ? above[i - kPixel] : 0;
                const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
                x[i] = uint8_t(x[i] + (pa <= pb && pa <= pc ? a : pb <= pc ? b : c));
            }
            break;
        default: return false;
        }
        return true;
    }

    const uint8_t *m_data = nullptr;
    size_t m_size = 0;
    size_t m_at = 0;
    const uint8_t *m_idat = nullptr;
    size_t m_idatLeft = 0;
    z_stream m_zip{};
    bool m_open = false;
    std::vector<uint8_t> m_rows[2];
};

} // namespace RecPng
