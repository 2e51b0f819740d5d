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

// Prints the pages of the sequence (1-based numbers) on the printer, one sheet each. False
// when the job could not start or was refused on the way.
bool printPages(QPrinter* printer, const PreparedReport& report, const std::vector<int>& pages);

// Why a print job on this printer printed nothing, in the operator's language: the file it
// prints to cannot be written, no printer is chosen, or the chosen one is not available.
QString printFailure(const QPrinter& printer);

// Opens the file for writing once before anything is drawn into it, so a path that cannot
// be written is told once, with the reason; a file made by the probe is removed again.
bool checkWritable(const QString& path, QString* error);

// Writes every page to a PDF file.
bool writePdf(const QString& path, const PreparedReport& report, const QString& title,
              QString* error);

} // namespace report
