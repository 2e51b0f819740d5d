#pragma once
// A read-only grid model over records read into memory: one column per named field, with
// its title and alignment, and an optional text colour per row.
#include "ReportBuilder.h"

#include <QAbstractTableModel>
#include <QColor>
#include <functional>

class RecordTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString field;
        QString title;
        Qt::Alignment alignment;
    };

    explicit RecordTableModel(std::vector<Column> columns, QObject* parent = nullptr);

    void setRecords(report::MemTable records);
    void clear() { setRecords({}); }
    const report::MemTable& records() const { return records_; }
    QStringList titles() const;
    // The text colour of a row, or an invalid colour for the grid's default.
    void setRowColour(std::function<QColor(const report::MemTable&, int row)> colour);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<Column> columns_;
    report::MemTable records_;
    std::function<QColor(const report::MemTable&, int)> colour_;
};
