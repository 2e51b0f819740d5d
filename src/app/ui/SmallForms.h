#pragma once
// The splash window, the about box and the please-wait window: fixed texts, no language
// section (the history chart sets the please-wait text from its own section).
#include <QDialog>
#include <QWidget>

class QLabel;
class BevelPanel;

// Borderless, centred, 470 x 206: the furnace picture, the two-line title, "Загружается...".
class TSplashForm : public QWidget {
    Q_OBJECT
public:
    explicit TSplashForm(QWidget* parent = nullptr);
};

// "О программе": picture, title, "Version " and the version and the version date "26.10.2009".
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    // `workDir`: the working folder in use, named at the foot of the box.
    explicit TAboutBox(const QString& workDir = QString(), QWidget* parent = nullptr);
    QLabel* labVersion = nullptr;
    QLabel* labDate = nullptr;
    QLabel* labWorkDir = nullptr;
};

// Borderless message window "Зачекайте будь ласка..." shown while a day's data loads.
class TDeskForm : public QWidget {
    Q_OBJECT
public:
    explicit TDeskForm(QWidget* parent = nullptr);
    void setText(const QString& text);
    QString text() const;

private:
    QLabel* label_ = nullptr;
};

// Places a top-level window in the middle of the primary screen.
void centreOnScreen(QWidget* w);
