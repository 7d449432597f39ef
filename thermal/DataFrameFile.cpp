#include "thermal/DataFrameFile.h"

#include <QFile>

#include <charconv>
#include <cstdio>
#include <memory>

namespace DataFrameFile {

bool IsBinaryName(const QString &fileName)
{
    return fileName.endsWith(QLatin1String(".dat"), Qt::CaseSensitive);
}

size_t FormatText(const uint16_t *values, size_t count, char *out)
{
    char *at = out;
    for (size_t i = 0; i < count; ++i) {
        // Formatted once into the buffer; a stream per value costs ten times
        // as much.
        at = std::to_chars(at, at + 6, int(int16_t(values[i]))).ptr;
        at[0] = ',';
        at[1] = ' ';
        at += 2;
    }
    return size_t(at - out);
}

std::string Text(const uint16_t *values, size_t count)
{
    std::string text(count * kMaxTextPerValue, '\0');
    text.resize(FormatText(values, count, &text[0]));
    return text;
}

namespace {

struct FileCloser
{
    void operator()(FILE *file) const { std::fclose(file); }
};

} // namespace

bool Write(const QString &fileName, const uint16_t *values, int width, int height)
{
    if (width < 0 || height < 0)
        return false;
    const int64_t count = int64_t(width) * height;
    if (count > kMaxValues || (count > 0 && !values))
        return false;

    const bool binary = IsBinaryName(fileName);
    std::unique_ptr<FILE, FileCloser> file(std::fopen(QFile::encodeName(fileName).constData(), binary ? "wb" : "w"));
    if (!file)
        return false;
    if (count == 0)
        return true;

    if (binary) {
        // The values as delivered: little-endian on the wire and here.
        const size_t bytes = size_t(count) * sizeof(uint16_t);
        const bool written = std::fwrite(values, 1, bytes, file.get()) == bytes;
        return std::fclose(file.release()) == 0 && written;
    }
    std::unique_ptr<char[]> buffer(new char[size_t(count) * kMaxTextPerValue]);
    const size_t length = FormatText(values, size_t(count), buffer.get());
    const bool written = std::fwrite(buffer.get(), 1, length, file.get()) == length;
    // A full disk shows only when the buffered tail is flushed.
    return std::fclose(file.release()) == 0 && written;
}

} // namespace DataFrameFile
