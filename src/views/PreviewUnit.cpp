#include "PreviewUnit.h"

#include "MainTexts.h"
#include "PageRanges.h"
#include "ReportFile.h"
#include "ReportPainter.h"
#include "ReportPreview.h"
#include "ViewHooks.h"

#include <QButtonGroup>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QPageRanges>
#include <QPainter>
#include <QPrinter>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Small drawn icons for the tool strip, so the strip looks alike on every desktop theme.
enum class Glyph {
    Zoom100,
    ZoomFit,
    ZoomWidth,
    First,
    Previous,
    Next,
    Last,
    Load,
    Save,
    Print,
    Close
};

QIcon glyph(Glyph g) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    auto sheet = [&p](const QRectF& r) {
        p.setBrush(Qt::white);
        p.drawRect(r);
    };
    auto triangle = [&p](double x, bool left) {
        const QPointF pts[3] = {QPointF(x, 3), QPointF(x, 13), QPointF(left ? x - 5 : x + 5, 8)};
        p.setBrush(QColor(0x00, 0x40, 0x80));
        p.drawPolygon(pts, 3);
    };
    switch (g) {
    case Glyph::Zoom100:
        p.setFont(QFont(QStringLiteral("DejaVu Sans"), 6, QFont::Bold));
        p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("1:1"));
        break;
    case Glyph::ZoomFit:
        sheet(QRectF(4.5, 1.5, 7, 13));
        break;
    case Glyph::ZoomWidth:
        sheet(QRectF(1.5, 3.5, 13, 12));
        p.drawLine(QPointF(1, 1.5), QPointF(15, 1.5));
        break;
    case Glyph::First:
        p.drawLine(QPointF(4.5, 3), QPointF(4.5, 13));
        triangle(11, true);
        break;
    case Glyph::Previous:
        triangle(10, true);
        break;
    case Glyph::Next:
        triangle(6, false);
        break;
    case Glyph::Last:
        triangle(5, false);
        p.drawLine(QPointF(11.5, 3), QPointF(11.5, 13));
        break;
    case Glyph::Load:
        p.setBrush(QColor(0xF0, 0xC0, 0x40));
        p.drawRect(QRectF(1.5, 5.5, 13, 8));
        p.drawRect(QRectF(1.5, 3.5, 5, 2));
        break;
    case Glyph::Save:
        p.setBrush(QColor(0x30, 0x50, 0x90));
        p.drawRect(QRectF(2.5, 2.5, 11, 11));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 2.5, 7, 4));
        break;
    case Glyph::Print:
        sheet(QRectF(4.5, 1.5, 7, 6));
        p.setBrush(QColor(0xA0, 0xA0, 0xA0));
        p.drawRect(QRectF(1.5, 7.5, 13, 6));
        break;
    case Glyph::Close:
        p.setPen(QPen(QColor(0xA0, 0x00, 0x00), 2));
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
        break;
    }
    return QIcon(pm);
}

void gap(QHBoxLayout* layout) {
    layout->addSpacing(8);
}

} // namespace

