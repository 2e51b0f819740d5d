// Pause, resume and stop of the running poll thread. These run under ThreadSanitizer too.
#include "ComLink.h"
#include "ComThread.h"
#include "FakeLine.h"
#include "ProcessImage.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace {

using namespace std::chrono_literals;

struct Rig {
    ProcessImage image;
    ComLink link{image};
    FakeLine* line = nullptr;
    TComThread thread{link, image};
    std::atomic<bool> midCycle{false};
    std::atomic<int> goodCycles{0};
    std::mutex eventsMutex;
    std::vector<QString> events;

    explicit Rig(std::chrono::milliseconds cyclePause) {
        auto fake = std::make_unique<FakeLine>([this](const Bytes&) {
            midCycle = true;
            return std::vector<Arrival>{{20, readAnswer(Bytes(130, 0))}};
        });
        line = fake.get();
        link.attach(std::move(fake));
        thread.setCyclePause(cyclePause);
        thread.setGoodAnswerSteps([] {}, [] {},
                                  [this] {
                                      ++goodCycles;
                                      midCycle = false;
                                  });
        QObject::connect(&thread, &TComThread::linkEvent, [this](QString text, QRgb) {
            std::lock_guard lock(eventsMutex);
            events.push_back(text);
        });
    }
    // Waits (without a time limit of its own) until the thread has run n more good cycles.
    void runCycles(int n) {
        const int target = goodCycles + n;
        while (goodCycles < target)
            std::this_thread::yield();
    }
};

TEST(ThreadControl, PauseReturnsOnlyBetweenCycles) {
    Rig rig(0ms);
    rig.thread.start();
    for (int i = 0; i < 200; ++i) {
        rig.thread.pause();
        ASSERT_FALSE(rig.midCycle) << "pause returned inside a cycle, round " << i;
        const int before = rig.line->exchanges;
        // Work done under the pause, as the settings dialog and the setpoint table do.
        rig.link.writeData()[0] = static_cast<quint8>(i);
        ASSERT_EQ(rig.line->exchanges, before);
        rig.thread.resume();
        rig.runCycles(1);
    }
    rig.thread.stop();
    EXPECT_TRUE(rig.thread.isFinished());
}

TEST(ThreadControl, NoCycleWhilePaused) {
    Rig rig(1ms);
    rig.thread.start();
    rig.runCycles(2);
    rig.thread.pause();
    const int before = rig.line->exchanges;
    std::this_thread::sleep_for(50ms); // many cycle periods
    EXPECT_EQ(rig.line->exchanges, before);
    rig.thread.resume();
    rig.runCycles(2);
    EXPECT_GT(rig.line->exchanges, before);
    rig.thread.stop();
}

TEST(ThreadControl, StopDuringPauseBetweenCyclesRunsNoFurtherExchange) {
    Rig rig(std::chrono::hours(1));
    rig.thread.start();
    rig.thread.stop(); // would hang for an hour if the pause were not cut short
    EXPECT_TRUE(rig.thread.isFinished());
    EXPECT_EQ(rig.line->exchanges, 0);
}

TEST(ThreadControl, StopWhilePausedEndsThread) {
    Rig rig(1ms);
    rig.thread.start();
    rig.runCycles(1);
    rig.thread.pause();
    const int before = rig.line->exchanges;
    rig.thread.stop();
    EXPECT_TRUE(rig.thread.isFinished());
    EXPECT_EQ(rig.line->exchanges, before);
}

TEST(ThreadControl, RunningThreadReportsLinkOnceAndSurvivesThrowingSteps) {
    Rig rig(1ms);
    std::atomic<int> calls{0};
    rig.thread.setGoodAnswerSteps([&] { throw std::runtime_error("broken"); }, [] {},
                                  [&] {
                                      ++calls;
                                      ++rig.goodCycles;
                                  });
    rig.thread.start();
    rig.runCycles(20);
    rig.thread.stop();
    EXPECT_GE(calls, 20);
    std::lock_guard lock(rig.eventsMutex);
    EXPECT_EQ(rig.events, (std::vector<QString>{QString::fromUtf8("Связь с ШВУ установлена")}));
}

TEST(ThreadControl, PauseAndStopOfThreadNeverStarted) {
    Rig rig(1ms);
    rig.thread.pause();
    rig.thread.resume();
    rig.thread.stop();
    EXPECT_EQ(rig.line->exchanges, 0);
}

} // namespace
