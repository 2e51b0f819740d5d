#pragma once
// A spin field that lets any short text be typed and brings it into range when the field is
// left: a number above the maximum becomes the maximum, below the minimum the minimum, and a
// text that is not a number counts as the minimum.
#include <QSpinBox>

class ClampSpinEdit : public QSpinBox {
    Q_OBJECT
public:
    explicit ClampSpinEdit(QWidget* parent = nullptr);
    // At most this many characters can be typed (0: no limit).
    void setMaxLength(int n) { maxLength_ = n; }
    // The value the current text stands for, clamped as leaving the field would.
    int clampedValue() const;

protected:
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
    int valueFromText(const QString& text) const override;

private:
    int maxLength_ = 0;
};
