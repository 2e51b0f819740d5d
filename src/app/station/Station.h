#pragma once
// What the main window drives on the plant side: the serial port, the poll thread and the
// journal. The data module implements it; window tests use a recording stand-in.
#include <QString>

class Station {
public:
    virtual ~Station() = default;
    // Opens the port (closing nothing); returns the status text for StatLabel.
    virtual QString openPort(int port, int speed) = 0;
    virtual bool portOpen() const = 0;
    virtual void closePort() = 0;
    // Creates and starts the poll thread; its first cycle comes 500 ms later.
    virtual void startPolling() = 0;
    // Returns when no poll cycle runs; none starts until resumePolling().
    virtual void pausePolling() = 0;
    virtual void resumePolling() = 0;
    // Asks the poll thread to end and waits for it.
    virtual void stopPolling() = 0;
    // Appends one record to the day's journal.
    virtual void journal(const QString& text, int code) = 0;
    // MaxArhDay as the record writers read it when they create a new day's file.
    virtual void setMaxArhDay(int days) = 0;
};
