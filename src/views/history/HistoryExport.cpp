#include "HistoryExport.h"

#include "DateText.h"

#include "DailyTables.h"
#include "HistoryChart.h"
#include "HistoryDay.h"
#include "HistoryPrint.h"
#include "HistoryRules.h"
#include "HistoryTexts.h"
#include "MainTexts.h"
#include "ReportPainter.h"

#include <QApplication>
#include <QFileInfo>
#include <QPrinter>

namespace {
int fail(int status, QString* message, const QString& text) {
    if (message)
        *message = text;
    return status;
}
} // namespace

int exportHistory(const QDate& date, int doser, const QString& pdfPath, const QString& workDir,
                  const QString& langFilePath, QString* message) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return fail(kHistoryExportBadArgument, message,
                    QStringLiteral("Для вывода графика нужен QApplication"));
    if (!date.isValid())
        return fail(kHistoryExportBadArgument, message, QStringLiteral("Неверная дата"));
    if (doser < 1 || doser > 6)
        return fail(kHistoryExportBadArgument, message,
                    QStringLiteral("Номер дозатора должен быть от 1 до 6, а не %1").arg(doser));
    if (pdfPath.isEmpty())
        return fail(kHistoryExportBadArgument, message, QStringLiteral("Не задан файл PDF"));

    const HistoryTexts texts = HistoryTexts::load(langFilePath);
    const QLocale locale;
    const QString path = daily::fileName(workDir, daily::kArchive, date);
    if (!QFileInfo(path).isFile())
        return fail(kHistoryExportMissingDay, message,
                    history::missingFileMessage(texts.labName, date,
                                                MainTextStore::get()->lngAbsent, locale));

    auto day = std::make_shared<HistoryDay>();
    QString error;
    if (!loadHistoryDay(path, doser, day.get(), &error))
        return fail(kHistoryExportUnreadable, message, error);

    HistoryChart chart;
    chart.setTexts(texts);
    chart.resize(1600, 900);
    chart.showDay(day, history::doserItemText(texts.lngDozator, doser) + QLatin1Char('\n') +
                           stationDate(date, locale));

    if (!report::checkWritable(pdfPath, &error))
        return fail(kHistoryExportWriteFailed, message, error);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfPath);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(texts.HistoryForm);
    if (!printHistoryChart(&chart, &printer, &error))
        return fail(kHistoryExportWriteFailed, message, error);
    if (message)
        *message = pdfPath;
    return kHistoryExportOk;
}
