#include "ReportExport.h"

#include "DailyTables.h"
#include "DayTables.h"
#include "MainTexts.h"
#include "ReportPainter.h"
#include "StationReports.h"

#include <QFileInfo>

namespace views {

namespace {

int fail(QString* message, const QString& text, int status) {
    if (message)
        *message = text;
    return status;
}

// Reads a day's table as the window would; a missing file gives the window's message.
int readDay(const QString& path, const QString& title, const QDate& date,
            bool (*read)(const QString&, report::MemTable*, QString*), report::MemTable* out,
            QString* message) {
    if (!QFileInfo(path).isFile())
        return fail(message, absentMessage(title, dateText(date), *MainTextStore::get()),
                    ExportNoReport);
    QString error;
    if (!read(path, out, &error))
        return fail(message, error, ExportNoReport);
    return ExportOk;
}

} // namespace

int exportReport(const QString& kind, const QDate& date, int shift, const QString& pdfPath,
                 const QString& workDir, const QString& langFilePath, QString* message) {
    if (!date.isValid())
        return fail(message, QStringLiteral("Неверная дата"), ExportBadRequest);
    if (pdfPath.isEmpty())
        return fail(message, QStringLiteral("Не указан файл PDF"), ExportBadRequest);
    const auto main = MainTextStore::get();
    report::PreparedReport pages;
    QString title;
    if (kind == QLatin1String("protocol")) {
        const ProtocolTexts t = ProtocolTexts::load(langFilePath);
        report::MemTable records;
        const int status = readDay(daily::fileName(workDir, daily::kDosing, date), t.labName, date,
                                   &readDosing, &records, message);
        if (status != ExportOk)
            return status;
        const report::Variables vars = protocolVariables(
            t.labName, dateText(date),
            {t.colTime, t.colDate, t.colDozator, t.colKodMat, t.colSkorZad, t.colVes, t.colRegim});
        title = vars.value(QStringLiteral("repName"));
        pages = report::build(protocolTemplate(), records, vars);
    } else if (kind == QLatin1String("journal")) {
        const JurnalTexts t = JurnalTexts::load(langFilePath);
        report::MemTable records;
        const int status = readDay(daily::fileName(workDir, daily::kJournal, date), t.labName, date,
                                   &readJournal, &records, message);
        if (status != ExportOk)
            return status;
        const report::Variables vars =
            journalVariables(t.labName, dateText(date), {t.colTime, t.colDate, t.colEvent});
        title = vars.value(QStringLiteral("repName"));
        pages = report::build(journalTemplate(), records, vars);
    } else if (kind == QLatin1String("shift")) {
        if (shift < 1 || shift > 3)
            return fail(message, QStringLiteral("Неверный номер смены: %1").arg(shift),
                        ExportBadRequest);
        report::MemTable records;
        QString error;
        switch (collectShift(workDir, date, shift - 1, &records, &error)) {
        case ShiftResult::MissingDay:
            return fail(message, absentMessage(main->lngRapName, dateText(date), *main),
                        ExportNoReport);
        case ShiftResult::ReadError:
            return fail(message, error, ExportNoReport);
        case ShiftResult::Ok:
            break;
        }
        const report::Variables vars = shiftVariables(*main, dateText(date), shift - 1);
        title = vars.value(QStringLiteral("repName"));
        pages = report::build(shiftTemplate(), records, vars);
    } else {
        return fail(message, QStringLiteral("Неизвестный вид отчета: %1").arg(kind),
                    ExportBadRequest);
    }
    QString error;
    if (!report::writePdf(pdfPath, pages, title, &error))
        return fail(message, error, ExportWriteFailed);
    if (message)
        message->clear();
    return ExportOk;
}

} // namespace views
