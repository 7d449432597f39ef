#include "thermal/recfile/RecMeasure.h"

#include "camera/TempUnits.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace RecMeasure {

TMV_NET_ENV_PARAM CelsiusEnv(const RecInfo &info)
{
    // Tags hold the environment as the device reported it, in its unit.
    TMV_NET_ENV_PARAM env = info.env;
    const sim::TempUnit unit = sim::TempUnit(info.unit);
    env.refTemp = float(sim::unitToCelsius(env.refTemp, unit));
    env.atmosTemp = float(sim::unitToCelsius(env.atmosTemp, unit));
    return env;
}

sim::Target Compile(const Shape &shape, const RecInfo &info)
{
    TMV_NET_TEMP_RULE rule{};
    rule.enable = 1;
    rule.ruleType = shape.type;
    const size_t count = std::min(shape.points.size(), sizeof rule.points / sizeof rule.points[0]);
    for (size_t i = 0; i < count; ++i)
        rule.points[i] = shape.points[i];
    rule.pointCount = int32_t(count);
    return sim::compileRule(rule, sim::SpanList(), info.width, info.height);
}

Reading Measure(const sim::Target &target, const RecInfo &info, const uint16_t *matrix)
{
    Reading reading;
    TMV_NET_TEMP_INFO temps{};
    if (target.spans.empty()
        || !sim::measureTargetInEnvironment(target, CelsiusEnv(info), matrix, info.width, info.height,
                                            sim::TempUnit(info.unit), &temps))
        return reading;
    reading.valid = true;
    reading.max = temps.maxTemp;
    reading.min = temps.minTemp;
    reading.avg = temps.avgTemp;
    return reading;
}

float PixelTemperature(uint16_t value, const RecInfo &info)
{
    double c = sim::deciKelvinToC(value);
    const TMV_NET_ENV_PARAM env = CelsiusEnv(info);
    if (!sim::neutralEnv(env))
        c = sim::correctForEnvironment(c, env, sim::TempUnit::Celsius);
    return float(sim::celsiusToUnit(c, sim::TempUnit(info.unit)));
}

namespace {

// Frames a reader of the pass takes at a time: a seek each, and the readers
// finish close together.
constexpr int kChunkFrames = 50;

// Readers of their own, each on its thread, share the frames of the pass a
// chunk at a time; the calling thread hears their progress and passes it on.
struct Pass
{
    Pass(RecReader &first, const std::vector<sim::Target> &targets, std::vector<std::vector<Reading>> &out)
        : first(first), targets(targets), out(out), frames(first.FrameCount())
    {
        // The lowest row a reading touches: rows below it need not be read.
        for (const sim::Target &target : targets) {
            if (target.spans.empty())
                continue;
            lastRow = std::max(lastRow, target.centreY);
            for (const sim::Span &span : target.spans)
                lastRow = std::max(lastRow, span.y);
        }
    }

    RecReader &first;
    const std::vector<sim::Target> &targets;
    std::vector<std::vector<Reading>> &out;
    const int frames;
    int lastRow = 0;
    std::atomic<int> nextChunk{0};
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable changed;
    int done = 0;     // frames measured; guarded by mutex
    int running = 0;  // readers still at work; guarded by mutex
    int failedAt = -1;  // the first frame that failed; guarded by mutex
    std::string failure;

    void Fail(int frame, const std::string &why)
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (failedAt < 0 || frame < failedAt) {
            failedAt = frame;
            failure = why;
        }
        stop = true;
    }

    void Work()
    {
        RecReader reader;
        std::string error;
        if (!reader.OpenAgain(first, &error))
            Fail(0, error);
        reader.SetLastRowNeeded(lastRow);
        while (!stop) {
            const int begin = nextChunk++ * kChunkFrames;
            if (begin >= frames)
                break;
            const int end = std::min(frames, begin + kChunkFrames);
            for (int f = begin; f < end && !stop; ++f) {
                const uint16_t *matrix = reader.ReadFrame(f, &error);
                if (!matrix) {
                    Fail(f, error);
                    break;
                }
                // Each frame has its own slot: no two readers write the same.
                for (size_t s = 0; s < targets.size(); ++s)
                    out[s][size_t(f)] = Measure(targets[s], reader.Info(), matrix);
                std::lock_guard<std::mutex> lock(mutex);
                ++done;
                changed.notify_one();
            }
        }
        std::lock_guard<std::mutex> lock(mutex);
        --running;
        changed.notify_one();
    }
};

} // namespace

bool MeasureAll(RecReader &reader, const std::vector<sim::Target> &targets,
                std::vector<std::vector<Reading>> *out, const std::function<bool(int)> &progress,
                std::string *error)
{
    std::string ignored;
    error = error ? error : &ignored;
    const int frames = reader.FrameCount();
    out->assign(targets.size(), std::vector<Reading>(size_t(frames)));
    // Decoding a frame takes one core for milliseconds: a reader a core.
    const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
    const int chunks = (frames + kChunkFrames - 1) / kChunkFrames;
    const int readers = std::min({cores, chunks, 8});

    Pass pass(reader, targets, *out);
    pass.running = readers;
    std::vector<std::thread> threads;
    for (int i = 0; i < readers; ++i)
        threads.emplace_back(&Pass::Work, &pass);
    // Progress is heard frame by frame on the calling thread, as the window
    // that shows it expects.
    bool stopped = false;
    int reported = 0;
    std::unique_lock<std::mutex> lock(pass.mutex);
    for (;;) {
        pass.changed.wait(lock, [&] { return pass.done != reported || pass.running == 0; });
        const int done = pass.done;
        const bool over = pass.running == 0;
        lock.unlock();
        while (reported < done && !stopped) {
            ++reported;
            if (progress && !progress(reported)) {
                stopped = true;
                pass.stop = true;
            }
        }
        lock.lock();
        if (over)
            break;
    }
    lock.unlock();
    for (std::thread &thread : threads)
        thread.join();
    if (pass.failedAt >= 0) {
        *error = pass.failure;
        return false;
    }
    if (stopped || reported < frames) {
        *error = "stopped";
        return false;
    }
    return true;
}

} // namespace RecMeasure
