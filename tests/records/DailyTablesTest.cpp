// Daily file naming, the date in a file name, and retention.
#include "DailyTables.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void touch(const QString& path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
}

QStringList filesIn(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

TEST(DailyTables, FileNames) {
    EXPECT_EQ(daily::fileName("/w", daily::kDosing, QDate(2009, 10, 26)), "/w/doz_2009_10_26.dbf");
    EXPECT_EQ(daily::fileName("/w", daily::kJournal, QDate(2010, 1, 5)), "/w/jur_2010_01_05.dbf");
    EXPECT_EQ(daily::fileName("/w", daily::kArchive, QDate(2010, 12, 31)), "/w/arh_2010_12_31.dbf");
}

TEST(DailyTables, DateOfName) {
    const struct {
        const char* name;
        QDate date;
    } cases[] = {
        {"doz_2009_09_01.dbf", QDate(2009, 9, 1)},
        {"doz_2009_09_01a.dbf", QDate(2009, 9, 1)}, // a copy with a suffix keeps its date
        {"doz_2009-09-01.dbf", QDate(2009, 9, 1)},  // only the digit positions are read
        {"doz_2010_02_29.dbf", QDate()},            // no such day
        {"doz_2009_13_01.dbf", QDate()},
        {"doz_garbage.dbf", QDate()},
        {"doz_.dbf", QDate()},
        {"doz_2009_09_0.dbf", QDate()}, // too short
        {"doz_2009_0x_01.dbf", QDate()},
        {"jur_2009_09_01.dbf", QDate()}, // another kind
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(daily::dateOfName(c.name, daily::kDosing), c.date);
    }
}

// 45 journal files, one a day from 1 September 2009.
void fortyFiveJournals(const QString& dir) {
    for (int i = 0; i < 45; ++i)
        touch(daily::fileName(dir, daily::kJournal, QDate(2009, 9, 1).addDays(i)));
}

struct RetentionCase {
    const char* what;
    std::vector<const char*> present; // besides the new file
    const char* created;              // the new file, already on disk
    int maxFiles;
    const char* deleted; // "" for none
};

TEST(DailyTables, Retention) {
    const RetentionCase cases[] = {
        {"under the limit",
         {"doz_2009_09_01.dbf", "doz_2009_09_02.dbf"},
         "doz_2009_09_03.dbf",
         3,
         ""},
        {"one over",
         {"doz_2009_09_02.dbf", "doz_2009_09_01.dbf"},
         "doz_2009_09_03.dbf",
         2,
         "doz_2009_09_01.dbf"},
        {"the earliest by name, not by listing",
         {"doz_2010_01_01.dbf", "doz_2009_12_31.dbf", "doz_2011_01_01.dbf"},
         "doz_2011_01_02.dbf",
         3,
         "doz_2009_12_31.dbf"},
        {"same date: the first listed goes",
         {"doz_2009_09_01a.dbf", "doz_2009_09_01.dbf", "doz_2009_09_02.dbf"},
         "doz_2009_09_03.dbf",
         3,
         "doz_2009_09_01.dbf"},
        {"same date, copy listed first",
         {"doz_2009_09_01_copy.dbf", "doz_2009_09_01a.dbf"},
         "doz_2009_09_03.dbf",
         2,
         "doz_2009_09_01_copy.dbf"},
        {"at most one deletion",
         {"doz_2009_09_01.dbf", "doz_2009_09_02.dbf", "doz_2009_09_03.dbf"},
         "doz_2009_09_04.dbf",
         1,
         "doz_2009_09_01.dbf"},
        {"hand-made names are neither counted nor deleted",
         {"doz_garbage.dbf", "doz_0000_00_00.dbf", "doz_2009_09_02.dbf"},
         "doz_2009_09_03.dbf",
         2,
         ""},
        {"other kinds are not counted",
         {"jur_2001_01_01.dbf", "arh_2001_01_01.dbf", "doz_2009_09_02.dbf"},
         "doz_2009_09_03.dbf",
         2,
         ""},
        {"other extensions are not counted",
         {"doz_2001_01_01.txt", "doz_2001_01_01.dbf.bak", "doz_2009_09_02.dbf"},
         "doz_2009_09_03.dbf",
         2,
         ""},
        {"the new file is never deleted, even when it is the oldest",
         {"doz_2009_09_02.dbf", "doz_2009_09_03.dbf"},
         "doz_2000_01_01.dbf",
         2,
         "doz_2009_09_02.dbf"},
    };
    for (const RetentionCase& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        QStringList before;
        for (const char* name : c.present) {
            touch(dir.filePath(name));
            before << name;
        }
        touch(dir.filePath(c.created));
        before << c.created;
        const QString deleted =
            daily::prune(dir.path(), daily::kDosing, c.maxFiles, dir.filePath(c.created));
        QStringList expected = before;
        if (*c.deleted) {
            EXPECT_EQ(deleted, dir.filePath(c.deleted));
            expected.removeOne(c.deleted);
        } else {
            EXPECT_TRUE(deleted.isEmpty()) << deleted.toStdString();
        }
        expected.sort();
        EXPECT_EQ(filesIn(dir.path()), expected);
    }
}

TEST(DailyTables, FortyFiveJournalsThenANewDay) {
    QTemporaryDir dir;
    fortyFiveJournals(dir.path());
    touch(dir.filePath("doz_2009_01_01.dbf"));
    touch(dir.filePath("arh_2009_01_01.dbf"));
    const QString path = daily::ensureTable(
        dir.path(), daily::kJournal, daily::journalFields(), QDate(2009, 10, 16), [] { return 45; },
        nullptr);
    EXPECT_EQ(path, dir.filePath("jur_2009_10_16.dbf"));
    const QStringList files = filesIn(dir.path());
    EXPECT_FALSE(files.contains("jur_2009_09_01.dbf"));
    EXPECT_TRUE(files.contains("jur_2009_09_02.dbf"));
    EXPECT_TRUE(files.contains("jur_2009_10_16.dbf"));
    EXPECT_EQ(daily::listKind(dir.path(), daily::kJournal).size(), 45);
    // Other kinds untouched, however old.
    EXPECT_TRUE(files.contains("doz_2009_01_01.dbf"));
    EXPECT_TRUE(files.contains("arh_2009_01_01.dbf"));

    // Asking again the same day creates nothing and deletes nothing.
    daily::ensureTable(
        dir.path(), daily::kJournal, daily::journalFields(), QDate(2009, 10, 16), [] { return 2; },
        nullptr);
    EXPECT_EQ(daily::listKind(dir.path(), daily::kJournal).size(), 45);
}

TEST(DailyTables, LoweredLimitShrinksByOneFilePerNewDay) {
    QTemporaryDir dir;
    fortyFiveJournals(dir.path());
    int limit = 45;
    auto max = [&] { return limit; };
    limit = 40; // read when the file is created
    daily::ensureTable(dir.path(), daily::kJournal, daily::journalFields(), QDate(2009, 10, 16),
                       max, nullptr);
    EXPECT_EQ(daily::listKind(dir.path(), daily::kJournal).size(), 45);
    daily::ensureTable(dir.path(), daily::kJournal, daily::journalFields(), QDate(2009, 10, 17),
                       max, nullptr);
    EXPECT_EQ(daily::listKind(dir.path(), daily::kJournal).size(), 45);
    EXPECT_EQ(daily::listKind(dir.path(), daily::kJournal).first(), "jur_2009_09_03.dbf");
}

TEST(DailyTables, ListingIsStableAndSkipsHiddenFilesAndFolders) {
    QTemporaryDir dir;
    for (const char* n : {"arh_2009_09_02.dbf", "arh_2009_09_01a.dbf", ".arh_2001_01_01.dbf",
                          "arh_2009_09_01.dbf", "ARH_2000_01_01.dbf"})
        touch(dir.filePath(n));
    ASSERT_TRUE(QDir(dir.path()).mkdir("arh_1999_01_01.dbf"));
    EXPECT_EQ(daily::listKind(dir.path(), daily::kArchive),
              QStringList({"arh_2009_09_01.dbf", "arh_2009_09_01a.dbf", "arh_2009_09_02.dbf"}));
}

TEST(DailyTables, EnsureTableReportsAFolderItCannotWrite) {
    QTemporaryDir dir;
    QString error;
    EXPECT_TRUE(daily::ensureTable(dir.filePath("missing"), daily::kDosing, daily::dosingFields(),
                                   QDate(2010, 1, 5), {}, &error)
                    .isEmpty());
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
