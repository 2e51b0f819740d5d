#pragma once
// What the three daily-table writers share: one clock reading per record names the day's
// file, a missing file is created and the kind's retention run, a record that cannot be
// written can be kept in memory until writing works again, and the operator is told once
// per failure streak. A writer is used on one thread only; its callbacks run on that thread.
#include "DbfTable.h"

#include <QDateTime>
#include <QString>
#include <deque>
#include <functional>
#include <vector>

class DailyWriter {
public:
    using Clock = std::function<QDateTime()>;
    // MaxArhDay, read at the moment a new file is created.
    using MaxFiles = std::function<int()>;
    // Called with the file's path when a streak of failed writes begins.
    using FailureReport = std::function<void(const QString& fileName)>;

    // More kept records than this and the oldest is given up (weeks of dosing records).
    static constexpr std::size_t kMaxKept = 100000;

    // A last try for the kept records, without a report.
    virtual ~DailyWriter();
    DailyWriter(const DailyWriter&) = delete;
    DailyWriter& operator=(const DailyWriter&) = delete;

    // Records waiting in memory for a write that works.
    std::size_t keptCount() const { return kept_.size(); }
    // Writes the kept records, oldest first, stopping at the first that fails. Returns true
    // when none are left. Every new record tries this first anyway.
    bool flushKept();
    // The text of the last failure, for a maintainer.
    const QString& lastError() const { return lastError_; }

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
    struct Record {
        QDate date;
        std::vector<QString> values;
    };
    bool writeOne(const Record& record, QString* path);
    bool flushInternal();
    bool setAside(const QString& path);
    void report();
    void noteFailure(const QString& path);

    QString workDir_;
    QString prefix_;
    const std::vector<DbfField>& fields_;
    MaxFiles maxFiles_;
    FailureReport onWriteFailed_;
    Clock clock_;
    OnFailure policy_;
    std::deque<Record> kept_;
    bool failing_ = false;
    QString reportPath_; // a failure to hand to the callback once the state is settled
    QString lastError_;
};
