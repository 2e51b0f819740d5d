// Freed pages in the middle of the heap go back to the system when asked, and a large block
// freed does not move the line between blocks taken from the system and blocks kept in the
// heap; the figure the soak and this test read is the process's own.
#include "FreePages.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
bool underSanitizer() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return true;
#else
    return false;
#endif
}
} // namespace

TEST(FreePages, FreedPagesBetweenLiveBlocksGoBackWhenAsked) {
    if (underSanitizer())
        GTEST_SKIP() << "a sanitizer's allocator keeps its own pages";
    ASSERT_GT(freepages::residentAnonymousKb(), 0);
    // 48 MB in blocks of 4000 bytes, every one written; then all freed but one in a hundred,
    // which keeps the heap's top where it is and leaves free runs of about 400 kB between.
    constexpr int kBlocks = 12000;
    std::vector<char*> blocks(kBlocks);
    for (char*& b : blocks) {
        b = static_cast<char*>(std::malloc(4000));
        std::memset(b, 0x5a, 4000);
    }
    const long full = freepages::residentAnonymousKb();
    for (int i = 0; i < kBlocks; ++i)
        if (i % 100 != 99) {
            std::free(blocks[i]);
            blocks[i] = nullptr;
        }
    const long freed = freepages::residentAnonymousKb();
    EXPECT_GT(freed, full - 8 * 1024) << "the allocator keeps what was freed in the middle";
    EXPECT_TRUE(freepages::giveBack());
    const long returned = freepages::residentAnonymousKb();
    EXPECT_LT(returned, freed - 30 * 1024) << full << " " << freed << " " << returned;
    for (char* b : blocks)
        std::free(b);
}

TEST(FreePages, ABlockFreedLargeKeepsLaterLargeBlocksOutOfTheHeap) {
    if (underSanitizer())
        GTEST_SKIP() << "a sanitizer's allocator keeps its own pages";
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
