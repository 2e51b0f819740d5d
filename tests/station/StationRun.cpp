#include "StationRun.h"

#include "DbfTable.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

StationRun::StationRun(const QString& workDir, Screen screen)
    : workDir_(workDir), screen_(screen) {}

StationRun::~StationRun() {
    if (pid_ > 0 && !ended_) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status_, 0);
    }
    for (int fd : {outFd_, errFd_})
        if (fd >= 0)
            ::close(fd);
}

bool StationRun::start(const std::vector<std::string>& args) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        const std::string name = entry.substr(0, entry.find('='));
        if (name == "DISPLAY" || name == "WAYLAND_DISPLAY" || name == "QT_QPA_PLATFORM" ||
            name == "XDG_CONFIG_HOME" || name == "XDG_STATE_HOME")
            continue;
        env.push_back(entry);
    }
    if (screen_ == Screen::Offscreen)
        env.push_back("QT_QPA_PLATFORM=offscreen");
    env.push_back("XDG_CONFIG_HOME=" + QDir(workDir_).filePath("cfg").toStdString());
    env.push_back("XDG_STATE_HOME=" + QDir(workDir_).filePath("state").toStdString());

    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        return false;
    if (::pipe2(err, O_CLOEXEC) != 0) {
        ::close(out[0]);
        ::close(out[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    const std::string dir = workDir_.toStdString();
    posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());

    std::vector<char*> argv{const_cast<char*>(KORVEL_PATH)};
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    const int rc = ::posix_spawn(&pid_, KORVEL_PATH, &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
    outFd_ = out[0];
    errFd_ = err[0];
    if (rc != 0) {
        pid_ = -1;
        return false;
    }
    return true;
}

bool StationRun::waitForSignalHandlers(int timeoutMs) {
    const QString status = QStringLiteral("/proc/%1/status").arg(pid_);
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < timeoutMs && !ended_) {
        QFile f(status);
        if (f.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : f.readAll().split('\n')) {
                if (!line.startsWith("SigCgt:"))
                    continue;
                const unsigned long long caught = line.mid(7).trimmed().toULongLong(nullptr, 16);
                if (caught & (1ULL << (SIGTERM - 1)))
                    return true;
            }
        }
        drain(5);
        int st = 0;
        if (::waitpid(pid_, &st, WNOHANG) == pid_) {
            status_ = st;
            ended_ = true;
        }
    }
    return false;
}

void StationRun::signal(int sig) {
    if (pid_ > 0 && !ended_)
        ::kill(pid_, sig);
}

void StationRun::drain(int timeoutMs) {
    pollfd fds[2] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}};
    if (::poll(fds, 2, timeoutMs) <= 0)
        return;
    char buf[4096];
    for (int i = 0; i < 2; ++i) {
        if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP)))
            continue;
        const ssize_t n = ::read(fds[i].fd, buf, sizeof buf);
        if (n > 0)
            (i == 0 ? out_ : err_).append(buf, size_t(n));
    }
}

bool StationRun::waitForEnd(int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (!ended_ && t.elapsed() <= timeoutMs) {
        drain(10);
        int st = 0;
        if (::waitpid(pid_, &st, WNOHANG) == pid_) {
            status_ = st;
            ended_ = true;
        }
    }
    if (!ended_)
        return false;
    // What is left in the pipes (the writers have ended, so reads come back at once).
    for (int fd : {outFd_, errFd_}) {
        char buf[4096];
        ssize_t n;
        while ((n = ::read(fd, buf, sizeof buf)) > 0)
            (fd == outFd_ ? out_ : err_).append(buf, size_t(n));
    }
    return true;
}

int StationRun::exitStatus() const {
    return ended_ && WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
}

bool StationRun::crashed() const {
    return ended_ && WIFSIGNALED(status_);
}

QStringList journalFiles(const QString& dir) {
    return QDir(dir).entryList({QStringLiteral("jur_*.dbf")}, QDir::Files, QDir::Name);
}

std::vector<JournalRecord> readJournal(const QString& dir) {
    const QStringList files = journalFiles(dir);
    std::vector<JournalRecord> records;
    if (files.isEmpty())
        return records;
    DbfReader reader;
    if (!reader.open(QDir(dir).filePath(files.last()), nullptr))
        return records;
    const int time = reader.fieldIndex("TIME");
    const int text = reader.fieldIndex("REC_STR");
    const int code = reader.fieldIndex("CODZ");
    for (int r = 0; r < reader.recordCount(); ++r)
        records.push_back(
            {reader.text(r, time), reader.text(r, text), int(reader.number(r, code))});
    return records;
}
