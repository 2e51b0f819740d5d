#pragma once
// Giving freed memory back to the system. The station's heap in use stays level for months,
// but the allocator keeps the pages it once touched: small blocks freed in the middle of the
// heap and in the poll thread's arena leave whole pages that count as resident until they are
// handed back. Left alone, that is a page now and then, for ever.
#include <cstddef>

namespace freepages {

// Large blocks (pictures, table reads) always come straight from the system and go straight
// back, instead of the allocator raising its threshold after the first one is freed and
// keeping later ones in the heap. Call once, early.
void keepLargeBlocksOutOfTheHeap();

// Hands every whole free page of every arena back to the system. Returns true when some went.
bool giveBack();

// The process's resident anonymous memory in kB, from /proc/self/smaps_rollup (-1 unknown).
long residentAnonymousKb();

} // namespace freepages
