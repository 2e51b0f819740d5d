#include "ReportBuilder.h"

namespace report {

QString MemTable::value(int row, const QString& field) const {
    const int col = fieldIndex(field);
    if (col < 0 || row < 0 || row >= int(rows.size()) || col >= rows[size_t(row)].size())
        return {};
    return rows[size_t(row)][col];
}

QString expand(const QString& text, const MemTable& data, int row, const Variables& vars) {
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype open = text.indexOf(QLatin1Char('['), i);
        if (open < 0) {
            out += QStringView(text).mid(i);
            break;
        }
        const qsizetype close = text.indexOf(QLatin1Char(']'), open + 1);
        if (close < 0) {
            out += QStringView(text).mid(i);
            break;
        }
        out += QStringView(text).mid(i, open - i);
        const QString name = text.mid(open + 1, close - open - 1).trimmed();
        const auto var = vars.constFind(name);
        if (var != vars.constEnd())
            out += var.value();
        else
            out += data.value(row, name);
        i = close + 1;
    }
    return out;
}

namespace {

long long aggregate(const Aggregate& agg, const MemTable& data, int first, int last) {
    long long total = 0;
    for (int r = first; r < last; ++r) {
        if (!agg.condField.isEmpty() && !agg.condValues.contains(data.value(r, agg.condField)))
            continue;
        if (agg.func == Aggregate::Count)
            ++total;
        else
            total += data.value(r, agg.field).trimmed().toLongLong();
    }
    return total;
}

class Layout {
public:
    Layout(const Template& tpl, const MemTable& data, const Variables& vars)
        : tpl_(tpl), data_(data), vars_(vars), header_(tpl.band(BandKind::PageHeader)),
          footer_(tpl.band(BandKind::PageFooter)) {}

    PreparedReport run();

private:
    void startPage(bool withHeader);
    void finishPage();
    // Prints a band for the record row; aggregates cover the records [first, last).
    void print(const Band* band, int row, int first, int last);
    void place(const Band& band, int row, int first, int last);
    double limit() const {
        return tpl_.page.height - tpl_.page.bottom - (footer_ ? footer_->height : 0);
    }

    const Template& tpl_;
    const MemTable& data_;
    const Variables& vars_;
    const Band* header_;
    const Band* footer_;
    PreparedReport out_;
    double y_ = 0;
    bool bodyOnPage_ = false; // something other than the page header is on the current page
};

void Layout::startPage(bool withHeader) {
    out_.pages.push_back(Page{tpl_.page.width, tpl_.page.height, {}});
    y_ = tpl_.page.top;
    bodyOnPage_ = false;
    if (withHeader && header_)
        place(*header_, -1, 0, 0);
}

void Layout::finishPage() {
    if (!footer_)
        return;
    y_ = tpl_.page.height - tpl_.page.bottom - footer_->height;
    place(*footer_, -1, 0, 0);
}

void Layout::place(const Band& band, int row, int first, int last) {
    Page& page = out_.pages.back();
    for (const Memo& m : band.memos) {
        Item item;
        item.rect = m.rect.translated(tpl_.page.left, y_);
        if (m.aggregate.func != Aggregate::None)
            item.text = QString::number(aggregate(m.aggregate, data_, first, last));
        else
            item.text = expand(m.text, data_, row, vars_);
        item.font = m.font;
        item.hAlign = m.hAlign;
        item.vAlign = m.vAlign;
        item.frames = m.frames;
        item.fill = m.fill;
        item.color = m.color;
        page.items.push_back(std::move(item));
    }
    y_ += band.height;
}

void Layout::print(const Band* band, int row, int first, int last) {
    if (!band || band->height <= 0)
        return;
    if (bodyOnPage_ && y_ + band->height > limit()) {
        finishPage();
        startPage(true);
    }
    place(*band, row, first, last);
    bodyOnPage_ = true;
}

PreparedReport Layout::run() {
    const Band* title = tpl_.band(BandKind::ReportTitle);
    const Band* groupHeader = tpl_.band(BandKind::GroupHeader);
    const Band* groupFooter = tpl_.band(BandKind::GroupFooter);
    const Band* master = tpl_.band(BandKind::MasterData);
    const Band* summary = tpl_.band(BandKind::ReportSummary);
    const int count = int(data_.rows.size());

    startPage(false);
    print(title, -1, 0, count);
    if (header_)
        place(*header_, -1, 0, 0);

    const QString groupField = groupHeader ? groupHeader->groupField : QString();
    int groupStart = 0;
    for (int r = 0; r < count; ++r) {
        if (groupHeader) {
            const bool newGroup =
                r == 0 || data_.value(r, groupField) != data_.value(r - 1, groupField);
            if (newGroup) {
                if (r > 0)
                    print(groupFooter, r - 1, groupStart, r);
                groupStart = r;
                print(groupHeader, r, r, r);
            }
        }
        print(master, r, r, r + 1);
    }
    if (groupHeader && count > 0)
        print(groupFooter, count - 1, groupStart, count);
    print(summary, count - 1, 0, count);
    finishPage();
    return std::move(out_);
}

} // namespace

PreparedReport build(const Template& tpl, const MemTable& data, const Variables& vars) {
    return Layout(tpl, data, vars).run();
}

} // namespace report
