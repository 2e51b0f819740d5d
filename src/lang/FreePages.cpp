#include "FreePages.h"

#include <malloc.h>

namespace freepages {

namespace {
// What glibc starts with; setting it fixes it, so it no longer follows the largest freed block.
constexpr int kLargeBlock = 128 * 1024;
} // namespace

void keepLargeBlocksOutOfTheHeap() {
    mallopt(M_MMAP_THRESHOLD, kLargeBlock);
}

} // namespace freepages
