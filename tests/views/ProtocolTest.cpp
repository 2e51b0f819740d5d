// The dosing protocol window: choosing a day, the time-window filter, missing days and
// printing exactly what the grid shows.
#include "CalendarDateEdit.h"
#include "DayFixture.h"
#include "HookRecorder.h"
#include "PageProbe.h"
#include "ProtocolUnit.h"
#include "RecordTableModel.h"
#include "ViewGrid.h"

#include <QHeaderView>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

class ProtocolTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    const QDate day{2010, 3, 5};

    static QStringList gridTimes(const TProtocolForm& form) {
        QStringList out;
        for (int r = 0; r < form.ViewDS->rowCount(); ++r)
            out << form.ViewDS->index(r, 0).data().toString();
        return out;
    }

private slots:
    void initTestCase() {
        writeDosing(dir.path(), day,
                    {{"08:15:00", "02", 500, "Automatik", 1, 520},
                     {"09:59:59", "03", 510},
                     {"10:00:00", "04", 520},
                     {"12:30:00", "05", 530, "Manual", 4},
                     {"12:30:01", "02", 540},
                     {"12:30:59", "07", 550},
                     {"23:59:59", "02", 560}});
    }

    void startsEmptyWithTextsAndControls() {
        TProtocolForm form(dir.path(), QString());
        QCOMPARE(form.windowTitle(), QString("Протокол дозирования"));
        QVERIFY(form.testAttribute(Qt::WA_DeleteOnClose));
        QVERIFY(form.DateEdit1->isBlank());
        QVERIFY(!form.isTableOpen());
        QCOMPARE(form.ViewDS->rowCount(), 0);
        QVERIFY(form.rbAll->isChecked());
        const struct {
            QSpinBox* spin;
            int min, max, value;
        } spins[] = {{form.Spin1, 0, 23, 0},
                     {form.Spin2, 0, 59, 0},
                     {form.Spin3, 0, 24, 24},
                     {form.Spin4, 0, 59, 0}};
        for (const auto& s : spins) {
            QCOMPARE(s.spin->minimum(), s.min);
            QCOMPARE(s.spin->maximum(), s.max);
            QCOMPARE(s.spin->value(), s.value);
            QVERIFY(!s.spin->isEnabled());
        }
        const QStringList titles = {"Время",       "Дата",
                                    "Дозатор",     "Код материала",
                                    "Задание, кг", "Вес выгруженного материала, кг",
                                    "Режим работы"};
        QCOMPARE(form.ViewDS->titles(), titles);
        QCOMPARE(form.ViewDS->index(0, 0).data(Qt::TextAlignmentRole).isValid(), false);
    }

    void choosingADayShowsItsRecords() {
        HookRecorder hooks;
        TProtocolForm form(dir.path(), QString());
        form.hooks = hooks.viewHooks();
        form.DateEdit1->setDate(day);
        QVERIFY(form.isTableOpen());
        QCOMPARE(form.ViewDS->rowCount(), 7);
        const QStringList first = {"08:15:00", "05.03.2010", "1", "02", "520", "500", "Automatik"};
        for (int c = 0; c < 7; ++c)
            QCOMPARE(form.ViewDS->index(0, c).data().toString(), first[c]);
        const auto align = [&form](int c) {
            return form.ViewDS->index(0, c).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
                   Qt::AlignHorizontal_Mask;
        };
        QCOMPARE(align(0), Qt::AlignHCenter);
        QCOMPARE(align(1), Qt::AlignHCenter);
        QCOMPARE(align(5), Qt::AlignLeft);
        QVERIFY(hooks.messages.isEmpty());
    }

    // Time and date columns as wide as their texts; the other columns share the rest of the
    // grid and keep their two-line titles whole.
    void columnsFitTheirTexts() {
        HookRecorder hooks;
        TProtocolForm form(dir.path(), QString());
        form.hooks = hooks.viewHooks();
        form.resize(1024, 668);
        form.show();
        form.DateEdit1->setDate(day);
        QCoreApplication::processEvents();
        QHeaderView* head = form.DBGrid->horizontalHeader();
        const QFontMetrics fm(form.DBGrid->font());
        QVERIFY(head->sectionSize(0) >= fm.horizontalAdvance("08:15:00") + 6);
        QVERIFY(head->sectionSize(0) < fm.horizontalAdvance("08:15:00") + 40);
        QVERIFY(head->sectionSize(1) >= fm.horizontalAdvance("05.03.2010") + 6);
        QVERIFY(head->sectionSize(1) < fm.horizontalAdvance("05.03.2010") + 40);
        int total = 0;
        for (int c = 0; c < 7; ++c)
            total += head->sectionSize(c);
        QCOMPARE(total, form.DBGrid->viewport()->width());
        for (int c = 2; c < 7; ++c)
            QVERIFY(head->sectionSize(c) > head->sectionSize(1));
    }

    void filterWindows_data() {
        QTest::addColumn<int>("fromHour");
        QTest::addColumn<int>("fromMinute");
        QTest::addColumn<int>("toHour");
        QTest::addColumn<int>("toMinute");
        QTest::addColumn<QStringList>("times");
        QTest::newRow("ends at 12:30 keeps 12:30:00, drops 12:30:01")
            << 10 << 0 << 12 << 30 << QStringList{"10:00:00", "12:30:00"};
        QTest::newRow("from 10:00 to 09:00 shows nothing") << 10 << 0 << 9 << 0 << QStringList{};
        QTest::newRow("hour 24 ends at 23:59:59 whatever the minute")
            << 12 << 30 << 24 << 30 << QStringList{"12:30:00", "12:30:01", "12:30:59", "23:59:59"};
        QTest::newRow("start minute counts from second 00")
            << 9 << 59 << 10 << 0 << QStringList{"09:59:59", "10:00:00"};
    }

    void filterWindows() {
        QFETCH(int, fromHour);
        QFETCH(int, fromMinute);
        QFETCH(int, toHour);
        QFETCH(int, toMinute);
        QFETCH(QStringList, times);
        HookRecorder hooks;
        TProtocolForm form(dir.path(), QString());
        form.hooks = hooks.viewHooks();
        form.DateEdit1->setDate(day);
        form.rbWith->click();
        QVERIFY(form.Spin1->isEnabled() && form.Spin4->isEnabled());
        form.Spin3->setValue(toHour);
        form.Spin4->setValue(toMinute);
        form.Spin1->setValue(fromHour);
        form.Spin2->setValue(fromMinute);
        QCOMPARE(gridTimes(form), times);

        // Printing with the filter on prints exactly the filtered records.
        form.btnPrintClick();
        QCOMPARE(hooks.previews.size(), size_t(1));
        QCOMPARE(hooks.previewTitles.value(0), QString("Предварительный просмотр"));
        QStringList printed;
        for (const report::Page& page : hooks.previews[0].pages) {
            for (const report::Item& item : page.items) {
                if (item.rect.height() == 18 && item.rect.left() == report::PageSetup().left + 28)
                    printed << item.text;
            }
        }
        QCOMPARE(printed, times);

        // Back to all records: the filter is off and the spin fields are disabled.
        form.rbAll->click();
        QCOMPARE(form.ViewDS->rowCount(), 7);
        QVERIFY(!form.Spin1->isEnabled());
    }

    void printUsesTitlesAndDateText() {
        HookRecorder hooks;
        TProtocolForm form(dir.path(), QString());
        form.hooks = hooks.viewHooks();
        form.DateEdit1->setDate(day);
        form.btnPrintClick();
        QCOMPARE(hooks.previews.size(), size_t(1));
        const QStringList texts = pageTexts(hooks.previews[0].pages[0]);
        QCOMPARE(texts.first(), QString("Протокол дозирования за 05.03.2010"));
        QVERIFY(texts.contains("Вес выгруженного материала, кг"));
        QCOMPARE(texts.last(), QString("Протокол дозирования за 05.03.2010"));
    }

    void missingDayClosesTheShownDay() {
        HookRecorder hooks;
        TProtocolForm form(dir.path(), QString());
        form.hooks = hooks.viewHooks();
        form.DateEdit1->setDate(day);
        QCOMPARE(form.ViewDS->rowCount(), 7);
        form.DateEdit1->setDate(QDate(2010, 3, 6));
        QCOMPARE(hooks.messages,
                 QStringList{"Ошибка: Протокол дозирования за 06.03.2010 отсутствует"});
        QVERIFY(!form.isTableOpen());
        QCOMPARE(form.ViewDS->rowCount(), 0);
        form.btnPrintClick();
        QCOMPARE(hooks.messages.value(1), QString("Ошибка: Протокол дозирования не выбран"));
        QVERIFY(hooks.previews.empty());
    }

    void openShowsTheBlankReportWithoutADay() {
        HookRecorder hooks;
        TProtocolForm form(dir.path(), QString());
        form.hooks = hooks.viewHooks();
        form.btnOpenClick();
        QCOMPARE(hooks.previews.size(), size_t(1));
        QCOMPARE(hooks.previews[0], report::PreparedReport::blank());
        QVERIFY(hooks.messages.isEmpty());
    }

    void languageFileRenamesColumnsAndHeadings() {
        QTemporaryDir langDir;
        QFile f(langDir.filePath("english.ini"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Protocol]\r\nlabName=Dosing protocol of\r\ncolVes=Weight, kg\r\n");
        f.close();
        HookRecorder hooks;
        TProtocolForm form(dir.path(), f.fileName());
        form.hooks = hooks.viewHooks();
        QCOMPARE(form.ViewDS->titles().value(5), QString("Weight, kg"));
        QCOMPARE(form.ViewDS->titles().value(0), QString("Время"));
        form.DateEdit1->setDate(day);
        form.btnPrintClick();
        const QStringList texts = pageTexts(hooks.previews.at(0).pages[0]);
        QCOMPARE(texts.first(), QString("Dosing protocol of 05.03.2010"));
        QVERIFY(texts.contains("Weight, kg"));
    }
};

QTEST_MAIN(ProtocolTest)
#include "ProtocolTest.moc"
