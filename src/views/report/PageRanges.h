#pragma once
// The order in which a print job sends its pages. The pages themselves (all, current, or a
// list such as 1,3,5-12) come from the print dialog.
#include <QString>
#include <vector>

namespace report {

// The pages of all copies in printing order: collated copies print the whole list once per
// copy (1 2 3 1 2 3), uncollated ones each page copies times (1 1 2 2 3 3).
std::vector<int> printSequence(const std::vector<int>& pages, int copies, bool collate);

} // namespace report
