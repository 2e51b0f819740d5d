#pragma once
// The process's signals, taken on the user-interface thread.
// SIGTERM and SIGINT request a stop. Taking one calls the close callback (the main window's
// orderly close) and then ends every running event loop, a modal dialog's included, so the
// program ends.
// SIGHUP requests that the line be opened again (the main window's re-open, as an accepted
// settings dialog does), after the adapter was plugged in again or the line's other end was
// restarted; it no longer ends the station, so a closed terminal does not stop it either.
// The handlers only write a byte to a socket pair, so a request is never lost: one that
// arrives before the event loop runs is taken as soon as a loop runs (the splash wait
// included). A re-open asked for before the main window exists, or after a stop, is dropped.
#include <QObject>
#include <functional>

class QSocketNotifier;

class ProcessSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; call first of all. False when the socket pair cannot be made.
    static bool install();

    explicit ProcessSignals(QObject* parent = nullptr);

    // Called on the first and on every later stop request; empty: nothing to close yet.
    void setCloseAction(std::function<void()> close) { close_ = std::move(close); }
    // Called on each re-open request; empty: nothing to re-open yet.
    void setReopenAction(std::function<void()> reopen) { reopen_ = std::move(reopen); }
    bool requested() const { return requested_; }

signals:
    void stopRequested();

private:
    void take();

    QSocketNotifier* notifier_ = nullptr;
    std::function<void()> close_;
    std::function<void()> reopen_;
    bool requested_ = false;
};
