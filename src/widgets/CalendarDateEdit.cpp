#include "CalendarDateEdit.h"

#include "DateText.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTextCharFormat>

namespace {
// The value that stands for "no date chosen"; no record of the station is that old.
const QDate kBlank(1900, 1, 1);
} // namespace

CalendarDateEdit::CalendarDateEdit(QWidget* parent) : QDateEdit(parent) {
    setCalendarPopup(true);
    setDisplayFormat(stationDateFormat());
    lineEdit()->setReadOnly(true);
    QCalendarWidget* cal = calendarWidget();
    cal->setGridVisible(true);
    QTextCharFormat weekend;
    weekend.setForeground(Qt::red);
    cal->setWeekdayTextFormat(Qt::Saturday, weekend);
    cal->setWeekdayTextFormat(Qt::Sunday, weekend);
    setDate(QDate::currentDate());
    connect(cal, &QCalendarWidget::clicked, this, &CalendarDateEdit::dateAccepted);
    connect(cal, &QCalendarWidget::activated, this, &CalendarDateEdit::dateAccepted);
    if (cal->window() != cal)
        cal->window()->installEventFilter(this);
}

void CalendarDateEdit::setBlank() {
    setMinimumDate(kBlank);
    setSpecialValueText(QStringLiteral(" "));
    setDate(kBlank);
}

bool CalendarDateEdit::isBlank() const {
    return date() == kBlank;
}

bool CalendarDateEdit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && isBlank()) {
        const QDate today = QDate::currentDate();
        calendarWidget()->setCurrentPage(today.year(), today.month());
    }
    return QDateEdit::eventFilter(watched, event);
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

void CalendarDateEdit::wheelEvent(QWheelEvent* event) {
    event->ignore();
}
