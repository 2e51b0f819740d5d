// The station's records as the data module and the main window run them: a journal that
// fails from the first record is reported, kept journal records are written without waiting
// for the next event, and what is unwritten at exit is written at the next start. Each case
// runs in a child with a mount namespace of its own, so a file can be made read-only for
// root too.
#include "DailyTables.h"
#include "DataModule.h"
#include "EventList.h"
#include "MainTexts.h"
#include "MainUnitKorvel.h"
#include "Recovery.h"
#include "Sandbox.h"
#include "StationRoot.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/mount.h>

namespace {

using sandbox::Findings;

std::vector<QString> journalTexts(const QString& workDir) {
    DbfReader r;
    std::vector<QString> out;
    if (!r.open(daily::fileName(workDir, daily::kJournal, QDate::currentDate()), nullptr))
        return out;
    for (int i = 0; i < r.recordCount(); ++i)
        out.push_back(r.text(i, 2));
    return out;
}

std::string join(const std::vector<QString>& v) {
    QStringList l;
    for (const QString& s : v)
        l << s;
    return l.join(" | ").toStdString();
}

// Settings and recovery files of the test's own, never the user's.
struct Homes {
    QTemporaryDir config, state;
    Homes() {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
    }
};

TEST(StationRecords, AJournalThatFailsFromTheStartShowsItsLine) {
    Homes homes;
    QTemporaryDir work;
    const std::string result = sandbox::run([&]() -> std::string {
        if (!sandbox::makeReadOnly(work.path()))
            return "cannot make the folder read-only";
        qputenv("QT_QPA_PLATFORM", "offscreen");
        int argc = 1;
        char name[] = "station";
        char* argv[] = {name, nullptr};
        QApplication app(argc, argv);
        StationRoot root(
            {work.path(), work.path() + "/no-such-line", homes.config.filePath("korvel.ini"), {}});
        const QString failure = MainTextStore::get()->lngErrWrite;
        const EventList& events = *root.mainForm().events;
        auto shown = [&] {
            for (int i = 0; i < events.size(); ++i)
                if (events.at(i).text.contains(failure) && events.at(i).alarm)
                    return true;
            return false;
        };
        QDeadlineTimer deadline(10000);
        while (!shown() && !deadline.hasExpired())
            app.processEvents(QEventLoop::AllEvents, 50);
        Findings f;
        f.check(shown(), "no red line for the journal");
        QStringList lines;
        for (int i = 0; i < events.size(); ++i)
            lines << events.at(i).text;
        f.check(lines.join('\n').contains(MainTextStore::get()->lngPuskPrg),
                "no start line: " + lines.join(" | ").toStdString());
        root.mainForm().close();
        return f.text();
    });
    EXPECT_EQ(result, "");
}

TEST(StationRecords, KeptJournalRecordsAreWrittenByThePollCyclesWithoutANewEvent) {
    Homes homes;
    QTemporaryDir work;
    const std::string result = sandbox::run([&]() -> std::string {
        int argc = 1;
        char name[] = "station";
        char* argv[] = {name, nullptr};
        QCoreApplication app(argc, argv);
        const QString table = daily::fileName(work.path(), daily::kJournal, QDate::currentDate());
        if (!dbf::create(table, daily::journalFields(), nullptr) || !sandbox::makeReadOnly(table))
            return "cannot make the journal read-only";
        int failures = 0;
        TDM dm(work.path(), {}, [&](const QString&, QRgb) { ++failures; });
        dm.journal("kept", 0);
        Findings f;
        f.check(failures == 1, "failures " + std::to_string(failures));
        f.check(journalTexts(work.path()).empty(), "written to a read-only file");
        if (::umount2(QFile::encodeName(table).constData(), 0) != 0)
            return "cannot make the journal writable again";
        // The port is closed: every cycle fails, and each one retries the kept records. The
        // first cycle comes 500 ms after the start, the next 500 ms later; the deadline leaves
        // room for a loaded machine.
        dm.startPolling();
        QDeadlineTimer deadline(10000);
        while (journalTexts(work.path()).empty() && !deadline.hasExpired())
            app.processEvents(QEventLoop::AllEvents, 20);
        dm.stopPolling();
        f.check(join(journalTexts(work.path())) == "kept",
                "while polling: " + join(journalTexts(work.path())));
        return f.text();
    });
    EXPECT_EQ(result, "");
}

TEST(StationRecords, RecordsUnwrittenAtExitAreWrittenToTheirDaysAtTheNextStart) {
    Homes homes;
    QTemporaryDir work;
    const QString table = daily::fileName(work.path(), daily::kJournal, QDate::currentDate());
    ASSERT_TRUE(dbf::create(table, daily::journalFields(), nullptr));
    // The first run cannot write its journal at all.
    const std::string first = sandbox::run([&]() -> std::string {
        if (!sandbox::makeReadOnly(table))
            return "cannot make the journal read-only";
        TDM dm(work.path(), {});
        dm.journal("first", 0);
        dm.journal("second", 1);
        dm.journal("exit", 2);
        return dm.saveUnwritten() == 3 ? "" : "not saved";
    });
    ASSERT_EQ(first, "");
    EXPECT_TRUE(journalTexts(work.path()).empty());
    ASSERT_TRUE(QFile::exists(recovery::filePath(work.path())));

    // The next start writes them, in order, before anything of its own.
    QStringList events;
    TDM dm(work.path(), [&](const QString& text, QRgb) { events << text; });
    EXPECT_EQ(dm.recoverUnwritten(), 3);
    dm.journal("start", 0);
    EXPECT_EQ(join(journalTexts(work.path())), "first | second | exit | start");
    DbfReader r;
    ASSERT_TRUE(r.open(table, nullptr));
    EXPECT_EQ(r.number(1, 3), 1);
    EXPECT_EQ(r.number(2, 3), 2);
    EXPECT_EQ(events, QStringList{MainTextStore::get()->lngRecovered + " 3"});
    EXPECT_FALSE(QFile::exists(recovery::filePath(work.path())));
    // Nothing is written twice at the start after that.
    TDM again(work.path(), {});
    EXPECT_EQ(again.recoverUnwritten(), 0);
}

TEST(StationRecords, RecoveredRecordsGoToTheDayTheyBelongTo) {
    Homes homes;
    QTemporaryDir work;
    const QDate before(2010, 1, 5);
    ASSERT_TRUE(recovery::save(
        work.path(),
        {{daily::kJournal,
          {{before, {"23:59:59", "20100105", "tab\there, line\nbreak \\ ok", "1"}}}},
         {daily::kDosing,
          {{before,
            {"23:59:58", "20100105", "23", "59", "2", "1000", "05", "1012", "Automatik"}}}}},
        nullptr));
    TDM dm(work.path(), {});
    EXPECT_EQ(dm.recoverUnwritten(), 2);
    DbfReader r;
    ASSERT_TRUE(r.open(daily::fileName(work.path(), daily::kJournal, before), nullptr));
    ASSERT_EQ(r.recordCount(), 1);
    EXPECT_EQ(r.text(0, 2), "tab\there, line\nbreak \\ ok");
    ASSERT_TRUE(r.open(daily::fileName(work.path(), daily::kDosing, before), nullptr));
    ASSERT_EQ(r.recordCount(), 1);
    EXPECT_EQ(r.number(0, 7), 1012);
    EXPECT_EQ(r.text(0, 8), "Automatik");
}

} // namespace
