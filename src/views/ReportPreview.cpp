#include "ReportPreview.h"

#include "ReportPainter.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include <cmath>

namespace {
constexpr int kGap = 10;  // pixels around and between pages
constexpr int kStep = 20; // pixels per arrow key
} // namespace

ReportPreview::ReportPreview(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName(QStringLiteral("frPreview1"));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
}

void ReportPreview::setReport(report::PreparedReport report) {
    report_ = std::move(report);
    matchPage_ = matchItem_ = -1;
    current_ = 0;
    relayout();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
    emit pageChanged(currentPage());
}

QSizeF ReportPreview::pageSize(int page) const {
    const report::Page& p = report_.pages[size_t(page)];
    return QSizeF(p.width * scale_, p.height * scale_);
}

double ReportPreview::pageTop(int page) const {
    double y = kGap;
    for (int i = 0; i < page && i < pageCount(); ++i)
        y += pageSize(i).height() + kGap;
    return y;
}

void ReportPreview::setZoom(Zoom zoom) {
    const int page = currentPage();
    zoom_ = zoom;
    relayout();
    // A marked match on the page shown stays in view (the zoom also returns to 100 % when
    // the window is activated again after the search dialog); otherwise the page's top.
    if (matchPage_ >= 0 && matchPage_ == page)
        showMatch();
    else
        goToPage(page);
}

void ReportPreview::relayout() {
    double widest = 0, tallest = 0;
    for (const report::Page& p : report_.pages) {
        widest = std::max(widest, p.width);
        tallest = std::max(tallest, p.height);
    }
    const QSize area = viewport()->size();
    switch (zoom_) {
    case Zoom::Percent100:
        scale_ = 1.0;
        break;
    case Zoom::WholePage:
        scale_ = (widest > 0 && tallest > 0) ? std::min((area.width() - 2 * kGap) / widest,
                                                        (area.height() - 2 * kGap) / tallest)
                                             : 1.0;
        break;
    case Zoom::PageWidth:
        scale_ = widest > 0 ? (area.width() - 2 * kGap) / widest : 1.0;
        break;
    }
    scale_ = std::clamp(scale_, 0.05, 10.0);
    const double total = pageTop(pageCount());
    verticalScrollBar()->setRange(0, std::max(0, int(total) - area.height()));
    verticalScrollBar()->setPageStep(area.height());
    verticalScrollBar()->setSingleStep(kStep);
    horizontalScrollBar()->setRange(0, std::max(0, int(widest * scale_) + 2 * kGap - area.width()));
    horizontalScrollBar()->setPageStep(area.width());
    horizontalScrollBar()->setSingleStep(kStep);
    viewport()->update();
}

int ReportPreview::currentPage() const {
    if (pageCount() == 0)
        return -1;
    return std::clamp(current_, 0, pageCount() - 1);
}

int ReportPreview::pageAtTop() const {
    if (pageCount() == 0)
        return -1;
    const double y = verticalScrollBar()->value() + 1;
    for (int i = pageCount() - 1; i > 0; --i) {
        if (pageTop(i) - kGap <= y)
            return i;
    }
    return 0;
}

void ReportPreview::goToPage(int page) {
    if (pageCount() == 0)
        return;
    page = std::clamp(page, 0, pageCount() - 1);
    // The last pages may not reach the top of the area; they are still the page turned to.
    turning_ = true;
    verticalScrollBar()->setValue(int(pageTop(page)) - kGap);
    turning_ = false;
    current_ = page;
    viewport()->update();
    emit pageChanged(current_);
}

bool ReportPreview::find(const QString& text) {
    search_ = text;
    matchPage_ = matchItem_ = -1;
    return findNext();
}

bool ReportPreview::findNext() {
    if (search_.isEmpty() || pageCount() == 0)
        return false;
    int page = matchPage_ < 0 ? std::max(currentPage(), 0) : matchPage_;
    int item = matchPage_ < 0 ? 0 : matchItem_ + 1;
    for (; page < pageCount(); ++page, item = 0) {
        const auto& items = report_.pages[size_t(page)].items;
        for (; item < int(items.size()); ++item) {
            if (items[size_t(item)].text.contains(search_, Qt::CaseInsensitive)) {
                matchPage_ = page;
                matchItem_ = item;
                showMatch();
                return true;
            }
        }
    }
    viewport()->update();
    emit notFound(search_);
    return false;
}

double ReportPreview::pageLeft(int page) const {
    return std::max(double(kGap), (viewport()->width() - pageSize(page).width()) / 2);
}

