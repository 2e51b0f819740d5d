// Pause, resume and stop of the running poll thread. These run under ThreadSanitizer too.
#include "ComLink.h"
#include "ComThread.h"
#include "FakeLine.h"
#include "ProcessImage.h"
#include "Waits.h"

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
    // Waits until the thread has run n more good cycles, for ten seconds at most.
    ::testing::AssertionResult runCycles(int n) {
        const int target = goodCycles + n;
        return waits::waitUntil([&] { return goodCycles >= target; }, 10s,
                                std::to_string(n) + " more good poll cycles", 0ms);
    }
    // Stops the thread; a stop that does not return within ten seconds fails the program.
    void stop(const char* when) {
        waits::Watchdog guard(10s, std::string("the poll thread to stop ") + when);
        thread.stop();
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
        ASSERT_TRUE(rig.runCycles(1)) << "round " << i;
    }
    rig.stop("after the rounds of pause and resume");
    EXPECT_TRUE(rig.thread.isFinished());
}

TEST(ThreadControl, NoCycleWhilePaused) {
    Rig rig(1ms);
    rig.thread.start();
    ASSERT_TRUE(rig.runCycles(2));
    rig.thread.pause();
    const int before = rig.line->exchanges;
    std::this_thread::sleep_for(50ms); // many cycle periods
    EXPECT_EQ(rig.line->exchanges, before);
    rig.thread.resume();
    ASSERT_TRUE(rig.runCycles(2)) << "after the resume";
    EXPECT_GT(rig.line->exchanges, before);
    rig.stop("after the resume");
}

TEST(ThreadControl, StopDuringPauseBetweenCyclesRunsNoFurtherExchange) {
    Rig rig(std::chrono::hours(1));
    rig.thread.start();
    rig.stop("during its hour-long pause"); // the pause must be cut short
    EXPECT_TRUE(rig.thread.isFinished());
    EXPECT_EQ(rig.line->exchanges, 0);
}

TEST(ThreadControl, StopWhilePausedEndsThread) {
    Rig rig(1ms);
    rig.thread.start();
    ASSERT_TRUE(rig.runCycles(1));
    rig.thread.pause();
    const int before = rig.line->exchanges;
    rig.stop("while paused");
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
    ASSERT_TRUE(rig.runCycles(20)) << "with a step that throws";
    rig.stop("after steps that throw");
    EXPECT_GE(calls, 20);
    std::lock_guard lock(rig.eventsMutex);
    EXPECT_EQ(rig.events, (std::vector<QString>{QString::fromUtf8("Связь с ШВУ установлена")}));
}

TEST(ThreadControl, PauseAndStopOfThreadNeverStarted) {
    Rig rig(1ms);
    rig.thread.pause();
    rig.thread.resume();
    rig.stop("that was never started");
    EXPECT_EQ(rig.line->exchanges, 0);
}

} // namespace
