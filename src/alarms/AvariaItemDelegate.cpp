#include "AvariaItemDelegate.h"

#include "Colours.h"
#include "EventList.h"

#include <QPainter>

AvariaItemDelegate::AvariaItemDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

void AvariaItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    lstAvariaDrawItem(painter, option.rect, option.font, index.data(Qt::DisplayRole).toString(),
                      index.data(kAlarmRole).toBool());
}

QSize AvariaItemDelegate::sizeHint(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    const QString text = index.data(Qt::DisplayRole).toString();
    return QSize(option.fontMetrics.horizontalAdvance(text) + 4, kItemHeight);
}

void AvariaItemDelegate::lstAvariaDrawItem(QPainter* painter, const QRect& rect, const QFont& font,
                                           const QString& text, bool alarm) {
    painter->save();
    painter->fillRect(rect, QColor(colours::kWhite));
    painter->setFont(font);
    painter->setPen(QColor(alarm ? colours::kRed : colours::kBlack));
    painter->drawText(rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      text);
    painter->restore();
}
