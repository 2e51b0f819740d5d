#include "RecordTableModel.h"

RecordTableModel::RecordTableModel(std::vector<Column> columns, QObject* parent)
    : QAbstractTableModel(parent), columns_(std::move(columns)) {}

void RecordTableModel::setRecords(report::MemTable records) {
    beginResetModel();
    records_ = std::move(records);
    endResetModel();
}

QStringList RecordTableModel::titles() const {
    QStringList t;
    for (const Column& c : columns_)
        t << c.title;
    return t;
}

void RecordTableModel::setRowColour(std::function<QColor(const report::MemTable&, int)> colour) {
    colour_ = std::move(colour);
}

int RecordTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(records_.rows.size());
}

int RecordTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const Column& c = columns_[size_t(index.column())];
    switch (role) {
    case Qt::DisplayRole:
        return records_.value(index.row(), c.field);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(c.alignment | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        if (colour_) {
            const QColor colour = colour_(records_, index.row());
            if (colour.isValid())
                return colour;
        }
        return {};
    default:
        return {};
    }
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return QString(); // the row indicator column carries no numbers
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return columns_[size_t(section)].title;
    return QAbstractTableModel::headerData(section, orientation, role);
}
