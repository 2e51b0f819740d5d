#include "AtomicFile.h"

#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace atomicfile {
namespace {
template <typename Buf, typename Transfer>
bool transferAll(int fd, Buf buf, qint64 size, qint64 offset, Transfer transfer) {
    while (size > 0) {
        const ssize_t n = transfer(fd, buf, size_t(size), off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        buf += n;
        size -= n;
        offset += n;
    }
    return true;
}
} // namespace

bool preadAll(int fd, char* buf, qint64 size, qint64 offset) {
    return transferAll(fd, buf, size, offset, ::pread);
}

bool pwriteAll(int fd, const char* buf, qint64 size, qint64 offset) {
    return transferAll(fd, buf, size, offset, ::pwrite);
}

QString sysError(const QString& path, int err) {
    return QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(err)));
}

bool write(const QString& path, const QByteArray& bytes, Mode mode, QString* error) {
    QString dummy;
    QString& err = error ? *error : dummy;
    QString target = path;
    if (mode == Mode::Replace) {
        const QFileInfo link(path);
        if (link.isSymLink() && link.exists())
            target = link.canonicalFilePath();
    }
    const QFileInfo info(target);
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    const QByteArray final = QFile::encodeName(target);

    static std::atomic<unsigned> serial{0};
    QByteArray temp;
    int fd = -1;
    for (int tries = 0; fd < 0 && tries < 100; ++tries) {
        temp = folder + "/." + QFile::encodeName(info.fileName()) + ".new" +
               QByteArray::number(qint64(::getpid())) + '-' + QByteArray::number(serial++);
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        err = sysError(path, errno);
        return false;
    }
    auto fail = [&](int e) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(temp.constData());
        err = sysError(path, e);
        return false;
    };
    struct stat old {};
    if (mode == Mode::Replace && ::stat(final.constData(), &old) == 0 &&
        ::fchmod(fd, old.st_mode & 07777) != 0)
        return fail(errno);
    if (!pwriteAll(fd, bytes.constData(), bytes.size(), 0) || ::fdatasync(fd) != 0)
        return fail(errno);
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0)
        return fail(errno);

    if (mode == Mode::Replace) {
        if (std::rename(temp.constData(), final.constData()) != 0)
            return fail(errno);
    } else if (::renameat2(AT_FDCWD, temp.constData(), AT_FDCWD, final.constData(),
                           RENAME_NOREPLACE) != 0) {
        const int e = errno;
        if (e == EINVAL || e == ENOSYS) {
            // A file system without the no-replace rename: a hard link does the same.
            if (::link(temp.constData(), final.constData()) != 0 && errno != EEXIST)
                return fail(errno);
        } else if (e != EEXIST) {
            return fail(e);
        }
        ::unlink(temp.constData());
    }
    // The folder's entry of the file reaches the disk too.
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}
} // namespace atomicfile
