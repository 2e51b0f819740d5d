#pragma once
// Small widgets shared by the views.
#include <QColor>
#include <QSpinBox>

class QLabel;
class QPushButton;
class CalendarDateEdit;

namespace views {

// A spin field that changes only through its up and down buttons (and the arrow keys): its
// text cannot be typed.
class ButtonSpinBox : public QSpinBox {
    Q_OBJECT
public:
    ButtonSpinBox(int minimum, int maximum, int value, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// The views' title label: bold, 19-pixel font, in the given colour.
void styleTitle(QLabel* label, const QColor& colour);

// The top strip of a day view, 33 pixels high: the title label `labName`, the calendar
// date field `DateEdit1` (blank until a day is chosen), and the given buttons at the right.
struct DayStrip {
    QWidget* widget = nullptr;
    QLabel* labName = nullptr;
    CalendarDateEdit* DateEdit1 = nullptr;
};
DayStrip makeDayStrip(QWidget* parent, const QColor& titleColour,
                      const QList<QPushButton*>& buttons);

} // namespace views
