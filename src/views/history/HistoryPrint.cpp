#include "HistoryPrint.h"

#include "HistoryChart.h"
#include "HistoryRules.h"
#include "MainTexts.h"
#include "ReportPainter.h"

#include <QPrinter>

namespace {
// The chart is laid out on an area twice the print rectangle's width and height.
constexpr double kFineLayout = 2.0;
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
            why = report::printFailure(*printer);
        } else {
            painter.setMode(QCPPainter::pmVectorized);
            painter.setMode(QCPPainter::pmNoCaching);
            const QRect target = history::printRect(printer->width(), printer->height());
            chart->renderInto(&painter, target, printer->resolution(), kFineLayout);
            if (printer->printerState() == QPrinter::Error) {
                printer->abort();
                ok = false;
                why = MainTextStore::get()->lngNotPrinted;
            }
            if (!painter.end() && ok) {
                ok = false;
                why = report::printFailure(*printer);
            }
        }
    }
    printer->setPageOrientation(saved);
    if (!ok && error)
        *error = why;
    return ok;
}