QRectF ReportPreview::matchRect() const {
    if (matchPage_ < 0 || matchPage_ >= pageCount())
        return {};
    const auto& items = report_.pages[size_t(matchPage_)].items;
    if (matchItem_ < 0 || matchItem_ >= int(items.size()))
        return {};
    const QRectF& r = items[size_t(matchItem_)].rect;
    return QRectF(pageLeft(matchPage_) + r.x() * scale_ - horizontalScrollBar()->value(),
                  pageTop(matchPage_) + r.y() * scale_ - verticalScrollBar()->value(),
                  r.width() * scale_, r.height() * scale_);
}

void ReportPreview::showMatch() {
    // A match already in full view stays where it is; otherwise the area scrolls so that it
    // comes to the middle (as far as the scroll range allows).
    const QRectF r = matchRect();
    const QRectF area = viewport()->rect();
    turning_ = true;
    if (r.top() < area.top() || r.bottom() > area.bottom()) {
        QScrollBar* v = verticalScrollBar();
        v->setValue(v->value() + int(std::lround(r.center().y() - area.center().y())));
    }
    if (r.left() < area.left() || r.right() > area.right()) {
        QScrollBar* h = horizontalScrollBar();
        h->setValue(h->value() + int(std::lround(r.center().x() - area.center().x())));
    }
    turning_ = false;
    current_ = matchPage_;
    viewport()->update();
    emit pageChanged(current_);
}

bool ReportPreview::handleKey(QKeyEvent* e) {
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    QScrollBar* v = verticalScrollBar();
    QScrollBar* h = horizontalScrollBar();
    switch (e->key()) {
    case Qt::Key_Up:
        v->setValue(v->value() - kStep);
        return true;
    case Qt::Key_Down:
        v->setValue(v->value() + kStep);
        return true;
    case Qt::Key_Left:
        h->setValue(h->value() - kStep);
        return true;
    case Qt::Key_Right:
        h->setValue(h->value() + kStep);
        return true;
    case Qt::Key_PageUp:
        if (ctrl)
            previousPage();
        else
            v->setValue(v->value() - v->pageStep());
        return true;
    case Qt::Key_PageDown:
        if (ctrl)
            nextPage();
        else
            v->setValue(v->value() + v->pageStep());
        return true;
    case Qt::Key_Home:
        if (!ctrl)
            return false;
        firstPage();
        return true;
    case Qt::Key_End:
        if (!ctrl)
            return false;
        lastPage();
        return true;
    case Qt::Key_O:
        if (!ctrl)
            return false;
        emit loadRequested();
        return true;
    case Qt::Key_S:
        if (!ctrl)
            return false;
        emit saveRequested();
        return true;
    case Qt::Key_P:
        if (!ctrl)
            return false;
        emit printRequested();
        return true;
    case Qt::Key_F:
        if (!ctrl)
            return false;
        emit searchRequested();
        return true;
    case Qt::Key_F3:
        findNext();
        return true;
    default:
        return false;
    }
}

void ReportPreview::keyPressEvent(QKeyEvent* e) {
    if (!handleKey(e))
        QAbstractScrollArea::keyPressEvent(e);
}

void ReportPreview::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    const int page = currentPage();
    relayout();
    if (zoom_ != Zoom::Percent100)
        goToPage(page);
}

void ReportPreview::scrollContentsBy(int, int dy) {
    viewport()->update();
    if (!turning_ && dy != 0) {
        current_ = pageAtTop();
        emit pageChanged(current_);
    }
}

void ReportPreview::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), QColor(0x80, 0x80, 0x80));
    const double dy = verticalScrollBar()->value();
    const double dx = horizontalScrollBar()->value();
    const int height = viewport()->height();
    for (int i = 0; i < pageCount(); ++i) {
        const QSizeF size = pageSize(i);
        const double top = pageTop(i) - dy;
        if (top > height)
            break;
        if (top + size.height() < 0)
            continue;
        const double left = pageLeft(i) - dx;
        const QRectF sheet(left, top, size.width(), size.height());
        p.fillRect(sheet.translated(3, 3), QColor(0x40, 0x40, 0x40));
        p.fillRect(sheet, Qt::white);
        p.save();
        p.setClipRect(sheet);
        p.translate(sheet.topLeft());
        p.scale(scale_, scale_);
        report::paintPage(p, report_.pages[size_t(i)], i == matchPage_ ? matchItem_ : -1);
        p.restore();
    }
}
