#include "ViewGrid.h"

#include <QHeaderView>

ViewGrid::ViewGrid(const QColor& titleColour, QWidget* parent) : QTableView(parent) {
    setObjectName(QStringLiteral("DBGrid"));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    verticalHeader()->setFixedWidth(12);
    QHeaderView* head = horizontalHeader();
    head->setSectionResizeMode(QHeaderView::Stretch);
    head->setDefaultAlignment(Qt::Alignment(Qt::AlignCenter | Qt::TextWordWrap));
    head->setFixedHeight(2 * fontMetrics().height() + 8);
    head->setStyleSheet(QStringLiteral("QHeaderView::section { background-color: %1; "
                                       "border: 1px solid #808080; padding: 2px; }")
                            .arg(titleColour.name()));
}

void ViewGrid::setFittedColumns(const QList<int>& columns) {
    fitted_ = columns;
    applyColumnModes();
}

void ViewGrid::setModel(QAbstractItemModel* model) {
    QTableView::setModel(model);
    applyColumnModes();
}

void ViewGrid::applyColumnModes() {
    QHeaderView* head = horizontalHeader();
    for (int c = 0; c < head->count(); ++c)
        head->setSectionResizeMode(c, fitted_.contains(c) ? QHeaderView::ResizeToContents
                                                          : QHeaderView::Stretch);
}