TPreviewForm::TPreviewForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PreviewForm"));
    setWindowFlags(Qt::Window | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowState(Qt::WindowMaximized);
    resize(900, 700);

    auto* strip = new QWidget(this);
    strip->setFixedHeight(33);
    auto* tools = new QHBoxLayout(strip);
    tools->setContentsMargins(2, 4, 2, 4);
    tools->setSpacing(0);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(strip);
    frPreview1 = new ReportPreview(this);
    column->addWidget(frPreview1, 1);

    frSpeedButton2 = addButton(QStringLiteral("frSpeedButton2"), QStringLiteral("Zoom to 100%"),
                               glyph(Glyph::Zoom100));
    frSpeedButton1 = addButton(QStringLiteral("frSpeedButton1"), QStringLiteral("Zoom to fit"),
                               glyph(Glyph::ZoomFit));
    frSpeedButton3 = addButton(QStringLiteral("frSpeedButton3"),
                               QStringLiteral("Zoom to page width"), glyph(Glyph::ZoomWidth));
    frSpeedButton4 = addButton(QStringLiteral("frSpeedButton4"), QStringLiteral("First page"),
                               glyph(Glyph::First));
    frSpeedButton5 = addButton(QStringLiteral("frSpeedButton5"), QStringLiteral("Previous page"),
                               glyph(Glyph::Previous));
    frSpeedButton6 = addButton(QStringLiteral("frSpeedButton6"), QStringLiteral("Next page"),
                               glyph(Glyph::Next));
    frSpeedButton7 = addButton(QStringLiteral("frSpeedButton7"), QStringLiteral("Last page"),
                               glyph(Glyph::Last));
    frSpeedButton8 = addButton(QStringLiteral("frSpeedButton8"), QStringLiteral("Load report"),
                               glyph(Glyph::Load));
    frSpeedButton9 = addButton(QStringLiteral("frSpeedButton9"), QStringLiteral("Save report"),
                               glyph(Glyph::Save));
    frSpeedButton10 = addButton(QStringLiteral("frSpeedButton10"), QStringLiteral("Print report"),
                                glyph(Glyph::Print));
    frSpeedButton11 = addButton(QStringLiteral("frSpeedButton11"), QStringLiteral("Close preview"),
                                glyph(Glyph::Close));

    QToolButton* order[] = {frSpeedButton2, frSpeedButton1, frSpeedButton3, nullptr,
                            frSpeedButton4, frSpeedButton5, frSpeedButton6, frSpeedButton7,
                            nullptr,        frSpeedButton8, frSpeedButton9, frSpeedButton10,
                            nullptr,        frSpeedButton11};
    for (QToolButton* b : order) {
        if (b)
            tools->addWidget(b);
        else
            gap(tools);
    }
    tools->addStretch(1);

    auto* zoomGroup = new QButtonGroup(this);
    zoomGroup->setExclusive(true);
    for (QToolButton* b : {frSpeedButton2, frSpeedButton1, frSpeedButton3}) {
        b->setCheckable(true);
        zoomGroup->addButton(b);
    }
    frSpeedButton2->setChecked(true);

    connect(frSpeedButton1, &QToolButton::clicked, this, &TPreviewForm::frSpeedButton1Click);
    connect(frSpeedButton2, &QToolButton::clicked, this, &TPreviewForm::frSpeedButton2Click);
    connect(frSpeedButton3, &QToolButton::clicked, this, &TPreviewForm::frSpeedButton3Click);
    connect(frSpeedButton4, &QToolButton::clicked, this, &TPreviewForm::frSpeedButton4Click);
    connect(frSpeedButton5, &QToolButton::clicked, this, &TPreviewForm::frSpeedButton5Click);
    connect(frSpeedButton6, &QToolButton::clicked, this, &TPreviewForm::frSpeedButton6Click);
    connect(frSpeedButton7, &QToolButton::clicked, this, &TPreviewForm::frSpeedButton7Click);
    connect(frSpeedButton8, &QToolButton::clicked, this, &TPreviewForm::frSpeedButton8Click);
    connect(frSpeedButton9, &QToolButton::clicked, this, &TPreviewForm::frSpeedButton9Click);
    connect(frSpeedButton10, &QToolButton::clicked, this, &TPreviewForm::frSpeedButton10Click);
    connect(frSpeedButton11, &QToolButton::clicked, this, &TPreviewForm::frSpeedButton11Click);
    connect(frPreview1, &ReportPreview::loadRequested, this, &TPreviewForm::frSpeedButton8Click);
    connect(frPreview1, &ReportPreview::saveRequested, this, &TPreviewForm::frSpeedButton9Click);
    connect(frPreview1, &ReportPreview::printRequested, this, &TPreviewForm::frSpeedButton10Click);
    connect(frPreview1, &ReportPreview::searchRequested, this, &TPreviewForm::searchClick);
    connect(frPreview1, &ReportPreview::notFound, this, [this](const QString& text) {
        hooks.message(this, windowTitle(), QStringLiteral("Текст \"%1\" не найден").arg(text));
    });
    frPreview1->setFocus();
}

QToolButton* TPreviewForm::addButton(const QString& name, const QString& tip, const QIcon& icon) {
    auto* b = new QToolButton(this);
    b->setObjectName(name);
    b->setToolTip(tip);
    b->setIcon(icon);
    b->setAutoRaise(true);
    b->setFixedSize(24, 24);
    // The preview area keeps the keyboard; keys pressed anywhere in the window reach it first.
    b->setFocusPolicy(Qt::NoFocus);
    b->installEventFilter(this);
    return b;
}

void TPreviewForm::setReport(report::PreparedReport report) {
    frPreview1->setReport(std::move(report));
}

const report::PreparedReport& TPreviewForm::report() const {
    return frPreview1->report();
}

bool TPreviewForm::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate)
        FormActivate();
    if (e->type() == QEvent::KeyPress || e->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(e);
        if (e->type() == QEvent::KeyPress && frPreview1->handleKey(key))
            return true;
    }
    return QDialog::event(e);
}

bool TPreviewForm::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress && frPreview1->handleKey(static_cast<QKeyEvent*>(e)))
        return true;
    return QDialog::eventFilter(watched, e);
}

void TPreviewForm::FormActivate() {
    frSpeedButton2->setChecked(true);
    frPreview1->setZoom(ReportPreview::Zoom::Percent100);
}

