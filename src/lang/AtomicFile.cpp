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
QString failure(const QString& path, int err) {
    return QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(err)));
}

bool writeAll(int fd, const char* p, qint64 size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        p += n;
        size -= n;
    }
    return true;
}
} // namespace

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
        err = failure(path, errno);
        return false;
    }
    auto fail = [&](int e) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(temp.constData());
        err = failure(path, e);
        return false;
    };
    struct stat old {};
    if (mode == Mode::Replace && ::stat(final.constData(), &old) == 0 &&
        ::fchmod(fd, old.st_mode & 07777) != 0)
        return fail(errno);
    if (!writeAll(fd, bytes.constData(), bytes.size()) || ::fdatasync(fd) != 0)
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
