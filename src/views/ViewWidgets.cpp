#include "ViewWidgets.h"

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
    QFont f = label->font();
    f.setBold(true);
    f.setPixelSize(19);
    label->setFont(f);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, colour);
    label->setPalette(pal);
}

} // namespace views
