#include "ProcessSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int signalPipe[2] = {-1, -1};

// The byte each signal writes.
constexpr char kStop = 's';
constexpr char kReopen = 'h';

void onSignal(int sig) {
    const int saved = errno;
    const char b = sig == SIGHUP ? kReopen : kStop;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &b, 1);
    errno = saved;
}
} // namespace

bool ProcessSignals::install() {
    if (signalPipe[0] >= 0)
        return true;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe) != 0)
        return false;
    struct sigaction sa = {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    return true;
}

ProcessSignals::ProcessSignals(QObject* parent) : QObject(parent) {
    if (signalPipe[0] < 0)
        return;
    notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &ProcessSignals::take);
}

void ProcessSignals::take() {
    // Every byte waiting: several signals of a kind make one request, and a stop wins.
    bool stop = false;
    bool reopen = false;
    char buf[16];
    for (ssize_t n; (n = ::read(signalPipe[0], buf, sizeof buf)) > 0;)
        for (ssize_t i = 0; i < n; ++i)
            (buf[i] == kReopen ? reopen : stop) = true;
    if (!stop) {
        if (reopen && reopen_ && !requested_)
            reopen_();
        return;
    }
    requested_ = true;
    emit stopRequested();
    if (close_)
        close_();
    // Ends the application's loop and every nested one (a modal dialog, the preview); a
    // dialog opened after this returns at once.
    QCoreApplication::exit(0);
}
