#pragma once
// The dosing protocol of a chosen day: a read-only grid of the day's dosing records, an
// optional time window within the day, printing through the preview and opening a saved
// protocol.
#include "StationReports.h"
#include "TimeWindow.h"
#include "ViewHooks.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class CalendarDateEdit;
class RecordTableModel;
class ViewGrid;

class TProtocolForm : public QWidget {
    Q_OBJECT
public:
    // The message boxes and dialogs this window waits on; tests put recorders in their place.
    ViewHooks hooks = ViewHooks::defaults();

    TProtocolForm(const QString& workDir, const QString& langFilePath, QWidget* parent = nullptr);

    void LoadLanguage(const QString& langFilePath);

    // TabView: the shown day's records (all of them) and whether a day is open.
    bool isTableOpen() const { return open_; }
    const TimeWindow& timeWindow() const { return window_; }
    bool filterOn() const { return filterOn_; }
    // The records the grid shows (filtered when the filter is on).
    report::MemTable shownRecords() const;
    // The report the print button shows, built from the shown records.
    report::PreparedReport buildReport() const;

    QLabel* labName = nullptr;
    CalendarDateEdit* DateEdit1 = nullptr;
    QPushButton* btnClose = nullptr;
    QPushButton* btnPrint = nullptr;
    QPushButton* btnOpen = nullptr;
    QRadioButton* rbAll = nullptr;
    QRadioButton* rbWith = nullptr;
    QLabel* rbTo = nullptr;
    QSpinBox* Spin1 = nullptr;
    QSpinBox* Spin2 = nullptr;
    QSpinBox* Spin3 = nullptr;
    QSpinBox* Spin4 = nullptr;
    ViewGrid* DBGrid = nullptr;
    RecordTableModel* ViewDS = nullptr;

public slots:
    void DateEdit1Change();
    void rbAllClick();
    void rbWithClick();
    void Spin1Change();
    void Spin2Change();
    void Spin3Change();
    void Spin4Change();
    void btnPrintClick();
    void btnOpenClick();
    void btnCloseClick();

private:
    void closeTable();
    void refilter();

    QString workDir_;
    views::ProtocolTexts texts_;
    report::MemTable day_;
    bool open_ = false;
    bool filterOn_ = false;
    TimeWindow window_;
};
