#include "Records.h"

#include <cstdlib>

namespace entryfuzz {

std::unordered_map<const void *, std::vector<uint8_t>> g_stash;

namespace {
std::vector<void *> g_blocks;
}  // namespace

void *block(size_t size)
{
    void *b = std::malloc(size);
    require(b || size == 0);
    g_blocks.push_back(b);
    return b;
}

void freeBlocks()
{
    for (void *b : g_blocks)
        std::free(b);
    g_blocks.clear();
}

int32_t *outInt(FuzzedDataProvider &p)
{
    if (nullNow(p))
        return nullptr;
    auto *v = static_cast<int32_t *>(block(sizeof(int32_t)));
    *v = kUntouched;
    return v;
}

}  // namespace entryfuzz
