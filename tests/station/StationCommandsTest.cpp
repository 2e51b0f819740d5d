// The korvel program as an operator, a service manager or a scheduled job runs it: stop
// requests at start-up and during plant traffic, the commands that need no screen, and the
// output of the headless export.
#include "SimProcess.h"
#include "StationRun.h"

#include "../views/DayFixture.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTime>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <memory>

namespace {

// A few minutes of weight snapshots of every doser.
void writeArchive(const QString& dir, const QDate& day) {
    const QString path = daily::fileName(dir, daily::kArchive, day);
    QString error;
    if (!dbf::create(path, daily::archiveFields(), &error))
        throw std::runtime_error(error.toStdString());
    for (int r = 0; r < 120; ++r) {
        std::vector<QString> v{QTime(8, 0).addSecs(r).toString(QStringLiteral("HH:mm:ss")),
                               day.toString(QStringLiteral("yyyyMMdd"))};
        for (int n = 1; n <= 6; ++n) {
            v.push_back(QString::number(100 * n));
            v.push_back(QString::number(100 * n + 5));
            v.push_back(QString::number(r % 60 * n));
        }
        if (!dbf::append(path, v, &error))
            throw std::runtime_error(error.toStdString());
    }
}

const QString kExit = QStringLiteral("Выход из программы");
const QString kStart = QStringLiteral("Запуск программы");

// A station started in a fresh working folder on the offscreen platform, its line pointing
// nowhere, stopped by a signal `delayMs` after its signal handlers are in place.
struct StopCase {
    const char* what;
    int delayMs;
    int signal;
    // The journal must not exist yet when the signal is sent: the main window was not made.
    bool beforeMainWindow;
};

void stopAtStartUp(const StopCase& c) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    StationRun run(dir.path());
    ASSERT_TRUE(run.start({"--device", dir.filePath("no-line").toStdString()}));
    ASSERT_TRUE(run.waitForSignalHandlers(10000)) << "SIGTERM is never caught";
    QThread::msleep(c.delayMs);
    if (c.beforeMainWindow) {
        ASSERT_TRUE(journalFiles(dir.path()).isEmpty()) << "the main window exists already";
    }
    run.signal(c.signal);
    QElapsedTimer took;
    took.start();
    ASSERT_TRUE(run.waitForEnd(2000)) << c.what << ": still running 2 s after the signal";
    EXPECT_LE(took.elapsed(), 2000);
    EXPECT_EQ(run.exitStatus(), 0) << run.errorOutput();

    const std::vector<JournalRecord> records = readJournal(dir.path());
    ASSERT_FALSE(records.empty()) << c.what << ": no journal";
    EXPECT_EQ(records.front().text, kStart);
    EXPECT_EQ(records.back().text, kExit);
    EXPECT_EQ(records.back().code, 2);
    // The settings were written at the end.
    EXPECT_TRUE(QFile::exists(dir.filePath("cfg/korvel.ini")));
}

TEST(StopAtStartUp, SigtermAtOnce) {
    stopAtStartUp({"SIGTERM at once", 0, SIGTERM, true});
}
TEST(StopAtStartUp, SigtermDuringTheSplash) {
    stopAtStartUp({"SIGTERM during the splash", 1200, SIGTERM, true});
}
TEST(StopAtStartUp, SigintDuringTheSplash) {
    stopAtStartUp({"SIGINT during the splash", 2000, SIGINT, true});
}
TEST(StopAtStartUp, SigtermWithTheStationRunning) {
    stopAtStartUp({"SIGTERM with the station running", 4500, SIGTERM, false});
}

