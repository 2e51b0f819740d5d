#include "PageRanges.h"

#include <algorithm>

namespace report {

std::vector<int> printSequence(const std::vector<int>& pages, int copies, bool collate) {
    std::vector<int> out;
    copies = std::max(copies, 1);
    out.reserve(pages.size() * size_t(copies));
    if (collate) {
        for (int c = 0; c < copies; ++c)
            out.insert(out.end(), pages.begin(), pages.end());
    } else {
        for (int p : pages)
            out.insert(out.end(), size_t(copies), p);
    }
    return out;
}

} // namespace report
