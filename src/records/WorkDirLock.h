#pragma once
// One station per working folder: the lock file .korvel.lock in the folder, held with flock
// for the whole run. A second station started in the same folder cannot take it and must
// not write anything there. The lock goes with the process, also when it is killed.
#include <QString>

class WorkDirLock {
public:
    WorkDirLock() = default;
    ~WorkDirLock();
    WorkDirLock(const WorkDirLock&) = delete;
    WorkDirLock& operator=(const WorkDirLock&) = delete;

    enum class Result {
        Held,     // this process holds the folder
        Busy,     // another process holds it: *message says which
        Unlocked, // the folder allows no lock file (read-only): the run goes on without one
    };
    Result acquire(const QString& workDir, QString* message);

    static QString fileName() { return QStringLiteral(".korvel.lock"); }

private:
    int fd_ = -1;
};
