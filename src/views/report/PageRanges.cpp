#include "PageRanges.h"

#include <QStringList>

namespace report {

namespace {
bool number(const QString& s, int* out) {
    bool ok = false;
    const int v = s.trimmed().toInt(&ok);
    if (!ok || v < 1)
        return false;
    *out = v;
    return true;
}
} // namespace

bool parsePageList(const QString& text, int pageCount, std::vector<int>* pages) {
    std::vector<int> result;
    const QStringList parts = text.split(QLatin1Char(','));
    for (const QString& part : parts) {
        if (part.trimmed().isEmpty())
            continue;
        const qsizetype dash = part.indexOf(QLatin1Char('-'));
        int from = 0, to = 0;
        if (dash < 0) {
            if (!number(part, &from))
                return false;
            to = from;
        } else if (!number(part.left(dash), &from) || !number(part.mid(dash + 1), &to) ||
                   to < from) {
            return false;
        }
        for (int p = from; p <= to && p <= pageCount; ++p)
            result.push_back(p);
    }
    if (result.empty())
        return false;
    *pages = std::move(result);
    return true;
}

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
