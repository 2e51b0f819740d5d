// The time window of the record filters, and the shift's records gathered in memory.
#include "DayTables.h"
#include "DayFixture.h"
#include "MainTexts.h"
#include "PageRanges.h"
#include "TimeWindow.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace views;

TEST(TimeWindowFilter, EndsAndStartsIncluded) {
    TimeWindow to1230 = TimeWindow::wholeDay();
    to1230.fromHour = 10;
    to1230.setEnd(12, 30);
    TimeWindow backwards = TimeWindow::wholeDay();
    backwards.fromHour = 10;
    backwards.setEnd(9, 0);
    TimeWindow end24 = TimeWindow::wholeDay();
    end24.setEnd(24, 30);
    const struct {
        const char* what;
        TimeWindow window;
        const char* time;
        bool pass;
    } cases[] = {
        {"window end exactly", to1230, "12:30:00", true},
        {"one second after the end", to1230, "12:30:01", false},
        {"last second of the end minute", to1230, "12:30:59", false},
        {"window start exactly", to1230, "10:00:00", true},
        {"one second before the start", to1230, "09:59:59", false},
        {"from 10:00 to 09:00", backwards, "09:30:00", false},
        {"from 10:00 to 09:00, later", backwards, "10:30:00", false},
        {"hour 24 ends at 23:59:59", end24, "23:59:59", true},
        {"hour 24 ignores the minute", end24, "00:31:00", true},
        {"whole day, midnight", TimeWindow::wholeDay(), "00:00:00", true},
        {"one-digit hour", to1230, "11:05:09", true},
        {"one-digit hour text", to1230, "1:05:09", false},
        {"not a time", TimeWindow::wholeDay(), "garbage", false},
        {"empty", TimeWindow::wholeDay(), "", false},
        {"out of range", TimeWindow::wholeDay(), "24:00:00", false},
        {"signs", TimeWindow::wholeDay(), "+1:-2:03", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.window.accepts(c.time), c.pass) << c.what;
    EXPECT_EQ(end24.toHour * 10000 + end24.toMinute * 100 + end24.toSecond, 235959);
    EXPECT_EQ(to1230.toSecond, 0);
}

TEST(PrintOrder, CollatedAndUncollatedCopies) {
    EXPECT_EQ(report::printSequence({1, 2, 3}, 2, true), (std::vector<int>{1, 2, 3, 1, 2, 3}));
    EXPECT_EQ(report::printSequence({1, 2, 3}, 2, false), (std::vector<int>{1, 1, 2, 2, 3, 3}));
    EXPECT_EQ(report::printSequence({4}, 0, false), (std::vector<int>{4}));
}

class ShiftRecords : public ::testing::Test {
protected:
    const QDate day{2010, 3, 5};
    const QDate before{2010, 3, 4};
    QTemporaryDir dir;

    QStringList times(int shift, ShiftResult expected = ShiftResult::Ok) {
        report::MemTable t;
        QString error;
        EXPECT_EQ(collectShift(dir.path(), day, shift, &t, &error), expected);
        QStringList out;
        for (int r = 0; r < int(t.rows.size()); ++r)
            out << t.value(r, "DAT").left(2) + " " + t.value(r, "TIME");
        return out;
    }
};

TEST_F(ShiftRecords, ShiftWindowsTakeBothEnds) {
    writeDosing(dir.path(), before,
                {{"14:00:00", "02", 1},
                 {"21:59:59", "02", 1},
                 {"22:00:00", "02", 1},
                 {"23:59:59", "02", 1}});
    writeDosing(dir.path(), day,
                {{"00:00:00", "02", 1},
                 {"05:59:59", "02", 1},
                 {"06:00:00", "02", 1},
                 {"06:00:01", "02", 1},
                 {"14:00:00", "02", 1},
                 {"22:00:00", "02", 1},
                 {"22:00:01", "02", 1}});
    EXPECT_EQ(times(0), (QStringList{"04 22:00:00", "04 23:59:59", "05 00:00:00", "05 05:59:59",
                                     "05 06:00:00"}));
    EXPECT_EQ(times(1), (QStringList{"05 06:00:00", "05 06:00:01", "05 14:00:00"}));
    EXPECT_EQ(times(2), (QStringList{"05 14:00:00", "05 22:00:00"}));
}

TEST_F(ShiftRecords, MissingDayIsReportedAndMissingDayBeforeIsNot) {
    writeDosing(dir.path(), before, {{"23:00:00", "02", 1}});
    EXPECT_EQ(times(0, ShiftResult::MissingDay), QStringList());
    writeDosing(dir.path(), day.addDays(1), {{"01:00:00", "02", 1}});
    QDir(dir.path())
        .remove(QFileInfo(daily::fileName(dir.path(), daily::kDosing, before)).fileName());
    writeDosing(dir.path(), day, {{"01:00:00", "02", 1}});
    EXPECT_EQ(times(0), (QStringList{"05 01:00:00"}));
}

TEST_F(ShiftRecords, SortedByCodeKeepingRecordOrderAndNothingWritten) {
    writeDosing(dir.path(), before, {{"22:30:00", "05", 1}, {"22:40:00", "02", 2}});
    writeDosing(dir.path(), day,
                {{"01:00:00", "05", 3},
                 {"02:00:00", "02", 4},
                 {"03:00:00", "100", 5},
                 {"04:00:00", "15", 6}});
    const QStringList filesBefore = folderNames(dir.path());
    report::MemTable t;
    QString error;
    ASSERT_EQ(collectShift(dir.path(), day, 0, &t, &error), ShiftResult::Ok);
    QStringList order;
    for (int r = 0; r < int(t.rows.size()); ++r)
        order << t.value(r, "COD_MAT") + "/" + t.value(r, "VES");
    // Text order of the code, as an index on the field gives; equal codes keep their order.
    EXPECT_EQ(order, (QStringList{"02/2", "02/4", "05/1", "05/3", "100/5", "15/6"}));
    EXPECT_EQ(folderNames(dir.path()), filesBefore) << "no temporary table on disk";
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("tmp.dbf")));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("tmp.mdx")));
}

