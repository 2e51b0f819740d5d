#pragma once
// The station's own executable started for one test: in a working folder, headless, with
// settings and recovery files of the test's own, its error output kept in a file, and every
// wait bounded.
#include <QString>
#include <QStringList>
#include <sys/types.h>

class StationProcess {
public:
    struct Options {
        QString workDir;
        QString home; // XDG_CONFIG_HOME and XDG_STATE_HOME live below it
        QStringList args;
        long fileSizeLimit = -1; // RLIMIT_FSIZE in bytes, -1 for none
        bool coreDumps = false;  // RLIMIT_CORE unlimited: a station that dies may dump core
    };
    explicit StationProcess(const Options& options);
    ~StationProcess(); // kills a station still running

    pid_t pid() const { return pid_; }
    // Waits for the end until the deadline; the exit status, or -1 when it did not end.
    // A station ended by a signal gives 128 + the signal number.
    int wait(int milliseconds);
    // SIGTERM, then wait().
    int stop(int milliseconds = 10000);
    bool running();
    QString errorOutput() const;

private:
    pid_t pid_ = -1;
    int status_ = -1;
    QString errFile_;
};
