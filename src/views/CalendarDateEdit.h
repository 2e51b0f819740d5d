#pragma once
// A date field that is chosen from a pop-up calendar only (no typing), with the weekends
// marked in the calendar. Used by the protocol, journal and history views.
#include <QDateEdit>

class CalendarDateEdit : public QDateEdit {
    Q_OBJECT
public:
    explicit CalendarDateEdit(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
};
