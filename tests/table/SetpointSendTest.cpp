// The dosing task's way to the controller without a window: the two write requests on the
// wire, the poll pause around them, the setpoint copy and which outcomes the operator is told.
#include "SetpointSend.h"
#include "ComLink.h"
#include "FakeLine.h"
#include "ProcessImage.h"
#include "Station.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records pause and resume, and the moment the writes go out, in one log.
struct LoggingStation : Station {
    std::vector<std::string>& log;
    explicit LoggingStation(std::vector<std::string>& l) : log(l) {}
    QString openPort(int, int) override { return {}; }
    bool portOpen() const override { return true; }
    void closePort() override {}
    void startPolling() override {}
    void pausePolling() override { log.push_back("pause"); }
    void resumePolling() override { log.push_back("resume"); }
    void stopPolling() override {}
    void journal(const QString&, int) override {}
    void setMaxArhDay(int) override {}
};

const SetpointSend::Block1 kBlock1 = {0x10, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01};
const SetpointSend::Block2 kBlock2 = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};

// The write request as the controller must see it: addresses 1 and 0, function 2, the
// offset, high byte 0, the byte count, then the data.
Bytes request(int offset, const Bytes& data) {
    Bytes p(6 + data.size());
    p[0] = 1;
    p[2] = 2;
    p[3] = std::uint8_t(offset);
    p[5] = std::uint8_t(data.size());
    std::copy(data.begin(), data.end(), p.begin() + 6);
    return stuffed(p, referenceCrc(p));
}

constexpr int kSilent = -1;
constexpr int kGarbage = -2;

struct Rig {
    std::vector<std::string> log;
    ProcessImage image;
    ComLink link{image};
    LoggingStation station{log};
    SetpointSend send{link, station, image};
    FakeLine* line = nullptr;

    // The answers to the two writes, in order: a status byte, kSilent or kGarbage.
    Rig(int first, int second) {
        auto codes = std::make_shared<std::vector<int>>(std::vector<int>{first, second});
        auto fake = std::make_unique<FakeLine>([this, codes](const Bytes&) {
            log.push_back("write");
            const int code = codes->front();
            codes->erase(codes->begin());
            if (code == kSilent)
                return std::vector<Arrival>{};
            if (code == kGarbage)
                return std::vector<Arrival>{{20, Bytes{0x10, 0x02, 0x55, 0x10, 0x03, 0, 0}}};
            return std::vector<Arrival>{{20, writeAnswer(std::uint8_t(code))}};
        });
        line = fake.get();
        link.attach(std::move(fake));
    }
};

} // namespace

TEST(SetpointSend, BothBlocksGoOutAtTheirOffsetsWhileThePollThreadWaits) {
    Rig rig(0, 0);
    bool settled = false;
    const auto result = rig.send.send(kBlock1, kBlock2, [&] {
        settled = true;
        rig.log.push_back("settle");
    });
    EXPECT_TRUE(settled);
    ASSERT_EQ(rig.line->written.size(), 2u);
    EXPECT_EQ(rig.line->written[0], request(130, Bytes(kBlock1.begin(), kBlock1.end())));
    EXPECT_EQ(rig.line->written[1], request(137, Bytes(kBlock2.begin(), kBlock2.end())));
    EXPECT_EQ(rig.log, (std::vector<std::string>{"pause", "settle", "write", "write", "resume"}));
    EXPECT_EQ(result.block1, 0u);
    EXPECT_EQ(result.block2, 0u);
    EXPECT_FALSE(result.reported());
    const SetpointCopy copy = rig.image.setpoints();
    EXPECT_EQ(copy.block1, kBlock1);
    EXPECT_EQ(copy.block2, kBlock2);
}

// Block 2 goes out whatever became of block 1; the copy takes only what was accepted, and
// the operator hears of block 2's controller statuses 1 and 2, silence and a malformed answer.
TEST(SetpointSend, OutcomesOfTheTwoWrites) {
    struct Case {
        int first, second;
        unsigned result1, result2;
        bool reported;
    };
    const Case cases[] = {
        {1, 0, 1, 0, false},
        {0, 1, 0, 1, true},
        {0, 2, 0, 2, true},
        {0, 3, 0, 3, false},
        {0, 4, 0, 4, false},
        {0, kSilent, 0, ComLink::kNoAnswer, true},
        {0, kGarbage, 0, ComLink::kMalformed, true},
        {kSilent, kSilent, ComLink::kNoAnswer, ComLink::kNoAnswer, true},
    };
    for (const Case& c : cases) {
        const std::string name = std::to_string(c.first) + "/" + std::to_string(c.second);
        Rig rig(c.first, c.second);
        const auto result = rig.send.send(kBlock1, kBlock2);
        EXPECT_EQ(rig.line->written.size(), 2u) << name;
        EXPECT_EQ(result.block1, c.result1) << name;
        EXPECT_EQ(result.block2, c.result2) << name;
        EXPECT_EQ(result.reported(), c.reported) << name;
        const SetpointCopy copy = rig.image.setpoints();
        EXPECT_EQ(copy.block1, c.result1 == 0 ? kBlock1 : SetpointSend::Block1{}) << name;
        EXPECT_EQ(copy.block2, c.result2 == 0 ? kBlock2 : SetpointSend::Block2{}) << name;
        EXPECT_EQ(rig.log.back(), "resume") << name;
    }
}
