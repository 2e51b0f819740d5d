// The shift report command and the scheduled PDF export: dialog, shifts, sums, missing days,
// no temporary files, and the text of the exported PDFs.
#include "CalendarDateEdit.h"
#include "DayFixture.h"
#include "HookRecorder.h"
#include "PageProbe.h"
#include "RapDlgUnit.h"
#include "ReportExport.h"

#include <QComboBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The text of a PDF as pdftotext reads it, or a null string without pdftotext.
QString pdfText(const QString& path) {
    const QString tool = QStandardPaths::findExecutable("pdftotext");
    if (tool.isEmpty())
        return QString();
    QProcess p;
    p.start(tool, {"-layout", path, "-"});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Lines of text without their blanks runs, for comparing rows.
QStringList lines(const QString& text) {
    QStringList out;
    for (const QString& line : text.split('\n')) {
        const QString simple = line.simplified();
        if (!simple.isEmpty())
            out << simple;
    }
    return out;
}

} // namespace

class ShiftReportTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    const QDate day{2010, 3, 5};

    std::function<int(QDialog*)> choose(const QDate& date, int shift) {
        return [date, shift](QDialog* d) {
            auto* dlg = static_cast<TRapDlgForm*>(d);
            dlg->DateEdit1->setDate(date);
            dlg->ComboBox1->setCurrentIndex(shift);
            return int(QDialog::Accepted);
        };
    }

