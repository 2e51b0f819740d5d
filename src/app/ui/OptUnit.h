#pragma once
// TOptForm, the settings dialog: port, line speed and days to keep.
#include "Settings.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class ClampSpinEdit;

class TOptForm : public QDialog {
    Q_OBJECT
public:
    // settings are the values in memory; the dialog changes them only in btnOKClick.
    TOptForm(Settings& settings, const QString& workDir, QWidget* parent = nullptr);

    // Loads the texts and fills the controls from the settings in memory; runs each time the
    // dialog becomes the active window.
    void FormActivate();
    void btnOKClick();
    // The message that tells the operator a field's text is not a whole number.
    static QString invalidNumberText(const QString& text);

    QGroupBox* grpCOM = nullptr;
    QRadioButton* com[4] = {};
    QButtonGroup* comGroup = nullptr;
    QGroupBox* grpSpeed = nullptr;
    QLabel* labSpeed = nullptr;
    QComboBox* Box_Speed = nullptr;
    QLabel* labBits = nullptr;
    QGroupBox* grpArhiv = nullptr;
    QLabel* labMax = nullptr;
    ClampSpinEdit* SpinEdit2 = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    QCheckBox* chkHorn = nullptr;

signals:
    // A value that is not a number was found when applying (the empty rate text).
    void invalidNumber(const QString& text);

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void LoadLanguage(const QString& path);

    Settings& settings_;
    QString workDir_;
};
