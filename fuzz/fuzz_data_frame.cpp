// The frame files of the temperature and raw streams: any frame size and
// values, written into the working folder and read back byte for byte.
#include "FuzzCheck.h"
#include "thermal/DataFrameFile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QFile>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

// Values written as the harness knows the formats, independently of the
// writer: binary little-endian pairs, text "<signed decimal>, " per value.
std::string Expected(const uint16_t *values, size_t count, bool binary)
{
    std::string expected;
    for (size_t i = 0; i < count; ++i) {
        if (binary) {
            expected += char(values[i] & 0xFF);
            expected += char(values[i] >> 8);
        } else {
            char text[16];
            std::snprintf(text, sizeof text, "%d, ", int(int16_t(values[i])));
            expected += text;
        }
    }
    return expected;
}

const char *const kNames[] = {"frame.dat", "frame.txt", "frame.DAT", "frame.dat.txt", "frame", ".dat", "dat"};

// The largest frame the harness hands over in memory.
constexpr int64_t kMaxHeld = 4096;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const QString name = QString::fromLatin1(kNames[input.ConsumeIntegralInRange<size_t>(0, std::size(kNames) - 1)]);
    int width = 0;
    int height = 0;
    switch (input.ConsumeIntegralInRange<int>(0, 3)) {
    case 0: // a frame the harness holds
        width = input.ConsumeIntegralInRange<int>(0, 64);
        height = input.ConsumeIntegralInRange<int>(0, 64);
        break;
    case 1: // anything at all
        width = input.ConsumeIntegral<int>();
        height = input.ConsumeIntegral<int>();
        break;
    case 2: // just past the bound
        width = 8192;
        height = 8192 + input.ConsumeIntegralInRange<int>(1, 8);
        break;
    default: // one negative side
        width = input.ConsumeIntegralInRange<int>(INT32_MIN, -1);
        height = input.ConsumeIntegralInRange<int>(0, 64);
        if (input.ConsumeBool())
            std::swap(width, height);
        break;
    }
    const int64_t count = int64_t(width) * height;
    const bool broken = width < 0 || height < 0 || count > DataFrameFile::kMaxValues;
    if (!broken && count > kMaxHeld)
        return 0; // a valid frame too large to hold here
    const bool nullData = count > 0 && input.ConsumeIntegralInRange<int>(0, 15) == 0;

    // Exactly the frame's values (a few for a broken one: never to be read).
    const size_t held = broken ? 4 : size_t(count);
    std::unique_ptr<uint16_t[]> values(new uint16_t[held ? held : 1]);
    for (size_t i = 0; i < held; ++i)
        values[i] = input.ConsumeIntegral<uint16_t>();

    QFile::remove(name);
    const bool ok = DataFrameFile::Write(name, nullData ? nullptr : values.get(), width, height);
    if (broken || nullData) {
        require(!ok);
        return 0;
    }
    require(ok);
    QFile file(name);
    require(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    const std::string expected = Expected(values.get(), held, DataFrameFile::IsBinaryName(name));
    require(written == QByteArray(expected.data(), int(expected.size())));
    require(DataFrameFile::IsBinaryName(name) == name.endsWith(QLatin1String(".dat")));
    // The text on its own agrees with the file.
    if (!DataFrameFile::IsBinaryName(name))
        require(DataFrameFile::Text(values.get(), held) == expected);
    return 0;
}
