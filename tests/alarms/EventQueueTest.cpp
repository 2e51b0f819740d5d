// The event queue: events from the poll thread and the user-interface thread reach the
// handler on the queue's thread, one at a time and in call order.
#include "EventQueue.h"
#include "Waits.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <memory>
#include <thread>
#include <vector>

namespace {

QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "alarms_event_queue_test";
    static char* argv[] = {name, nullptr};
    static auto* instance = new QCoreApplication(argc, argv);
    return *instance;
}

// Joins the poll thread; its posts return without waiting for the queue's thread, so a join
// that takes ten seconds fails the program.
void joinPoll(std::thread& poll) {
    waits::Watchdog guard(std::chrono::seconds(10), "the poll thread's posts to return");
    poll.join();
}

struct Seen {
    QString text;
    QRgb colour;
    QThread* thread;
};

class AlarmEventQueue : public ::testing::Test {
protected:
    void SetUp() override { app(); }
    EventQueue queue{[this](const QString& text, QRgb colour) {
        seen.push_back({text, colour, QThread::currentThread()});
    }};
    std::vector<Seen> seen;

    std::vector<QString> texts() const {
        std::vector<QString> out;
        for (const Seen& s : seen)
            out.push_back(s.text);
        return out;
    }
    // Lets the event loop hand over everything already requested; bounded, never timed.
    void settle() {
        for (int i = 0; i < 100 && queue.pending() > 0; ++i)
            QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
};

TEST_F(AlarmEventQueue, OwnThreadCallIsHandledBeforePostReturns) {
    queue.post(QStringLiteral("Запуск программы"), colours::kBlack);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, QStringLiteral("Запуск программы"));
    EXPECT_EQ(seen[0].colour, colours::kBlack);
    EXPECT_EQ(seen[0].thread, QThread::currentThread());
}

TEST_F(AlarmEventQueue, EarlierPollThreadEventsGoFirst) {
    std::thread poll([&] {
        queue.post(QStringLiteral("A"), colours::kRed);
        queue.post(QStringLiteral("B"), colours::kBlue);
    });
    joinPoll(poll);
    EXPECT_TRUE(seen.empty()) << "handled on the poll thread";
    EXPECT_EQ(queue.pending(), 2);
    queue.post(QStringLiteral("C"), colours::kBlack);
    EXPECT_EQ(texts(), (std::vector<QString>{"A", "B", "C"}));
    EXPECT_EQ(seen[0].colour, colours::kRed);
    EXPECT_EQ(seen[1].colour, colours::kBlue);
    settle();
    EXPECT_EQ(seen.size(), 3u) << "the queued drain must not repeat events";
}

TEST_F(AlarmEventQueue, PollThreadEventsArriveThroughTheEventLoop) {
    std::thread poll([&] {
        for (int i = 0; i < 5; ++i)
            queue.post(QStringLiteral("p%1").arg(i), colours::kRed);
    });
    joinPoll(poll);
    settle();
    EXPECT_EQ(texts(), (std::vector<QString>{"p0", "p1", "p2", "p3", "p4"}));
    for (const Seen& s : seen)
        EXPECT_EQ(s.thread, QThread::currentThread());
}

TEST_F(AlarmEventQueue, EventPostedByTheHandlerWaitsForTheCurrentOne) {
    std::vector<QString> order;
    EventQueue nested([&](const QString& text, QRgb) {
        order.push_back(text + QStringLiteral("<"));
        if (text == QStringLiteral("X"))
            nested.post(QStringLiteral("N"), colours::kRed);
        order.push_back(text + QStringLiteral(">"));
    });
    std::thread poll([&] {
        nested.post(QStringLiteral("X"), colours::kBlack);
        nested.post(QStringLiteral("Y"), colours::kBlack);
    });
    joinPoll(poll);
    for (int i = 0; i < 100 && nested.pending() > 0; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(order, (std::vector<QString>{"X<", "X>", "Y<", "Y>", "N<", "N>"}));
}

TEST_F(AlarmEventQueue, BothThreadsAtOnceKeepEachThreadsOrderAndLoseNothing) {
    constexpr int kEach = 2000;
    std::thread poll([&] {
        for (int i = 0; i < kEach; ++i)
            queue.post(QStringLiteral("p%1").arg(i), colours::kRed);
    });
    for (int i = 0; i < kEach; ++i) {
        queue.post(QStringLiteral("u%1").arg(i), colours::kBlack);
        if (i % 16 == 0)
            QCoreApplication::processEvents();
    }
    joinPoll(poll);
    settle();

    ASSERT_EQ(seen.size(), std::size_t(2 * kEach));
    int nextPoll = 0, nextUi = 0;
    for (const Seen& s : seen) {
        EXPECT_EQ(s.thread, QThread::currentThread());
        if (s.text.startsWith(u'p')) {
            EXPECT_EQ(s.text, QStringLiteral("p%1").arg(nextPoll++));
            EXPECT_EQ(s.colour, colours::kRed);
        } else {
            EXPECT_EQ(s.text, QStringLiteral("u%1").arg(nextUi++));
        }
    }
    EXPECT_EQ(nextPoll, kEach);
    EXPECT_EQ(nextUi, kEach);
}

TEST_F(AlarmEventQueue, QueueDestroyedWithARequestPendingIsSafe) {
    int handled = 0;
    auto doomed = std::make_unique<EventQueue>([&](const QString&, QRgb) { ++handled; });
    std::thread poll([&] { doomed->post(QStringLiteral("late"), colours::kRed); });
    joinPoll(poll);
    doomed.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(handled, 0);
}

} // namespace
