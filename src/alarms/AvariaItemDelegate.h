#pragma once
// The owner drawing of the event list lstAvaria: each line on white, alarms in red and other
// events in black, 2 px from the left; the selected line looks like the others.
#include <QStyledItemDelegate>

class AvariaItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int kItemHeight = 16;

    explicit AvariaItemDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Draws one entry: its text and alarm flag in the given rectangle.
    static void lstAvariaDrawItem(QPainter* painter, const QRect& rect, const QFont& font,
                                  const QString& text, bool alarm);
};
