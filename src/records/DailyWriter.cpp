#include "DailyWriter.h"

#include "DailyTables.h"

#include <QFile>

#include <algorithm>
#include <cstdio>
#include <utility>

DailyWriter::DailyWriter(QString workDir, QString prefix, const std::vector<DbfField>& fields,
                         MaxFiles maxFiles, FailureReport onWriteFailed, Clock clock,
                         OnFailure policy)
    : workDir_(std::move(workDir)), prefix_(std::move(prefix)), fields_(fields),
      maxFiles_(std::move(maxFiles)), onWriteFailed_(std::move(onWriteFailed)),
      clock_(std::move(clock)), policy_(policy) {}

DailyWriter::~DailyWriter() {
    flushInternal();
}

QDateTime DailyWriter::now() const {
    return clock_ ? clock_() : QDateTime::currentDateTime();
}

QString DailyWriter::timeText(const QDateTime& moment) {
    return moment.time().toString(QStringLiteral("HH:mm:ss"));
}

bool DailyWriter::writeOne(const Record& record, QString* path) {
    *path = daily::fileName(workDir_, prefix_, record.date);
    dbf::AppendOptions options;
    options.layout = &fields_;
    options.durable = durable_;
    options.updated = record.date;
    // At most two rounds: the second after something that was not this kind's table has
    // been moved aside and a fresh table started.
    for (int round = 0; round < 2; ++round) {
        if (dbf::entryAt(*path) == dbf::Entry::Other && !setAside(*path, Aside::NotAFile))
            return false;
        QString error;
        if (daily::ensureTable(workDir_, prefix_, fields_, record.date, maxFiles_, &error)
                .isEmpty()) {
            lastError_ = error;
            return false;
        }
        const dbf::Outcome outcome = dbf::appendRecord(*path, record.values, &error, options);
        if (outcome == dbf::Outcome::Written)
            return true;
        lastError_ = error;
        const Aside why = outcome == dbf::Outcome::NotATable     ? Aside::NotATable
                          : outcome == dbf::Outcome::OtherLayout ? Aside::OtherLayout
                                                                 : Aside::NotAFile;
        if (outcome == dbf::Outcome::Failed || !setAside(*path, why))
            return false;
    }
    return false;
}

bool DailyWriter::setAside(const QString& path, Aside why) {
    // A day file is moved aside at most once per cause in a run.
    if (!asideDone_.insert({path, int(why)}).second)
        return false;
    QString aside = path + QStringLiteral(".damaged");
    for (int n = 2; dbf::entryAt(aside) != dbf::Entry::Missing; ++n)
        aside = path + QStringLiteral(".damaged%1").arg(n);
    // rename() moves a link itself, never what it points to.
    if (std::rename(QFile::encodeName(path).constData(), QFile::encodeName(aside).constData()) != 0)
        return false;
    lastError_ += QStringLiteral(" (moved aside to %1)").arg(aside);
    movedAside_.push_back({path, aside, why});
    return true;
}

void DailyWriter::noteFailure(const QString& path) {
    if (failing_)
        return;
    failing_ = true;
    reportPath_ = path;
}

bool DailyWriter::flushKept() {
    const bool done = flushInternal();
    report();
    return done;
}

void DailyWriter::restore(std::vector<Record> records) {
    for (Record& r : records)
        kept_.push_back(std::move(r));
    while (kept_.size() > kMaxKept)
        kept_.pop_front();
    flushKept();
}

bool DailyWriter::flushInternal() {
    // Records are grouped by the file they belong to: once a file fails in this round, its
    // later records wait behind the one that failed, and other files go on.
    std::vector<QDate> failedDays;
    QString failedPath;
    for (auto it = kept_.begin(); it != kept_.end();) {
        if (std::find(failedDays.begin(), failedDays.end(), it->date) != failedDays.end()) {
            ++it;
            continue;
        }
        QString path;
        if (writeOne(*it, &path)) {
            it = kept_.erase(it);
            continue;
        }
        failedDays.push_back(it->date);
        if (failedPath.isEmpty())
            failedPath = path;
        ++it;
    }
    // A streak of failures ends with a round in which every write worked.
    if (failedPath.isEmpty())
        failing_ = false;
    else
        noteFailure(failedPath);
    return kept_.empty();
}

void DailyWriter::write(const QDateTime& moment, std::vector<QString> values) {
    Record record{moment.date(), std::move(values)};
    if (policy_ == OnFailure::Keep) {
        kept_.push_back(std::move(record));
        if (kept_.size() > kMaxKept)
            kept_.pop_front();
        flushInternal();
    } else {
        QString path;
        if (writeOne(record, &path))
            failing_ = false;
        else
            noteFailure(path);
    }
    report();
}

void DailyWriter::report() {
    // The callbacks come last, with the state settled: they may well report through this
    // very writer.
    const std::vector<MovedAside> moved = std::exchange(movedAside_, {});
    if (onMovedAside_)
        for (const MovedAside& m : moved)
            onMovedAside_(m.file, m.movedTo, m.why);
    const QString path = std::exchange(reportPath_, QString());
    if (!path.isEmpty() && onWriteFailed_)
        onWriteFailed_(path);
}
