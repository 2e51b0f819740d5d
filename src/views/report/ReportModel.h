#pragma once
// The report engine's two sides: a template (bands of text cells laid out in report units,
// 1/96 inch) and the built report (pages holding drawing items in page coordinates). The
// preview, the printer, PDF and the saved report file all work on the built pages.
#include <QColor>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <vector>

namespace report {

enum class HAlign : quint8 { Left, Center, Right };
enum class VAlign : quint8 { Top, Center, Bottom };

// Sides of a cell's frame.
enum Frame : quint8 {
    FrameNone = 0,
    FrameLeft = 1,
    FrameTop = 2,
    FrameRight = 4,
    FrameBottom = 8,
    FrameAll = 15
};

struct Font {
    QString family = QStringLiteral("Arial");
    double pointSize = 10;
    bool bold = false;
    bool italic = false;
    bool operator==(const Font&) const = default;
};

// One thing drawn on a page: an optional background, an optional frame and a text.
struct Item {
    QRectF rect; // page coordinates, report units
    QString text;
    Font font;
    HAlign hAlign = HAlign::Left;
    VAlign vAlign = VAlign::Top;
    quint8 frames = FrameNone;
    QColor fill;              // invalid: no background
    QColor color = Qt::black; // text and frame colour
    bool operator==(const Item&) const = default;
};

struct Page {
    double width = 0;
    double height = 0;
    std::vector<Item> items;
    bool operator==(const Page&) const = default;
};

// The built report.
struct PreparedReport {
    std::vector<Page> pages;
    bool operator==(const PreparedReport&) const = default;
    bool empty() const { return pages.empty(); }
    // The blank report: one empty A4 page.
    static PreparedReport blank();
};

// A4 portrait in report units (1/96 inch), with margins that leave a 757-unit band width.
struct PageSetup {
    double width = 793.7;
    double height = 1122.5;
    double left = 18.35;
    double top = 18.9;
    double right = 18.35;
    double bottom = 18.9;
    double bandWidth() const { return width - left - right; }
};

// A sum or count over the records a band closes (its group, or the whole report for the
// summary). Only records whose condField value is one of condValues take part, when a
// condition is given.
struct Aggregate {
    enum Func : quint8 { None, Sum, Count };
    Func func = None;
    QString field;     // summed field (Sum)
    QString condField; // empty: every record
    QStringList condValues;
};

// A text cell of a band. The text may hold references in square brackets: a report
// variable ([repName]) or a field of the current record ([TIME]).
struct Memo {
    QRectF rect; // band coordinates
    QString text;
    Font font;
    HAlign hAlign = HAlign::Left;
    VAlign vAlign = VAlign::Top;
    quint8 frames = FrameNone;
    QColor fill;
    QColor color = Qt::black;
    Aggregate aggregate; // when set, the cell shows the aggregate as a plain integer
};

enum class BandKind {
    ReportTitle,
    PageHeader,
    GroupHeader,
    MasterData,
    GroupFooter,
    ReportSummary,
    PageFooter
};

struct Band {
    BandKind kind = BandKind::MasterData;
    double height = 0;
    std::vector<Memo> memos;
    QString groupField; // GroupHeader: a new group starts when this field's value changes
};

struct Template {
    PageSetup page;
    std::vector<Band> bands;
    const Band* band(BandKind kind) const;
};

} // namespace report
