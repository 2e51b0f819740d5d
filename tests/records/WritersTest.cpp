// The three record writers: what each record holds, when one is written, the day's file of
// a record, and what happens while writing fails.
#include "ArchiveWriter.h"
#include "DailyTables.h"
#include "DosingRecorder.h"
#include "JournalWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <map>
#include <sys/file.h>
#include <unistd.h>

namespace {

// Set dose, corrected setpoint and current weight of dosers 1..6: the first byte of each
// word in the 130-byte image (low byte first; the weights are signed).
constexpr int kSetDoseAt[6] = {2, 35, 41, 5, 32, 38};
constexpr int kCorrectedAt[6] = {9, 47, 51, 11, 45, 49};
constexpr int kWeightAt[6] = {15, 57, 61, 17, 55, 59};

// A clock that moves on by `step` milliseconds each time it is read.
struct TestClock {
    QDateTime t;
    int step = 0;
    int reads = 0;
    DailyWriter::Clock fn() {
        return [this] {
            ++reads;
            const QDateTime now = t;
            t = t.addMSecs(step);
            return now;
        };
    }
};

QDateTime at(int y, int mo, int d, int h, int mi, int s, int ms = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms));
}

// One table's records as text, field by field, in a readable form.
std::vector<std::map<std::string, std::string>> records(const QString& path) {
    DbfReader r;
    QString error;
    std::vector<std::map<std::string, std::string>> out;
    if (!r.open(path, &error)) {
        ADD_FAILURE() << error.toStdString();
        return out;
    }
    for (int i = 0; i < r.recordCount(); ++i) {
        std::map<std::string, std::string> rec;
        for (int f = 0; f < int(r.fields().size()); ++f)
            rec[r.fields()[f].name.toStdString()] = r.text(i, f).trimmed().toStdString();
        out.push_back(rec);
    }
    return out;
}

std::vector<std::string> column(const QString& path, const char* field) {
    std::vector<std::string> out;
    for (auto& rec : records(path))
        out.push_back(rec[field]);
    return out;
}

// ---- dosing ----

// A read answer's completed-dose areas: per doser counter, setpoint, code, weight.
struct Entry {
    int counter = 0;
    int setpoint = 0;
    int code = 0;
    int weight = 0;
};

int entryByte(int doser) {
    switch (doser) {
    case 1:
        return 90;
    case 4:
        return 96;
    case 5:
        return 103;
    case 2:
        return 109;
    case 6:
        return 115;
    default:
        return 121; // doser 3
    }
}

std::array<std::uint8_t, 130> answer(const std::map<int, Entry>& entries, int mode1 = 1,
                                     int mode2 = 1) {
    std::array<std::uint8_t, 130> a{};
    for (const auto& [doser, e] : entries) {
        const int k = entryByte(doser);
        a[k] = std::uint8_t(e.counter);
        a[k + 1] = std::uint8_t(e.setpoint & 0xFF);
        a[k + 2] = std::uint8_t(e.setpoint >> 8);
        a[k + 3] = std::uint8_t(e.code);
        a[k + 4] = std::uint8_t(e.weight & 0xFF);
        a[k + 5] = std::uint8_t(e.weight >> 8);
    }
    a[102] = std::uint8_t(mode1);
    a[127] = std::uint8_t(mode2);
    return a;
}

std::map<int, Entry> counters(std::initializer_list<std::pair<int, int>> list) {
    std::map<int, Entry> m;
    for (auto [doser, counter] : list)
        m[doser].counter = counter;
    return m;
}

struct DosingCase {
    const char* what;
    std::vector<std::map<int, Entry>> answers;
    std::vector<std::string> dosers; // DOZATOR of the records written, in order
};

