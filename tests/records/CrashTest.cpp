// The records survive the process being killed mid-write and a file system that refuses to
// grow. Both run the writers in a child process.
#include "ArchiveWriter.h"
#include "DailyTables.h"
#include "DosingRecorder.h"
#include "JournalWriter.h"
#include "Waits.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <csignal>
#include <poll.h>
#include <random>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// Set dose, corrected setpoint and current weight of dosers 1..6: the first byte of each
// word in the 130-byte image (low byte first; the weights are signed).
constexpr int kSetDoseAt[6] = {2, 35, 41, 5, 32, 38};
constexpr int kCorrectedAt[6] = {9, 47, 51, 11, 45, 49};
constexpr int kWeightAt[6] = {15, 57, 61, 17, 55, 59};

// The archive record number k carries k in every field, so each record checks on its own.
ImageData imageOf(qint64 k) {
    ImageData img;
    auto put = [&](int at, int v) {
        img.b[at] = std::uint8_t(v & 0xFF);
        img.b[at + 1] = std::uint8_t((v >> 8) & 0xFF);
    };
    for (int d = 0; d < 6; ++d) {
        put(kSetDoseAt[d], int((k + d) & 0xFFFF));
        put(kCorrectedAt[d], int(((k >> 16) + d) & 0xFFFF));
        put(kWeightAt[d], int((k * 7 + d) & 0xFFFF));
    }
    return img;
}

// The number a record carries (set dose and corrected setpoint of doser 1), or -1 when its
// eighteen values do not all belong to that number.
qint64 numberOf(const DbfReader& r, int record) {
    const qint64 k = r.number(record, 2) | (r.number(record, 3) << 16);
    const ImageData img = imageOf(k);
    for (int d = 0; d < 6; ++d) {
        const int base = 2 + 3 * d;
        if (r.number(record, base) != img.word(kSetDoseAt[d]) ||
            r.number(record, base + 1) != img.word(kCorrectedAt[d]) ||
            r.number(record, base + 2) != img.sword(kWeightAt[d]))
            return -1;
    }
    return r.text(record, 0) == "08:00:00" && r.date(record, 1).isValid() ? k : -1;
}

int countIn(const QString& path) {
    DbfReader r;
    return r.open(path, nullptr) ? r.recordCount() : 0;
}

// Appends archive records without end, numbered from `first` on; tells the parent through
// `ready` either at once or after its first record.
[[noreturn]] void appendForever(const QString& dir, const QDate& day, int ready, bool early,
                                qint64 first) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    const QDateTime moment(day, QTime(8, 0, 0));
    ArchiveWriter archive(
        dir, [] { return 1000; }, {}, [&] { return moment; });
    qint64 k = first;
    const char byte = 1;
    if (early && ::write(ready, &byte, 1) != 1)
        ::_exit(3);
    archive.Arhive(imageOf(k++));
    if (!early && ::write(ready, &byte, 1) != 1)
        ::_exit(3);
    for (;;)
        archive.Arhive(imageOf(k++));
}