// The exit record closes the run's journal also when alarms arrive every poll cycle: the
// events the poll thread produced before it stopped are journaled before it.
TEST(StopDuringTraffic, ExitRecordIsTheLastRecord) {
    for (int round = 0; round < 3; ++round) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        SimProcess sim({"--speed", "20", "--faults", "600"});
        ASSERT_FALSE(sim.path().empty());
        StationRun run(dir.path());
        ASSERT_TRUE(run.start({"--device", sim.path()}));
        // Wait for alarm traffic in the journal, then stop at a moment that moves with the
        // round, so the stop falls at different points of the poll cycle.
        QElapsedTimer waited;
        waited.start();
        while (readJournal(dir.path()).size() < 8 && waited.elapsed() < 30000)
            QThread::msleep(100);
        ASSERT_GE(readJournal(dir.path()).size(), 8u) << "no alarm traffic";
        QThread::msleep(130 * round);
        run.signal(SIGTERM);
        ASSERT_TRUE(run.waitForEnd(2000)) << "still running 2 s after the signal";
        EXPECT_EQ(run.exitStatus(), 0) << run.errorOutput();
        const std::vector<JournalRecord> records = readJournal(dir.path());
        ASSERT_FALSE(records.empty());
        EXPECT_EQ(records.back().text, kExit) << "round " << round;
        EXPECT_EQ(records.back().code, 2);
        int exits = 0;
        for (const JournalRecord& r : records)
            exits += r.code == 2;
        EXPECT_EQ(exits, 1);
    }
}

// How many journal records of the newest table carry `text`.
int journalCount(const QString& dir, const QString& text) {
    const std::vector<JournalRecord> records = readJournal(dir);
    return int(std::count_if(records.begin(), records.end(),
                             [&](const JournalRecord& r) { return r.text == text; }));
}

bool waitForJournal(const QString& dir, const QString& text, int count, int timeoutMs) {
    QElapsedTimer waited;
    waited.start();
    while (journalCount(dir, text) < count && waited.elapsed() < timeoutMs)
        QThread::msleep(100);
    return journalCount(dir, text) >= count;
}

// The line's other end restarted, as after an adapter was plugged in again: SIGHUP opens the
// line anew, the way an accepted settings dialog does, and the station goes on polling (it
// used to end, SIGHUP's default).
TEST(ReopenSignal, SighupOpensTheLineAgainAfterItsOtherEndRestarted) {
    const QString good = QStringLiteral("Связь с ШВУ установлена");
    const QString bad = QStringLiteral("Сбой связи с ШВУ");
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // The station opens the line by a name that is made to point at the new simulator.
    const QString line = dir.filePath(QStringLiteral("line"));
    auto first = std::make_unique<SimProcess>(std::vector<std::string>{"--speed", "20"});
    ASSERT_FALSE(first->path().empty());
    ASSERT_TRUE(QFile::link(QString::fromStdString(first->path()), line));
    StationRun run(dir.path());
    ASSERT_TRUE(run.start({"--device", line.toStdString()}));
    ASSERT_TRUE(waitForJournal(dir.path(), good, 1, 30000)) << "the link never came up";

    first.reset();
    ASSERT_TRUE(waitForJournal(dir.path(), bad, 1, 30000)) << "the lost link is not journaled";
    SimProcess second({"--speed", "20"});
    ASSERT_FALSE(second.path().empty());
    ASSERT_TRUE(QFile::remove(line));
    ASSERT_TRUE(QFile::link(QString::fromStdString(second.path()), line));

    run.signal(SIGHUP);
    EXPECT_TRUE(waitForJournal(dir.path(), good, 2, 30000))
        << "the link did not come back after SIGHUP";
    EXPECT_FALSE(run.waitForEnd(0)) << "SIGHUP ended the station";

    run.signal(SIGTERM);
    ASSERT_TRUE(run.waitForEnd(5000));
    EXPECT_EQ(run.exitStatus(), 0) << run.errorOutput();
    const std::vector<JournalRecord> records = readJournal(dir.path());
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.back().text, kExit);
}

// Commands that need no screen run with neither DISPLAY nor QT_QPA_PLATFORM set.
TEST(NoDisplay, HelpAndVersionNeedNoScreen) {
    QTemporaryDir dir;
    struct Case {
        const char* argument;
        const char* output;
    } cases[] = {{"--help", "Usage: korvel"}, {"--version", "korvel 3.7"}};
    for (const Case& c : cases) {
        StationRun run(dir.path(), StationRun::Screen::None);
        ASSERT_TRUE(run.start({c.argument}));
        ASSERT_TRUE(run.waitForEnd(10000)) << c.argument;
        EXPECT_EQ(run.exitStatus(), 0) << c.argument << ": " << run.errorOutput();
        EXPECT_TRUE(run.output().startsWith(QLatin1String(c.output))) << run.output().toStdString();
        EXPECT_TRUE(run.errorOutput().empty()) << run.errorOutput();
    }
}

