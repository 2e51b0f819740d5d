#include "ClampSpinEdit.h"

#include <QLineEdit>

#include <algorithm>

ClampSpinEdit::ClampSpinEdit(QWidget* parent) : QSpinBox(parent) {
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    setKeyboardTracking(false);
}

int ClampSpinEdit::valueFromText(const QString& text) const {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok)
        return minimum();
    return std::clamp(v, minimum(), maximum());
}

int ClampSpinEdit::clampedValue() const {
    return valueFromText(lineEdit()->text());
}

QValidator::State ClampSpinEdit::validate(QString& input, int&) const {
    if (maxLength_ > 0 && input.size() > maxLength_)
        return QValidator::Invalid;
    bool ok = false;
    const int v = input.trimmed().toInt(&ok);
    if (ok && v >= minimum() && v <= maximum())
        return QValidator::Acceptable;
    return QValidator::Intermediate;
}

void ClampSpinEdit::fixup(QString& input) const {
    input = QString::number(valueFromText(input));
}
