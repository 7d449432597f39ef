#pragma once
// The one check of the fuzz targets: a broken rule names its place and
// aborts, which libFuzzer reports as a crash with the input that did it.
#include <cstdio>
#include <cstdlib>

inline void require(bool condition, const char *file = __builtin_FILE(), int line = __builtin_LINE())
{
    if (!condition) {
        std::fprintf(stderr, "check failed: %s:%d\n", file, line);
        std::abort();
    }
}
