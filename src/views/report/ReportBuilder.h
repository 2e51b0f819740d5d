#pragma once
// Runs a report template over a table of records and lays the bands out on A4 pages.
#include "ReportModel.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

namespace report {

// Records as the report reads them: every value already in its printed text form.
struct MemTable {
    QStringList fields;
    std::vector<QStringList> rows;

    int fieldIndex(const QString& name) const { return fields.indexOf(name); }
    // The value of a field of a record; empty for an unknown field or record.
    QString value(int row, const QString& field) const;
};

using Variables = QHash<QString, QString>;

// Builds the pages: the report title once, the page header at the top of every page (after
// the title on the first), one data band per record, group header and footer around each run
// of records with the same group field value, the summary after the last record, and the
// page footer at the bottom of every page. A band that does not fit above the page footer
// goes to a new page; bands of no height print nothing.
PreparedReport build(const Template& tpl, const MemTable& data, const Variables& vars);

// Replaces every [name] by the variable of that name or else by the field of the record;
// an unknown name gives an empty text.
QString expand(const QString& text, const MemTable& data, int row, const Variables& vars);

} // namespace report