TEST(DosingRecorder, RecordsFollowTheCounters) {
    const DosingCase cases[] = {
        {"the first answer only primes", {counters({{2, 17}})}, {}},
        {"17 then 17: nothing; 18: doser 2",
         {counters({{2, 17}}), counters({{2, 17}}), counters({{2, 18}})},
         {"2"}},
        {"18 to 0 nothing, 0 to 1 one record",
         {counters({{2, 18}}), counters({{2, 0}}), counters({{2, 1}})},
         {"2"}},
        {"dosers 3 and 1 in one cycle, 3 first",
         {counters({}), counters({{1, 1}, {3, 1}})},
         {"3", "1"}},
        {"all six in the row order 5, 2, 6, 3, 1, 4",
         {counters({}), counters({{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}})},
         {"5", "2", "6", "3", "1", "4"}},
        {"a wrap-around and a jump each count once",
         {counters({{4, 255}}), counters({{4, 1}}), counters({{4, 50}}), counters({{4, 50}})},
         {"4", "4"}},
    };
    for (const DosingCase& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        TestClock clock{at(2010, 1, 5, 8, 0, 0), 1000};
        DosingRecorder rec(
            dir.path(), [] { return 45; }, {}, clock.fn());
        ProcessImage image;
        for (const auto& a : c.answers) {
            image.update(answer(a).data());
            rec.CompleteDoza(image);
            EXPECT_EQ(rec.rowsValid(), DosingRecorder::kRowsValid);
        }
        const QString path = daily::fileName(dir.path(), daily::kDosing, QDate(2010, 1, 5));
        if (c.dosers.empty())
            EXPECT_FALSE(QFile::exists(path)); // a day without doses has no file
        else
            EXPECT_EQ(column(path, "DOZATOR"), c.dosers);
    }
}

TEST(DosingRecorder, RecordValuesAndSectionModes) {
    QTemporaryDir dir;
    TestClock clock{at(2010, 1, 5, 14, 5, 9)};
    DosingRecorder rec(
        dir.path(), [] { return 45; }, {}, clock.fn());
    ProcessImage image;
    image.update(answer({}).data());
    rec.CompleteDoza(image);
    // Doser 5 (section 2, mode bit clear) and doser 1 (section 1, automatic).
    std::map<int, Entry> e;
    e[5] = {1, 0x03E8, 5, 0x03F4};
    e[1] = {7, 65535, 12, 65535};
    image.update(answer(e, /*mode1=*/0x01, /*mode2=*/0xFE).data());
    rec.CompleteDoza(image);
    const auto recs = records(daily::fileName(dir.path(), daily::kDosing, QDate(2010, 1, 5)));
    ASSERT_EQ(recs.size(), 2u);
    using M = std::map<std::string, std::string>;
    EXPECT_EQ(recs[0], (M{{"TIME", "14:05:09"},
                          {"DAT", "20100105"},
                          {"HOUR", "14"},
                          {"MIN", "5"},
                          {"DOZATOR", "5"},
                          {"SKOR_ZAD", "1000"},
                          {"COD_MAT", "05"},
                          {"VES", "1012"},
                          {"REG_DOZ", "Manual"}}));
    EXPECT_EQ(recs[1].at("DOZATOR"), "1");
    EXPECT_EQ(recs[1].at("SKOR_ZAD"), "65535");
    EXPECT_EQ(recs[1].at("VES"), "65535"); // unsigned
    EXPECT_EQ(recs[1].at("COD_MAT"), "12");
    EXPECT_EQ(recs[1].at("REG_DOZ"), "Automatik");
}

TEST(DosingRecorder, ResetPrimesAgain) {
    QTemporaryDir dir;
    DosingRecorder rec(dir.path(), [] { return 45; });
    ProcessImage image;
    image.update(answer(counters({{6, 3}})).data());
    rec.CompleteDoza(image);
    rec.reset();
    image.update(answer(counters({{6, 4}})).data());
    rec.CompleteDoza(image);
    EXPECT_TRUE(daily::listKind(dir.path(), daily::kDosing).isEmpty());
}

