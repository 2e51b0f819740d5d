// The station's executable in a working folder that misbehaves: a second station in the
// same folder, a FIFO and a dangling link under day files' names, a file-size limit, and a
// journal that cannot be written until the station has closed.
#include "StationProcess.h"
#include "DailyTables.h"
#include "DbfTable.h"
#include "MainTexts.h"
#include "Recovery.h"
#include "Sandbox.h"
#include "SimProcess.h"
#include "Waits.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using namespace std::chrono_literals;
using waits::waitUntil;

struct JournalRecord {
    QString text;
    int code;
};

std::vector<JournalRecord> journal(const QString& workDir) {
    DbfReader r;
    std::vector<JournalRecord> out;
    if (r.open(daily::fileName(workDir, daily::kJournal, QDate::currentDate()), nullptr))
        for (int i = 0; i < r.recordCount(); ++i)
            out.push_back({r.text(i, 2), int(r.number(i, 3))});
    return out;
}

int count(const std::vector<JournalRecord>& records, const QString& part, int code = -1) {
    int n = 0;
    for (const JournalRecord& rec : records)
        n += rec.text.contains(part) && (code < 0 || rec.code == code);
    return n;
}

std::string dump(const std::vector<JournalRecord>& records) {
    QStringList l;
    for (const JournalRecord& rec : records)
        l << QString("%1 (%2)").arg(rec.text).arg(rec.code);
    return l.join(" | ").toStdString();
}

int archiveCount(const QString& workDir) {
    DbfReader r;
    return r.open(daily::fileName(workDir, daily::kArchive, QDate::currentDate()), nullptr)
               ? r.recordCount()
               : 0;
}

const MainTexts& texts() {
    static const MainTexts t = MainTexts::defaults();
    return t;
}

struct Folders {
    QTemporaryDir work, home;
    QStringList noLine() const { return {"--device", work.filePath("no-line")}; }
};

TEST(StationProcess, ASecondStationInTheSameFolderIsRefusedAndWritesNothing) {
    Folders f;
    QTemporaryDir otherHome;
    StationProcess first({f.work.path(), f.home.path(), f.noLine()});
    const QString lockFile = f.work.filePath(".korvel.lock");
    ASSERT_TRUE(waitUntil(
        [&] {
            QFile l(lockFile);
            return l.open(QIODevice::ReadOnly) && l.readAll().trimmed().toLongLong() == first.pid();
        },
        10s, "the first station to take the folder", 50ms));

    StationProcess second({f.work.path(), otherHome.path(), f.noLine()});
    EXPECT_GT(second.wait(10000), 0) << "the second station ran";
    EXPECT_TRUE(second.errorOutput().contains("in use by another station"))
        << second.errorOutput().toStdString();
    EXPECT_FALSE(QFile::exists(otherHome.filePath("config/korvel.ini")));

    ASSERT_TRUE(first.running());
    EXPECT_TRUE(waitUntil([&] { return count(journal(f.work.path()), texts().lngPuskPrg); }, 20s,
                          "the first station's start record", 50ms));
    EXPECT_EQ(first.stop(), 0);
    // Only the first station's start and exit are in the journal.
    const auto records = journal(f.work.path());
    EXPECT_EQ(count(records, texts().lngPuskPrg), 1) << dump(records);
    EXPECT_EQ(count(records, texts().lngExitPrg, 2), 1) << dump(records);
}

TEST(StationProcess, AFifoAndADanglingLinkNamedLikeDayFilesNeitherFreezeNorMisdirect) {
    Folders f;
    QTemporaryDir elsewhere;
    SimProcess sim({});
    ASSERT_FALSE(sim.path().empty());
    const QDate today = QDate::currentDate();
    const QString fifo = daily::fileName(f.work.path(), daily::kJournal, today);
    const QString link = daily::fileName(f.work.path(), daily::kArchive, today);
    const QString outside = elsewhere.filePath("outside.dbf");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    ASSERT_TRUE(QFile::link(outside, link));

    StationProcess station(
        {f.work.path(), f.home.path(), {"--device", QString::fromStdString(sim.path())}});
    // The station keeps polling: the archive grows in a table of its own.
    ASSERT_TRUE(waitUntil([&] { return archiveCount(f.work.path()) >= 2; }, 20s,
                          "two archive records", 50ms))
        << station.errorOutput().toStdString();
    const int before = archiveCount(f.work.path());
    EXPECT_TRUE(waitUntil([&] { return archiveCount(f.work.path()) > before; }, 10s,
                          "one more archive record", 50ms));
    EXPECT_EQ(station.stop(5000), 0) << "SIGTERM did not end the station";

    EXPECT_FALSE(QFile::exists(outside)) << "a table was written outside the working folder";
    EXPECT_TRUE(QFileInfo(link + ".damaged").isSymLink());
    struct stat st {};
    EXPECT_TRUE(::lstat(QFile::encodeName(fifo + ".damaged").constData(), &st) == 0 &&
                S_ISFIFO(st.st_mode));
    const auto records = journal(f.work.path());
    EXPECT_EQ(count(records, texts().lngFileAside + " " + QFileInfo(fifo).fileName(), 1), 1)
        << dump(records);
    EXPECT_EQ(count(records, texts().lngFileAside + " " + QFileInfo(link).fileName(), 1), 1)
        << dump(records);
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.back().code, 2) << dump(records);
}

