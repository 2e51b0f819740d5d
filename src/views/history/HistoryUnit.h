#pragma once
// The history window: one doser's set dose, corrected setpoint and current weight over a
// chosen day from the weight archive, with zoom, a readout under the pointer and printing.
#include "HistoryTexts.h"

#include <QWidget>
#include <functional>
#include <memory>

class CalendarDateEdit;
class HistoryChart;
class QComboBox;
class QLabel;
class QMouseEvent;
class QPrinter;
class QPushButton;

class THistoryForm : public QWidget {
    Q_OBJECT
public:
    // Makes the please-wait window showing the given text; the form shows it while a day
    // loads and deletes it afterwards.
    using DeskFactory = std::function<QWidget*(const QString& text)>;

    THistoryForm(const QString& workDir, const QString& langFilePath, QWidget* parent = nullptr,
                 DeskFactory deskFactory = {});
    ~THistoryForm() override;

    void LoadLanguage(const QString& langFilePath);
    // The printer btnPrint prints on (not owned); without one the form uses its own printer
    // on the system's default device.
    void setPrinter(QPrinter* printer) { printer_ = printer; }
    void setDeskFactory(DeskFactory factory) { deskFactory_ = std::move(factory); }

    HistoryChart* chart() const { return DBChart1; }

public slots:
    void DateEdit1Change();
    void btnZoomInClick();
    void btnZoomOutClick();
    void btnResetClick();
    void btnPrintClick();
    void btnCloseClick();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void DBChart1MouseMove(QMouseEvent* event);
    void showError(const QString& text);

    QString workDir_;
    HistoryTexts texts_;
    DeskFactory deskFactory_;
    QPrinter* printer_ = nullptr;
    std::unique_ptr<QPrinter> ownPrinter_;

    QLabel* labName = nullptr;
    CalendarDateEdit* DateEdit1 = nullptr;
    QLabel* labDozator = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QPushButton* btnPrint = nullptr;
    QPushButton* btnClose = nullptr;
    HistoryChart* DBChart1 = nullptr;
    QPushButton* btnZoomIn = nullptr;
    QPushButton* btnZoomOut = nullptr;
    QPushButton* btnReset = nullptr;
    QLabel* labTime = nullptr;
    QLabel* labVes = nullptr;
};
