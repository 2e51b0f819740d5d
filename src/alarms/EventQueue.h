#pragma once
// Carries reported events from any thread to the user-interface thread, in call order. Each
// event is handed to the handler (the event list change, then the journal record) on the
// thread the queue lives on, one at a time.
#include "Colours.h"

#include <QObject>
#include <QString>
#include <deque>
#include <functional>
#include <mutex>

class EventQueue : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(const QString& text, QRgb colour)>;

    explicit EventQueue(Handler handler, QObject* parent = nullptr);

    // Reports an event. On the queue's own thread the waiting events, older ones first, are
    // handled before this call returns; from another thread the own thread is asked to do so.
    void post(const QString& text, QRgb colour);
    // Number of events waiting to be handled.
    int pending() const;

public slots:
    // Hands every waiting event to the handler, in order. Events posted by the handler
    // itself are handled after the current one, by the same drain.
    void drain();

private:
    struct Event {
        QString text;
        QRgb colour = 0;
    };

    Handler handler_;
    mutable std::mutex mutex_;
    std::deque<Event> queue_;
    bool drainRequested_ = false; // under mutex_
    bool draining_ = false;       // own thread only
};
