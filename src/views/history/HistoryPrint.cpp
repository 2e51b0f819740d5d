#include "HistoryPrint.h"

#include "HistoryChart.h"
#include "HistoryRules.h"

#include <QPrinter>

namespace {
// The chart is laid out on an area twice the print rectangle's width and height.
constexpr double kFineLayout = 2.0;

QString beginError(const QPrinter& printer) {
    if (!printer.outputFileName().isEmpty())
        return QStringLiteral("Не удалось записать файл \"%1\"").arg(printer.outputFileName());
    if (printer.printerName().isEmpty())
        return QStringLiteral("Принтер по умолчанию не выбран");
    return QStringLiteral("Принтер \"%1\" недоступен").arg(printer.printerName());
}
} // namespace

bool printHistoryChart(HistoryChart* chart, QPrinter* printer, QString* error) {
    const QPageLayout::Orientation saved = printer->pageLayout().orientation();
    printer->setPageOrientation(QPageLayout::Landscape);
    bool ok = true;
    QString why;
    {
        QCPPainter painter;
        if (!painter.begin(printer)) {
            ok = false;
            why = beginError(*printer);
        } else {
            painter.setMode(QCPPainter::pmVectorized);
            painter.setMode(QCPPainter::pmNoCaching);
            const QRect target = history::printRect(printer->width(), printer->height());
            chart->renderInto(&painter, target, printer->resolution(), kFineLayout);
            if (printer->printerState() == QPrinter::Error) {
                printer->abort();
                ok = false;
                why = QStringLiteral("Ошибка печати");
            }
            if (!painter.end() && ok) {
                ok = false;
                why = beginError(*printer);
            }
        }
    }
    printer->setPageOrientation(saved);
    if (!ok && error)
        *error = why;
    return ok;
}