void TPreviewForm::frSpeedButton1Click() {
    frSpeedButton1->setChecked(true);
    frPreview1->setZoom(ReportPreview::Zoom::WholePage);
}
void TPreviewForm::frSpeedButton2Click() {
    frSpeedButton2->setChecked(true);
    frPreview1->setZoom(ReportPreview::Zoom::Percent100);
}
void TPreviewForm::frSpeedButton3Click() {
    frSpeedButton3->setChecked(true);
    frPreview1->setZoom(ReportPreview::Zoom::PageWidth);
}
void TPreviewForm::frSpeedButton4Click() {
    frPreview1->firstPage();
}
void TPreviewForm::frSpeedButton5Click() {
    frPreview1->previousPage();
}
void TPreviewForm::frSpeedButton6Click() {
    frPreview1->nextPage();
}
void TPreviewForm::frSpeedButton7Click() {
    frPreview1->lastPage();
}

void TPreviewForm::frSpeedButton8Click() {
    if (frPreview1->pageCount() == 0)
        return;
    const QString path = hooks.reportFile(this, false);
    if (path.isEmpty())
        return;
    QString error;
    if (!loadReport(path, &error))
        hooks.message(this, MainTextStore::get()->lngError, error);
}

void TPreviewForm::frSpeedButton9Click() {
    if (frPreview1->pageCount() == 0)
        return;
    const QString path = hooks.reportFile(this, true);
    if (path.isEmpty())
        return;
    // The file dialog asked about the name typed; the name written may be another one.
    const QString target = report::withReportExtension(path);
    if (target != path && QFileInfo::exists(target) &&
        !hooks.confirm(this, windowTitle(),
                       QStringLiteral("Файл %1 уже существует. Заменить его?").arg(target)))
        return;
    QString error;
    if (!saveReport(path, nullptr, &error))
        hooks.message(this, MainTextStore::get()->lngError, error);
}

void TPreviewForm::frSpeedButton10Click() {
    const int pages = frPreview1->pageCount();
    if (pages == 0)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setFromTo(1, pages);
    if (!hooks.printDialog(this, &printer, pages))
        return;
    QString error;
    if (!printTo(&printer, &error))
        hooks.message(this, MainTextStore::get()->lngError, error);
    // Coming back from the print dialog activates the window again, which resets the zoom.
}

void TPreviewForm::frSpeedButton11Click() {
    done(QDialog::Accepted);
}

void TPreviewForm::searchClick() {
    if (frPreview1->pageCount() == 0)
        return;
    bool ok = false;
    const QString text =
        QInputDialog::getText(this, QStringLiteral("Поиск"), QStringLiteral("Текст:"),
                              QLineEdit::Normal, frPreview1->searchText(), &ok);
    if (ok && !text.isEmpty())
        frPreview1->find(text);
}

bool TPreviewForm::saveReport(const QString& path, QString* written, QString* error) {
    if (frPreview1->pageCount() == 0)
        return false;
    const QString target = report::withReportExtension(path);
    if (written)
        *written = target;
    return report::saveFile(target, frPreview1->report(), error);
}

bool TPreviewForm::loadReport(const QString& path, QString* error) {
    if (frPreview1->pageCount() == 0)
        return false;
    report::PreparedReport loaded;
    if (!report::loadFile(path, &loaded, error))
        return false;
    if (loaded.empty()) {
        if (error)
            *error = QStringLiteral("Файл отчета не содержит страниц");
        return false;
    }
    frPreview1->setReport(std::move(loaded));
    return true;
}

bool TPreviewForm::printTo(QPrinter* printer, QString* error) {
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    const int pages = frPreview1->pageCount();
    if (pages == 0)
        return fail(MainTextStore::get()->lngNotPrinted);
    std::vector<int> list;
    switch (printer->printRange()) {
    case QPrinter::CurrentPage:
        list.push_back(std::max(frPreview1->currentPage(), 0) + 1);
        break;
    case QPrinter::PageRange:
        for (const QPageRanges::Range& r : printer->pageRanges().toRangeList()) {
            for (int p = std::max(r.from, 1); p <= std::min(r.to, pages); ++p)
                list.push_back(p);
        }
        break;
    default:
        for (int p = 1; p <= pages; ++p)
            list.push_back(p);
    }
    if (list.empty())
        return fail(MainTextStore::get()->lngNotPrinted);
    // Where the print system makes the copies itself, each page is sent once.
    const int copies = printer->supportsMultipleCopies() ? 1 : printer->copyCount();
    if (!report::printPages(printer, frPreview1->report(),
                            report::printSequence(list, copies, printer->collateCopies())))
        return fail(report::printFailure(*printer));
    return true;
}
