#include "DailyWriter.h"

#include "DailyTables.h"

#include <QFile>
#include <QFileInfo>

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
    QString error;
    *path = daily::ensureTable(workDir_, prefix_, fields_, record.date, maxFiles_, &error);
    if (path->isEmpty()) {
        *path = daily::fileName(workDir_, prefix_, record.date);
        lastError_ = error;
        return false;
    }
    if (!dbf::append(*path, record.values, &error, record.date)) {
        lastError_ = error;
        // A day's file that is not a table (put there or damaged by something else) is
        // moved aside for a maintainer, and the day starts a fresh table.
        if (dbf::checkTable(*path) != dbf::TableCheck::NotATable || !setAside(*path))
            return false;
        *path = daily::ensureTable(workDir_, prefix_, fields_, record.date, maxFiles_, &error);
        if (path->isEmpty() || !dbf::append(*path, record.values, &error, record.date)) {
            *path = daily::fileName(workDir_, prefix_, record.date);
            lastError_ = error;
            return false;
        }
    }
    failing_ = false;
    return true;
}

bool DailyWriter::setAside(const QString& path) {
    QString aside = path + QStringLiteral(".damaged");
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = path + QStringLiteral(".damaged%1").arg(n);
    if (!QFile::rename(path, aside))
        return false;
    lastError_ += QStringLiteral(" (moved aside to %1)").arg(aside);
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

bool DailyWriter::flushInternal() {
    while (!kept_.empty()) {
        QString path;
        if (!writeOne(kept_.front(), &path)) {
            noteFailure(path);
            return false;
        }
        kept_.pop_front();
    }
    return true;
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
        if (!writeOne(record, &path))
            noteFailure(path);
    }
    report();
}

void DailyWriter::report() {
    // The callback comes last, with the state settled: it may well report the failure
    // through this very writer.
    const QString path = std::exchange(reportPath_, QString());
    if (!path.isEmpty() && onWriteFailed_)
        onWriteFailed_(path);
}
