#pragma once
// A time limit for a Qt Test step that runs a modal dialog or message box: a dialog that is
// still open when the limit has passed (its closing script never ran, or a different dialog
// came up) is rejected, so the step returns and the test fails with a message naming what was
// awaited instead of waiting for the test runner's timeout.
//
//   ModalDeadline deadline(5000, "the settings dialog to be closed");
//   w.mnuOptionsClick();
//   QVERIFY2(!deadline.expired(), deadline.message());
#include <QApplication>
#include <QByteArray>
#include <QDialog>
#include <QTimer>
#include <QWidget>

class ModalDeadline {
public:
    ModalDeadline(int milliseconds, const char* what) {
        message_ = QByteArray("gave up after ") + QByteArray::number(milliseconds) +
                   " ms waiting for " + what;
        timer_.setSingleShot(false);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            timer_.setInterval(50);
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            expired_ = true;
            message_ += QByteArray(" (closed ") + modal->metaObject()->className() + ")";
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
        });
        timer_.start(milliseconds);
    }
    ModalDeadline(const ModalDeadline&) = delete;
    ModalDeadline& operator=(const ModalDeadline&) = delete;

    // True when a modal window had to be closed by the deadline.
    bool expired() const { return expired_; }
    const char* message() const { return message_.constData(); }

private:
    QTimer timer_;
    QByteArray message_;
    bool expired_ = false;
};
