#pragma once
// The setpoint table's texts (section Table of the language file) with their Russian
// defaults, and the points where the send waits: its two message boxes and its pause.
#include <QString>
#include <array>
#include <functional>

class QWidget;

struct TableTexts {
    QString TableForm;
    QString labName;
    QString btnClose;
    QString lngDozator;
    QString btnRec1;
    QString panCnt1;
    QString labZad1;
    QString labKod1;
    QString labPortion1;
    QString lngWantRec;
    QString lngErrorRec;
    QString grpColor;
    std::array<QString, 10> labMat;

    // Reads section Table of the language file; every missing key keeps its default.
    static TableTexts load(const QString& langFilePath);
};

struct TableHooks {
    // Asks the operator; true only for Yes.
    std::function<bool(QWidget* parent, const QString& title, const QString& text)> confirm;
    // Error box with an OK button.
    std::function<void(QWidget* parent, const QString& title, const QString& text)> error;
    // Blocks the calling thread for ms milliseconds.
    std::function<void(int ms)> wait;

    // The real message boxes and a plain sleep.
    static TableHooks defaults();
};
