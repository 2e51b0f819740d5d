#pragma once
// The daily dosing and journal tables read into memory for the views and reports, and the
// records of one working shift.
#include "ReportBuilder.h"
#include "TimeWindow.h"

#include <QDate>
#include <QString>
#include <vector>

namespace views {

// The date as the views show it (05.03.2010), the same form as the date fields and every
// other date the station shows.
QString dateText(const QDate& date);

// Why a day's table could not be read, in the station's language (texts of section Main):
// the file is not a table, or it cannot be read at all.
QString unreadableMessage(const QString& path);
// A table that lacks a field the view reads.
QString missingFieldMessage(const QString& path, const QString& field);

// TIME, DAT, HOUR, MIN, DOZATOR, SKOR_ZAD, COD_MAT, VES, REG_DOZ of every record that is not
// marked deleted, in record order; DAT as dateText, numbers as decimal text.
bool readDosing(const QString& path, report::MemTable* out, QString* error);
// TIME, DAT, REC_STR, CODZ likewise.
bool readJournal(const QString& path, report::MemTable* out, QString* error);

// The records of a table that pass a time window (by the TIME field), in record order.
report::MemTable filtered(const report::MemTable& table, const TimeWindow& window);

// The three shifts; the chosen date names the day on which the shift ends.
//   0: 22:00:00-23:59:59 of the day before, then 00:00:00-06:00:00
//   1: 06:00:00-14:00:00      2: 14:00:00-22:00:00
struct ShiftPart {
    int dayOffset; // 0 the chosen day, -1 the day before
    TimeWindow window;
};
std::vector<ShiftPart> shiftParts(int shift);

enum class ShiftResult { Ok, MissingDay, ReadError };

// Copies the shift's dosing records of the working folder into memory, ordered by COD_MAT
// ascending (records of one code keep their order). The chosen day's table must exist; a
// missing table of the day before is no error. Nothing is written to disk.
ShiftResult collectShift(const QString& workDir, const QDate& date, int shift,
                         report::MemTable* out, QString* error);

} // namespace views
