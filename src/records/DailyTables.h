#pragma once
// The daily tables: one file per kind and calendar day in the working directory, named
// prefix + YYYY + "_" + MM + "_" + DD + ".dbf", and their field layouts.
#include "DbfTable.h"

#include <QDate>
#include <QString>
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
} // namespace daily
