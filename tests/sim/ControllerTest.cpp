// The controller's side of the protocol: requests picked from the byte stream, answers as
// the station judges them, and the fault plan.
#include "ControllerSide.h"
#include "Frame.h"
#include "PlantModel.h"

#include <gtest/gtest.h>

namespace {

Bytes request(Bytes payload) {
    std::uint8_t out[frame::kBufSize];
    const int n = frame::build(payload.data(), static_cast<int>(payload.size()), out, sizeof out);
    return Bytes(out, out + n);
}

const Bytes kRead = request({1, 0, 1, 0, 0, 130});

struct Rig {
    PlantModel plant;
    FaultPlan plan;
    ControllerSide side{plant, plan};

    std::vector<ControllerSide::Answer> send(const Bytes& bytes) {
        return side.feed(bytes.data(), static_cast<int>(bytes.size()));
    }
    // The station's verdict on one answer.
    frame::Answer judge(const Bytes& answer, int* length = nullptr, Bytes* payload = nullptr) {
        std::uint8_t p[frame::kBufSize];
        int j = 0;
        const auto verdict =
            frame::judge(answer.data(), static_cast<int>(answer.size()), 1, 0, p, &j);
        if (length)
            *length = j;
        if (payload)
            payload->assign(p, p + j);
        return verdict;
    }
};

TEST(Controller, ReadAnswerCarriesTheImage) {
    Rig rig;
    rig.plant.advance(30);
    Bytes noisy = {0x00, 0x10, 0x99};
    noisy.insert(noisy.end(), kRead.begin(), kRead.end());
    const auto answers = rig.send(noisy);
    ASSERT_EQ(answers.size(), 1u);
    // The answer waits for the request's own 12 bytes on a paced line, not for the noise.
    EXPECT_EQ(answers[0].requestBytes, 12);
    Bytes payload;
    ASSERT_EQ(rig.judge(answers[0].bytes, nullptr, &payload), frame::Answer::Read);
    const auto image = rig.plant.image();
    EXPECT_TRUE(std::equal(image.begin(), image.end(), payload.begin() + 3));
}

TEST(Controller, WriteRequestsChangeTheTask) {
    Rig rig;
    // 16 kg for doser 1: the request carries a doubled DLE.
    const auto answers = rig.send(request({1, 0, 2, 130, 0, 7, 0x10, 0x00, 3, 0xE8, 0x03, 4, 11}));
    ASSERT_EQ(answers.size(), 1u);
    Bytes payload;
    ASSERT_EQ(rig.judge(answers[0].bytes, nullptr, &payload), frame::Answer::Write);
    EXPECT_EQ(payload[3], 0);
    EXPECT_EQ(rig.plant.doser(1).setpoint, 16);
    EXPECT_EQ(rig.plant.doser(4).setpoint, 1000);
    EXPECT_EQ(rig.plant.doser(4).code, 4);
    EXPECT_EQ(rig.plant.portionsSet(1), 11);
}

TEST(Controller, ChosenWriteStatusLeavesTheTask) {
    Rig rig;
    rig.side.setWriteStatus(3);
    const auto answers = rig.send(request({1, 0, 2, 130, 0, 7, 1, 0, 3, 1, 0, 4, 11}));
    Bytes payload;
    ASSERT_EQ(rig.judge(answers.at(0).bytes, nullptr, &payload), frame::Answer::Write);
    EXPECT_EQ(payload[3], 3);
    EXPECT_EQ(rig.plant.doser(1).setpoint, 1200);
}

TEST(Controller, OnlyValidRequestsForItAreAnswered) {
    Rig rig;
    Bytes badCrc = kRead;
    badCrc.back() ^= 1;
    EXPECT_TRUE(rig.send(badCrc).empty());
    EXPECT_TRUE(rig.send(request({2, 0, 1, 0, 0, 130})).empty()); // another receiver
    EXPECT_TRUE(rig.send({0x55, 0x10, 0x10, 0x03, 0x00}).empty());
    // Noise before a request and a request split over two reads.
    Bytes noisy = {0x00, 0x10, 0x99};
    noisy.insert(noisy.end(), kRead.begin(), kRead.begin() + 5);
    EXPECT_TRUE(rig.send(noisy).empty());
    EXPECT_EQ(rig.send(Bytes(kRead.begin() + 5, kRead.end())).size(), 1u);
    // A read of anything but the image, and a write of the wrong size, get status 2.
    Bytes payload;
    ASSERT_EQ(rig.judge(rig.send(request({1, 0, 1, 0, 0, 20})).at(0).bytes, nullptr, &payload),
              frame::Answer::Write);
    EXPECT_EQ(payload[3], 2);
    ASSERT_EQ(rig.judge(rig.send(request({1, 0, 2, 130, 0, 7, 1})).at(0).bytes, nullptr, &payload),
              frame::Answer::Write);
    EXPECT_EQ(payload[3], 2);
}

TEST(Controller, FaultPlanSpoilsAnswersInOrder) {
    Rig rig;
    ASSERT_TRUE(rig.plan.append("silent, garbage,badcrc,cut*2,late"));
    EXPECT_TRUE(rig.send(kRead).empty());
    const struct {
        const char* name;
        frame::Answer verdict;
        int delayMs;
    } expected[] = {
        {"garbage", frame::Answer::Malformed, 0}, {"badcrc", frame::Answer::Malformed, 0},
        {"cut", frame::Answer::Malformed, 0},     {"cut", frame::Answer::Malformed, 0},
        {"late", frame::Answer::Read, 450},       {"after the plan", frame::Answer::Read, 0},
    };
    for (const auto& e : expected) {
        const auto answers = rig.send(kRead);
        ASSERT_EQ(answers.size(), 1u) << e.name;
        EXPECT_EQ(rig.judge(answers[0].bytes), e.verdict) << e.name;
        EXPECT_EQ(answers[0].delayMs, e.delayMs) << e.name;
    }
}

TEST(Controller, FaultPlanRejectsUnknownWords) {
    FaultPlan plan;
    std::string error;
    EXPECT_FALSE(plan.append("ok,slient", &error));
    EXPECT_NE(error.find("slient"), std::string::npos);
    EXPECT_FALSE(plan.append("silent*x", &error));
    EXPECT_TRUE(plan.empty());
    EXPECT_TRUE(plan.append("ok*2,silent"));
    EXPECT_EQ(plan.next(), LinkFault::None);
    EXPECT_EQ(plan.next(), LinkFault::None);
    EXPECT_EQ(plan.next(), LinkFault::Silent);
    EXPECT_EQ(plan.next(), LinkFault::None);
}

} // namespace
