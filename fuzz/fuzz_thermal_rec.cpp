// The reader of thermal recordings: any bytes as a file opened for replay.
// A file it accepts has frames of its stated size, times that never go
// back, and shapes that read sensibly on every frame it can decode.
#include "FuzzCheck.h"
#include "thermal/recfile/RecFile.h"
#include "thermal/recfile/RecMeasure.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The reader takes a path, as the window gives it one.
    const char *path = "input.mkv";
    FILE *file = std::fopen(path, "wb");
    require(file != nullptr);
    require(size == 0 || std::fwrite(data, 1, size, file) == size);
    require(std::fclose(file) == 0);

    RecReader reader;
    std::string error;
    if (!reader.Open(path, &error)) {
        require(!error.empty());
        return 0;
    }
    const RecInfo &info = reader.Info();
    const int frames = reader.FrameCount();
    require(frames > 0 && info.width > 0 && info.height > 0);
    for (int i = 1; i < frames; ++i)
        require(reader.TimeMs(i) > reader.TimeMs(i - 1));

    RecMeasure::Shape box{2, {{0, 0}, {8191, 0}, {8191, 8191}, {0, 8191}}};
    const sim::Target target = RecMeasure::Compile(box, info);
    std::vector<uint16_t> values;
    // The last frame, then back to the first (a seek), then on in order.
    for (int index : {frames - 1, 0, 1, 2}) {
        if (index >= frames)
            break;
        if (!reader.ReadFrame(index, &values, &error)) {
            require(!error.empty());
            continue;
        }
        require(values.size() == size_t(info.width) * size_t(info.height));
        const RecMeasure::Reading r = RecMeasure::Measure(target, info, values.data());
        const bool finite = r.min == r.min && r.avg == r.avg && r.max == r.max;
        require(!r.valid || !finite || (r.min <= r.avg + 0.01f && r.avg <= r.max + 0.01f));
    }
    return 0;
}
