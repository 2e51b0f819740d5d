#pragma once
// The read-only record grid of the views: whole-row selection, two title lines on a coloured
// ground, columns fitted to the grid's width: the columns named as fitted (time, date) are as
// wide as their texts, the others share the rest of the width.
#include <QTableView>

class ViewGrid : public QTableView {
    Q_OBJECT
public:
    ViewGrid(const QColor& titleColour, QWidget* parent = nullptr);
    void setFittedColumns(const QList<int>& columns);
    void setModel(QAbstractItemModel* model) override;

private:
    void applyColumnModes();
    QList<int> fitted_;
};