TEST(NoDisplay, ExportWritesThePdfOnItsOwnPlatform) {
    QTemporaryDir dir;
    const QDate day(2010, 3, 5);
    writeJournal(dir.path(), day, {{"07:00:00", "Запуск программы", 0}});
    StationRun run(dir.path(), StationRun::Screen::None);
    const QString pdf = dir.filePath("journal.pdf");
    ASSERT_TRUE(
        run.start({"--export", "journal", "--date", "2010-03-05", "--pdf", pdf.toStdString()}));
    ASSERT_TRUE(run.waitForEnd(30000));
    EXPECT_EQ(run.exitStatus(), 0) << run.errorOutput();
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5) == "%PDF-");
}

TEST(NoDisplay, StationItselfSaysSoInOneLine) {
    QTemporaryDir dir;
    StationRun run(dir.path(), StationRun::Screen::None);
    ASSERT_TRUE(run.start({"--device", dir.filePath("no-line").toStdString()}));
    ASSERT_TRUE(run.waitForEnd(10000));
    EXPECT_NE(run.exitStatus(), 0);
    EXPECT_FALSE(run.crashed()) << "ended by a signal";
    const std::string err = run.errorOutput();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("display"), std::string::npos) << err;
    EXPECT_TRUE(journalFiles(dir.path()).isEmpty());
}

// Every report kind prints where the PDF went on success, and one message of its own on
// failure, whatever Qt would say.
TEST(ExportOutput, SuccessNamesThePdfAndFailureGivesOneMessage) {
    QTemporaryDir dir;
    const QDate day(2010, 3, 5);
    writeJournal(dir.path(), day, {{"07:00:00", "Запуск программы", 0}});
    writeDosing(dir.path(), day, {{"07:10:00", "02", 120}, {"08:10:00", "05", 80, "Manual"}});
    writeArchive(dir.path(), day);
    struct Case {
        const char* kind;
        std::vector<std::string> extra;
    } cases[] = {{"protocol", {}},
                 {"journal", {}},
                 {"shift", {"--shift", "2"}},
                 {"history", {"--doser", "1"}}};
    for (const Case& c : cases) {
        const QString pdf = dir.filePath(QStringLiteral("%1.pdf").arg(c.kind));
        for (const bool writable : {true, false}) {
            const QString target =
                writable ? pdf : dir.filePath(QStringLiteral("no/such/dir/%1.pdf").arg(c.kind));
            std::vector<std::string> args = {"--export",   c.kind,  "--date",
                                             "2010-03-05", "--pdf", target.toStdString()};
            args.insert(args.end(), c.extra.begin(), c.extra.end());
            StationRun run(dir.path(), StationRun::Screen::Offscreen);
            ASSERT_TRUE(run.start(args));
            ASSERT_TRUE(run.waitForEnd(30000)) << c.kind;
            if (writable) {
                EXPECT_EQ(run.exitStatus(), 0) << c.kind << ": " << run.errorOutput();
                EXPECT_EQ(run.output(), target + QLatin1Char('\n')) << c.kind;
                EXPECT_EQ(run.errorOutput(), "") << c.kind;
                EXPECT_TRUE(QFile::exists(target)) << c.kind;
            } else {
                EXPECT_NE(run.exitStatus(), 0) << c.kind;
                EXPECT_EQ(run.output(), QString()) << c.kind;
                const std::string err = run.errorOutput();
                EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << c.kind << ": " << err;
                EXPECT_NE(err.find(target.toStdString()), std::string::npos)
                    << c.kind << ": " << err;
                EXPECT_EQ(err.find("QPainter"), std::string::npos) << c.kind << ": " << err;
            }
        }
    }
}

} // namespace
