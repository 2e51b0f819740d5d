// The station's link against korvel-sim on a pseudo-terminal, with the simulator's fault
// injection: what the operator sees when the controller falls silent, talks rubbish or
// answers too late, and a slow line.
#include "ComLink.h"
#include "ComThread.h"
#include "ProcessImage.h"
#include "SimProcess.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <sys/wait.h>
#include <thread>

namespace {

using namespace std::chrono_literals;

const QString kGood = QString::fromUtf8("Связь с ШВУ установлена");
const QString kBad = QString::fromUtf8("Сбой связи с ШВУ");

struct Station {
    ProcessImage image;
    ComLink link{image};
    TComThread thread{link, image};
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<QString> events;

    explicit Station(const SimProcess& sim, int rate = 115200) {
        link.setDeviceOverride(QString::fromStdString(sim.path()));
        opened = link.Initial(1, rate);
        QObject::connect(&thread, &TComThread::linkEvent, [this](QString text, QRgb) {
            {
                std::lock_guard lock(mutex);
                events.push_back(text);
            }
            changed.notify_all();
        });
    }
    // Cycles driven from the test, with the poll thread's 500 ms pause between them.
    std::vector<unsigned> cycles(int n) {
        std::vector<unsigned> results;
        for (int i = 0; i < n; ++i) {
            thread.pollCycle();
            results.push_back(link.result());
            std::this_thread::sleep_for(500ms);
        }
        return results;
    }
    std::vector<QString> eventLines() {
        std::lock_guard lock(mutex);
        return events;
    }
    QString opened;
};

TEST(SimLink, LinkLostAfterFourthFailureAndRestoredByOneGoodAnswer) {
    SimProcess sim({"--plan", "ok,silent*4,ok,silent*3,ok"});
    ASSERT_FALSE(sim.path().empty());
    Station st(sim);
    ASSERT_EQ(st.opened, QString::fromUtf8("COM-порт открыт"));

    EXPECT_EQ(st.cycles(4), (std::vector<unsigned>{0, 5, 5, 5}));
    EXPECT_EQ(st.eventLines(), (std::vector<QString>{kGood}));
    EXPECT_EQ(st.thread.failureCount(), 3);
    st.cycles(1);
    EXPECT_EQ(st.thread.failureCount(), 4);
    EXPECT_EQ(st.eventLines(), (std::vector<QString>{kGood, kBad}));
    st.cycles(1);
    EXPECT_EQ(st.thread.failureCount(), 0);
    EXPECT_EQ(st.eventLines(), (std::vector<QString>{kGood, kBad, kGood}));
    // Three failures and a good answer: nothing more.
    EXPECT_EQ(st.cycles(4), (std::vector<unsigned>{5, 5, 5, 0}));
    EXPECT_EQ(st.eventLines(), (std::vector<QString>{kGood, kBad, kGood}));
    EXPECT_EQ(st.thread.failureCount(), 0);
}

TEST(SimLink, GarbageCutBadCrcAndLateAnswersRecover) {
    SimProcess sim({"--plan", "ok,garbage,ok,cut,ok,badcrc,ok,late"});
    Station st(sim);
    // The late answer arrives during the pause and spoils the next exchange too.
    EXPECT_EQ(st.cycles(10), (std::vector<unsigned>{0, 6, 0, 6, 0, 6, 0, 5, 6, 0}));
    EXPECT_EQ(st.eventLines(), (std::vector<QString>{kGood}));
    EXPECT_EQ(st.thread.linkState(), TComThread::Good);
}

TEST(SimLink, SlowLineAt9600Works) {
    SimProcess sim({});
    Station st(sim, 9600);
    for (int i = 0; i < 3; ++i) {
        const auto start = std::chrono::steady_clock::now();
        st.link.Trans(1, 0, 1, 0, 0, 130);
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(st.link.result(), 0u) << i;
        EXPECT_GE(st.link.waitingCount(), 139) << i;
        // 139 bytes at 9600 bit/s need 145 ms: the answer really came at the line's pace.
        EXPECT_GE(took, 140ms) << i;
    }
    EXPECT_TRUE(st.image.hasFirstAnswer());
    EXPECT_EQ(st.image.snapshot().word(2), 1200); // the simulator's task for doser 1
}

TEST(SimLink, WriteRequestsChangeTheTaskTheControllerReports) {
    SimProcess sim({});
    Station st(sim);
    auto& data = st.link.writeData();
    const std::array<quint8, 7> block1 = {0x10, 0x00, 9, 0xE8, 0x03, 0, 12}; // 16 kg, 1000 kg
    std::copy(block1.begin(), block1.end(), data.begin());
    st.link.Trans(1, 0, 2, 130, 0, 7);
    EXPECT_EQ(st.link.result(), 0u);
    const std::array<quint8, 13> block2 = {100, 0, 1, 200, 0, 2, 44, 1, 3, 88, 2, 4, 33};
    std::copy(block2.begin(), block2.end(), data.begin());
    st.link.Trans(1, 0, 2, 137, 0, 13);
    EXPECT_EQ(st.link.result(), 0u);
    st.link.Trans(1, 0, 1, 0, 0, 130);
    ASSERT_EQ(st.link.result(), 0u);
    const ImageData image = st.image.snapshot();
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(image.byte(2 + i), block1[i]) << i;
    EXPECT_EQ(image.byte(13), 12);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(image.byte(32 + i), block2[i]) << i;
    EXPECT_EQ(image.byte(53), 33);
}

TEST(SimLink, ChosenWriteStatusIsTheResult) {
    SimProcess sim({"--write-status", "2"});
    Station st(sim);
    st.link.Trans(1, 0, 2, 130, 0, 7);
    EXPECT_EQ(st.link.result(), 2u);
    st.link.Trans(1, 0, 1, 0, 0, 130);
    EXPECT_EQ(st.link.result(), 0u);
}

TEST(SimLink, CommandsOnStandardInputApplyToTheNextRequests) {
    SimProcess sim({});
    Station st(sim);
    sim.command("write-status 3");
    st.link.Trans(1, 0, 2, 130, 0, 7);
    EXPECT_EQ(st.link.result(), 3u);
    sim.command("silent*2, badcrc");
    std::vector<unsigned> results;
    for (int i = 0; i < 4; ++i) {
        st.link.Trans(1, 0, 1, 0, 0, 130);
        results.push_back(st.link.result());
    }
    EXPECT_EQ(results, (std::vector<unsigned>{5, 5, 6, 0}));
}

TEST(SimLink, RunningPollThreadEstablishesTheLink) {
    SimProcess sim({"--speed", "10"});
    Station st(sim);
    st.thread.start();
    {
        std::unique_lock lock(st.mutex);
        // A guard against a hang, not a timing requirement: the first cycle comes at 0.5 s.
        EXPECT_TRUE(st.changed.wait_for(lock, 20s, [&] { return !st.events.empty(); }))
            << "no link event within 20 s of the start";
        EXPECT_EQ(st.events, (std::vector<QString>{kGood}));
    }
    st.thread.stop();
    EXPECT_EQ(st.thread.failureCount(), 0);
}

TEST(SimLink, SymbolicLinkToTheLineIsMadeAndRemoved) {
    QTemporaryDir dir;
    const QString link = dir.filePath("plc");
    SimProcess sim({"--link", link.toStdString()});
    ASSERT_FALSE(sim.path().empty());
    ASSERT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(QFileInfo(link).symLinkTarget().toStdString(), sim.path());
    ProcessImage image;
    ComLink station(image);
    station.setDeviceOverride(link);
    station.Initial(1, 115200);
    station.Trans(1, 0, 1, 0, 0, 130);
    EXPECT_EQ(station.result(), 0u);
    station.close();
    const int status = sim.finish();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_FALSE(QFileInfo::exists(link) || QFileInfo(link).isSymLink());
}

TEST(SimLink, BadOptionsAreRefused) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--speed", "fast"},
                                                 {"--plan", "ok,sometimes"},
                                                 {"--link", "/tmp/x", "--device", "/dev/null"},
                                                 {"--frobnicate", "1"}}) {
        SimProcess sim(args);
        EXPECT_TRUE(sim.path().empty()) << args[0];
        const int status = sim.finish();
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << args[0] << " " << status;
    }
}

} // namespace
