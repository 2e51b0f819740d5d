#include "ComThread.h"

#include "ComLink.h"
#include "MainTexts.h"
#include "ProcessImage.h"

#include <exception>

TComThread::TComThread(ComLink& link, ProcessImage& image, QObject* parent)
    : QThread(parent), link_(link), image_(image) {}

TComThread::~TComThread() {
    stop();
}

void TComThread::setGoodAnswerSteps(std::function<void()> verifyAlarms,
                                    std::function<void()> completeDoza,
                                    std::function<void()> arhive) {
    steps_[0] = std::move(verifyAlarms);
    steps_[1] = std::move(completeDoza);
    steps_[2] = std::move(arhive);
}

void TComThread::pause() {
    std::unique_lock lock(mutex_);
    paused_ = true;
    cv_.wait(lock, [this] { return !inCycle_; });
}

void TComThread::resume() {
    {
        std::lock_guard lock(mutex_);
        paused_ = false;
    }
    cv_.notify_all();
}

void TComThread::stop() {
    {
        std::lock_guard lock(mutex_);
        stopRequested_ = true;
    }
    cv_.notify_all();
    wait();
}

void TComThread::run() {
    Execute();
}

bool TComThread::waitBetweenCycles() {
    std::unique_lock lock(mutex_);
    // The pause between cycles; a stop ends it at once.
    cv_.wait_for(lock, cyclePause_, [this] { return stopRequested_; });
    // A paused thread starts no cycle until it is resumed.
    cv_.wait(lock, [this] { return stopRequested_ || !paused_; });
    if (stopRequested_)
        return false;
    inCycle_ = true;
    return true;
}

void TComThread::Execute() {
    while (waitBetweenCycles()) {
        pollCycle();
        {
            std::lock_guard lock(mutex_);
            inCycle_ = false;
        }
        cv_.notify_all();
    }
}

void TComThread::runStep(int index, const char* name) {
    if (!steps_[index])
        return;
    QString reason;
    try {
        steps_[index]();
        stepFailing_[index] = false;
        return;
    } catch (const std::exception& e) {
        reason = QString::fromLocal8Bit(e.what());
    } catch (...) {
        reason = QStringLiteral("unknown error");
    }
    if (!stepFailing_[index]) {
        stepFailing_[index] = true;
        emit stepFailed(QString::fromLatin1(name), reason);
    }
}

void TComThread::pollCycle() {
    const bool open = link_.portOpen();
    if (open) {
        link_.Trans(1, 0, 1, 0, 0, 130);
        if (link_.result() == ComLink::kGood) {
            runStep(0, "VerifyAlarms");
            runStep(1, "CompleteDoza");
            runStep(2, "Arhive");
            const ImageData image = image_.snapshot();
            const bool stop = image.bit(25, 7) || image.bit(76, 7);
            emit stopColour(stop ? kRed : kPanelGrey);
            emit attentionColour(image.byte(88) != 0 ? kRed : kPanelGrey);
        }
    }
    const unsigned result = link_.result();
    const auto texts = MainTextStore::get();
    if (result != ComLink::kGood || !open) {
        if (result != ComLink::kGood && failures_ < kMaxFailures)
            ++failures_;
        if (failures_ >= kMaxFailures) {
            emit statusChanged(texts->lngSviazBad, kRed);
            state_ = Lost;
            emit iconChanged(blink_ ? kIconGood : kIconLost);
            blink_ = !blink_;
        }
    }
    if (result == ComLink::kGood && open) {
        failures_ = 0;
        emit statusChanged(texts->lngSviazGood, kGoodText);
        state_ = Good;
        emit iconChanged(kIconGood);
    }
    const int state = state_;
    if (state != previousState_ && state == Lost)
        emit linkEvent(texts->lngSviazBad, kRed);
    if (state != previousState_ && state == Good)
        emit linkEvent(texts->lngSviazGood, kGoodEvent);
    previousState_ = state;
    runStep(3, "Retry");
}
