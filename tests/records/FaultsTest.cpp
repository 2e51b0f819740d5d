// What the records do when the file system misbehaves: a read-only day file, a table of
// another kind, a full disk, a FIFO or a link under a day file's name. Every case runs in a
// child process with a mount namespace of its own and a deadline, so a hang is a failure.
#include "ArchiveWriter.h"
#include "AtomicFile.h"
#include "DailyTables.h"
#include "DosingRecorder.h"
#include "JournalWriter.h"
#include "PrivateProfile.h"
#include "Sandbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// A clock that moves on by `step` milliseconds each time it is read.
struct StepClock {
    QDateTime t;
    int step;
    DailyWriter::Clock fn() {
        return [this] {
            const QDateTime now = t;
            t = t.addMSecs(step);
            return now;
        };
    }
};

// Collects what went wrong inside a child.
using sandbox::Findings;

std::vector<QString> column(const QString& path, const char* field, QString* error = nullptr) {
    DbfReader r;
    std::vector<QString> out;
    if (!r.open(path, error))
        return out;
    const int f = r.fieldIndex(field);
    for (int i = 0; i < r.recordCount(); ++i)
        out.push_back(r.text(i, f).trimmed());
    return out;
}

std::string join(const std::vector<QString>& v) {
    QStringList l;
    for (const QString& s : v)
        l << s;
    return l.join(',').toStdString();
}

// Image bytes of doser 2's completed-dose entry: the counter and the weight.
std::array<std::uint8_t, 130> doseOfDoser2(int counter) {
    std::array<std::uint8_t, 130> a{};
    a[109] = std::uint8_t(counter);
    a[113] = std::uint8_t(counter); // the weight carries the counter, to check the order
    a[127] = 1;
    return a;
}

TEST(RecordFaults, AReadOnlyDayFileHoldsBackNoOtherDay) {
    QTemporaryDir dir;
    const std::string result = sandbox::run([&]() -> std::string {
        Findings f;
        StepClock clock{QDateTime(QDate(2010, 1, 5), QTime(23, 59, 50)), 1000};
        int reports = 0;
        DosingRecorder rec(
            dir.path(), [] { return 45; }, [&](const QString&) { ++reports; }, clock.fn());
        ProcessImage image;
        int counter = 0;
        auto dose = [&] {
            image.update(doseOfDoser2(++counter).data());
            rec.CompleteDoza(image);
        };
        dose(); // primes the rows
        dose(); // 23:59:50, into a writable file
        const QString evening = daily::fileName(dir.path(), daily::kDosing, QDate(2010, 1, 5));
        if (!sandbox::makeReadOnly(evening))
            return "cannot make the file read-only";
        for (int i = 0; i < 5; ++i)
            dose(); // 23:59:51 ... 55: kept
        clock.t = QDateTime(QDate(2010, 1, 6), QTime(0, 0, 1));
        for (int i = 0; i < 10; ++i)
            dose(); // the next day, whose file is writable
        const QString morning = daily::fileName(dir.path(), daily::kDosing, QDate(2010, 1, 6));
        f.check(column(morning, "VES").size() == 10,
                "the next day holds " + join(column(morning, "VES")));
        f.check(join(column(morning, "VES")) == "8,9,10,11,12,13,14,15,16,17",
                "the next day's records in order: " + join(column(morning, "VES")));
        f.check(rec.keptCount() == 5, "kept " + std::to_string(rec.keptCount()));
        f.check(reports == 1, "reports " + std::to_string(reports));
        f.check(column(evening, "VES").size() == 1, "the evening's file changed");
        return f.text();
    });
    EXPECT_EQ(result, "");
}