TEST(Crash, KilledAtRandomMomentsWhileAppending) {
    QTemporaryDir dir;
    std::mt19937 random(20100105);
    std::uniform_int_distribution<int> pauseMicros(0, 4000);
    const int kRuns = 60;
    std::map<QDate, int> lastCount;
    int appendsSeen = 0;
    for (int run = 0; run < kRuns; ++run) {
        // Every tenth run starts a new day and may be killed while creating its file.
        const QDate day = QDate(2010, 1, 1).addDays(run / 10);
        const bool early = run % 10 == 0;
        int pipeFds[2];
        ASSERT_EQ(::pipe(pipeFds), 0);
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(pipeFds[0]);
            appendForever(dir.path(), day, pipeFds[1], early, qint64(run) * 1000000);
        }
        ::close(pipeFds[1]);
        char byte = 0;
        pollfd ready{pipeFds[0], POLLIN, 0};
        const int readable = ::poll(&ready, 1, 10000);
        if (readable <= 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
            ::close(pipeFds[0]);
        }
        ASSERT_GT(readable, 0) << "no first record from the writer within 10 s, run " << run;
        ASSERT_EQ(::read(pipeFds[0], &byte, 1), 1) << "the writer died on its own";
        ::close(pipeFds[0]);
        ::usleep(useconds_t(pauseMicros(random)));
        ASSERT_EQ(::kill(pid, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status));

        // Every table opens and every counted record is intact and comes after the one
        // before it (a record left uncounted by a kill is counted by the next append, never
        // overwritten by it); the count never goes back and grows by at least the record the
        // parent waited for.
        for (const QString& name : daily::listKind(dir.path(), daily::kArchive)) {
            DbfReader r;
            QString error;
            ASSERT_TRUE(r.open(dir.filePath(name), &error)) << error.toStdString();
            qint64 previous = -1;
            for (int k = 0; k < r.recordCount(); ++k) {
                const qint64 number = numberOf(r, k);
                ASSERT_GT(number, previous) << name.toStdString() << " record " << k;
                previous = number;
            }
        }
        const int count = countIn(daily::fileName(dir.path(), daily::kArchive, day));
        ASSERT_GE(count, lastCount[day] + (early ? 0 : 1)) << "run " << run;
        appendsSeen += count - lastCount[day];
        lastCount[day] = count;
    }
    EXPECT_GE(appendsSeen, kRuns - kRuns / 10);
}

// ---- a file system that refuses to grow ----

struct Report {
    const char* writer;
    QString path;
};

std::array<std::uint8_t, 130> doseAnswer(int counter) {
    std::array<std::uint8_t, 130> a{};
    a[109] = std::uint8_t(counter); // doser 2
    a[110] = 0xE8;
    a[111] = 0x03;
    a[112] = 4;
    a[127] = 1;
    return a;
}

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

qint64 sizeOf(const QString& path) {
    return QFileInfo(path).size();
}

void setFileSizeLimit(rlim_t limit) {
    rlimit rl{};
    getrlimit(RLIMIT_FSIZE, &rl);
    rl.rlim_cur = std::min(limit, rl.rlim_max);
    setrlimit(RLIMIT_FSIZE, &rl);
}

// The poll cycle and the journal as the station runs them, in the child. Returns the lines
// to hand to the parent: one per failure report.
[[noreturn]] void runOutOfSpace(const QString& dir) {
    ::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails with EFBIG instead
    QDateTime t(QDate(2010, 1, 5), QTime(10, 0, 0));
    auto clock = [&] {
        t = t.addSecs(1);
        return t;
    };
    std::vector<Report> reports;
    auto reporter = [&](const char* w) {
        return [&reports, w](const QString& path) { reports.push_back({w, path}); };
    };
    DosingRecorder dosing(
        dir, [] { return 45; }, reporter("doz"), clock);
    JournalWriter journal(
        dir, [] { return 45; }, reporter("jur"), clock);
    ArchiveWriter archive(
        dir, [] { return 45; }, reporter("arh"), clock);
    ProcessImage image;
    int counter = 0;
    auto cycle = [&] {
        image.update(doseAnswer(++counter).data());
        dosing.CompleteDoza(image);
        archive.Arhive(image.snapshot());
    };

    journal.Jurnal("before", 0);
    cycle(); // primes the dose rows
    cycle();

    // No more room: the limit lets the smallest table grow by 50 bytes, so its write fails
    // part-way while the others fail outright.
    const QDate day(2010, 1, 5);
    const QStringList files{daily::fileName(dir, daily::kDosing, day),
                            daily::fileName(dir, daily::kJournal, day),
                            daily::fileName(dir, daily::kArchive, day)};
    std::vector<QByteArray> before;
    qint64 smallest = LLONG_MAX;
    for (const QString& f : files) {
        before.push_back(contents(f));
        smallest = std::min<qint64>(smallest, before.back().size());
    }
    setFileSizeLimit(rlim_t(smallest + 50));
    for (int i = 0; i < 10; ++i) {
        cycle();
        journal.Jurnal(QString("during %1").arg(i), i % 2);
    }
    const bool keptAll = dosing.keptCount() == 10 && journal.keptCount() == 10;
    // A failed write leaves each table exactly as it was.
    for (int i = 0; i < 3; ++i)
        if (contents(files[i]) != before[i])
            ::_exit(5);

    setFileSizeLimit(RLIM_INFINITY);
    cycle();
    journal.Jurnal("after", 0);

    QFile out(dir + "/reports.txt");
    if (!out.open(QIODevice::WriteOnly))
        ::_exit(2);
    for (const Report& r : reports)
        out.write(QByteArray(r.writer) + ' ' + r.path.toUtf8() + '\n');
    out.close();
    ::_exit(keptAll ? 0 : 4);
}

