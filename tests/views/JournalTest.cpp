// The work journal window: row colours by event code, missing days, refreshing a day and the
// colourless printout.
#include "CalendarDateEdit.h"
#include "DayFixture.h"
#include "HookRecorder.h"
#include "JurnalUnit.h"
#include "PageProbe.h"
#include "RecordTableModel.h"
#include "ViewGrid.h"

#include <QCalendarWidget>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QtTest>

class JournalTest : public QObject {
    Q_OBJECT
    const QDate day{2010, 3, 5};

private slots:
    // Time and date columns as wide as their texts, the event column takes the rest of the
    // grid, so an alarm text is read whole on a 1024 x 768 screen and on a wide one.
    void columnsFitTheirTexts_data() {
        QTest::addColumn<int>("width");
        QTest::newRow("1024 x 768") << 1024;
        QTest::newRow("1600 x 1200") << 1600;
    }
    void columnsFitTheirTexts() {
        QFETCH(int, width);
        QTemporaryDir dir;
        writeJournal(dir.path(), day,
                     {{"08:00:00", "Запуск программы", 0},
                      {"08:00:01", "Нет сигнала \"Конец выгрузки\" в координаторе от печи 2", 1},
                      {"08:00:02", "УСТРАНЕНА Авария затвора бункера сдозированной шихты №2", 0},
                      {"08:00:03", "УСТРАНЕНА Авария тензопреобразователя дозатора 6 РТП-2", 0}});
        TJurnalForm form(dir.path(), QString());
        form.resize(width, 768 - 100);
        form.show();
        form.DateEdit1AcceptDate(day);
        QCoreApplication::processEvents();
        QHeaderView* head = form.DBGrid->horizontalHeader();
        const QFontMetrics fm(form.DBGrid->font());
        // A cell shows its text with a few pixels of margin on each side.
        auto textFits = [&](int column, const QString& text) {
            return head->sectionSize(column) >= fm.horizontalAdvance(text) + 6;
        };
        QVERIFY2(textFits(0, "08:00:00"), qPrintable(QString::number(head->sectionSize(0))));
        QVERIFY2(textFits(1, "05.03.2010"), qPrintable(QString::number(head->sectionSize(1))));
        for (int r = 0; r < form.JurDS->rowCount(); ++r) {
            const QString text = form.JurDS->index(r, 2).data().toString();
            QVERIFY2(textFits(2, text),
                     qPrintable(QStringLiteral("%1: %2 px").arg(text).arg(head->sectionSize(2))));
        }
        // Time and date no wider than they need, the event column up to the grid's edge.
        QVERIFY(head->sectionSize(0) < fm.horizontalAdvance("08:00:00") + 40);
        QVERIFY(head->sectionSize(1) < fm.horizontalAdvance("05.03.2010") + 40);
        QCOMPARE(head->sectionSize(0) + head->sectionSize(1) + head->sectionSize(2),
                 form.DBGrid->viewport()->width());
    }

    void rowColoursFollowTheEventCode() {
        QTemporaryDir dir;
        writeJournal(dir.path(), day,
                     {{"08:00:00", "Запуск программы", 0},
                      {"08:00:01", "Авария затвора дозатора 4 РКО-1", 1},
                      {"08:10:00", "УСТРАНЕНА Авария затвора дозатора 4 РКО-1", 0},
                      {"18:00:00", "Выход из программы", 2}});
        HookRecorder hooks;
        TJurnalForm form(dir.path(), QString());
        form.hooks = hooks.viewHooks();
        QCOMPARE(form.windowTitle(), QString("Журнал работы"));
        QVERIFY(form.DateEdit1->isBlank());
        form.DateEdit1AcceptDate(day);
        QVERIFY(form.isTableOpen());
        QCOMPARE(form.JurDS->rowCount(), 4);
        QCOMPARE(form.JurDS->index(1, 2).data().toString(),
                 QString("Авария затвора дозатора 4 РКО-1"));
        const QVariant expected[] = {QVariant(), QColor(0xFF, 0, 0), QVariant(),
                                     QColor(0, 0, 0xFF)};
        for (int r = 0; r < 4; ++r) {
            for (int c = 0; c < 3; ++c)
                QCOMPARE(form.JurDS->index(r, c).data(Qt::ForegroundRole), expected[r]);
        }
        QCOMPARE(form.JurDS->titles(), (QStringList{"Время", "Дата", "Событие"}));

        // The printout shows all of them alike: black text, no coloured rows.
        form.btnPrintClick();
        QCOMPARE(hooks.previews.size(), size_t(1));
        const report::Page& page = hooks.previews[0].pages.at(0);
        QCOMPARE(pageTexts(page).first(), QString("Журнал работы за 05.03.2010"));
        QVERIFY(findItem(page, "Выход из программы"));
        for (const report::Item& item : page.items)
            QCOMPARE(item.color, QColor(Qt::black));
    }

    void missingDayEmptiesTheGridAndPrintSaysNotChosen() {
        QTemporaryDir dir;
        writeJournal(dir.path(), day, {{"08:00:00", "Запуск программы", 0}});
        HookRecorder hooks;
        TJurnalForm form(dir.path(), QString());
        form.hooks = hooks.viewHooks();
        form.btnPrintClick();
        QCOMPARE(hooks.messages, QStringList{"Ошибка: Журнал работы не выбран"});
        form.DateEdit1AcceptDate(day);
        QCOMPARE(form.JurDS->rowCount(), 1);
        form.DateEdit1AcceptDate(QDate(2010, 3, 7));
        QCOMPARE(hooks.messages.value(1),
                 QString("Ошибка: Журнал работы за 07.03.2010 отсутствует"));
        QCOMPARE(form.JurDS->rowCount(), 0);
        QVERIFY(!form.isTableOpen());
        QVERIFY(hooks.previews.empty());
    }

    void acceptingTheSameDayAgainShowsNewEvents() {
        QTemporaryDir dir;
        writeJournal(dir.path(), day, {{"08:00:00", "Запуск программы", 0}});
        HookRecorder hooks;
        TJurnalForm form(dir.path(), QString());
        form.hooks = hooks.viewHooks();
        form.DateEdit1AcceptDate(day);
        QCOMPARE(form.JurDS->rowCount(), 1);
        writeJournal(dir.path(), day, {{"09:00:00", "Сбой связи с ШВУ", 1}});
        QCOMPARE(form.JurDS->rowCount(), 1); // not refreshed by itself
        form.DateEdit1AcceptDate(day);
        QCOMPARE(form.JurDS->rowCount(), 2);
    }

    void calendarPickOfTheShownDateStillAccepts() {
        QTemporaryDir dir;
        writeJournal(dir.path(), day, {{"08:00:00", "Запуск программы", 0}});
        HookRecorder hooks;
        TJurnalForm form(dir.path(), QString());
        form.hooks = hooks.viewHooks();
        QSignalSpy spy(form.DateEdit1, &CalendarDateEdit::dateAccepted);
        emit form.DateEdit1->calendarWidget()->clicked(day);
        emit form.DateEdit1->calendarWidget()->clicked(day);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(form.JurDS->rowCount(), 1);
    }
};

QTEST_MAIN(JournalTest)
#include "JournalTest.moc"
