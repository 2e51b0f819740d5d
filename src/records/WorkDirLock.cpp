#include "WorkDirLock.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

WorkDirLock::~WorkDirLock() {
    if (fd_ >= 0)
        ::close(fd_);
}

WorkDirLock::Result WorkDirLock::acquire(const QString& workDir, QString* message) {
    const QString path = workDir + QLatin1Char('/') + fileName();
    const QByteArray native = QFile::encodeName(path);
    int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    bool writable = fd >= 0;
    if (fd < 0 && (errno == EACCES || errno == EROFS))
        fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW); // a read-only folder
    if (fd < 0) {
        if (message)
            *message = QStringLiteral("cannot lock the working folder %1: %2")
                           .arg(workDir, QString::fromLocal8Bit(std::strerror(errno)));
        return Result::Unlocked;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int e = errno;
        char buf[32] = {};
        const ssize_t n = ::pread(fd, buf, sizeof buf - 1, 0);
        ::close(fd);
        if (e != EWOULDBLOCK) {
            if (message)
                *message = QStringLiteral("cannot lock the working folder %1: %2")
                               .arg(workDir, QString::fromLocal8Bit(std::strerror(e)));
            return Result::Unlocked;
        }
        const QByteArray pid = QByteArray(buf, n > 0 ? int(n) : 0).trimmed();
        if (message)
            *message = pid.isEmpty()
                           ? QStringLiteral("the working folder %1 is in use by another station")
                                 .arg(workDir)
                           : QStringLiteral("the working folder %1 is in use by another station "
                                            "(process %2)")
                                 .arg(workDir, QString::fromLatin1(pid));
        return Result::Busy;
    }
    fd_ = fd;
    if (writable) {
        const QByteArray pid = QByteArray::number(qint64(::getpid())) + '\n';
        if (::ftruncate(fd_, 0) == 0) {
            [[maybe_unused]] const ssize_t n =
                ::pwrite(fd_, pid.constData(), size_t(pid.size()), 0);
        }
    }
    return Result::Held;
}
