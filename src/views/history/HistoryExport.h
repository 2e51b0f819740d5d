#pragma once
// Headless export of the history chart: one doser's whole day on one landscape PDF page,
// drawn as printing draws it. Needs a QApplication (it may run on the offscreen platform).
#include <QDate>
#include <QString>

// Exit statuses of exportHistory.
enum HistoryExportStatus {
    kHistoryExportOk = 0,
    kHistoryExportMissingDay = 1,  // no archive file for the day
    kHistoryExportBadArgument = 2, // invalid date or doser, no QApplication
    kHistoryExportUnreadable = 3,  // the file is not an archive table
    kHistoryExportWriteFailed = 4, // the PDF could not be written
};

// Writes the chart of doser (1 to 6) on date to pdfPath. Returns one of the statuses above;
// *message holds the text to show (the missing-file message, the error, or where the PDF
// went).
int exportHistory(const QDate& date, int doser, const QString& pdfPath, const QString& workDir,
                  const QString& langFilePath, QString* message);
