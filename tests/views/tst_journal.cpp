// The work journal window: row colours by event code, missing days, refreshing a day and the
// colourless printout.
#include "CalendarDateEdit.h"
#include "DayFixture.h"
#include "HookRecorder.h"
#include "JurnalUnit.h"
#include "PageProbe.h"
#include "RecordTableModel.h"

#include <QCalendarWidget>
#include <QTemporaryDir>
#include <QtTest>

class JournalTest : public QObject {
    Q_OBJECT
    const QDate day{2010, 3, 5};

private slots:
    void rowColoursFollowTheEventCode() {
        QTemporaryDir dir;
        writeJournal(dir.path(), day,
                     {{"08:00:00", "Запуск программы", 0},
                      {"08:00:01", "Авария затвора дозатора 4 РКО-1", 1},
                      {"08:10:00", "УСТРАНЕНА Авария затвора дозатора 4 РКО-1", 0},
                      {"18:00:00", "Выход из программы", 2}});
        HookRecorder hooks;
        TJurnalForm form(dir.path(), QString());
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
        QSignalSpy spy(form.DateEdit1, &CalendarDateEdit::dateAccepted);
        emit form.DateEdit1->calendarWidget()->clicked(day);
        emit form.DateEdit1->calendarWidget()->clicked(day);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(form.JurDS->rowCount(), 1);
    }
};

QTEST_MAIN(JournalTest)
#include "tst_journal.moc"
