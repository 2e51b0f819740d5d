// The history chart's rules without a display: zoom step, rounding, readout texts, print
// margins, and reading one doser's curves from an archive table.
#include "HistoryRules.h"
#include "DailyTables.h"
#include "DbfTable.h"
#include "HistoryDay.h"
#include "HistoryTexts.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace history;

TEST(HistoryZoom, InThenOutGivesNinetySixPercent) {
    const AxisRange start{100, 1100};
    const AxisRange in = zoomed(start, kZoomIn);
    EXPECT_DOUBLE_EQ(in.lower, 200);
    EXPECT_DOUBLE_EQ(in.upper, 1000);
    const AxisRange out = zoomed(in, kZoomOut);
    EXPECT_DOUBLE_EQ(out.lower, 120);
    EXPECT_DOUBLE_EQ(out.upper, 1080);
    EXPECT_DOUBLE_EQ(out.upper - out.lower, 0.96 * (start.upper - start.lower));
}

TEST(HistoryZoom, NegativeRangeMovesBothEnds) {
    const AxisRange r = zoomed({-50, 50}, kZoomOut);
    EXPECT_DOUBLE_EQ(r.lower, -60);
    EXPECT_DOUBLE_EQ(r.upper, 60);
}

TEST(HistoryRounding, HalfGoesToEvenNeighbour) {
    const struct {
        double in;
        double out;
    } cases[] = {{0.5, 0},   {1.5, 2},  {2.5, 2},  {3.5, 4},  {-0.5, 0}, {-1.5, -2},
                 {-0.6, -1}, {-0.4, 0}, {2.49, 2}, {2.51, 3}, {7, 7},    {1e9 + 0.5, 1e9}};
    for (const auto& c : cases)
        EXPECT_EQ(roundHalfEven(c.in), c.out) << c.in;
}

TEST(HistoryFormat, WeightPattern) {
    const QLocale en(QLocale::English, QLocale::UnitedStates);
    const struct {
        double in;
        const char* out;
    } cases[] = {{512, "512"},
                 {0, "0"},
                 {-0.0001, "0"},
                 {1234.5, "1,234.5"},
                 {1234567.891, "1,234,567.891"},
                 {0.12345, "0.123"},
                 {-32768, "-32,768"},
                 {2.0004, "2"},
                 {0.9996, "1"},
                 {65535, "65,535"}};
    for (const auto& c : cases)
        EXPECT_EQ(formatWeight(c.in, en), QString::fromLatin1(c.out)) << c.in;
    const QLocale de(QLocale::German, QLocale::Germany);
    EXPECT_EQ(formatWeight(1234.5, de), QStringLiteral("1.234,5"));
}

TEST(HistoryPrintRect, FivePercentMarginsRoundedToEven) {
    // A4 landscape at 600 dpi: 7016 x 4961 pixels; 350.8 -> 351, 248.05 -> 248.
    EXPECT_EQ(printRect(7016, 4961), QRect(351, 248, 7016 - 702, 4961 - 496));
    // Halves: 248.5 -> 248 (even), 249.5 -> 250 (even).
    EXPECT_EQ(printRect(4970, 4990), QRect(248, 250, 4970 - 496, 4990 - 500));
    // A4 landscape at 1200 dpi: 14031 x 9921; 701.55 -> 702, 496.05 -> 496.
    EXPECT_EQ(printRect(14031, 9921), QRect(702, 496, 14031 - 1404, 9921 - 992));
}

TEST(HistoryTextsTest, StartingReadoutsAndDoserItems) {
    const HistoryTexts t;
    EXPECT_EQ(startTimeReadout(t), QStringLiteral("Время: 00:00:00"));
    EXPECT_EQ(startWeightReadout(t), QStringLiteral("Вес: 0 кг"));
    EXPECT_EQ(doserItemText(t.lngDozator, 6), QStringLiteral("Дозатор 6"));
    // The same date form under every system locale, never "26 Oct 2009".
    for (const QLocale& system : {QLocale(QLocale::Russian, QLocale::Russia), QLocale::c(),
                                  QLocale(QLocale::English, QLocale::UnitedStates)})
        EXPECT_EQ(missingFileMessage(t.labName, QDate(2009, 10, 26), QStringLiteral("отсутствует"),
                                     system),
                  QStringLiteral("История за 26.10.2009 отсутствует"))
            << system.name().toStdString();
}

TEST(HistoryTextsTest, LanguageFileOverridesSomeKeys) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("english.ini"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(
        "[History]\nlngTime = Time\nlngVes=Weight\n btnZoomIn =\"Zoom in\"\n[Main]\nlngKg=lb\n");
    f.close();
    const HistoryTexts t = HistoryTexts::load(path);
    EXPECT_EQ(t.lngTime, QStringLiteral("Time"));
    EXPECT_EQ(t.lngVes, QStringLiteral("Weight"));
    EXPECT_EQ(t.btnZoomIn, QStringLiteral("Zoom in"));
    EXPECT_EQ(t.lngKg, QStringLiteral("кг")); // other section's key does not count
    EXPECT_EQ(startWeightReadout(t), QStringLiteral("Weight: 0 кг"));
}

