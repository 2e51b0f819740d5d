#pragma once
// TActiveAlarmsForm: what is wrong now and whether anyone has seen it. One row per alarm
// that is not normal, newest first: when it came, when it cleared, its text and its state;
// unacknowledged rows red (active) or dark red (cleared), acknowledged rows black.
// "Квитировать" (Space) acknowledges the selected rows, "Квитировать все" every row.
#include "AlarmTexts.h"

#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

class AlarmStates;
class QLabel;
class QPushButton;
class QTableWidget;
class QTimer;

class TActiveAlarmsForm : public QWidget {
    Q_OBJECT
public:
    // Called with the ids of the alarms an operator has just acknowledged, newest first.
    using Acknowledged = std::function<void(const std::vector<int>& ids)>;

    TActiveAlarmsForm(AlarmStates& states, const QString& langFilePath, Acknowledged acknowledged,
                      QWidget* parent = nullptr);

    void LoadLanguage(const QString& langFilePath);
    // Rebuilds the rows when the states have changed since the last time.
    void RefreshTimerTimer();

    static const QColor& activeColour();
    static const QColor& clearedColour();

    QLabel* labName = nullptr;
    QTableWidget* grdAlarms = nullptr;
    QPushButton* btnAck = nullptr;
    QPushButton* btnAckAll = nullptr;
    QPushButton* btnClose = nullptr;
    QTimer* RefreshTimer = nullptr;

public slots:
    void btnAckClick();
    void btnAckAllClick();

private:
    void fill();

    AlarmStates& states_;
    Acknowledged acknowledged_;
    AlarmTexts texts_;
    std::uint64_t shown_ = ~std::uint64_t(0);
    std::vector<int> rowIds_;
};
