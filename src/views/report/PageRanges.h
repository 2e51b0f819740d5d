#pragma once
// Which pages a print job prints, and in what order.
#include <QString>
#include <vector>

namespace report {

// Parses a page list such as "1,3,5-12" (blanks allowed) into 1-based page numbers in the
// order given. Pages beyond pageCount are dropped; an empty result or a malformed list
// returns false.
bool parsePageList(const QString& text, int pageCount, std::vector<int>* pages);

// The pages of all copies in printing order: collated copies print the whole list once per
// copy (1 2 3 1 2 3), uncollated ones each page copies times (1 1 2 2 3 3).
std::vector<int> printSequence(const std::vector<int>& pages, int copies, bool collate);

} // namespace report
