// The event list model: capacity, order, line text, alarm flag and journal code.
#include "EventList.h"

#include <gtest/gtest.h>

namespace {

const QDateTime kWhen(QDate(2013, 3, 25), QTime(14, 5, 9));
const QLocale kRussian(QLocale::Russian, QLocale::Russia);

TEST(AlarmEventList, ThirtyFirstEventDropsTheOldest) {
    EventList list(nullptr, kRussian);
    for (int i = 1; i <= 31; ++i)
        list.add(QStringLiteral("e%1").arg(i), colours::kBlack, kWhen.addSecs(i));
    ASSERT_EQ(list.size(), EventList::kCapacity);
    ASSERT_EQ(list.rowCount(), 30);
    EXPECT_EQ(list.at(0).text, QStringLiteral("25.03.2013  14:05:40  e31"));
    EXPECT_EQ(list.at(29).text, QStringLiteral("25.03.2013  14:05:11  e2"));
    for (int i = 0; i < 30; ++i)
        EXPECT_TRUE(list.at(i).text.endsWith(QStringLiteral("  e%1").arg(31 - i))) << i;
}

TEST(AlarmEventList, ViewsLearnOfEveryRowChange) {
    EventList list(nullptr, kRussian);
    for (int i = 0; i < 30; ++i)
        list.add(QStringLiteral("x"), colours::kBlack, kWhen);
    int removedFirst = -1, removedLast = -1, insertedAt = -1;
    QObject::connect(&list, &QAbstractItemModel::rowsRemoved,
                     [&](const QModelIndex&, int first, int last) {
                         removedFirst = first;
                         removedLast = last;
                         EXPECT_EQ(insertedAt, -1) << "the oldest goes before the new one comes";
                     });
    QObject::connect(&list, &QAbstractItemModel::rowsInserted,
                     [&](const QModelIndex&, int first, int) { insertedAt = first; });
    list.add(QStringLiteral("new"), colours::kRed, kWhen);
    EXPECT_EQ(removedFirst, 29);
    EXPECT_EQ(removedLast, 29);
    EXPECT_EQ(insertedAt, 0);
    EXPECT_EQ(list.data(list.index(0), Qt::DisplayRole).toString(),
              QStringLiteral("25.03.2013  14:05:09  new"));
    EXPECT_TRUE(list.data(list.index(0), kAlarmRole).toBool());
    EXPECT_FALSE(list.data(list.index(1), kAlarmRole).toBool());
    EXPECT_FALSE(list.data(list.index(30), Qt::DisplayRole).isValid());
}

TEST(AlarmEventList, OnlyRedIsAnAlarm) {
    struct Case {
        QRgb colour;
        bool alarm;
        int code;
    };
    const Case cases[] = {
        {colours::kRed, true, 1},    // alarm raised, link lost
        {0x00FF0000u, true, 1},      // red given without alpha
        {colours::kBlack, false, 0}, // alarm cleared, start-up
        {colours::kBlue, false, 0},  // link restored
        {0xFFFE0000u, false, 0},     // nearly red is not red
        {0xFFFF0001u, false, 0},     {0xFFFF00FFu, false, 0}, {0xFFFFFFFFu, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.colour);
        EventList list(nullptr, kRussian);
        EXPECT_EQ(list.add(QStringLiteral("t"), c.colour, kWhen).alarm, c.alarm);
        EXPECT_EQ(list.at(0).alarm, c.alarm);
        EXPECT_EQ(EventList::journalCode(c.colour), c.code);
    }
}

TEST(AlarmEventList, ClearEmptiesAndTheNextEventIsTheOnlyLine) {
    EventList list(nullptr, kRussian);
    for (int i = 0; i < 5; ++i)
        list.add(QStringLiteral("old"), colours::kRed, kWhen);
    int resets = 0;
    QObject::connect(&list, &QAbstractItemModel::modelReset, [&] { ++resets; });
    list.clear();
    EXPECT_EQ(list.size(), 0);
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_EQ(resets, 1);
    list.add(QStringLiteral("Связь с ШВУ установлена"), colours::kBlue, kWhen);
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list.at(0).text, QStringLiteral("25.03.2013  14:05:09  Связь с ШВУ установлена"));
    EXPECT_FALSE(list.at(0).alarm);
}

// One date form on every screen: the system's short date under a Russian system locale,
// dd.MM.yyyy under any other (never a month name); the time in the system's long format.
TEST(AlarmEventList, LineUsesTheStationsDateAndLongTimeWithoutZone) {
    struct Case {
        QLocale locale;
        const char* line;
    };
    const QDateTime afternoon(QDate(2013, 3, 25), QTime(14, 5, 9));
    const Case cases[] = {
        {kRussian, "25.03.2013  14:05:09  Запуск программы"},
        {QLocale(QLocale::German, QLocale::Germany), "25.03.2013  14:05:09  Запуск программы"},
        {QLocale(QLocale::English, QLocale::UnitedStates),
         "25.03.2013  2:05:09 PM  Запуск программы"},
        {QLocale::c(), "25.03.2013  14:05:09  Запуск программы"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale.name().toStdString());
        EventList list(nullptr, c.locale);
        list.add(QStringLiteral("Запуск программы"), colours::kBlack, afternoon);
        EXPECT_EQ(list.at(0).text, QString::fromUtf8(c.line));
    }
}

} // namespace
