#pragma once
// What the three daily-table writers share: one clock reading per record names the day's
// file, a missing file is created and the kind's retention run, a record that cannot be
// written can be kept in memory until writing works again, and the operator is told once
// per failure streak and once per file moved aside. A writer is used on one thread only;
// its callbacks run on that thread.
#include "DbfTable.h"

#include <QDateTime>
#include <QString>
#include <deque>
#include <functional>
#include <set>
#include <utility>
#include <vector>

class DailyWriter {
public:
    using Clock = std::function<QDateTime()>;
    // MaxArhDay, read at the moment a new file is created.
    using MaxFiles = std::function<int()>;
    // Called with the file's path when a streak of failed writes begins.
    using FailureReport = std::function<void(const QString& fileName)>;
    // Why something with a day file's name was moved aside.
    enum class Aside { NotATable, OtherLayout, NotAFile };
    // Called once per file moved aside: the day file's path and where it went.
    using AsideReport =
        std::function<void(const QString& fileName, const QString& movedTo, Aside why)>;

    // A record waiting in memory: the day it belongs to and its field values.
    struct Record {
        QDate date;
        std::vector<QString> values;
    };

    // More kept records than this and the oldest is given up (weeks of dosing records).
    static constexpr std::size_t kMaxKept = 100000;

    // A last try for the kept records, without a report.
    virtual ~DailyWriter();
    DailyWriter(const DailyWriter&) = delete;
    DailyWriter& operator=(const DailyWriter&) = delete;

    // The kind's file name prefix ("doz_", "jur_", "arh_").
    const QString& prefix() const { return prefix_; }
    // Records waiting in memory for a write that works.
    std::size_t keptCount() const { return kept_.size(); }
    // The kept records, oldest first.
    std::vector<Record> keptRecords() const { return {kept_.begin(), kept_.end()}; }
    // Gives up the kept records (they have been saved elsewhere).
    void dropKept() { kept_.clear(); }
    // Writes the kept records, oldest first. A file that fails keeps its own records (in
    // their order) without holding back the records of other files. Returns true when none
    // are left. Every new record tries this first anyway.
    bool flushKept();
    // Records of an earlier run, written to their own days' tables (kept when they fail).
    void restore(std::vector<Record> records);
    // The text of the last failure, for a maintainer.
    const QString& lastError() const { return lastError_; }
    // Something other than a table found under a day file's name is reported here.
    void setAsideReport(AsideReport report) { onMovedAside_ = std::move(report); }
    // Every record and then its count are flushed to the disk (fdatasync), so a record that
    // was written survives a power cut; about 0.3 ms an append on a quiet machine. Only the
    // benchmark switches it off, to compare.
    void setDurable(bool durable) { durable_ = durable; }

protected:
    enum class OnFailure { Keep, Drop };
    DailyWriter(QString workDir, QString prefix, const std::vector<DbfField>& fields,
                MaxFiles maxFiles, FailureReport onWriteFailed, Clock clock, OnFailure policy);

    QDateTime now() const;
    // Writes a record stamped `moment`: its date names the file. Kept records go first.
    void write(const QDateTime& moment, std::vector<QString> values);

    // TIME: always 24-hour HH:mm:ss.
    static QString timeText(const QDateTime& moment);

private:
    struct MovedAside {
        QString file;
        QString movedTo;
        Aside why;
    };
    bool writeOne(const Record& record, QString* path);
    bool flushInternal();
    bool setAside(const QString& path, Aside why);
    void report();
    void noteFailure(const QString& path);

    QString workDir_;
    QString prefix_;
    const std::vector<DbfField>& fields_;
    MaxFiles maxFiles_;
    FailureReport onWriteFailed_;
    AsideReport onMovedAside_;
    Clock clock_;
    OnFailure policy_;
    bool durable_ = true;
    std::deque<Record> kept_;
    bool failing_ = false;
    QString reportPath_; // a failure to hand to the callback once the state is settled
    std::vector<MovedAside> movedAside_; // the same, for files moved aside
    // Day files already moved aside in this run, by cause: a file that goes bad again for
    // the same reason is not moved a second time (no stream of copies on a sick disk).
    std::set<std::pair<QString, int>> asideDone_;
    QString lastError_;
};