TEST(RecordFaults, ATableOfAnotherKindIsMovedAsideOnce) {
    QTemporaryDir dir;
    const QString path = daily::fileName(dir.path(), daily::kJournal, QDate(2010, 1, 5));
    ASSERT_TRUE(dbf::create(path, daily::dosingFields(), nullptr));
    StepClock clock{QDateTime(QDate(2010, 1, 5), QTime(9, 0, 0)), 1000};
    QStringList moved;
    int failures = 0;
    JournalWriter journal(
        dir.path(), [] { return 45; }, [&](const QString&) { ++failures; }, clock.fn());
    journal.setAsideReport([&](const QString& file, const QString& to, DailyWriter::Aside why) {
        EXPECT_EQ(why, DailyWriter::Aside::OtherLayout);
        moved << QFileInfo(file).fileName() + " " + QFileInfo(to).fileName();
    });
    journal.Jurnal("one", 0);
    journal.Jurnal("two", 1);
    EXPECT_EQ(journal.keptCount(), 0u);
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(moved, QStringList{"jur_2010_01_05.dbf jur_2010_01_05.dbf.damaged"});
    EXPECT_EQ(join(column(path, "REC_STR")), "one,two");
    // The table moved aside is still the dosing table it was.
    DbfReader aside;
    ASSERT_TRUE(aside.open(path + ".damaged", nullptr));
    EXPECT_EQ(aside.fields().size(), daily::dosingFields().size());
}

TEST(RecordFaults, AFullDiskLeavesNoEmptyTablesAndNoHeapOfDamagedFiles) {
    QTemporaryDir dir;
    const std::string result = sandbox::run([&]() -> std::string {
        Findings f;
        if (!sandbox::mountTmpfs(dir.path(), 256))
            return "cannot mount a tmpfs";
        StepClock clock{QDateTime(QDate(2010, 1, 5), QTime(23, 59, 0)), 250};
        QStringList reports;
        auto reporter = [&](const QString& p) { reports << QFileInfo(p).fileName(); };
        DosingRecorder dosing(
            dir.path(), [] { return 45; }, reporter, clock.fn());
        JournalWriter journal(
            dir.path(), [] { return 45; }, reporter, clock.fn());
        ArchiveWriter archive(
            dir.path(), [] { return 45; }, reporter, clock.fn());
        int moved = 0;
        for (DailyWriter* w : std::initializer_list<DailyWriter*>{&dosing, &journal, &archive})
            w->setAsideReport([&](const QString&, const QString&, DailyWriter::Aside) { ++moved; });
        ProcessImage image;
        int counter = 0;
        auto cycle = [&](int i) {
            image.update(doseOfDoser2(++counter % 250 + 1).data());
            dosing.CompleteDoza(image);
            archive.Arhive(image.snapshot());
            if (i % 10 == 0)
                journal.Jurnal(QString("event %1").arg(i), 0);
        };
        cycle(0);
        cycle(1);
        if (!sandbox::fill(dir.path()))
            return "cannot fill the disk";
        // A minute of poll cycles across midnight with no room: the new day's tables cannot
        // be created.
        clock.t = QDateTime(QDate(2010, 1, 6), QTime(0, 0, 0));
        for (int i = 0; i < 120; ++i)
            cycle(i);
        const QStringList all = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        for (const QString& name : all) {
            f.check(QFileInfo(dir.path() + '/' + name).size() > 0 || name == "filler",
                    "an empty file " + name.toStdString());
            f.check(!name.contains(".damaged"), "a file moved aside: " + name.toStdString());
            f.check(!name.startsWith('.'), "a temporary file left: " + name.toStdString());
        }
        f.check(moved == 0, "files moved aside: " + std::to_string(moved));
        f.check(reports.size() <= 3, "reports: " + reports.join(' ').toStdString());
        f.check(dosing.keptCount() == 120, "dosing kept " + std::to_string(dosing.keptCount()));
        f.check(journal.keptCount() == 12, "journal kept " + std::to_string(journal.keptCount()));

        // Room again: every kept record reaches its table, in order.
        QFile::remove(dir.path() + "/filler");
        cycle(120);
        journal.flushKept();
        const QDate day(2010, 1, 6);
        const auto weights = column(daily::fileName(dir.path(), daily::kDosing, day), "VES");
        f.check(weights.size() == 121, "dosing records " + std::to_string(weights.size()));
        bool ordered = true;
        for (size_t i = 0; i < weights.size(); ++i)
            ordered = ordered && weights[i].toInt() == int((i + 3) % 250 + 1);
        f.check(ordered, "dosing records out of order: " + join(weights));
        const auto events = column(daily::fileName(dir.path(), daily::kJournal, day), "REC_STR");
        f.check(events.size() == 13 && events.front() == "event 0" && events.back() == "event 120",
                "journal " + join(events));
        return f.text();
    });
    EXPECT_EQ(result, "");
}