TEST(DiskFull, WritersKeepGoingAndCatchUpInOrder) {
    QTemporaryDir dir;
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0)
        runOutOfSpace(dir.path());
    int status = 0;
    const bool ended = waits::waitUntil([&] { return ::waitpid(pid, &status, WNOHANG) == pid; },
                                        30s, "the writers' child to end", 10ms);
    if (!ended) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
    }
    ASSERT_TRUE(ended) << "the writers hung on a full file system";
    ASSERT_TRUE(WIFEXITED(status)) << "the writers did not survive";
    ASSERT_NE(WEXITSTATUS(status), 4) << "records were not kept while writing failed";
    ASSERT_NE(WEXITSTATUS(status), 5) << "a failed write changed a table";
    ASSERT_EQ(WEXITSTATUS(status), 0);

    const QDate day(2010, 1, 5);
    const QString doz = daily::fileName(dir.path(), daily::kDosing, day);
    const QString jur = daily::fileName(dir.path(), daily::kJournal, day);
    const QString arh = daily::fileName(dir.path(), daily::kArchive, day);

    // One report per writer.
    QFile reports(dir.filePath("reports.txt"));
    ASSERT_TRUE(reports.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(reports.readAll()).split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines, QStringList({"doz " + doz, "arh " + arh, "jur " + jur}))
        << lines.join(" | ").toStdString();

    // Every dosing and journal record reached its file, in order; the archive lost only the
    // snapshots of the full period. No table carries junk from the failed writes.
    DbfReader r;
    ASSERT_TRUE(r.open(daily::fileName(dir.path(), daily::kDosing, day), nullptr));
    ASSERT_EQ(r.recordCount(), 1 + 10 + 1);
    QStringList times;
    for (int k = 0; k < r.recordCount(); ++k) {
        EXPECT_EQ(r.text(k, 4), "2");
        times << r.text(k, 0);
    }
    QStringList sorted = times;
    sorted.sort();
    EXPECT_EQ(times, sorted);
    EXPECT_EQ(times.removeDuplicates(), 0);
    EXPECT_EQ(sizeOf(daily::fileName(dir.path(), daily::kDosing, day)), 321 + 12 * 78 + 1);

    ASSERT_TRUE(r.open(jur, nullptr));
    QStringList texts;
    for (int k = 0; k < r.recordCount(); ++k)
        texts << r.text(k, 2);
    QStringList expected{"before"};
    for (int i = 0; i < 10; ++i)
        expected << QString("during %1").arg(i);
    expected << "after";
    EXPECT_EQ(texts, expected);
    EXPECT_EQ(r.number(2, 3), 1);
    EXPECT_EQ(sizeOf(jur), 161 + 12 * 116 + 1);

    ASSERT_TRUE(r.open(arh, nullptr));
    EXPECT_EQ(r.recordCount(), 2 + 1);
    EXPECT_EQ(sizeOf(arh), 673 + 3 * 179 + 1);
}

} // namespace
