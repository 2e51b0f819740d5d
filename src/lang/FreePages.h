#pragma once
// How the station's allocator treats large blocks. The heap in use stays level for months; a
// large block kept inside the heap after it is freed would hold its pages there instead.

namespace freepages {

// Large blocks (pictures, table reads) always come straight from the system and go straight
// back, instead of the allocator raising its threshold after the first one is freed and
// keeping later ones in the heap. Call once, early.
void keepLargeBlocksOutOfTheHeap();

} // namespace freepages
