#pragma once
// A file that appears complete or not at all. The bytes are written under a hidden name in
// the same folder, every write and the flush to the disk are checked, and only then is the
// file renamed into place; when anything fails (a full disk, a size limit, an I/O error)
// the hidden file is removed and the old file, if any, stays as it was.
#include <QByteArray>
#include <QString>

namespace atomicfile {
enum class Mode {
    Replace, // an existing file is replaced (its permissions are kept; a link is followed)
    NewOnly, // an existing file is left alone and counts as success: somebody was quicker
};
// Returns false with *error ("path: reason") when the file could not be written.
bool write(const QString& path, const QByteArray& bytes, Mode mode, QString* error);

// Reads or writes all of size bytes at offset, going on after interruptions and short
// transfers; a transfer of nothing counts as an I/O error (errno EIO).
bool preadAll(int fd, char* buf, qint64 size, qint64 offset);
bool pwriteAll(int fd, const char* buf, qint64 size, qint64 offset);
// "path: the system's text for err".
QString sysError(const QString& path, int err);
} // namespace atomicfile