TEST(RecordFaults, AFifoOrALinkUnderADayFilesNameIsMovedAsideNeverOpened) {
    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    const QDate day(2010, 1, 5);
    const QString fifo = daily::fileName(dir.path(), daily::kJournal, day);
    const QString link = daily::fileName(dir.path(), daily::kDosing, day);
    const QString target = elsewhere.filePath("outside.dbf");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    ASSERT_TRUE(QFile::link(target, link)); // dangling
    const std::string result = sandbox::run(
        [&]() -> std::string {
            Findings f;
            // The views read the same names: refused at once, not waited on.
            DbfReader reader;
            QString error;
            f.check(!reader.open(fifo, &error), "a FIFO read as a table");
            StepClock clock{QDateTime(day, QTime(10, 0, 0)), 1000};
            QStringList moved;
            auto aside = [&](const QString& file, const QString& to, DailyWriter::Aside why) {
                f.check(why == DailyWriter::Aside::NotAFile, "cause");
                moved << QFileInfo(file).fileName() + " " + QFileInfo(to).fileName();
            };
            JournalWriter journal(
                dir.path(), [] { return 45; }, {}, clock.fn());
            journal.setAsideReport(aside);
            journal.Jurnal("event", 0);
            DosingRecorder rec(
                dir.path(), [] { return 45; }, {}, clock.fn());
            rec.setAsideReport(aside);
            ProcessImage image;
            image.update(doseOfDoser2(1).data());
            rec.CompleteDoza(image);
            image.update(doseOfDoser2(2).data());
            rec.CompleteDoza(image);
            f.check(join(column(fifo, "REC_STR")) == "event", "the journal record");
            f.check(join(column(link, "VES")) == "2", "the dosing record");
            f.check(QFileInfo(fifo).isFile() && !QFileInfo(fifo).isSymLink(), "jur_ a table");
            f.check(QFileInfo(link).isFile() && !QFileInfo(link).isSymLink(), "doz_ a table");
            f.check(!QFile::exists(target), "a table was written outside the working folder");
            f.check(QFileInfo(link + ".damaged").isSymLink(), "the link itself moved aside");
            struct stat st {};
            f.check(::lstat(QFile::encodeName(fifo + ".damaged").constData(), &st) == 0 &&
                        S_ISFIFO(st.st_mode),
                    "the FIFO moved aside");
            f.check(moved == QStringList({"jur_2010_01_05.dbf jur_2010_01_05.dbf.damaged",
                                          "doz_2010_01_05.dbf doz_2010_01_05.dbf.damaged"}),
                    "one report per file moved: " + moved.join(" | ").toStdString());
            return f.text();
        },
        20);
    EXPECT_EQ(result, "");
}

} // namespace

namespace {

// The settings file and saved reports are rewritten whole: on a full disk the old file stays
// as it was, the failure is told, and no temporary file is left behind.
TEST(RecordFaults, AFullDiskNeverEmptiesAFileThatIsRewritten) {
    QTemporaryDir dir;
    const std::string result = sandbox::run([&]() -> std::string {
        Findings f;
        if (!sandbox::mountTmpfs(dir.path(), 64))
            return "cannot mount a tmpfs";
        const QString ini = dir.path() + "/korvel.ini";
        f.check(PrivateProfile::write(ini, "Data", "ComPort", "1"), "first write");
        ::chmod(QFile::encodeName(ini).constData(), 0600);
        if (!sandbox::fill(dir.path()))
            return "cannot fill the disk";
        f.check(!PrivateProfile::write(ini, "Data", "ComPort", "2"), "a failed write told as done");
        f.check(PrivateProfile(ini).read("Data", "ComPort", {}) == "1", "the old settings lost");
        QString error;
        f.check(!atomicfile::write(dir.path() + "/new.frp", QByteArray(8192, 'x'),
                                   atomicfile::Mode::Replace, &error),
                "a report written on a full disk");
        f.check(error.contains("No space"), "the reason: " + error.toStdString());
        QFile::remove(dir.path() + "/filler");
        f.check(PrivateProfile::write(ini, "Data", "ComPort", "3"), "write once there is room");
        struct stat st {};
        f.check(::stat(QFile::encodeName(ini).constData(), &st) == 0 && (st.st_mode & 0777) == 0600,
                "the file's permissions changed");
        for (const QString& name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden))
            f.check(name == "korvel.ini", "left behind: " + name.toStdString());
        return f.text();
    });
    EXPECT_EQ(result, "");
}

} // namespace