TEST_F(ShiftRecords, DamagedDayTableIsAReadError) {
    QFile f(daily::fileName(dir.path(), daily::kDosing, day));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("this is not a table");
    f.close();
    report::MemTable t;
    QString error;
    EXPECT_EQ(collectShift(dir.path(), day, 1, &t, &error), ShiftResult::ReadError);
    EXPECT_FALSE(error.isEmpty());
}

// What the operator reads when a day's table cannot be shown: a text of the language file
// with the file's name, in the station's language, never the reader's own English words.
TEST(DayTables, UnreadableTablesAreReportedInTheStationsLanguage) {
    QTemporaryDir dir;
    const QDate day(2010, 3, 5);
    const QString dosing = daily::fileName(dir.path(), daily::kDosing, day);
    const QString journal = daily::fileName(dir.path(), daily::kJournal, day);
    QFile junk(dosing);
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("short");
    junk.close();
    writeJournal(dir.path(), day, {{"08:00:00", "Запуск программы", 0}});
    report::MemTable t;
    QString error;

    MainTexts english = MainTexts::defaults();
    english.lngBadTable = QStringLiteral("Damaged file, not a table:");
    english.lngNoField = QStringLiteral("The table has no field");
    const struct {
        MainTexts texts;
        std::string damaged, noField;
    } cases[] = {
        {MainTexts::defaults(), "Файл повреждён, это не таблица: doz_2010_03_05.dbf",
         "В таблице нет поля HOUR: jur_2010_03_05.dbf"},
        {english, "Damaged file, not a table: doz_2010_03_05.dbf",
         "The table has no field HOUR: jur_2010_03_05.dbf"},
    };
    for (const auto& c : cases) {
        MainTextStore::set(c.texts);
        EXPECT_FALSE(readDosing(dosing, &t, &error));
        EXPECT_EQ(error.toStdString(), c.damaged);
        // A journal read as a dosing table lacks the dosing fields.
        EXPECT_FALSE(readDosing(journal, &t, &error));
        EXPECT_EQ(error.toStdString(), c.noField);
    }
    MainTextStore::set(MainTexts::defaults());
}

TEST(DayTables, DosingRecordsReadAsPrinted) {
    QTemporaryDir dir;
    const QDate day(2010, 3, 5);
    writeDosing(dir.path(), day, {{"14:05:09", "07", 1234, "Manual", 6, 1500}});
    report::MemTable t;
    QString error;
    ASSERT_TRUE(readDosing(daily::fileName(dir.path(), daily::kDosing, day), &t, &error))
        << error.toStdString();
    ASSERT_EQ(t.rows.size(), 1u);
    EXPECT_EQ(t.rows[0], (QStringList{"14:05:09", "05.03.2010", "14", "5", "6", "1500", "07",
                                      "1234", "Manual"}));
}
