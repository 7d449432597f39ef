// The SD card: a search page over a card of 10,000 files, and download
// throughput with the link limit lifted against a plain copy of the same
// bytes on the same disk.
//
//   build/bench/bench_sdcard --benchmark_counters_tabular=true

#include "device/Device.h"
#include "device/Fleet.h"
#include "storage/CardNames.h"
#include "storage/Downloads.h"
#include "storage/SdCard.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Scratch {
    fs::path root;
    Scratch()
    {
        char templ[] = "/tmp/bench_sdcard.XXXXXX";
        root = ::mkdtemp(templ);
        sim::SdCard::setRoot(root.string());
    }
    ~Scratch()
    {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
};

Scratch &scratch()
{
    static Scratch s;
    return s;
}

// A card of `total` files: its own history plus small files, as links of
// one, further back in time on both channels.
sim::SdCard &bigCard(size_t total)
{
    static std::unique_ptr<sim::SdCard> card;
    if (card)
        return *card;
    scratch();
    card = std::make_unique<sim::SdCard>("127.0.0.31", 2);
    card->setCapacity(UINT64_MAX);
    const std::string folder = card->folder();
    const std::string seed = folder + "/seed.bin";
    std::ofstream(seed) << std::string(4096, 'x');
    int64_t t = sim::civilNow() - sim::SdCard::kHistorySeconds - 60;
    for (size_t n = card->files().size(); n < total; ++n, t -= 37) {
        const sim::CardFileName name{int(n % 2), n % 4 < 2 ? sim::CardFileType::Video : sim::CardFileType::Image,
                                     t, t + 3};
        ::link(seed.c_str(), (folder + "/" + sim::cardFileName(name)).c_str());
    }
    ::unlink(seed.c_str());
    if (card->files().size() < total)
        std::abort();
    return *card;
}

void BM_SearchPage(benchmark::State &state)
{
    sim::SdCard &card = bigCard(10000);
    const int64_t now = sim::civilNow();
    const sim::CardQuery query{0, sim::CardFileType::Video, now - 30 * 86400, now};
    const int pageNo = int(state.range(0));
    size_t found = 0;
    for (auto _ : state) {
        auto page = card.search(query, pageNo, 50);
        found = page.size();
        benchmark::DoNotOptimize(page.data());
    }
    state.counters["files"] = double(card.files().size());
    state.counters["on_page"] = double(found);
}
BENCHMARK(BM_SearchPage)->Arg(0)->Arg(25)->Arg(49)->Unit(benchmark::kMillisecond);

// What a fresh card costs at its first search on the two-channel camera:
// both channels' template recording and picture from the real frames, then
// the history as links. Process CPU time, so the encoder's thread counts.
void BM_FirstFill(benchmark::State &state)
{
    sim::SdCard &card = sim::Fleet::instance().device("127.0.0.11")->sdCard();
    int round = 0;
    size_t files = 0;
    for (auto _ : state) {
        const fs::path root = scratch().root / ("fill" + std::to_string(round++));
        sim::SdCard::setRoot(root.string());
        files = card.files().size();
    }
    sim::SdCard::setRoot(scratch().root.string());
    state.counters["files"] = double(files);
}
BENCHMARK(BM_FirstFill)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Iterations(3);

constexpr size_t kBytes = 64 << 20;

const std::string &sourceFile()
{
    static std::string path;
    if (path.empty()) {
        path = (scratch().root / "source.bin").string();
        std::vector<char> bytes(kBytes);
        std::mt19937_64 random(7);
        for (size_t i = 0; i + 8 <= bytes.size(); i += 8) {
            const uint64_t v = random();
            std::memcpy(&bytes[i], &v, 8);
        }
        std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    }
    return path;
}

void BM_PlainCopy(benchmark::State &state)
{
    const std::string &source = sourceFile();
    const std::string target = (scratch().root / "copy.bin").string();
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        const int in = ::open(source.c_str(), O_RDONLY);
        const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        for (ssize_t n; (n = ::read(in, buffer.data(), buffer.size())) > 0;)
            if (::write(out, buffer.data(), size_t(n)) != n)
                state.SkipWithError("write");
        ::close(in);
        ::close(out);
        ::unlink(target.c_str());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
}
BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DownloadUnlimited(benchmark::State &state)
{
    const std::string &source = sourceFile();
    const std::string target = (scratch().root / "download.bin").string();
    sim::Link link(0);
    sim::DownloadSet downloads;
    for (auto _ : state) {
        const int32_t id = downloads.start(link, source, target);
        int64_t total = 0, done = -1;
        while (downloads.progress(id, &total, &done) == 0 && done < total)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        downloads.stop(id);  // joins: the file is renamed in place
        ::unlink(target.c_str());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBytes));
}
BENCHMARK(BM_DownloadUnlimited)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
