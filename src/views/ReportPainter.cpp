#include "ReportPainter.h"

#include "MainTexts.h"

#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

namespace report {

namespace {
QStringList familiesFor(const QString& family) {
    if (family.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0)
        return {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans"), family};
    if (family.compare(QLatin1String("Bookman Old Style"), Qt::CaseInsensitive) == 0)
        return {QStringLiteral("URW Bookman"), QStringLiteral("URW Bookman L"),
                QStringLiteral("DejaVu Serif"), family};
    if (family.compare(QLatin1String("Tahoma"), Qt::CaseInsensitive) == 0 ||
        family.compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) == 0)
        return {QStringLiteral("DejaVu Sans"), family};
    return {family};
}

void drawFrames(QPainter& p, const QRectF& r, quint8 frames) {
    if (frames & FrameLeft)
        p.drawLine(r.topLeft(), r.bottomLeft());
    if (frames & FrameTop)
        p.drawLine(r.topLeft(), r.topRight());
    if (frames & FrameRight)
        p.drawLine(r.topRight(), r.bottomRight());
    if (frames & FrameBottom)
        p.drawLine(r.bottomLeft(), r.bottomRight());
}

int alignment(const Item& item) {
    int flags = Qt::TextSingleLine;
    flags |= item.hAlign == HAlign::Center  ? Qt::AlignHCenter
             : item.hAlign == HAlign::Right ? Qt::AlignRight
                                            : Qt::AlignLeft;
    flags |= item.vAlign == VAlign::Center   ? Qt::AlignVCenter
             : item.vAlign == VAlign::Bottom ? Qt::AlignBottom
                                             : Qt::AlignTop;
    return flags;
}
} // namespace

QFont deviceFont(const Font& font, const QPaintDevice* device) {
    QFont f;
    f.setFamilies(familiesFor(font.family));
    // A point is 96/72 report units; the painter's scale takes report units to the device.
    const int dpi = device ? device->logicalDpiY() : 96;
    f.setPointSizeF(font.pointSize * 96.0 / (dpi > 0 ? dpi : 96));
    f.setBold(font.bold);
    f.setItalic(font.italic);
    return f;
}

void paintPage(QPainter& p, const Page& page, int highlight) {
    p.save();
    for (size_t i = 0; i < page.items.size(); ++i) {
        const Item& item = page.items[i];
        if (item.fill.isValid())
            p.fillRect(item.rect, item.fill);
        if (int(i) == highlight)
            p.fillRect(item.rect, QColor(0xFF, 0xFF, 0x00, 0xA0));
        if (item.frames) {
            p.setPen(QPen(item.color, 1.0));
            drawFrames(p, item.rect, item.frames);
        }
        if (!item.text.isEmpty()) {
            p.setPen(item.color);
            const QFont font = deviceFont(item.font, p.device());
            p.setFont(font);
            // A cell tall enough for two lines wraps its text (the headings); other cells keep
            // one line. The text may reach a few units past the cell, as screen fonts are a
            // little wider than the ones the layout was made with, and is cut off after that.
            const double line = QFontMetricsF(font, p.device()).height() * 96.0 /
                                (p.device() ? p.device()->logicalDpiY() : 96);
            int flags = alignment(item);
            if (item.rect.height() >= 2 * line)
                flags = (flags & ~Qt::TextSingleLine) | Qt::TextWordWrap;
            p.save();
            p.setClipRect(item.rect.adjusted(-4, 0, 4, 0), Qt::IntersectClip);
            p.drawText(item.rect, flags | Qt::TextDontClip, item.text);
            p.restore();
        }
    }
    p.restore();
}

bool printPages(QPrinter* printer, const PreparedReport& report, const std::vector<int>& pages) {
    if (report.empty() || pages.empty())
        return false;
    printer->setFullPage(true);
    QPainter p;
    if (!p.begin(printer))
        return false;
    const QRectF paper = printer->paperRect(QPrinter::DevicePixel);
    bool first = true;
    bool ok = true;
    for (int number : pages) {
        if (number < 1 || number > int(report.pages.size()))
            continue;
        if (!first && !printer->newPage()) {
            ok = false;
            break;
        }
        first = false;
        const Page& page = report.pages[size_t(number - 1)];
        p.save();
        const double scale = paper.width() / page.width;
        p.scale(scale, scale);
        paintPage(p, page);
        p.restore();
    }
    ok = p.end() && ok && !first;
    return ok && printer->printerState() != QPrinter::Error &&
           printer->printerState() != QPrinter::Aborted;
}

QString printFailure(const QPrinter& printer) {
    const auto texts = MainTextStore::get();
    if (!printer.outputFileName().isEmpty())
        return texts->lngErrWrite + QLatin1Char(' ') + printer.outputFileName();
    if (printer.printerName().isEmpty())
        return texts->lngNoPrinter;
    return texts->lngPrinterFailed + QLatin1Char(' ') + printer.printerName();
}

bool checkWritable(const QString& path, QString* error) {
    const bool existed = QFileInfo::exists(path);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) {
        if (error)
            *error = MainTextStore::get()->lngErrWrite + QLatin1Char(' ') + path +
                     QStringLiteral(": ") + f.errorString();
        return false;
    }
    f.close();
    if (!existed)
        QFile::remove(path);
    return true;
}

bool writePdf(const QString& path, const PreparedReport& report, const QString& title,
              QString* error) {
    if (report.empty()) {
        if (error)
            *error = QStringLiteral("Отчет не содержит страниц");
        return false;
    }
    if (!checkWritable(path, error))
        return false;
    QPdfWriter writer(path);
    writer.setResolution(96); // one device pixel per report unit
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("korvel"));
    QPainter p;
    if (!p.begin(&writer)) {
        if (error)
            *error = MainTextStore::get()->lngErrWrite + QLatin1Char(' ') + path;
        return false;
    }
    for (size_t i = 0; i < report.pages.size(); ++i) {
        if (i > 0)
            writer.newPage();
        paintPage(p, report.pages[i]);
    }
    p.end();
    if (!QFileInfo(path).isFile() || QFileInfo(path).size() == 0) {
        if (error)
            *error = MainTextStore::get()->lngErrWrite + QLatin1Char(' ') + path;
        return false;
    }
    return true;
}

} // namespace report
