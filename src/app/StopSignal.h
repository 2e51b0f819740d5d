#pragma once
// SIGTERM and SIGINT as a request to stop the station, taken on the user-interface thread.
// The handlers only write a byte to a socket pair, so a request is never lost: one that
// arrives before the event loop runs is taken as soon as a loop runs (the splash wait
// included). Taking it calls the close callback (the main window's orderly close) and then
// ends every running event loop, a modal dialog's included, so the program ends.
#include <QObject>
#include <functional>

class QSocketNotifier;

class StopSignal : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; call first of all. False when the socket pair cannot be made.
    static bool install();

    explicit StopSignal(QObject* parent = nullptr);

    // Called on the first and on every later request; empty: nothing to close yet.
    void setCloseAction(std::function<void()> close) { close_ = std::move(close); }
    bool requested() const { return requested_; }

signals:
    void stopRequested();

private:
    void take();

    QSocketNotifier* notifier_ = nullptr;
    std::function<void()> close_;
    bool requested_ = false;
};
