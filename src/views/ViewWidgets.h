#pragma once
// Small widgets shared by the views.
#include <QColor>
#include <QSpinBox>

class QLabel;

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

} // namespace views
