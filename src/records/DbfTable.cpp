#include "DbfTable.h"

#include "AtomicFile.h"
#include "Cp1251.h"

#include <QFile>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace {
constexpr unsigned char kVersion = 0x03;        // dBase IV (III-compatible) without memo
constexpr unsigned char kLanguageDriver = 0xC9; // Windows-1251
constexpr char kHeaderEnd = 0x0D;
constexpr char kFileEnd = 0x1A;
constexpr int kHeaderSize = 32;
constexpr int kDescriptorSize = 32;

quint16 le16(const char* p) {
    return quint16(quint8(p[0]) | (quint8(p[1]) << 8));
}
quint32 le32(const char* p) {
    return quint32(quint8(p[0])) | (quint32(quint8(p[1])) << 8) | (quint32(quint8(p[2])) << 16) |
           (quint32(quint8(p[3])) << 24);
}
void putLe16(char* p, quint16 v) {
    p[0] = char(v & 0xFF);
    p[1] = char(v >> 8);
}
void putLe32(char* p, quint32 v) {
    for (int i = 0; i < 4; ++i)
        p[i] = char((v >> (8 * i)) & 0xFF);
}

// Bytes 1..3 of the header: year since 1900, month, day.
void putDate(char* p, const QDate& date) {
    const QDate d = date.isValid() ? date : QDate::currentDate();
    p[0] = char(std::clamp(d.year() - 1900, 0, 255));
    p[1] = char(d.month());
    p[2] = char(d.day());
}

bool knownVersion(unsigned char v) {
    // dBase III/IV families (with or without memo), FoxPro and dBase 7 style files.
    return (v & 0x07) == 0x03 || v == 0x30 || v == 0x31 || v == 0x32 || v == 0x04;
}

struct Layout {
    std::vector<DbfField> fields;
    std::vector<int> offsets;
    int headerLength = 0;
    int recordLength = 0;
    quint32 count = 0;
    QDate updated;
};

// Parses the header and field descriptors of `size` bytes; fills *why when they do not
// describe a table.
bool parseLayout(const char* data, qint64 size, Layout* out, QString* why) {
    if (size < kHeaderSize + 1) {
        *why = QStringLiteral("too short for a table header");
        return false;
    }
    if (!knownVersion(quint8(data[0]))) {
        *why = QStringLiteral("unknown version byte 0x%1").arg(quint8(data[0]), 2, 16, QChar('0'));
        return false;
    }
    Layout l;
    l.count = le32(data + 4);
    l.headerLength = le16(data + 8);
    l.recordLength = le16(data + 10);
    l.updated = QDate(1900 + quint8(data[1]), quint8(data[2]), quint8(data[3]));
    if (l.headerLength < kHeaderSize + kDescriptorSize + 1 || l.headerLength > size) {
        *why = QStringLiteral("bad header length %1").arg(l.headerLength);
        return false;
    }
    if (l.recordLength < 2) {
        *why = QStringLiteral("bad record length %1").arg(l.recordLength);
        return false;
    }
    int offset = 1; // the deletion flag comes first
    int pos = kHeaderSize;
    bool terminated = false;
    while (pos < l.headerLength) {
        if (data[pos] == kHeaderEnd) {
            terminated = true;
            break;
        }
        if (pos + kDescriptorSize > l.headerLength) {
            *why = QStringLiteral("field descriptors run past the header");
            return false;
        }
        const char* d = data + pos;
        DbfField f;
        f.name = QByteArray(d, qstrnlen(d, 11));
        f.type = d[11];
        f.width = quint8(d[16]);
        if (f.name.isEmpty() || f.width == 0) {
            *why = QStringLiteral("bad field descriptor %1").arg(l.fields.size() + 1);
            return false;
        }
        if (offset + f.width > l.recordLength) {
            *why = QStringLiteral("field %1 lies beyond the record length")
                       .arg(QString::fromLatin1(f.name));
            return false;
        }
        l.offsets.push_back(offset);
        offset += f.width;
        l.fields.push_back(std::move(f));
        pos += kDescriptorSize;
    }
    if (!terminated || l.fields.empty()) {
        *why = QStringLiteral("no field descriptors or no header terminator");
        return false;
    }
    *out = std::move(l);
    return true;
}

using atomicfile::preadAll;
using atomicfile::pwriteAll;
using atomicfile::sysError;

