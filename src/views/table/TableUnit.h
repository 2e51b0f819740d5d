#pragma once
// TTableForm, the setpoint table: the dosing task the controller holds (setpoint and material
// code of the six dosers, portion count of the two furnaces), taken from the setpoint copy
// when the window opens, and the send that writes it to the controller in two requests while
// the poll thread is paused. Also the legend of the material codes and their colours.
#include "SetpointSend.h"
#include "TableTexts.h"
#include "TaskLayout.h"

#include <QWidget>
#include <array>

class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class BevelPanel;
class ClampSpinEdit;

class TTableForm : public QWidget {
    Q_OBJECT
public:
    // The pause between the poll thread's halt and the first write, for a late answer.
    static constexpr int kSendWaitMs = 600;

    // The window sends the task through send, and shows the setpoint copy of its image.
    TTableForm(SetpointSend& send, const QString& langFilePath, QWidget* parent = nullptr);

    void LoadLanguage(const QString& langFilePath);
    const TableTexts& texts() const { return texts_; }

    // The message boxes and the wait of the send; tests replace them.
    TableHooks hooks = TableHooks::defaults();

    // The spin field of one entry of the task layout.
    ClampSpinEdit* field(const task::Field& f) const;

    // Controls, by their names.
    QLabel* labName = nullptr;
    QPushButton* btnClose = nullptr;
    BevelPanel *panD1 = nullptr, *panD2 = nullptr, *panD3 = nullptr, *panD4 = nullptr,
               *panD5 = nullptr, *panD6 = nullptr;
    BevelPanel *panDn1 = nullptr, *panDn2 = nullptr, *panDn3 = nullptr, *panDn4 = nullptr,
               *panDn5 = nullptr, *panDn6 = nullptr;
    QLabel *labZad1 = nullptr, *labZad2 = nullptr, *labZad3 = nullptr, *labZad4 = nullptr,
           *labZad5 = nullptr, *labZad6 = nullptr;
    QLabel *labKod1 = nullptr, *labKod2 = nullptr, *labKod3 = nullptr, *labKod4 = nullptr,
           *labKod5 = nullptr, *labKod6 = nullptr;
    ClampSpinEdit *seZad1 = nullptr, *seZad2 = nullptr, *seZad3 = nullptr, *seZad4 = nullptr,
                  *seZad5 = nullptr, *seZad6 = nullptr;
    ClampSpinEdit *seKod1 = nullptr, *seKod2 = nullptr, *seKod3 = nullptr, *seKod4 = nullptr,
                  *seKod5 = nullptr, *seKod6 = nullptr;
    BevelPanel *panPortion1 = nullptr, *panPortion2 = nullptr;
    BevelPanel *panCnt1 = nullptr, *panCnt2 = nullptr;
    QLabel *labPortion1 = nullptr, *labPortion2 = nullptr;
    ClampSpinEdit *sePortion1 = nullptr, *sePortion2 = nullptr;
    QPushButton* btnRec1 = nullptr;
    QGroupBox* grpColor = nullptr;
    std::array<QLabel*, 10> labMat{};
    std::array<QFrame*, 10> shpMat{};

public slots:
    void btnRec1Click();
    void btnCloseClick();

protected:
    // Enter presses btnRec1 wherever the focus is, as a dialog's default button.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildTopStrip();
    QWidget* buildMiddle();
    void buildDoserPanel(QWidget* middle, int doser);
    void buildPortionPanel(QWidget* middle, int furnace);
    void buildLegend();
    // Sets every field from the setpoint copy.
    void FormCreate();
    // The values the fields stand for now, clamped, written back into the fields.
    void takeFieldValues(task::Block1& b1, task::Block2& b2);

    SetpointSend& send_;
    TableTexts texts_;
    // Doser panels, headers and labels by plant doser number 1..6 (index 0 unused).
    std::array<BevelPanel*, 7> panels_{};
    std::array<BevelPanel*, 7> headers_{};
    std::array<QLabel*, 7> zadLabels_{};
    std::array<QLabel*, 7> kodLabels_{};
    // Spin fields in the order of task::kFields.
    std::array<ClampSpinEdit*, task::kFields.size()> fields_{};
};
