#pragma once
// The shift report: the dialog that asks for the day and the shift, and the command that
// builds the report in memory and shows it in the preview.
#include "ViewHooks.h"
#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class CalendarDateEdit;

class TRapDlgForm : public QDialog {
    Q_OBJECT
public:
    // The message boxes and dialogs this window waits on; tests put recorders in their place.
    ViewHooks hooks = ViewHooks::defaults();

    TRapDlgForm(const QString& langFilePath, QWidget* parent = nullptr);

    void LoadLanguage(const QString& langFilePath);

    QLabel* labName = nullptr;
    QLabel* labData = nullptr;
    CalendarDateEdit* DateEdit1 = nullptr;
    QLabel* labSmena = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QPushButton* btnOpen = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

public slots:
    // Shows the blank report so that a saved one can be loaded; the dialog then ends with
    // Cancel, so no new report is built.
    void btnOpenClick();
};

// The report command: the dialog, then the shift's report in the preview (both modal).
void runShiftReport(const QString& workDir, const QString& langFilePath, QWidget* parent,
                    const ViewHooks& hooks = ViewHooks::defaults());
