// A large block freed does not move the line between blocks taken from the system and blocks
// kept in the heap: later blocks of a few hundred kB still come from the system and go back.
#include "FreePages.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdlib>
#include <cstring>

TEST(FreePages, ABlockFreedLargeKeepsLaterLargeBlocksOutOfTheHeap) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a sanitizer's allocator keeps its own pages";
#endif
    freepages::keepLargeBlocksOutOfTheHeap();
    // Left to itself, glibc raises its threshold to the size of a freed block taken from the
    // system, so the 256 kB block after this 8 MB one would be carved from the heap.
    void* big = std::malloc(8 * 1024 * 1024);
    ASSERT_NE(big, nullptr);
    std::memset(big, 1, 8 * 1024 * 1024);
    std::free(big);
    const auto before = mallinfo2().hblks;
    void* block = std::malloc(256 * 1024);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(mallinfo2().hblks, before + 1) << "the 256 kB block was kept in the heap";
    std::free(block);
    EXPECT_EQ(mallinfo2().hblks, before) << "the 256 kB block did not go back";
}
