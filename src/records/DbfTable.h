#pragma once
// dBase IV tables without memo, as the station writes and reads its daily records:
// version byte 03h, language driver 0xC9 (Windows-1251), C/D/N fields.
#include <QByteArray>
#include <QDate>
#include <QString>
#include <vector>

struct DbfField {
    QByteArray name; // upper case, at most 10 characters
    char type;       // 'C' character, 'D' date (YYYYMMDD), 'N' numeric without decimals
    int width;       // C: given width, D: 8, N: 9
};

// Writing: a table is open only while one record is written.
namespace dbf {
// Creates an empty table with these fields. Returns false and fills *error on failure.
// The file appears complete or not at all: it is written under a hidden temporary name,
// every write and the flush to the disk checked, and then renamed into place, never over a
// file that is already there; when anything fails the temporary file is removed.
// `updated` is the header's last-update date; a null date means today.
bool create(const QString& path, const std::vector<DbfField>& fields, QString* error,
            const QDate& updated = QDate());

// What an append found.
enum class Outcome {
    Written,
    Failed,      // the file could not be opened, locked or written (it is as it was)
    NotATable,   // a regular file whose bytes do not describe a table
    OtherLayout, // a table, but not with the fields the writer asked for
    NotAFile,    // a FIFO, a symbolic link, a folder, a device: never opened for writing
};
struct AppendOptions {
    // When set, a table with other fields is refused as OtherLayout.
    const std::vector<DbfField>* layout = nullptr;
    // Flush the record and then the count to the disk, so a power cut keeps what was written.
    bool durable = false;
    // The header's last-update date; a null date means today.
    QDate updated;
};
// Appends one record. values[i] is the field's value as text: C fields are encoded to
// Windows-1251, cut to the width and blank-filled; N fields are right-aligned; D fields
// are YYYYMMDD. The file is opened without following a link and without waiting on a FIFO,
// and locked (flock, exclusive) while the record is written, so programs that honour the
// lock never read half a record. The record and the end marker are written before the
// header's count and date, so a crash in between leaves a valid table whose last record is
// not counted; the next append counts such a record when it is whole and followed by the
// end marker. A write that fails part-way leaves the table as it was.
Outcome appendRecord(const QString& path, const std::vector<QString>& values, QString* error,
                     const AppendOptions& options = {});
// The same, true when written.
bool append(const QString& path, const std::vector<QString>& values, QString* error,
            const QDate& updated = QDate());
// What a file holds: a table, something readable that is not a table, or nothing that
// could be read (missing, no permission, an I/O error, not a regular file).
enum class TableCheck { Table, NotATable, Unreadable };
TableCheck checkTable(const QString& path);
// What stands at a path, without following a link: nothing, a regular file, or something
// else (a link, FIFO, folder or device).
enum class Entry { Missing, RegularFile, Other };
Entry entryAt(const QString& path);
// Opens a file for reading without following a link and without blocking on a FIFO; -1
// with *error set when it is missing, unreadable or not a regular file. The caller closes it.
int openRegular(const QString& path, QString* error);
// The D field text of a date: YYYYMMDD, or blanks for a null date.
QString dateText(const QDate& date);
} // namespace dbf

// Reading: the whole file is read at once; the record count comes from the header but the
// reader never goes past the end of the file, and a short last record is ignored.
// Fields are decoded only when asked for.
class DbfReader {
public:
    // Returns false with a clear *error when the file is missing or is not a table.
    bool open(const QString& path, QString* error);
    // The same for a table already in memory.
    bool openData(QByteArray data, QString* error);

    const std::vector<DbfField>& fields() const { return fields_; }
    int fieldIndex(const char* name) const; // -1 when absent
    int recordCount() const { return count_; }
    // The record count written in the header (may exceed recordCount() after a crash).
    qint64 headerCount() const { return headerCount_; }
    QDate lastUpdate() const { return lastUpdate_; }
    bool deleted(int record) const;
    // C field: decoded and with trailing blanks removed.
    QString text(int record, int field) const;
    // N field: the integer value (0 for blanks or garbage).
    long long number(int record, int field) const;
    // D field: the date, or a null date.
    QDate date(int record, int field) const;
    // The field's bytes as stored (empty for a record or field out of range).
    QByteArrayView raw(int record, int field) const;

private:
    QByteArray data_;
    std::vector<DbfField> fields_;
    std::vector<int> offsets_;
    int headerLength_ = 0;
    int recordLength_ = 0;
    int count_ = 0;
    qint64 headerCount_ = 0;
    QDate lastUpdate_;
};