// One field's bytes for a record: exactly `width` bytes.
void putField(char* dst, const DbfField& f, const QString& value) {
    std::memset(dst, ' ', size_t(f.width));
    if (f.type == 'N' || f.type == 'F') {
        const QByteArray digits = value.trimmed().toLatin1();
        if (digits.size() > f.width)
            std::memset(dst, '*', size_t(f.width)); // does not fit, as dBase marks it
        else
            std::memcpy(dst + f.width - digits.size(), digits.constData(), size_t(digits.size()));
        return;
    }
    const QByteArray bytes = f.type == 'C' ? cp1251::encode(value) : value.toLatin1();
    std::memcpy(dst, bytes.constData(), size_t(std::min<qsizetype>(bytes.size(), f.width)));
}

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }
    // Closes now and tells whether the close worked (a late write error shows here).
    bool close() { return ::close(release()) == 0; }

private:
    int fd_;
};

bool sameLayout(const std::vector<DbfField>& a, const std::vector<DbfField>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const DbfField& x, const DbfField& y) {
                          return x.name == y.name && x.type == y.type && x.width == y.width;
                      });
}

// Another program that honours the lock (an export script) may hold the table for a moment;
// the writer waits a little and otherwise fails the write, to be tried again later. It
// never waits for ever, so the poll cycle goes on whatever the other program does.
bool lockForWriting(int fd) {
    for (int tries = 0; tries < 20; ++tries) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno != EWOULDBLOCK && errno != EINTR)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    errno = EWOULDBLOCK;
    return false;
}

} // namespace

namespace dbf {

QString dateText(const QDate& date) {
    return date.isValid() ? date.toString(QStringLiteral("yyyyMMdd")) : QString(8, QChar(' '));
}

Entry entryAt(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return errno == ENOENT ? Entry::Missing : Entry::Other;
    return S_ISREG(st.st_mode) ? Entry::RegularFile : Entry::Other;
}

int openRegular(const QString& path, QString* error) {
    QString dummy;
    QString& err = error ? *error : dummy;
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        err = errno == ELOOP ? QStringLiteral("%1: not a regular file (a symbolic link)").arg(path)
                             : sysError(path, errno);
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        err = QStringLiteral("%1: not a regular file").arg(path);
        ::close(fd);
        return -1;
    }
    return fd;
}

TableCheck checkTable(const QString& path) {
    Fd fd(openRegular(path, nullptr));
    if (fd.get() < 0)
        return TableCheck::Unreadable;
    char head[kHeaderSize];
    const ssize_t n = ::pread(fd.get(), head, kHeaderSize, 0);
    if (n < 0)
        return TableCheck::Unreadable;
    if (n < kHeaderSize)
        return TableCheck::NotATable;
    const int headerLength = le16(head + 8);
    if (headerLength < kHeaderSize + 1)
        return TableCheck::NotATable;
    QByteArray header(headerLength, '\0');
    const ssize_t m = ::pread(fd.get(), header.data(), size_t(headerLength), 0);
    if (m < 0)
        return TableCheck::Unreadable;
    header.truncate(m);
    Layout layout;
    QString why;
    return parseLayout(header.constData(), header.size(), &layout, &why) ? TableCheck::Table
                                                                         : TableCheck::NotATable;
}

bool create(const QString& path, const std::vector<DbfField>& fields, QString* error,
            const QDate& updated) {
    QString dummy;
    QString& err = error ? *error : dummy;
    if (fields.empty() || fields.size() > 255) {
        err = QStringLiteral("%1: a table needs 1 to 255 fields").arg(path);
        return false;
    }
    int recordLength = 1;
    for (const DbfField& f : fields) {
        if (f.name.isEmpty() || f.name.size() > 10 || f.width < 1 || f.width > 254) {
            err = QStringLiteral("%1: bad field %2").arg(path, QString::fromLatin1(f.name));
            return false;
        }
        recordLength += f.width;
    }
    if (recordLength > 0xFFFF) {
        err = QStringLiteral("%1: record too long").arg(path);
        return false;
    }
    const int headerLength = kHeaderSize + kDescriptorSize * int(fields.size()) + 1;
    QByteArray bytes(headerLength + 1, '\0');
    char* h = bytes.data();
    h[0] = char(kVersion);
    putDate(h + 1, updated);
    putLe32(h + 4, 0);
    putLe16(h + 8, quint16(headerLength));
    putLe16(h + 10, quint16(recordLength));
    h[29] = char(kLanguageDriver);
    char* d = h + kHeaderSize;
    for (const DbfField& f : fields) {
        std::memcpy(d, f.name.constData(), size_t(f.name.size()));
        d[11] = f.type;
        d[16] = char(f.width);
        d[17] = 0; // no decimals
        d += kDescriptorSize;
    }
    *d++ = kHeaderEnd;
    *d = kFileEnd;

    // Written under a hidden name beside the table and renamed into place only when every
    // byte has reached the disk: a full disk or a crash never leaves a short table behind.
    return atomicfile::write(path, bytes, atomicfile::Mode::NewOnly, &err);
}

