#include "ViewWidgets.h"

#include "CalendarDateEdit.h"

#include <QHBoxLayout>
#include <QPushButton>

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace views {

ButtonSpinBox::ButtonSpinBox(int minimum, int maximum, int value, QWidget* parent)
    : QSpinBox(parent) {
    setRange(minimum, maximum);
    setValue(value);
    lineEdit()->setReadOnly(true);
    setMinimumWidth(48);
}

void ButtonSpinBox::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        QSpinBox::keyPressEvent(event);
        break;
    default:
        event->ignore();
    }
}

void styleTitle(QLabel* label, const QColor& colour) {
    // The scalable design face: "MS Sans Serif" has no 19-pixel strike.
    QFont f(QStringLiteral("Tahoma"));
    f.setBold(true);
    f.setPixelSize(19);
    label->setFont(f);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, colour);
    label->setPalette(pal);
}

DayStrip makeDayStrip(QWidget* parent, const QColor& titleColour,
                      const QList<QPushButton*>& buttons) {
    DayStrip strip;
    strip.widget = new QWidget(parent);
    strip.widget->setFixedHeight(33);
    strip.labName = new QLabel(strip.widget);
    strip.labName->setObjectName(QStringLiteral("labName"));
    styleTitle(strip.labName, titleColour);
    strip.DateEdit1 = new CalendarDateEdit(strip.widget);
    strip.DateEdit1->setObjectName(QStringLiteral("DateEdit1"));
    strip.DateEdit1->setBlank();
    strip.DateEdit1->setMinimumWidth(120);
    auto* row = new QHBoxLayout(strip.widget);
    row->setContentsMargins(6, 2, 6, 2);
    row->addWidget(strip.labName);
    row->addWidget(strip.DateEdit1);
    row->addStretch(1);
    // Tab order as read: title, date, then the buttons left to right.
    QWidget* previous = strip.DateEdit1;
    for (QPushButton* b : buttons) {
        row->addWidget(b);
        QWidget::setTabOrder(previous, b);
        previous = b;
    }
    return strip;
}

} // namespace views