private slots:
    void initTestCase() {
        writeDosing(dir.path(), day.addDays(-1),
                    {{"21:59:59", "02", 1000}, {"22:00:00", "05", 11, "Manual"}});
        writeDosing(dir.path(), day,
                    {{"05:00:00", "05", 300},
                     {"05:30:00", "02", 100},
                     {"06:00:00", "02", 40, "Manual"},
                     {"06:00:00", "02", 7, "Other"},
                     {"13:00:00", "03", 5000},
                     {"14:30:00", "07", 70}});
    }

    void dialogHasItsControlsAndTexts() {
        TRapDlgForm dlg{QString()};
        QCOMPARE(dlg.windowTitle(), QString("Печать рапорта"));
        QCOMPARE(dlg.size(), QSize(268, 173));
        QCOMPARE(dlg.labName->text(), QString("Рапорт за"));
        QCOMPARE(dlg.labData->text(), QString("Дата:"));
        QCOMPARE(dlg.labSmena->text(), QString("Смена:"));
        QCOMPARE(dlg.btnOpen->text(), QString("Открыть сохраненный рапорт"));
        QCOMPARE(dlg.btnOK->text(), QString("Продолжить"));
        QCOMPARE(dlg.btnCancel->text(), QString("Отменить"));
        QVERIFY(dlg.btnOK->isDefault());
        QCOMPARE(dlg.DateEdit1->date(), QDate::currentDate());
        QCOMPARE(dlg.ComboBox1->count(), 3);
        QCOMPARE(dlg.ComboBox1->currentIndex(), 0);
        QCOMPARE(dlg.ComboBox1->itemText(0), QString("1 смена с 22.00 до 06.00"));
        QCOMPARE(dlg.ComboBox1->itemText(2), QString("3 смена с 14.00 до 22.00"));
        QCOMPARE(dlg.DateEdit1->width(), 153);
    }

    void nightShiftReadsTheDayBeforeAndGroupsByCode() {
        HookRecorder hooks;
        hooks.onDialog = choose(day, 0);
        runShiftReport(dir.path(), QString(), nullptr, hooks.viewHooks());
        QVERIFY(hooks.messages.isEmpty());
        QCOMPARE(hooks.previews.size(), size_t(1));
        QCOMPARE(hooks.previewTitles.value(0), QString("Предварительный просмотр"));
        // 22:00 of 4 March (05, manual 11); 05:00 (05, 300); 05:30 (02, 100);
        // 06:00 twice (02, manual 40 and a mode that is neither word, 7).
        QCOMPARE(reportTexts(hooks.previews[0]), (QStringList{"Рапорт за 05.03.2010",
                                                              "1 смена с 22.00 до 06.00",
                                                              "Код материала",
                                                              "Режим работы",
                                                              "Отгружено, кг",
                                                              "Отгружено, калош",
                                                              "02",
                                                              "автоматический",
                                                              "100",
                                                              "ручной",
                                                              "40",
                                                              "всего",
                                                              "147",
                                                              "05",
                                                              "автоматический",
                                                              "300",
                                                              "ручной",
                                                              "11",
                                                              "всего",
                                                              "311",
                                                              "3",
                                                              "Рапорт за 05.03.2010"}));
        QVERIFY(!QFileInfo::exists(dir.filePath("tmp.dbf")));
        QVERIFY(!QFileInfo::exists(dir.filePath("tmp.mdx")));
    }

    void doseAtSixCountsInShiftsOneAndTwo() {
        HookRecorder hooks;
        hooks.onDialog = choose(day, 1);
        runShiftReport(dir.path(), QString(), nullptr, hooks.viewHooks());
        QCOMPARE(hooks.previews.size(), size_t(1));
        const QStringList texts = reportTexts(hooks.previews[0]);
        // 06:00 (02: manual 40, other 7) and 13:00 (03: automatic 5000).
        QCOMPARE(texts.mid(6), (QStringList{"02", "автоматический", "0", "ручной", "40", "всего",
                                            "47", "03", "автоматический", "5000", "ручной", "0",
                                            "всего", "5000", "3", "Рапорт за 05.03.2010"}));
    }

    void missingDayGivesTheMessageAndNoReport() {
        HookRecorder hooks;
        hooks.onDialog = choose(QDate(2010, 3, 6), 1);
        const QStringList before = folderNames(dir.path());
        runShiftReport(dir.path(), QString(), nullptr, hooks.viewHooks());
        QCOMPARE(hooks.messages, QStringList{"Ошибка: Рапорт за 06.03.2010 отсутствует"});
        QVERIFY(hooks.previews.empty());
        QCOMPARE(folderNames(dir.path()), before);
    }

    void cancelOrOpenSavedBuildsNoReport() {
        const QStringList before = folderNames(dir.path());
        {
            HookRecorder hooks; // the dialog answers Cancel
            runShiftReport(dir.path(), QString(), nullptr, hooks.viewHooks());
            QVERIFY(hooks.previews.empty());
            QVERIFY(hooks.messages.isEmpty());
        }
        {
            HookRecorder hooks;
            hooks.onDialog = [](QDialog* d) {
                static_cast<TRapDlgForm*>(d)->btnOpenClick();
                return d->result();
            };
            runShiftReport(dir.path(), QString(), nullptr, hooks.viewHooks());
            QCOMPARE(hooks.previews.size(), size_t(1));
            QCOMPARE(hooks.previews[0], report::PreparedReport::blank());
        }
        QCOMPARE(folderNames(dir.path()), before);
    }

    void exportWritesThePdfOfEachKind() {
        QTemporaryDir out;
        writeJournal(dir.path(), day,
                     {{"08:00:00", "Запуск программы", 0},
                      {"08:00:01", "Авария затвора дозатора 4 РКО-1", 1}});
        const struct {
            const char* kind;
            int shift;
            QStringList expected; // lines in this order
        } cases[] = {
            {"protocol",
             0,
             {"Протокол дозирования за 05.03.2010", "05:00:00 05.03.2010 1 05 1000 300 Automatik",
              "14:30:00 05.03.2010 1 07 1000 70 Automatik"}},
            {"journal",
             0,
             {"Журнал работы за 05.03.2010", "Время Дата Событие",
              "08:00:01 05.03.2010 Авария затвора дозатора 4 РКО-1"}},
            {"shift",
             3,
             {"Рапорт за 05.03.2010", "3 смена с 14.00 до 22.00", "07 автоматический 70",
              "ручной 0", "всего 70", "1"}},
        };
        for (const auto& c : cases) {
            const QString pdf = out.filePath(QString(c.kind) + ".pdf");
            QString message;
            QCOMPARE(
                views::exportReport(c.kind, day, c.shift, pdf, dir.path(), QString(), &message),
                int(views::ExportOk));
            QVERIFY2(message.isEmpty(), qPrintable(message));
            const QString text = pdfText(pdf);
            if (text.isNull())
                QSKIP("pdftotext is not installed");
            const QStringList got = lines(text);
            qsizetype at = 0;
            for (const QString& line : c.expected) {
                const qsizetype found = got.indexOf(line, at);
                QVERIFY2(
                    found >= 0,
                    qPrintable(
                        QString("%1: no line \"%2\" in\n%3").arg(c.kind, line, got.join('\n'))));
                at = found + 1;
            }
        }
    }

    void exportRefusesMissingDaysAndBadRequests() {
        QTemporaryDir out;
        const struct {
            const char* kind;
            QDate date;
            int shift;
            int status;
            const char* message;
        } cases[] = {
            {"shift", QDate(2010, 3, 7), 1, views::ExportNoReport,
             "Рапорт за 07.03.2010 отсутствует"},
            {"protocol", QDate(2010, 3, 7), 0, views::ExportNoReport,
             "Протокол дозирования за 07.03.2010 отсутствует"},
            {"journal", QDate(2010, 3, 7), 0, views::ExportNoReport,
             "Журнал работы за 07.03.2010 отсутствует"},
            {"shift", QDate(2010, 3, 5), 4, views::ExportBadRequest, nullptr},
            {"history?", QDate(2010, 3, 5), 0, views::ExportBadRequest, nullptr},
            {"protocol", QDate(), 0, views::ExportBadRequest, nullptr},
        };
        for (const auto& c : cases) {
            const QString pdf = out.filePath("x.pdf");
            QString message;
            QCOMPARE(
                views::exportReport(c.kind, c.date, c.shift, pdf, dir.path(), QString(), &message),
                c.status);
            if (c.message)
                QCOMPARE(message, QString(c.message));
            else
                QVERIFY(!message.isEmpty());
            QVERIFY(!QFileInfo::exists(pdf));
        }
        QString message;
        QCOMPARE(views::exportReport("protocol", day, 0, "/proc/no/such/dir/x.pdf", dir.path(),
                                     QString(), &message),
                 int(views::ExportWriteFailed));
        QVERIFY(!message.isEmpty());
    }
};

QTEST_MAIN(ShiftReportTest)
#include "ShiftReportTest.moc"