bool append(const QString& path, const std::vector<QString>& values, QString* error,
            const QDate& updated) {
    AppendOptions options;
    options.updated = updated;
    return appendRecord(path, values, error, options) == Outcome::Written;
}

Outcome appendRecord(const QString& path, const std::vector<QString>& values, QString* error,
                     const AppendOptions& options) {
    QString dummy;
    QString& err = error ? *error : dummy;
    const QByteArray native = QFile::encodeName(path);
    // No link is followed and no FIFO waited on: only a regular file is ever written.
    Fd fd(::open(native.constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (fd.get() < 0) {
        const int e = errno;
        if (e == ELOOP || e == EISDIR || e == ENXIO) {
            err = QStringLiteral("%1: not a regular file").arg(path);
            return Outcome::NotAFile;
        }
        err = sysError(path, e);
        return Outcome::Failed;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        err = sysError(path, errno);
        return Outcome::Failed;
    }
    if (!S_ISREG(st.st_mode)) {
        err = QStringLiteral("%1: not a regular file").arg(path);
        return Outcome::NotAFile;
    }
    if (!lockForWriting(fd.get())) {
        err = errno == EWOULDBLOCK ? QStringLiteral("%1: locked by another program").arg(path)
                                   : sysError(path, errno);
        return Outcome::Failed;
    }
    if (::fstat(fd.get(), &st) != 0) { // the size once the lock is held
        err = sysError(path, errno);
        return Outcome::Failed;
    }
    const qint64 fileSize = st.st_size;
    char head[kHeaderSize];
    if (fileSize < kHeaderSize) {
        err = QStringLiteral("%1: not a table (too short for a table header)").arg(path);
        return Outcome::NotATable;
    }
    if (!preadAll(fd.get(), head, kHeaderSize, 0)) {
        err = sysError(path, errno);
        return Outcome::Failed;
    }
    const int headerLength = le16(head + 8);
    if (headerLength < kHeaderSize + 1 || headerLength > fileSize) {
        err = QStringLiteral("%1: not a table (bad header length)").arg(path);
        return Outcome::NotATable;
    }
    QByteArray header(headerLength, '\0');
    if (!preadAll(fd.get(), header.data(), headerLength, 0)) {
        err = sysError(path, errno);
        return Outcome::Failed;
    }
    Layout layout;
    QString why;
    if (!parseLayout(header.constData(), headerLength, &layout, &why)) {
        err = QStringLiteral("%1: not a table (%2)").arg(path, why);
        return Outcome::NotATable;
    }
    if (options.layout && !sameLayout(layout.fields, *options.layout)) {
        err = QStringLiteral("%1: a table of another layout").arg(path);
        return Outcome::OtherLayout;
    }
    if (values.size() != layout.fields.size()) {
        err = QStringLiteral("%1: %2 values for %3 fields")
                  .arg(path)
                  .arg(values.size())
                  .arg(layout.fields.size());
        return Outcome::Failed;
    }

    // The new record goes after the last counted record that is really in the file. A crash
    // between a record and its count leaves one whole record with the end marker behind it:
    // that record was written completely and other readers may already show it, so it is
    // counted. Anything else past the count (a record cut short) is overwritten.
    const qint64 present = (fileSize - headerLength) / layout.recordLength;
    qint64 count = std::min<qint64>(layout.count, present);
    if (count + 1 == present && fileSize == headerLength + present * layout.recordLength + 1) {
        char flag = 0, end = 0;
        if (preadAll(fd.get(), &flag, 1, headerLength + count * layout.recordLength) &&
            preadAll(fd.get(), &end, 1, fileSize - 1) && end == kFileEnd &&
            (flag == ' ' || flag == '*'))
            count = present;
    }
    if (count >= 0xFFFFFFFFLL) {
        err = QStringLiteral("%1: table full").arg(path);
        return Outcome::Failed;
    }
    const qint64 pos = headerLength + count * layout.recordLength;

    QByteArray record(layout.recordLength + 1, ' ');
    for (size_t i = 0; i < values.size(); ++i)
        putField(record.data() + layout.offsets[i], layout.fields[i], values[i]);
    record[layout.recordLength] = kFileEnd;

    // What the record overwrites, to put back if the write fails part-way.
    const qint64 oldTail = std::min<qint64>(record.size(), fileSize - pos);
    QByteArray saved(oldTail, '\0');
    if (oldTail > 0 && !preadAll(fd.get(), saved.data(), oldTail, pos)) {
        err = sysError(path, errno);
        return Outcome::Failed;
    }
    if (!pwriteAll(fd.get(), record.constData(), record.size(), pos) ||
        (options.durable && ::fdatasync(fd.get()) != 0)) {
        const int e = errno;
        if (::ftruncate(fd.get(), fileSize) == 0 && oldTail > 0)
            pwriteAll(fd.get(), saved.constData(), oldTail, pos);
        err = sysError(path, e);
        return Outcome::Failed;
    }

    char counted[7];
    putDate(counted, options.updated);
    putLe32(counted + 3, quint32(count + 1));
    if (!pwriteAll(fd.get(), counted, sizeof counted, 1) ||
        (options.durable && ::fdatasync(fd.get()) != 0)) {
        err = sysError(path, errno);
        return Outcome::Failed;
    }
    return Outcome::Written;
}

} // namespace dbf

bool DbfReader::open(const QString& path, QString* error) {
    *this = DbfReader();
    // A FIFO or a link named like a table is refused at once instead of blocking the window.
    Fd fd(dbf::openRegular(path, error));
    if (fd.get() < 0)
        return false;
    QByteArray data;
    struct stat st {};
    if (::fstat(fd.get(), &st) == 0)
        data.reserve(qsizetype(st.st_size));
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            if (error)
                *error = sysError(path, errno);
            return false;
        }
        if (n == 0)
            break;
        data.append(buf, n);
    }
    QString why;
    if (!openData(std::move(data), &why)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, why);
        return false;
    }
    return true;
}

