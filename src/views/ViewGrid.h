#pragma once
// The read-only record grid of the views: whole-row selection, two title lines on a coloured
// ground, columns sharing the grid's width.
#include <QTableView>

class ViewGrid : public QTableView {
    Q_OBJECT
public:
    ViewGrid(const QColor& titleColour, QWidget* parent = nullptr);
};
