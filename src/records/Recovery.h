#pragma once
// Records that could not be written before the station closed are not dropped: they wait in
// a recovery file outside the working folder, $XDG_STATE_HOME/korvel/ (by default
// ~/.local/state/korvel/), one file per working folder, and the next start writes them into
// their own days' tables. The file is UTF-8 text, one record a line: the kind's prefix, the
// record's day (yyyy-MM-dd) and the field values, separated by tabs (tab, line break,
// carriage return and backslash escaped as \t, \n, \r, \\).
#include "DailyWriter.h"

#include <QString>
#include <vector>

namespace recovery {
struct Kind {
    QString prefix; // "doz_", "jur_"
    std::vector<DailyWriter::Record> records;
};

// The recovery file of a working folder.
QString filePath(const QString& workDir);
// Replaces the file with these records (kinds without records are left out). Returns false
// with *error when it could not be written.
bool save(const QString& workDir, const std::vector<Kind>& kinds, QString* error);
// The records waiting for this working folder, in the order saved; empty when there are
// none. Lines that cannot be read are skipped and counted in *skipped.
std::vector<Kind> load(const QString& workDir, int* skipped = nullptr);
// Removes the file; true when it is gone.
bool remove(const QString& workDir);
// One record as one line of text, for the error output when nothing else works.
QString describe(const QString& prefix, const DailyWriter::Record& record);
} // namespace recovery
