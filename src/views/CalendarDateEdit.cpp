#include "CalendarDateEdit.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTextCharFormat>

CalendarDateEdit::CalendarDateEdit(QWidget* parent) : QDateEdit(parent) {
    setCalendarPopup(true);
    setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    lineEdit()->setReadOnly(true);
    QCalendarWidget* cal = calendarWidget();
    cal->setGridVisible(true);
    QTextCharFormat weekend;
    weekend.setForeground(Qt::red);
    cal->setWeekdayTextFormat(Qt::Saturday, weekend);
    cal->setWeekdayTextFormat(Qt::Sunday, weekend);
    setDate(QDate::currentDate());
}

void CalendarDateEdit::keyPressEvent(QKeyEvent* event) {
    // Only the keys that open the calendar are taken; the date is never typed.
    if (event->key() == Qt::Key_F4 || event->key() == Qt::Key_Space ||
        (event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier))) {
        QDateEdit::keyPressEvent(event);
        return;
    }
    event->ignore();
}

void CalendarDateEdit::wheelEvent(QWheelEvent* event) { event->ignore(); }
