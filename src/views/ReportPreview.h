#pragma once
// The preview area: the built pages one below the other on a grey ground, zoomed, scrolled
// and searched. Keys: arrows scroll by a step, Page Up/Down by a screen (with Ctrl: previous
// or next page), Ctrl+Home the top of the first page, Ctrl+End the last page, Ctrl+O/S/P ask
// the window to load, save or print, Ctrl+F searches the text and F3 searches again.
#include "ReportModel.h"

#include <QAbstractScrollArea>

class ReportPreview : public QAbstractScrollArea {
    Q_OBJECT
public:
    enum class Zoom { Percent100, WholePage, PageWidth };

    explicit ReportPreview(QWidget* parent = nullptr);

    void setReport(report::PreparedReport report);
    const report::PreparedReport& report() const { return report_; }
    int pageCount() const { return int(report_.pages.size()); }

    void setZoom(Zoom zoom);
    Zoom zoom() const { return zoom_; }
    double scale() const { return scale_; }

    // 0-based page shown at the top of the area.
    int currentPage() const;
    void goToPage(int page);
    void firstPage() { goToPage(0); }
    void previousPage() { goToPage(currentPage() - 1); }
    void nextPage() { goToPage(currentPage() + 1); }
    void lastPage() { goToPage(pageCount() - 1); }

    // Finds the next item whose text holds the text (case ignored), after the last match;
    // marks it and scrolls it into view (to the middle when it was not in full view); its
    // page becomes the current page. Returns false when there is none.
    bool find(const QString& text);
    bool findNext();
    QString searchText() const { return search_; }
    // Page and item of the marked match, or -1.
    int matchPage() const { return matchPage_; }
    int matchItem() const { return matchItem_; }
    // Where the marked match is drawn, in viewport coordinates; empty without a match.
    QRectF matchRect() const;

    // Handles the preview keys; returns false for keys it does not use.
    bool handleKey(QKeyEvent* event);

signals:
    void loadRequested();
    void saveRequested();
    void printRequested();
    void searchRequested();
    void pageChanged(int page);
    // A search from F3 or find() came to the end of the report without a match.
    void notFound(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void relayout();
    int pageAtTop() const;
    double pageTop(int page) const;  // in device pixels, scroll not applied
    double pageLeft(int page) const; // the same, across
    void showMatch();
    QSizeF pageSize(int page) const;

    report::PreparedReport report_;
    Zoom zoom_ = Zoom::Percent100;
    double scale_ = 1.0;
    QString search_;
    int matchPage_ = -1;
    int matchItem_ = -1;
    int current_ = 0;      // the page turned to, or the page at the top after scrolling
    bool turning_ = false; // scrolling because a page was turned to
};
