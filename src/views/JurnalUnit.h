#pragma once
// The work journal of a chosen day: a read-only grid of the day's events, alarm records in
// red and the stop record in blue, printed through the preview without colours.
#include "StationReports.h"
#include "ViewHooks.h"

#include <QDate>
#include <QWidget>

class QLabel;
class QPushButton;
class CalendarDateEdit;
class RecordTableModel;
class ViewGrid;

class TJurnalForm : public QWidget {
    Q_OBJECT
public:
    // The message boxes and dialogs this window waits on; tests put recorders in their place.
    ViewHooks hooks = ViewHooks::defaults();

    TJurnalForm(const QString& workDir, const QString& langFilePath, QWidget* parent = nullptr);

    void LoadLanguage(const QString& langFilePath);

    bool isTableOpen() const { return open_; }
    report::PreparedReport buildReport() const;
    // The text colour of a journal record by its CODZ: 1 red, 2 blue, else the default.
    static QColor rowColour(const report::MemTable& records, int row);

    QLabel* labName = nullptr;
    CalendarDateEdit* DateEdit1 = nullptr;
    QPushButton* btnPrint = nullptr;
    QPushButton* btnClose = nullptr;
    ViewGrid* DBGrid = nullptr;
    RecordTableModel* JurDS = nullptr;

public slots:
    void DateEdit1AcceptDate(const QDate& date);
    void btnPrintClick();
    void btnCloseClick();

private:
    QString workDir_;
    views::JurnalTexts texts_;
    bool open_ = false;
    QDate shownDate_;
};
