#pragma once
// Scheduled reports: the dosing protocol, the work journal or a shift report of a day built
// without windows from the working folder's tables and written as PDF.
#include <QDate>
#include <QString>

namespace views {

enum ExportStatus {
    ExportOk = 0,
    ExportNoReport = 1,   // the day's table is missing or unreadable
    ExportBadRequest = 2, // unknown kind, invalid date or shift
    ExportWriteFailed = 3 // the PDF file could not be written
};

// kind: "protocol", "journal" or "shift"; shift 1, 2 or 3 (shift reports only). On failure
// *message holds the text the window would show, such as "Рапорт за 05.03.2010 отсутствует".
int exportReport(const QString& kind, const QDate& date, int shift, const QString& pdfPath,
                 const QString& workDir, const QString& langFilePath, QString* message);

} // namespace views