TEST(StationProcess, AFileSizeLimitIsAFailedWriteNotACrash) {
    Folders f;
    SimProcess sim({});
    ASSERT_FALSE(sim.path().empty());
    StationProcess station(
        {f.work.path(), f.home.path(), {"--device", QString::fromStdString(sim.path())}, 2048});
    const QString archive =
        QFileInfo(daily::fileName(f.work.path(), daily::kArchive, QDate::currentDate())).fileName();
    // The archive reaches the limit after a few records; the journal has room for the line.
    EXPECT_TRUE(waitUntil(
        [&] {
            return count(journal(f.work.path()), texts().lngErrWrite, 1) > 0 || !station.running();
        },
        30s, "the write failure in the journal", 50ms));
    QThread::msleep(1500); // more snapshots that cannot be written
    ASSERT_TRUE(station.running()) << "the station ended: " << station.wait(0);
    EXPECT_EQ(station.stop(), 0);
    const auto records = journal(f.work.path());
    EXPECT_EQ(count(records, texts().lngErrWrite), 1) << dump(records);
    EXPECT_EQ(count(records, archive, 1), 1) << dump(records);
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.back().code, 2) << dump(records);
    // Every table still reads whole.
    for (const QString& name : QDir(f.work.path()).entryList({"*.dbf"}, QDir::Files)) {
        DbfReader r;
        QString error;
        EXPECT_TRUE(r.open(f.work.filePath(name), &error)) << error.toStdString();
        EXPECT_EQ(r.headerCount(), r.recordCount()) << name.toStdString();
    }
}

TEST(StationProcess, AJournalUnwritableForAWholeRunIsWrittenAtTheNextStart) {
    Folders f;
    const QString table = daily::fileName(f.work.path(), daily::kJournal, QDate::currentDate());
    ASSERT_TRUE(dbf::create(table, daily::journalFields(), nullptr));
    const std::string first = sandbox::run(
        [&]() -> std::string {
            if (!sandbox::makeReadOnly(table))
                return "cannot make the journal read-only";
            StationProcess station({f.work.path(), f.home.path(), f.noLine()});
            if (!waitUntil(
                    [&] { return QFile::exists(f.home.filePath("config")) || !station.running(); },
                    20s, "the station's config folder", 50ms) &&
                !station.running())
                return "the station ended";
            QThread::msleep(4000); // past the splash: the start record is kept
            const int status = station.stop();
            if (status != 0)
                return "exit status " + std::to_string(status);
            if (!station.errorOutput().contains("will be written at the next start"))
                return "no word on the error output: " + station.errorOutput().toStdString();
            return {};
        },
        60);
    ASSERT_EQ(first, "");
    ASSERT_TRUE(journal(f.work.path()).empty());

    StationProcess second({f.work.path(), f.home.path(), f.noLine()});
    EXPECT_TRUE(waitUntil([&] { return count(journal(f.work.path()), texts().lngRecovered) > 0; },
                          20s, "the recovered records' line in the journal", 50ms));
    EXPECT_EQ(second.stop(), 0);
    const auto records = journal(f.work.path());
    // The first run's start and exit, then the second run's, in that order.
    std::vector<std::pair<QString, int>> expected = {
        {texts().lngPuskPrg, 0}, {texts().lngExitPrg, 2}, {texts().lngPuskPrg, 0}};
    size_t next = 0;
    for (const JournalRecord& rec : records)
        if (next < expected.size() && rec.text == expected[next].first &&
            rec.code == expected[next].second)
            ++next;
    EXPECT_EQ(next, expected.size()) << dump(records);
    EXPECT_EQ(count(records, texts().lngRecovered), 1) << dump(records);
    EXPECT_FALSE(QFile::exists(f.home.filePath("state/korvel/") +
                               QFileInfo(recovery::filePath(f.work.path())).fileName()));
}

} // namespace