// A record detected a moment before midnight: the clock is read once, so the file, TIME,
// DAT, HOUR and MIN all name the old day, even though the clock moves on meanwhile.
TEST(Writers, OneClockReadingPerRecordAtMidnight) {
    QTemporaryDir dir;
    TestClock clock{at(2009, 12, 31, 23, 59, 59, 999), 1};
    DosingRecorder dosing(
        dir.path(), [] { return 45; }, {}, clock.fn());
    ProcessImage image;
    image.update(answer({}).data());
    dosing.CompleteDoza(image);
    image.update(answer(counters({{3, 1}})).data());
    dosing.CompleteDoza(image);
    EXPECT_EQ(clock.reads, 1);

    JournalWriter journal(
        dir.path(), [] { return 45; }, {}, clock.fn());
    clock.t = at(2009, 12, 31, 23, 59, 59, 999);
    journal.Jurnal("last of the year", 0);
    journal.Jurnal("first of the year", 0);

    ArchiveWriter archive(
        dir.path(), [] { return 45; }, {}, clock.fn());
    clock.t = at(2009, 12, 31, 23, 59, 59, 999);
    archive.Arhive(ImageData{});
    archive.Arhive(ImageData{});

    const auto doz = records(dir.filePath("doz_2009_12_31.dbf"));
    ASSERT_EQ(doz.size(), 1u);
    EXPECT_EQ(doz[0].at("TIME"), "23:59:59");
    EXPECT_EQ(doz[0].at("DAT"), "20091231");
    EXPECT_EQ(doz[0].at("HOUR"), "23");
    EXPECT_EQ(doz[0].at("MIN"), "59");
    EXPECT_FALSE(QFile::exists(dir.filePath("doz_2010_01_01.dbf")));

    for (const char* kind : {"jur_", "arh_"}) {
        SCOPED_TRACE(kind);
        const auto old = records(dir.filePath(QString(kind) + "2009_12_31.dbf"));
        const auto fresh = records(dir.filePath(QString(kind) + "2010_01_01.dbf"));
        ASSERT_EQ(old.size(), 1u);
        ASSERT_EQ(fresh.size(), 1u);
        EXPECT_EQ(old[0].at("TIME"), "23:59:59");
        EXPECT_EQ(old[0].at("DAT"), "20091231");
        EXPECT_EQ(fresh[0].at("TIME"), "00:00:00");
        EXPECT_EQ(fresh[0].at("DAT"), "20100101");
    }
}

TEST(Writers, TimeIsTwentyFourHourWhateverTheLocale) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QTemporaryDir dir;
    TestClock clock{at(2010, 1, 5, 3, 4, 5)};
    JournalWriter journal(
        dir.path(), [] { return 45; }, {}, clock.fn());
    journal.Jurnal("morning", 0);
    clock.t = at(2010, 1, 5, 15, 4, 5);
    journal.Jurnal("afternoon", 0);
    QLocale::setDefault(saved);
    EXPECT_EQ(column(dir.filePath("jur_2010_01_05.dbf"), "TIME"),
              (std::vector<std::string>{"03:04:05", "15:04:05"}));
}

// ---- journal ----

TEST(JournalWriter, TextsAndCodes) {
    QTemporaryDir dir;
    TestClock clock{at(2010, 1, 5, 8, 0, 0)};
    JournalWriter journal(
        dir.path(), [] { return 45; }, {}, clock.fn());
    const QString longText = QString("Авария ").repeated(15); // 105 characters
    journal.Jurnal("Запуск программы", JournalWriter::Event);
    journal.Jurnal("Сбой связи с ШВУ", JournalWriter::Alarm);
    journal.Jurnal(longText, JournalWriter::Alarm);
    journal.Jurnal("Выход из программы", JournalWriter::Exit);
    DbfReader r;
    ASSERT_TRUE(r.open(dir.filePath("jur_2010_01_05.dbf"), nullptr));
    ASSERT_EQ(r.recordCount(), 4);
    EXPECT_EQ(r.text(0, 2), QString("Запуск программы"));
    EXPECT_EQ(r.text(1, 2), QString("Сбой связи с ШВУ"));
    EXPECT_EQ(r.text(2, 2), longText.left(90).trimmed());
    EXPECT_EQ(r.raw(2, 2).size(), 90);
    EXPECT_EQ(r.text(3, 2), QString("Выход из программы"));
    EXPECT_EQ(r.number(0, 3), 0);
    EXPECT_EQ(r.number(1, 3), 1);
    EXPECT_EQ(r.number(3, 3), 2);
}

