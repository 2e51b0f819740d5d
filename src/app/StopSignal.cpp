#include "StopSignal.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const int saved = errno;
    const char b = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &b, 1);
    errno = saved;
}
} // namespace

bool StopSignal::install() {
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
    return true;
}

StopSignal::StopSignal(QObject* parent) : QObject(parent) {
    if (signalPipe[0] < 0)
        return;
    notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &StopSignal::take);
}

void StopSignal::take() {
    // Every byte waiting: several signals make one request.
    char buf[16];
    while (::read(signalPipe[0], buf, sizeof buf) > 0) {
    }
    requested_ = true;
    emit stopRequested();
    if (close_)
        close_();
    // Ends the application's loop and every nested one (a modal dialog, the preview); a
    // dialog opened after this returns at once.
    QCoreApplication::exit(0);
}
