#include "StationProcess.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

StationProcess::StationProcess(const Options& o) {
    errFile_ = o.home + "/station-stderr.txt";
    // KORVEL_STATION runs the tests against another build of the station (an installed one).
    const QByteArray station = qEnvironmentVariableIsSet("KORVEL_STATION")
                                   ? qgetenv("KORVEL_STATION")
                                   : QByteArray(KORVEL_PATH);
    std::vector<QByteArray> args{station};
    for (const QString& a : o.args)
        args.push_back(QFile::encodeName(a));
    const QByteArray dir = QFile::encodeName(o.workDir);
    const QByteArray config = QFile::encodeName(o.home + "/config");
    const QByteArray state = QFile::encodeName(o.home + "/state");
    const QByteArray err = QFile::encodeName(errFile_);
    pid_ = ::fork();
    if (pid_ != 0)
        return;
    // The child: only calls that are safe after fork, then the station.
    std::vector<char*> argv;
    for (QByteArray& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    if (::chdir(dir.constData()) != 0)
        ::_exit(120);
    ::setenv("XDG_CONFIG_HOME", config.constData(), 1);
    ::setenv("XDG_STATE_HOME", state.constData(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (o.fileSizeLimit >= 0) {
        const rlimit rl{rlim_t(o.fileSizeLimit), rlim_t(o.fileSizeLimit)};
        ::setrlimit(RLIMIT_FSIZE, &rl);
    }
    if (o.coreDumps) {
        const rlimit rl{RLIM_INFINITY, RLIM_INFINITY};
        ::setrlimit(RLIMIT_CORE, &rl);
    }
    const int fd = ::open(err.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0)
        ::dup2(fd, STDERR_FILENO);
    ::execv(argv[0], argv.data());
    ::_exit(121);
}

StationProcess::~StationProcess() {
    if (running()) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

bool StationProcess::running() {
    if (pid_ <= 0 || status_ >= 0)
        return false;
    int st = 0;
    const pid_t r = ::waitpid(pid_, &st, WNOHANG);
    if (r == pid_) {
        status_ = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
        return false;
    }
    return r == 0;
}

int StationProcess::wait(int milliseconds) {
    QDeadlineTimer deadline(milliseconds);
    while (running() && !deadline.hasExpired())
        QThread::msleep(20);
    return running() ? -1 : status_;
}

int StationProcess::stop(int milliseconds) {
    if (running())
        ::kill(pid_, SIGTERM);
    return wait(milliseconds);
}

QString StationProcess::errorOutput() const {
    QFile f(errFile_);
    return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll()) : QString();
}
