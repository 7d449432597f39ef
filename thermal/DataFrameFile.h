#ifndef DATAFRAMEFILE_H
#define DATAFRAMEFILE_H

#include <QString>

#include <cstddef>
#include <cstdint>
#include <string>

// One frame of the temperature or raw stream saved to a file: binary for a
// name ending in ".dat" (case-sensitive), text otherwise. Values are written
// exactly as the device sent them. Free functions, so the formats are tested
// as tables and measured in bench/.
namespace DataFrameFile {

// Longest text of one value: "-32768, ".
constexpr size_t kMaxTextPerValue = 8;
// The largest frame written (8192 x 8192); a frame claiming more is broken.
constexpr int64_t kMaxValues = int64_t(8192) * 8192;

// True when the last four characters are ".dat".
bool IsBinaryName(const QString &fileName);

// Each value read as a signed 16-bit integer, in decimal, followed by ", ".
// `out` holds at least count * kMaxTextPerValue chars; returns chars written.
size_t FormatText(const uint16_t *values, size_t count, char *out);
std::string Text(const uint16_t *values, size_t count);

// Creates or truncates the file and writes width x height values in the
// format its name selects. False when the file cannot be created or fully
// written, or the frame is broken (null data, negative or oversized).
bool Write(const QString &fileName, const uint16_t *values, int width, int height);

} // namespace DataFrameFile

#endif // DATAFRAMEFILE_H
