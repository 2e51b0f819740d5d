#pragma once
// Draws built report pages on any paint device: the preview, the printer and PDF files.
#include "ReportModel.h"

#include <QFont>
#include <vector>

class QPainter;
class QPaintDevice;
class QPrinter;

namespace report {

// The font of a report item for a device, sized in report units; the families the reports
// name are mapped to the fonts installed here (Arial -> Liberation Sans, Bookman Old Style ->
// URW Bookman).
QFont deviceFont(const Font& font, const QPaintDevice* device);

// Draws a page with the painter's coordinates in report units (the caller scales).
// highlight: index of an item to mark (search result), or -1.
void paintPage(QPainter& painter, const Page& page, int highlight = -1);

// Prints the pages of the sequence (1-based numbers) on the printer, one sheet each.
bool printPages(QPrinter* printer, const PreparedReport& report, const std::vector<int>& pages);

// Writes every page to a PDF file.
bool writePdf(const QString& path, const PreparedReport& report, const QString& title,
              QString* error);

} // namespace report
