#pragma once
// Picture files a device writes on request: plain JPEG snapshots, the IRG
// pair (temperature matrix + JPEG) and DLT664 JPEGs that carry the matrix in
// application segments. Layouts are documented in docs/file-formats.md.
//
// Inputs are plain buffers: RGBA8888 pixels (R, G, B, A; width * 4 bytes a
// row, no padding) and, for thermal pictures, a matrix of the same size in
// deci-kelvin (camera/TempUnits.h).
//
// Threading model: every function is reentrant; none keeps the caller's
// buffers. A writer that fails removes what it wrote, so a failed call leaves
// no truncated file behind.

#include "camera/TempUnits.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

// Largest width or height accepted; keeps width * height * 4 far from overflow.
constexpr int kMaxPictureSide = 16384;
// Measurement conditions stored with a temperature matrix.
struct ThermalMeta {
    float emissivity = 0.95f;
    float distance = 1.0f;         // metres
    float reflectedTemp = 20.0f;   // Celsius
    float atmosphericTemp = 20.0f; // Celsius
    float transmittance = 1.0f;
    int64_t timestampMs = 0;       // milliseconds since 1970-01-01 UTC
};

// A decoded temperature matrix.
struct ThermalMatrix {
    int width = 0;
    int height = 0;
    uint16_t scale = kTempScale;
    ThermalMeta meta;
    std::vector<uint16_t> values;  // width * height, row by row
};

// JPEG (4:2:0) of an RGBA picture. False on bad input or encoder failure.
bool encodeJpeg(const uint8_t *rgba, int width, int height, int quality,
                std::vector<uint8_t> &out);
// Writes `bytes` to `path`; false (and no file left) when it cannot.
bool writeFileBytes(const std::string &path, const std::vector<uint8_t> &bytes);
// Removes what a failed writer left at `path`, if it is a plain file: a
// device node or anything else given as the target is never deleted.
void removePartialFile(const std::string &path);

// Snapshot: the picture as a JPEG file.
bool writeJpegSnapshot(const std::string &path, const uint8_t *rgba, int width,
                       int height, int quality = 90);

// IRG: header + matrix in `irgPath`, the picture as a JPEG in `jpgPath`.
// Both files or neither.
constexpr char kIrgMagic[4] = {'I', 'R', 'G', '1'};
constexpr uint16_t kIrgHeaderSize = 64;
std::vector<uint8_t> encodeIrg(const uint16_t *temps, int width, int height,
                               const ThermalMeta &meta);
bool decodeIrg(const uint8_t *data, size_t size, ThermalMatrix &out);
bool readIrgFile(const std::string &path, ThermalMatrix &out);
bool writeIrgPair(const std::string &irgPath, const std::string &jpgPath,
                  const uint8_t *rgba, const uint16_t *temps, int width,
                  int height, const ThermalMeta &meta, int quality = 90);

// DLT664: a JPEG of the picture whose APP9 segments carry the matrix, split
// into chunks that each fit one segment.
constexpr uint8_t kDlt664Marker = 0xE9;  // APP9
constexpr char kDlt664Magic[8] = {'D', 'L', 'T', '6', '6', '4', 'T', 0};
constexpr uint16_t kDlt664HeaderSize = 64;
constexpr size_t kAppPayloadMax = 65533;  // segment length field minus itself
// Matrix bytes per segment: whatever fits after the header, kept even so no
// value is split between two segments.
constexpr size_t kDlt664ChunkMax = (kAppPayloadMax - kDlt664HeaderSize) & ~size_t(1);

bool encodeDlt664(const uint8_t *rgba, const uint16_t *temps, int width,
                  int height, const ThermalMeta &meta, int quality,
                  std::vector<uint8_t> &out);
bool writeDlt664(const std::string &path, const uint8_t *rgba,
                 const uint16_t *temps, int width, int height,
                 const ThermalMeta &meta, int quality = 90);
// Collects the matrix segments of a JPEG and rebuilds the matrix. False when
// the bytes are no JPEG, segments are missing, repeated or inconsistent.
bool decodeDlt664(const uint8_t *data, size_t size, ThermalMatrix &out);
bool readDlt664File(const std::string &path, ThermalMatrix &out);

}  // namespace sim
