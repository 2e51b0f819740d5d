#include "EventQueue.h"

#include <QThread>

EventQueue::EventQueue(Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)) {}

void EventQueue::post(const QString& text, QRgb colour) {
    const bool ownThread = QThread::currentThread() == thread();
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(Event{text, colour});
        if (!ownThread && !drainRequested_) {
            drainRequested_ = true;
            // Asked while the lock is held: the request made here is then ordered before the
            // drain that takes the lock next on the own thread, and before the request is freed
            // there. Invoked by name, so nothing of ours crosses outside the locked queue.
            QMetaObject::invokeMethod(this, "drain", Qt::QueuedConnection);
        }
    }
    if (ownThread)
        drain();
}

int EventQueue::pending() const {
    std::lock_guard lock(mutex_);
    return int(queue_.size());
}

void EventQueue::drain() {
    if (draining_)
        return;
    draining_ = true;
    // Cleared however the loop ends, so a throwing handler cannot stop all later events.
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{draining_};
    for (;;) {
        Event event;
        {
            std::lock_guard lock(mutex_);
            drainRequested_ = false;
            if (queue_.empty())
                break;
            event = std::move(queue_.front());
            queue_.pop_front();
        }
        if (handler_)
            handler_(event.text, event.colour);
    }
}
