#pragma once
// The poll thread: every 500 ms one read request; after a good answer the steps that need
// new data, then the stop and attention colours; the link supervision with its failure
// count, link state and blinking icon. Window effects leave the thread as signals, which
// the main window connects queued so they arrive in the order the cycle made them.
#include "Colours.h"
#include <QString>
#include <QThread>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

class ComLink;
class ProcessImage;

class TComThread : public QThread {
    Q_OBJECT
public:
    static constexpr QRgb kRed = colours::kRed;
    static constexpr QRgb kPanelGrey = colours::kPanelGrey;
    static constexpr QRgb kGoodText = colours::kLinkText;
    static constexpr QRgb kGoodEvent = colours::kBlue;
    static constexpr int kIconGood = 2;
    static constexpr int kIconLost = 3;
    static constexpr int kMaxFailures = 4;
    enum LinkState { Unknown = 0, Good = 1, Lost = 2 };

    TComThread(ComLink& link, ProcessImage& image, QObject* parent = nullptr);
    ~TComThread() override;

    // The steps run after each good answer, in this order. A step that throws is reported
    // once through stepFailed and does not end the thread.
    void setGoodAnswerSteps(std::function<void()> verifyAlarms, std::function<void()> completeDoza,
                            std::function<void()> arhive);
    // A step at the end of every cycle, whatever its exchange gave (records kept after a
    // failed write are retried here). Reported like the other steps when it throws.
    void setEveryCycleStep(std::function<void()> step) { steps_[3] = std::move(step); }
    // Returns when no cycle runs; no cycle starts until resume().
    void pause();
    void resume();
    // Ends the thread without another exchange and waits for it.
    void stop();

    int failureCount() const { return failures_.load(); }
    int linkState() const { return state_.load(); }

    // The pause between cycles; 500 ms unless a test shortens it.
    void setCyclePause(std::chrono::milliseconds pause) { cyclePause_ = pause; }
    // One poll cycle. Runs on the poll thread; tests may drive it directly instead.
    void pollCycle();

signals:
    void statusChanged(QString text, QRgb colour);
    void iconChanged(int icon);
    void stopColour(QRgb colour);
    void attentionColour(QRgb colour);
    void linkEvent(QString text, QRgb colour);
    // A step after a good answer failed; sent once until that step succeeds again.
    void stepFailed(QString step, QString reason);

protected:
    void run() override;

private:
    void Execute();
    void runStep(int index, const char* name);
    bool waitBetweenCycles();

    ComLink& link_;
    ProcessImage& image_;
    std::function<void()> steps_[4];
    bool stepFailing_[4] = {false, false, false, false};
    std::chrono::milliseconds cyclePause_{500};

    std::mutex mutex_;
    std::condition_variable cv_;
    bool stopRequested_ = false;
    bool paused_ = false;
    bool inCycle_ = false;

    // Link supervision, written only by the cycle.
    std::atomic<int> failures_{0};
    std::atomic<int> state_{Unknown};
    int previousState_ = Unknown;
    bool blink_ = false;
};
