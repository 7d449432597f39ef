// Writing one 640x512 frame of the temperature stream to a file, as text and
// as binary, next to a plain fwrite of the same bytes and the to_chars floor
// (formatting alone, into a buffer that is reused). Figures per frame, with
// MB/s of file bytes. The goal: the text writer within 1.5x the floor.
//
// Files go to $TMPDIR (or /tmp); page-cache writes, so the disk is not timed.

#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include <QString>

#include "thermal/DataFrameFile.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 512;
constexpr size_t kValues = size_t(kWidth) * kHeight;

// A plausible frame: tenths of a kelvin around room temperature, with some
// values of every length, signs included.
const std::vector<uint16_t> &Frame()
{
    static const std::vector<uint16_t> frame = [] {
        std::vector<uint16_t> values(kValues);
        std::mt19937 random(7);
        std::uniform_int_distribution<int> room(2700, 3300);
        for (size_t i = 0; i < kValues; ++i)
            values[i] = uint16_t(i % 97 == 0 ? int16_t(-int(i % 30000)) : room(random));
        return values;
    }();
    return frame;
}

std::string TempPath(const char *name)
{
    const char *dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/bench_datafile_" + name;
}

void SetRate(benchmark::State &state, size_t bytesPerFrame)
{
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytesPerFrame));
}

size_t TextBytes()
{
    return DataFrameFile::Text(Frame().data(), kValues).size();
}

void BM_ToCharsFloor(benchmark::State &state)
{
    const std::vector<uint16_t> &frame = Frame();
    std::vector<char> buffer(kValues * DataFrameFile::kMaxTextPerValue);
    for (auto _ : state) {
        char *at = buffer.data();
        char *const end = at + buffer.size();
        for (uint16_t value : frame)
            at = std::to_chars(at, end, int(int16_t(value))).ptr;
        benchmark::DoNotOptimize(at);
        benchmark::ClobberMemory();
    }
    SetRate(state, TextBytes());
}

void BM_FormatText(benchmark::State &state)
{
    const std::vector<uint16_t> &frame = Frame();
    std::vector<char> buffer(kValues * DataFrameFile::kMaxTextPerValue);
    for (auto _ : state) {
        benchmark::DoNotOptimize(DataFrameFile::FormatText(frame.data(), kValues, buffer.data()));
        benchmark::ClobberMemory();
    }
    SetRate(state, TextBytes());
}

void BM_WriteText(benchmark::State &state)
{
    const QString name = QString::fromStdString(TempPath("frame.txt"));
    for (auto _ : state) {
        if (!DataFrameFile::Write(name, Frame().data(), kWidth, kHeight))
            state.SkipWithError("cannot write the text file");
    }
    SetRate(state, TextBytes());
}

void BM_WriteBinary(benchmark::State &state)
{
    const QString name = QString::fromStdString(TempPath("frame.dat"));
    for (auto _ : state) {
        if (!DataFrameFile::Write(name, Frame().data(), kWidth, kHeight))
            state.SkipWithError("cannot write the binary file");
    }
    SetRate(state, kValues * 2);
}

// The file cost alone: fopen, one fwrite of the text's bytes, fclose.
void BM_PlainFwriteOfText(benchmark::State &state)
{
    const std::string text = DataFrameFile::Text(Frame().data(), kValues);
    const std::string name = TempPath("plain.txt");
    for (auto _ : state) {
        FILE *file = std::fopen(name.c_str(), "w");
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
    SetRate(state, text.size());
}

void BM_PlainFwriteOfBinary(benchmark::State &state)
{
    const std::string name = TempPath("plain.dat");
    for (auto _ : state) {
        FILE *file = std::fopen(name.c_str(), "wb");
        std::fwrite(Frame().data(), 2, kValues, file);
        std::fclose(file);
    }
    SetRate(state, kValues * 2);
}

} // namespace

BENCHMARK(BM_ToCharsFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormatText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainFwriteOfText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteBinary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainFwriteOfBinary)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
