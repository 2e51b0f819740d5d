#pragma once
// The korvel program run by a test in a working folder of its own: its environment (screen
// or none, settings and state files under the folder), its output, signals sent to it and its end,
// each wait with a deadline. Also reading the journal it left.
#include <QString>
#include <ostream>
#include <string>
#include <sys/types.h>
#include <vector>

class StationRun {
public:
    // Offscreen: QT_QPA_PLATFORM=offscreen. None: neither DISPLAY, WAYLAND_DISPLAY nor
    // QT_QPA_PLATFORM, as under cron, a systemd timer or ssh.
    enum class Screen { Offscreen, None };

    explicit StationRun(const QString& workDir, Screen screen = Screen::Offscreen);
    ~StationRun(); // a station still running is killed
    StationRun(const StationRun&) = delete;
    StationRun& operator=(const StationRun&) = delete;

    bool start(const std::vector<std::string>& args);
    // True once the process catches SIGTERM (its handlers are installed).
    bool waitForSignalHandlers(int timeoutMs);
    void signal(int sig);
    // True when the process ended within the time; its output is then complete.
    bool waitForEnd(int timeoutMs);

    // The exit code, or -1 when it was ended by a signal.
    int exitStatus() const;
    bool crashed() const;
    QString output() const { return QString::fromUtf8(out_); }
    std::string errorOutput() const { return err_; }

private:
    void drain(int timeoutMs);

    QString workDir_;
    Screen screen_;
    pid_t pid_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    int status_ = 0;
    bool ended_ = false;
    std::string out_;
    std::string err_;
};

struct JournalRecord {
    QString time;
    QString text;
    int code = -1;
};

// The journal tables (jur_*.dbf) in a folder.
QStringList journalFiles(const QString& dir);
// The records of the newest journal table, in file order; empty when there is none.
std::vector<JournalRecord> readJournal(const QString& dir);

// Readable QString in test failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