bool DbfReader::openData(QByteArray data, QString* error) {
    *this = DbfReader();
    Layout layout;
    QString why;
    if (!parseLayout(data.constData(), data.size(), &layout, &why)) {
        if (error)
            *error = QStringLiteral("not a table (%1)").arg(why);
        return false;
    }
    data_ = std::move(data);
    fields_ = std::move(layout.fields);
    offsets_ = std::move(layout.offsets);
    headerLength_ = layout.headerLength;
    recordLength_ = layout.recordLength;
    headerCount_ = layout.count;
    lastUpdate_ = layout.updated;
    const qint64 present = (data_.size() - headerLength_) / recordLength_;
    count_ = int(std::min<qint64>({qint64(layout.count), present, qint64(INT_MAX)}));
    return true;
}

int DbfReader::fieldIndex(const char* name) const {
    for (size_t i = 0; i < fields_.size(); ++i)
        if (qstricmp(fields_[i].name.constData(), name) == 0)
            return int(i);
    return -1;
}

bool DbfReader::deleted(int record) const {
    if (record < 0 || record >= count_)
        return false;
    return data_[qsizetype(headerLength_) + qsizetype(record) * recordLength_] == '*';
}

QByteArrayView DbfReader::raw(int record, int field) const {
    if (record < 0 || record >= count_ || field < 0 || field >= int(fields_.size()))
        return {};
    const qsizetype at =
        qsizetype(headerLength_) + qsizetype(record) * recordLength_ + offsets_[field];
    return QByteArrayView(data_.constData() + at, fields_[field].width);
}

QString DbfReader::text(int record, int field) const {
    QByteArrayView v = raw(record, field);
    while (!v.isEmpty() && (v.back() == ' ' || v.back() == '\0'))
        v.chop(1);
    return cp1251::decode(v.data(), v.size());
}

long long DbfReader::number(int record, int field) const {
    QByteArrayView v = raw(record, field).trimmed();
    if (v.isEmpty())
        return 0;
    const char* first = v.data();
    const char* last = first + v.size();
    if (*first == '+')
        ++first;
    long long value = 0;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || (end != last && *end != '.'))
        return 0;
    return value;
}

QDate DbfReader::date(int record, int field) const {
    const QByteArrayView v = raw(record, field);
    if (v.size() != 8)
        return {};
    for (char c : v)
        if (c < '0' || c > '9')
            return {};
    auto num = [&](int from, int len) {
        int n = 0;
        for (int i = from; i < from + len; ++i)
            n = n * 10 + (v[i] - '0');
        return n;
    };
    return QDate(num(0, 4), num(4, 2), num(6, 2));
}
