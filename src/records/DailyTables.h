#pragma once
// The daily tables: one file per kind and calendar day in the working directory, named
// prefix + YYYY + "_" + MM + "_" + DD + ".dbf", and their field layouts.
#include "DbfTable.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace daily {
inline const QString kDosing = QStringLiteral("doz_");
inline const QString kJournal = QStringLiteral("jur_");
inline const QString kArchive = QStringLiteral("arh_");

// workDir + "/" + prefix + year + "_" + month + "_" + day + ".dbf"
QString fileName(const QString& workDir, const QString& prefix, const QDate& date);

// TIME C8, DAT D8, HOUR N9, MIN N9, DOZATOR C5, SKOR_ZAD N9, COD_MAT C5, VES N9, REG_DOZ C15
const std::vector<DbfField>& dosingFields();
// TIME C8, DAT D8, REC_STR C90, CODZ N9
const std::vector<DbfField>& journalFields();
// TIME C8, DAT D8, then ZAD1 KOR1 VES1 ... ZAD6 KOR6 VES6, all N9
const std::vector<DbfField>& archiveFields();

// The date a kind's file name carries: after the prefix, characters 1-4 are the year,
// 6-7 the month and 9-10 the day (doz_2009_09_01a.dbf is 1 September 2009). A null date
// when they are not digits or not a calendar date.
QDate dateOfName(const QString& name, const QString& prefix);

// The kind's files (prefix*.dbf, plain files only, no hidden ones) in a stable order:
// ascending by file name, compared character by character (Unicode code units).
QStringList listKind(const QString& workDir, const QString& prefix);

// Retention after a new file has been created: counts the kind's files that carry a valid
// date and, when there are more than maxFiles, deletes the one with the earliest date
// (the first listed among equal dates). At most one file is deleted; `keep` (the file just
// created) is counted but never deleted; files without a valid date are left alone and not
// counted. Returns the path deleted, or an empty string.
QString prune(const QString& workDir, const QString& prefix, int maxFiles,
              const QString& keep = QString());

// Today's table: makes sure the kind's file for `date` exists, creating it with `fields`
// and then running the retention with maxFiles() when it was missing. Returns the path,
// or an empty string with *error filled when the file could not be created.
QString ensureTable(const QString& workDir, const QString& prefix,
                    const std::vector<DbfField>& fields, const QDate& date,
                    const std::function<int()>& maxFiles, QString* error);
} // namespace daily