TEST(JournalWriter, NewFileRunsTheJournalRetention) {
    QTemporaryDir dir;
    for (int i = 0; i < 45; ++i) {
        QFile f(daily::fileName(dir.path(), daily::kJournal, QDate(2009, 9, 1).addDays(i)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QFile garbage(dir.filePath("jur_garbage.dbf"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    std::atomic<int> maxArhDay{45};
    TestClock clock{at(2009, 10, 16, 0, 0, 1)};
    int failures = 0;
    JournalWriter journal(
        dir.path(), [&] { return maxArhDay.load(); }, [&](const QString&) { ++failures; },
        clock.fn());
    journal.Jurnal("first event of the day", 0);
    EXPECT_EQ(failures, 0);
    EXPECT_FALSE(QFile::exists(dir.filePath("jur_2009_09_01.dbf")));
    EXPECT_TRUE(QFile::exists(dir.filePath("jur_2009_09_02.dbf")));
    EXPECT_TRUE(QFile::exists(dir.filePath("jur_garbage.dbf")));
    EXPECT_EQ(column(dir.filePath("jur_2009_10_16.dbf"), "REC_STR"),
              std::vector<std::string>{"first event of the day"});
}

// ---- archive ----

TEST(ArchiveWriter, EighteenValuesWithSignedWeights) {
    QTemporaryDir dir;
    TestClock clock{at(2010, 1, 5, 12, 0, 0)};
    ArchiveWriter archive(
        dir.path(), [] { return 45; }, {}, clock.fn());
    ImageData img;
    auto put = [&](int k, int v) {
        img.b[k] = std::uint8_t(v & 0xFF);
        img.b[k + 1] = std::uint8_t((v >> 8) & 0xFF);
    };
    // Every word distinct so a swapped byte address shows.
    const int set[6] = {65535, 102, 103, 104, 105, 106}; // dosers 1..6
    const int cor[6] = {201, 202, 203, 204, 205, 206};
    const int wgt[6] = {-10, -32768, 32767, 0, 1000, -1};
    for (int d = 0; d < 6; ++d) {
        put(kSetDoseAt[d], set[d]);
        put(kCorrectedAt[d], cor[d]);
        put(kWeightAt[d], wgt[d]);
    }
    EXPECT_EQ(img.b[15], 0xF6); // doser 1's weight at bytes 15, 16
    EXPECT_EQ(img.b[16], 0xFF);
    EXPECT_EQ(img.b[55], 0xE8); // doser 5's weight at bytes 55, 56
    EXPECT_EQ(img.b[56], 0x03);
    archive.Arhive(img);
    const auto recs = records(dir.filePath("arh_2010_01_05.dbf"));
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_EQ(recs[0].at("TIME"), "12:00:00");
    EXPECT_EQ(recs[0].at("DAT"), "20100105");
    for (int d = 0; d < 6; ++d) {
        SCOPED_TRACE(d + 1);
        const std::string n = std::to_string(d + 1);
        EXPECT_EQ(recs[0].at("ZAD" + n), std::to_string(set[d]));
        EXPECT_EQ(recs[0].at("KOR" + n), std::to_string(cor[d]));
        EXPECT_EQ(recs[0].at("VES" + n), std::to_string(wgt[d]));
    }
}

// ---- failures ----

// Writing fails while another program holds the day's table locked (also for root).
struct Blocker {
    QString path;
    int fd = -1;
    ~Blocker() { unblock(); }
    void block() {
        const QString name = QFileInfo(path).fileName();
        const auto& fields = name.startsWith(daily::kDosing)    ? daily::dosingFields()
                             : name.startsWith(daily::kJournal) ? daily::journalFields()
                                                                : daily::archiveFields();
        if (!QFile::exists(path)) {
            ASSERT_TRUE(dbf::create(path, fields, nullptr));
        }
        fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    }
    void unblock() {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
};

TEST(JournalWriter, KeepsFailedRecordsInOrderAndReportsOncePerStreak) {
    QTemporaryDir dir;
    TestClock clock{at(2010, 1, 5, 23, 59, 58), 1000};
    QStringList reports;
    JournalWriter journal(
        dir.path(), [] { return 45; }, [&](const QString& f) { reports << f; }, clock.fn());
    Blocker old{dir.filePath("jur_2010_01_05.dbf")};
    old.block();
    journal.Jurnal("one", 1);
    journal.Jurnal("two", 0); // 23:59:59
    EXPECT_EQ(journal.keptCount(), 2u);
    EXPECT_EQ(reports, QStringList{old.path});
    EXPECT_FALSE(journal.lastError().isEmpty());

    old.unblock();
    journal.Jurnal("three", 0); // the next day: the kept ones go to their own day first
    EXPECT_EQ(journal.keptCount(), 0u);
    EXPECT_EQ(column(old.path, "REC_STR"), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(column(old.path, "TIME"), (std::vector<std::string>{"23:59:58", "23:59:59"}));
    EXPECT_EQ(column(old.path, "CODZ"), (std::vector<std::string>{"1", "0"}));
    EXPECT_EQ(column(dir.filePath("jur_2010_01_06.dbf"), "REC_STR"),
              (std::vector<std::string>{"three"}));
    EXPECT_EQ(reports.size(), 1);

    // A new streak is reported again.
    Blocker fresh{dir.filePath("jur_2010_01_06.dbf")};
    QFile::remove(fresh.path);
    fresh.block();
    journal.Jurnal("four", 0);
    EXPECT_EQ(reports.size(), 2);
    fresh.unblock();
    EXPECT_TRUE(journal.flushKept()); // a retry without a new record
    EXPECT_EQ(column(fresh.path, "REC_STR"), (std::vector<std::string>{"four"}));
}

TEST(JournalWriter, ReportingTheFailureThroughTheJournalItselfIsSafe) {
    QTemporaryDir dir;
    TestClock clock{at(2010, 1, 5, 10, 0, 0)};
    int reports = 0;
    std::unique_ptr<JournalWriter> journal;
    journal = std::make_unique<JournalWriter>(
        dir.path(), [] { return 45; },
        [&](const QString& f) {
            ++reports;
            journal->Jurnal("Ошибка записи в файл " + f, 1);
        },
        clock.fn());
    Blocker b{dir.filePath("jur_2010_01_05.dbf")};
    b.block();
    journal->Jurnal("event", 0);
    journal->Jurnal("next", 0);
    EXPECT_EQ(reports, 1);
    b.unblock();
    journal->Jurnal("back", 0);
    const auto texts = column(b.path, "REC_STR");
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0], "event");
    EXPECT_EQ(QString::fromStdString(texts[1]).left(21), QString("Ошибка записи в файл "));
    EXPECT_EQ(texts[2], "next");
    EXPECT_EQ(texts[3], "back");
}

TEST(DosingRecorder, KeepsFailedRecords) {
    QTemporaryDir dir;
    TestClock clock{at(2010, 1, 5, 10, 0, 0), 1000};
    int reports = 0;
    DosingRecorder rec(
        dir.path(), [] { return 45; }, [&](const QString&) { ++reports; }, clock.fn());
    Blocker b{dir.filePath("doz_2010_01_05.dbf")};
    b.block();
    ProcessImage image;
    image.update(answer({}).data());
    rec.CompleteDoza(image);
    for (int c = 1; c <= 3; ++c) {
        image.update(answer(counters({{2, c}, {1, c}})).data());
        rec.CompleteDoza(image);
    }
    EXPECT_EQ(rec.keptCount(), 6u);
    EXPECT_EQ(reports, 1);
    b.unblock();
    rec.CompleteDoza(image); // no new dose: the kept ones are written all the same
    EXPECT_EQ(rec.keptCount(), 0u);
    EXPECT_EQ(column(b.path, "DOZATOR").size(), 6u);
    image.update(answer(counters({{2, 3}, {1, 3}, {6, 1}})).data());
    rec.CompleteDoza(image);
    EXPECT_EQ(column(b.path, "DOZATOR"),
              (std::vector<std::string>{"2", "1", "2", "1", "2", "1", "6"}));
    EXPECT_EQ(column(b.path, "TIME"),
              (std::vector<std::string>{"10:00:00", "10:00:01", "10:00:02", "10:00:03", "10:00:04",
                                        "10:00:05", "10:00:06"}));
}

TEST(JournalWriter, KeptRecordsGetALastTryWhenTheWriterGoes) {
    QTemporaryDir dir;
    TestClock clock{at(2010, 1, 5, 10, 0, 0)};
    Blocker b{dir.filePath("jur_2010_01_05.dbf")};
    {
        JournalWriter journal(
            dir.path(), [] { return 45; }, {}, clock.fn());
        b.block();
        journal.Jurnal("kept", 1);
        EXPECT_EQ(journal.keptCount(), 1u);
        b.unblock();
    }
    EXPECT_EQ(column(b.path, "REC_STR"), std::vector<std::string>{"kept"});
}

TEST(ArchiveWriter, DropsWhatItCannotWriteAndReportsOnce) {
    QTemporaryDir dir;
    TestClock clock{at(2010, 1, 5, 10, 0, 0), 1000};
    QStringList reports;
    ArchiveWriter archive(
        dir.path(), [] { return 45; }, [&](const QString& f) { reports << f; }, clock.fn());
    Blocker b{dir.filePath("arh_2010_01_05.dbf")};
    b.block();
    for (int i = 0; i < 5; ++i)
        archive.Arhive(ImageData{});
    EXPECT_EQ(archive.keptCount(), 0u);
    EXPECT_EQ(reports, QStringList{b.path});
    b.unblock();
    archive.Arhive(ImageData{});
    EXPECT_EQ(column(b.path, "TIME"), std::vector<std::string>{"10:00:05"});
}

TEST(Writers, AHandMadeFileNeverStopsTheWriter) {
    QTemporaryDir dir;
    for (const char* n : {"doz_garbage.dbf", "doz_.dbf", "doz_9999_99_99.dbf"}) {
        QFile f(dir.filePath(n));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a table");
    }
    TestClock clock{at(2010, 1, 5, 10, 0, 0)};
    int reports = 0;
    DosingRecorder rec(
        dir.path(), [] { return 2; }, [&](const QString&) { ++reports; }, clock.fn());
    ProcessImage image;
    image.update(answer({}).data());
    rec.CompleteDoza(image);
    image.update(answer(counters({{4, 1}})).data());
    rec.CompleteDoza(image);
    EXPECT_EQ(reports, 0);
    EXPECT_EQ(column(dir.filePath("doz_2010_01_05.dbf"), "DOZATOR"), std::vector<std::string>{"4"});
    for (const char* n : {"doz_garbage.dbf", "doz_.dbf", "doz_9999_99_99.dbf"})
        EXPECT_TRUE(QFile::exists(dir.filePath(n))) << n;
}

TEST(Writers, ADamagedDayFileIsMovedAsideAndTheDayGoesOn) {
    QTemporaryDir dir;
    const QString path = dir.filePath("jur_2010_01_05.dbf");
    for (const QByteArray& junk : {QByteArray(), QByteArray("copied over by hand\n")}) {
        SCOPED_TRACE(junk.size());
        QFile::remove(path);
        {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(junk);
        }
        TestClock clock{at(2010, 1, 5, 9, 0, 0)};
        int reports = 0;
        JournalWriter journal(
            dir.path(), [] { return 45; }, [&](const QString&) { ++reports; }, clock.fn());
        journal.Jurnal("event", 0);
        EXPECT_EQ(reports, 0);
        EXPECT_EQ(journal.keptCount(), 0u);
        EXPECT_EQ(column(path, "REC_STR"), std::vector<std::string>{"event"});
    }
    // Both damaged files are still there for a maintainer.
    QFile first(path + ".damaged"), second(path + ".damaged2");
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    ASSERT_TRUE(second.open(QIODevice::ReadOnly));
    EXPECT_EQ(first.readAll(), QByteArray());
    EXPECT_EQ(second.readAll(), QByteArray("copied over by hand\n"));
    EXPECT_EQ(daily::listKind(dir.path(), daily::kJournal), QStringList{"jur_2010_01_05.dbf"});
}

TEST(DbfTable, CheckTable) {
    QTemporaryDir dir;
    ASSERT_TRUE(dbf::create(dir.filePath("t.dbf"), daily::archiveFields(), nullptr));
    QFile junk(dir.filePath("junk.dbf"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(700, 'x'));
    junk.close();
    EXPECT_EQ(dbf::checkTable(dir.filePath("t.dbf")), dbf::TableCheck::Table);
    EXPECT_EQ(dbf::checkTable(dir.filePath("junk.dbf")), dbf::TableCheck::NotATable);
    EXPECT_EQ(dbf::checkTable(dir.filePath("missing.dbf")), dbf::TableCheck::Unreadable);
    EXPECT_EQ(dbf::checkTable(dir.path()), dbf::TableCheck::Unreadable);
}

} // namespace
