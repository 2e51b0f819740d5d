#include "Sandbox.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace sandbox {
namespace {
bool writeText(const char* path, const std::string& text) {
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, text.data(), text.size()) == ssize_t(text.size());
    ::close(fd);
    return ok;
}

// A private mount namespace; without root, inside a user namespace of our own.
std::string enter() {
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    if (uid == 0) {
        if (::unshare(CLONE_NEWNS) != 0)
            return std::string("unshare: ") + std::strerror(errno);
    } else {
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return std::string("unshare: ") + std::strerror(errno);
        writeText("/proc/self/setgroups", "deny");
        if (!writeText("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
            !writeText("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
            return "cannot map the user";
    }
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return std::string("mount private: ") + std::strerror(errno);
    return {};
}
} // namespace

std::string run(const std::function<std::string()>& body, int deadlineSeconds) {
    int fds[2];
    if (::pipe(fds) != 0)
        return "pipe failed";
    const pid_t pid = ::fork();
    if (pid < 0)
        return "fork failed";
    if (pid == 0) {
        ::close(fds[0]);
        ::alarm(unsigned(deadlineSeconds));
        std::string result = enter();
        if (result.empty())
            result = body();
        if (result.empty())
            result = "ok";
        [[maybe_unused]] const ssize_t n = ::write(fds[1], result.data(), result.size());
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string out;
    char buf[4096];
    ssize_t n;
    while ((n = ::read(fds[0], buf, sizeof buf)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0)
            out.append(buf, size_t(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFSIGNALED(status))
        return std::string("the child ended by signal ") + std::to_string(WTERMSIG(status)) +
               (WTERMSIG(status) == SIGALRM ? " (it hung past the deadline)" : "") +
               (out.empty() ? "" : ": " + out);
    return out == "ok" ? std::string() : out;
}

bool mountTmpfs(const QString& dir, int kib) {
    const std::string options = "size=" + std::to_string(kib) + "k";
    return ::mount("tmpfs", QFile::encodeName(dir).constData(), "tmpfs", 0, options.c_str()) == 0;
}

bool makeReadOnly(const QString& path) {
    const QByteArray p = QFile::encodeName(path);
    return ::mount(p.constData(), p.constData(), nullptr, MS_BIND, nullptr) == 0 &&
           ::mount(nullptr, p.constData(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

bool fill(const QString& dir, const QString& name) {
    const int fd = ::open(QFile::encodeName(dir + '/' + name).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    static const char block[4096] = {};
    // Whole blocks first, then byte by byte to the last free byte.
    while (::write(fd, block, sizeof block) == ssize_t(sizeof block)) {
    }
    while (::write(fd, block, 1) == 1) {
    }
    ::close(fd);
    return errno == ENOSPC;
}
} // namespace sandbox
