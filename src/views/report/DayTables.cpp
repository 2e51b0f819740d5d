#include "DayTables.h"

#include "DailyTables.h"
#include "DateText.h"
#include "DbfTable.h"
#include "MainTexts.h"

#include <QFileInfo>
#include <algorithm>
#include <numeric>

namespace views {

QString dateText(const QDate& date) {
    return stationDate(date);
}

QString unreadableMessage(const QString& path) {
    const auto main = MainTextStore::get();
    const QString name = QFileInfo(path).fileName();
    return (dbf::checkTable(path) == dbf::TableCheck::NotATable ? main->lngBadTable
                                                                : main->lngReadError) +
           QLatin1Char(' ') + name;
}

QString missingFieldMessage(const QString& path, const QString& field) {
    return MainTextStore::get()->lngNoField + QLatin1Char(' ') + field + QStringLiteral(": ") +
           QFileInfo(path).fileName();
}

namespace {

bool readTable(const QString& path, const QStringList& names, report::MemTable* out,
               QString* error) {
    DbfReader reader;
    if (!reader.open(path, nullptr)) {
        if (error)
            *error = unreadableMessage(path);
        return false;
    }
    std::vector<int> cols;
    for (const QString& name : names) {
        const int col = reader.fieldIndex(name.toLatin1().constData());
        if (col < 0) {
            if (error)
                *error = missingFieldMessage(path, name);
            return false;
        }
        cols.push_back(col);
    }
    report::MemTable table;
    table.fields = names;
    table.rows.reserve(size_t(reader.recordCount()));
    for (int r = 0; r < reader.recordCount(); ++r) {
        if (reader.deleted(r))
            continue;
        QStringList row;
        row.reserve(names.size());
        for (int col : cols) {
            switch (reader.fields()[size_t(col)].type) {
            case 'N':
                row << QString::number(reader.number(r, col));
                break;
            case 'D': {
                const QDate d = reader.date(r, col);
                row << (d.isValid() ? dateText(d) : QString());
                break;
            }
            default:
                row << reader.text(r, col);
            }
        }
        table.rows.push_back(std::move(row));
    }
    *out = std::move(table);
    return true;
}

} // namespace

bool readDosing(const QString& path, report::MemTable* out, QString* error) {
    static const QStringList names = {"TIME",     "DAT",     "HOUR", "MIN",    "DOZATOR",
                                      "SKOR_ZAD", "COD_MAT", "VES",  "REG_DOZ"};
    return readTable(path, names, out, error);
}

bool readJournal(const QString& path, report::MemTable* out, QString* error) {
    static const QStringList names = {"TIME", "DAT", "REC_STR", "CODZ"};
    return readTable(path, names, out, error);
}

report::MemTable filtered(const report::MemTable& table, const TimeWindow& window) {
    report::MemTable out;
    out.fields = table.fields;
    const int time = table.fieldIndex(QStringLiteral("TIME"));
    for (const QStringList& row : table.rows) {
        if (time >= 0 && time < row.size() && window.accepts(row[time]))
            out.rows.push_back(row);
    }
    return out;
}

std::vector<ShiftPart> shiftParts(int shift) {
    switch (shift) {
    case 0:
        return {{-1, TimeWindow::of(22, 0, 23, 59, 59)}, {0, TimeWindow::of(0, 0, 6, 0, 0)}};
    case 1:
        return {{0, TimeWindow::of(6, 0, 14, 0, 0)}};
    case 2:
        return {{0, TimeWindow::of(14, 0, 22, 0, 0)}};
    default:
        return {};
    }
}

ShiftResult collectShift(const QString& workDir, const QDate& date, int shift,
                         report::MemTable* out, QString* error) {
    const QString dayFile = daily::fileName(workDir, daily::kDosing, date);
    if (!QFileInfo(dayFile).isFile())
        return ShiftResult::MissingDay;
    report::MemTable all;
    bool first = true;
    for (const ShiftPart& part : shiftParts(shift)) {
        const QString path = daily::fileName(workDir, daily::kDosing, date.addDays(part.dayOffset));
        if (part.dayOffset != 0 && !QFileInfo(path).isFile())
            continue;
        report::MemTable day;
        if (!readDosing(path, &day, error))
            return ShiftResult::ReadError;
        report::MemTable passing = filtered(day, part.window);
        if (first) {
            all.fields = passing.fields;
            first = false;
        }
        for (QStringList& row : passing.rows)
            all.rows.push_back(std::move(row));
    }
    if (first) { // an unknown shift: no records, but the table still has its fields
        all.fields = QStringList{"TIME",     "DAT",     "HOUR", "MIN",    "DOZATOR",
                                 "SKOR_ZAD", "COD_MAT", "VES",  "REG_DOZ"};
    }
    const int code = all.fieldIndex(QStringLiteral("COD_MAT"));
    std::stable_sort(all.rows.begin(), all.rows.end(),
                     [code](const QStringList& a, const QStringList& b) {
                         return QString::compare(a[code], b[code], Qt::CaseSensitive) < 0;
                     });
    *out = std::move(all);
    return ShiftResult::Ok;
}

} // namespace views
