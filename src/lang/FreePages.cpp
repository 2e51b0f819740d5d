#include "FreePages.h"

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace freepages {

namespace {
// What glibc starts with; setting it fixes it, so it no longer follows the largest freed block.
constexpr int kLargeBlock = 128 * 1024;
} // namespace

void keepLargeBlocksOutOfTheHeap() {
    mallopt(M_MMAP_THRESHOLD, kLargeBlock);
}

bool giveBack() {
    return malloc_trim(0) == 1;
}

long residentAnonymousKb() {
    std::FILE* f = std::fopen("/proc/self/smaps_rollup", "re");
    if (!f)
        return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, "Anonymous:", 10) == 0) {
            kb = std::strtol(line + 10, nullptr, 10);
            break;
        }
    }
    std::fclose(f);
    return kb;
}

} // namespace freepages