// A small archive table: record r holds ZADn = 1000 + 10n + r, KORn = 2000 + ..., VESn = -r.
class HistoryArchive : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = daily::fileName(dir.path(), daily::kArchive, QDate(2010, 1, 5));
        QString error;
        ASSERT_TRUE(dbf::create(path, daily::archiveFields(), &error)) << error.toStdString();
        for (int r = 0; r < 4; ++r) {
            std::vector<QString> v{QStringLiteral("10:15:%1").arg(30 + r, 2, 10, QLatin1Char('0')),
                                   QStringLiteral("20100105")};
            for (int n = 1; n <= 6; ++n) {
                v.push_back(QString::number(1000 + 10 * n + r));
                v.push_back(QString::number(2000 + 10 * n + r));
                v.push_back(QString::number(-r * n));
            }
            ASSERT_TRUE(dbf::append(path, v, &error)) << error.toStdString();
        }
    }
    QTemporaryDir dir;
    QString path;
};

TEST_F(HistoryArchive, ReadsTheChosenDosersFieldsInRecordOrder) {
    HistoryDay day;
    QString error;
    ASSERT_TRUE(loadHistoryDay(path, 3, &day, &error)) << error.toStdString();
    ASSERT_EQ(day.size(), 4);
    EXPECT_EQ(day.keys, (QList<double>{0, 1, 2, 3}));
    EXPECT_EQ(day.zad, (QList<double>{1030, 1031, 1032, 1033}));
    EXPECT_EQ(day.kor, (QList<double>{2030, 2031, 2032, 2033}));
    EXPECT_EQ(day.ves, (QList<double>{0, -3, -6, -9}));
    EXPECT_EQ(day.timeLabel(0), QStringLiteral("10:15:30"));
    EXPECT_EQ(day.timeLabel(3), QStringLiteral("10:15:33"));
    EXPECT_EQ(day.timeLabel(4), QString());
    EXPECT_EQ(day.timeLabel(-1), QString());
}

TEST_F(HistoryArchive, ReadoutIndexRules) {
    HistoryDay day;
    QString error;
    ASSERT_TRUE(loadHistoryDay(path, 1, &day, &error));
    const HistoryTexts t;
    const QLocale ru(QLocale::Russian, QLocale::Russia);
    // Left of the first point: nothing.
    EXPECT_FALSE(readout(-0.51, 5, day, t, ru).has_value());
    // -0.5 rounds to 0 (even): the first point.
    auto r = readout(-0.5, 512, day, t, ru);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->time, QStringLiteral("Время: 10:15:30"));
    EXPECT_EQ(r->weight, QStringLiteral("Вес: 512 кг"));
    // 2.5 rounds to 2.
    r = readout(2.5, 1.25, day, t, ru);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->time, QStringLiteral("Время: 10:15:32"));
    EXPECT_EQ(r->weight, QStringLiteral("Вес: 1,25 кг"));
    // Beyond the last point: an empty time, the weight still shown.
    r = readout(3.6, 1500, day, t, ru);
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->time, QStringLiteral("Время: "));
    EXPECT_EQ(r->weight, QStringLiteral("Вес: 1") + ru.groupSeparator() + QStringLiteral("500 кг"));
    EXPECT_TRUE(readout(1e12, 0, day, t, ru).has_value());
}

TEST_F(HistoryArchive, RejectsBadDoserMissingFileAndForeignTable) {
    HistoryDay day;
    QString error;
    EXPECT_FALSE(loadHistoryDay(path, 0, &day, &error));
    EXPECT_FALSE(loadHistoryDay(path, 7, &day, &error));
    error.clear();
    EXPECT_FALSE(
        loadHistoryDay(dir.filePath(QStringLiteral("arh_2010_01_06.dbf")), 1, &day, &error));
    EXPECT_FALSE(error.isEmpty());

    // A journal table has no ZADn fields.
    const QString jur = daily::fileName(dir.path(), daily::kJournal, QDate(2010, 1, 5));
    ASSERT_TRUE(dbf::create(jur, daily::journalFields(), &error));
    error.clear();
    EXPECT_FALSE(loadHistoryDay(jur, 1, &day, &error));
    EXPECT_EQ(error.toStdString(), "В таблице нет поля ZAD1: jur_2010_01_05.dbf");
    EXPECT_EQ(day.size(), 0);

    // Not a table at all.
    QFile junk(dir.filePath(QStringLiteral("junk.dbf")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("this is not a table");
    junk.close();
    error.clear();
    EXPECT_FALSE(loadHistoryDay(junk.fileName(), 1, &day, &error));
    EXPECT_EQ(error.toStdString(), "Файл повреждён, это не таблица: junk.dbf");
}
