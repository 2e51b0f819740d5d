#pragma once
// A date field that is chosen from a pop-up calendar only (no typing), with the weekends
// marked in the calendar. Used by the protocol, journal and history views.
#include <QDateEdit>

class CalendarDateEdit : public QDateEdit {
    Q_OBJECT
public:
    explicit CalendarDateEdit(QWidget* parent = nullptr);

    // Shows an empty field until a date is chosen; the calendar then opens on today.
    void setBlank();
    bool isBlank() const;

signals:
    // A date was picked in the calendar, also when it is the date already shown.
    void dateAccepted(const QDate& date);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};
